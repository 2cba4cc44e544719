# Run as a script (cmake -P) before a layer compiles. A relative include
# ("../../Services/Log.h") is the one way around a layer's include root, as the
# compiler looks beside the including file first: it is refused unless it stays
# inside the layers the including file may use.
#   LAYER    the layer's folder
#   ALLOWED  the folders it may use, separated by '|' (itself among them)
#   STAMP    the file touched when every include passes
string(REPLACE "|" ";" allowed "${ALLOWED}")
file(GLOB_RECURSE layer_files ${LAYER}/*.h ${LAYER}/*.cpp)
set(violations "")
foreach(layer_file IN LISTS layer_files)
  file(STRINGS ${layer_file} relative_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^>\"]*\\.\\./")
  foreach(line IN LISTS relative_includes)
    string(REGEX REPLACE "^[^<\"]*[<\"]([^>\"]*)[>\"].*$" "\\1" included "${line}")
    get_filename_component(file_dir ${layer_file} DIRECTORY)
    get_filename_component(target ${file_dir}/${included} ABSOLUTE)
    set(inside FALSE)
    foreach(folder IN LISTS allowed)
      string(FIND "${target}/" "${folder}/" at)
      if(at EQUAL 0)
        set(inside TRUE)
      endif()
    endforeach()
    # An angle-bracket path with ".." climbs out of an include root.
    if(NOT inside OR line MATCHES "<")
      string(APPEND violations "\n  ${layer_file}: ${line}")
    endif()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "An include climbs out of ${LAYER} into a layer it may not use:${violations}")
endif()
file(TOUCH ${STAMP})

#pragma once

class QWidget;

// Numeric window levels on the usual desktop scale: a window with a higher
// level stays above windows with lower ones. Qt has no levels, so a window's
// level is derived from its window type, flags and modality, and can be
// overridden per window (tests use that to put a window at any level).
//
// | level | name        | derived for                                            |
// |-------|-------------|--------------------------------------------------------|
// | 0     | normal      | ordinary windows and dialogs, window-modal sheets      |
// | 3     | floating    | Qt::Tool windows, Qt::WindowStaysOnTopHint windows     |
// | 8     | modalPanel  | application-modal windows                              |
// | 20    | dock        | (never derived)                                        |
// | 24    | mainMenu    | (never derived)                                        |
// | 25    | status      | Qt::ToolTip and Qt::SplashScreen windows               |
// | 101   | popUpMenu   | Qt::Popup windows (menus, combo lists, popovers)       |
// | 1000  | screenSaver | (never derived)                                        |
namespace WindowLevel {

inline constexpr int normal = 0;
inline constexpr int floating = 3;
inline constexpr int submenu = 3;
inline constexpr int tornOffMenu = 3;
inline constexpr int modalPanel = 8;
inline constexpr int dock = 20;
inline constexpr int mainMenu = 24;
inline constexpr int status = 25;
inline constexpr int popUpMenu = 101;
inline constexpr int screenSaver = 1000;

// The level of `window` (of the window that holds it when given a child
// widget): its override when one is set, else the derived level.
int of(const QWidget* window);

// The level derived from Qt's window kind alone.
int derived(const QWidget* window);

void setOverride(QWidget* window, int level);
void clearOverride(QWidget* window);

} // namespace WindowLevel

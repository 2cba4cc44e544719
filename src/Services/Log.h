#pragma once

#include <QString>

#include <source_location>

// The one logging facility. Every line reads
//   <sign> [<file>:<line>] <function> - <message>
// and is written once to standard output as a quoted, escaped text, so that
// data from the network can never forge or split a line.
class Log {
public:
    enum class Level { Info, Warning, Debug, Error };

    static void info(const QString& message, std::source_location where = std::source_location::current());
    static void warning(const QString& message, std::source_location where = std::source_location::current());
    static void debug(const QString& message, std::source_location where = std::source_location::current());
    static void error(const QString& message, std::source_location where = std::source_location::current());

    static void write(Level level, const QString& message, std::source_location where);

    // The unquoted line, before escaping; exposed for tests.
    static QString format(Level level, const QString& message, const std::source_location& where);
    // The quoted, escaped form that is written.
    static QString quoted(const QString& line);
    // "QCoro::Task<void> Foo::bar(int) const" -> "Foo::bar".
    static QString shortFunctionName(const char* signature);

    // Tests capture lines instead of writing them to standard output.
    using Sink = void (*)(const QString& writtenLine);
    static void setSinkForTesting(Sink sink);
};

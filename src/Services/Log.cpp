#include "Services/Log.h"

#include <QFileInfo>

#include <cstdio>

namespace {
Log::Sink g_sink = nullptr;

QString levelSign(Log::Level level)
{
    switch (level) {
    case Log::Level::Info:
        return QStringLiteral("\u2139\uFE0F");
    case Log::Level::Warning:
        return QStringLiteral("\u26A0\uFE0F");
    case Log::Level::Debug:
        return QString::fromUtf8("\xF0\x9F\x90\x9B"); // U+1F41B
    case Log::Level::Error:
        return QStringLiteral("\u274C");
    }
    return {};
}
} // namespace

void Log::info(const QString& message, std::source_location where)
{
    write(Level::Info, message, where);
}

void Log::warning(const QString& message, std::source_location where)
{
    write(Level::Warning, message, where);
}

void Log::debug(const QString& message, std::source_location where)
{
    write(Level::Debug, message, where);
}

void Log::error(const QString& message, std::source_location where)
{
    write(Level::Error, message, where);
}

QString Log::shortFunctionName(const char* signature)
{
    QString text = QString::fromUtf8(signature);
    // Cut the parameter list: the first '(' at template depth zero.
    int depth = 0;
    int paren = -1;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('<'))
            ++depth;
        else if (c == QLatin1Char('>'))
            --depth;
        else if (c == QLatin1Char('(') && depth == 0) {
            // "operator()" keeps its own parentheses.
            if (text.mid(i - 8, 8) == QLatin1String("operator") && text.mid(i, 2) == QLatin1String("()"))
                continue;
            paren = i;
            break;
        }
    }
    if (paren >= 0)
        text.truncate(paren);
    // Cut the return type: the last blank at template depth zero.
    depth = 0;
    int start = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('<'))
            ++depth;
        else if (c == QLatin1Char('>'))
            --depth;
        else if (c == QLatin1Char(' ') && depth == 0 && text.mid(i - 8, 8) != QLatin1String("operator"))
            start = i + 1;
    }
    return text.mid(start);
}

QString Log::format(Level level, const QString& message, const std::source_location& where)
{
    return levelSign(level) + QStringLiteral(" [") + QFileInfo(QString::fromUtf8(where.file_name())).fileName()
        + QLatin1Char(':') + QString::number(where.line()) + QStringLiteral("] ")
        + shortFunctionName(where.function_name()) + QStringLiteral(" - ") + message;
}

QString Log::quoted(const QString& line)
{
    QString out;
    out.reserve(line.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : line) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case 0:
            out += QStringLiteral("\\0");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\u{%1}").arg(c.unicode(), 0, 16);
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

void Log::write(Level level, const QString& message, std::source_location where)
{
    const QString line = quoted(format(level, message, where));
    if (g_sink) {
        g_sink(line);
        return;
    }
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void Log::setSinkForTesting(Sink sink)
{
    g_sink = sink;
}

#include "Services/Web/JsonScanner.h"

#include <array>
#include <charconv>

namespace {
constexpr int kMaxDepth = 1024;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendUtf8(QByteArray* out, char32_t code)
{
    if (code < 0x80) {
        out->append(char(code));
    } else if (code < 0x800) {
        out->append(char(0xC0 | (code >> 6)));
        out->append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->append(char(0xE0 | (code >> 12)));
        out->append(char(0x80 | ((code >> 6) & 0x3F)));
        out->append(char(0x80 | (code & 0x3F)));
    } else {
        out->append(char(0xF0 | (code >> 18)));
        out->append(char(0x80 | ((code >> 12) & 0x3F)));
        out->append(char(0x80 | ((code >> 6) & 0x3F)));
        out->append(char(0x80 | (code & 0x3F)));
    }
}

// Length of the well-formed UTF-8 sequence at `p` (lead byte >= 0x80), or 0.
int utf8SequenceLength(const unsigned char* p, const unsigned char* end)
{
    const unsigned char lead = p[0];
    int length = 0;
    char32_t minimum = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}
} // namespace

JsonScanner::JsonScanner(const QByteArray& document)
    : m_begin(document.constData())
    , m_cursor(document.constData())
    , m_end(document.constData() + document.size())
{
    // Some servers start their UTF-8 with a byte-order mark; Qt's parser skips
    // it, but only as the very first bytes.
    if (document.startsWith("\xEF\xBB\xBF"))
        m_cursor += 3;
}

void JsonScanner::fail(const char* what)
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("%1 at offset %2").arg(QLatin1String(what)).arg(m_cursor - m_begin);
    m_cursor = m_end;
}

void JsonScanner::skipSpace()
{
    while (m_cursor < m_end && (*m_cursor == ' ' || *m_cursor == '\n' || *m_cursor == '\r' || *m_cursor == '\t'))
        ++m_cursor;
}

JsonScanner::Type JsonScanner::peek()
{
    skipSpace();
    if (failed() || m_cursor == m_end)
        return Type::Invalid;
    if (!m_started && *m_cursor != '{' && *m_cursor != '[') {
        // Qt's parser takes only a container as a document.
        fail("object or array expected");
        return Type::Invalid;
    }
    switch (*m_cursor) {
    case '{':
        return Type::Object;
    case '[':
        return Type::Array;
    case '"':
        return Type::String;
    case 't':
    case 'f':
        return Type::Bool;
    case 'n':
        return Type::Null;
    default:
        return *m_cursor == '-' || isDigit(*m_cursor) ? Type::Number : Type::Invalid;
    }
}

bool JsonScanner::push()
{
    if (++m_depth > kMaxDepth) {
        fail("nesting too deep");
        return false;
    }
    ++m_cursor;
    m_first = true;
    m_started = true;
    return true;
}

bool JsonScanner::enterObject()
{
    if (peek() != Type::Object) {
        fail("object expected");
        return false;
    }
    return push();
}

bool JsonScanner::enterArray()
{
    if (peek() != Type::Array) {
        fail("array expected");
        return false;
    }
    return push();
}

bool JsonScanner::nextMember(char close, const char* unterminated, const char* separatorExpected)
{
    skipSpace();
    if (failed() || m_cursor == m_end) {
        fail(unterminated);
        return false;
    }
    if (*m_cursor == close) {
        ++m_cursor;
        --m_depth;
        m_first = false;
        return false;
    }
    if (!m_first) {
        if (*m_cursor != ',') {
            fail(separatorExpected);
            return false;
        }
        ++m_cursor;
    }
    m_first = false;
    return true;
}

bool JsonScanner::nextKey(QByteArrayView* key)
{
    if (!nextMember('}', "unterminated object", "',' or '}' expected"))
        return false;
    skipSpace();
    if (m_cursor == m_end || *m_cursor != '"') {
        fail("member name expected");
        return false;
    }
    const char* start = m_cursor + 1;
    bool escaped = false;
    if (!scanString(&m_scratch, &escaped))
        return false;
    *key = escaped ? QByteArrayView(m_scratch) : QByteArrayView(start, m_cursor - 1 - start);
    skipSpace();
    if (m_cursor == m_end || *m_cursor != ':') {
        fail("':' expected");
        return false;
    }
    ++m_cursor;
    return true;
}

bool JsonScanner::nextElement()
{
    return nextMember(']', "unterminated array", "',' or ']' expected");
}

bool JsonScanner::scanString(QByteArray* unescaped, bool* escaped)
{
    // At the opening quote. Text written without escapes is left where it
    // is; otherwise `unescaped` (when given) receives it as UTF-8.
    ++m_cursor;
    const char* runStart = m_cursor;
    if (escaped)
        *escaped = false;
    // Bytes that need no second look inside text: printable ASCII but for '"' and '\\'.
    static constexpr auto plain = [] {
        std::array<bool, 256> table{};
        for (int c = 0x20; c < 0x80; ++c)
            table[size_t(c)] = c != '"' && c != '\\';
        return table;
    }();
    while (m_cursor < m_end) {
        while (m_cursor < m_end && plain[static_cast<unsigned char>(*m_cursor)])
            ++m_cursor;
        if (m_cursor == m_end)
            break;
        const unsigned char c = static_cast<unsigned char>(*m_cursor);
        if (c == '"') {
            if (unescaped && *escaped)
                unescaped->append(runStart, m_cursor - runStart);
            ++m_cursor;
            return true;
        }
        if (c < 0x20) {
            fail("control character in text");
            return false;
        }
        if (c >= 0x80) {
            const int length = utf8SequenceLength(reinterpret_cast<const unsigned char*>(m_cursor),
                                                  reinterpret_cast<const unsigned char*>(m_end));
            if (length == 0) {
                fail("invalid UTF-8");
                return false;
            }
            m_cursor += length;
            continue;
        }
        if (c != '\\') {
            ++m_cursor;
            continue;
        }
        if (unescaped) {
            if (!*escaped) {
                *escaped = true;
                unescaped->resize(0);
            }
            unescaped->append(runStart, m_cursor - runStart);
        }
        if (m_end - m_cursor < 2) {
            fail("unterminated text");
            return false;
        }
        const char kind = m_cursor[1];
        m_cursor += 2;
        char simple = 0;
        switch (kind) {
        case '"': simple = '"'; break;
        case '\\': simple = '\\'; break;
        case '/': simple = '/'; break;
        case 'b': simple = '\b'; break;
        case 'f': simple = '\f'; break;
        case 'n': simple = '\n'; break;
        case 'r': simple = '\r'; break;
        case 't': simple = '\t'; break;
        case 'u': break;
        default:
            fail("invalid escape");
            return false;
        }
        if (simple) {
            if (unescaped)
                unescaped->append(simple);
        } else {
            auto hex4 = [this](char32_t* out) {
                if (m_end - m_cursor < 4)
                    return false;
                char32_t value = 0;
                for (int i = 0; i < 4; ++i) {
                    const int digit = hexValue(m_cursor[i]);
                    if (digit < 0)
                        return false;
                    value = (value << 4) | char32_t(digit);
                }
                m_cursor += 4;
                *out = value;
                return true;
            };
            char32_t code = 0;
            if (!hex4(&code)) {
                fail("invalid \\u escape");
                return false;
            }
            if (code >= 0xD800 && code <= 0xDBFF && m_end - m_cursor >= 2 && m_cursor[0] == '\\' && m_cursor[1] == 'u') {
                const char* save = m_cursor;
                m_cursor += 2;
                char32_t low = 0;
                if (hex4(&low) && low >= 0xDC00 && low <= 0xDFFF)
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                else
                    m_cursor = save;
            }
            // A lone surrogate cannot be written as UTF-8; it reads as the replacement character.
            if (code >= 0xD800 && code <= 0xDFFF)
                code = 0xFFFD;
            if (unescaped)
                appendUtf8(unescaped, code);
        }
        runStart = m_cursor;
    }
    fail("unterminated text");
    return false;
}

QString JsonScanner::readString()
{
    if (peek() != Type::String) {
        fail("text expected");
        return {};
    }
    const char* start = m_cursor + 1;
    bool escaped = false;
    if (!scanString(&m_scratch, &escaped))
        return {};
    if (!escaped)
        return QString::fromUtf8(start, m_cursor - 1 - start);
    return QString::fromUtf8(m_scratch);
}

bool JsonScanner::scanNumber(double* value)
{
    const char* start = m_cursor;
    const char* p = m_cursor;
    if (p < m_end && *p == '-')
        ++p;
    if (p < m_end && *p == '0') {
        ++p;
    } else if (p < m_end && isDigit(*p)) {
        while (p < m_end && isDigit(*p))
            ++p;
    } else {
        fail("invalid number");
        return false;
    }
    if (p < m_end && *p == '.') {
        ++p;
        if (p == m_end || !isDigit(*p)) {
            fail("invalid number");
            return false;
        }
        while (p < m_end && isDigit(*p))
            ++p;
    }
    if (p < m_end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < m_end && (*p == '+' || *p == '-'))
            ++p;
        if (p == m_end || !isDigit(*p)) {
            fail("invalid number");
            return false;
        }
        while (p < m_end && isDigit(*p))
            ++p;
    }
    double number = 0;
    if (std::from_chars(start, p, number).ec != std::errc()) {
        fail("number out of range");
        return false;
    }
    m_cursor = p;
    if (value)
        *value = number;
    return true;
}

double JsonScanner::readNumber()
{
    if (peek() != Type::Number) {
        fail("number expected");
        return 0;
    }
    double value = 0;
    scanNumber(&value);
    return value;
}

bool JsonScanner::literal(const char* word)
{
    const qsizetype length = qsizetype(qstrlen(word));
    if (m_end - m_cursor < length || QByteArrayView(m_cursor, length) != QByteArrayView(word, length)) {
        fail("invalid literal");
        return false;
    }
    m_cursor += length;
    return true;
}

void JsonScanner::skipValue()
{
    switch (peek()) {
    case Type::Object: {
        enterObject();
        QByteArrayView key;
        while (nextKey(&key))
            skipValue();
        break;
    }
    case Type::Array:
        enterArray();
        while (nextElement())
            skipValue();
        break;
    case Type::String:
        scanString(nullptr, nullptr);
        break;
    case Type::Number:
        scanNumber(nullptr);
        break;
    case Type::Bool:
        literal(*m_cursor == 't' ? "true" : "false");
        break;
    case Type::Null:
        literal("null");
        break;
    case Type::Invalid:
        fail("value expected");
        break;
    }
}

bool JsonScanner::finish()
{
    skipSpace();
    if (!failed() && m_cursor != m_end)
        fail("data after the document");
    return !failed();
}

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A forward-only reader of one JSON document, for answers where only a few
// fields of many are wanted: it builds no tree, and only what the caller reads
// becomes a QString. It accepts what QJsonDocument accepts and no more: an
// object or an array at the top (a bare number, text or literal there is an
// error), after an optional UTF-8 byte-order mark, in the JSON grammar only
// (UTF-8, numbers within double range, no trailing data, at most 1024 levels).
// After the first error every call does nothing and error() says what went
// wrong. Duplicate keys are all handed to the caller; to read a document as
// QJsonDocument does, the last one must win.
class JsonScanner {
public:
    enum class Type { Object, Array, String, Number, Bool, Null, Invalid };

    explicit JsonScanner(const QByteArray& document);

    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }

    // The type of the value at the cursor (white space skipped).
    Type peek();

    // Objects: enterObject() consumes '{'; nextKey() moves to the next member
    // and hands back its key, or returns false once '}' is consumed. The
    // member's value must then be read or skipped.
    bool enterObject();
    bool nextKey(QByteArrayView* key);
    // Arrays: enterArray() consumes '['; nextElement() returns false once ']' is consumed.
    bool enterArray();
    bool nextElement();

    QString readString();
    double readNumber();
    void skipValue();

    // True when only white space follows the value just read.
    bool finish();

private:
    void fail(const char* what);
    // Past the separator before the next member, or past `close` (false).
    bool nextMember(char close, const char* unterminated, const char* separatorExpected);
    void skipSpace();
    bool scanString(QByteArray* unescaped, bool* escaped);
    bool scanNumber(double* value);
    bool literal(const char* word);
    bool push();

    const char* m_begin;
    const char* m_cursor;
    const char* m_end;
    int m_depth = 0;
    bool m_started = false; // the top-level container has been entered
    bool m_first = false; // no member or element read yet in the innermost container
    QByteArray m_scratch;
    QString m_error;
};

#pragma once

#include "Services/Web/JsonScanner.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <bit>
#include <cstddef>
#include <optional>

// One field a decoder wants from a JSON object: the keys from the object down
// to its value, and the reader that takes the value into the record. A table
// of them reads an object in one forward pass over the scanner:
//
//     {{"im:name", "label"}, JsonFieldTable::text<&Entry::name>},
//
// A reader takes the value at the cursor into its part of the record,
// replacing whatever an earlier member of the same name left, and returns what
// is wrong with the value (empty when nothing); called without a scanner it
// sets its part to absent.
template <typename Record>
struct JsonField {
    std::array<QByteArrayView, 3> path; // unused keys stay empty
    QString (*read)(JsonScanner* scan, Record& record);
};

// The rules are those of reading the parsed QJsonDocument by hand: a missing
// member or a null on the way reads as absent, a value of the wrong type is a
// problem with its field, and of duplicate keys only the last one counts,
// problem and all.
namespace JsonFieldTable {

// A text field where a value of another type is not a problem in itself; the
// decoder decides whether it matters.
struct LenientText {
    QString text;
    bool wrongType = false;
};

namespace detail {
inline QString keyPath(const std::array<QByteArrayView, 3>& path, std::size_t count)
{
    QStringList keys;
    for (std::size_t i = 0; i < count; ++i)
        keys.append(QString::fromUtf8(path[i]));
    return keys.join(QLatin1Char('/'));
}

template <typename Record, std::size_t N>
void readLevel(JsonScanner& scan, Record& record, const JsonField<Record> (&fields)[N], quint32 wanted,
               std::size_t depth, std::array<QString, N>& problems)
{
    const JsonScanner::Type type = scan.peek();
    if (type != JsonScanner::Type::Object) {
        if (type != JsonScanner::Type::Null) {
            const std::size_t first = std::countr_zero(wanted);
            problems[first] = depth == 0 ? QStringLiteral("not an object")
                                         : keyPath(fields[first].path, depth) + QLatin1String(" is not an object");
        }
        scan.skipValue();
        return;
    }
    scan.enterObject();
    QByteArrayView key;
    while (scan.nextKey(&key)) {
        quint32 matched = 0;
        for (std::size_t i = 0; i < N; ++i) {
            if ((wanted >> i & 1u) && fields[i].path[depth] == key)
                matched |= 1u << i;
        }
        if (!matched) {
            scan.skipValue();
            continue;
        }
        const std::size_t first = std::countr_zero(matched);
        const JsonField<Record>& field = fields[first];
        if (depth + 1 < field.path.size() && !field.path[depth + 1].isEmpty()) {
            // A repeated inner object replaces everything the earlier one held.
            for (std::size_t i = first; i < N; ++i) {
                if (matched >> i & 1u) {
                    fields[i].read(nullptr, record);
                    problems[i].clear();
                }
            }
            readLevel(scan, record, fields, matched, depth + 1, problems);
        } else if (QString problem = field.read(&scan, record); !problem.isEmpty()) {
            problems[first] = keyPath(field.path, depth + 1) + QLatin1String(": ") + problem;
        } else {
            problems[first].clear();
        }
    }
}
} // namespace detail

// Reads the object at the cursor (a null reads as an empty one) into `record`,
// whose fields start absent. Returns the problem of the first field in table
// order that has one. A key is either a leaf or leads further on, never both.
template <typename Record, std::size_t N>
QString readObject(JsonScanner& scan, Record& record, const JsonField<Record> (&fields)[N])
{
    static_assert(N > 0 && N <= 32, "a table has 1 to 32 fields");
    std::array<QString, N> problems;
    detail::readLevel(scan, record, fields, N == 32 ? ~0u : (1u << N) - 1, 0, problems);
    for (QString& problem : problems) {
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

// Calls `item(index)` for each element of the list at the cursor, or once for
// an object when a single object may stand for a list of one. Returns the
// first problem an item reports; the items after it are only skipped.
template <typename F>
QString eachItem(JsonScanner& scan, bool objectIsListOfOne, F&& item)
{
    const JsonScanner::Type type = scan.peek();
    if (type == JsonScanner::Type::Object && objectIsListOfOne)
        return item(0);
    if (type != JsonScanner::Type::Array) {
        scan.skipValue();
        return type == JsonScanner::Type::Null || scan.failed() ? QString() : QStringLiteral("not a list");
    }
    scan.enterArray();
    QString problem;
    for (int index = 0; scan.nextElement(); ++index) {
        if (problem.isEmpty())
            problem = item(index);
        else
            scan.skipValue();
    }
    return problem;
}

// Reads the items of the list at the cursor through `fields` until
// `take(item)` says one is what was looked for; the items after it go unread.
template <typename Item, std::size_t N, typename Take>
QString firstItem(JsonScanner& scan, bool objectIsListOfOne, const JsonField<Item> (&fields)[N], Take&& take)
{
    bool found = false;
    return eachItem(scan, objectIsListOfOne, [&](int) -> QString {
        if (found) {
            scan.skipValue();
            return {};
        }
        Item item;
        QString problem = readObject(scan, item, fields);
        found = take(item);
        return problem;
    });
}

// Reads text at the cursor into `target`, a null as the empty text.
inline QString readText(JsonScanner& scan, QString* target)
{
    switch (scan.peek()) {
    case JsonScanner::Type::String:
        *target = scan.readString();
        return {};
    case JsonScanner::Type::Null:
        scan.skipValue();
        return {};
    default:
        scan.skipValue();
        return QStringLiteral("not text");
    }
}

template <auto member, typename Record>
QString text(JsonScanner* scan, Record& record)
{
    QString& target = record.*member;
    target = QString();
    return scan ? readText(*scan, &target) : QString();
}

// Reads a number into an optional double, a null as absent.
template <auto member, typename Record>
QString number(JsonScanner* scan, Record& record)
{
    std::optional<double>& target = record.*member;
    target.reset();
    if (!scan)
        return {};
    switch (scan->peek()) {
    case JsonScanner::Type::Number:
        target = scan->readNumber();
        return {};
    case JsonScanner::Type::Null:
        scan->skipValue();
        return {};
    default:
        scan->skipValue();
        return QStringLiteral("not a number");
    }
}

template <auto member, typename Record>
QString lenientText(JsonScanner* scan, Record& record)
{
    LenientText& target = record.*member;
    target = {};
    target.wrongType = scan && !readText(*scan, &target.text).isEmpty();
    return {};
}

} // namespace JsonFieldTable

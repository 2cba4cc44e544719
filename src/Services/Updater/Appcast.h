#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// A version text compared numerically part by part: "1.10" is newer than
// "1.9", and "1.2" equals "1.2.0". Whatever follows the digits of a part
// ("0-beta", "3b") does not count.
class SoftwareVersion {
public:
    // Far beyond any version people publish ("2024.10.5.1234"); a feed that
    // names a longer one is broken or hostile, and is refused as a whole.
    static constexpr qsizetype kMaxLength = 64;
    static constexpr qsizetype kMaxParts = 16;
    static bool isUnreasonable(QStringView text);

    // No value when the text does not begin with a number (an optional "v"
    // before it is allowed), a part is not a number, or it is unreasonable.
    static std::optional<SoftwareVersion> parse(const QString& text);

    const QString& text() const { return m_text; }
    // Negative, zero or positive as this is older, the same or newer.
    int compare(const SoftwareVersion& other) const;

private:
    QString m_text;
    QList<qint64> m_parts;
};

// One release of the update feed.
struct AppcastItem {
    QString title;
    QString version; // the version shown to people (the short one when the feed has both)
    QUrl releasePage; // http or https only; empty when the feed gives none
};

// The maker's update feed: an RSS document whose items carry their version
// on their enclosure (as "version" or "shortVersionString" attributes, with
// any prefix) or in elements of those names. Nothing of it is downloaded or run.
struct Appcast {
    QList<AppcastItem> items; // only items with a readable version

    // Why a feed cannot be used: a plain sentence for people, and for the log
    // the parser's own message when the XML is broken.
    struct Problem {
        QString sentence;
        QString detail;
    };
    static Result<Appcast, Problem> parse(const QByteArray& xml);

    // The item with the highest version; the first of equals.
    std::optional<AppcastItem> newest() const;
};

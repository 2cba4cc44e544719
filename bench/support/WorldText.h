#pragma once

// Text as the catalogue and the charts carry it in storefronts around the
// world, so that benchmarks do not flatter plain ASCII: app names, developers
// and descriptions in several scripts, raw UTF-8 with the escaped line breaks
// real descriptions have.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace WorldText {

// One paragraph per script: Japanese, Arabic, Cyrillic, Greek, accented
// Latin, emoji with joiners and flags, Chinese, Devanagari.
inline const QStringList& paragraphs()
{
    static const QStringList list{
        QStringLiteral(u"写真をかんたんに編集して、家族や友だちと共有しましょう。毎日の記録がもっと楽しくなります。"),
        QStringLiteral(u"حرّر صورك بسهولة وشاركها مع العائلة والأصدقاء، واجعل يومياتك أكثر متعة وتنظيمًا."),
        QStringLiteral(u"Редактируйте фотографии и делитесь ими с семьёй и друзьями. Ведите дневник каждый день."),
        QStringLiteral(u"Επεξεργαστείτε τις φωτογραφίες σας και μοιραστείτε τες με φίλους και οικογένεια εύκολα."),
        QStringLiteral(u"Gérez vos dépenses où que vous soyez : économies, reçus, açaí à São Paulo, Smørrebrød i København."),
        QStringLiteral(u"Plan your day ✅ track habits 📈 celebrate wins 🎉🔥 with the family 👨‍👩‍👧 from 🇯🇵 to 🇧🇷"),
        QStringLiteral(u"轻松编辑照片，与家人和朋友分享。记录每一天，让生活更有条理。"),
        QStringLiteral(u"अपनी तस्वीरें आसानी से संपादित करें और परिवार व दोस्तों के साथ साझा करें।"),
    };
    return list;
}

// About `length` characters in the script of `index`: whole paragraphs,
// separated by blank lines as descriptions are, cut to the length.
inline QString text(int index, qsizetype length)
{
    const QString& paragraph = paragraphs().at(index % paragraphs().size());
    QString out;
    while (out.size() < length)
        out += (out.isEmpty() ? QString() : QStringLiteral("\n\n")) + paragraph;
    out.truncate(std::max<qsizetype>(length, 1));
    // Never end inside a surrogate pair.
    if (out.back().isHighSurrogate())
        out.chop(1);
    return out;
}

// `json` with the text value after each of `prefixes` (such as
// `"trackName":` or `"im:name":{"label":`) replaced by text of the same
// length. A record's texts share one script; a record starts at each match of
// the first prefix.
inline QByteArray localised(const QByteArray& json, const QList<QByteArray>& prefixes)
{
    QByteArray out;
    out.reserve(json.size() * 2);
    qsizetype position = 0;
    int record = -1;
    for (;;) {
        qsizetype match = -1;
        qsizetype matchedPrefix = 0;
        for (qsizetype i = 0; i < prefixes.size(); ++i) {
            const qsizetype found = json.indexOf(prefixes.at(i), position);
            if (found >= 0 && (match < 0 || found < match))
                match = found, matchedPrefix = i;
        }
        const qsizetype open = match < 0 ? -1 : match + prefixes.at(matchedPrefix).size();
        if (open < 0 || open >= json.size() || json.at(open) != '"') {
            out += json.mid(position);
            return out;
        }
        qsizetype close = open + 1;
        while (close < json.size() && json.at(close) != '"')
            close += json.at(close) == '\\' ? 2 : 1;
        if (matchedPrefix == 0)
            ++record;
        QByteArray value = text(std::max(record, 0), close - open - 1).toUtf8();
        value.replace("\n", "\\n");
        out += json.mid(position, open + 1 - position) + value + '"';
        position = close + 1;
    }
}

} // namespace WorldText

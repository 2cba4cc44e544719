#include "Services/Updater/Appcast.h"

#include "Services/Web/WebClient.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace {

// Feeds declare their extension prefix in various ways, or forget to; the
// element and attribute names are matched without it.
QStringView localName(QStringView qualified)
{
    const qsizetype colon = qualified.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? qualified : qualified.mid(colon + 1);
}

QString attributeByLocalName(const QXmlStreamAttributes& attributes, QLatin1String name)
{
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (localName(attribute.qualifiedName()) == name)
            return attribute.value().toString().trimmed();
    }
    return {};
}

struct ItemFields {
    QString title;
    QString enclosureVersion;
    QString enclosureShortVersion;
    QString elementVersion;
    QString elementShortVersion;
    QString link;
    QString releaseNotesLink;
};

std::optional<AppcastItem> makeItem(const ItemFields& fields)
{
    AppcastItem item;
    item.title = fields.title;
    for (const QString& candidate : {fields.enclosureShortVersion, fields.elementShortVersion, fields.enclosureVersion,
                                     fields.elementVersion}) {
        if (SoftwareVersion::parse(candidate)) {
            item.version = candidate;
            break;
        }
    }
    if (item.version.isEmpty())
        return std::nullopt;
    item.releasePage = JsonFields::webAddress(fields.link);
    if (item.releasePage.isEmpty())
        item.releasePage = JsonFields::webAddress(fields.releaseNotesLink);
    return item;
}

} // namespace

bool SoftwareVersion::isUnreasonable(QStringView text)
{
    text = text.trimmed();
    return text.size() > kMaxLength || text.count(QLatin1Char('.')) >= kMaxParts;
}

std::optional<SoftwareVersion> SoftwareVersion::parse(const QString& text)
{
    if (isUnreasonable(text))
        return std::nullopt;
    QString trimmed = text.trimmed();
    QStringView digits(trimmed);
    if (digits.startsWith(QLatin1Char('v'), Qt::CaseInsensitive))
        digits = digits.mid(1);
    if (digits.isEmpty())
        return std::nullopt;

    SoftwareVersion version;
    for (QStringView part : digits.split(QLatin1Char('.'))) {
        qsizetype length = 0;
        while (length < part.size() && part.at(length).isDigit() && part.at(length).unicode() < 128)
            ++length;
        // 18 digits still fit; a longer number is no version anyone publishes.
        if (length == 0 || length > 18)
            return std::nullopt;
        version.m_parts.append(part.left(length).toLongLong());
    }
    version.m_text = trimmed;
    return version;
}

int SoftwareVersion::compare(const SoftwareVersion& other) const
{
    const qsizetype count = std::max(m_parts.size(), other.m_parts.size());
    for (qsizetype i = 0; i < count; ++i) {
        const qint64 mine = i < m_parts.size() ? m_parts.at(i) : 0;
        const qint64 theirs = i < other.m_parts.size() ? other.m_parts.at(i) : 0;
        if (mine != theirs)
            return mine < theirs ? -1 : 1;
    }
    return 0;
}

Result<Appcast, Appcast::Problem> Appcast::parse(const QByteArray& xml)
{
    using R = Result<Appcast, Problem>;
    auto text = [](const char* source) { return QCoreApplication::translate("Appcast", source); };

    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);
    Appcast appcast;
    bool sawRoot = false;
    std::optional<ItemFields> item;
    int itemDepth = 0; // element depth inside the current item

    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = localName(reader.qualifiedName());
            if (!sawRoot) {
                sawRoot = true;
                if (name != QLatin1String("rss"))
                    return R::failure({text("The update information is not an update feed."), {}});
                continue;
            }
            if (!item) {
                if (name == QLatin1String("item")) {
                    item.emplace();
                    itemDepth = 0;
                }
                continue;
            }
            ++itemDepth;
            if (name == QLatin1String("enclosure")) {
                item->enclosureVersion = attributeByLocalName(reader.attributes(), QLatin1String("version"));
                item->enclosureShortVersion =
                    attributeByLocalName(reader.attributes(), QLatin1String("shortVersionString"));
            } else if (itemDepth == 1) {
                QString* target = nullptr;
                if (name == QLatin1String("title"))
                    target = &item->title;
                else if (name == QLatin1String("version"))
                    target = &item->elementVersion;
                else if (name == QLatin1String("shortVersionString"))
                    target = &item->elementShortVersion;
                else if (name == QLatin1String("link"))
                    target = &item->link;
                else if (name == QLatin1String("releaseNotesLink"))
                    target = &item->releaseNotesLink;
                if (target) {
                    *target = reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                    --itemDepth; // readElementText consumed the end element
                }
            }
        } else if (token == QXmlStreamReader::EndElement && item) {
            if (itemDepth == 0) {
                for (const QString* version : {&item->enclosureVersion, &item->enclosureShortVersion,
                                               &item->elementVersion, &item->elementShortVersion}) {
                    if (SoftwareVersion::isUnreasonable(*version))
                        return R::failure({text("The update information could not be read."),
                                           QStringLiteral("a version of %1 characters, line %2")
                                               .arg(version->size())
                                               .arg(reader.lineNumber())});
                }
                if (auto made = makeItem(*item))
                    appcast.items.append(std::move(*made));
                item.reset();
            } else {
                --itemDepth;
            }
        }
    }
    if (reader.hasError()) {
        return R::failure({text("The update information could not be read."),
                           QStringLiteral("%1, line %2").arg(reader.errorString()).arg(reader.lineNumber())});
    }
    if (!sawRoot)
        return R::failure({text("The update information is empty."), {}});
    return appcast;
}

std::optional<AppcastItem> Appcast::newest() const
{
    std::optional<AppcastItem> best;
    std::optional<SoftwareVersion> bestVersion;
    for (const AppcastItem& candidate : items) {
        const auto version = SoftwareVersion::parse(candidate.version);
        if (version && (!bestVersion || version->compare(*bestVersion) > 0)) {
            best = candidate;
            bestVersion = version;
        }
    }
    return best;
}

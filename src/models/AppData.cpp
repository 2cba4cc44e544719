#include "models/AppData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>
#include <limits>

namespace {

// The object with its keys converted. When two spellings meet (say "isNew"
// and "is_new"), the one that comes later in key order wins; either is a
// value the document gave for that key.
QJsonObject converted(const QJsonObject& object)
{
    QJsonObject result;
    for (auto it = object.begin(); it != object.end(); ++it)
        result.insert(AppData::fromSnakeCase(it.key()), it.value());
    return result;
}

QString missingOrWrong(const QJsonValue& value, const QString& key, const char* type)
{
    if (value.isUndefined())
        return QStringLiteral("key \"%1\" is missing").arg(key);
    if (value.isNull())
        return QStringLiteral("key \"%1\" is null").arg(key);
    return QStringLiteral("key \"%1\" is not %2").arg(key, QLatin1String(type));
}

std::optional<QString> readString(const QJsonObject& object, const char* key, QString* out)
{
    const QString name = QLatin1String(key);
    const QJsonValue value = object.value(name);
    if (!value.isString())
        return missingOrWrong(value, name, "a string");
    *out = value.toString();
    return std::nullopt;
}

std::optional<QString> readBool(const QJsonObject& object, const char* key, bool* out)
{
    const QString name = QLatin1String(key);
    const QJsonValue value = object.value(name);
    if (!value.isBool())
        return missingOrWrong(value, name, "a boolean");
    *out = value.toBool();
    return std::nullopt;
}

std::optional<QString> readInt(const QJsonObject& object, const char* key, int* out)
{
    const QString name = QLatin1String(key);
    const QJsonValue value = object.value(name);
    if (!value.isDouble())
        return missingOrWrong(value, name, "an integer");
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::floor(number) != number || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return missingOrWrong(value, name, "an integer");
    *out = static_cast<int>(number);
    return std::nullopt;
}

} // namespace

QString AppData::fromSnakeCase(const QString& key)
{
    qsizetype first = 0;
    while (first < key.size() && key.at(first) == QLatin1Char('_'))
        ++first;
    if (first == key.size())
        return key;
    qsizetype last = key.size() - 1;
    while (key.at(last) == QLatin1Char('_'))
        --last;

    QString result = key.left(first);
    bool upperNext = false;
    for (qsizetype i = first; i <= last; ++i) {
        const QChar c = key.at(i);
        if (c == QLatin1Char('_')) {
            upperNext = true;
            continue;
        }
        result += upperNext ? c.toUpper() : c;
        upperNext = false;
    }
    result += key.mid(last + 1);
    return result;
}

Result<AppData, QString> AppData::decode(const QByteArray& json)
{
    using R = Result<AppData, QString>;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return R::failure(QStringLiteral("not JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
    if (!document.isObject())
        return R::failure(QStringLiteral("the document is not an object"));

    const QJsonObject root = converted(document.object());
    AppData data;
    if (auto problem = readString(root, "version", &data.version))
        return R::failure(*problem);
    const QJsonValue list = root.value(QLatin1String("apps"));
    if (!list.isArray())
        return R::failure(missingOrWrong(list, QStringLiteral("apps"), "an array"));

    const QJsonArray apps = list.toArray();
    data.apps.reserve(apps.size());
    for (qsizetype index = 0; index < apps.size(); ++index) {
        const QJsonValue entry = apps.at(index);
        auto fail = [index](const QString& problem) {
            return R::failure(QStringLiteral("apps[%1]: %2").arg(index).arg(problem));
        };
        if (!entry.isObject())
            return fail(QStringLiteral("not an object"));
        const QJsonObject object = converted(entry.toObject());
        Application app;
        if (auto problem = readString(object, "name", &app.name))
            return fail(*problem);
        if (auto problem = readString(object, "link", &app.link))
            return fail(*problem);
        if (auto problem = readString(object, "icon", &app.icon))
            return fail(*problem);
        if (auto problem = readBool(object, "isNew", &app.isNew))
            return fail(*problem);
        if (auto problem = readInt(object, "order", &app.order))
            return fail(*problem);
        data.apps.append(std::move(app));
    }
    return data;
}

QJsonObject AppData::toJson() const
{
    QJsonArray list;
    for (const Application& app : apps) {
        list.append(QJsonObject{
            {QStringLiteral("name"), app.name},
            {QStringLiteral("link"), app.link},
            {QStringLiteral("icon"), app.icon},
            {QStringLiteral("isNew"), app.isNew},
            {QStringLiteral("order"), app.order},
        });
    }
    return QJsonObject{{QStringLiteral("version"), version}, {QStringLiteral("apps"), list}};
}

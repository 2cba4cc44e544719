#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
QHash<QString, UserDefaults*>& suites()
{
    static QHash<QString, UserDefaults*> instances;
    return instances;
}
} // namespace

UserDefaults* UserDefaults::suite(const QString& name)
{
    auto& instances = suites();
    if (auto it = instances.constFind(name); it != instances.constEnd())
        return it.value();
    auto* instance = new UserDefaults(name);
    // Parented to the application when there is one so it goes with it.
    if (auto* app = QCoreApplication::instance())
        instance->setParent(app);
    instances.insert(name, instance);
    QObject::connect(instance, &QObject::destroyed, [name] { suites().remove(name); });
    return instance;
}

void UserDefaults::resetForTesting()
{
    const auto instances = suites().values();
    suites().clear();
    qDeleteAll(instances);
}

UserDefaults::UserDefaults(const QString& name)
    : m_name(name)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QDir().mkpath(folder);
    m_settings = std::make_unique<QSettings>(folder + QLatin1Char('/') + name + QStringLiteral(".conf"),
                                             QSettings::IniFormat);
}

QString UserDefaults::filePath() const
{
    return m_settings->fileName();
}

QVariant UserDefaults::value(const QString& key, const QVariant& defaultValue) const
{
    return m_settings->value(key, defaultValue);
}

bool UserDefaults::boolValue(const QString& key, bool defaultValue) const
{
    const QVariant stored = m_settings->value(key);
    if (!stored.isValid())
        return defaultValue;
    // INI files hand booleans back as text.
    const QString text = stored.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return defaultValue;
}

QStringList UserDefaults::stringList(const QString& key) const
{
    const QVariant stored = m_settings->value(key);
    if (!stored.isValid())
        return {};
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList();
    if (stored.typeId() == QMetaType::QVariantList) {
        QStringList texts;
        for (const QVariant& item : stored.toList()) {
            if (item.typeId() != QMetaType::QString)
                return {};
            texts << item.toString();
        }
        return texts;
    }
    // A single-element list comes back from INI storage as a plain text.
    if (stored.typeId() == QMetaType::QString)
        return {stored.toString()};
    return {};
}

bool UserDefaults::contains(const QString& key) const
{
    return m_settings->contains(key);
}

std::optional<QString> UserDefaults::setValue(const QString& key, const QVariant& value)
{
    const bool changed = !m_settings->contains(key) || m_settings->value(key) != value;
    m_settings->setValue(key, value);
    std::optional<QString> problem = save();
    if (changed)
        emit valueChanged(key);
    return problem;
}

std::optional<QString> UserDefaults::remove(const QString& key)
{
    if (!m_settings->contains(key))
        return std::nullopt;
    m_settings->remove(key);
    std::optional<QString> problem = save();
    emit valueChanged(key);
    return problem;
}

std::optional<QString> UserDefaults::save()
{
    const bool failedBefore = m_settings->status() != QSettings::NoError;
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return std::nullopt;
    // QSettings keeps the first error it met for its whole life, so after
    // one its status no longer tells whether this save failed; whether the
    // file can be written now does.
    if (failedBefore && m_settings->isWritable())
        return std::nullopt;
    return whyNotWritable();
}

QString UserDefaults::whyNotWritable() const
{
    // The checks QSettings makes before it writes, asked again for their cause.
    const QString path = filePath();
    if (QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            return file.errorString();
    } else {
        QTemporaryFile probe(path);
        if (!probe.open())
            return probe.errorString();
    }
    return QStringLiteral("the file could not be written");
}

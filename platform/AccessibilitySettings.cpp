#include "platform/AccessibilitySettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>

namespace {
std::optional<bool> environmentFlag(const char* name)
{
    const QByteArray value = qgetenv(name).trimmed().toLower();
    if (value == "1" || value == "true")
        return true;
    if (value == "0" || value == "false")
        return false;
    return std::nullopt;
}

QString configFile(const QString& relativePath)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base.isEmpty() ? QString() : QDir(base).filePath(relativePath);
}
} // namespace

AccessibilitySettings* AccessibilitySettings::instance()
{
    static QPointer<AccessibilitySettings> settings;
    if (!settings)
        settings = new AccessibilitySettings(QCoreApplication::instance());
    return settings;
}

AccessibilitySettings::AccessibilitySettings(QObject* parent)
    : QObject(parent)
{
}

bool AccessibilitySettings::desktopReducesMotion()
{
    if (auto flag = environmentFlag("PLOVERA_REDUCE_MOTION"))
        return *flag;
    if (const QString path = configFile(QStringLiteral("kdeglobals")); !path.isEmpty()) {
        QSettings kde(path, QSettings::IniFormat);
        const QVariant factor = kde.value(QStringLiteral("KDE/AnimationDurationFactor"));
        if (factor.isValid() && factor.toDouble() == 0.0)
            return true;
    }
    if (const QString path = configFile(QStringLiteral("gtk-3.0/settings.ini")); !path.isEmpty()) {
        QSettings gtk(path, QSettings::IniFormat);
        const QString enabled = gtk.value(QStringLiteral("Settings/gtk-enable-animations")).toString().toLower();
        if (enabled == QLatin1String("false") || enabled == QLatin1String("0"))
            return true;
    }
    return false;
}

bool AccessibilitySettings::desktopReducesTransparency()
{
    return environmentFlag("PLOVERA_REDUCE_TRANSPARENCY").value_or(false);
}

bool AccessibilitySettings::reduceMotion() const
{
    return m_reduceMotion ? *m_reduceMotion : desktopReducesMotion();
}

bool AccessibilitySettings::reduceTransparency() const
{
    return m_reduceTransparency ? *m_reduceTransparency : desktopReducesTransparency();
}

void AccessibilitySettings::setReduceMotionOverride(std::optional<bool> value)
{
    if (m_reduceMotion == value)
        return;
    m_reduceMotion = value;
    emit changed();
}

void AccessibilitySettings::setReduceTransparencyOverride(std::optional<bool> value)
{
    if (m_reduceTransparency == value)
        return;
    m_reduceTransparency = value;
    emit changed();
}

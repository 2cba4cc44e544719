#include "MacAppDelegate.h"

#include <QApplication>
#include <QIcon>

MacAppDelegate::MacAppDelegate(QObject* parent)
    : QObject(parent)
{
}

void MacAppDelegate::applicationWillFinishLaunching()
{
    QCoreApplication::setApplicationName(QStringLiteral("Plovera"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PLOVERA_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Vantorel"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("org.Vantorel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.Vantorel.Plovera"));
    QGuiApplication::setQuitOnLastWindowClosed(true);
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

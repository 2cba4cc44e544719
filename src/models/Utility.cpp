#include "models/Utility.h"

#include <QCoreApplication>
#include <QSysInfo>

QString Utility::appNameAndVersion()
{
    return QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion();
}

QString Utility::deviceModelIdentifier()
{
    // The kernel's machine name, as the original platform's "hw.machine" gives it.
    return QSysInfo::currentCpuArchitecture();
}

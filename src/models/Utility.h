#pragma once

#include <QString>

// Facts about the running program for support texts.
namespace Utility {
// The application's name, one blank and its version ("Plovera 1.0.0"); either
// part is empty when unknown.
QString appNameAndVersion();
// The machine identifier of the running computer (e.g. "x86_64").
QString deviceModelIdentifier();
} // namespace Utility

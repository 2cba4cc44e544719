#pragma once

#include <QIcon>
#include <QString>

// The flag of a storefront drawn from its emoji as an icon, rendered when first
// painted, so that a list or menu shows the flag beside the country's name and
// typing a name still finds it. Null for a code without a flag.
QIcon flagIcon(const QString& code);

#include "toasts/values/ToastStringTable.h"

namespace {
ToastStringTable::Lookup& installedLookup()
{
    static ToastStringTable::Lookup lookup;
    return lookup;
}
} // namespace

void ToastStringTable::setLookup(Lookup lookup)
{
    installedLookup() = std::move(lookup);
}

QString ToastStringTable::text(const char* key)
{
    const QString keyText = QString::fromUtf8(key);
    if (!installedLookup())
        return keyText;
    const QString found = installedLookup()(keyText);
    return found.isEmpty() ? keyText : found;
}

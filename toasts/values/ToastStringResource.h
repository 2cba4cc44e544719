#pragma once

#include <QCoreApplication>
#include <QString>

// A localised string named by its translation context and key (as
// QT_TRANSLATE_NOOP marks them), looked up in the application's translations
// when it is used.
struct ToastStringResource {
    const char* context;
    const char* key;

    QString text() const { return QCoreApplication::translate(context, key); }
};

#pragma once

#include <QString>

#include <functional>

// Where the localisation keys of toast titles and toast buttons find their
// text: the application's own string table, which the application hands
// over at start-up (the toasts cannot reach up into it). Without a table,
// or for a key the table has no text for, the key itself is shown. Main
// thread.
class ToastStringTable {
public:
    using Lookup = std::function<QString(const QString& key)>;

    // An empty lookup goes back to showing keys as they stand.
    static void setLookup(Lookup lookup);
    static QString text(const char* key);
};

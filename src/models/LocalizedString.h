#pragma once

#include <QString>

// The application's string table: the English text of a screen's title,
// label or button key. A key the table does not hold is shown as it stands,
// so a missing entry reads oddly but never loses the text.
QString localizedString(const QString& key);


#pragma once

#include <QStringView>

#include <optional>

// Catalogue ids arrive as text from feeds and chart entries; they are
// compared as numbers, so "0123" and "123" name the same app.
namespace CatalogueID {
// The integer written in `text`: an optional leading '+' or '-', then ASCII
// digits only, nothing else (no blanks, no hex), within 64 bits.
std::optional<qint64> parse(QStringView text);
// As parse(), but only ids above zero name an app.
std::optional<qint64> parsePositive(QStringView text);
} // namespace CatalogueID

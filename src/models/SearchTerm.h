#pragma once

#include <QString>

// The longest search term the catalogue is asked for, in UTF-16 units; the
// search field keeps no more either.
inline constexpr qsizetype kMaxSearchTermLength = 200;

// The longest start of `text` of at most `maxUnits` UTF-16 units that ends
// between two characters as a reader sees them: a surrogate pair, a flag, an
// emoji joined from several or a letter with its accents is kept whole or
// left out whole, never cut into a stray half.
QString leftWholeCharacters(const QString& text, qsizetype maxUnits);

#include "Views/MainWindow/SearchTermValidator.h"

#include "models/SearchTerm.h"

#include <algorithm>

QValidator::State SearchTermValidator::validate(QString& input, int& pos) const
{
    const qsizetype excess = input.size() - kMaxSearchTermLength;
    if (excess <= 0)
        return Acceptable;
    // The cursor ends what was just put in; what it displaced stays as it was.
    if (pos < excess) {
        input = leftWholeCharacters(input, kMaxSearchTermLength);
        pos = static_cast<int>(std::min<qsizetype>(pos, input.size()));
        return Acceptable;
    }
    const QString kept = leftWholeCharacters(input.left(pos), pos - excess);
    input = kept + input.mid(pos);
    pos = static_cast<int>(kept.size());
    return Acceptable;
}

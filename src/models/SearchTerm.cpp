#include "models/SearchTerm.h"

#include <QTextBoundaryFinder>

#include <algorithm>

QString leftWholeCharacters(const QString& text, qsizetype maxUnits)
{
    if (text.size() <= maxUnits)
        return text;
    if (maxUnits <= 0)
        return {};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(maxUnits);
    if (!finder.isAtBoundary())
        finder.toPreviousBoundary();
    return text.left(std::max<qsizetype>(0, finder.position()));
}

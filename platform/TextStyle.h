#pragma once

#include <QFont>

class QWidget;

// The desktop text styles our screens are written against. Their sizes are
// given in points of the original design, which we treat as logical pixels so
// that a layout keeps its proportions at any screen DPI.
enum class TextStyle {
    LargeTitle,
    Title,
    Title2,
    Title3,
    Headline,
    Subheadline,
    Body,
    Callout,
    Footnote,
    Caption,
    Caption2,
};

// Size of a text style in logical pixels.
qreal textStyleSize(TextStyle style);

// The font of a text style. Headline is bold by nature: asking for it with
// the default weight gives the bold face.
QFont platformFont(TextStyle style, QFont::Weight weight = QFont::Normal);

// The application's font family at a given size in logical pixels.
QFont systemFont(qreal size, QFont::Weight weight = QFont::Normal);

void applyTextStyle(QWidget* widget, TextStyle style, QFont::Weight weight = QFont::Normal);

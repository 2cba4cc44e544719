#include "platform/TextStyle.h"

#include <QGuiApplication>
#include <QWidget>

#include <cmath>

qreal textStyleSize(TextStyle style)
{
    switch (style) {
    case TextStyle::LargeTitle: return 26;
    case TextStyle::Title: return 22;
    case TextStyle::Title2: return 17;
    case TextStyle::Title3: return 15;
    case TextStyle::Headline: return 13;
    case TextStyle::Subheadline: return 11;
    case TextStyle::Body: return 13;
    case TextStyle::Callout: return 12;
    case TextStyle::Footnote: return 10;
    case TextStyle::Caption: return 10;
    case TextStyle::Caption2: return 10;
    }
    return 13;
}

QFont systemFont(qreal size, QFont::Weight weight)
{
    QFont font = QGuiApplication::font();
    // Pixel sizes keep one design point equal to one logical pixel whatever
    // the screen's logical DPI is; point sizes would scale with it.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    font.setWeight(weight);
    return font;
}

QFont platformFont(TextStyle style, QFont::Weight weight)
{
    if (style == TextStyle::Headline && weight == QFont::Normal)
        weight = QFont::Bold;
    return systemFont(textStyleSize(style), weight);
}

void applyTextStyle(QWidget* widget, TextStyle style, QFont::Weight weight)
{
    if (widget)
        widget->setFont(platformFont(style, weight));
}

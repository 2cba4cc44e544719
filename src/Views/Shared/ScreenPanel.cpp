#include "Views/Shared/ScreenPanel.h"

#include "platform/ColorSchemeWatcher.h"
#include "platform/FocusRing.h"
#include "platform/SymbolImage.h"

#include <QAbstractScrollArea>
#include <QVBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
QColor rgba(qreal r, qreal g, qreal b, qreal a)
{
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                            static_cast<float>(a));
}

class Divider final : public QWidget {
public:
    explicit Divider(QWidget* parent) : QWidget(parent)
    {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), SemanticColors::separator(colorScheme(this)));
    }
};
} // namespace

PanelColors PanelColors::tabCard()
{
    return {rgba(0.16, 0.16, 0.18, 1.0), QColor(Qt::white), rgba(1, 1, 1, 0.08), rgba(0, 0, 0, 0.05), 1};
}

ScreenPanel::ScreenPanel(qreal cornerRadius, PanelColors colors, QWidget* parent)
    : QWidget(parent)
    , m_radius(cornerRadius)
    , m_colors(std::move(colors))
    , m_painter(m_radius, m_colors.strokeWidth)
{
}

void ScreenPanel::setColors(PanelColors colors)
{
    m_colors = std::move(colors);
    m_painter = PanelPainter(m_radius, m_colors.strokeWidth);
    update();
}

void ScreenPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const ColorScheme scheme = colorScheme(this);
    m_painter.paint(&painter, rect(), m_colors.fill(scheme), m_colors.stroke(scheme));
}

CapsuleButton::CapsuleButton(const QString& symbol, const QString& text, QFont font, QSize padding, int spacing,
                             QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_padding(padding)
    , m_spacing(spacing)
{
    setText(text);
    setFont(font);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize CapsuleButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int symbol = metrics.height();
    return {2 * m_padding.width() + symbol + m_spacing + metrics.horizontalAdvance(text()),
            2 * m_padding.height() + metrics.height()};
}

void CapsuleButton::paintEvent(QPaintEvent*)
{
    const bool dark = colorScheme(this) == ColorScheme::Dark;
    const Look look{dark, isEnabled(), isDown(), hasFocus(), text(), font()};
    m_drawn.paint(this, look, [&](QPainter& painter) { draw(painter, dark); });
}

void CapsuleButton::draw(QPainter& painter, bool dark) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(drawnOpacity());
    const QColor foreground = dark ? QColor(Qt::white) : QColor(Qt::black);
    QColor outline = foreground;
    outline.setAlphaF(dark ? 0.6f : 0.3f);
    QPen pen(outline);
    pen.setWidthF(1.2);
    painter.setPen(pen);
    const QRectF shape = QRectF(rect()).adjusted(0.6, 0.6, -0.6, -0.6);
    painter.drawRoundedRect(shape, shape.height() / 2, shape.height() / 2);
    if (isDown())
        painter.fillPath([&] {
            QPainterPath p;
            p.addRoundedRect(shape, shape.height() / 2, shape.height() / 2);
            return p;
        }(), QColor(outline.red(), outline.green(), outline.blue(), 30));
    // Reached only by Tab, so any focus is the keyboard's.
    if (hasFocus())
        drawFocusRing(&painter, QRectF(rect()), -1, this);

    const QFontMetrics metrics(font());
    const int symbol = metrics.height();
    const int contentWidth = symbol + m_spacing + metrics.horizontalAdvance(text());
    int x = (width() - contentWidth) / 2;
    const int y = (height() - symbol) / 2;
    painter.drawPixmap(x, y, symbolPixmap(m_symbol, foreground, symbol, devicePixelRatioF()));
    x += symbol + m_spacing;
    painter.setPen(foreground);
    painter.setFont(font());
    painter.drawText(QRect(x, 0, width() - x, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}

BorderedButton::BorderedButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

QSize BorderedButton::sizeHint() const
{
    QSize size = QPushButton::sizeHint();
    if (!icon().isNull() && !text().isEmpty())
        size.rwidth() += kIconTextGap;
    return size;
}

QRect BorderedButton::iconRect() const
{
    if (icon().isNull())
        return {};
    const QRect text = textRect();
    const QSize side = iconSize();
    const int left = text.isEmpty() ? (width() - side.width()) / 2 : text.left() - kIconTextGap - side.width();
    return {QPoint(left, (height() - side.height()) / 2), side};
}

QRect BorderedButton::textRect() const
{
    if (text().isEmpty())
        return {};
    const QFontMetrics metrics(font());
    const int iconPart = icon().isNull() ? 0 : iconSize().width() + kIconTextGap;
    const int textWidth = metrics.horizontalAdvance(text());
    const int left = (width() - iconPart - textWidth) / 2 + iconPart;
    return {left, 0, textWidth, height()};
}

void BorderedButton::paintEvent(QPaintEvent*)
{
    // The style's bevel, then icon and text of our own. Focus shows as the
    // ring laid around the button, not as the style's mark.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    if (!icon().isNull()) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        icon().paint(&painter, iconRect(), Qt::AlignCenter, mode);
    }
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textRect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

void setLabelColor(QLabel* label, const QColor& color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    label->setPalette(palette);
}

void onColorSchemeChange(QWidget* widget, std::function<void()> apply)
{
    onColorSchemeChange(widget, [apply = std::move(apply), widget](ColorScheme) {
        apply();
        widget->update();
    });
}

void showCardThrough(QAbstractScrollArea* area)
{
    QPalette transparent = area->palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    area->setPalette(transparent);
    // Item views fill their viewport in that colour already; a plain scroll
    // area fills its own in its parent's.
    area->viewport()->setBackgroundRole(QPalette::Base);
}

QWidget* makeDivider(QWidget* parent)
{
    return new Divider(parent);
}

ScreenPanel* makeTabCard(QWidget* tab, QVBoxLayout*& column)
{
    auto* outer = new QVBoxLayout(tab);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* card = new ScreenPanel(24, PanelColors::tabCard(), tab);
    outer->addWidget(card);
    column = new QVBoxLayout(card);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(16);
    return card;
}

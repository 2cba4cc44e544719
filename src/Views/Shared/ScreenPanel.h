#pragma once

#include "Views/Shared/PanelPainter.h"
#include "platform/CachedPaint.h"
#include "platform/SemanticColors.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QPushButton>
#include <QWidget>

#include <functional>

class QAbstractScrollArea;
class QLabel;
class QVBoxLayout;

// Fill and stroke of a rounded panel in each colour scheme.
struct PanelColors {
    QColor darkFill;
    QColor lightFill;
    QColor darkStroke;
    QColor lightStroke;
    qreal strokeWidth = 1;

    QColor fill(ColorScheme scheme) const { return scheme == ColorScheme::Dark ? darkFill : lightFill; }
    QColor stroke(ColorScheme scheme) const { return scheme == ColorScheme::Dark ? darkStroke : lightStroke; }

    // The large cards that hold a whole tab.
    static PanelColors tabCard();
};

// A widget drawn as a rounded rectangle with a hairline border; its children
// lie on top. The colours follow the scheme at every paint.
class ScreenPanel : public QWidget {
    Q_OBJECT
public:
    ScreenPanel(qreal cornerRadius, PanelColors colors, QWidget* parent = nullptr);

    void setColors(PanelColors colors);
    const PanelColors& colors() const { return m_colors; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_radius;
    PanelColors m_colors;
    PanelPainter m_painter;
};

// The shell every detail tab shares: a rounded card filling `tab`, its content
// in a column with the tabs' margins and spacing. Returns the card (the parent
// of the tab's widgets) and sets `column` to the card's column.
ScreenPanel* makeTabCard(QWidget* tab, QVBoxLayout*& column);

// "Reload" of the tabs: symbol and text in a capsule outline, without
// platform chrome, dimmed to 0.6 while disabled.
class CapsuleButton : public QAbstractButton {
    Q_OBJECT
public:
    CapsuleButton(const QString& symbol, const QString& text, QFont font, QSize padding, int spacing,
                  QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    qreal drawnOpacity() const { return isEnabled() ? 1.0 : 0.6; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void draw(QPainter& painter, bool dark) const;

    // Everything the drawing depends on besides the size and the symbol.
    struct Look {
        bool dark;
        bool enabled;
        bool down;
        bool focused;
        QString text;
        QFont font;
        bool operator==(const Look&) const = default;
    };

    QString m_symbol;
    QSize m_padding;
    int m_spacing;
    CachedPaint<Look> m_drawn;
};

// A push button in the platform's bordered style whose icon keeps a gap to
// its text (the style itself draws them touching). It draws no focus mark:
// whoever places it lays the focus ring around it (showFocusRing).
class BorderedButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr int kIconTextGap = 6;

    explicit BorderedButton(const QString& text = {}, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // Where the icon and the text are drawn, for tests.
    QRect iconRect() const;
    QRect textRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Applies colours to a label through its palette.
void setLabelColor(QLabel* label, const QColor& color);

// Calls `apply` now and whenever the colour scheme of `widget` changes (see
// ColorSchemeWatcher), for routines that read the scheme themselves.
void onColorSchemeChange(QWidget* widget, std::function<void()> apply);

// Lets the card under `area` show through around its content (under its
// scroll bar, say) through the palette alone: the scroll bar then takes each
// scheme's colours with the rest of the palette, where a style sheet would
// keep those of the scheme it was first drawn in.
void showCardThrough(QAbstractScrollArea* area);

// A horizontal hairline in the separator colour.
QWidget* makeDivider(QWidget* parent);

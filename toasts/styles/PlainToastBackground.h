#pragma once

#include "platform/Environment.h"

#include <QColor>
#include <QWidget>

// The card behind a plain toast: a rounded fill in the window colour at high
// opacity (opaque with reduce transparency), a thin border in the accent
// colour at 0.2 opacity and a soft shadow, none with reduce transparency.
// Hovering widens the border (2 to 3) and the shadow (16 to 24).
class PlainToastBackground : public QWidget {
public:
    static constexpr qreal cornerRadius = 12;
    static constexpr qreal fillOpacity = 0.94;

    PlainToastBackground(QColor accentColor, QWidget* parent = nullptr);

    void setHovering(bool hovering);
    bool isHovering() const { return m_hovering; }
    // How far the hover look has come: 0 at rest, 1 fully hovered; the card
    // animates it.
    void setHoverProgress(qreal progress);
    qreal hoverProgress() const { return m_hoverProgress; }
    qreal borderWidth() const { return 2 + m_hoverProgress; }
    qreal shadowRadius() const { return 16 + 8 * m_hoverProgress; }
    QColor accentColor() const { return m_accentColor; }
    void setAccentColor(const QColor& color);
    // The shadow's colour: black at 0.2, clear with reduce transparency.
    QColor shadowColor() const;
    QColor fillColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_accentColor;
    bool m_hovering = false;
    qreal m_hoverProgress = 0;
};

// Whether the card is shown as an ornament; declared for styles that would
// draw one differently, false by default and not consulted here.
struct ToastOrnamentPresentationEnvironmentKey {
    static const EnvironmentKey<bool>& key();
};

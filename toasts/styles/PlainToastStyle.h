#pragma once

#include "toasts/styles/SchemeColor.h"
#include "toasts/styles/ToastStyle.h"

#include <QWidget>

class PlainToastBackground;

// The style every toast is drawn in by default: the content on a rounded
// card tinted by the toast's role, at least 180 wide, dismissed by a click
// when interactive dismissal is on. Centred presentations stack a large icon
// over the title; others make a compact leading row. Every button the
// content holds, added later or not, is a toast button. Its colours, and its
// content's, follow a change of scheme while it shows.
class PlainToastStyle : public ToastStyle {
public:
    QWidget* makeBody(const ToastConfiguration& configuration, QWidget* parent) const override;

    // plain: primary; informational: blue; success: green; warning: yellow;
    // failure: red.
    static QColor tint(ToastRole role, const QWidget* widget);
    static QColor tint(ToastRole role, ColorScheme scheme);

    // The card (object name "Toast"): what makeBody returns. Assistive
    // technology reads it as an alert named by the toast's message, and is
    // told once, when it first shows.
    class StyledViewBody : public QWidget {
    public:
        static constexpr int minimumCardWidth = 180;
        static constexpr int padding = 12;
        static constexpr qreal hoverScale = 1.05;
        // How far the hovered card's shadow reaches beyond the card.
        static constexpr qreal shadowReach = 24 * 0.6 + 3; // with room for rounding and smoothing
        // The platform's default animation, which hovering uses.
        static constexpr double hoverSeconds = 0.25;

        StyledViewBody(const ToastConfiguration& configuration, QWidget* parent);

        PlainToastBackground* background() const { return m_background; }

        // The card sits inside room enough for its shadow and for its hover
        // growth, so the shadow fades out whole inside this widget, hovered
        // or not: the room grows with the card.
        QSize sizeHint() const override;
        QSize minimumSizeHint() const override;
        bool hasHeightForWidth() const override { return true; }
        int heightForWidth(int width) const override;
        // The card's length for this widget's `length`, and the reverse.
        static int cardLength(int length);
        static int bodyLength(int cardLength);
        bool isHovering() const { return m_hovering; }

    protected:
        bool event(QEvent* event) override;
        void paintEvent(QPaintEvent* event) override;
        void resizeEvent(QResizeEvent* event) override;
        void showEvent(QShowEvent* event) override;
        void enterEvent(QEnterEvent* event) override;
        void leaveEvent(QEvent* event) override;
        bool eventFilter(QObject* watched, QEvent* event) override;

    private:
        void setHovering(bool hovering);
        void dismissByClick();

        PlainToastBackground* m_background;
        bool m_hovering = false;
        bool m_announced = false;
    };
};

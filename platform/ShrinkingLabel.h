#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// One line of text that shrinks its font, down to a minimum scale of its
// size, before it is cut with an ellipsis.
class ShrinkingLabel : public QWidget {
    Q_OBJECT
public:
    explicit ShrinkingLabel(const QString& text = {}, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    qreal minimumScaleFactor() const { return m_minimumScale; }
    void setMinimumScaleFactor(qreal scale);

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    QColor textColor() const { return m_color; }
    void setTextColor(const QColor& color);

    // The font the text is drawn in at the current width.
    QFont fittedFont() const { return fittedFont(font(), m_text, width(), m_minimumScale); }

    // The largest font between `font` and `font` at `minimumScale` of its size
    // in which `text` fits `width` on one line; the smallest when none fits.
    static QFont fittedFont(const QFont& font, const QString& text, int width, qreal minimumScale);
    // Draws `text` in one line into `bounds` with the fitted font, eliding
    // what still does not fit.
    static void paintText(QPainter* painter, const QRect& bounds, const QString& text, const QFont& font,
                          qreal minimumScale, Qt::Alignment alignment);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    qreal m_minimumScale = 1.0;
    Qt::Alignment m_alignment = Qt::AlignLeading | Qt::AlignVCenter;
    QColor m_color;
};

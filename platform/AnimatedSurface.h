#pragma once

#include <QGraphicsEffect>
#include <QPixmap>
#include <QPointer>
#include <QTransform>

#include <array>

// Draws a widget as an animated layer: while it animates, or while it is not
// at full opacity and untransformed, the widget's content is rendered once to
// a pixmap and painted with the layer's opacity and a projective transform;
// otherwise the live widget paints itself. At rest off the identity (a
// hovered, enlarged card) the content is rendered afresh on each paint, so
// changes inside it still show. The widget stays shown either way,
// so its own show and hide handling is untouched.
//
// The transform is a 4x4 matrix for row vectors (p' = p * M, translations in
// the last row) in a y-up space, as layer transforms are written; it is
// applied about the content's centre and flipped into the widget's y-down
// space at paint time. Main thread only.
class AnimatedSurface : public QGraphicsEffect {
    Q_OBJECT
public:
    using Matrix = std::array<double, 16>;

    static Matrix identityMatrix();

    // Installs itself as the widget's graphics effect (the widget owns it).
    explicit AnimatedSurface(QWidget* content);

    QWidget* content() const { return m_content; }

    void setPresentation(double opacity, const Matrix& transform);
    double presentationOpacity() const { return m_opacity; }
    const Matrix& presentationTransform() const { return m_matrix; }

    // An animation runs: keep painting the pixmap even at the identity.
    void setAnimating(bool animating);
    bool isAnimating() const { return m_animating; }

    // Whether the live widget paints (no animation, opacity 1, identity).
    bool isShowingLive() const { return !isEnabled(); }

    // Renders the content again, for content that changed while animating.
    void refreshSnapshot();

    // The widget-space transform for `matrix` on content of `size`.
    static QTransform projectiveTransform(const Matrix& matrix, const QSizeF& size);

    // Paints `pixmap` as the surface does, for content of the pixmap's size.
    static void paintLayer(QPainter* painter, const QPixmap& pixmap, double opacity, const QTransform& transform);

protected:
    QRectF boundingRectFor(const QRectF& sourceRect) const override;
    void draw(QPainter* painter) override;
    void sourceChanged(ChangeFlags flags) override;

private:
    void updateMode();
    QPixmap renderContent();

    QPointer<QWidget> m_content;
    double m_opacity = 1.0;
    Matrix m_matrix = identityMatrix();
    QTransform m_transform;
    bool m_animating = false;
    QPixmap m_snapshot;
    bool m_rendering = false;
};

#pragma once

#include "toasts/animation/Transform3D.h"

#include "platform/AnimatedSurface.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class QAbstractAnimation;
class QWidget;

// What a view's animated surface draws from: an opacity, a 3-D transform and
// the animations running on them, each under a key. The model values are what
// the layer settles at; while an animation runs, the presentation values are
// what it shows at this moment. A view with a layer is layer-backed: the
// layer is a child of the view and goes with it, and the view is drawn
// through an AnimatedSurface. Main thread only.
class AnimationLayer : public QObject {
    Q_OBJECT
public:
    // The view's layer, or nullptr when it has none.
    static AnimationLayer* of(const QWidget* view);
    // Makes the view layer-backed (once) and returns its layer.
    static AnimationLayer* ensure(QWidget* view);

    QWidget* view() const;
    AnimatedSurface* surface() const { return m_surface; }

    double opacity() const { return m_opacity; }
    void setOpacity(double opacity);
    const Transform3D& transform() const { return m_transform; }
    void setTransform(const Transform3D& transform);

    // The values shown now: an animation's when one has set them, else the
    // model values.
    double presentationOpacity() const { return m_presentedOpacity.value_or(m_opacity); }
    Transform3D presentationTransform() const { return m_presentedTransform.value_or(m_transform); }
    // Set by running animations; cleared when the layer's animations end.
    void setPresentationOpacity(double opacity);
    void setPresentationTransform(const Transform3D& transform);

    // Runs under `key`, replacing an animation kept there; the layer owns it
    // and deletes it once it has finished.
    // A replaced or removed animation is stopped at once and deleted on a
    // later turn, so that it may be removed from its own signals (an
    // animation started from the previous one's finished()).
    void addAnimation(QAbstractAnimation* animation, const QString& key);
    QAbstractAnimation* animation(const QString& key) const;
    QStringList animationKeys() const;
    bool hasRunningAnimations() const;
    // Stops every animation of the layer and deletes them later.
    void removeAllAnimations();

signals:
    void changed();

private:
    explicit AnimationLayer(QWidget* view);
    void retire(QAbstractAnimation* animation);
    void animationEnded(QAbstractAnimation* animation);
    void refreshSurface();

    double m_opacity = 1.0;
    Transform3D m_transform;
    std::optional<double> m_presentedOpacity;
    std::optional<Transform3D> m_presentedTransform;
    QHash<QString, QPointer<QAbstractAnimation>> m_animations;
    QPointer<AnimatedSurface> m_surface;
};

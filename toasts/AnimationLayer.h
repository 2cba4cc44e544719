#pragma once

#include "toasts/Transform3D.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QAbstractAnimation;
class QWidget;

// What a view's animated surface draws from: an opacity, a 3-D transform and
// the animations running on them, each under a key. A view with a layer is
// layer-backed; the layer is a child of the view and goes with it. Main
// thread only.
class AnimationLayer : public QObject {
    Q_OBJECT
public:
    // The view's layer, or nullptr when it has none.
    static AnimationLayer* of(const QWidget* view);
    // Makes the view layer-backed (once) and returns its layer.
    static AnimationLayer* ensure(QWidget* view);

    QWidget* view() const;

    double opacity() const { return m_opacity; }
    void setOpacity(double opacity);
    const Transform3D& transform() const { return m_transform; }
    void setTransform(const Transform3D& transform);

    // Runs under `key`, replacing (and stopping) an animation kept there; the
    // layer owns it and forgets it when it is deleted.
    void addAnimation(QAbstractAnimation* animation, const QString& key);
    QAbstractAnimation* animation(const QString& key) const;
    QStringList animationKeys() const;
    // Stops and deletes every animation of the layer.
    void removeAllAnimations();

signals:
    void changed();

private:
    explicit AnimationLayer(QWidget* view);

    double m_opacity = 1.0;
    Transform3D m_transform;
    QHash<QString, QPointer<QAbstractAnimation>> m_animations;
};

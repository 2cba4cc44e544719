#include "toasts/AnimationLayer.h"

#include "platform/AssociatedStorage.h"

#include <QAbstractAnimation>
#include <QWidget>

namespace {
const AssociatedProperty<QPointer<AnimationLayer>>& layerOfView()
{
    static const AssociatedProperty<QPointer<AnimationLayer>> property("toasts.layer");
    return property;
}
} // namespace

AnimationLayer::AnimationLayer(QWidget* view)
    : QObject(view)
{
}

AnimationLayer* AnimationLayer::of(const QWidget* view)
{
    return layerOfView().value(view, nullptr);
}

AnimationLayer* AnimationLayer::ensure(QWidget* view)
{
    if (!view)
        return nullptr;
    if (AnimationLayer* layer = of(view))
        return layer;
    auto* layer = new AnimationLayer(view);
    layerOfView().set(view, QPointer<AnimationLayer>(layer));
    return layer;
}

QWidget* AnimationLayer::view() const
{
    return static_cast<QWidget*>(parent());
}

void AnimationLayer::setOpacity(double opacity)
{
    if (m_opacity == opacity)
        return;
    m_opacity = opacity;
    emit changed();
}

void AnimationLayer::setTransform(const Transform3D& transform)
{
    if (m_transform == transform)
        return;
    m_transform = transform;
    emit changed();
}

void AnimationLayer::addAnimation(QAbstractAnimation* animation, const QString& key)
{
    if (!animation)
        return;
    if (QPointer<QAbstractAnimation> previous = m_animations.take(key); previous && previous != animation) {
        previous->stop();
        delete previous.data();
    }
    animation->setParent(this);
    m_animations.insert(key, animation);
}

QAbstractAnimation* AnimationLayer::animation(const QString& key) const
{
    return m_animations.value(key);
}

QStringList AnimationLayer::animationKeys() const
{
    QStringList keys;
    for (auto it = m_animations.cbegin(); it != m_animations.cend(); ++it) {
        if (it.value())
            keys.append(it.key());
    }
    keys.sort();
    return keys;
}

void AnimationLayer::removeAllAnimations()
{
    const auto animations = std::exchange(m_animations, {});
    for (const auto& animation : animations) {
        if (animation) {
            animation->stop();
            delete animation.data();
        }
    }
}

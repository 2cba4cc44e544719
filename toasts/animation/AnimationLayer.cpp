#include "toasts/animation/AnimationLayer.h"

#include "platform/AnimatedSurface.h"
#include "platform/AssociatedStorage.h"

#include <QAbstractAnimation>
#include <QWidget>

namespace {
const AssociatedProperty<QPointer<AnimationLayer>>& layerOfView()
{
    static const AssociatedProperty<QPointer<AnimationLayer>> property("toasts.layer");
    return property;
}

AnimatedSurface::Matrix matrixOf(const Transform3D& t)
{
    return {t.m11, t.m12, t.m13, t.m14, t.m21, t.m22, t.m23, t.m24, t.m31, t.m32, t.m33, t.m34, t.m41, t.m42, t.m43,
        t.m44};
}
} // namespace

AnimationLayer::AnimationLayer(QWidget* view)
    : QObject(view)
    , m_surface(new AnimatedSurface(view))
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
    refreshSurface();
    emit changed();
}

void AnimationLayer::setTransform(const Transform3D& transform)
{
    if (m_transform == transform)
        return;
    m_transform = transform;
    refreshSurface();
    emit changed();
}

void AnimationLayer::setPresentationOpacity(double opacity)
{
    if (m_presentedOpacity == opacity)
        return;
    m_presentedOpacity = opacity;
    refreshSurface();
    emit changed();
}

void AnimationLayer::setPresentationTransform(const Transform3D& transform)
{
    if (m_presentedTransform == transform)
        return;
    m_presentedTransform = transform;
    refreshSurface();
    emit changed();
}

void AnimationLayer::refreshSurface()
{
    if (!m_surface)
        return;
    m_surface->setPresentation(presentationOpacity(), matrixOf(presentationTransform()));
    m_surface->setAnimating(hasRunningAnimations());
}

void AnimationLayer::retire(QAbstractAnimation* animation)
{
    if (!animation)
        return;
    disconnect(animation, nullptr, this, nullptr);
    animation->stop();
    animation->deleteLater();
}

void AnimationLayer::addAnimation(QAbstractAnimation* animation, const QString& key)
{
    if (!animation)
        return;
    if (QPointer<QAbstractAnimation> previous = m_animations.take(key); previous && previous != animation)
        retire(previous);
    animation->setParent(this);
    m_animations.insert(key, animation);
    connect(animation, &QAbstractAnimation::finished, this, [this, animation] {
        // A finished animation is removed from the layer, and deleted.
        animationEnded(animation);
        disconnect(animation, nullptr, this, nullptr);
        animation->deleteLater();
    });
    connect(animation, &QAbstractAnimation::stateChanged, this, [this] { refreshSurface(); });
    connect(animation, &QObject::destroyed, this, [this, animation] { animationEnded(animation); });
    refreshSurface();
}

void AnimationLayer::animationEnded(QAbstractAnimation* animation)
{
    // A finished animation leaves the layer, which then shows its model
    // values again.
    for (auto it = m_animations.begin(); it != m_animations.end();) {
        if (it.value() == animation || !it.value())
            it = m_animations.erase(it);
        else
            ++it;
    }
    if (m_animations.isEmpty()) {
        m_presentedOpacity.reset();
        m_presentedTransform.reset();
    }
    refreshSurface();
    emit changed();
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

bool AnimationLayer::hasRunningAnimations() const
{
    for (const auto& animation : m_animations) {
        if (animation && animation->state() == QAbstractAnimation::Running)
            return true;
    }
    return false;
}

void AnimationLayer::removeAllAnimations()
{
    const auto animations = std::exchange(m_animations, {});
    for (const auto& animation : animations)
        retire(animation);
    m_presentedOpacity.reset();
    m_presentedTransform.reset();
    refreshSurface();
}

#include "toasts/animation/CAAnimatable.h"

#include "toasts/animation/AnimationLayer.h"

#include "platform/AssociatedStorage.h"

#include <QWidget>

namespace {
const AssociatedProperty<std::shared_ptr<AnimationDelegate>>& delegateOfView()
{
    static const AssociatedProperty<std::shared_ptr<AnimationDelegate>> property("toasts.animationDelegate");
    return property;
}

const AssociatedProperty<bool>& lockOfLayer()
{
    static const AssociatedProperty<bool> property("toasts.isAnimationLocked");
    return property;
}
} // namespace

namespace CAAnimatable {

std::shared_ptr<AnimationDelegate> animationDelegate(const QWidget* view)
{
    return delegateOfView().value(view, nullptr);
}

void setAnimationDelegate(QWidget* view, std::shared_ptr<AnimationDelegate> delegate)
{
    if (delegate)
        delegateOfView().set(view, std::move(delegate));
    else
        delegateOfView().remove(view);
}

bool isAnimationLocked(const AnimationLayer* layer)
{
    return lockOfLayer().value(layer, false);
}

void setAnimationLocked(QWidget* view, bool locked)
{
    if (AnimationLayer* layer = AnimationLayer::of(view))
        lockOfLayer().set(layer, locked);
}

void resetAnimationState(QWidget* view)
{
    AnimationLayer* layer = AnimationLayer::of(view);
    if (!layer)
        return;
    layer->removeAllAnimations();
    layer->setOpacity(1.0);
    layer->setTransform(Transform3D::identity());
}

} // namespace CAAnimatable

#pragma once

#include <memory>

class AnimationLayer;
class QWidget;

// Told when a transition's animation starts and stops.
class AnimationDelegate {
public:
    virtual ~AnimationDelegate() = default;
    virtual void animationDidStart() = 0;
    virtual void animationDidStop(bool finished) = 0;
};

// The animation state the toast engine keeps on views and their layers, in
// the views' associated storage. Main thread only.
namespace CAAnimatable {

// The delegate a view keeps while a transition runs on it; none removes it.
std::shared_ptr<AnimationDelegate> animationDelegate(const QWidget* view);
void setAnimationDelegate(QWidget* view, std::shared_ptr<AnimationDelegate> delegate);

// Whether a transition runs on the layer: false when never set. Set through
// the view; a view without a layer is left alone.
bool isAnimationLocked(const AnimationLayer* layer);
void setAnimationLocked(QWidget* view, bool locked);

// Removes every animation of the view's layer and puts it back at opacity 1
// with the identity transform; a view without a layer is left alone.
void resetAnimationState(QWidget* view);

} // namespace CAAnimatable

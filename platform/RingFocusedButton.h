#pragma once

#include <QStyle>

// A button whose keyboard focus shows only as the ring laid around it
// (showFocusRing): the style's own focus mark (a frame, a tint) is left out of
// what the style draws. `Option` is the style option the button fills.
template <typename Button, typename Option>
class RingFocusedButton : public Button {
public:
    using Button::Button;

protected:
    void initStyleOption(Option* option) const override
    {
        Button::initStyleOption(option);
        option->state &= ~QStyle::State_HasFocus;
    }
};

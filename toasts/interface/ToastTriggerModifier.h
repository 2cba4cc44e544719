#pragma once

#include "toasts/interface/ToastModifierCore.h"

#include "platform/Appearance.h"

#include <functional>
#include <optional>

// Raises a toast each time the trigger changes to an unequal value once the
// widget has first come on screen; the value it comes on screen with, set
// before or at creation, raises none. Unless invalidation options without
// `dismissPrevious` are set, the toast it has on screen is dismissed first.
template <typename Trigger>
class ToastTriggerModifier : public ToastModifierCore {
public:
    using ToastFor = std::function<std::optional<Toast>(const Trigger&)>;

    ToastTriggerModifier(QWidget* target, Trigger trigger, ToastAlignment alignment, std::function<void()> onDismiss,
                         ToastFor toast)
        : ToastModifierCore(target)
        , m_trigger(std::move(trigger))
        , m_alignment(alignment)
        , m_onDismiss(std::move(onDismiss))
        , m_toast(std::move(toast))
        , m_appeared(appearance()->isAppeared())
    {
        connect(appearance(), &AppearanceObserver::appeared, this, [this] { m_appeared = true; });
    }

    const Trigger& trigger() const { return m_trigger; }
    void setTrigger(Trigger trigger)
    {
        if (trigger == m_trigger)
            return;
        m_trigger = std::move(trigger);
        updateHandles();
        // Only noted until the widget first shows: a change no one could
        // have seen is no news.
        if (!m_appeared)
            return;
        std::optional<Toast> toast = m_toast ? m_toast(m_trigger) : std::nullopt;
        if (!toast)
            return;
        if (dismissesPrevious())
            dismissShownToast();
        schedule(*toast, m_alignment, m_onDismiss);
    }

private:
    Trigger m_trigger;
    ToastAlignment m_alignment;
    std::function<void()> m_onDismiss;
    ToastFor m_toast;
    bool m_appeared;
};

template <typename Trigger>
ToastTriggerModifier<Trigger>* toastTrigger(QWidget* view, Trigger trigger, ToastAlignment alignment,
                                            std::function<void()> onDismiss,
                                            std::function<std::optional<Toast>(const Trigger&)> toast)
{
    return new ToastTriggerModifier<Trigger>(view, std::move(trigger), alignment, std::move(onDismiss),
                                             std::move(toast));
}

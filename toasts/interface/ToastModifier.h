#pragma once

#include "toasts/interface/ToastModifierCore.h"

#include "platform/Appearance.h"
#include "platform/Binding.h"

#include <functional>
#include <optional>

// Raises a toast each time a bound optional value becomes present or changes
// to another present value, first dismissing the toast it has on screen.
// When the toast is dismissed, the value is cleared if it still holds the
// value that raised it. When the value becomes absent, its toast on screen is
// dismissed. Either way a toast of its still queued comes in its turn and
// runs its course, so its caller still hears of its end. A value present when
// the widget first appears raises its toast then.
template <typename Value>
class ToastModifier : public ToastModifierCore {
public:
    using ToastFor = std::function<std::optional<Toast>(const Value&)>;
    using OnDismiss = std::function<void(const Value&)>;

    ToastModifier(QWidget* target, Binding<std::optional<Value>> value, ToastAlignment alignment,
                  OnDismiss onToastDismiss, ToastFor toast)
        : ToastModifierCore(target)
        , m_value(std::move(value))
        , m_alignment(alignment)
        , m_onToastDismiss(std::move(onToastDismiss))
        , m_toast(std::move(toast))
        , m_last(m_value.get())
    {
        m_value.onChange(this, [this] {
            std::optional<Value> now = m_value.get();
            if (now == m_last)
                return;
            m_last = now;
            updateHandles();
            // Before the first appearance only noted: that appearance raises
            // the value then current, and raising it here too would show it
            // twice.
            if (m_appeared)
                handleChange(now);
        });
        auto firstAppearance = [this] {
            if (m_appeared)
                return;
            m_appeared = true;
            m_last = m_value.get();
            handleChange(m_last);
        };
        connect(appearance(), &AppearanceObserver::appeared, this, firstAppearance);
        if (appearance()->isAppeared())
            firstAppearance();
    }

    // The canceller goes (and may dismiss) while the helper is still whole.
    ~ToastModifier() override { releasePresentationCanceller(); }

private:
    void handleChange(const std::optional<Value>& value)
    {
        if (!value) {
            dismissShownToast();
            return;
        }
        std::optional<Toast> toast = m_toast ? m_toast(*value) : std::nullopt;
        if (!toast)
            return;
        dismissShownToast();
        // Told even when this helper has gone with its view (a sheet that
        // closed under its toast): the toast ends later, and its end is news.
        schedule(*toast, m_alignment, [onToastDismiss = m_onToastDismiss, raised = *value] {
            if (onToastDismiss)
                onToastDismiss(raised);
        });
    }

    Binding<std::optional<Value>> m_value;
    ToastAlignment m_alignment;
    OnDismiss m_onToastDismiss;
    ToastFor m_toast;
    std::optional<Value> m_last;
    bool m_appeared = false;
};

// A toast while `isPresented` is on; the flag returns to off when it goes.
ToastModifier<bool>* toast(QWidget* view, Binding<bool> isPresented, ToastAlignment alignment,
                           std::function<void()> onDismiss, std::function<std::optional<Toast>()> toast);

// A toast for each present item; the item is cleared when its toast goes.
template <typename Item>
ToastModifier<Item>* toast(QWidget* view, Binding<std::optional<Item>> item, ToastAlignment alignment,
                           std::function<void()> onDismiss, std::function<std::optional<Toast>(const Item&)> toast)
{
    auto onToastDismiss = [item, onDismiss](const Item& dismissed) {
        const std::optional<Item> current = item.get();
        if (current && *current == dismissed)
            item.set(std::nullopt);
        if (onDismiss)
            onDismiss();
    };
    return new ToastModifier<Item>(view, item, alignment, onToastDismiss, std::move(toast));
}

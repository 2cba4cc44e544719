#pragma once

#include "toasts/interface/ToastModifierCore.h"

#include "platform/Publisher.h"

#include <functional>
#include <optional>
#include <variant>

// Raises a toast for each event of a publisher that differs from the last
// one (a repeated value is skipped; a failure is always new and ends the
// stream). Unless invalidation options without `dismissPrevious` are set,
// each new event first dismisses the toast this helper has on screen, even
// when the closure gives no toast for it. Subscribes once, when made.
template <typename Output, typename Failure>
class ToastReceivePublisherModifier : public ToastModifierCore {
public:
    // The event: a value or the failure that ended the stream.
    using Event = std::variant<Output, Failure>;
    using ToastFor = std::function<std::optional<Toast>(const Event&)>;

    ToastReceivePublisherModifier(QWidget* target, Publisher<Output, Failure> publisher, ToastAlignment alignment,
                                  std::function<void()> onDismiss, ToastFor toast)
        : ToastModifierCore(target)
        , m_alignment(alignment)
        , m_onDismiss(std::move(onDismiss))
        , m_toast(std::move(toast))
    {
        m_subscription = publisher.sink(
            this,
            [this](const Output& value) {
                if (m_failed || (m_last && *m_last == value))
                    return;
                m_last = value;
                handle(Event(std::in_place_index<0>, value));
            },
            [this](const std::optional<Failure>& failure) {
                if (!failure || m_failed)
                    return;
                m_failed = true;
                handle(Event(std::in_place_index<1>, *failure));
            });
    }

private:
    void handle(const Event& event)
    {
        updateHandles();
        if (dismissesPrevious())
            dismissShownToast();
        std::optional<Toast> toast = m_toast ? m_toast(event) : std::nullopt;
        if (toast)
            schedule(*toast, m_alignment, m_onDismiss);
    }

    ToastAlignment m_alignment;
    std::function<void()> m_onDismiss;
    ToastFor m_toast;
    std::optional<Output> m_last;
    bool m_failed = false;
    AnyCancellable m_subscription;
};

template <typename Output, typename Failure>
ToastReceivePublisherModifier<Output, Failure>* toastReceiving(
    QWidget* view, Publisher<Output, Failure> publisher, ToastAlignment alignment, std::function<void()> onDismiss,
    typename ToastReceivePublisherModifier<Output, Failure>::ToastFor toast)
{
    return new ToastReceivePublisherModifier<Output, Failure>(view, std::move(publisher), alignment,
                                                              std::move(onDismiss), std::move(toast));
}

// For a stream whose failures need no toast: the closure sees values only.
template <typename Output, typename Failure>
ToastReceivePublisherModifier<Output, Failure>* toastReceivingValues(
    QWidget* view, Publisher<Output, Failure> publisher, ToastAlignment alignment, std::function<void()> onDismiss,
    std::function<std::optional<Toast>(const Output&)> toast)
{
    using Event = typename ToastReceivePublisherModifier<Output, Failure>::Event;
    return toastReceiving<Output, Failure>(view, std::move(publisher), alignment, std::move(onDismiss),
                                           [toast](const Event& event) -> std::optional<Toast> {
                                               if (event.index() != 0 || !toast)
                                                   return std::nullopt;
                                               return toast(std::get<0>(event));
                                           });
}

#pragma once

#include "toasts/values/Toast.h"
#include "toasts/values/ToastAlignment.h"
#include "toasts/engine/ToastHandleSet.h"
#include "toasts/engine/ToastPresentationCanceller.h"
#include "toasts/interface/ToastPresentationInvalidationOptions.h"
#include "toasts/interface/PresentationBoundState.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class AppearanceObserver;

// What the value-, trigger- and publisher-driven toast helpers share: the
// canceller through which the toast they have on screen can be dismissed,
// their handles (dropped, withdrawing queued toasts, when the widget's sheet
// is dismissed or the helper goes) and the scheduling step. Attached to its
// widget, whose child it is. Main thread.
class ToastModifierCore : public QObject {
public:
    explicit ToastModifierCore(QWidget* target);
    ~ToastModifierCore() override;

    QWidget* target() const { return m_target; }
    AppearanceObserver* appearance() const { return m_appearance; }
    const std::shared_ptr<ToastPresentationCanceller>& presentationCanceller() const { return m_canceller; }

    // Dismisses the toast this helper has on screen now, if any, on the main
    // thread's next turn (with the dismissal installed by then). Its toasts
    // still queued come in their turn and run their course.
    void dismissShownToast();
    // Schedules `toast` with the environment at the widget, the policy
    // `automatic` standing for `presentation`.
    void schedule(const Toast& toast, ToastAlignment alignment, std::function<void()> onDismiss);

    std::optional<ToastPresentationInvalidationOptions> invalidationOptions() const;

protected:
    // To run before each change of what the helper watches is handled: a
    // handle set kept since its sheet closed goes with that change.
    void updateHandles() { m_cancellables.update(); }

    // Lets the canceller go (dismissing the toast on screen when the options
    // ask for it). Helpers whose toasts call back into them do this first in
    // their destructor, while they are still whole; afterwards the helper
    // schedules and dismisses nothing.
    void releasePresentationCanceller();

public:
    // A new toast first dismisses the shown one unless options say otherwise.
    bool dismissesPrevious() const;
    int handleCount() { return m_cancellables.wrappedValue()->size(); }

private:
    void applyInvalidationOptions();

    QPointer<QWidget> m_target;
    AppearanceObserver* m_appearance;
    std::shared_ptr<ToastPresentationCanceller> m_canceller;
    // This helper's toasts on screen now and how many it has presented,
    // shared with their callbacks.
    struct OnScreen {
        int count = 0;
        quint64 presented = 0;
    };
    std::shared_ptr<OnScreen> m_onScreen = std::make_shared<OnScreen>();
    PresentationBoundState<std::shared_ptr<ToastHandleSet>> m_cancellables;
};

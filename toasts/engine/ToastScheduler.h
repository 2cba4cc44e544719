#pragma once

#include "toasts/engine/PresenterPhaseObserver.h"
#include "toasts/engine/ToastPresentation.h"
#include "toasts/engine/ToastPresentationRequest.h"

#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QObject>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>

// The queue behind a presenter (a window, or a view that shows toasts in its
// own layout). Toasts are handed to the presenter's handler one at a time, in
// arrival order, only while the scene (the presenter's window and the
// application) and the presenter itself are active; the next one goes out
// once the current one has been dismissed, or has been found withdrawn.
//
// The handler presents synchronously: by the time its task completes it has
// called the presentation's onPresent (and later calls onDismiss), or the
// toast counts as given up. Destroying the scheduler ends its consumer and
// gives up the toasts still queued.
//
// schedule() and enqueue() may be called from any thread; everything else,
// including the scheduler's construction and destruction, on the main thread.
class ToastScheduler {
public:
    using Handler = std::function<QCoro::Task<>(ToastPresentation presentation)>;
    using Date = ToastPresentationState::Date;

    // `scene` gates the hand-out (for a window presenter the window; for an
    // in-layout presenter the presenter object); it is not kept alive.
    // `presenterPhases` is the presenter's own phase, or none for a window.
    ToastScheduler(QObject* scene, PresenterPhaseSubject* presenterPhases, Handler handler);
    ~ToastScheduler();

    ToastScheduler(const ToastScheduler&) = delete;
    ToastScheduler& operator=(const ToastScheduler&) = delete;

    // Queues the presentation and returns its handle: cancelling or releasing
    // the handle (on any thread; the work is carried to the main thread)
    // withdraws the toast while it still waits. A toast already on screen is
    // left alone.
    AnyCancellable schedule(ToastPresentation presentation);
    // Queues the presentation without a handle.
    void enqueue(ToastPresentation presentation);

    // How long the watch loop sleeps (in seconds, before time scaling) while
    // its toast is in `state`: 0.3 s polls while queued, presented without a
    // duration or close to the end; otherwise until the toast's end in one
    // step. An end too far away to time is polled like an indefinite toast.
    static double watchInterval(const ToastPresentationState& state, ToastDuration duration, Date now);

    // Consumers still running in the process, for tests of teardown.
    static int runningConsumerCount();

private:
    struct Core;

    static QCoro::Task<> consume(std::shared_ptr<Core> core, CancellationToken token);
    static QCoro::Task<> watch(ToastPresentationRequest::Pointer request, CancellationToken token);
    static void push(const std::shared_ptr<Core>& core, ToastPresentationRequest::Pointer request);
    std::weak_ptr<ToastPresentationRequest> submit(ToastPresentation presentation);

    std::shared_ptr<Core> m_core;
    static std::atomic<int> s_runningConsumers;
};

#pragma once

class QObject;
class ToastScheduler;

// A presenter of toasts: a window, or a view that shows toasts in its own
// layout. Proxies refer to it weakly through its anchor object: once the
// anchor is destroyed the presenter counts as gone. Main thread.
class ToastPresenting {
public:
    virtual ~ToastPresenting() = default;

    // The object whose lifetime is the presenter's (often the presenter itself).
    virtual QObject* toastPresenterObject() = 0;
    virtual ToastScheduler& toastScheduler() = 0;
    // True for a presenter in a view's own layout, false for a window.
    virtual bool presentsInLayout() const = 0;
    // Makes sure everything needed to show toasts exists (a window's
    // scheduler and host); nothing for an in-layout presenter.
    virtual void prepareForToasts() = 0;
};

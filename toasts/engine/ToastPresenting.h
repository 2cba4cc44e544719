#pragma once

#include <QObject>

class ToastScheduler;

// Something that shows toasts: a window (WindowToastPresenter) or a view
// that shows them in its own layout. Held weakly by whoever schedules on it:
// once its anchor object is destroyed the presenter counts as gone. Main
// thread only.
class ToastPresenting : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The object whose lifetime is the presenter's.
    virtual QObject* toastPresenterObject() { return this; }
    // The presenter's scheduler, made on first use.
    virtual ToastScheduler& toastScheduler() = 0;
    // True for a presenter that shows toasts inside a view's own layout,
    // false for a window.
    virtual bool presentsInLayout() const = 0;
    // Makes sure whatever the presenter needs to show toasts exists (a
    // window's scheduler and host); nothing for an in-layout presenter.
    virtual void prepareForToasts() = 0;
};

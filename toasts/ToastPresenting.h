#pragma once

#include <QObject>

class ToastScheduler;

// Something that shows toasts: a window (WindowToastPresenter) or a view
// that shows them in its own layout. Held weakly (QPointer) by whoever
// schedules on it. Main thread only.
class ToastPresenting : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The presenter's scheduler, made on first use.
    virtual ToastScheduler& toastScheduler() = 0;
    // True for a presenter that shows toasts inside a view's own layout,
    // false for a window.
    virtual bool presentsInLayout() const = 0;
    // Makes sure whatever the presenter needs to show toasts exists.
    virtual void prepareForToasts() = 0;
};

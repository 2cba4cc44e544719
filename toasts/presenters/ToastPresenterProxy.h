#pragma once

#include "toasts/engine/ToastCancellation.h"
#include "toasts/engine/ToastHandleSet.h"
#include "toasts/engine/ToastPresentation.h"
#include "toasts/engine/ToastPresenting.h"

#include "platform/Environment.h"

#include <QObject>
#include <QPointer>
#include <QString>

// The way to a presenter, held weakly: it never keeps the presenter alive.
// Equal when both presenters are gone or both are the same object. Main thread.
class ToastPresenterProxy {
public:
    ToastPresenterProxy() = default;
    explicit ToastPresenterProxy(ToastPresenting* presenter);

    // The presenter while it lives, else null.
    ToastPresenting* toastPresenter() const { return m_anchor ? m_presenter : nullptr; }
    bool hasPresenter() const { return toastPresenter() != nullptr; }

    // Hands the presentation to the presenter's scheduler under `cancellation`:
    // never and automatic queue it without a handle; presentation keeps its
    // handle in `cancellables`; always cancels and empties `cancellables`
    // first. Without a presenter nothing is queued, and the presentation's
    // onPresent and onDismiss run on the main thread's next turn, as a
    // presenter with nowhere to show it would, so callers waiting for the
    // dismissal are not left waiting.
    void schedule(ToastPresentation presentation, ToastCancellation cancellation, ToastHandleSet& cancellables) const;
    // Queues without a handle.
    void enqueue(ToastPresentation presentation) const;
    // Queues and returns the handle (an inert one without a presenter).
    AnyCancellable schedule(ToastPresentation presentation) const;

    // "none", or "some(<identity>)".
    QString description() const;

    friend bool operator==(const ToastPresenterProxy& a, const ToastPresenterProxy& b)
    {
        return a.toastPresenter() == b.toastPresenter();
    }
    friend size_t qHash(const ToastPresenterProxy& proxy, size_t seed = 0)
    {
        return qHashMulti(seed, proxy.hasPresenter(), quintptr(proxy.toastPresenter()));
    }

private:
    QPointer<QObject> m_anchor;
    ToastPresenting* m_presenter = nullptr;
};

// The presenter toasts scheduled below a widget go to.
struct ToastPresenterEnvironmentKey {
    // Default: a proxy of the default presenting window, prepared for toasts.
    static const EnvironmentKey<ToastPresenterProxy>& key();
};

void toastPresenter(QWidget* widget, ToastPresenterProxy proxy);

#pragma once

#include "toasts/engine/ToastPresentation.h"
#include "toasts/engine/ToastPresenting.h"

#include <QCoroTask>
#include <QPointer>

class NSToastHostingController;
class QWidget;
class ToastScheduler;

// A window as a toast presenter. A window's presenter, scheduler and hosting
// controller live in the window's associated storage, are made on first use
// and go with the window. When the scheduler hands out a toast, the window's
// handler lets the module's context selector choose where it appears (over
// this window, another window such as a panel's parent, a view controller or
// a view) and has this window's hosting controller present it there; with
// nowhere to show it, the toast is given up at once (onPresent, then
// onDismiss). Proxies made while the window is open go empty when it closes,
// as if it had gone; once it is shown again, new proxies reach it. Main
// thread only.
class WindowToastPresenter : public ToastPresenting {
    Q_OBJECT
public:
    // The window's presenter (of the window holding `widget`), made on first use.
    static WindowToastPresenter* of(QWidget* widget);

    QWidget* window() const { return m_window; }

    // What proxies hold: null while the window is closed.
    QObject* toastPresenterObject() override;

    ToastScheduler& toastScheduler() override;
    bool presentsInLayout() const override { return false; }
    void prepareForToasts() override;

    NSToastHostingController* toastHostingController();

    // The window handler: presents synchronously, before its task completes.
    static QCoro::Task<> handle(QPointer<QWidget> window, ToastPresentation presentation);

private:
    explicit WindowToastPresenter(QWidget* window);

    QPointer<QWidget> m_window;
    // Made anew for each opening of the window, deleted when it closes.
    QPointer<QObject> m_openAnchor;
};

// The scheduler and hosting controller of a window, made on first use.
ToastScheduler& toastScheduler(QWidget* window);
NSToastHostingController* toastHostingController(QWidget* window);

#include "toasts/presenters/WindowToastPresenter.h"

#include "toasts/presenters/NSToastHostingController.h"
#include "toasts/engine/PresentationContext.h"
#include "toasts/engine/ToastScheduler.h"

#include "platform/ApplicationEventRelay.h"
#include "platform/AssociatedStorage.h"
#include "platform/ViewController.h"

#include <QWidget>

#include <memory>

namespace {
const AssociatedProperty<QPointer<WindowToastPresenter>>& presenterOfWindow()
{
    static const AssociatedProperty<QPointer<WindowToastPresenter>> property("toasts.toastPresenter");
    return property;
}

const AssociatedProperty<std::shared_ptr<ToastScheduler>>& schedulerOfWindow()
{
    static const AssociatedProperty<std::shared_ptr<ToastScheduler>> property("toasts.toastScheduler");
    return property;
}

// The controller goes with the window's storage; a deleter keeps the
// destruction on the QObject's own terms.
const AssociatedProperty<std::shared_ptr<NSToastHostingController>>& controllerOfWindow()
{
    static const AssociatedProperty<std::shared_ptr<NSToastHostingController>> property(
        "toasts.toastHostingController");
    return property;
}

void giveUp(const ToastPresentation& presentation)
{
    if (presentation.onPresent)
        presentation.onPresent();
    if (presentation.onDismiss)
        presentation.onDismiss();
}
} // namespace

WindowToastPresenter::WindowToastPresenter(QWidget* window)
    : ToastPresenting(window)
    , m_window(window)
    , m_openAnchor(new QObject(this))
{
    connect(ApplicationEventRelay::instance(), &ApplicationEventRelay::windowWillClose, this,
        [this](QWidget* closing) {
            if (closing == m_window)
                delete m_openAnchor.data();
        });
}

QObject* WindowToastPresenter::toastPresenterObject()
{
    // Closed and then shown again: open once more for proxies made from now.
    if (!m_openAnchor && m_window && m_window->isVisible())
        m_openAnchor = new QObject(this);
    return m_openAnchor;
}

WindowToastPresenter* WindowToastPresenter::of(QWidget* widget)
{
    if (!widget)
        return nullptr;
    QWidget* window = widget->window();
    if (auto existing = presenterOfWindow().value(window, nullptr))
        return existing;
    auto* presenter = new WindowToastPresenter(window);
    presenterOfWindow().set(window, QPointer<WindowToastPresenter>(presenter));
    return presenter;
}

ToastScheduler& toastScheduler(QWidget* window)
{
    if (auto existing = schedulerOfWindow().value(window, nullptr))
        return *existing;
    QPointer<QWidget> weakWindow(window);
    auto scheduler = std::make_shared<ToastScheduler>(window, nullptr,
        [weakWindow](ToastPresentation presentation) { return WindowToastPresenter::handle(weakWindow, presentation); });
    schedulerOfWindow().set(window, scheduler);
    return *scheduler;
}

NSToastHostingController* toastHostingController(QWidget* window)
{
    if (auto existing = controllerOfWindow().value(window, nullptr))
        return existing.get();
    std::shared_ptr<NSToastHostingController> controller(new NSToastHostingController);
    controller->setToastAlignment(ToastAlignment::topTrailing());
    controller->loadViewIfNeeded();
    controllerOfWindow().set(window, controller);
    return controller.get();
}

ToastScheduler& WindowToastPresenter::toastScheduler()
{
    return ::toastScheduler(m_window);
}

NSToastHostingController* WindowToastPresenter::toastHostingController()
{
    return ::toastHostingController(m_window);
}

void WindowToastPresenter::prepareForToasts()
{
    toastScheduler();
    toastHostingController();
}

QCoro::Task<> WindowToastPresenter::handle(QPointer<QWidget> window, ToastPresentation presentation)
{
    if (!window)
        co_return;
    PresentationContext::Pointer chosen = co_await defaultToastPresentationContextSelector()(
        PlatformIdiom::desktop(), PresentationContext::forWindow(window));
    if (!window) {
        giveUp(presentation);
        co_return;
    }
    if (!chosen) {
        giveUp(presentation);
        co_return;
    }
    NSToastHostingController* controller = ::toastHostingController(window);
    switch (chosen->ownerKind()) {
    case PresentationContext::OwnerKind::window:
        if (QWidget* owner = chosen->window()) {
            controller->presentInWindow(presentation, owner);
            co_return;
        }
        break;
    case PresentationContext::OwnerKind::viewController:
        if (ViewController* owner = chosen->viewController(); owner && owner->view()) {
            controller->presentInViewController(presentation, owner);
            co_return;
        }
        break;
    case PresentationContext::OwnerKind::view:
        if (QWidget* owner = chosen->view()) {
            controller->presentInView(presentation, owner);
            co_return;
        }
        break;
    }
    giveUp(presentation);
}

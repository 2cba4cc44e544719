#include "toasts/presenters/ToastPresenterProxy.h"

#include "toasts/engine/ToastScheduler.h"
#include "toasts/presenters/DefaultPresentingWindow.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace {
void dropQuietly(ToastPresentation presentation)
{
    auto* app = QCoreApplication::instance();
    if (!app || (!presentation.onPresent && !presentation.onDismiss))
        return;
    QMetaObject::invokeMethod(
        app,
        [onPresent = std::move(presentation.onPresent), onDismiss = std::move(presentation.onDismiss)] {
            if (onPresent)
                onPresent();
            if (onDismiss)
                onDismiss();
        },
        Qt::QueuedConnection);
}
} // namespace

ToastPresenterProxy::ToastPresenterProxy(ToastPresenting* presenter)
    : m_anchor(presenter ? presenter->toastPresenterObject() : nullptr)
    , m_presenter(presenter)
{
}

void ToastPresenterProxy::schedule(
    ToastPresentation presentation, ToastCancellation cancellation, ToastHandleSet& cancellables) const
{
    switch (cancellation) {
    case ToastCancellation::never:
    case ToastCancellation::automatic:
        enqueue(std::move(presentation));
        return;
    case ToastCancellation::always:
        cancellables.cancelAll();
        [[fallthrough]];
    case ToastCancellation::presentation:
        break;
    }
    ToastPresenting* presenter = toastPresenter();
    if (!presenter) {
        dropQuietly(std::move(presentation));
        cancellables.insert(AnyCancellable([] {}), std::make_shared<const bool>(true));
        return;
    }
    // The handle settles once the toast leaves the queue.
    auto settled = std::make_shared<bool>(false);
    presentation.onPresent = [settled, onPresent = std::move(presentation.onPresent)] {
        *settled = true;
        if (onPresent)
            onPresent();
    };
    cancellables.insert(presenter->toastScheduler().schedule(std::move(presentation)), settled);
}

void ToastPresenterProxy::enqueue(ToastPresentation presentation) const
{
    if (ToastPresenting* presenter = toastPresenter())
        presenter->toastScheduler().enqueue(std::move(presentation));
    else
        dropQuietly(std::move(presentation));
}

AnyCancellable ToastPresenterProxy::schedule(ToastPresentation presentation) const
{
    if (ToastPresenting* presenter = toastPresenter())
        return presenter->toastScheduler().schedule(std::move(presentation));
    dropQuietly(std::move(presentation));
    return AnyCancellable([] {});
}

QString ToastPresenterProxy::description() const
{
    if (!hasPresenter())
        return QStringLiteral("none");
    return QStringLiteral("some(%1)").arg(quintptr(toastPresenter()));
}

const EnvironmentKey<ToastPresenterProxy>& ToastPresenterEnvironmentKey::key()
{
    static const EnvironmentKey<ToastPresenterProxy> key{"toastPresenter", [] {
        Q_ASSERT(QThread::currentThread() == qApp->thread());
        ToastPresenting* presenter = defaultToastPresenter();
        if (presenter)
            presenter->prepareForToasts();
        return ToastPresenterProxy(presenter);
    }};
    return key;
}

void toastPresenter(QWidget* widget, ToastPresenterProxy proxy)
{
    Environment::set(widget, ToastPresenterEnvironmentKey::key(), std::move(proxy));
}

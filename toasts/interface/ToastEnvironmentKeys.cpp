#include "toasts/interface/ToastEnvironmentKeys.h"

#include "toasts/engine/ToastEnvironmentValues.h"

#include <QCoreApplication>
#include <QThread>

const EnvironmentKey<ToastCancellation>& ToastCancellationEnvironmentKey::key()
{
    static const EnvironmentKey<ToastCancellation> key{"toastCancellation", [] { return ToastCancellation::automatic; }};
    return key;
}

const EnvironmentKey<std::optional<ToastDismissAction>>& ToastDismissEnvironmentKey::key()
{
    static const EnvironmentKey<std::optional<ToastDismissAction>> key{
        "toastDismiss", [] { return std::optional<ToastDismissAction>(); }};
    return key;
}

const EnvironmentKey<bool>& ToastInteractiveDismissEnabledEnvironmentKey::key()
{
    static const EnvironmentKey<bool> key{"toastInteractiveDismissEnabled", [] { return true; }};
    return key;
}

const EnvironmentKey<bool>& ToastOrnamentPresentationEnvironmentKey::key()
{
    static const EnvironmentKey<bool> key{"toastOrnamentPresentationEnabled", [] { return false; }};
    return key;
}

const EnvironmentKey<std::optional<ToastPresentationInvalidationOptions>>&
ToastPresentationInvalidationOptionsEnvironmentKey::key()
{
    static const EnvironmentKey<std::optional<ToastPresentationInvalidationOptions>> key{
        "toastPresentationInvalidation", [] { return std::optional<ToastPresentationInvalidationOptions>(); }};
    return key;
}

const EnvironmentKey<std::optional<ToastAlignment>>& ToastPresentedAlignmentEnvironmentKey::key()
{
    static const EnvironmentKey<std::optional<ToastAlignment>> key{
        "toastPresentedAlignment", [] { return std::optional<ToastAlignment>(); }};
    return key;
}

const EnvironmentKey<ToastPresenterProxy>& ToastPresenterEnvironmentKey::key()
{
    static const EnvironmentKey<ToastPresenterProxy> key{"toastPresenter", [] {
        Q_ASSERT(QThread::currentThread() == qApp->thread());
        QWidget* window = defaultPresentingWindow();
        ToastPresenting* presenter = window ? windowPresenter(window) : nullptr;
        if (presenter)
            presenter->prepareForToasts();
        return ToastPresenterProxy(presenter);
    }};
    return key;
}

const EnvironmentKey<ToastTransition>& ToastTransitionEnvironmentKey::key()
{
    static const EnvironmentKey<ToastTransition> key{"toastTransition", [] { return ToastTransition::defaultTransition(); }};
    return key;
}

const EnvironmentKey<AnyToastStyle>& ToastStyleEnvironmentKey::key()
{
    static const EnvironmentKey<AnyToastStyle> key{
        "toastStyle", [] { return AnyToastStyle(); }, [](const AnyToastStyle&, const AnyToastStyle&) { return false; }};
    return key;
}

void toastCancellation(QWidget* widget, ToastCancellation cancellation)
{
    Environment::set(widget, ToastCancellationEnvironmentKey::key(), cancellation);
}

void toastInteractiveDismissDisabled(QWidget* widget, bool disabled)
{
    Environment::set(widget, ToastInteractiveDismissEnabledEnvironmentKey::key(), !disabled);
}

void toastPresentationInvalidation(QWidget* widget, std::optional<ToastPresentationInvalidationOptions> options)
{
    Environment::set(widget, ToastPresentationInvalidationOptionsEnvironmentKey::key(), options);
}

void toastTransition(QWidget* widget, ToastTransition transition)
{
    Environment::set(widget, ToastTransitionEnvironmentKey::key(), std::move(transition));
}

void toastStyle(QWidget* widget, AnyToastStyle style)
{
    Environment::set(widget, ToastStyleEnvironmentKey::key(), std::move(style));
}

void toastPresenter(QWidget* widget, ToastPresenterProxy proxy)
{
    Environment::set(widget, ToastPresenterEnvironmentKey::key(), std::move(proxy));
}

ToastEnvironmentValues ToastEnvironmentValues::capture(const QWidget* widget)
{
    return ToastEnvironmentValues{Environment::get(widget, ToastStyleEnvironmentKey::key()),
                                  Environment::get(widget, ToastTransitionEnvironmentKey::key()),
                                  Environment::get(widget, ToastInteractiveDismissEnabledEnvironmentKey::key())};
}

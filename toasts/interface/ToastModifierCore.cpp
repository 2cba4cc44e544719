#include "toasts/interface/ToastModifierCore.h"

#include "toasts/engine/ToastCancellation.h"
#include "toasts/engine/ToastEnvironmentValues.h"
#include "toasts/interface/ToastPresentationInvalidationOptions.h"
#include "toasts/presenters/ToastPresenterProxy.h"

#include "platform/Appearance.h"

#include <QCoreApplication>
#include <QWidget>

ToastModifierCore::ToastModifierCore(QWidget* target)
    : QObject(target)
    , m_target(target)
    , m_appearance(new AppearanceObserver(target, this))
    , m_canceller(ToastPresentationCanceller::make())
    , m_cancellables(target, [] { return std::make_shared<ToastHandleSet>(); })
{
    Environment::observe<std::optional<ToastPresentationInvalidationOptions>>(
        target, ToastPresentationInvalidationOptionsEnvironmentKey::key(), this,
        [this](const std::optional<ToastPresentationInvalidationOptions>&) { applyInvalidationOptions(); });
    connect(m_appearance, &AppearanceObserver::appeared, this, &ToastModifierCore::applyInvalidationOptions);
    applyInvalidationOptions();
}

ToastModifierCore::~ToastModifierCore() = default;

void ToastModifierCore::releasePresentationCanceller()
{
    std::shared_ptr<ToastPresentationCanceller> canceller = std::move(m_canceller);
    canceller.reset();
}

void ToastModifierCore::dismissShownToast()
{
    if (!m_canceller || m_onScreen->count == 0)
        return;
    // The handler is read when the dismissal runs, for the toast on screen
    // now: a presenter may wire it only once the toast has come.
    QMetaObject::invokeMethod(
        qApp,
        [canceller = m_canceller, onScreen = m_onScreen, shown = m_onScreen->presented] {
            if (onScreen->count == 0 || onScreen->presented != shown)
                return;
            const auto handler = canceller->presentationDismissalHandler();
            handler();
        },
        Qt::QueuedConnection);
}

void ToastModifierCore::schedule(const Toast& toast, ToastAlignment alignment, std::function<void()> onDismiss)
{
    if (!m_canceller)
        return;
    QWidget* view = m_target;
    std::shared_ptr<OnScreen> onScreen = m_onScreen;
    ToastPresentation presentation{toast, alignment, ToastEnvironmentValues::capture(view), m_canceller,
                                   [onScreen] {
                                       ++onScreen->count;
                                       ++onScreen->presented;
                                   },
                                   [onScreen, onDismiss = std::move(onDismiss)] {
                                       // Counted off first: the callback may raise the next toast.
                                       if (onScreen->count > 0)
                                           --onScreen->count;
                                       if (onDismiss)
                                           onDismiss();
                                   }};
    ToastCancellation policy = Environment::get(view, ToastCancellationEnvironmentKey::key());
    if (policy == ToastCancellation::automatic)
        policy = ToastCancellation::presentation;
    const ToastPresenterProxy proxy = Environment::get(view, ToastPresenterEnvironmentKey::key());
    proxy.schedule(std::move(presentation), policy, *m_cancellables.wrappedValue());
}

std::optional<ToastPresentationInvalidationOptions> ToastModifierCore::invalidationOptions() const
{
    return Environment::get(m_target.data(), ToastPresentationInvalidationOptionsEnvironmentKey::key());
}

bool ToastModifierCore::dismissesPrevious() const
{
    const auto options = invalidationOptions();
    return !options || options->testFlag(ToastPresentationInvalidationOption::dismissPrevious);
}

void ToastModifierCore::applyInvalidationOptions()
{
    const auto options = invalidationOptions();
    if (m_canceller)
        m_canceller->setDismissOnDeinit(options
                                    && options->testFlag(ToastPresentationInvalidationOption::dismissOnCancellerRelease));
}

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

namespace {
// Dismisses, on the main thread's next turn, the toast on screen if
// `stillShown` says it is still the one meant. The handler is read when the
// dismissal runs: a presenter may wire it only once the toast has come.
void dismissLater(std::shared_ptr<ToastPresentationCanceller> canceller, std::function<bool()> stillShown)
{
    QMetaObject::invokeMethod(
        qApp,
        [canceller = std::move(canceller), stillShown = std::move(stillShown)] {
            if (!stillShown())
                return;
            const auto handler = canceller->presentationDismissalHandler();
            handler();
        },
        Qt::QueuedConnection);
}
} // namespace

void ToastModifierCore::dismissShownToast()
{
    m_onScreen->superseded = m_onScreen->scheduled;
    dismissToastOnScreen();
}

void ToastModifierCore::dismissToastOnScreen()
{
    if (!m_canceller || m_onScreen->count == 0)
        return;
    dismissLater(m_canceller, [onScreen = m_onScreen, shown = m_onScreen->presented] {
        return onScreen->count > 0 && onScreen->presented == shown;
    });
}

void ToastModifierCore::schedule(const Toast& toast, ToastAlignment alignment, std::function<void()> onDismiss)
{
    if (!m_canceller)
        return;
    QWidget* view = m_target;
    std::shared_ptr<OnScreen> onScreen = m_onScreen;
    const quint64 number = ++onScreen->scheduled;
    std::weak_ptr<ToastPresentationCanceller> canceller = m_canceller;
    ToastPresentation presentation{toast, alignment, ToastEnvironmentValues::capture(view), m_canceller,
                                   [onScreen, number, canceller] {
                                       ++onScreen->count;
                                       const quint64 shown = ++onScreen->presented;
                                       // Replaced while it waited: it goes again at once.
                                       if (number <= onScreen->superseded) {
                                           if (auto kept = canceller.lock())
                                               dismissLater(kept, [onScreen, shown] {
                                                   return onScreen->count > 0 && onScreen->presented == shown;
                                               });
                                       }
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

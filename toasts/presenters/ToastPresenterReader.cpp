#include "toasts/presenters/ToastPresenterReader.h"

#include "toasts/engine/ModifierFallbacks.h"
#include "toasts/presenters/NSWindowToastPresenterReaderModifier.h"
#include "toasts/presenters/ToastPresenterProxy.h"

#include "platform/AsyncWait.h"

#include <QWidget>

namespace {
QCoro::Task<> assignAfterAYield(QPointer<ToastPresenterReader> reader, CancellationToken token,
    std::function<void()> assign)
{
    co_await yieldOnce();
    if (reader && !token.isCancelled())
        assign();
}
} // namespace

ToastPresenterReader::ToastPresenterReader(QWidget* view, Content content)
    : QObject(view)
    , m_view(view)
    , m_content(std::move(content))
{
    QPointer<ToastPresenterReader> self(this);
    m_windowReader = windowToastPresenterReader(view,
        Binding<ToastPresenterProxy>([self] { return self ? self->m_toastPresenter : ToastPresenterProxy(); },
            [self](ToastPresenterProxy proxy) {
                if (self)
                    self->setToastPresenter(std::move(proxy));
            }));
    taskFallback(view, TaskPriority::userInitiated, [self](CancellationToken token) {
        return assignAfterAYield(self, std::move(token), [self] {
            if (self)
                self->assign();
        });
    });
    // A presenter written above the widget may be an in-layout one.
    new platform_detail::KeyWatcher(Environment::channelFor(ToastPresenterEnvironmentKey::key().name), view, this,
        [this] { rebuild(); });
    m_windowReader->reader()->update();
    rebuild();
}

ToastPresenterProxy ToastPresenterReader::effectivePresenter() const
{
    if (m_view) {
        const auto outer = Environment::find(m_view->parentWidget(), ToastPresenterEnvironmentKey::key());
        if (outer && outer->hasPresenter() && outer->toastPresenter()->presentsInLayout())
            return *outer;
    }
    return m_toastPresenter;
}

void ToastPresenterReader::setToastPresenter(ToastPresenterProxy proxy)
{
    m_toastPresenter = std::move(proxy);
    assign();
}

void ToastPresenterReader::assign()
{
    m_assignedPresenter = true;
    rebuild();
}

void ToastPresenterReader::rebuild()
{
    const ToastPresenterProxy presenter = effectivePresenter();
    if (!presenter.hasPresenter() && !m_assignedPresenter)
        return;
    if (m_delivered && *m_delivered == presenter)
        return;
    m_delivered = presenter;
    if (m_content)
        m_content(presenter);
}

ToastTargetSceneModifier::ToastTargetSceneModifier(QWidget* view)
    : QObject(view)
{
    QPointer<QWidget> target(view);
    m_reader = new ToastPresenterReader(view, [target](const ToastPresenterProxy& presenter) {
        if (target)
            toastPresenter(target.data(), presenter);
    });
}

ToastTargetSceneModifier* toastTargetScene(QWidget* view)
{
    return view ? new ToastTargetSceneModifier(view) : nullptr;
}

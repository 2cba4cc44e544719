#include "toasts/engine/ToastPresentationCanceller.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace {
bool onMainThread()
{
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void runOnMainThread(std::function<void()> action)
{
    if (auto* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::move(action), Qt::QueuedConnection);
}
} // namespace

std::shared_ptr<ToastPresentationCanceller> ToastPresentationCanceller::make()
{
    return std::shared_ptr<ToastPresentationCanceller>(new ToastPresentationCanceller());
}

ToastPresentationCanceller::~ToastPresentationCanceller()
{
    if (!m_dismissOnDeinit || !m_handler)
        return;
    if (onMainThread())
        m_handler();
    else
        runOnMainThread(std::move(m_handler));
}

void ToastPresentationCanceller::setPresentationDismissalHandler(std::function<void()> handler)
{
    m_handler = handler ? std::move(handler) : std::function<void()>([] {});
}

void ToastPresentationCanceller::dismiss()
{
    runOnMainThread([self = shared_from_this()] {
        // A copy: the handler may replace itself while it runs.
        const auto handler = self->m_handler;
        if (handler)
            handler();
    });
}

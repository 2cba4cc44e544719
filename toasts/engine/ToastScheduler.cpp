#include "toasts/engine/ToastScheduler.h"

#include "toasts/engine/ScenePhaseObserver.h"
#include "toasts/engine/ToastsConfiguration.h"

#include "platform/AsyncWait.h"
#include "platform/AsyncQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

std::atomic<int> ToastScheduler::s_runningConsumers{0};

struct ToastScheduler::Core {
    AsyncQueue<ToastPresentationRequest::Pointer> queue;
    Handler handler;
    QPointer<QObject> scene;
    QPointer<PresenterPhaseSubject> presenterPhases;
    // The request handed out at the moment, watched until it is dismissed.
    std::weak_ptr<ToastPresentationRequest> current;
    TaskHandle consumer;
};

namespace {
bool onMainThread()
{
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void onMainThreadLater(std::function<void()> action)
{
    if (auto* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::move(action), Qt::QueuedConnection);
}

void giveUpIfQueued(const ToastPresentationRequest::Pointer& request)
{
    if (request && request->state().is(ToastPresentationState::Kind::queued))
        request->giveUp();
}
} // namespace

ToastScheduler::ToastScheduler(QObject* scene, PresenterPhaseSubject* presenterPhases, Handler handler)
    : m_core(std::make_shared<Core>())
{
    Q_ASSERT(onMainThread());
    m_core->handler = std::move(handler);
    m_core->scene = scene;
    m_core->presenterPhases = presenterPhases;
    CancellationSource source;
    m_core->consumer = TaskHandle(source);
    // Runs on by itself; it holds the core, never the scheduler.
    consume(m_core, source.token());
}

ToastScheduler::~ToastScheduler()
{
    Q_ASSERT(onMainThread());
    std::deque<ToastPresentationRequest::Pointer> pending = m_core->queue.close();
    m_core->consumer.cancel();
    if (auto current = m_core->current.lock())
        current->cancelHandlingTask();
    // Whoever waits for these toasts' onDismiss hears of them, but not from
    // inside this destructor.
    if (!pending.empty()) {
        onMainThreadLater([pending = std::move(pending)] {
            for (const auto& request : pending)
                giveUpIfQueued(request);
        });
    }
}

void ToastScheduler::push(const std::shared_ptr<Core>& core, ToastPresentationRequest::Pointer request)
{
    if (!core->queue.push(request))
        giveUpIfQueued(request);
}

std::weak_ptr<ToastPresentationRequest> ToastScheduler::submit(ToastPresentation presentation)
{
    auto request = ToastPresentationRequest::make(std::move(presentation));
    std::weak_ptr<ToastPresentationRequest> weakRequest = request;
    if (onMainThread()) {
        push(m_core, std::move(request));
    } else {
        onMainThreadLater([weakCore = std::weak_ptr<Core>(m_core), request]() {
            if (auto core = weakCore.lock())
                push(core, request);
            else
                giveUpIfQueued(request);
        });
    }
    return weakRequest;
}

AnyCancellable ToastScheduler::schedule(ToastPresentation presentation)
{
    auto weakRequest = submit(std::move(presentation));
    return AnyCancellable([weakRequest] {
        auto withdraw = [weakRequest] {
            if (auto request = weakRequest.lock())
                request->cancel();
        };
        if (onMainThread())
            withdraw();
        else
            onMainThreadLater(std::move(withdraw));
    });
}

void ToastScheduler::enqueue(ToastPresentation presentation)
{
    submit(std::move(presentation));
}

double ToastScheduler::watchInterval(const ToastPresentationState& state, ToastDuration duration, Date now)
{
    constexpr double poll = 0.3;
    switch (state.kind()) {
    case ToastPresentationState::Kind::queued:
        return poll;
    case ToastPresentationState::Kind::presented: {
        const double seconds = duration.rawValue();
        if (!(seconds > 0))
            return poll;
        const double elapsed = std::chrono::duration<double>(now - state.presentedAt()).count();
        const double remaining = std::max(seconds - elapsed, 0.0);
        if (remaining <= poll)
            return poll;
        if (!ToastDuration::waitLength(remaining))
            return poll;
        return std::max(remaining, 0.1);
    }
    case ToastPresentationState::Kind::cancelled:
    case ToastPresentationState::Kind::completed:
        break;
    }
    return 0;
}

int ToastScheduler::runningConsumerCount()
{
    return s_runningConsumers.load();
}

QCoro::Task<> ToastScheduler::watch(ToastPresentationRequest::Pointer request, CancellationToken token)
{
    using Kind = ToastPresentationState::Kind;
    for (;;) {
        if (token.isCancelled())
            co_return;
        const ToastPresentationState state = request->state();
        if (state.is(Kind::cancelled) || state.is(Kind::completed))
            co_return;
        const double seconds = watchInterval(
            state, request->presentation().toast.configuration.duration, std::chrono::system_clock::now());
        const double scale = ToastsConfiguration::shared().timeScale().rawValue();
        const auto length = ToastDuration::waitLength(seconds * scale);
        if (!co_await sleepFor(length ? *length : *ToastDuration::waitLength(seconds), token))
            co_return;
    }
}

QCoro::Task<> ToastScheduler::consume(std::shared_ptr<Core> core, CancellationToken token)
{
    ++s_runningConsumers;
    struct Running {
        ~Running() { --s_runningConsumers; }
    } running;

    ScenePhaseObserver scene(core->scene);
    PresenterPhaseObserver presenter(core->presenterPhases);

    for (;;) {
        std::optional<ToastPresentationRequest::Pointer> next = co_await core->queue.next(token);
        if (!next)
            co_return;
        ToastPresentationRequest::Pointer request = std::move(*next);

        if (scene.phase() != ScenePhase::active && !co_await scene.waitUntilActive(token)) {
            giveUpIfQueued(request);
            co_return;
        }
        if (presenter.phase() != PresenterPhase::active && !co_await presenter.waitUntilActive(token)) {
            giveUpIfQueued(request);
            co_return;
        }
        if (request->state().is(ToastPresentationState::Kind::cancelled))
            continue;

        core->current = request;
        if (Handler handler = core->handler)
            co_await handler(request->presentation());
        if (token.isCancelled()) {
            giveUpIfQueued(request);
            co_return;
        }
        // A handler that returns without presenting has nowhere to show the
        // toast; giving it up keeps the queue moving.
        giveUpIfQueued(request);

        if (!request->hasHandlingTask()) {
            CancellationSource watching;
            request->setHandlingTask(TaskHandle(watching));
            co_await watch(request, watching.token());
        }
        core->current.reset();
        if (token.isCancelled())
            co_return;
    }
}

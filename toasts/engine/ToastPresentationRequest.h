#pragma once

#include "toasts/engine/ToastPresentation.h"

#include "platform/CancellationToken.h"

#include <QHashFunctions>

#include <chrono>
#include <memory>
#include <optional>

// Where one scheduled toast stands:
// queued -> presented(at) -> completed, or queued -> cancelled.
class ToastPresentationState {
public:
    enum class Kind {
        queued,
        cancelled,
        presented,
        completed,
    };
    using Date = std::chrono::system_clock::time_point;

    static ToastPresentationState queued() { return ToastPresentationState(Kind::queued); }
    static ToastPresentationState cancelled() { return ToastPresentationState(Kind::cancelled); }
    static ToastPresentationState presented(Date at)
    {
        ToastPresentationState state(Kind::presented);
        state.m_presentedAt = at;
        return state;
    }
    static ToastPresentationState completed() { return ToastPresentationState(Kind::completed); }

    Kind kind() const { return m_kind; }
    bool is(Kind kind) const { return m_kind == kind; }
    // The instant the toast came on screen; meaningful when presented.
    Date presentedAt() const { return m_presentedAt; }

    friend bool operator==(const ToastPresentationState& a, const ToastPresentationState& b)
    {
        return a.m_kind == b.m_kind && (a.m_kind != Kind::presented || a.m_presentedAt == b.m_presentedAt);
    }
    friend size_t qHash(const ToastPresentationState& state, size_t seed = 0)
    {
        if (state.m_kind != Kind::presented)
            return qHash(static_cast<int>(state.m_kind), seed);
        return qHashMulti(
            seed, static_cast<int>(state.m_kind), static_cast<qint64>(state.m_presentedAt.time_since_epoch().count()));
    }

private:
    explicit ToastPresentationState(Kind kind)
        : m_kind(kind)
    {
    }
    Kind m_kind;
    Date m_presentedAt{};
};

// One scheduled toast inside its scheduler. Its presentation's onPresent and
// onDismiss are wrapped so that calling them moves the state along; the
// wrappers hold the request weakly. State and task are touched on the main
// thread only.
class ToastPresentationRequest {
public:
    using Pointer = std::shared_ptr<ToastPresentationRequest>;

    static Pointer make(ToastPresentation presentation);

    ToastPresentationRequest(const ToastPresentationRequest&) = delete;
    ToastPresentationRequest& operator=(const ToastPresentationRequest&) = delete;

    const ToastPresentationState& state() const { return m_state; }
    // Queued becomes cancelled; any other state stays.
    void cancel();

    const ToastPresentation& presentation() const { return m_presentation; }

    // The task that watches the toast while it is handed out.
    bool hasHandlingTask() const { return m_handlingTask.has_value(); }
    void setHandlingTask(TaskHandle task) { m_handlingTask = std::move(task); }
    void cancelHandlingTask()
    {
        if (m_handlingTask)
            m_handlingTask->cancel();
    }

    // Gives the toast up: onPresent, then onDismiss, as a presenter that
    // cannot show it does.
    void giveUp() const;

private:
    ToastPresentationRequest() = default;

    ToastPresentationState m_state = ToastPresentationState::queued();
    ToastPresentation m_presentation;
    std::optional<TaskHandle> m_handlingTask;
};

#include "toasts/engine/ToastPresentationRequest.h"

ToastPresentationRequest::Pointer ToastPresentationRequest::make(ToastPresentation presentation)
{
    Pointer request(new ToastPresentationRequest());
    std::weak_ptr<ToastPresentationRequest> weak = request;

    presentation.onPresent = [weak, callerOnPresent = std::move(presentation.onPresent)] {
        if (callerOnPresent)
            callerOnPresent();
        if (auto self = weak.lock(); self && self->m_state.is(ToastPresentationState::Kind::queued))
            self->m_state = ToastPresentationState::presented(std::chrono::system_clock::now());
    };
    presentation.onDismiss = [weak, callerOnDismiss = std::move(presentation.onDismiss)] {
        if (callerOnDismiss)
            callerOnDismiss();
        auto self = weak.lock();
        if (!self)
            return;
        if (self->m_state.is(ToastPresentationState::Kind::presented))
            self->m_state = ToastPresentationState::completed();
        self->cancelHandlingTask();
    };
    request->m_presentation = std::move(presentation);
    return request;
}

void ToastPresentationRequest::cancel()
{
    if (m_state.is(ToastPresentationState::Kind::queued))
        m_state = ToastPresentationState::cancelled();
}

void ToastPresentationRequest::giveUp() const
{
    // Copies: the callbacks may drop the last reference to this request.
    const auto onPresent = m_presentation.onPresent;
    const auto onDismiss = m_presentation.onDismiss;
    if (onPresent)
        onPresent();
    if (onDismiss)
        onDismiss();
}

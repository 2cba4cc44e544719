#pragma once

#include "toasts/ToastPresenting.h"
#include "toasts/ToastScheduler.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <optional>

// A presenter for tests: shows each toast by recording it, keeps it on
// screen until the test (or the toast's canceller) dismisses it, and
// withdraws nothing by itself.
class ToastTestPresenter : public ToastPresenting {
public:
    ToastTestPresenter()
        : m_scheduler(this, nullptr, [this](ToastPresentation presentation) {
            return present(QPointer<ToastTestPresenter>(this), std::move(presentation));
        })
    {
    }

    ToastScheduler& toastScheduler() override { return m_scheduler; }
    bool presentsInLayout() const override { return false; }
    void prepareForToasts() override {}

    bool isShowing() const { return m_current.has_value(); }
    QString shownTitle() const { return m_current ? m_current->toast.configuration.content.titleText() : QString(); }

    // Takes the toast on screen away; its onDismiss runs.
    void dismiss()
    {
        if (!m_current)
            return;
        ToastPresentation gone = std::move(*m_current);
        m_current.reset();
        if (auto canceller = gone.presentationCanceller.lock())
            canceller->setPresentationDismissalHandler({});
        shown.append(QStringLiteral("-") + gone.toast.configuration.content.titleText());
        if (gone.onDismiss)
            gone.onDismiss();
    }

    // "+title" when a toast came on screen, "-title" when it went.
    QStringList shown;

private:
    static QCoro::Task<> present(QPointer<ToastTestPresenter> self, ToastPresentation presentation)
    {
        if (!self)
            co_return;
        self->m_current = presentation;
        self->shown.append(QStringLiteral("+") + presentation.toast.configuration.content.titleText());
        if (auto canceller = presentation.presentationCanceller.lock())
            canceller->setPresentationDismissalHandler([self] {
                if (self)
                    self->dismiss();
            });
        if (presentation.onPresent)
            presentation.onPresent();
    }

    ToastScheduler m_scheduler;
    std::optional<ToastPresentation> m_current;
};

#pragma once

#include "toasts/interface/ToastModifier.h"
#include "toasts/engine/ToastPresenting.h"
#include "toasts/engine/ToastScheduler.h"

#include "platform/Binding.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTest>

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

// A value-driven helper on `view` raising indefinite toasts titled by their
// item, so that only an asked dismissal ends one, and the ways its caller
// asks: the presenter's own (a click) is left to the test.
struct IndefiniteItemToasts {
    ObservableValue<std::optional<int>> item;
    int dismissed = 0;
    ToastModifier<int>* modifier;

    explicit IndefiniteItemToasts(QWidget* view)
        : modifier(toast<int>(view, item.binding(), ToastAlignment::top(), [this] { ++dismissed; }, [](const int& i) {
            return std::optional<Toast>(Toast::verbatim(QString::number(i), ToastRole::plain, ToastDuration(0)));
        }))
    {
    }

    static void addPathRows()
    {
        QTest::addColumn<QString>("path");
        for (const char* path : {"click", "canceller", "flag off", "new item"})
            QTest::newRow(path) << QString(path);
    }

    // "canceller", "flag off" or "new item" (which raises item 2).
    void askDismissal(const QString& path)
    {
        if (path == "canceller")
            modifier->presentationCanceller()->presentationDismissalHandler()();
        else
            item.set(path == "flag off" ? std::nullopt : std::optional<int>(2));
    }
};

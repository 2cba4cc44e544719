#pragma once

#include "toasts/CancellablesBox.h"
#include "toasts/ScheduleToastAction.h"
#include "toasts/PresentationBoundState.h"

#include <QPushButton>

#include <functional>
#include <memory>

// A button whose action can raise toasts: each press hands the action a
// ScheduleToastAction built from the toast environment at the button, once.
// The handles of its toasts live in a box that goes with the button or with
// the sheet it sits in, withdrawing the toasts still queued. Main thread.
class ToastButton : public QPushButton {
public:
    using Action = std::function<void(const ScheduleToastAction& scheduleToast)>;

    // The title is shown verbatim; `symbol` names an optional system symbol.
    ToastButton(const QString& title, Action action, QWidget* parent = nullptr);
    ToastButton(const QString& title, const QString& symbol, Action action, QWidget* parent = nullptr);

    std::shared_ptr<CancellablesBox> cancellablesBox() { return m_box.wrappedValue(); }

private:
    void press();

    Action m_action;
    PresentationBoundState<std::shared_ptr<CancellablesBox>> m_box;
};

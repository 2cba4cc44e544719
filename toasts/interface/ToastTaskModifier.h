#pragma once

#include "toasts/engine/ModifierFallbacks.h"
#include "toasts/interface/CancellablesBox.h"
#include "toasts/interface/ScheduleToastAction.h"
#include "toasts/interface/PresentationBoundState.h"

#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QObject>
#include <QVariant>

#include <functional>

class QWidget;
class ViewTask;

// Runs an operation while the widget is on screen (restarted when its id
// changes), handing it a ScheduleToastAction built from the widget's toast
// environment each time it starts. The handles of its toasts live in a box
// that goes with the helper or with the sheet the widget sits in, which
// withdraws the toasts still queued. Main thread.
//
// The priority is kept for the caller and handed on to the view task as given;
// it changes nothing here: every coroutine of the GUI thread runs on its one
// event loop, which orders no work by priority, and the nearest thing Qt
// has, a thread's priority, does not apply to work on the GUI thread.
class ToastTaskModifier : public QObject {
public:
    using Operation = std::function<QCoro::Task<>(ScheduleToastAction action, CancellationToken token)>;

    ToastTaskModifier(QWidget* target, TaskPriority priority, Operation operation, QVariant id = {});

    void setId(const QVariant& id);
    TaskPriority priority() const { return m_priority; }
    ViewTask* task() const { return m_task; }
    // The box as it stands (made if none is held).
    std::shared_ptr<CancellablesBox> cancellablesBox() { return m_box.wrappedValue(); }

private:
    ScheduleToastAction makeAction();

    QWidget* m_target;
    TaskPriority m_priority;
    PresentationBoundState<std::shared_ptr<CancellablesBox>> m_box;
    ViewTask* m_task = nullptr;
};

ToastTaskModifier* toastTask(QWidget* view, TaskPriority priority, ToastTaskModifier::Operation operation);
// Restarted whenever setId() is given an unequal id.
ToastTaskModifier* toastTask(QWidget* view, QVariant id, TaskPriority priority, ToastTaskModifier::Operation operation);
// The same at the priority a view's task has when none is named, user-initiated.
ToastTaskModifier* toastTask(QWidget* view, ToastTaskModifier::Operation operation);
ToastTaskModifier* toastTask(QWidget* view, QVariant id, ToastTaskModifier::Operation operation);

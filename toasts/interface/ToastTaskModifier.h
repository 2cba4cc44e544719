#pragma once

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
class ToastTaskModifier : public QObject {
public:
    using Operation = std::function<QCoro::Task<>(ScheduleToastAction action, CancellationToken token)>;

    ToastTaskModifier(QWidget* target, Operation operation, QVariant id = {});

    void setId(const QVariant& id);
    ViewTask* task() const { return m_task; }
    // The box as it stands (made if none is held).
    std::shared_ptr<CancellablesBox> cancellablesBox() { return m_box.wrappedValue(); }

private:
    ScheduleToastAction makeAction();

    QWidget* m_target;
    PresentationBoundState<std::shared_ptr<CancellablesBox>> m_box;
    ViewTask* m_task = nullptr;
};

ToastTaskModifier* toastTask(QWidget* view, ToastTaskModifier::Operation operation);
// Restarted whenever setId() is given an unequal id.
ToastTaskModifier* toastTask(QWidget* view, QVariant id, ToastTaskModifier::Operation operation);

#pragma once

#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>

class QWidget;

// Runs an asynchronous action for as long as a widget is shown: started on
// show, cancelled on hide, on destruction and when its id changes (then
// started again if the widget is visible). The action receives the token it
// must check after every suspension.
class ViewTask : public QObject {
    Q_OBJECT
public:
    using Action = std::function<QCoro::Task<>(CancellationToken)>;

    ViewTask(QWidget* target, Action action, QVariant id = {});
    ~ViewTask() override;

    void setId(const QVariant& id);
    QVariant id() const { return m_id; }
    bool isRunning() const { return m_handle.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start();
    void stop();

    QPointer<QWidget> m_target;
    Action m_action;
    QVariant m_id;
    TaskHandle m_handle;
};

// The free-function form: attaches a task to `target` and returns it (owned by target).
ViewTask* attachViewTask(QWidget* target, ViewTask::Action action, QVariant id = {});

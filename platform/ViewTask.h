#pragma once

#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>

class AppearanceObserver;
class QWidget;

// Runs an asynchronous action for as long as a widget is shown: started when
// it appears, cancelled when it disappears (minimising its window is not
// disappearing), on destruction and when its id changes (then started again
// if the widget is on screen). The action receives the token it must check
// after every suspension.
class ViewTask : public QObject {
    Q_OBJECT
public:
    using Action = std::function<QCoro::Task<>(CancellationToken)>;

    ViewTask(QWidget* target, Action action, QVariant id = {});
    ~ViewTask() override;

    void setId(const QVariant& id);
    QVariant id() const { return m_id; }
    bool isRunning() const { return m_handle.isActive(); }

private:
    void start();
    void stop();

    QPointer<QWidget> m_target;
    AppearanceObserver* m_appearance;
    Action m_action;
    QVariant m_id;
    TaskHandle m_handle;
};

// The free-function form: attaches a task to `target` and returns it (owned by target).
ViewTask* attachViewTask(QWidget* target, ViewTask::Action action, QVariant id = {});

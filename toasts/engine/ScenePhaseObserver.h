#pragma once

#include "platform/CancellationToken.h"
#include "platform/CurrentValueCell.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>

class QWidget;

enum class ScenePhase {
    background,
    inactive,
    active,
};

// Follows whether the user can see a scene: the application's activation and
// the state of one window. The scene is a window, or any other object (an
// in-layout presenter) that only the application's activation moves. Starts
// active. Main thread only.
class ScenePhaseObserver : public QObject {
    Q_OBJECT
public:
    explicit ScenePhaseObserver(QObject* scene, QObject* parent = nullptr);

    ScenePhase phase() const { return m_phase.value(); }
    const CurrentValueCell<ScenePhase>& phases() const { return m_phase; }

    // Resumes once the phase is active (at once if it is). False when the
    // token was cancelled first.
    QCoro::Task<bool> waitUntilActive(CancellationToken token) const;

private:
    bool isScene(const QWidget* window) const;
    void applicationDidBecomeActive();

    QPointer<QObject> m_scene;
    CurrentValueCell<ScenePhase> m_phase{ScenePhase::active};
};

#include "toasts/engine/ScenePhaseObserver.h"


#include "platform/ApplicationEventRelay.h"
#include "platform/WindowHierarchy.h"

#include <QWidget>

ScenePhaseObserver::ScenePhaseObserver(QObject* scene, QObject* parent)
    : QObject(parent)
    , m_scene(scene)
{
    auto* relay = ApplicationEventRelay::instance();
    const auto toBackground = [this] { m_phase.set(ScenePhase::background); };
    connect(relay, &ApplicationEventRelay::applicationWillResignActive, this, toBackground);
    connect(relay, &ApplicationEventRelay::applicationDidBecomeActive, this,
        &ScenePhaseObserver::applicationDidBecomeActive);
    connect(relay, &ApplicationEventRelay::windowWillClose, this, [this, toBackground](QWidget* window) {
        if (isScene(window))
            toBackground();
    });
    connect(relay, &ApplicationEventRelay::windowDidMiniaturize, this, [this, toBackground](QWidget* window) {
        if (isScene(window))
            toBackground();
    });
    // Back once the window is shown, not minimised, and active, whichever of
    // those comes last: a restored window that never lost the focus is not
    // activated again.
    const auto backIfShownAndActive = [this](QWidget* window) {
        if (isScene(window) && !WindowHierarchy::isOutOfSight(window) && window->isActiveWindow())
            m_phase.set(ScenePhase::active);
    };
    connect(relay, &ApplicationEventRelay::windowDidBecomeKey, this, backIfShownAndActive);
    connect(relay, &ApplicationEventRelay::windowDidDeminiaturize, this, backIfShownAndActive);
}

bool ScenePhaseObserver::isScene(const QWidget* window) const
{
    return window && m_scene && window == m_scene.data();
}

void ScenePhaseObserver::applicationDidBecomeActive()
{
    // A closed or minimised window stays out of sight when the application
    // comes back; it becomes active again when it is itself activated.
    if (m_scene && m_scene->isWidgetType()) {
        auto* window = static_cast<QWidget*>(m_scene.data());
        if (window->isWindow() && WindowHierarchy::isOutOfSight(window))
            return;
    }
    m_phase.set(ScenePhase::active);
}

QCoro::Task<bool> ScenePhaseObserver::waitUntilActive(CancellationToken token) const
{
    return m_phase.waitUntil([](const ScenePhase& phase) { return phase == ScenePhase::active; }, std::move(token));
}

#include "platform/ApplicationEventRelay.h"

#include "platform/WindowHierarchy.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QtGui/qevent.h>
#include <QTimer>
#include <QWidget>

ApplicationEventRelay* ApplicationEventRelay::instance()
{
    static QPointer<ApplicationEventRelay> relay;
    if (!relay) {
        Q_ASSERT(QCoreApplication::instance());
        relay = new ApplicationEventRelay(QCoreApplication::instance());
    }
    return relay;
}

ApplicationEventRelay::ApplicationEventRelay(QObject* parent)
    : QObject(parent)
    , m_applicationActive(QGuiApplication::applicationState() == Qt::ApplicationActive)
{
    QCoreApplication::instance()->installEventFilter(this);
}

void ApplicationEventRelay::applicationStateChanged(bool active)
{
    if (active == m_applicationActive)
        return;
    m_applicationActive = active;
    if (active)
        emit applicationDidBecomeActive();
    else
        emit applicationWillResignActive();
}

void ApplicationEventRelay::windowActivated(QWidget* window)
{
    emit windowDidBecomeKey(window);
    QWidget* main = WindowHierarchy::mainWindowFor(window);
    if (!WindowHierarchy::canBecomeMain(main) || main == m_mainWindow)
        return;
    if (QPointer<QWidget> previous = std::exchange(m_mainWindow, main))
        emit windowDidResignMain(previous);
    emit windowDidBecomeMain(main);
}

void ApplicationEventRelay::windowDeactivated(QWidget* window)
{
    if (!m_mainWindow || WindowHierarchy::mainWindowFor(window) != m_mainWindow)
        return;
    // Qt deactivates the window before it activates the next one; only then
    // is it known whether the focus went to a sheet of the same window.
    QPointer<QWidget> leaving(m_mainWindow);
    QPointer<QWidget> deactivated(window);
    const bool sheet = window != m_mainWindow;
    QTimer::singleShot(0, this, [this, leaving, deactivated, sheet] {
        if (!leaving || leaving != m_mainWindow)
            return;
        QWidget* active = QApplication::activeWindow();
        if (active) {
            QWidget* main = WindowHierarchy::mainWindowFor(active);
            if (main == leaving || !WindowHierarchy::canBecomeMain(main))
                return;
        } else if (sheet && (!deactivated || !deactivated->isVisible())) {
            // A sheet that closed hands the focus back to its window, which
            // stays main even where the window system leaves nothing active.
            return;
        }
        m_mainWindow = nullptr;
        emit windowDidResignMain(leaving);
    });
}

bool ApplicationEventRelay::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationStateChange) {
        if (watched == QCoreApplication::instance()) {
            const auto state = static_cast<QApplicationStateChangeEvent*>(event)->applicationState();
            applicationStateChanged(state == Qt::ApplicationActive);
        }
        return false;
    }

    switch (type) {
    case QEvent::Close:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::Resize:
    case QEvent::Move:
        break;
    default:
        return false;
    }
    if (!watched->isWidgetType())
        return false;
    auto* window = static_cast<QWidget*>(watched);
    if (!window->isWindow())
        return false;

    switch (type) {
    case QEvent::Close:
        // Whether the window accepts the close is known only once it hides;
        // a refused close leaves no hide behind and is forgotten next turn.
        m_closing.insert(window);
        QTimer::singleShot(0, this, [this, window] { m_closing.remove(window); });
        break;
    case QEvent::Hide:
        if (m_closing.remove(window))
            emit windowWillClose(window);
        break;
    case QEvent::WindowStateChange: {
        const auto oldState = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        const bool minimized = window->windowState().testFlag(Qt::WindowMinimized);
        if (minimized && !oldState.testFlag(Qt::WindowMinimized))
            emit windowDidMiniaturize(window);
        else if (!minimized && oldState.testFlag(Qt::WindowMinimized))
            emit windowDidDeminiaturize(window);
        break;
    }
    case QEvent::WindowActivate:
        windowActivated(window);
        break;
    case QEvent::WindowDeactivate:
        windowDeactivated(window);
        break;
    case QEvent::Resize:
        emit windowDidResize(window);
        break;
    case QEvent::Move:
        emit windowDidMove(window);
        break;
    default:
        break;
    }
    return false;
}

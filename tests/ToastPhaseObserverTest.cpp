#include "toasts/engine/PresenterPhaseObserver.h"
#include "toasts/engine/ScenePhaseObserver.h"

#include "platform/ApplicationEventRelay.h"

#include <QApplication>
#include <QCloseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <QtGui/qevent.h>

namespace {
void sendApplicationState(Qt::ApplicationState state)
{
    QApplicationStateChangeEvent event(state);
    QCoreApplication::sendEvent(qApp, &event);
}

QCoro::Task<> waitInto(const ScenePhaseObserver* observer, std::optional<bool>* result)
{
    *result = co_await observer->waitUntilActive({});
}

// A window that refuses to close.
class StubbornWindow : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

bool showAndActivate(QWidget* window)
{
    window->showNormal();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}
} // namespace

class ToastPhaseObserverTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_scene = std::make_unique<QWidget>();
        m_other = std::make_unique<QWidget>();
        QVERIFY(showAndActivate(m_other.get()));
        QVERIFY(showAndActivate(m_scene.get()));
    }

    void cleanup()
    {
        sendApplicationState(Qt::ApplicationActive);
        m_scene.reset();
        m_other.reset();
    }

    void startsActiveEvenWhileTheApplicationIsInactive()
    {
        sendApplicationState(Qt::ApplicationInactive);
        ScenePhaseObserver observer(m_scene.get());
        QCOMPARE(observer.phase(), ScenePhase::active);
    }

    void applicationActivationMovesTheSceneAndReleasesAWaiter()
    {
        ScenePhaseObserver observer(m_scene.get());
        sendApplicationState(Qt::ApplicationInactive);
        QCOMPARE(observer.phase(), ScenePhase::background);
        std::optional<bool> resumed;
        waitInto(&observer, &resumed);
        // Two changes in one turn must resume the waiter once, and only
        // once the phase is active.
        sendApplicationState(Qt::ApplicationActive);
        sendApplicationState(Qt::ApplicationInactive);
        QCoreApplication::processEvents();
        QVERIFY(!resumed.has_value());
        sendApplicationState(Qt::ApplicationActive);
        QTRY_VERIFY(resumed.has_value());
        QVERIFY(*resumed);
    }

    void otherWindowsLeaveThePhaseAlone_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("close") << "close";
        QTest::newRow("minimise") << "minimise";
        QTest::newRow("activate") << "activate";
    }
    void otherWindowsLeaveThePhaseAlone()
    {
        QFETCH(QString, action);
        ScenePhaseObserver observer(m_scene.get());
        if (action == "activate") {
            sendApplicationState(Qt::ApplicationInactive);
            QVERIFY(showAndActivate(m_other.get()));
            QCOMPARE(observer.phase(), ScenePhase::background);
            return;
        }
        if (action == "close")
            m_other->close();
        else
            m_other->showMinimized();
        QTRY_VERIFY(!m_other->isVisible() || m_other->isMinimized());
        QCOMPARE(observer.phase(), ScenePhase::active);
    }

    void minimisingTheSceneSendsItToTheBackgroundUntilItIsActivated()
    {
        ScenePhaseObserver observer(m_scene.get());
        m_scene->showMinimized();
        QTRY_COMPARE(observer.phase(), ScenePhase::background);
        // Out of sight, the application's return leaves it there.
        sendApplicationState(Qt::ApplicationInactive);
        sendApplicationState(Qt::ApplicationActive);
        QCOMPARE(observer.phase(), ScenePhase::background);
        QVERIFY(showAndActivate(m_other.get()));
        QCOMPARE(observer.phase(), ScenePhase::background);
        QVERIFY(showAndActivate(m_scene.get()));
        QTRY_COMPARE(observer.phase(), ScenePhase::active);

        // Minimised, restored and activated again without another window in
        // between: it was never deactivated, yet it is back.
        m_scene->showMinimized();
        QTRY_COMPARE(observer.phase(), ScenePhase::background);
        QVERIFY(showAndActivate(m_scene.get()));
        QTRY_COMPARE(observer.phase(), ScenePhase::active);
    }

    void refusedCloseIsNoClose()
    {
        StubbornWindow window;
        QVERIFY(showAndActivate(&window));
        ScenePhaseObserver observer(&window);
        int closes = 0;
        connect(ApplicationEventRelay::instance(), &ApplicationEventRelay::windowWillClose, &window,
            [&closes] { ++closes; });
        window.close();
        QVERIFY(window.isVisible());
        QCOMPARE(closes, 0);
        QCOMPARE(observer.phase(), ScenePhase::active);
    }

    void aClosedSceneStaysInTheBackgroundWhenTheApplicationReturns()
    {
        ScenePhaseObserver observer(m_scene.get());
        m_scene->close();
        QCOMPARE(observer.phase(), ScenePhase::background);
        sendApplicationState(Qt::ApplicationInactive);
        sendApplicationState(Qt::ApplicationActive);
        QCOMPARE(observer.phase(), ScenePhase::background);
    }

    void objectSceneFollowsOnlyTheApplication()
    {
        QObject presenter;
        ScenePhaseObserver observer(&presenter);
        sendApplicationState(Qt::ApplicationInactive);
        QCOMPARE(observer.phase(), ScenePhase::background);
        sendApplicationState(Qt::ApplicationActive);
        QCOMPARE(observer.phase(), ScenePhase::active);
    }

    void presenterPhaseFollowsItsSubjectWithoutRepeats()
    {
        PresenterPhaseObserver alwaysActive(nullptr);
        QCOMPARE(alwaysActive.phase(), PresenterPhase::active);
        // A wait that begins while active ends without suspending.
        QVERIFY(alwaysActive.waitUntilActive({}).isReady());

        PresenterPhaseSubject subject(PresenterPhase::active);
        PresenterPhaseObserver observer(&subject);
        QSignalSpy changes(observer.phases().notifier(), &platform_detail::CellSignal::changed);
        subject.send(PresenterPhase::inactive);
        subject.send(PresenterPhase::inactive);
        subject.send(PresenterPhase::active);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(observer.phase(), PresenterPhase::active);

        PresenterPhaseSubject startsInactive(PresenterPhase::inactive);
        QCOMPARE(PresenterPhaseObserver(&startsInactive).phase(), PresenterPhase::inactive);
    }

private:
    std::unique_ptr<QWidget> m_scene;
    std::unique_ptr<QWidget> m_other;
};

QTEST_MAIN(ToastPhaseObserverTest)
#include "ToastPhaseObserverTest.moc"

#include "toasts/engine/PresenterPhaseObserver.h"
#include "toasts/engine/ToastScheduler.h"
#include "toasts/engine/ToastsConfiguration.h"

#include "platform/AsyncWait.h"

#include <QApplication>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <QtGui/qevent.h>

#include <cmath>

using namespace std::chrono_literals;

namespace {
// What the presenter under test saw and what became of each toast.
struct Record {
    QList<ToastPresentation> handed;
    QStringList events;
    int handedTag(qsizetype index) const { return int(handed.at(index).toast.configuration.duration.rawValue()); }
};

// Shows the toast and keeps it until the test dismisses it.
QCoro::Task<> keep(std::shared_ptr<Record> record, ToastPresentation presentation)
{
    record->handed.append(presentation);
    presentation.onPresent();
    co_return;
}

QCoro::Task<> showAndGoAtOnce(std::shared_ptr<Record> record, ToastPresentation presentation)
{
    record->handed.append(presentation);
    presentation.onPresent();
    presentation.onDismiss();
    co_return;
}

// Has nowhere to show the toast and returns.
QCoro::Task<> ignore(std::shared_ptr<Record> record, ToastPresentation presentation)
{
    record->handed.append(std::move(presentation));
    co_return;
}

QCoro::Task<> settleInto(bool* done)
{
    co_await sleepFor(30ms);
    *done = true;
}

// Lets the event loop run for a while, so that anything that would happen on
// its own has happened.
void settle()
{
    bool done = false;
    settleInto(&done);
    QTRY_VERIFY(done);
}

void sendApplicationState(Qt::ApplicationState state)
{
    QApplicationStateChangeEvent event(state);
    QCoreApplication::sendEvent(qApp, &event);
}

using Date = ToastScheduler::Date;
const Date kNow = Date(std::chrono::seconds(1'700'000'000));
} // namespace

class ToastSchedulerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    std::shared_ptr<Record> m_record;

    // The tag is carried as the duration, so every toast is timed and its watch
    // sleeps until the test dismisses it.
    ToastPresentation tagged(int tag) const
    {
        ToastPresentation presentation;
        presentation.toast.configuration.duration = ToastDuration(tag);
        std::weak_ptr<Record> weak = m_record;
        presentation.onPresent = [weak, tag] {
            if (auto r = weak.lock())
                r->events << QStringLiteral("%1:present").arg(tag);
        };
        presentation.onDismiss = [weak, tag] {
            if (auto r = weak.lock())
                r->events << QStringLiteral("%1:dismiss").arg(tag);
        };
        return presentation;
    }

    std::unique_ptr<ToastScheduler> makeScheduler(
        QCoro::Task<> (*handler)(std::shared_ptr<Record>, ToastPresentation), QObject* scene = nullptr,
        PresenterPhaseSubject* phases = nullptr)
    {
        return std::make_unique<ToastScheduler>(scene ? scene : m_window.get(), phases,
            [record = m_record, handler](ToastPresentation p) { return handler(record, std::move(p)); });
    }

private slots:
    void initTestCase() { ToastsConfiguration::shared().setTimeScaleForTesting(0.01); }

    void init()
    {
        m_record = std::make_shared<Record>();
        m_window = std::make_unique<QWidget>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        sendApplicationState(Qt::ApplicationActive);
        m_window.reset();
        // Every consumer and watch must have ended, or the sanitizer run
        // reports their frames as leaked.
        QTRY_COMPARE(ToastScheduler::runningConsumerCount(), 0);
    }

    void handsOutInArrivalOrderOneAfterAnotherDismissal()
    {
        auto scheduler = makeScheduler(&keep);
        AnyCancellable first = scheduler->schedule(tagged(1));
        scheduler->enqueue(tagged(2));
        AnyCancellable third = scheduler->schedule(tagged(3));

        for (int tag = 1; tag <= 3; ++tag) {
            QTRY_COMPARE(m_record->handed.size(), tag);
            QCOMPARE(m_record->handedTag(tag - 1), tag);
            settle();
            QCOMPARE(m_record->handed.size(), tag); // the next one waits for this dismissal
            m_record->handed.last().onDismiss();
        }
        QCOMPARE(m_record->events,
            (QStringList{"1:present", "1:dismiss", "2:present", "2:dismiss", "3:present", "3:dismiss"}));
    }

    void toastWithdrawnInTheBackgroundIsSkippedSilently()
    {
        auto scheduler = makeScheduler(&keep);
        sendApplicationState(Qt::ApplicationInactive);
        AnyCancellable withdrawn = scheduler->schedule(tagged(1));
        AnyCancellable released = scheduler->schedule(tagged(2));
        AnyCancellable kept = scheduler->schedule(tagged(3));
        settle();
        QVERIFY(m_record->handed.isEmpty());

        withdrawn.cancel();
        released = AnyCancellable();
        sendApplicationState(Qt::ApplicationActive);
        QTRY_COMPARE(m_record->handed.size(), 1);
        QCOMPARE(m_record->handedTag(0), 3);
        QCOMPARE(m_record->events, QStringList{"3:present"});
    }

    void cancellingAShownToastLeavesItOnScreen()
    {
        auto scheduler = makeScheduler(&keep);
        AnyCancellable shown = scheduler->schedule(tagged(1));
        scheduler->enqueue(tagged(2));
        QTRY_COMPARE(m_record->handed.size(), 1);
        shown.cancel();
        settle();
        QCOMPARE(m_record->handed.size(), 1);
        m_record->handed.first().onDismiss();
        QTRY_COMPARE(m_record->handed.size(), 2);
        QCOMPARE(m_record->events, (QStringList{"1:present", "1:dismiss", "2:present"}));
    }

    void presenterThatGivesUpOrPresentsNothingLetsTheNextThrough_data()
    {
        QTest::addColumn<bool>("presenterGivesUp");
        QTest::newRow("presenter gives up at once") << true;
        QTest::newRow("handler presents nothing") << false;
    }
    void presenterThatGivesUpOrPresentsNothingLetsTheNextThrough()
    {
        QFETCH(bool, presenterGivesUp);
        auto scheduler = makeScheduler(presenterGivesUp ? &showAndGoAtOnce : &ignore);
        for (int tag = 1; tag <= 3; ++tag)
            scheduler->enqueue(tagged(tag));
        QTRY_COMPARE(m_record->handed.size(), 3);
        QTRY_COMPARE(m_record->events,
            (QStringList{"1:present", "1:dismiss", "2:present", "2:dismiss", "3:present", "3:dismiss"}));
    }

    void presenterPhaseGatesTheHandOut()
    {
        PresenterPhaseSubject phases(PresenterPhase::inactive);
        QObject presenter;
        auto scheduler = makeScheduler(&showAndGoAtOnce, &presenter, &phases);
        scheduler->enqueue(tagged(1));
        settle();
        QVERIFY(m_record->handed.isEmpty());
        phases.send(PresenterPhase::active);
        QTRY_COMPARE(m_record->handed.size(), 1);
    }

    void schedulingAndReleasingHandlesFromAnotherThread()
    {
        auto scheduler = makeScheduler(&keep);
        std::unique_ptr<QThread> worker(QThread::create([this, &scheduler] {
            AnyCancellable first = scheduler->schedule(tagged(1));
            first.release(); // kept: must be shown
            AnyCancellable second = scheduler->schedule(tagged(2));
            // `second` goes here, on this thread: the toast is withdrawn.
        }));
        worker->start();
        QVERIFY(worker->wait());
        QTRY_COMPARE(m_record->handed.size(), 1);
        QCOMPARE(m_record->handedTag(0), 1);
        scheduler->enqueue(tagged(3));
        m_record->handed.first().onDismiss();
        QTRY_COMPARE(m_record->handed.size(), 2);
        QCOMPARE(m_record->handedTag(1), 3);
    }

    void destroyingTheSchedulerEndsItsConsumerAndGivesUpTheQueue()
    {
        auto scheduler = makeScheduler(&keep);
        AnyCancellable withdrawn = scheduler->schedule(tagged(2));
        scheduler->enqueue(tagged(1));
        scheduler->enqueue(tagged(3));
        withdrawn.cancel();
        QTRY_COMPARE(m_record->handed.size(), 1);
        ToastPresentation shown = m_record->handed.first();
        QCOMPARE(ToastScheduler::runningConsumerCount(), 1);

        scheduler.reset();
        QTRY_COMPARE(ToastScheduler::runningConsumerCount(), 0);
        QTRY_COMPARE(m_record->events, (QStringList{"1:present", "3:present", "3:dismiss"}));
        // The toast on screen still reports its end to whoever scheduled it.
        shown.onDismiss();
        QCOMPARE(m_record->events.last(), QStringLiteral("1:dismiss"));
        QCOMPARE(m_record->handed.size(), 1);
    }

    void watchIntervals_data()
    {
        QTest::addColumn<int>("state"); // 0 queued, 1 presented
        QTest::addColumn<double>("secondsOnScreen");
        QTest::addColumn<double>("duration");
        QTest::addColumn<double>("interval");
        QTest::newRow("queued polls") << 0 << 0.0 << 5.0 << 0.3;
        QTest::newRow("just shown sleeps to its end") << 1 << 0.0 << 5.0 << 5.0;
        QTest::newRow("half way") << 1 << 2.5 << 5.0 << 2.5;
        QTest::newRow("close to the end polls") << 1 << 4.8 << 5.0 << 0.3;
        QTest::newRow("indefinite polls") << 1 << 1.0 << 0.0 << 0.3;
        QTest::newRow("too far to time polls") << 1 << 0.0 << 18446744073709551616.0 << 0.3;
    }
    void watchIntervals()
    {
        QFETCH(int, state);
        QFETCH(double, secondsOnScreen);
        QFETCH(double, duration);
        QFETCH(double, interval);
        const auto shownAt
            = kNow - std::chrono::duration_cast<Date::duration>(std::chrono::duration<double>(secondsOnScreen));
        const auto toastState
            = state == 0 ? ToastPresentationState::queued() : ToastPresentationState::presented(shownAt);
        QVERIFY(std::abs(ToastScheduler::watchInterval(toastState, ToastDuration(duration), kNow) - interval) < 1e-6);
    }

    void requestStatesMoveOnlyForward()
    {
        auto request = ToastPresentationRequest::make(ToastPresentation{});
        request->presentation().onDismiss(); // not shown yet: stays queued
        QVERIFY(request->state().is(ToastPresentationState::Kind::queued));
        request->presentation().onPresent();
        QVERIFY(request->state().is(ToastPresentationState::Kind::presented));
        const auto shown = request->state();
        request->cancel();
        request->presentation().onPresent();
        QCOMPARE(request->state(), shown);
        request->presentation().onDismiss();
        QVERIFY(request->state().is(ToastPresentationState::Kind::completed));
        request->cancel();
        QVERIFY(request->state().is(ToastPresentationState::Kind::completed));
    }
};

QTEST_MAIN(ToastSchedulerTest)
#include "ToastSchedulerTest.moc"

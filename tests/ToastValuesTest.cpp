#include "toasts/values/ToastAlignment.h"
#include "toasts/values/ToastDismissAction.h"
#include "toasts/values/ToastDuration.h"
#include "toasts/interface/ToastOrnament.h"
#include "toasts/engine/ToastPresentationCanceller.h"
#include "toasts/interface/ToastButton.h"
#include "toasts/values/Toast.h"
#include "toasts/values/ToastStringTable.h"

#include <QTest>
#include <QThread>

#include <cmath>
#include <limits>
#include <optional>

namespace {
QCoro::Task<> sleepInto(double seconds, CancellationToken token, std::optional<bool>* result)
{
    *result = co_await ToastDuration::sleep(seconds, std::move(token));
}

QCoro::Task<> waitInto(CancellationToken token, bool* done)
{
    co_await ToastDuration::waitUntilCancelled(std::move(token));
    *done = true;
}

// Lets twenty milliseconds pass, long enough for what should not end.
void letTimePass()
{
    std::optional<bool> reference;
    sleepInto(0.02, {}, &reference);
    QTRY_VERIFY(reference.has_value());
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

class ToastValuesTest : public QObject {
    Q_OBJECT

private slots:
    void durationsClampWhenMadeFromSeconds_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("expected");
        QTest::newRow("below minimum") << 0.05 << 0.1;
        QTest::newRow("inside") << 3.0 << 3.0;
        QTest::newRow("above maximum") << 1e30 << 18446744073709551616.0;
        QTest::newRow("infinite") << kInfinity << 18446744073709551616.0;
        QTest::newRow("nan") << kNaN << 0.1;
    }
    void durationsClampWhenMadeFromSeconds()
    {
        QFETCH(double, seconds);
        QFETCH(double, expected);
        QCOMPARE(ToastDuration::seconds(seconds).rawValue(), expected);
    }

    void zeroAndNegativeDurationsAreIndefinite()
    {
        QVERIFY(ToastDuration(0).isIndefinite() && ToastDuration(-1).isIndefinite());
        QCOMPARE(qHash(ToastDuration(-0.0), 7), qHash(ToastDuration(0.0), 7));
    }

    void waitLengths_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("nanoseconds"); // -1: too long to time, waited as indefinite
        QTest::newRow("zero") << 0.0 << qint64(1);
        QTest::newRow("a picosecond") << 1e-12 << qint64(1);
        QTest::newRow("one and a half") << 1.5 << qint64(1500000000);
        QTest::newRow("largest countable") << 9e9 << qint64(9000000000000000000);
        QTest::newRow("beyond 64-bit nanoseconds") << 1e10 << qint64(-1);
        QTest::newRow("infinite") << kInfinity << qint64(-1);
        QTest::newRow("nan") << kNaN << qint64(-1);
    }
    void waitLengths()
    {
        QFETCH(double, seconds);
        QFETCH(qint64, nanoseconds);
        const auto length = ToastDuration::waitLength(seconds);
        QCOMPARE(length ? length->count() : -1, nanoseconds);
    }

    void sleepEndsAfterItsTimeOrOnCancel()
    {
        std::optional<bool> finished;
        sleepInto(0.002, {}, &finished);
        QTRY_VERIFY(finished.has_value());
        QVERIFY(*finished);

        CancellationSource source;
        std::optional<bool> cancelled;
        sleepInto(600.0, source.token(), &cancelled);
        source.cancel();
        QTRY_VERIFY(cancelled.has_value());
        QVERIFY(!*cancelled);
    }

    void sleepTooLongToTimeLastsUntilCancelled()
    {
        // Overflowing the nanosecond count must not turn into a short wait.
        CancellationSource source;
        std::optional<bool> endless;
        sleepInto(1e12, source.token(), &endless);
        letTimePass();
        QVERIFY(!endless.has_value());
        source.cancel();
        QTRY_VERIFY(endless.has_value());
        QVERIFY(!*endless);
    }

    void waitUntilCancelledReturnsOnlyOnCancel()
    {
        CancellationSource before;
        before.cancel();
        bool doneAtOnce = false;
        waitInto(before.token(), &doneAtOnce);
        QVERIFY(doneAtOnce);

        CancellationSource during;
        bool done = false;
        waitInto(during.token(), &done);
        letTimePass();
        QVERIFY(!done);
        during.cancel();
        QTRY_VERIFY(done);
    }

    void keysReadTheStringTableHandedOverAndFallBackToThemselves()
    {
        const auto title = [](const char* key) {
            return Toast::localized(key, ToastRole::plain, ToastDuration(2)).configuration.content.titleText();
        };
        const auto button = [](const char* key) { return ToastButton(key, [](const ScheduleToastAction&) {}).text(); };
        QCOMPARE(title("label_done"), QStringLiteral("label_done"));
        ToastStringTable::setLookup([](const QString& key) {
            return key == QLatin1String("label_done") ? QStringLiteral("Done") : QString();
        });
        QCOMPARE(title("label_done"), QStringLiteral("Done"));
        QCOMPARE(button("label_done"), QStringLiteral("Done"));
        QCOMPARE(Toast::localizedWithImage("label_done", QStringLiteral("none"), ToastRole::plain, ToastDuration(2))
                     .configuration.content.titleText(),
            QStringLiteral("Done"));
        // A key without text in the table, and plain strings, stay as they are.
        QCOMPARE(title("label_other"), QStringLiteral("label_other"));
        QCOMPARE(button("label_other"), QStringLiteral("label_other"));
        QCOMPARE(Toast::verbatim(QStringLiteral("label_done"), ToastRole::plain, ToastDuration(2))
                     .configuration.content.titleText(),
            QStringLiteral("label_done"));
        ToastStringTable::setLookup({});
        QCOMPARE(button("label_done"), QStringLiteral("label_done"));
    }

    void dismissActionsCompareBySignatureOnly()
    {
        int calls = 0;
        const ToastDismissAction a(42, [&calls] { ++calls; });
        const ToastDismissAction b(42, [] {});
        QCOMPARE(a, b);
        QVERIFY(a != ToastDismissAction(43, [] {}));
        a();
        QCOMPARE(calls, 1);
    }

    void cancellerRunsItsHandlerOnReleaseOnlyWhenAsked()
    {
        int calls = 0;
        auto quiet = ToastPresentationCanceller::make();
        quiet->setPresentationDismissalHandler([&calls] { ++calls; });
        quiet.reset();
        QCOMPARE(calls, 0);

        auto dismissing = ToastPresentationCanceller::make();
        dismissing->setDismissOnDeinit(true);
        dismissing->setPresentationDismissalHandler([&calls] { ++calls; });
        dismissing.reset();
        QCOMPARE(calls, 1);
    }

    void cancellerReleasedOffTheMainThreadDismissesOnIt()
    {
        QThread* ranOn = nullptr;
        auto canceller = ToastPresentationCanceller::make();
        canceller->setDismissOnDeinit(true);
        canceller->setPresentationDismissalHandler([&ranOn] { ranOn = QThread::currentThread(); });
        std::unique_ptr<QThread> worker(QThread::create([held = std::move(canceller)]() mutable { held.reset(); }));
        worker->start();
        QVERIFY(worker->wait());
        QTRY_COMPARE(ranOn, QThread::currentThread());
    }

    void cancellerDismissRunsTheHandlerInstalledByThen()
    {
        QStringList calls;
        auto canceller = ToastPresentationCanceller::make();
        canceller->setPresentationDismissalHandler([&calls] { calls << "old"; });
        canceller->dismiss();
        canceller->setPresentationDismissalHandler([&calls] { calls << "new"; });
        QVERIFY(calls.isEmpty());
        // Released before the dismissal runs: the request keeps it alive.
        canceller.reset();
        QTRY_COMPARE(calls, QStringList{"new"});
    }

    void ornamentKeepsItselfAliveAndUnwindsLongChains()
    {
        std::weak_ptr<ToastOrnament> watched = ToastOrnament::make(Qt::AlignTop);
        QVERIFY(!watched.expired());
        watched.lock()->setSelfReference(nullptr);
        QVERIFY(watched.expired());

        // Each ornament holds the next one only; releasing the head must not
        // recurse once per link.
        std::shared_ptr<ToastOrnament> head = ToastOrnament::make(Qt::AlignCenter);
        head->setSelfReference(nullptr);
        std::shared_ptr<ToastOrnament> tail = head;
        for (int i = 0; i < 200000; ++i) {
            auto next = ToastOrnament::make(Qt::AlignCenter);
            next->setSelfReference(nullptr);
            tail->setSelfReference(next);
            tail = std::move(next);
        }
        std::weak_ptr<ToastOrnament> last = tail;
        tail.reset();
        head.reset();
        QVERIFY(last.expired());
    }
};

QTEST_MAIN(ToastValuesTest)
#include "ToastValuesTest.moc"

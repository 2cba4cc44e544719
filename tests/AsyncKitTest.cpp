#include "platform/AsyncQueue.h"
#include "platform/AsyncWait.h"
#include "platform/CurrentValueCell.h"
#include "platform/Environment.h"
#include "platform/LatestRequest.h"
#include "support/FixtureServer.h"
#include "platform/HttpSession.h"
#include "platform/ViewTask.h"

#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace std::chrono_literals;

namespace {
// Coroutines of the tests: plain functions, parameters by value.
QCoro::Task<> consume(AsyncQueue<int>* queue, CancellationToken token, QList<int>* seen, bool* ended)
{
    while (auto item = co_await queue->next(token))
        seen->append(*item);
    *ended = true;
}

QCoro::Task<> untilCancelled(CancellationToken token, int* started, int* finished)
{
    ++*started;
    co_await waitForCancellation(token);
    ++*finished;
}

QCoro::Task<> waitForCell(const CurrentValueCell<int>* cell, std::function<bool(const int&)> condition,
                          CancellationToken token, bool* result, bool* done)
{
    *result = co_await cell->waitUntil(std::move(condition), std::move(token));
    *done = true;
}

QCoro::Task<> fetchInto(HttpSession* session, QUrl url, std::optional<HttpResponse>* result)
{
    *result = co_await session->get(std::move(url));
}

const EnvironmentKey<int> kDepth{"depth", [] { return 7; }};
} // namespace

class AsyncKitTest : public QObject {
    Q_OBJECT

private slots:
    void sleepEndsOnTimeOrOnCancel()
    {
        QVERIFY(QCoro::waitFor(sleepFor(1ms)));
        QVERIFY(QCoro::waitFor(sleepFor(0ns)));

        CancellationSource source;
        QTimer::singleShot(10, [&] { source.cancel(); });
        QVERIFY(!QCoro::waitFor(sleepFor(std::chrono::hours(24 * 400), source.token())));
        // Already cancelled: returns at once without waiting.
        QVERIFY(!QCoro::waitFor(sleepFor(1s, source.token())));
    }

    void latestRequestSupersedesAndDiesWithItsOwner()
    {
        auto requests = std::make_unique<LatestRequest>();
        const LatestRequest::Ticket first = requests->begin();
        QVERIFY(first.isCurrent() && requests->isRunning());
        const LatestRequest::Ticket second = requests->begin();
        QVERIFY(!first.isCurrent() && first.token().isCancelled());
        QVERIFY(second.isCurrent() && !second.token().isCancelled());
        requests->cancel();
        QVERIFY(!second.isCurrent() && second.token().isCancelled() && !requests->isRunning());
        const LatestRequest::Ticket third = requests->begin();
        requests.reset(); // the owner goes while its request is in flight
        QVERIFY(!third.isCurrent() && third.token().isCancelled());
    }

    void queueHandsOutInOrderAndEndsWhenClosed()
    {
        auto queue = std::make_unique<AsyncQueue<int>>();
        QList<int> seen;
        bool ended = false;
        consume(queue.get(), {}, &seen, &ended);
        queue->push(1);
        queue->push(2);
        QTRY_COMPARE(seen, (QList<int>{1, 2}));
        queue->push(3);
        QTRY_COMPARE(seen.size(), 3);
        QVERIFY(!ended);
        queue.reset(); // the consumer must end, not hang or touch freed memory
        QTRY_VERIFY(ended);
    }

    void queueConsumerEndsOnCancel()
    {
        AsyncQueue<int> queue;
        CancellationSource source;
        QList<int> seen;
        bool ended = false;
        consume(&queue, source.token(), &seen, &ended);
        source.cancel();
        QTRY_VERIFY(ended);
        queue.push(5);
        QCOMPARE(queue.size(), size_t(1));
        QVERIFY(seen.isEmpty());
    }

    void cellWaitsForCondition()
    {
        CurrentValueCell<int> cell(0);
        bool done = false;
        bool result = false;
        waitForCell(&cell, [](const int& v) { return v >= 2; }, {}, &result, &done);
        cell.set(1);
        QCoreApplication::processEvents();
        QVERIFY(!done);
        cell.set(2);
        QTRY_VERIFY(done);
        QVERIFY(result);

        CancellationSource source;
        bool cancelledResult = true;
        bool cancelledDone = false;
        waitForCell(&cell, [](const int& v) { return v < 0; }, source.token(), &cancelledResult, &cancelledDone);
        source.cancel();
        QTRY_VERIFY(cancelledDone);
        QVERIFY(!cancelledResult);

        // A cell that goes away ends the waits on it instead of leaving them hanging.
        auto doomed = std::make_unique<CurrentValueCell<int>>(0);
        bool goneResult = true;
        bool goneDone = false;
        waitForCell(doomed.get(), [](const int& v) { return v > 0; }, {}, &goneResult, &goneDone);
        doomed.reset();
        QTRY_VERIFY(goneDone);
        QVERIFY(!goneResult);
    }

    void viewTaskFollowsVisibilityAndId()
    {
        auto widget = std::make_unique<QWidget>();
        int started = 0;
        int finished = 0;
        ViewTask* task = attachViewTask(
            widget.get(), [&](CancellationToken token) { return untilCancelled(token, &started, &finished); }, 1);
        QCOMPARE(started, 0); // not shown yet
        widget->show();
        QTRY_COMPARE(started, 1);
        task->setId(1); // same id: nothing
        QCOMPARE(started, 1);
        task->setId(2); // new id: cancelled and started again
        QTRY_COMPARE(finished, 1);
        QCOMPARE(started, 2);
        widget->hide();
        QTRY_COMPARE(finished, 2);
        widget->show();
        QTRY_COMPARE(started, 3);
        widget.reset();
        QTRY_COMPARE(finished, 3);
    }

    // Inheritance and shadowing are the view kit's test; here, a value of
    // another type under the same name counts as absent.
    void environmentKeysAreTyped()
    {
        QWidget root;
        auto* leaf = new QWidget(&root);
        Environment::set(&root, kDepth, 1);
        QCOMPARE(Environment::get(leaf, kDepth), 1);
        const EnvironmentKey<QString> sameName{"depth", [] { return QStringLiteral("default"); }};
        QCOMPARE(Environment::get(leaf, sameName), QStringLiteral("default"));
    }

    void httpSessionCapsAndCancels()
    {
        FixtureServer server;
        QVERIFY(server.listen());
        server.setRoute(QStringLiteral("/big"), FixtureResponse::json(QByteArray(64 * 1024, 'x')));
        server.setRoute(QStringLiteral("/slow"), FixtureResponse::json("{}").delayed(2000));
        HttpSession session(HttpSession::Options{30s, 1024});

        const HttpResponse big = QCoro::waitFor(session.get(server.baseUrl().resolved(QUrl(QStringLiteral("/big")))));
        QCOMPARE(big.failure, HttpResponse::Failure::TooLarge);
        QVERIFY(big.body.isEmpty());

        // An answer cut short is a failure, however the transport reports it.
        FixtureResponse cut = FixtureResponse::json(QByteArray(800, ' ') + "{}");
        cut.truncate = true;
        server.setRoute(QStringLiteral("/cut"), cut);
        for (int attempt = 0; attempt < 10; ++attempt) {
            const HttpResponse shortened =
                QCoro::waitFor(session.get(server.baseUrl().resolved(QUrl(QStringLiteral("/cut")))));
            QCOMPARE(shortened.failure, HttpResponse::Failure::Network);
        }

        const HttpResponse file = QCoro::waitFor(session.get(QUrl(QStringLiteral("file:///etc/passwd"))));
        QCOMPARE(file.failure, HttpResponse::Failure::InvalidUrl);

        CancellationSource source;
        QTimer::singleShot(20, [&] { source.cancel(); });
        const HttpResponse cancelled =
            QCoro::waitFor(session.get(server.baseUrl().resolved(QUrl(QStringLiteral("/slow"))), source.token()));
        QCOMPARE(cancelled.failure, HttpResponse::Failure::Cancelled);
        QCOMPARE(session.activeTransfers(), 0);
    }

    // A huge answer is refused once the cap is passed, not once it has all
    // arrived: the server is cut off in mid-send.
    void httpSessionStopsReadingPastTheCap()
    {
        constexpr qint64 kCap = 4 << 20;
        constexpr qint64 kAnswer = 100 << 20;
        FixtureServer server;
        QVERIFY(server.listen());
        FixtureResponse huge = FixtureResponse::json({});
        huge.streamBytes = kAnswer;
        // No announced length, so only what arrives can tell.
        huge.omitLength = true;
        server.setRoute(QStringLiteral("/huge"), huge);
        HttpSession session(HttpSession::Options{30s, kCap});

        const HttpResponse response =
            QCoro::waitFor(session.get(server.baseUrl().resolved(QUrl(QStringLiteral("/huge")))));
        QCOMPARE(response.failure, HttpResponse::Failure::TooLarge);
        QVERIFY(response.body.isEmpty());
        QVERIFY2(server.streamedBytes() < kAnswer / 4, qPrintable(QString::number(server.streamedBytes())));
    }

    void httpSessionDestroyedMidTransfer()
    {
        FixtureServer server;
        QVERIFY(server.listen());
        server.setRoute(QStringLiteral("/slow"), FixtureResponse::json("{}").delayed(2000));
        auto* session = new HttpSession;
        std::optional<HttpResponse> result;
        fetchInto(session, server.baseUrl().resolved(QUrl(QStringLiteral("/slow"))), &result);
        QTRY_COMPARE(server.requestCount(QStringLiteral("/slow")), 1); // mid-transfer
        delete session;
        QTRY_VERIFY(result.has_value());
        QCOMPARE(result->failure, HttpResponse::Failure::Cancelled);
    }
};

QTEST_MAIN(AsyncKitTest)
#include "AsyncKitTest.moc"

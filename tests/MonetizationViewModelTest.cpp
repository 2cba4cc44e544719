#include "support/FixtureServer.h"
#include "support/TestHelpers.h"
#include "Services/Log.h"
#include "Services/Estimates/SensorTowerService.h"
#include "ViewModels/MonetizationViewModel.h"

#include <QtTest>

#include <memory>

using ServiceError = SensorTowerService::ServiceError;
using Kind = SensorTowerService::Error::Kind;
Q_DECLARE_METATYPE(Kind)

namespace {
constexpr qint64 kAppID = 1459969523;
constexpr qint64 kOtherAppID = 389801252;

QString route(qint64 appID)
{
    return QStringLiteral("/api/ios/apps?app_ids=%1").arg(appID);
}
} // namespace

class MonetizationViewModelTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        LogCapture::start();
    }

    void cleanup()
    {
        Log::setSinkForTesting(nullptr);
    }

    void readsTheEstimates_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<AppMonetization>("expected");
        QTest::newRow("list of apps") << "estimates/list.json" << AppMonetization{100000, "100k", 4000000, "$4m", {}};
        // The asked-for app is the second of the list.
        QTest::newRow("object with apps") << "estimates/object_apps.json" << AppMonetization{5000, "5k", 0, "< $5k", {}};
        // A record without an id comes first; it is not taken for the app.
        QTest::newRow("after a record without an id") << "estimates/after_anonymous.json"
                                                       << AppMonetization{5000, "5k", 0, "< $5k", {}};
    }

    void readsTheEstimates()
    {
        QFETCH(QString, file);
        QFETCH(AppMonetization, expected);
        qputenv("PLOVERA_ESTIMATES_URL", m_server->baseUrl().toString().toUtf8() + '/');
        const SensorTowerService local(m_session);
        qunsetenv("PLOVERA_ESTIMATES_URL");
        m_server->setRoute(route(kAppID), FixtureResponse::fromFile(file));

        const QDateTime before = QDateTime::currentDateTime();
        auto outcome = awaitTask(local.fetchMonetization(kAppID));
        QVERIFY(outcome);
        QVERIFY(outcome.value().lastUpdated >= before && outcome.value().lastUpdated <= QDateTime::currentDateTime());
        outcome.value().lastUpdated = {};
        QCOMPARE(outcome.value(), expected);
    }

    void failuresBecomeErrors_data()
    {
        QTest::addColumn<qint64>("appID");
        QTest::addColumn<FixtureResponse>("answer");
        QTest::addColumn<Kind>("error");
        const auto file = [](const char* name) { return FixtureResponse::fromFile(QLatin1String(name)); };
        QTest::newRow("no figures") << kAppID << file("estimates/no_figures.json") << Kind(ServiceError::NoEstimates);
        QTest::newRow("empty list") << kAppID << file("estimates/empty_list.json") << Kind(ServiceError::NoEstimates);
        QTest::newRow("only another app") << kOtherAppID << file("estimates/list.json") << Kind(ServiceError::NoEstimates);
        QTest::newRow("wrong types") << kAppID << file("estimates/wrong_types.json") << Kind(ServiceError::Decoding);
        QTest::newRow("sign-in page") << kAppID << FixtureResponse::html("<html><form>Sign in</form></html>")
                                      << Kind(TransportFailure::NotJSON);
        QTest::newRow("forbidden") << kAppID << FixtureResponse::json(R"({"error":"forbidden"})", 403)
                                   << Kind(TransportFailure::BadStatus);
        QTest::newRow("invalid id") << qint64(0) << FixtureResponse() << Kind(ServiceError::InvalidAppID);

        // An answer of another shape says nothing about the app: it is unreadable, not "no estimate".
        QTest::newRow("object without apps") << kAppID << FixtureResponse::json(R"({"message":"rate limited"})")
                                             << Kind(ServiceError::Decoding);
        QTest::newRow("apps not a list") << kAppID << FixtureResponse::json(R"({"apps":{"app_id":1459969523}})")
                                         << Kind(ServiceError::Decoding);
        QTest::newRow("a number") << kAppID << FixtureResponse::json("42") << Kind(ServiceError::Decoding);

        // Only the record carrying the app's id is the app's; blank wordings are no estimate.
        const auto record = [](const QByteArray& id, const QByteArray& downloads, const QByteArray& revenue) {
            return FixtureResponse::json("[{" + id + "\"humanized_worldwide_last_month_downloads\":{\"downloads\":1,\"string\":\""
                                         + downloads + "\"},\"humanized_worldwide_last_month_revenue\":{\"revenue\":1,\"string\":\""
                                         + revenue + "\"}}]");
        };
        QTest::newRow("record without an id") << kAppID << record("", "1", "$1") << Kind(ServiceError::NoEstimates);
        QTest::newRow("record with a text id of another app")
            << kAppID << record(R"("app_id":"389801252",)", "1", "$1") << Kind(ServiceError::NoEstimates);
        QTest::newRow("blank wording") << kAppID << record(R"("app_id":1459969523,)", "  ", "$1") << Kind(ServiceError::NoEstimates);
        QTest::newRow("empty wording") << kAppID << record(R"("app_id":1459969523,)", "1", "") << Kind(ServiceError::NoEstimates);
    }

    void failuresBecomeErrors()
    {
        QFETCH(qint64, appID);
        QFETCH(FixtureResponse, answer);
        QFETCH(Kind, error);
        m_server->setRoute(route(appID), answer);

        const auto outcome = awaitTask(service().fetchMonetization(appID));
        QVERIFY(!outcome);
        QCOMPARE(outcome.error().kind, error);
        QVERIFY(!outcome.error().localizedDescription().isEmpty());
        QCOMPARE(m_server->requests().size(), appID > 0 ? 1 : 0);
    }

    void loadPublishesFiguresOrError()
    {
        m_server->setRoute(route(kAppID), FixtureResponse::fromFile(QStringLiteral("estimates/list.json")));
        m_server->setRoute(route(kOtherAppID), FixtureResponse::fromFile(QStringLiteral("estimates/no_figures.json")));
        MonetizationViewModel viewModel(service());
        QSignalSpy loading(&viewModel, &MonetizationViewModel::isLoadingChanged);

        awaitTask(viewModel.loadMonetization(kAppID));
        QCOMPARE(viewModel.monetization()->revenueString, QStringLiteral("$4m"));
        QVERIFY(viewModel.errorMessage().isEmpty());
        QCOMPARE(loading.count(), 2);

        awaitTask(viewModel.loadMonetization(kOtherAppID));
        QCOMPARE(viewModel.monetization(), std::nullopt);
        QCOMPARE(viewModel.errorMessage(), QStringLiteral("Nessuna stima disponibile per questa app."));
        QVERIFY(LogCapture::text().contains(
            QStringLiteral("Failed to load monetization data: Nessuna stima disponibile per questa app.")));

        awaitTask(viewModel.loadMonetization(kAppID));
        QVERIFY(viewModel.monetization() && viewModel.errorMessage().isEmpty());
    }

    void sameAppWhileLoadingIsIgnored()
    {
        m_server->setRoute(route(kAppID), FixtureResponse::fromFile(QStringLiteral("estimates/list.json")).delayed(200));
        MonetizationViewModel viewModel(service());
        QCoro::Task<> first = viewModel.loadMonetization(kAppID);
        awaitTask(viewModel.loadMonetization(kAppID)); // returns at once
        QVERIFY(viewModel.isLoading());
        awaitTask(std::move(first));
        QCOMPARE(viewModel.monetization()->downloadsString, QStringLiteral("100k"));
        QCOMPARE(m_server->requests().size(), 1);
    }

    void anotherAppSupersedesTheRunningLoad()
    {
        // The first app's answer would arrive first and must not show under the second app.
        m_server->setRoute(route(kAppID), FixtureResponse::fromFile(QStringLiteral("estimates/list.json")).delayed(100));
        m_server->setRoute(route(kOtherAppID),
                           FixtureResponse::fromFile(QStringLiteral("estimates/object_apps.json")).delayed(400));
        MonetizationViewModel viewModel(service());
        QStringList shown;
        connect(&viewModel, &MonetizationViewModel::monetizationChanged, this, [&] {
            if (viewModel.monetization())
                shown.append(viewModel.monetization()->downloadsString);
        });

        QCoro::Task<> older = viewModel.loadMonetization(kAppID);
        QTRY_COMPARE(m_server->requestCount(route(kAppID)), 1);
        awaitTask(viewModel.loadMonetization(kOtherAppID));
        awaitTask(std::move(older));
        QCOMPARE(shown, QStringList{QStringLiteral("2k")});
        QVERIFY(!viewModel.isLoading() && viewModel.errorMessage().isEmpty());
    }

    void destroyedWhileLoading()
    {
        m_server->setRoute(route(kAppID), FixtureResponse::fromFile(QStringLiteral("estimates/list.json")).delayed(300));
        auto viewModel = std::make_unique<MonetizationViewModel>(service());
        QCoro::Task<> running = viewModel->loadMonetization(kAppID);
        QTRY_COMPARE(m_server->requests().size(), 1);
        viewModel.reset();
        awaitTask(std::move(running));
        QVERIFY(!LogCapture::text().contains(QStringLiteral("Failed to load monetization data")));
    }

private:
    SensorTowerService service() const { return SensorTowerService(m_session, m_server->baseUrl()); }

    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session = std::make_shared<HttpSession>();
};

QTEST_GUILESS_MAIN(MonetizationViewModelTest)
#include "MonetizationViewModelTest.moc"

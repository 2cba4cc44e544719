#include "Services/Charts/AppRankingService.h"
#include "ViewModels/AppRankingViewModel.h"
#include "support/FixtureServer.h"
#include "support/TestHelpers.h"
#include "models/CatalogueID.h"

#include <QtTest>

#include <limits>
#include <memory>

using Feed = AppRankingService::Feed;
using ServiceError = AppRankingService::ServiceError;
using Kind = AppRankingService::Error::Kind;
Q_DECLARE_METATYPE(Kind)

namespace {
const QString kCurrentFree = QStringLiteral("/api/v2/us/apps/top-free/100/apps.json");
const QString kLegacyFree = QStringLiteral("/us/rss/topfreeapplications/limit=100/json");
const QString kLegacyGrossing = QStringLiteral("/us/rss/topgrossingapplications/limit=100/json");
const QString kUSFree = QStringLiteral("/api/v2/us/apps/top-free/50/apps.json");
const QString kUSPaid = QStringLiteral("/api/v2/us/apps/top-paid/50/apps.json");
const QString kDEFree = QStringLiteral("/api/v2/de/apps/top-free/50/apps.json");
const QString kUSGames = QStringLiteral("/us/rss/topfreeapplications/limit=50/genre=6014/json");
} // namespace

class AppRankingServiceTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        m_session = std::make_shared<HttpSession>(HttpSession::Options{std::chrono::milliseconds(1500), 8 << 20});
        LogCapture::start();
    }

    void cleanup()
    {
        Log::setSinkForTesting(nullptr);
        m_session.reset();
        m_server.reset();
    }

    void addressesFromTheEnvironment()
    {
        // Read when the client is made; a base with a path keeps it.
        qputenv("PLOVERA_CHARTS_URL", "http://127.0.0.1:9/charts/");
        qputenv("PLOVERA_LEGACY_CHARTS_URL", "http://127.0.0.1:9/legacy");
        const AppRankingService local(m_session);
        qunsetenv("PLOVERA_CHARTS_URL");
        qunsetenv("PLOVERA_LEGACY_CHARTS_URL");
        QCOMPARE(local.currentFeedURL(QStringLiteral("gb"), Feed::topPaid, 10).value().path(),
                 QStringLiteral("/charts/api/v2/gb/apps/top-paid/10/apps.json"));
        QCOMPARE(local.legacyFeedURL(QStringLiteral("GB"), Feed::topGrossing, 10, QStringLiteral("6014")).value().path(),
                 QStringLiteral("/legacy/gb/rss/topgrossingapplications/limit=10/genre=6014/json"));
    }

    void decodesBothFeeds_data()
    {
        QTest::addColumn<QString>("storefront");
        QTest::addColumn<Feed>("feed");
        QTest::addColumn<QString>("genre");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("firstName");
        QTest::addColumn<QString>("firstGenre");

        QTest::newRow("current, full") << "US" << Feed::topFree << "" << kCurrentFree
                                       << "charts/current_us_top_free_100.json" << 100 << "Quill VPN" << "Utilities";
        QTest::newRow("current, short") << "us" << Feed::topFree << "" << kCurrentFree
                                        << "charts/current_us_top_free_short.json" << 7 << "Quill VPN" << "Utilities";
        QTest::newRow("current, empty") << "US" << Feed::topFree << "" << kCurrentFree << "charts/current_empty.json" << 0
                                        << "" << "";
        QTest::newRow("legacy, grossing") << "US" << Feed::topGrossing << "" << kLegacyGrossing
                                          << "charts/legacy_us_top_grossing_100.json" << 100
                                          << "Falcon Chat – Simple & Fast" << "Social Networking";
        // One entry comes as a bare object; the category in English whatever the storefront.
        QTest::newRow("legacy, one entry, genre") << "de" << Feed::topPaid << "6015"
                                                  << "/de/rss/toppaidapplications/limit=100/genre=6015/json"
                                                  << "charts/legacy_single_entry.json" << 1 << "Harbor Invest"
                                                  << "Finance";
        QTest::newRow("legacy, no entry") << "US" << Feed::topFree << "6025"
                                          << "/us/rss/topfreeapplications/limit=100/genre=6025/json"
                                          << "charts/legacy_no_entry.json" << 0 << "" << "";
    }

    void decodesBothFeeds()
    {
        QFETCH(QString, storefront);
        QFETCH(Feed, feed);
        QFETCH(QString, genre);
        QFETCH(QString, path);
        QFETCH(QString, file);
        QFETCH(int, count);
        QFETCH(QString, firstName);
        QFETCH(QString, firstGenre);
        m_server->setRoute(path, FixtureResponse::fromFile(file));

        const auto outcome = fetch(storefront, feed, genre);
        QVERIFY(outcome);
        const AppRankingService::Chart& chart = outcome.value();
        QCOMPARE(chart.size(), count);
        QCOMPARE(m_server->requests().size(), 1); // the right feed, asked once
        for (int i = 0; i < count; ++i)
            QCOMPARE(chart.at(i).rank, i + 1);
        if (count == 0)
            return;
        QCOMPARE(chart.first().name, firstName);
        QCOMPARE(chart.first().genre.value_or(QString()), firstGenre);
        QVERIFY(!chart.first().id.isEmpty() && !chart.first().artistName.isEmpty());
        QVERIFY(chart.first().artworkURL.toString().endsWith(QLatin1String("/100x100bb.png"))); // the largest icon
        QVERIFY(chart.first().appStoreURL.toString().startsWith(QLatin1String("https://apps.apple.com/")));
        if (count == 100) {
            // About one entry in ten has no genre; links come as one object or as a list.
            QCOMPARE(int(std::count_if(chart.begin(), chart.end(), [](const AppRanking& r) { return !r.genre; })),
                     feed == Feed::topFree ? 10 : 0);
            QVERIFY(std::all_of(chart.begin(), chart.end(), [](const AppRanking& r) { return r.appStoreURL.isValid(); }));
        }
    }

    void fallsBackToTheLegacyFeed_data()
    {
        QTest::addColumn<FixtureResponse>("currentAnswer");
        QTest::addColumn<FixtureResponse>("legacyAnswer");
        QTest::addColumn<int>("count"); // -1: the chart cannot be read
        const FixtureResponse legacy = FixtureResponse::fromFile(QStringLiteral("charts/legacy_us_top_free_short.json"));
        const FixtureResponse unreadable = FixtureResponse::json(R"({"feed":{"entry":7}})");
        QTest::newRow("server error") << FixtureResponse::text("unavailable", 503) << legacy << 7;
        QTest::newRow("html page") << FixtureResponse::html("<html><body>Maintenance</body></html>") << legacy << 7;
        QTest::newRow("wrong types") << FixtureResponse::fromFile(QStringLiteral("charts/current_wrong_types.json")) << legacy << 7;
        QTest::newRow("no results") << FixtureResponse::json(R"({"feed":{"title":"Top Free Apps"}})") << legacy << 7;
        QTest::newRow("results not a list") << FixtureResponse::json(R"({"feed":{"results":{}}})") << legacy << 7;
        QTest::newRow("both unreadable") << FixtureResponse::json(R"({"feed":{}})") << unreadable << -1;
    }

    void fallsBackToTheLegacyFeed()
    {
        QFETCH(FixtureResponse, currentAnswer);
        QFETCH(FixtureResponse, legacyAnswer);
        QFETCH(int, count);
        m_server->setRoute(kCurrentFree, currentAnswer);
        m_server->setRoute(kLegacyFree, legacyAnswer);

        const auto outcome = fetch(QStringLiteral("US"), Feed::topFree);
        if (count < 0)
            QCOMPARE(outcome.error().kind, Kind(ServiceError::Decoding));
        else
            QCOMPARE(outcome.value().size(), count);
        QCOMPARE(m_server->requestCount(kCurrentFree), 1);
        QCOMPARE(m_server->requestCount(kLegacyFree), 1);
    }

    void failuresBecomeErrors_data()
    {
        QTest::addColumn<FixtureResponse>("answer");
        QTest::addColumn<Kind>("error");
        FixtureResponse truncated = FixtureResponse::fromFile(QStringLiteral("charts/legacy_us_top_grossing_100.json"));
        truncated.truncate = true;
        QTest::newRow("404") << FixtureResponse::text("no such chart", 404) << Kind(TransportFailure::BadStatus);
        QTest::newRow("html") << FixtureResponse::html("<!DOCTYPE html><html></html>") << Kind(TransportFailure::NotJSON);
        QTest::newRow("malformed") << FixtureResponse::json("{\"feed\": {\"entry\": [") << Kind(ServiceError::Decoding);
        QTest::newRow("entry of wrong type") << FixtureResponse::json(R"({"feed":{"entry":"none"}})") << Kind(ServiceError::Decoding);
        QTest::newRow("field of wrong type")
            << FixtureResponse::fromFile(QStringLiteral("charts/legacy_wrong_types.json")) << Kind(ServiceError::Decoding);
        QTest::newRow("oversized") << FixtureResponse::json("{\"feed\":{\"entry\":[" + QByteArray(5 << 20, ' ') + "]}}")
                                   << Kind(TransportFailure::TooLarge);
        QTest::newRow("slow") << FixtureResponse::fromFile(QStringLiteral("charts/legacy_single_entry.json")).delayed(3000)
                              << Kind(TransportFailure::Timeout);
        QTest::newRow("cut short") << truncated << Kind(TransportFailure::Network);
    }

    void failuresBecomeErrors()
    {
        QFETCH(FixtureResponse, answer);
        QFETCH(Kind, error);
        m_server->setRoute(kLegacyGrossing, answer);

        const auto outcome = fetch(QStringLiteral("US"), Feed::topGrossing);
        QVERIFY(!outcome);
        QCOMPARE(outcome.error().kind, error);
        QVERIFY(!outcome.error().localizedDescription().isEmpty());
        const QString lines = LogCapture::text();
        const QString address = m_server->baseUrl().toString() + kLegacyGrossing;
        QVERIFY2(lines.contains(QStringLiteral("GET ") + address), qPrintable(lines));
        if (error == Kind(TransportFailure::BadStatus))
            QVERIFY2(lines.contains(QStringLiteral("Status 404")), qPrintable(lines));
        QVERIFY2(lines.contains(QStringLiteral("Request failed")), qPrintable(lines));
    }

    void oneDeadlineForBothFeeds_data()
    {
        QTest::addColumn<int>("currentDelayMs");
        QTest::addColumn<int>("legacyRequests");
        // The session allows 2 s. A stalled current feed uses it all up; one
        // that fails early enough leaves the legacy feed only the rest, too
        // little for its answer.
        QTest::newRow("current feed stalls") << 60000 << 0;
        QTest::newRow("current feed fails late") << 250 << 1;
    }

    void oneDeadlineForBothFeeds()
    {
        QFETCH(int, currentDelayMs);
        QFETCH(int, legacyRequests);
        m_server->setRoute(kCurrentFree, FixtureResponse::text("busy", 503).delayed(currentDelayMs));
        m_server->setRoute(kLegacyFree, FixtureResponse::fromFile(QStringLiteral("charts/legacy_us_top_free_short.json")).delayed(60000));
        m_session = std::make_shared<HttpSession>(HttpSession::Options{std::chrono::milliseconds(2000), 8 << 20});

        const auto outcome = fetch(QStringLiteral("US"), Feed::topFree);
        QCOMPARE(outcome.error().kind, Kind(TransportFailure::Timeout));
        QCOMPARE(m_server->requestCount(kLegacyFree), legacyRequests);
    }

    void rejectsBadInputBeforeAnyRequest_data()
    {
        QTest::addColumn<QString>("storefront");
        QTest::addColumn<QString>("genre");
        QTest::addColumn<int>("limit");
        QTest::addColumn<Kind>("error");
        QTest::newRow("unknown storefront") << "XX" << "" << 100 << Kind(ServiceError::InvalidStorefront);
        QTest::newRow("path in storefront") << "../us" << "" << 100 << Kind(ServiceError::InvalidStorefront);
        QTest::newRow("genre not in the table") << "US" << "6019" << 100 << Kind(ServiceError::InvalidGenre);
        QTest::newRow("path in genre") << "US" << "6014/../../x" << 100 << Kind(ServiceError::InvalidGenre);
        QTest::newRow("limit 0") << "US" << "" << 0 << Kind(ServiceError::InvalidLimit);
        QTest::newRow("limit 201") << "US" << "6014" << 201 << Kind(ServiceError::InvalidLimit);
        QTest::newRow("negative limit") << "US" << "" << -1 << Kind(ServiceError::InvalidLimit);
    }

    void rejectsBadInputBeforeAnyRequest()
    {
        QFETCH(QString, storefront);
        QFETCH(QString, genre);
        QFETCH(int, limit);
        QFETCH(Kind, error);
        for (Feed feed : ChartFeed::allFeeds())
            QCOMPARE(fetch(storefront, feed, genre, limit).error().kind, error);
        QCOMPARE(m_server->requests().size(), 0);

        // Both ends of the allowed range are asked for as given.
        const AppRankingService service(m_session, m_server->baseUrl(), m_server->baseUrl());
        QCOMPARE(service.currentFeedURL(QStringLiteral("US"), Feed::topFree, 1).value().path(),
                 QStringLiteral("/api/v2/us/apps/top-free/1/apps.json"));
        QCOMPARE(service.legacyFeedURL(QStringLiteral("US"), Feed::topGrossing, 200, {}).value().path(),
                 QStringLiteral("/us/rss/topgrossingapplications/limit=200/json"));
    }

    void keepsOnlyWebAddresses()
    {
        m_server->setRoute(kCurrentFree, FixtureResponse::fromFile(QStringLiteral("charts/current_unsafe_urls.json")));
        const auto outcome = fetch(QStringLiteral("US"), Feed::topFree);
        QVERIFY(outcome);
        const auto& chart = outcome.value();
        QVERIFY(chart.at(0).artworkURL.isEmpty() && chart.at(0).appStoreURL.isEmpty()); // javascript:, file:
        QVERIFY(chart.at(1).artworkURL.isEmpty() && chart.at(1).appStoreURL.isValid());  // ftp:
        QVERIFY(chart.at(2).artworkURL.isValid() && chart.at(2).appStoreURL.isEmpty());  // missing
    }

    void catalogueIDsAreNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("value"); // 0: not a number
        QTest::newRow("plus sign") << "+123" << qint64(123);
        QTest::newRow("leading zeros") << "0123" << qint64(123);
        QTest::newRow("minus sign") << "-5" << qint64(-5);
        QTest::newRow("largest") << "9223372036854775807" << std::numeric_limits<qint64>::max();
        QTest::newRow("smallest") << "-9223372036854775808" << std::numeric_limits<qint64>::min();
        QTest::newRow("overflow") << "9223372036854775808" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("sign only") << "+" << qint64(0);
        QTest::newRow("blanks") << " 12" << qint64(0);
        QTest::newRow("hex") << "0x1F" << qint64(0);
        QTest::newRow("two signs") << "+-1" << qint64(0);
        QTest::newRow("non-ASCII digit") << QStringLiteral(u"\u0661\u0662") << qint64(0);
    }

    void catalogueIDsAreNumbers()
    {
        QFETCH(QString, text);
        QFETCH(qint64, value);
        QCOMPARE(CatalogueID::parse(text).value_or(0), value);
    }

    void keepsOnlyUsableEntriesUpToTheLimit_data()
    {
        QTest::addColumn<QByteArray>("entries"); // "id:name" pairs, in feed order
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("kept");   // "id@rank"
        QTest::newRow("unusable ids and names")
            << QByteArray("abc:A, 0x1F :B,-5:C,0:D,:E,11:,12:  ,13:F") << 200 << QStringList{"13@8"};
        QTest::newRow("first of duplicate ids") << QByteArray("7:A,007:B,+7:C,8:D") << 200 << QStringList{"7@1", "8@4"};
        QTest::newRow("cut to the limit") << QByteArray("1:A,2:B,3:C,4:D") << 2 << QStringList{"1@1", "2@2"};
    }

    void keepsOnlyUsableEntriesUpToTheLimit()
    {
        QFETCH(QByteArray, entries);
        QFETCH(int, limit);
        QFETCH(QStringList, kept);
        QByteArray current;
        QByteArray legacy;
        for (const QByteArray& pair : entries.split(',')) {
            const QByteArray id = pair.left(pair.indexOf(':'));
            const QByteArray name = pair.mid(pair.indexOf(':') + 1);
            current += (current.isEmpty() ? "" : ",") + QByteArray("{\"id\":\"") + id + "\",\"name\":\"" + name + "\"}";
            legacy += (legacy.isEmpty() ? "" : ",") + QByteArray("{\"id\":{\"attributes\":{\"im:id\":\"") + id
                + "\"}},\"im:name\":{\"label\":\"" + name + "\"}}";
        }
        const auto summary = [](const AppRankingService::Outcome<AppRankingService::Chart>& chart) {
            QStringList list;
            for (const AppRanking& ranking : chart.value())
                list.append(ranking.id + QLatin1Char('@') + QString::number(ranking.rank));
            return list;
        };
        QCOMPARE(summary(AppRankingService::decodeCurrentFeed("{\"feed\":{\"results\":[" + current + "]}}", limit)), kept);
        QCOMPARE(summary(AppRankingService::decodeLegacyFeed("{\"feed\":{\"entry\":[" + legacy + "]}}", limit)), kept);
    }

    // Answers read as Qt's parser reads them: of duplicate keys the last one
    // counts, problem and all, and a leading byte-order mark is skipped.
    void readsAnswersAsQtDoes_data()
    {
        QTest::addColumn<bool>("legacy");
        QTest::addColumn<QByteArray>("feed"); // the members of "feed"
        QTest::addColumn<QString>("chart");   // "id@rank genre store", or "failed"
        const QByteArray one = R"({"id":"1","name":"A"})";
        const QByteArray two = R"({"id":"2","name":"B"})";
        QTest::newRow("last results") << false << R"("results":[)" + one + R"(],"results":[)" + two + "]" << "2@1";
        QTest::newRow("last results not a list") << false << R"("results":[)" + one + R"(],"results":{})" << "failed";
        QTest::newRow("wrong type replaced") << false << QByteArray(R"("results":[{"id":7,"id":"1","name":"A"}])") << "1@1";
        QTest::newRow("good value replaced")
            << false << QByteArray(R"("results":[{"id":"1","name":"A","name":[]}])") << "failed";
        QTest::newRow("last genres") << false
            << QByteArray(R"("results":[{"id":"1","name":"A","genres":[{"name":"Games"}],"genres":null}])") << "1@1";
        const QByteArray entry = R"({"id":{"attributes":{"im:id":"1"},"attributes":{"im:id":"2"}},"im:name":{"label":"A"},)"
                                 R"("category":{"attributes":{"term":"Games"}},"category":{"attributes":{"label":"Spiele"}},)"
                                 R"("link":{"attributes":{"rel":"alternate","href":"https://a.example/1"}},)"
                                 R"("link":[{"attributes":{"rel":"alternate","href":"https://a.example/2"}}]})";
        QTest::newRow("last wrapper, category and link") << true << R"("entry":)" + entry << "2@1 Spiele /2";
        QTest::newRow("last entry") << true << R"("entry":[)" + entry + R"(,{}],"entry":{})" << "";
        QTest::newRow("last entry of wrong type") << true << R"("entry":)" + entry + R"(,"entry":7)" << "failed";
        QTest::newRow("byte-order mark") << true << "\xEF\xBB\xBF" + QByteArray(R"("entry":)") + entry << "2@1 Spiele /2";
    }

    void readsAnswersAsQtDoes()
    {
        QFETCH(bool, legacy);
        QFETCH(QByteArray, feed);
        QFETCH(QString, chart);
        // A byte-order mark in a row goes before the whole document.
        const bool mark = feed.startsWith("\xEF\xBB\xBF");
        const QByteArray body = (mark ? "\xEF\xBB\xBF{\"feed\":{" + feed.mid(3) : "{\"feed\":{" + feed) + "}}";
        const auto outcome = legacy ? AppRankingService::decodeLegacyFeed(body) : AppRankingService::decodeCurrentFeed(body);
        QStringList entries;
        for (const AppRanking& ranking : outcome ? outcome.value() : AppRankingService::Chart()) {
            entries.append(QStringList{ranking.id + QLatin1Char('@') + QString::number(ranking.rank),
                                       ranking.genre.value_or(QString()), ranking.appStoreURL.path()}
                               .join(QLatin1Char(' ')).trimmed());
        }
        QCOMPARE(outcome ? entries.join(QLatin1Char(',')) : QStringLiteral("failed"), chart);
        // The same document with a duplicate feed: the last one counts.
        const QByteArray twice = "{\"feed\":{\"entry\":7,\"results\":7},\"feed\":{" + (mark ? feed.mid(3) : feed) + "}}";
        const auto again = legacy ? AppRankingService::decodeLegacyFeed(twice) : AppRankingService::decodeCurrentFeed(twice);
        QCOMPARE(bool(again), bool(outcome));
    }

    // The view model of the top-charts tab.

    void loadPublishesTheChart_data()
    {
        QTest::addColumn<FixtureResponse>("answer");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("error");

        QTest::newRow("chart") << FixtureResponse::fromFile(QStringLiteral("charts/current_us_top_free_short.json")) << 7
                               << "";
        QTest::newRow("empty chart") << FixtureResponse::fromFile(QStringLiteral("charts/current_empty.json")) << 0
                                     << "No rankings available for this selection.";
        QTest::newRow("failure") << FixtureResponse::text("busy", 503) << 0
                                 << "The chart service answered with an error (status 503).";
    }

    void loadPublishesTheChart()
    {
        QFETCH(FixtureResponse, answer);
        QFETCH(int, count);
        QFETCH(QString, error);
        const auto viewModel = makeViewModel();
        m_server->setRoute(kUSFree, answer);
        m_server->setRoute(QStringLiteral("/us/rss/topfreeapplications/limit=50/json"), answer);
        // What an earlier load showed must not survive a failure.
        viewModel->setSelectedFeed(Feed::topPaid);
        QTRY_VERIFY(!viewModel->isLoading());
        QCOMPARE(viewModel->rankings().size(), 50); // an answer of 100 cut to the limit

        viewModel->setSelectedFeed(Feed::topFree);
        QVERIFY(viewModel->isLoading());
        QTRY_VERIFY(!viewModel->isLoading());
        QCOMPARE(viewModel->rankings().size(), count);
        QCOMPARE(viewModel->errorMessage(), error);
    }

    void onlyARealChangeReloads()
    {
        const auto viewModel = makeViewModel();
        QSignalSpy feedChanged(viewModel.get(), &AppRankingViewModel::selectedFeedChanged);
        viewModel->setSelectedFeed(Feed::topFree);
        viewModel->setSelectedStorefront(QStringLiteral("US"));
        viewModel->setSelectedGenre(viewModel->genres().first());
        QVERIFY(!viewModel->isLoading());
        QCOMPARE(feedChanged.count(), 0);

        viewModel->setSelectedGenre(AppRankingService::genre(QStringLiteral("6014")));
        QTRY_VERIFY(!viewModel->isLoading());
        QCOMPARE(viewModel->rankings().size(), 10);
        QCOMPARE(m_server->requests().size(), 1);
        QCOMPARE(m_server->requests().first().path, kUSGames);
    }

    void newerSelectionSupersedesOlderLoad()
    {
        // The older answer would arrive first; it must neither show nor end the newer load's spinner.
        const auto viewModel = makeViewModel();
        m_server->setRoute(kUSPaid, FixtureResponse::fromFile(QStringLiteral("charts/current_us_top_paid_100.json")).delayed(200));
        m_server->setRoute(kDEFree, FixtureResponse::fromFile(QStringLiteral("charts/current_us_top_free_short.json")).delayed(500));
        QList<qsizetype> published;
        connect(viewModel.get(), &AppRankingViewModel::rankingsChanged, this,
                [&] { published.append(viewModel->rankings().size()); });
        QSignalSpy loading(viewModel.get(), &AppRankingViewModel::isLoadingChanged);

        viewModel->setSelectedFeed(Feed::topPaid);
        QTRY_COMPARE(m_server->requestCount(kUSPaid), 1);
        viewModel->setSelectedFeed(Feed::topFree);
        viewModel->setSelectedStorefront(QStringLiteral("DE"));
        QTRY_VERIFY(!viewModel->isLoading());
        QCOMPARE(published, QList<qsizetype>{7});
        QCOMPARE(loading.count(), 2);
        QVERIFY(viewModel->errorMessage().isEmpty()); // the aborted requests report nothing
    }

    void destroyedWhileLoading()
    {
        auto viewModel = makeViewModel();
        m_server->setRoute(kUSFree, FixtureResponse::fromFile(QStringLiteral("charts/current_us_top_free_short.json")).delayed(300));
        QCoro::Task<> load = viewModel->loadRankings();
        QTRY_COMPARE(m_server->requestCount(kUSFree), 1);
        viewModel.reset();
        // The aborted request ends the load without touching the freed object or trying the other feed.
        QCoro::waitFor(std::move(load));
        QCOMPARE(m_server->requests().size(), 1);
    }

private:
    AppRankingService::Outcome<AppRankingService::Chart> fetch(const QString& storefront, Feed feed,
                                                               const QString& genre = {}, int limit = 100)
    {
        const AppRankingService service(m_session, m_server->baseUrl(), m_server->baseUrl());
        return awaitTask(service.fetchTopCharts(storefront, feed, limit, genre));
    }

    std::unique_ptr<AppRankingViewModel> makeViewModel()
    {
        m_server->setRoute(kUSFree, FixtureResponse::fromFile(QStringLiteral("charts/current_us_top_free_short.json")));
        m_server->setRoute(kUSPaid, FixtureResponse::fromFile(QStringLiteral("charts/current_us_top_paid_100.json")));
        m_server->setRoute(kUSGames,
                           FixtureResponse::fromFile(QStringLiteral("charts/legacy_us_top_free_games_10.json")));
        return std::make_unique<AppRankingViewModel>(
            AppRankingService(m_session, m_server->baseUrl(), m_server->baseUrl()), QStringLiteral("us"), 50);
    }

    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session;
};

QTEST_GUILESS_MAIN(AppRankingServiceTest)
#include "AppRankingServiceTest.moc"

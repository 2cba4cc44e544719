#include "Services/Charts/AppRankCache.h"
#include "Services/Charts/AppRankMonitorService.h"
#include "Services/Charts/AppRankingService.h"
#include "ViewModels/AppRankMonitorViewModel.h"
#include "support/FixtureServer.h"
#include "support/TestHelpers.h"
#include "models/SettingsKeys.h"
#include "platform/UserDefaults.h"

#include <QtTest>

#include <memory>

using Feed = AppRankingService::Feed;
using Lookup = AppRankLookup;

namespace {
constexpr qint64 kAppID = 1459969523; // 3rd in the free chart, 42nd in the paid one, not among the grossing

const QString kFree = QStringLiteral("/api/v2/us/apps/top-free/50/apps.json");
const QString kPaid = QStringLiteral("/api/v2/us/apps/top-paid/50/apps.json");
const QString kGrossing = QStringLiteral("/us/rss/topgrossingapplications/limit=50/json");
const QString kFreeInGenre = QStringLiteral("/us/rss/topfreeapplications/limit=50/genre=6007/json");
const QString kPaidInGenre = QStringLiteral("/us/rss/toppaidapplications/limit=50/genre=6007/json");
const QString kGrossingInGenre = QStringLiteral("/us/rss/topgrossingapplications/limit=50/genre=6007/json");
const QString kSelectedKey = QString::fromLatin1(kAppRankMonitorSelectedCountriesKey);

UserDefaults* settings()
{
    return UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName));
}

QStringList codes(const QList<AppRankCountryResult>& results)
{
    QStringList list;
    for (const auto& result : results)
        list.append(result.countryCode);
    return list;
}
} // namespace

class AppRankMonitorTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        m_server->setRoute(kFree, FixtureResponse::fromFile(QStringLiteral("charts/current_us_top_free_100.json")));
        m_server->setRoute(kPaid, FixtureResponse::fromFile(QStringLiteral("charts/current_us_top_paid_100.json")));
        m_server->setRoute(kGrossing, FixtureResponse::fromFile(QStringLiteral("charts/legacy_us_top_grossing_100.json")));
        m_server->setRoute(kFreeInGenre, FixtureResponse::fromFile(QStringLiteral("charts/legacy_us_top_free_short.json")));
        m_server->setRoute(kPaidInGenre, FixtureResponse::fromFile(QStringLiteral("charts/legacy_no_entry.json")));
        m_server->setRoute(kGrossingInGenre, FixtureResponse::fromFile(QStringLiteral("charts/legacy_no_entry.json")));
        // Other storefronts: a short chart holding the app third, and empty legacy charts.
        m_server->setHandler([](const FixtureRequest& request) -> std::optional<FixtureResponse> {
            if (request.path.startsWith(QLatin1String("/us/")) || request.path.startsWith(QLatin1String("/api/v2/us/")))
                return std::nullopt;
            return FixtureResponse::fromFile(request.path.startsWith(QLatin1String("/api/"))
                                                 ? QStringLiteral("charts/current_us_top_free_short.json")
                                                 : QStringLiteral("charts/legacy_no_entry.json"));
        });
        settings()->remove(kSelectedKey);
        AppRankCache::shared().clear();
        const QDateTime start = QDateTime::currentDateTimeUtc();
        m_clockSecs = 0;
        AppRankCache::shared().setClock([this, start] { return start.addSecs(m_clockSecs); });
    }

    void cleanup()
    {
        AppRankCache::shared().setClock({});
    }

    void setupFromAppAndSettings_data()
    {
        QTest::addColumn<QString>("genre");
        QTest::addColumn<QString>("categoryName");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("storefront");
        QTest::addColumn<QStringList>("selected");

        QTest::newRow("stored list, normalised") << "productivity" << "Productivity"
                                                 << QVariant(QStringList{" gb", "us", "XX", "US", "de\n"}) << "FR"
                                                 << QStringList{"DE", "GB", "US"};
        QTest::newRow("nothing stored") << "Food & DRINK" << "Food & Drink" << QVariant() << "fr" << QStringList{"FR"};
        QTest::newRow("storefront outside the table") << "All Categories" << "Category" << QVariant(QStringList{"XX"})
                                                      << "ZZ"
                                                      << QStringList{"US"};
    }

    void setupFromAppAndSettings()
    {
        QFETCH(QString, genre);
        QFETCH(QString, categoryName);
        QFETCH(QVariant, stored);
        QFETCH(QString, storefront);
        QFETCH(QStringList, selected);
        if (stored.isValid())
            settings()->setValue(kSelectedKey, stored);
        const auto viewModel = makeViewModel(genre, storefront);
        QCOMPARE(viewModel->categoryName(), categoryName);
        QCOMPARE(viewModel->selectedCountryCodes(), selected);
        QCOMPARE(viewModel->progressText(), QStringLiteral("0/%1").arg(selected.size()));
    }

    void loadFindsPositionsInEveryFeed_data()
    {
        QTest::addColumn<QString>("genre");
        QTest::addColumn<QList<AppRankFeedResult>>("rows");
        QTest::addColumn<QStringList>("paths");

        const Lookup na = Lookup::unavailable();
        const Lookup outside = Lookup::outsideLimit(50);
        // The paid chart of the category fails: only that cell is unavailable.
        QTest::newRow("with category")
            << "Productivity"
            << QList<AppRankFeedResult>{{Feed::topFree, Lookup::ranked(3), Lookup::ranked(3)},
                                        {Feed::topPaid, Lookup::ranked(42), na},
                                        {Feed::topGrossing, outside, outside}}
            << QStringList{kFree, kFreeInGenre, kPaid, kPaidInGenre, kGrossing, kGrossingInGenre};
        QTest::newRow("without category")
            << ""
            << QList<AppRankFeedResult>{{Feed::topFree, Lookup::ranked(3), na},
                                        {Feed::topPaid, Lookup::ranked(42), na},
                                        {Feed::topGrossing, outside, na}}
            << QStringList{kFree, kPaid, kGrossing};
    }

    void loadFindsPositionsInEveryFeed()
    {
        QFETCH(QString, genre);
        QFETCH(QList<AppRankFeedResult>, rows);
        QFETCH(QStringList, paths);
        m_server->setRoute(kPaidInGenre, FixtureResponse::text("busy", 503));
        const auto viewModel = makeViewModel(genre);
        QSignalSpy loading(viewModel.get(), &AppRankMonitorViewModel::isLoadingChanged);

        awaitTask(viewModel->load(false));
        QCOMPARE(codes(viewModel->results()), QStringList{"US"});
        QCOMPARE(viewModel->results().first().rows, rows);
        // The charts of a country are asked for together, so in any order.
        QStringList asked;
        for (const auto& request : m_server->requests())
            asked.append(request.path);
        asked.sort();
        paths.sort();
        QCOMPARE(asked, paths);

        // Ids match as numbers, whatever the feed's spelling.
        AppRanking padded;
        padded.id = QStringLiteral("0") + QString::number(kAppID);
        padded.rank = 9;
        QCOMPARE(AppRankMonitorService::lookup(AppRankingService::Chart{padded}, kAppID, 50), Lookup::ranked(9));
        QCOMPARE(viewModel->progressText(), QStringLiteral("1/1"));
        QVERIFY(viewModel->lastUpdated().isValid());
        QCOMPARE(loading.count(), 2);
    }

    void countriesOneAtATimeWithProgress()
    {
        settings()->setValue(kSelectedKey, QStringList{"US", "GB", "DE"});
        const auto viewModel = makeViewModel();
        QStringList progress;
        connect(viewModel.get(), &AppRankMonitorViewModel::progressTextChanged, this, [&] {
            progress.append(viewModel->progressText() + QLatin1Char(':') + codes(viewModel->results()).join(u','));
        });
        awaitTask(viewModel->load(false));
        QCOMPARE(progress, (QStringList{"1/3:DE", "2/3:DE,GB", "3/3:DE,GB,US"}));
        QVERIFY(m_server->requests().at(5).path.contains(QLatin1String("/de/")));
        QVERIFY(m_server->requests().at(6).path.contains(QLatin1String("/gb/")));
    }

    void stalledHostCostsOneDeadlinePerCountry()
    {
        m_server->setHandler([](const FixtureRequest&) -> std::optional<FixtureResponse> {
            return FixtureResponse::fromFile(QStringLiteral("charts/legacy_no_entry.json")).delayed(60000);
        });
        m_session = std::make_shared<HttpSession>(HttpSession::Options{std::chrono::milliseconds(2000), 8 << 20});
        const auto viewModel = makeViewModel();
        QCoro::Task<> running = viewModel->load(false);
        // All six charts go out at once: one after another, sharing the
        // deadline, the first would have used it up and left the others unsent.
        awaitTask(std::move(running));
        for (const AppRankFeedResult& row : viewModel->results().first().rows)
            QVERIFY(row.general == Lookup::unavailable() && row.category == Lookup::unavailable());
        QCOMPARE(requests(), 6); // no time was left for the legacy feed
    }

    void cacheAnswersUntilItAges()
    {
        const auto first = makeViewModel();
        awaitTask(first->load(false));
        QCOMPARE(requests(), 6);

        // Another page for the same app, as after switching apps and back, just inside the age limit.
        const auto second = makeViewModel();
        m_clockSecs = 1199;
        awaitTask(second->load(false));
        QCOMPARE(requests(), 6);
        QCOMPARE(second->results(), first->results());
        QVERIFY(second->lastUpdated().isValid());

        awaitTask(second->load(true)); // Reload ignores the cache and refreshes it
        QCOMPARE(requests(), 12);
        m_clockSecs = 1199 + 1199;
        awaitTask(second->load(false));
        QCOMPARE(requests(), 12);
        m_clockSecs = 1199 + 1200;
        awaitTask(second->load(false));
        QCOMPARE(requests(), 18);
    }

    void failedChartsAreNotCached()
    {
        FixtureResponse dropped;
        dropped.dropConnection = true;
        m_server->setRoute(kGrossingInGenre, dropped);
        const auto viewModel = makeViewModel();
        awaitTask(viewModel->load(false));
        QCOMPARE(viewModel->results().first().rows.last().category, Lookup::unavailable());

        // Once the service is back, the next visit asks again and sees the real position.
        m_server->setRoute(kGrossingInGenre, FixtureResponse::fromFile(QStringLiteral("charts/legacy_no_entry.json")));
        const int before = requests();
        awaitTask(viewModel->load(false));
        QCOMPARE(requests(), before + 6);
        QCOMPARE(viewModel->results().first().rows.last().category, Lookup::outsideLimit(50));
    }

    void newerLoadSupersedesOlder()
    {
        // Germany is done and the United States under way when the selection changes.
        settings()->setValue(kSelectedKey, QStringList{"US", "DE"});
        m_server->setRoute(kFree, FixtureResponse::fromFile(QStringLiteral("charts/current_us_top_free_100.json")).delayed(300));
        const auto viewModel = makeViewModel();
        QStringList seen;
        connect(viewModel.get(), &AppRankMonitorViewModel::resultsChanged, this,
                [&] { seen += codes(viewModel->results()); });
        QSignalSpy updated(viewModel.get(), &AppRankMonitorViewModel::lastUpdatedChanged);
        QSignalSpy loading(viewModel.get(), &AppRankMonitorViewModel::isLoadingChanged);

        QCoro::Task<> older = viewModel->load(false);
        QTRY_COMPARE(m_server->requestCount(kFree), 1);
        QCOMPARE(viewModel->completedCountries(), 1);
        viewModel->applySelection({QStringLiteral("gb")});
        QTRY_VERIFY(!viewModel->isLoading());
        awaitTask(std::move(older));

        QCOMPARE(codes(viewModel->results()), QStringList{"GB"});
        QVERIFY2(seen.contains(QStringLiteral("DE")) && !seen.contains(QStringLiteral("US")), qPrintable(seen.join(u',')));
        QCOMPARE(updated.count(), 1); // only the load that went through every country
        QCOMPARE(loading.count(), 2);
        // The old load stopped at once: its aborted request did not go on to the other feed.
        QCOMPARE(m_server->requestCount(QStringLiteral("/us/rss/topfreeapplications/limit=50/json")), 0);
    }

    void applySelectionStoresAndReloads()
    {
        const auto viewModel = makeViewModel();
        viewModel->applySelection({QStringLiteral(" de"), QStringLiteral("fr"), QStringLiteral("QQ"),
                                   QStringLiteral("DE")});
        QCOMPARE(viewModel->selectedCountryCodes(), (QStringList{"FR", "DE"}));
        QCOMPARE(settings()->stringList(kSelectedKey), (QStringList{"FR", "DE"}));
        QVERIFY(viewModel->isLoading());
        QTRY_VERIFY(!viewModel->isLoading());
        QCOMPARE(codes(viewModel->results()), (QStringList{"FR", "DE"}));
        QCOMPARE(makeViewModel(QString(), QStringLiteral("JP"))->selectedCountryCodes(), (QStringList{"FR", "DE"}));

        // Nothing valid: no change, nothing stored, no load.
        const int asked = requests();
        viewModel->applySelection({QStringLiteral("QQ"), QString()});
        QCOMPARE(viewModel->selectedCountryCodes(), (QStringList{"FR", "DE"}));
        QCOMPARE(settings()->stringList(kSelectedKey), (QStringList{"FR", "DE"}));
        QVERIFY(!viewModel->isLoading());
        QCOMPARE(requests(), asked);
    }

    void destroyedWhileLoading()
    {
        m_server->setRoute(kFree, FixtureResponse::fromFile(QStringLiteral("charts/current_us_top_free_100.json")).delayed(300));
        auto viewModel = makeViewModel();
        QCoro::Task<> running = viewModel->load(false);
        QTRY_COMPARE(m_server->requestCount(kFree), 1);
        viewModel.reset();
        awaitTask(std::move(running));
        QCOMPARE(m_server->requestCount(QStringLiteral("/us/rss/topfreeapplications/limit=50/json")), 0);
        QCOMPARE(AppRankCache::shared().size(), 0);
    }

private:
    std::unique_ptr<AppRankMonitorViewModel> makeViewModel(const QString& genre = QStringLiteral("Productivity"),
                                                           const QString& storefront = QStringLiteral("US"))
    {
        AppInfo app;
        app.id = kAppID;
        app.genre = genre;
        const AppRankingService charts(m_session, m_server->baseUrl(), m_server->baseUrl());
        return std::make_unique<AppRankMonitorViewModel>(app, storefront, AppRankMonitorService(charts, 50));
    }
    int requests() const { return int(m_server->requests().size()); }

    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session = std::make_shared<HttpSession>();
    qint64 m_clockSecs = 0;
};

QTEST_GUILESS_MAIN(AppRankMonitorTest)
#include "AppRankMonitorTest.moc"

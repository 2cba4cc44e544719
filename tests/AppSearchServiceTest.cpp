#include "Services/AppSearchService.h"
#include "ViewModels/AppSearchViewModel.h"
#include "support/FixtureServer.h"
#include "support/TestHelpers.h"
#include "Services/Log.h"

#include <QSignalSpy>
#include <QTest>

class AppSearchServiceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
    }
    void init()
    {
        m_server.clearRoutes();
        LogCapture::start();
    }

    void decodesRealSearchAnswer()
    {
        m_server.setRoute(QStringLiteral("/search"), FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json")));
        const auto outcome = QCoro::waitFor(service().search(QStringLiteral("fieldnote"), AppPlatform::iPhone,
                                                             QStringLiteral("us")));
        QVERIFY(outcome);
        const QList<AppInfo>& apps = outcome.value();
        // The text id and the nameless record are skipped; the rest survive.
        QCOMPARE(apps.size(), 3);

        const AppInfo& full = apps.at(0);
        QCOMPARE(full.id, 6443210987);
        QCOMPARE(full.name, QStringLiteral("Fieldnote: Trail Journal"));
        QCOMPARE(full.developer, QStringLiteral("Fieldnote Labs S.r.l."));
        QCOMPARE(full.iconURL.toString(), QStringLiteral("https://is1-ssl.mzstatic.com/image/thumb/Purple1/v4/aa/bb/cc/AppIcon/512x512bb.jpg"));
        QCOMPARE(full.genre, QStringLiteral("Travel"));
        QCOMPARE(full.ratingCount, std::optional<int>(18234));
        QVERIFY(qFuzzyCompare(*full.averageRating, 4.61234));
        QCOMPARE(full.releaseDate->date(), QDate(2022, 10, 4));
        QCOMPARE(full.screenshotURLs.size(), 2);
        QVERIFY(full.description.contains(QLatin1Char('\n')));

        // Integer rating, missing genre, date and 512 artwork; phone shots fall back to the tablet ones.
        const AppInfo& sparse = apps.at(1);
        QCOMPARE(sparse.name, QStringLiteral("Tally \"Quick\" Counter"));
        QCOMPARE(*sparse.averageRating, 5.0);
        QVERIFY(sparse.genre.isEmpty());
        QVERIFY(!sparse.releaseDate);
        QVERIFY(sparse.iconURL.toString().endsWith(QStringLiteral("100x100bb.jpg")));
        QCOMPARE(sparse.screenshotURLs.size(), 1);

        // Addresses other than http(s) and wrongly typed fields are dropped, not fatal.
        const AppInfo& unsafe = apps.at(2);
        QVERIFY(unsafe.iconURL.isEmpty());
        QCOMPARE(unsafe.screenshotURLs, QList<QUrl>{QUrl(QStringLiteral("https://is1-ssl.mzstatic.com/ok.png"))});
        QVERIFY(!unsafe.averageRating);
        QVERIFY(!unsafe.ratingCount);
        QVERIFY(!unsafe.releaseDate);
    }

    void sendsTheQueryItems()
    {
        m_server.setRoute(QStringLiteral("/search"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_empty.json")));
        const auto before = m_server.requests().size();
        const auto outcome = QCoro::waitFor(service().search(QStringLiteral("  a+b & c  "), AppPlatform::iPad,
                                                             QStringLiteral("it"), 10));
        QVERIFY(outcome);
        QCOMPARE(m_server.requests().size(), before + 1);
        const QUrlQuery query = m_server.requests().constLast().query;
        QCOMPARE(query.queryItemValue(QStringLiteral("term"), QUrl::FullyDecoded), QStringLiteral("a+b & c"));
        QCOMPARE(query.queryItemValue(QStringLiteral("entity")), QStringLiteral("iPadSoftware"));
        QCOMPARE(query.queryItemValue(QStringLiteral("limit")), QStringLiteral("10"));
        QCOMPARE(query.queryItemValue(QStringLiteral("country")), QStringLiteral("it"));
        // The request address and the status are logged.
        QVERIFY(LogCapture::lines().filter(QStringLiteral("GET http://127.0.0.1")).size() == 1);
        QVERIFY(LogCapture::lines().filter(QStringLiteral("Status 200")).size() == 1);
    }

    void rejectsBadInputWithoutARequest_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty term") << QString() << QStringLiteral("US") << QStringLiteral("Inserisci un termine di ricerca.");
        QTest::newRow("blank term") << QStringLiteral(" \n\t") << QStringLiteral("US") << QStringLiteral("Inserisci un termine di ricerca.");
        QTest::newRow("unknown storefront") << QStringLiteral("x") << QStringLiteral("ZZ") << QStringLiteral("Paese non valido.");
        QTest::newRow("path in storefront") << QStringLiteral("x") << QStringLiteral("../us") << QStringLiteral("Paese non valido.");
    }
    void rejectsBadInputWithoutARequest()
    {
        QFETCH(QString, term);
        QFETCH(QString, country);
        QFETCH(QString, expected);
        const auto before = m_server.requests().size();
        const auto outcome = QCoro::waitFor(service().search(term, AppPlatform::iPhone, country));
        QVERIFY(!outcome);
        QCOMPARE(outcome.error().localizedDescription(), expected);
        QCOMPARE(m_server.requests().size(), before);
    }

    void lookupRejectsInvalidId()
    {
        const int before = m_server.requests().size();
        const auto outcome = QCoro::waitFor(service().lookup(0, AppPlatform::iPhone, QStringLiteral("US")));
        QVERIFY(!outcome);
        QCOMPARE(outcome.error().localizedDescription(), QStringLiteral("App ID non valido."));
        QCOMPARE(m_server.requests().size(), before);
    }

    void failuresAreErrorsNeverCrashes_data()
    {
        QTest::addColumn<FixtureResponse>("response");
        QTest::addColumn<int>("kind");
        QTest::newRow("status 503") << FixtureResponse::text("busy", 503) << int(AppSearchService::ServiceError::BadStatus);
        QTest::newRow("status 404 json") << FixtureResponse::json("{}", 404) << int(AppSearchService::ServiceError::BadStatus);
        QTest::newRow("html body") << FixtureResponse::html("<html>captive portal</html>") << int(AppSearchService::ServiceError::NotJSON);
        QTest::newRow("plain text") << FixtureResponse::text("hello") << int(AppSearchService::ServiceError::NotJSON);
        QTest::newRow("malformed") << FixtureResponse::fromFile(QStringLiteral("catalogue/truncated.json")) << int(AppSearchService::ServiceError::Decoding);
        QTest::newRow("results not a list") << FixtureResponse::fromFile(QStringLiteral("catalogue/wrong_shape.json")) << int(AppSearchService::ServiceError::Decoding);
        QTest::newRow("top level list") << FixtureResponse::json("[1,2]") << int(AppSearchService::ServiceError::Decoding);
        QTest::newRow("empty body") << FixtureResponse::json("") << int(AppSearchService::ServiceError::Decoding);
        FixtureResponse cut = FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json"));
        cut.truncate = true;
        QTest::newRow("cut short") << cut << int(AppSearchService::ServiceError::Network);
        FixtureResponse dropped;
        dropped.dropConnection = true;
        QTest::newRow("dropped") << dropped << int(AppSearchService::ServiceError::Network);
        QTest::newRow("too large") << FixtureResponse::json(QByteArray(int(AppSearchService::kMaxAnswerBytes) + 10, ' '))
                                   << int(AppSearchService::ServiceError::TooLarge);
    }
    void failuresAreErrorsNeverCrashes()
    {
        QFETCH(FixtureResponse, response);
        QFETCH(int, kind);
        m_server.setRoute(QStringLiteral("/search"), response);
        const auto outcome = QCoro::waitFor(service().search(QStringLiteral("x"), AppPlatform::mac, QStringLiteral("US")));
        QVERIFY(!outcome);
        QCOMPARE(int(outcome.error().kind), kind);
        QVERIFY(!outcome.error().localizedDescription().isEmpty());
    }

    void slowAnswerTimesOut()
    {
        FixtureResponse slow = FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json"));
        slow.delayMs = 5000;
        m_server.setRoute(QStringLiteral("/search"), slow);
        auto session = std::make_shared<HttpSession>(HttpSession::Options{std::chrono::milliseconds(150), 1 << 20});
        AppSearchService client(session, m_server.baseUrl());
        const auto outcome = QCoro::waitFor(client.search(QStringLiteral("x"), AppPlatform::iPhone, QStringLiteral("US")));
        QVERIFY(!outcome);
        QCOMPARE(outcome.error().kind, AppSearchService::ServiceError::Timeout);
    }

    void lookupFindsTheAppAndFallsBackForScreenshots()
    {
        m_server.setRoute(QStringLiteral("/lookup?country=it"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_it.json")));
        m_server.setRoute(QStringLiteral("/lookup?country=us"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json")));
        const auto outcome = QCoro::waitFor(service().lookupWithScreenshots(6443210987, AppPlatform::iPhone, QStringLiteral("IT")));
        QVERIFY(outcome);
        // Details of the asked storefront, screenshots of the first one that has them.
        QCOMPARE(outcome.value().name, QStringLiteral("Fieldnote: Diario dei sentieri"));
        QCOMPARE(outcome.value().screenshotURLs.size(), 1);
        const QUrlQuery first = m_server.requests().at(m_server.requests().size() - 2).query;
        QCOMPARE(first.queryItemValue(QStringLiteral("id")), QStringLiteral("6443210987"));
        QCOMPARE(first.queryItemValue(QStringLiteral("entity")), QStringLiteral("software"));
    }

    void lookupOfAMissingAppIsNotFound()
    {
        m_server.setRoute(QStringLiteral("/lookup"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_empty.json")));
        const auto outcome = QCoro::waitFor(service().lookup(42, AppPlatform::iPhone, QStringLiteral("US")));
        QVERIFY(!outcome);
        QCOMPARE(outcome.error().localizedDescription(), QStringLiteral("App non trovata."));
    }

    void newerSearchSupersedesOlder()
    {
        FixtureResponse slow = FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json"));
        slow.delayMs = 400;
        m_server.setRoute(QStringLiteral("/search?term=slow"), slow);
        m_server.setRoute(QStringLiteral("/search?term=fast"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json")));
        AppSearchViewModel model(service());
        model.search(QStringLiteral("slow"), AppPlatform::iPhone, QStringLiteral("US"));
        model.search(QStringLiteral("fast"), AppPlatform::iPhone, QStringLiteral("US"));
        QTRY_VERIFY(!model.isLoading());
        QCOMPARE(model.results().size(), 1);
        // The old answer never replaces the new one, even once it would have arrived.
        QTest::qWait(600);
        QCOMPARE(model.results().size(), 1);
        QVERIFY(model.errorMessage().isEmpty());
    }

    void failedSearchKeepsWhatWasShown()
    {
        m_server.setRoute(QStringLiteral("/search?term=good"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json")));
        m_server.setRoute(QStringLiteral("/search?term=bad"), FixtureResponse::text("oops", 500));
        AppSearchViewModel model(service());
        QCoro::waitFor(model.search(QStringLiteral("good"), AppPlatform::iPhone, QStringLiteral("US")));
        QCOMPARE(model.results().size(), 1);
        QCoro::waitFor(model.search(QStringLiteral("bad"), AppPlatform::iPhone, QStringLiteral("US")));
        QCOMPARE(model.results().size(), 1);
        QCOMPARE(model.errorMessage(), QStringLiteral("Risposta del server non valida (codice 500)."));
    }

    void modelDestroyedWhileSearching()
    {
        FixtureResponse slow = FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json"));
        slow.delayMs = 200;
        m_server.setRoute(QStringLiteral("/search"), slow);
        auto* model = new AppSearchViewModel(service());
        model->search(QStringLiteral("x"), AppPlatform::iPhone, QStringLiteral("US"));
        delete model;
        QTest::qWait(300); // lets the aborted transfer finish; nothing may touch the model
    }

private:
    AppSearchService service() { return AppSearchService(m_session, m_server.baseUrl()); }

    FixtureServer m_server;
    std::shared_ptr<HttpSession> m_session = std::make_shared<HttpSession>();
};


QTEST_GUILESS_MAIN(AppSearchServiceTest)
#include "AppSearchServiceTest.moc"

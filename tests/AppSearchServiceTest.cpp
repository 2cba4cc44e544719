#include "Services/Catalogue/AppSearchService.h"
#include "Services/Web/JsonScanner.h"
#include "ViewModels/AppSearchViewModel.h"
#include "support/FixtureServer.h"
#include "support/TestHelpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QThread>
#include <QTest>

using ServiceError = AppSearchService::ServiceError;
using Kind = AppSearchService::Error::Kind;
Q_DECLARE_METATYPE(Kind)

namespace {
// A search answer of `count` distinct, valid apps.
QByteArray manyApps(int count)
{
    QByteArray records;
    for (int i = 0; i < count; ++i)
        records += (i ? "," : "") + QByteArray(R"({"trackId":)") + QByteArray::number(1000 + i)
            + R"(,"trackName":"App","artistName":"Dev"})";
    return R"({"resultCount":)" + QByteArray::number(count) + R"(,"results":[)" + records + "]}";
}
} // namespace

class AppSearchServiceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_server.listen()); }
    void init()
    {
        m_server.clearRoutes();
        LogCapture::start();
    }

    void decodesRealSearchAnswer()
    {
        m_server.setRoute(QStringLiteral("/search"), FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json")));
        const auto outcome = awaitTask(service().search(QStringLiteral("  a+b & c  "), AppPlatform::iPhone,
                                                        QStringLiteral("it"), 10));
        QVERIFY(outcome);
        const QUrlQuery query = m_server.requests().constLast().query;
        QCOMPARE(query.queryItemValue(QStringLiteral("term"), QUrl::FullyDecoded), QStringLiteral("a+b & c"));
        QCOMPARE(query.queryItemValue(QStringLiteral("entity")), QStringLiteral("software"));
        QCOMPARE(query.queryItemValue(QStringLiteral("limit")), QStringLiteral("10"));
        QCOMPARE(query.queryItemValue(QStringLiteral("country")), QStringLiteral("it"));
        QCOMPARE(LogCapture::lines().filter(QStringLiteral("GET http://127.0.0.1")).size(), 1);
        QCOMPARE(LogCapture::lines().filter(QStringLiteral("Status 200")).size(), 1);

        // The text id and the nameless record are skipped; the rest survive.
        const QList<AppInfo>& apps = outcome.value();
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
        QVERIFY(sparse.genre.isEmpty() && !sparse.releaseDate);
        QVERIFY(sparse.iconURL.toString().endsWith(QStringLiteral("100x100bb.jpg")));
        QCOMPARE(sparse.screenshotURLs.size(), 1);

        // Addresses other than http(s) and wrongly typed fields are dropped, not fatal.
        const AppInfo& unsafe = apps.at(2);
        QVERIFY(unsafe.iconURL.isEmpty());
        QCOMPARE(unsafe.screenshotURLs, QList<QUrl>{QUrl(QStringLiteral("https://is1-ssl.mzstatic.com/ok.png"))});
        QVERIFY(!unsafe.averageRating && !unsafe.ratingCount && !unsafe.releaseDate);
    }

    void keepsOnlyWellFormedWebAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("kept");
        QTest::newRow("https") << "https://is1-ssl.mzstatic.com/a/100x100bb.jpg" << true;
        QTest::newRow("upper-case scheme, port, escapes") << "HTTP://Example.com:8080/a%20b?x=1#f" << true;
        QTest::newRow("non-ASCII path") << "https://example.com/caf\u00e9.png" << true;
        QTest::newRow("no host") << "https:///a.png" << false;
        QTest::newRow("only a port") << "http://:80/a.png" << false;
        QTest::newRow("empty host after user") << "http://user@/a.png" << false;
        QTest::newRow("other scheme") << "ftp://example.com/a.png" << false;
        QTest::newRow("javascript") << "javascript:alert(1)" << false;
        QTest::newRow("space") << "https://example.com/a b.png" << false;
        QTest::newRow("bad escape") << "https://example.com/a%zz.png" << false;
        QTest::newRow("bad host") << "https://exa<mple.com/a.png" << false;
    }
    void keepsOnlyWellFormedWebAddresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, kept);
        const QUrl url = JsonFields::webAddress(address);
        QCOMPARE(!url.isEmpty(), kept);
        // Whatever is kept is what the strict parser makes of the text.
        if (kept)
            QCOMPARE(url, QUrl(address, QUrl::StrictMode));
    }

    // Answers are read by our own scanner; it must accept what Qt's parser
    // accepts (but for Qt's few liberties with the grammar) and read text alike.
    void scannerAcceptsOnlyJson_data()
    {
        QTest::addColumn<QByteArray>("document");
        const QList<QByteArray> documents = {
            "{}", "[]", " [ 1 , {\"a\" : [null, true, false]} ] \n", "", "  ", "{", "[1,]", "[,1]", "{\"a\":1,}",
            "{\"a\" 1}", "{a:1}", "{\"a\":1 \"b\":2}", "[01]", "[1.]", "[.5]", "[-]", "[1e]", "[+1]", "[1e+5, -0.5E-3]",
            "[1e999]", "[1e-999]", "[tru]", "[nul]", "[True]", "[1] 2", "[1]}", "[\"\\x\"]", "[\"\\u12\"]", "[\"a\tb\"]",
            "[\"\xff\"]", "[\"\xc0\xaf\"]", "[\"\xed\xa0\x80\"]", "[\"\xf4\x90\x80\x80\"]", "[\"caf\xc3\xa9 \xf0\x9f\x98\x80\"]",
            "[\"a\\u00e9\\ud83d\\ude00\\n\\/\\\"\\\\\"]", "[\"unterminated]", "{\"k\\u0065y\":1}",
            QByteArray(1024, '[') + QByteArray(1024, ']'), QByteArray(1025, '[') + QByteArray(1025, ']'),
            // Only a container makes a document, and a byte-order mark may only come first.
            "42", "\"x\"", " null ", "\xEF\xBB\xBF{}", "\xEF\xBB\xBF \n[\"\xEF\xBB\xBF" "a\"]", "\xEF\xBB\xBF",
            "\xEF\xBB\xBF 42", " \xEF\xBB\xBF{}", "\xEF\xBB\xBF\xEF\xBB\xBF[]", "[1]\xEF\xBB\xBF",
        };
        // Liberties Qt takes that the scanner does not.
        const QList<QByteArray> liberties = {"[1.]", "[.5]", "[\"\\x\"]", "[\"a\tb\"]"};
        QTest::addColumn<bool>("standard");
        for (const QByteArray& document : documents)
            QTest::newRow(document.left(40).toPercentEncoding(" []{}\",:").constData())
                << document << !liberties.contains(document);
    }
    void scannerAcceptsOnlyJson()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, standard);
        JsonScanner scan(document);
        QString firstText;
        if (scan.peek() == JsonScanner::Type::Array) {
            scan.enterArray();
            for (bool first = true; scan.nextElement(); first = false) {
                if (first && scan.peek() == JsonScanner::Type::String)
                    firstText = scan.readString();
                else
                    scan.skipValue();
            }
        } else {
            scan.skipValue();
        }
        const bool accepted = scan.finish();
        QJsonParseError error;
        const QJsonDocument reference = QJsonDocument::fromJson(document, &error);
        QCOMPARE(accepted, error.error == QJsonParseError::NoError && standard);
        if (accepted && reference.isArray() && reference.array().first().isString())
            QCOMPARE(firstText, reference.array().first().toString());
    }

    // As with Qt's parser: the last of duplicate "results" counts, and a
    // leading byte-order mark is skipped.
    void lookupAnswerReadAsQtDoes_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("apps"); // -1: a decoding failure
        const QByteArray one = R"([{"trackId":1,"trackName":"A"}])";
        QTest::newRow("last results") << R"({"results":[],"results":)" + one + "}" << 1;
        QTest::newRow("last results empty") << R"({"results":)" + one + R"(,"results":[]})" << 0;
        QTest::newRow("last results not a list") << R"({"results":)" + one + R"(,"results":{}})" << -1;
        QTest::newRow("byte-order mark") << "\xEF\xBB\xBF{\"results\":" + one + "}" << 1;
        QTest::newRow("bare number") << QByteArray("1") << -1;
    }
    void lookupAnswerReadAsQtDoes()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, apps);
        const auto outcome = AppSearchService::decodeResults(body, AppPlatform::iPhone);
        QCOMPARE(outcome ? int(outcome.value().size()) : -1, apps);
    }

    void largeAnswersDecodeOffTheGuiThread()
    {
        QThread* small = nullptr;
        QThread* large = nullptr;
        const auto where = [](QThread** seen) {
            return std::function<int(const QByteArray&)>([seen](const QByteArray& body) {
                *seen = QThread::currentThread();
                return int(body.size());
            });
        };
        QCOMPARE(awaitTask(WebClient::decode(QByteArray(100, ' '), where(&small))), 100);
        QCOMPARE(awaitTask(WebClient::decode(QByteArray(WebClient::kBackgroundDecodeBytes, ' '), where(&large))),
                 int(WebClient::kBackgroundDecodeBytes));
        QCOMPARE(small, QThread::currentThread());
        QVERIFY(large && large != QThread::currentThread());
    }

    void answerIsCutToTheLimit()
    {
        m_server.setRoute(QStringLiteral("/search"), FixtureResponse::json(manyApps(400)));
        auto outcome = awaitTask(service().search(QStringLiteral("x"), AppPlatform::iPhone, QStringLiteral("US")));
        QCOMPARE(outcome.value().size(), AppSearchService::kDefaultSearchLimit);
        QCOMPARE(outcome.value().last().id, 1000 + AppSearchService::kDefaultSearchLimit - 1);
        outcome = awaitTask(service().search(QStringLiteral("x"), AppPlatform::iPhone, QStringLiteral("US"), 1000));
        QCOMPARE(m_server.requests().constLast().query.queryItemValue(QStringLiteral("limit")), QStringLiteral("200"));
        QCOMPARE(outcome.value().size(), 200);
    }

    // A long term is cut between characters: no half of an emoji reaches
    // the request as "?".
    void longTermIsCutBetweenCharacters_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("sent");
        const QString a199(199, QLatin1Char('a'));
        const QString smile = QStringLiteral("\U0001F600");
        const QString flag = QStringLiteral("\U0001F1EE\U0001F1F9");
        const QString family = QStringLiteral("\U0001F469\u200D\U0001F469\u200D\U0001F467");
        QTest::newRow("emoji across the limit") << a199 + smile << a199;
        QTest::newRow("emoji ending at the limit") << a199.left(198) + smile + smile << a199.left(198) + smile;
        QTest::newRow("flag across the limit") << a199.left(197) + flag << a199.left(197);
        QTest::newRow("joined emoji across the limit") << a199.left(195) + family << a199.left(195);
    }
    void longTermIsCutBetweenCharacters()
    {
        QFETCH(QString, term);
        QFETCH(QString, sent);
        m_server.setRoute(QStringLiteral("/search"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_empty.json")));
        awaitTask(service().search(term, AppPlatform::iPhone, QStringLiteral("US")));
        const FixtureRequest request = m_server.requests().constLast();
        QCOMPARE(request.query.queryItemValue(QStringLiteral("term"), QUrl::FullyDecoded), sent);
        QVERIFY(!request.rawTarget.contains("%3F"));
    }

    void rejectsBadInputWithoutARequest_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("country");
        QTest::addColumn<qint64>("lookupID");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty term") << QString() << "US" << qint64(0) << "Inserisci un termine di ricerca.";
        QTest::newRow("blank term") << " \n\t" << "US" << qint64(0) << "Inserisci un termine di ricerca.";
        QTest::newRow("unknown storefront") << "x" << "ZZ" << qint64(0) << "Paese non valido.";
        QTest::newRow("path in storefront") << "x" << "../us" << qint64(0) << "Paese non valido.";
        QTest::newRow("lookup of id 0") << "" << "US" << qint64(0) << "App ID non valido.";
        QTest::newRow("lookup of a negative id") << "" << "US" << qint64(-7) << "App ID non valido.";
    }
    void rejectsBadInputWithoutARequest()
    {
        QFETCH(QString, term);
        QFETCH(QString, country);
        QFETCH(qint64, lookupID);
        QFETCH(QString, expected);
        const auto before = m_server.requests().size();
        const QString text = QString(QTest::currentDataTag()).startsWith(QLatin1String("lookup"))
            ? awaitTask(service().lookup(lookupID, AppPlatform::iPhone, country)).error().localizedDescription()
            : awaitTask(service().search(term, AppPlatform::iPhone, country)).error().localizedDescription();
        QCOMPARE(text, expected);
        QCOMPARE(m_server.requests().size(), before);
    }

    void failuresAreErrors_data()
    {
        QTest::addColumn<FixtureResponse>("response");
        QTest::addColumn<Kind>("kind");
        QTest::newRow("status 503") << FixtureResponse::text("busy", 503) << Kind(TransportFailure::BadStatus);
        QTest::newRow("status 404 json") << FixtureResponse::json("{}", 404) << Kind(TransportFailure::BadStatus);
        QTest::newRow("html body") << FixtureResponse::html("<html>captive portal</html>") << Kind(TransportFailure::NotJSON);
        QTest::newRow("malformed") << FixtureResponse::fromFile(QStringLiteral("catalogue/truncated.json")) << Kind(ServiceError::Decoding);
        QTest::newRow("results not a list") << FixtureResponse::fromFile(QStringLiteral("catalogue/wrong_shape.json")) << Kind(ServiceError::Decoding);
        QTest::newRow("top level list") << FixtureResponse::json("[1,2]") << Kind(ServiceError::Decoding);
        QTest::newRow("empty body") << FixtureResponse::json("") << Kind(ServiceError::Decoding);
        FixtureResponse cut = FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json"));
        cut.truncate = true;
        QTest::newRow("cut short") << cut << Kind(TransportFailure::Network);
        FixtureResponse dropped;
        dropped.dropConnection = true;
        QTest::newRow("dropped") << dropped << Kind(TransportFailure::Network);
        QTest::newRow("too large") << FixtureResponse::json(QByteArray(int(AppSearchService::kMaxAnswerBytes) + 10, ' '))
                                   << Kind(TransportFailure::TooLarge);
        // The session allows 300 ms for the whole request, silent or not.
        QTest::newRow("silent") << FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json")).delayed(5000)
                                << Kind(TransportFailure::Timeout);
        FixtureResponse trickle = FixtureResponse::json(QByteArray(100, ' ') + "{\"results\":[]}");
        trickle.trickleMs = 40;
        QTest::newRow("trickling") << trickle << Kind(TransportFailure::Timeout);
        trickle.omitLength = true;
        QTest::newRow("trickling without a length") << trickle << Kind(TransportFailure::Timeout);
    }
    void failuresAreErrors()
    {
        QFETCH(FixtureResponse, response);
        QFETCH(Kind, kind);
        m_server.setRoute(QStringLiteral("/search"), response);
        auto session = std::make_shared<HttpSession>(HttpSession::Options{std::chrono::milliseconds(300), 1 << 20});
        const AppSearchService client(session, m_server.baseUrl());
        const auto outcome = awaitTask(client.search(QStringLiteral("x"), AppPlatform::mac, QStringLiteral("US")));
        QVERIFY(!outcome);
        QCOMPARE(outcome.error().kind, kind);
        QVERIFY(!outcome.error().localizedDescription().isEmpty());
        QCOMPARE(session->activeTransfers(), 0);
    }

    // A redirect that leads nowhere is a connection that failed, not an answer
    // with the redirect's status.
    void failedRedirectsAreNetworkErrors_data()
    {
        QTest::addColumn<QByteArray>("location");
        // The plain server cannot go through a secure handshake.
        QTest::newRow("to a failed handshake") << "https://127.0.0.1:" + QByteArray::number(m_server.port()) + "/search";
        QTest::newRow("in a loop") << QByteArray("/search");
    }
    void failedRedirectsAreNetworkErrors()
    {
        QFETCH(QByteArray, location);
        FixtureResponse redirect = FixtureResponse::withStatus(302);
        redirect.extraHeaders = {{"Location", location}};
        m_server.setRoute(QStringLiteral("/search"), redirect);
        const auto outcome = awaitTask(service().search(QStringLiteral("x"), AppPlatform::iPhone, QStringLiteral("US")));
        QVERIFY(!outcome);
        QCOMPARE(outcome.error().kind, Kind(TransportFailure::Network));
        QCOMPARE(outcome.error().localizedDescription(),
                 QStringLiteral("Errore di rete. Controlla la connessione e riprova."));
    }

    void lookupFindsTheAppAndFallsBackForScreenshots()
    {
        m_server.setRoute(QStringLiteral("/lookup?country=it"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_it.json")));
        m_server.setRoute(QStringLiteral("/lookup?country=us"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json")));
        // The client goes, and another takes its place, while the lookups run:
        // they must go on with the client they were started from.
        std::optional<AppSearchService> client(service());
        auto running = client->lookupWithScreenshots(6443210987, AppPlatform::iPhone, QStringLiteral("IT"));
        client.emplace(m_session, QUrl(QStringLiteral("http://127.0.0.1:9")));
        const auto outcome = awaitTask(std::move(running));
        QVERIFY(outcome);
        // Details of the asked storefront, screenshots of the first one that has them.
        QCOMPARE(outcome.value().name, QStringLiteral("Fieldnote: Diario dei sentieri"));
        QCOMPARE(outcome.value().screenshotURLs.size(), 1);
        QCOMPARE(m_server.requestCount(QStringLiteral("/lookup?id=6443210987&entity=software")), 2);

        m_server.setRoute(QStringLiteral("/lookup"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_empty.json")));
        const auto missing = awaitTask(service().lookup(42, AppPlatform::iPhone, QStringLiteral("US")));
        QCOMPARE(missing.error().localizedDescription(), QStringLiteral("App non trovata."));
    }

    void newerSearchSupersedesOlder()
    {
        m_server.setRoute(QStringLiteral("/search?term=slow"), FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json")).delayed(400));
        m_server.setRoute(QStringLiteral("/search?term=fast"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json")));
        AppSearchViewModel model(service());
        model.search(QStringLiteral("slow"), AppPlatform::iPhone, QStringLiteral("US"));
        model.search(QStringLiteral("fast"), AppPlatform::iPhone, QStringLiteral("US"));
        QTRY_VERIFY(!model.isLoading());
        QCOMPARE(model.results().size(), 1);
        // The old request was aborted, so its answer can never replace the new one.
        QTRY_COMPARE(m_session->activeTransfers(), 0);
        QCOMPARE(LogCapture::lines().filter(QStringLiteral("Status 200")).size(), 1);
        QVERIFY(model.errorMessage().isEmpty());
    }

    void failedSearchKeepsWhatWasShown()
    {
        m_server.setRoute(QStringLiteral("/search?term=good"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json")));
        m_server.setRoute(QStringLiteral("/search?term=bad"), FixtureResponse::text("oops", 500));
        AppSearchViewModel model(service());
        awaitTask(model.search(QStringLiteral("good"), AppPlatform::iPhone, QStringLiteral("US")));
        awaitTask(model.search(QStringLiteral("bad"), AppPlatform::iPhone, QStringLiteral("US")));
        QCOMPARE(model.results().size(), 1);
        QCOMPARE(model.errorMessage(), QStringLiteral("Risposta del server non valida (codice 500)."));
    }

    void modelDestroyedWhileSearching()
    {
        m_server.setRoute(QStringLiteral("/search"), FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json")).delayed(60000));
        auto* model = new AppSearchViewModel(service());
        QCoro::Task<> running = model->search(QStringLiteral("gone"), AppPlatform::iPhone, QStringLiteral("US"));
        QTRY_COMPARE(m_server.requestCount(QStringLiteral("/search?term=gone")), 1);
        delete model;
        // The request goes with the model; its answer, or the session's
        // deadline, would be far off.
        QTRY_COMPARE(m_session->activeTransfers(), 0);
        awaitTask(std::move(running));
        QVERIFY(LogCapture::lines().filter(QStringLiteral("Status")).isEmpty());
    }

private:
    AppSearchService service() { return AppSearchService(m_session, m_server.baseUrl()); }

    FixtureServer m_server;
    std::shared_ptr<HttpSession> m_session = std::make_shared<HttpSession>();
};

QTEST_GUILESS_MAIN(AppSearchServiceTest)
#include "AppSearchServiceTest.moc"

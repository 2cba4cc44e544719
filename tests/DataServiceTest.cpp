#include "support/FixtureServer.h"
#include "support/TestHelpers.h"
#include "Services/MakerApps/DataService.h"

#include <QNetworkDiskCache>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

using Apps = QList<AppData::Application>;

struct Delivery {
    int calls = 0;
    bool onMainThread = true;
    Apps apps;
};

DataService::Completion recordInto(std::shared_ptr<Delivery> delivery)
{
    return [delivery](Apps apps) {
        ++delivery->calls;
        delivery->onMainThread = delivery->onMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        delivery->apps = std::move(apps);
    };
}

QByteArray fixture(const QString& path)
{
    return FixtureResponse::fromFile(path).body;
}

FixtureResponse withCacheHeaders(FixtureResponse response)
{
    response.extraHeaders.append(qMakePair(QByteArray("Cache-Control"), QByteArray("public, max-age=3600")));
    response.extraHeaders.append(qMakePair(QByteArray("Last-Modified"), QByteArray("Mon, 02 Nov 2026 10:00:00 GMT")));
    return response;
}

} // namespace

class DataServiceTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        m_session = std::make_shared<HttpSession>();
        LogCapture::start();
    }

    void cleanup()
    {
        Log::setSinkForTesting(nullptr);
        m_session.reset();
        m_server.reset();
    }

    void decodesWholeDocumentsOnly_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("count"); // -1: fails
        const QByteArray app = R"({"name":"A","link":"l","icon":"i","isNew":true,"order":1})";
        QTest::newRow("recorded list") << fixture("maker/apps.json") << 3;
        QTest::newRow("integral double order") << QByteArray(R"({"version":"1","apps":[{"name":"A","link":"l","icon":"i","is_new":false,"order":2.0}]})") << 1;
        QTest::newRow("entry without order") << fixture("maker/apps_missing_order.json") << -1;
        QTest::newRow("document without version") << fixture("maker/apps_no_version.json") << -1;
        QTest::newRow("order as text") << QByteArray(R"({"version":"1","apps":[{"name":"A","link":"l","icon":"i","isNew":true,"order":"1"}]})") << -1;
        QTest::newRow("fractional order") << QByteArray(R"({"version":"1","apps":[{"name":"A","link":"l","icon":"i","isNew":true,"order":1.5}]})") << -1;
        QTest::newRow("leading underscore is kept") << QByteArray(R"({"version":"1","apps":[{"name":"A","link":"l","icon":"i","_is_new":true,"order":1}]})") << -1;
        QTest::newRow("one bad entry of two") << QByteArray("{\"version\":\"1\",\"apps\":[" + app + ",{\"name\":\"B\"}]}") << -1;
        QTest::newRow("top level list") << QByteArray("[]") << -1;
    }

    void decodesWholeDocumentsOnly()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, count);
        const auto decoded = AppData::decode(json);
        if (count < 0) {
            QVERIFY(!decoded);
            QVERIFY(!decoded.error().isEmpty());
            return;
        }
        QVERIFY2(decoded, decoded ? "" : qPrintable(decoded.error()));
        QCOMPARE(decoded.value().apps.size(), count);
    }

    void deliversTheListInDocumentOrder()
    {
        m_server->setRoute(QStringLiteral("/resources/apps.json"), FixtureResponse::fromFile(QStringLiteral("maker/apps.json")));
        auto delivery = std::make_shared<Delivery>();
        DataService(m_session).getAppsData(m_server->baseUrl().toString() + QStringLiteral("/resources/apps.json"),
                                           recordInto(delivery));
        QCOMPARE(delivery->calls, 0);
        QTRY_COMPARE(delivery->calls, 1);
        QVERIFY(delivery->onMainThread);

        QStringList names;
        QList<bool> flags;
        QList<int> orders;
        for (const auto& app : delivery->apps) {
            names << app.name;
            flags << app.isNew;
            orders << app.order;
        }
        // The document's order, not the `order` numbers, and both spellings of the flag.
        QCOMPARE(names, (QStringList{"Plovera", "Quillmark", "Tidewell"}));
        QCOMPARE(orders, (QList<int>{3, 2, 1}));
        QCOMPARE(flags, (QList<bool>{false, true, false}));
        QCOMPARE(delivery->apps.at(1).link, QStringLiteral("https://vantorel.com/quillmark"));
    }

    void failuresDeliverAnEmptyListOnce_data()
    {
        QTest::addColumn<FixtureResponse>("response");
        QTest::addColumn<QString>("logged");

        QTest::newRow("missing key") << FixtureResponse::fromFile(QStringLiteral("maker/apps_missing_order.json"))
                                     << "Error decoding JSON: apps[1]: key \\\"order\\\" is missing";
        QTest::newRow("not JSON") << FixtureResponse::html("<html><body>Maintenance</body></html>")
                                  << "Error decoding JSON: not JSON";
        // A valid list behind an error status is still an error page.
        QTest::newRow("server error with a list")
            << FixtureResponse::fromFile(QStringLiteral("maker/apps.json"), 503) << "Error fetching data: the server answered with status 503";
        QTest::newRow("not found") << FixtureResponse::withStatus(404) << "Error fetching data: the server answered with status 404";
        QTest::newRow("empty body") << FixtureResponse::json("") << "No data found at URL: ";
        QTest::newRow("slow") << FixtureResponse::fromFile(QStringLiteral("maker/apps.json")).delayed(3000) << "Error fetching data: no complete answer within the time allowed";
        FixtureResponse huge = FixtureResponse::json("{\"version\":\"1\",\"apps\":[],\"padding\":\"" + QByteArray(300 * 1024, 'x') + "\"}");
        QTest::newRow("too large") << huge << "Error fetching data: answer larger than";
        FixtureResponse dropped;
        dropped.dropConnection = true;
        QTest::newRow("connection dropped") << dropped << "Error fetching data: ";
    }

    void failuresDeliverAnEmptyListOnce()
    {
        QFETCH(FixtureResponse, response);
        QFETCH(QString, logged);
        m_server->setRoute(QStringLiteral("/resources/apps.json"), response);

        DataService::Options options;
        options.deadline = std::chrono::milliseconds(400);
        options.maxAnswerBytes = 256 * 1024;
        auto delivery = std::make_shared<Delivery>();
        delivery->apps = {AppData::Application{}}; // must be replaced by the empty list
        DataService(m_session, options)
            .getAppsData(m_server->baseUrl().toString() + QStringLiteral("/resources/apps.json"), recordInto(delivery));
        QTRY_COMPARE(delivery->calls, 1);
        QVERIFY(delivery->onMainThread);
        QVERIFY(delivery->apps.isEmpty());
        // One error line, the client's own: the web layer leaves failures to it.
        const QStringList errors = LogCapture::lines().filter(QStringLiteral("\u274C"));
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains(logged), qPrintable(LogCapture::text()));
        QVERIFY(errors.first().startsWith(QStringLiteral("\"\u274C [DataService.cpp:")) && errors.first().contains(QStringLiteral("] DataService::getAppsData - ")));
    }

    void invalidAddressesAreAnsweredLater_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("empty") << "";
        QTest::newRow("not an address") << "vantorel dot com";
        QTest::newRow("other scheme") << "ftp://vantorel.com/resources/apps.json";
        QTest::newRow("no host") << "https:///resources/apps.json";
    }

    void invalidAddressesAreAnsweredLater()
    {
        QFETCH(QString, address);
        auto delivery = std::make_shared<Delivery>();
        DataService(m_session).getAppsData(address, recordInto(delivery));
        QCOMPARE(delivery->calls, 0);
        QTRY_COMPARE(delivery->calls, 1);
        QVERIFY(delivery->onMainThread);
        QVERIFY(delivery->apps.isEmpty());
        QVERIFY(LogCapture::text().contains(QStringLiteral("Invalid URL: ") + address));
    }

    void bypassesTheCacheOnlyForItself()
    {
        QTemporaryDir cacheDir;
        QVERIFY(cacheDir.isValid());
        auto* cache = new QNetworkDiskCache;
        cache->setCacheDirectory(cacheDir.path());
        m_session->setCache(cache);
        m_server->setRoute(QStringLiteral("/resources/apps.json"),
                           withCacheHeaders(FixtureResponse::fromFile(QStringLiteral("maker/apps.json"))));
        m_server->setRoute(QStringLiteral("/other.json"), withCacheHeaders(FixtureResponse::json("{}")));

        const QUrl listURL = m_server->baseUrl().resolved(QUrl(QStringLiteral("/resources/apps.json")));
        for (int round = 1; round <= 2; ++round) {
            auto delivery = std::make_shared<Delivery>();
            DataService(m_session).getAppsData(listURL.toString(), recordInto(delivery));
            QTRY_COMPARE(delivery->calls, 1);
            QCOMPARE(delivery->apps.size(), 3);
            QCOMPARE(m_server->requestCount(QStringLiteral("/resources/apps.json")), round);
        }
        QVERIFY(!cache->metaData(listURL).isValid());

        // The session's cache still serves everything else.
        const QUrl otherURL = m_server->baseUrl().resolved(QUrl(QStringLiteral("/other.json")));
        QVERIFY(awaitTask(m_session->get(otherURL)).isSuccess());
        QVERIFY(awaitTask(m_session->get(otherURL)).isSuccess());
        QCOMPARE(m_server->requestCount(QStringLiteral("/other.json")), 1);
    }

private:
    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session;
};

QTEST_GUILESS_MAIN(DataServiceTest)
#include "DataServiceTest.moc"

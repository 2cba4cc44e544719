#include "support/FixtureServer.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class FixtureServerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("www/a")));
        const QList<QPair<QString, QByteArray>> files = {
            {QStringLiteral("www/a/b.json"), R"({"b":1})"},
            {QStringLiteral("www/plain.txt"), "plain"},
            {QStringLiteral("secret.txt"), "secret"},
        };
        for (const auto& [name, content] : files) {
            QFile file(m_dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
    }

    void init()
    {
        m_manager = std::make_unique<QNetworkAccessManager>();
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        m_server->setRoute(QStringLiteral("/search"), FixtureResponse::json("all"));
        m_server->setRoute(QStringLiteral("/search?term=a b"), FixtureResponse::json("ab"));
        m_server->setRoute(QStringLiteral("/search?country=us&term=a%20b"), FixtureResponse::json("ab-us"));
        m_server->setRoute(QStringLiteral("/gone"), FixtureResponse::withStatus(410));
        m_server->setRootDirectory(m_dir.filePath(QStringLiteral("www")));
        m_server->setHandler([](const FixtureRequest& request) -> std::optional<FixtureResponse> {
            if (request.query.hasQueryItem(QStringLiteral("handler")))
                return FixtureResponse::text("handled");
            return std::nullopt;
        });
    }

    void cleanup()
    {
        m_server.reset();
        m_manager.reset();
    }

    void answers_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");

        QTest::newRow("path only") << "/search" << 200 << QByteArray("all") << QByteArray("application/json");
        QTest::newRow("query item") << "/search?term=a%20b" << 200 << QByteArray("ab") << QByteArray("application/json");
        QTest::newRow("most specific, any order, extra items")
            << "/search?x=1&country=us&term=a%20b" << 200 << QByteArray("ab-us") << QByteArray("application/json");
        QTest::newRow("unmatched query falls back") << "/search?term=zzz" << 200 << QByteArray("all") << QByteArray("application/json");
        QTest::newRow("handler first") << "/search?handler=1" << 200 << QByteArray("handled") << QByteArray("text/plain");
        QTest::newRow("status only") << "/gone" << 410 << QByteArray() << QByteArray();
        QTest::newRow("file with .json added") << "/a/b" << 200 << QByteArray(R"({"b":1})") << QByteArray("application/json");
        QTest::newRow("file as named") << "/plain.txt?ignored=1" << 200 << QByteArray("plain") << QByteArray("text/plain");
        QTest::newRow("unknown") << "/nowhere" << 404 << QByteArray("not found") << QByteArray("text/plain");
    }

    void answers()
    {
        QFETCH(QString, path);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);

        QNetworkReply* reply = get(path);
        QTRY_VERIFY(reply->isFinished());
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
        QCOMPARE(reply->readAll(), body);
        if (!contentType.isEmpty())
            QVERIFY(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray().startsWith(contentType));
    }

    void rawExchange_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answerEnd");
        QTest::addColumn<int>("answers");

        const QByteArray close = "Connection: close\r\n\r\n";
        QTest::newRow("dot-dot escape") << "GET /../secret.txt HTTP/1.1\r\n" + close << QByteArray("not found") << 1;
        QTest::newRow("encoded dot-dot") << "GET /%2e%2e/secret.txt HTTP/1.1\r\n" + close << QByteArray("not found") << 1;
        QTest::newRow("post") << "POST /search HTTP/1.1\r\nContent-Length: 0\r\n" + close << QByteArray("method not allowed") << 1;
        QTest::newRow("pipelined") << "GET /search HTTP/1.1\r\n\r\nGET /search?term=a%20b HTTP/1.1\r\n" + close
                                   << QByteArray("ab") << 2;
        QTest::newRow("malformed") << QByteArray("NONSENSE\r\n\r\n") << QByteArray("bad request") << 1;
        QTest::newRow("oversized headers") << "GET /search HTTP/1.1\r\nX-Big: " + QByteArray(70000, 'a') << QByteArray() << 0;
    }

    void rawExchange()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answerEnd);
        QFETCH(int, answers);

        QTcpSocket socket;
        QByteArray received;
        connect(&socket, &QTcpSocket::readyRead, this, [&] { received += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, m_server->port());
        QTRY_COMPARE(socket.state(), QAbstractSocket::ConnectedState);
        // Two writes with the event loop in between, so the server sees the request in pieces.
        socket.write(request.left(request.size() / 2));
        QTRY_COMPARE(socket.bytesToWrite(), 0);
        QCoreApplication::processEvents();
        socket.write(request.mid(request.size() / 2));
        QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
        received += socket.readAll();

        QVERIFY2(received.endsWith(answerEnd), received.constData());
        QCOMPARE(int(received.count("HTTP/1.1 ")), answers);
    }

    void survivesClientsAndServerGoingAway()
    {
        m_server->setRoute(QStringLiteral("/slow"), FixtureResponse::json("late").delayed(300));

        // The client leaves before the delayed answer; a second slow request outlives the first timer.
        QNetworkReply* abandoned = get(QStringLiteral("/slow"));
        QTRY_COMPARE(m_server->requestCount(QStringLiteral("/slow")), 1);
        abandoned->abort();
        QNetworkReply* patient = get(QStringLiteral("/slow"));
        QTRY_VERIFY(patient->isFinished());
        QCOMPARE(patient->readAll(), QByteArray("late"));

        // The server goes while a delayed answer is pending and the client is connected.
        m_server->setRoute(QStringLiteral("/never"), FixtureResponse::json("never").delayed(60000));
        QNetworkReply* pending = get(QStringLiteral("/never"));
        QTRY_COMPARE(m_server->requestCount(QStringLiteral("/never")), 1);
        m_server.reset();
        QTRY_VERIFY(pending->isFinished());
        QVERIFY(pending->error() != QNetworkReply::NoError);
    }

    void serverDestroyedWhileAnswering()
    {
        connect(m_server.get(), &FixtureServer::requestReceived, this, [this] { m_server.reset(); });
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_server->port());
        QTRY_COMPARE(m_server->connectionCount(), 1);
        socket.write("GET /search HTTP/1.1\r\n\r\n");
        QTRY_VERIFY(!m_server);
        QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(socket.readAll(), QByteArray());
    }

private:
    QNetworkReply* get(const QString& pathAndQuery)
    {
        return m_manager->get(QNetworkRequest(QUrl(m_server->baseUrl().toString() + pathAndQuery)));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<FixtureServer> m_server;
    std::unique_ptr<QNetworkAccessManager> m_manager;
};

QTEST_GUILESS_MAIN(FixtureServerTest)
#include "FixtureServerTest.moc"

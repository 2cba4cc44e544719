#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QUrlQuery>

#include <atomic>
#include <functional>
#include <optional>

class QTcpServer;
class FixtureConnection;

struct FixtureRequest {
    QByteArray method;          // "GET"
    QString path;               // decoded path, e.g. "/search"
    QUrlQuery query;            // the query items
    QByteArray rawTarget;       // the request target exactly as received ("/search?term=a%20b")
    QHash<QByteArray, QByteArray> headers; // lower-cased names
};

struct FixtureResponse {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "application/json";
    int delayMs = 0;             // wait this long before sending anything (slow answers)
    bool truncate = false;       // announce the full Content-Length, send only half the body, then close
    bool dropConnection = false; // close the socket without answering
    int trickleMs = 0;           // send the body one byte at a time, this many ms apart
    bool omitLength = false;     // send no Content-Length; the end of the body is the closed connection
    // Instead of `body`, a body of this many filler bytes, made only as the socket drains, so a
    // huge answer never sits in the server's memory; see FixtureServer::streamedBytes().
    qint64 streamBytes = 0;
    // Sent after the standard headers; a name given here replaces the standard header of that name.
    QList<QPair<QByteArray, QByteArray>> extraHeaders;

    static FixtureResponse json(const QByteArray& body, int status = 200);
    static FixtureResponse text(const QByteArray& body, int status = 200); // text/plain
    static FixtureResponse html(const QByteArray& body, int status = 200); // text/html
    // Reads PLOVERA_FIXTURES_DIR/<path>, content type from the extension. A missing file aborts
    // the test program: a silently empty body would make the failure show up far from its cause.
    static FixtureResponse fromFile(const QString& pathUnderFixturesDir, int status = 200);
    static FixtureResponse withStatus(int status); // empty body
    // The same answer, sent only after `ms` milliseconds.
    FixtureResponse delayed(int ms) const
    {
        FixtureResponse copy = *this;
        copy.delayMs = ms;
        return copy;
    }

    static QByteArray contentTypeForFile(const QString& fileName);
};

Q_DECLARE_METATYPE(FixtureResponse)

// A minimal HTTP/1.1 server on 127.0.0.1 for tests and offline runs. It lives on the event loop
// of the thread that created it, so tests drive it together with the code under test.
class FixtureServer : public QObject {
    Q_OBJECT
public:
    explicit FixtureServer(QObject* parent = nullptr);
    ~FixtureServer() override;

    bool listen(quint16 port = 0); // 127.0.0.1 only, any free port when 0
    quint16 port() const;
    QUrl baseUrl() const;          // "http://127.0.0.1:<port>"

    // Exact-path route. When pathAndQuery contains '?', the request must also carry every one of
    // those query items (order-insensitive, extra items allowed); the most specific (most query
    // items) matching route wins, and among equally specific ones the one set last.
    void setRoute(const QString& pathAndQuery, const FixtureResponse& response);
    // Consulted before the routes; returning std::nullopt falls through.
    void setHandler(std::function<std::optional<FixtureResponse>(const FixtureRequest&)> handler);
    // Request path "/a/b" maps to <dir>/a/b, else <dir>/a/b.json; the query is ignored. Consulted
    // after the routes. Paths escaping the directory get 404.
    void setRootDirectory(const QString& dir);
    void clearRoutes();

    QList<FixtureRequest> requests() const; // every request received, in order
    // Requests whose path is `path`; a "?query" part narrows them the way routes match.
    int requestCount(const QString& path) const;
    // TCP connections accepted so far; lets tests see whether clients reuse connections.
    int connectionCount() const;
    // Body bytes of `streamBytes` answers handed to sockets so far; at most two 64 KiB pieces
    // run ahead of what the system took. Safe to read from any thread.
    qint64 streamedBytes() const { return m_streamedBytes; }

signals:
    void requestReceived(const FixtureRequest& request);

private:
    friend class FixtureConnection;

    struct Route {
        QString path;
        QList<QPair<QString, QString>> queryItems; // fully decoded, sorted
        FixtureResponse response;
    };

    static Route parseRoute(const QString& pathAndQuery);
    static bool matches(const Route& route, const FixtureRequest& request);

    void acceptConnections();
    // Records the request and works out the answer. std::nullopt means the server went away
    // while a slot or the handler ran, and the caller must not touch anything of it.
    std::optional<FixtureResponse> answer(const FixtureRequest& request);
    std::optional<FixtureResponse> routeResponse(const FixtureRequest& request) const;
    std::optional<FixtureResponse> fileResponse(const QString& path) const;

    QTcpServer* m_tcpServer = nullptr;
    QList<QPointer<FixtureConnection>> m_connections;
    int m_connectionCount = 0;
    QList<Route> m_routes;
    std::function<std::optional<FixtureResponse>(const FixtureRequest&)> m_handler;
    QString m_rootDirectory;
    QList<FixtureRequest> m_requests;
    std::atomic<qint64> m_streamedBytes = 0;
};

#include "support/FixtureServer.h"

#include "support/FixtureConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>

#include <algorithm>

namespace {

FixtureResponse withBody(const QByteArray& body, int status, const QByteArray& contentType)
{
    FixtureResponse response;
    response.status = status;
    response.body = body;
    response.contentType = contentType;
    return response;
}

QByteArray readWholeFile(const QString& fileName, bool* ok)
{
    QFile file(fileName);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? file.readAll() : QByteArray();
}

} // namespace

FixtureResponse FixtureResponse::json(const QByteArray& body, int status)
{
    return withBody(body, status, "application/json");
}

FixtureResponse FixtureResponse::text(const QByteArray& body, int status)
{
    return withBody(body, status, "text/plain; charset=utf-8");
}

FixtureResponse FixtureResponse::html(const QByteArray& body, int status)
{
    return withBody(body, status, "text/html; charset=utf-8");
}

FixtureResponse FixtureResponse::fromFile(const QString& pathUnderFixturesDir, int status)
{
    const QString fileName = QStringLiteral(PLOVERA_FIXTURES_DIR "/") + pathUnderFixturesDir;
    bool ok = false;
    const QByteArray body = readWholeFile(fileName, &ok);
    if (!ok)
        qFatal("FixtureResponse::fromFile: cannot read fixture %s", qPrintable(fileName));
    return withBody(body, status, contentTypeForFile(fileName));
}

FixtureResponse FixtureResponse::withStatus(int status)
{
    return withBody({}, status, "application/json");
}

QByteArray FixtureResponse::contentTypeForFile(const QString& fileName)
{
    static const QHash<QString, QByteArray> types{
        {"json", "application/json"}, {"html", "text/html; charset=utf-8"}, {"htm", "text/html; charset=utf-8"},
        {"txt", "text/plain; charset=utf-8"}, {"xml", "application/xml"}, {"css", "text/css"},
        {"js", "text/javascript"}, {"png", "image/png"}, {"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"},
        {"gif", "image/gif"}, {"webp", "image/webp"}, {"svg", "image/svg+xml"}, {"ico", "image/x-icon"}};
    return types.value(QFileInfo(fileName).suffix().toLower(), "application/octet-stream");
}

FixtureServer::FixtureServer(QObject* parent)
    : QObject(parent)
    , m_tcpServer(new QTcpServer(this))
{
    connect(m_tcpServer, &QTcpServer::newConnection, this, &FixtureServer::acceptConnections);
}

FixtureServer::~FixtureServer()
{
    // Connections call back into this object; they must let go while it is still whole, not
    // later among the QObject children.
    delete m_tcpServer;
    const auto connections = m_connections;
    for (const QPointer<FixtureConnection>& connection : connections) {
        if (connection)
            connection->serverGone();
    }
}

bool FixtureServer::listen(quint16 port)
{
    if (m_tcpServer->isListening())
        m_tcpServer->close();
    if (!m_tcpServer->listen(QHostAddress::LocalHost, port)) {
        qWarning("FixtureServer: cannot listen on 127.0.0.1:%u: %s", unsigned(port),
                 qPrintable(m_tcpServer->errorString()));
        return false;
    }
    return true;
}

quint16 FixtureServer::port() const
{
    return m_tcpServer->serverPort();
}

QUrl FixtureServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port()));
}

void FixtureServer::setRoute(const QString& pathAndQuery, const FixtureResponse& response)
{
    Route route = parseRoute(pathAndQuery);
    route.response = response;
    m_routes.removeIf([&route](const Route& existing) {
        return existing.path == route.path && existing.queryItems == route.queryItems;
    });
    m_routes.append(route);
}

void FixtureServer::setHandler(std::function<std::optional<FixtureResponse>(const FixtureRequest&)> handler)
{
    m_handler = std::move(handler);
}

void FixtureServer::setRootDirectory(const QString& dir)
{
    m_rootDirectory = dir;
}

void FixtureServer::clearRoutes()
{
    m_routes.clear();
}

QList<FixtureRequest> FixtureServer::requests() const
{
    return m_requests;
}

int FixtureServer::requestCount(const QString& path) const
{
    const Route wanted = parseRoute(path);
    return int(std::count_if(m_requests.cbegin(), m_requests.cend(),
                             [&wanted](const FixtureRequest& request) { return matches(wanted, request); }));
}

int FixtureServer::connectionCount() const
{
    return m_connectionCount;
}

FixtureServer::Route FixtureServer::parseRoute(const QString& pathAndQuery)
{
    Route route;
    const qsizetype mark = pathAndQuery.indexOf(QLatin1Char('?'));
    route.path = QUrl::fromPercentEncoding(pathAndQuery.left(mark < 0 ? pathAndQuery.size() : mark).toUtf8());
    if (mark >= 0)
        route.queryItems = QUrlQuery(pathAndQuery.mid(mark + 1)).queryItems(QUrl::FullyDecoded);
    std::sort(route.queryItems.begin(), route.queryItems.end());
    return route;
}

bool FixtureServer::matches(const Route& route, const FixtureRequest& request)
{
    if (route.path != request.path)
        return false;
    return std::all_of(route.queryItems.cbegin(), route.queryItems.cend(), [&request](const auto& item) {
        return request.query.allQueryItemValues(item.first, QUrl::FullyDecoded).contains(item.second);
    });
}

void FixtureServer::acceptConnections()
{
    m_connections.removeAll(nullptr);
    while (QTcpSocket* socket = m_tcpServer->nextPendingConnection()) {
        ++m_connectionCount;
        m_connections.append(new FixtureConnection(socket, this));
    }
}

std::optional<FixtureResponse> FixtureServer::answer(const FixtureRequest& request)
{
    m_requests.append(request);
    const QPointer<FixtureServer> self(this);
    emit requestReceived(request);
    if (!self)
        return std::nullopt;

    if (request.method != "GET" && request.method != "HEAD") {
        FixtureResponse response = FixtureResponse::text("method not allowed", 405);
        response.extraHeaders.emplaceBack("Allow", "GET, HEAD");
        return response;
    }
    if (m_handler) {
        // A copy, so that a handler replacing itself does not destroy the function it runs in.
        const auto handler = m_handler;
        std::optional<FixtureResponse> response = handler(request);
        if (!self)
            return std::nullopt;
        if (response)
            return response;
    }
    if (std::optional<FixtureResponse> response = routeResponse(request))
        return response;
    if (std::optional<FixtureResponse> response = fileResponse(request.path))
        return response;
    return FixtureResponse::text("not found", 404);
}

std::optional<FixtureResponse> FixtureServer::routeResponse(const FixtureRequest& request) const
{
    const Route* best = nullptr;
    for (const Route& route : m_routes) {
        if (matches(route, request) && (!best || route.queryItems.size() >= best->queryItems.size()))
            best = &route;
    }
    if (!best)
        return std::nullopt;
    return best->response;
}

std::optional<FixtureResponse> FixtureServer::fileResponse(const QString& path) const
{
    if (m_rootDirectory.isEmpty() || path.contains(QChar(0)) || path.contains(QLatin1Char('\\')))
        return std::nullopt;
    const QStringList segments = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (segments.isEmpty() || segments.contains(QStringLiteral("..")))
        return std::nullopt;

    // Symbolic links may still lead outside; only files whose real location is inside count.
    const QString root = QFileInfo(m_rootDirectory).canonicalFilePath();
    if (root.isEmpty())
        return std::nullopt;
    const QString base = root + QLatin1Char('/') + segments.join(QLatin1Char('/'));
    for (const QString& candidate : {base, base + QStringLiteral(".json")}) {
        const QFileInfo info(candidate);
        if (!info.isFile() || !info.canonicalFilePath().startsWith(root + QLatin1Char('/')))
            continue;
        bool ok = false;
        const QByteArray body = readWholeFile(candidate, &ok);
        if (ok)
            return withBody(body, 200, FixtureResponse::contentTypeForFile(candidate));
    }
    return std::nullopt;
}

#include "support/FixtureConnection.h"

#include "support/FixtureServer.h"

#include <QHash>
#include <QPointer>
#include <QScopeGuard>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

constexpr qsizetype kMaxHeaderBytes = 64 * 1024;
// Bounds what Qt buffers while an answer is pending, so a client that keeps sending meets TCP
// back-pressure instead of growing our memory.
constexpr qint64 kSocketReadBuffer = 256 * 1024;

QByteArray reasonPhrase(int status)
{
    static const QHash<int, QByteArray> phrases{
        {200, "OK"}, {201, "Created"}, {204, "No Content"}, {301, "Moved Permanently"}, {302, "Found"},
        {304, "Not Modified"}, {307, "Temporary Redirect"}, {308, "Permanent Redirect"}, {400, "Bad Request"},
        {401, "Unauthorized"}, {403, "Forbidden"}, {404, "Not Found"}, {405, "Method Not Allowed"},
        {408, "Request Timeout"}, {410, "Gone"}, {429, "Too Many Requests"}, {500, "Internal Server Error"},
        {502, "Bad Gateway"}, {503, "Service Unavailable"}, {504, "Gateway Timeout"}};
    return phrases.value(status, "Status");
}

bool hasToken(const QByteArray& headerValue, const QByteArray& token)
{
    const QList<QByteArray> parts = headerValue.toLower().split(',');
    return std::any_of(parts.cbegin(), parts.cend(), [&token](const QByteArray& part) { return part.trimmed() == token; });
}

} // namespace

FixtureConnection::FixtureConnection(QTcpSocket* socket, FixtureServer* server)
    : QObject(server)
    , m_socket(socket)
    , m_server(server)
{
    m_socket->setParent(this);
    m_socket->setReadBufferSize(kSocketReadBuffer);
    connect(m_socket, &QTcpSocket::readyRead, this, &FixtureConnection::processInput);
    connect(m_socket, &QTcpSocket::disconnected, this, &FixtureConnection::socketGone);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            socketGone();
    });
    // Bytes may have arrived before the signals were connected.
    QTimer::singleShot(0, this, &FixtureConnection::processInput);
}

FixtureConnection::~FixtureConnection()
{
    // The socket's destructor aborts the connection and may emit; nothing of ours may hear it.
    m_socket->disconnect(this);
    delete m_socket;
}

void FixtureConnection::serverGone()
{
    m_server = nullptr;
    m_closing = true;
    if (m_readDepth == 0) {
        delete this;
        return;
    }
    // Deleting a socket inside its own readyRead() pulls it from under Qt's feet; the slot
    // that destroyed the server may have been reached from there.
    m_socket->disconnect(this);
    setParent(nullptr);
    deleteLater();
}

void FixtureConnection::processInput()
{
    const QPointer<FixtureConnection> self(this);
    ++m_readDepth;
    const auto leave = qScopeGuard([&self] {
        if (self)
            --self->m_readDepth;
    });
    while (self && !m_busy && !m_closing) {
        m_buffer += m_socket->readAll();
        while (m_buffer.startsWith("\r\n"))
            m_buffer.remove(0, 2);
        // A request begins with its method. Anything else, such as a secure handshake sent to
        // this plain server, is refused at once, as a real server does, instead of waited on.
        if (!m_buffer.isEmpty() && !(m_buffer.front() >= 'A' && m_buffer.front() <= 'Z')) {
            m_busy = true;
            deliver(FixtureResponse::text("bad request", 400), false, false);
            return;
        }
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        const bool tooLong = end < 0 ? m_buffer.size() > kMaxHeaderBytes : end + 4 > kMaxHeaderBytes;
        if (tooLong) {
            finish(true);
            return;
        }
        if (end < 0)
            return;
        const QByteArray head = m_buffer.left(end);
        m_buffer.remove(0, end + 4);
        handleRequest(head);
    }
}

void FixtureConnection::handleRequest(const QByteArray& head)
{
    m_busy = true;
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    const bool validLine = requestLine.size() == 3 && !requestLine[0].isEmpty()
        && requestLine[1].startsWith('/') && requestLine[2].startsWith("HTTP/1.");

    FixtureRequest request;
    bool valid = validLine;
    for (qsizetype i = 1; valid && i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype colon = line.indexOf(':');
        // A line starting with white space is an obsolete folded header, which we refuse.
        if (colon <= 0 || line.startsWith(' ') || line.startsWith('\t')) {
            valid = false;
            break;
        }
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        QByteArray& stored = request.headers[name];
        stored = stored.isEmpty() ? value : stored + ", " + value;
    }
    if (!valid) {
        deliver(FixtureResponse::text("bad request", 400), false, false);
        return;
    }

    request.method = requestLine[0];
    request.rawTarget = requestLine[1];
    const qsizetype mark = request.rawTarget.indexOf('?');
    request.path = QUrl::fromPercentEncoding(mark < 0 ? request.rawTarget : request.rawTarget.left(mark));
    if (mark >= 0)
        request.query.setQuery(QString::fromUtf8(request.rawTarget.mid(mark + 1)));

    const QByteArray connection = request.headers.value("connection");
    bool keepAlive = requestLine[2] == "HTTP/1.1" ? !hasToken(connection, "close") : hasToken(connection, "keep-alive");
    // We never read request bodies, so after one the stream is out of step: answer, then close.
    const QByteArray contentLength = request.headers.value("content-length", "0");
    if (request.headers.contains("transfer-encoding") || contentLength.trimmed() != "0")
        keepAlive = false;

    const bool headOnly = request.method == "HEAD";
    const QPointer<FixtureConnection> self(this);
    const std::optional<FixtureResponse> response = m_server->answer(request);
    if (!self || !response || m_closing)
        return;
    if (response->delayMs > 0) {
        QTimer::singleShot(response->delayMs, Qt::PreciseTimer, this, [this, answer = *response, headOnly, keepAlive] {
            deliver(answer, headOnly, keepAlive);
            processInput();
        });
        return;
    }
    deliver(*response, headOnly, keepAlive);
}

void FixtureConnection::deliver(const FixtureResponse& response, bool headOnly, bool keepAlive)
{
    if (m_closing)
        return;
    if (response.dropConnection) {
        finish(true);
        return;
    }

    const bool bodyAllowed = response.status >= 200 && response.status != 204 && response.status != 304;
    QList<QPair<QByteArray, QByteArray>> headers;
    if (bodyAllowed && !response.contentType.isEmpty())
        headers.emplaceBack("Content-Type", response.contentType);
    const qint64 bodySize = response.streamBytes > 0 ? response.streamBytes : response.body.size();
    if (bodyAllowed && !response.omitLength)
        headers.emplaceBack("Content-Length", QByteArray::number(bodySize));
    headers.emplaceBack("Connection", QByteArray());
    for (const auto& extra : response.extraHeaders) {
        const QByteArray name = extra.first.toLower();
        headers.removeIf([&name](const auto& header) { return header.first.toLower() == name; });
        if (name == "content-length" || (name == "connection" && hasToken(extra.second, "close")))
            keepAlive = false;
    }
    keepAlive = keepAlive && !response.truncate && !response.omitLength;
    for (auto& header : headers) {
        if (header.first == "Connection")
            header.second = keepAlive ? "keep-alive" : "close";
    }
    headers += response.extraHeaders;

    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
    for (const auto& [name, value] : std::as_const(headers))
        out += name + ": " + value + "\r\n";
    out += "\r\n";
    QByteArray body;
    if (bodyAllowed && !headOnly)
        body = response.truncate ? response.body.left(response.body.size() / 2) : response.body;
    if (response.streamBytes > 0 && bodyAllowed && !headOnly) {
        m_socket->write(out);
        stream(response.streamBytes, keepAlive);
        return;
    }
    if (response.trickleMs > 0 && !body.isEmpty()) {
        m_socket->write(out);
        trickle(body, response.trickleMs, keepAlive);
        return;
    }
    m_socket->write(out + body);
    answered(keepAlive);
}

void FixtureConnection::trickle(QByteArray rest, int intervalMs, bool keepAlive)
{
    QTimer::singleShot(intervalMs, Qt::PreciseTimer, this, [this, rest, intervalMs, keepAlive] {
        if (m_closing)
            return;
        m_socket->write(rest.left(1));
        if (rest.size() > 1) {
            trickle(rest.mid(1), intervalMs, keepAlive);
            return;
        }
        answered(keepAlive);
        if (keepAlive)
            processInput();
    });
}

void FixtureConnection::stream(qint64 remaining, bool keepAlive)
{
    static const QByteArray piece(64 * 1024, ' ');
    while (!m_closing && remaining > 0 && m_socket->bytesToWrite() < 2 * piece.size()) {
        const qint64 size = std::min<qint64>(remaining, piece.size());
        m_socket->write(piece.constData(), size);
        remaining -= size;
        m_server->m_streamedBytes += size;
    }
    if (m_closing)
        return;
    if (remaining > 0) {
        connect(m_socket, &QTcpSocket::bytesWritten, this, [this, remaining, keepAlive] { stream(remaining, keepAlive); },
                Qt::SingleShotConnection);
        return;
    }
    answered(keepAlive);
    if (keepAlive)
        processInput();
}

void FixtureConnection::answered(bool keepAlive)
{
    if (keepAlive)
        m_busy = false;
    else
        finish(false);
}

void FixtureConnection::finish(bool abortNow)
{
    m_closing = true;
    if (abortNow)
        m_socket->abort();
    else
        m_socket->disconnectFromHost(); // after the written bytes have gone out
    if (m_socket->state() == QAbstractSocket::UnconnectedState)
        socketGone();
}

void FixtureConnection::socketGone()
{
    m_closing = true;
    deleteLater();
}

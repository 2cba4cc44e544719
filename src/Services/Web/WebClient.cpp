#include "Services/Web/WebClient.h"

#include "Services/Log.h"

#include <array>
#include <cmath>

WebClient::WebClient(std::shared_ptr<HttpSession> session, qint64 maxAnswerBytes)
    : m_session(std::move(session))
    , m_maxAnswerBytes(maxAnswerBytes)
{
}

QDeadlineTimer WebClient::newDeadline() const
{
    return m_session ? QDeadlineTimer(m_session->options().timeout) : QDeadlineTimer(0);
}

QUrl WebClient::baseURL(const char* variable, const char* fallback)
{
    const QByteArray value = qgetenv(variable);
    return QUrl(QString::fromUtf8(value.isEmpty() ? QByteArray(fallback) : value));
}

QUrl WebClient::appendPath(const QUrl& base, const QList<QByteArray>& encodedSegments)
{
    QString path = base.path(QUrl::FullyEncoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    for (const QByteArray& segment : encodedSegments)
        path += QLatin1Char('/') + QString::fromLatin1(segment);
    QUrl url = base;
    url.setPath(path, QUrl::StrictMode);
    return url;
}

QCoro::Task<WebClient::Answer> WebClient::getJSON(QUrl url, CancellationToken token, QDeadlineTimer deadline) const
{
    // The coroutine holds its own session, so the caller may drop this client while it runs.
    return getJSON(m_session, m_maxAnswerBytes, std::move(url), std::move(token), deadline);
}

QCoro::Task<WebClient::Answer> WebClient::getJSON(std::shared_ptr<HttpSession> session, qint64 maxAnswerBytes,
                                                  QUrl url, CancellationToken token, QDeadlineTimer deadline)
{
    if (!session)
        co_return Answer::failure({HttpResponse::JsonProblem::Network, QStringLiteral("no session")});
    const HttpResponse response =
        co_await loggedGet(session, maxAnswerBytes, url, token, deadline, HttpSession::CacheUse::Normal);
    const HttpResponse::JsonProblem problem = response.jsonProblem();
    if (problem == HttpResponse::JsonProblem::None)
        co_return response.body;
    if (problem != HttpResponse::JsonProblem::Cancelled)
        logFailure(response.problemDetail(), url);
    co_return Answer::failure({problem, response.problemDetail()});
}

QCoro::Task<WebClient::Answer> WebClient::getBody(QUrl url, CancellationToken token, QDeadlineTimer deadline,
                                                  HttpSession::CacheUse cacheUse) const
{
    return getBody(m_session, m_maxAnswerBytes, std::move(url), std::move(token), deadline, cacheUse);
}

QCoro::Task<WebClient::Answer> WebClient::getBody(std::shared_ptr<HttpSession> session, qint64 maxAnswerBytes,
                                                  QUrl url, CancellationToken token, QDeadlineTimer deadline,
                                                  HttpSession::CacheUse cacheUse)
{
    if (!session)
        co_return Answer::failure({HttpResponse::JsonProblem::Network, QStringLiteral("no session")});
    const HttpResponse response = co_await loggedGet(session, maxAnswerBytes, url, token, deadline, cacheUse);
    // Any type of body will do; only the transfer and the status count.
    HttpResponse::JsonProblem problem = response.jsonProblem();
    if (problem == HttpResponse::JsonProblem::NotJson)
        problem = HttpResponse::JsonProblem::None;
    if (problem == HttpResponse::JsonProblem::None)
        co_return response.body;
    co_return Answer::failure({problem, transferProblem(response)});
}

QCoro::Task<HttpResponse> WebClient::loggedGet(std::shared_ptr<HttpSession> session, qint64 maxAnswerBytes, QUrl url,
                                               CancellationToken token, QDeadlineTimer deadline,
                                               HttpSession::CacheUse cacheUse)
{
    const QString address = url.toString(QUrl::FullyEncoded);
    Log::info(QStringLiteral("GET %1").arg(address));
    HttpResponse response = co_await session->get(url, token, maxAnswerBytes, deadline, cacheUse);
    if (response.failure == HttpResponse::Failure::None)
        Log::info(QStringLiteral("Status %1 for %2").arg(response.status).arg(address));
    co_return response;
}

QString WebClient::transferProblem(const HttpResponse& response)
{
    switch (response.failure) {
    case HttpResponse::Failure::None:
        return QStringLiteral("the server answered with status %1").arg(response.status);
    case HttpResponse::Failure::Cancelled:
        return QStringLiteral("the request was cancelled");
    case HttpResponse::Failure::Timeout:
        return QStringLiteral("no complete answer within the time allowed");
    case HttpResponse::Failure::InvalidUrl:
    case HttpResponse::Failure::Network:
    case HttpResponse::Failure::TooLarge:
        break;
    }
    return response.errorString;
}

void WebClient::logFailure(const QString& detail, const QUrl& url)
{
    Log::error(QStringLiteral("Request failed: %1 (%2)").arg(detail, url.toString(QUrl::FullyEncoded)));
}

std::optional<qint64> JsonFields::wholeNumber(const QJsonValue& value, qint64 minimum)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < double(minimum) || number > 9.0e15 || std::floor(number) != number)
        return std::nullopt;
    return static_cast<qint64>(number);
}

namespace {
enum class Shape { NotWeb, Clean, Unsure };

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Sorts an address into: surely not an http(s) address with a host; plain
// ASCII that any parse reads alike; anything else, left to the strict parser.
Shape shapeOf(QStringView text)
{
    qsizetype start = 0;
    if (text.startsWith(u"https://", Qt::CaseInsensitive))
        start = 8;
    else if (text.startsWith(u"http://", Qt::CaseInsensitive))
        start = 7;
    else
        return Shape::NotWeb;

    qsizetype end = start;
    while (end < text.size() && text[end] != u'/' && text[end] != u'?' && text[end] != u'#')
        ++end;
    QStringView authority = text.mid(start, end - start);
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0)
        authority = authority.mid(at + 1);
    if (authority.isEmpty() || authority.front() == u':')
        return Shape::NotWeb;

    // Printable ASCII but for the characters no address may hold unescaped.
    static constexpr auto allowed = [] {
        std::array<bool, 128> table{};
        for (int c = 0x21; c < 0x7F; ++c)
            table[size_t(c)] = true;
        for (char c : {'"', '<', '>', '\\', '^', '`', '{', '|', '}'})
            table[size_t(c)] = false;
        return table;
    }();
    const char16_t* data = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i];
        if (c >= 0x80 || !allowed[c])
            return Shape::Unsure;
        if (c == u'%' && (i + 2 >= size || !isHexDigit(data[i + 1]) || !isHexDigit(data[i + 2])))
            return Shape::Unsure;
    }
    return Shape::Clean;
}
} // namespace

bool JsonFields::looksLikeWebAddress(QStringView text)
{
    return shapeOf(text) != Shape::NotWeb;
}

QUrl JsonFields::webAddress(const QString& text)
{
    switch (shapeOf(text)) {
    case Shape::NotWeb:
        return {};
    case Shape::Clean: {
        // Nothing in it that the strict parser would refuse or the tolerant
        // one would mend, so the cheaper parse gives the same address.
        const QUrl url(text, QUrl::TolerantMode);
        return url.isValid() ? url : QUrl();
    }
    case Shape::Unsure:
        break;
    }
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    if (!url.isValid() || url.host().isEmpty() || !web)
        return {};
    return url;
}

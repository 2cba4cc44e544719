#include "platform/RemoteImageCache.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <utility>

namespace {
constexpr int kMaxRedirects = 5;
constexpr qint64 kCacheKiB = 96 * 1024;

// Vector and exotic formats are left out on purpose: they are rarely served
// as icons or screenshots and give a hostile server far more to play with.
bool isAcceptedFormat(const QByteArray& format)
{
    static const QList<QByteArray> accepted{"png", "jpeg", "jpg", "gif", "bmp", "webp"};
    return accepted.contains(format.toLower());
}

QImage decodeImage(const QByteArray& data)
{
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (!reader.canRead() || !isAcceptedFormat(reader.format()))
        return {};
    const QSize size = reader.size();
    if (size.isValid()
        && (size.width() > RemoteImageCache::kMaxImageSide
            || size.height() > RemoteImageCache::kMaxImageSide))
        return {};
    return reader.read();
}

// The caches made by makeShared() that are still alive, newest last.
QList<RemoteImageCache*>& ownedCaches()
{
    static QList<RemoteImageCache*> caches;
    return caches;
}
// The one made on first use where nothing owned one.
RemoteImageCache* unownedCache = nullptr;
bool ownedCacheEnded = false;

// A post routine runs while the Qt application object is still set, unlike
// the deletion of its children: the network manager's thread must stop
// before events can no longer be delivered.
void endUnownedCache()
{
    delete std::exchange(unownedCache, nullptr);
}
} // namespace

RemoteImageCache* RemoteImageCache::shared()
{
    if (!ownedCaches().isEmpty())
        return ownedCaches().constLast();
    if (!unownedCache && !ownedCacheEnded && QCoreApplication::instance()) {
        unownedCache = new RemoteImageCache;
        qAddPostRoutine(endUnownedCache);
    }
    return unownedCache;
}

std::unique_ptr<RemoteImageCache> RemoteImageCache::makeShared()
{
    std::unique_ptr<RemoteImageCache> cache(new RemoteImageCache);
    ownedCaches().append(cache.get());
    ownedCacheEnded = false;
    return cache;
}

RemoteImageCache::RemoteImageCache(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    m_manager->setTransferTimeout(kTransferTimeoutMs);
    m_images.setMaxCost(kCacheKiB);
}

RemoteImageCache::~RemoteImageCache()
{
    if (ownedCaches().removeOne(this))
        ownedCacheEnded = true;
    // The network manager, a child, goes next and stops its thread; the
    // finishing of its replies no longer reaches this object by then.
}

bool RemoteImageCache::isSupportedUrl(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

std::optional<QImage> RemoteImageCache::cached(const QUrl& url) const
{
    if (const QImage* image = m_images.object(url))
        return *image;
    return std::nullopt;
}

void RemoteImageCache::request(const QUrl& url, QObject* receiver, Callback done)
{
    if (!done)
        return;
    const QPointer<QObject> guard(receiver);
    if (!isSupportedUrl(url)) {
        QTimer::singleShot(0, this, [guard, done] {
            if (guard)
                done(QImage());
        });
        return;
    }
    if (const auto image = cached(url)) {
        QTimer::singleShot(0, this, [guard, done, image = *image] {
            if (guard)
                done(image);
        });
        return;
    }
    const bool alreadyLoading = m_pending.contains(url);
    m_pending[url].waiters.append(Waiter{guard, std::move(done)});
    // Started from the event loop: a list asks for its icons while it paints,
    // and the first request sets up the network stack, which the frame being
    // painted need not wait for.
    if (!alreadyLoading) {
        QTimer::singleShot(0, this, [this, url] {
            const auto found = m_pending.find(url);
            if (found != m_pending.end() && !found->reply)
                startRequest(url);
        });
    }
}

void RemoteImageCache::startRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setTransferTimeout(kTransferTimeoutMs);

    QNetworkReply* reply = m_manager->get(request);
    m_pending[url].reply = reply;
    ++m_networkRequests;

    // A redirect may only lead to another web address, and never from a
    // secure one to a plain one.
    connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl& target) {
        const bool downgrade = reply->url().scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0
            && target.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0;
        if (isSupportedUrl(target) && !downgrade)
            emit reply->redirectAllowed();
        else
            reply->abort();
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, url, reply] {
        const auto found = m_pending.find(url);
        if (found == m_pending.end() || found->reply != reply)
            return;
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > kMaxDownloadBytes)
            abortTooLarge(*found);
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, url] { onReadyRead(url); });
    connect(reply, &QNetworkReply::finished, this, [this, url] { onFinished(url); });
    emit requestStarted(url);
}

void RemoteImageCache::abortTooLarge(Pending& pending)
{
    pending.tooLarge = true;
    pending.data.clear();
    if (pending.reply)
        pending.reply->abort();
}

void RemoteImageCache::onReadyRead(const QUrl& url)
{
    const auto found = m_pending.find(url);
    if (found == m_pending.end() || !found->reply || found->tooLarge)
        return;
    QNetworkReply* reply = found->reply;
    if (found->data.size() + reply->bytesAvailable() > kMaxDownloadBytes) {
        abortTooLarge(*found);
        return;
    }
    found->data.append(reply->readAll());
}

void RemoteImageCache::onFinished(const QUrl& url)
{
    const auto found = m_pending.find(url);
    if (found == m_pending.end())
        return;
    Pending pending = std::move(*found);
    m_pending.erase(found);

    QNetworkReply* reply = pending.reply;
    QImage image;
    if (reply && !pending.tooLarge && reply->error() == QNetworkReply::NoError) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 200 && status < 300) {
            if (pending.data.size() + reply->bytesAvailable() <= kMaxDownloadBytes) {
                pending.data.append(reply->readAll());
                image = decodeImage(pending.data);
            }
        }
    }
    if (reply)
        reply->deleteLater();

    if (!image.isNull()) {
        const qsizetype costKiB = std::max<qsizetype>(1, image.sizeInBytes() / 1024);
        m_images.insert(url, new QImage(image), static_cast<int>(std::min<qsizetype>(costKiB, kCacheKiB)));
    }
    emit requestFinished(url, !image.isNull());

    for (const Waiter& waiter : pending.waiters) {
        if (waiter.receiver)
            waiter.done(image);
    }
}

void RemoteImageCache::resetForTesting()
{
    const QHash<QUrl, Pending> abandoned = std::exchange(m_pending, {});
    for (const Pending& pending : abandoned) {
        if (pending.reply) {
            pending.reply->disconnect(this);
            pending.reply->abort();
            pending.reply->deleteLater();
        }
    }
    m_images.clear();
    m_networkRequests = 0;
}

#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// The process-wide store of downloaded images. Images are kept by address;
// any number of views asking for one address while it downloads share a
// single request. Addresses come from the network and are untrusted: only
// http and https are fetched, downloads are capped, and only common raster
// formats are decoded.
class RemoteImageCache : public QObject {
    Q_OBJECT
public:
    // Called with the image, or with a null image when the load failed.
    using Callback = std::function<void(const QImage&)>;

    static constexpr qint64 kMaxDownloadBytes = 10 * 1024 * 1024;
    static constexpr int kTransferTimeoutMs = 30 * 1000;
    static constexpr int kMaxImageSide = 8192;

    // The cache the views share: the newest one made by makeShared() that is
    // still alive. The application object owns that one and ends it, with its
    // network thread, before the Qt application object goes. Where nothing
    // owns one (a test or a bench on its own), the first call makes one,
    // ended as the Qt application object starts going down. Once an owned
    // cache has ended, nothing makes one again: null then, unless one made
    // before it is still there.
    static RemoteImageCache* shared();
    // A cache for the caller to own, which shared() gives out while it lives.
    static std::unique_ptr<RemoteImageCache> makeShared();
    ~RemoteImageCache() override;

    static bool isSupportedUrl(const QUrl& url);

    std::optional<QImage> cached(const QUrl& url) const;

    // Starts the request for url, or joins the one in flight. The callback
    // runs on the main thread and only while receiver is alive; it never runs
    // from inside this call.
    void request(const QUrl& url, QObject* receiver, Callback done);

    int inFlightCount() const { return static_cast<int>(m_pending.size()); }
    int networkRequestCount() const { return m_networkRequests; }

    // Forgets every image and abandons every request, so that each test
    // starts from an empty cache.
    void resetForTesting();

signals:
    void requestStarted(const QUrl& url);
    void requestFinished(const QUrl& url, bool succeeded);

private:
    explicit RemoteImageCache(QObject* parent = nullptr);

    struct Waiter {
        QPointer<QObject> receiver;
        Callback done;
    };
    struct Pending {
        QPointer<QNetworkReply> reply;
        QByteArray data;
        bool tooLarge = false;
        QList<Waiter> waiters;
    };

    void startRequest(const QUrl& url);
    void onReadyRead(const QUrl& url);
    void onFinished(const QUrl& url);
    void abortTooLarge(Pending& pending);

    QNetworkAccessManager* m_manager = nullptr;
    QCache<QUrl, QImage> m_images;
    QHash<QUrl, Pending> m_pending;
    int m_networkRequests = 0;
};

#include "Views/Shared/IconLoadStates.h"

#include "platform/RemoteImageCache.h"

#include <QAbstractItemModel>

RemoteImageView::Phase IconLoadStates::phase(const QAbstractItemModel* model, const QUrl& url, QImage* image,
                                             const QList<int>& roles)
{
    // No cache while the application goes down: nothing can load then.
    RemoteImageCache* cache = RemoteImageCache::shared();
    if (!cache || !RemoteImageCache::isSupportedUrl(url) || m_failed.contains(url))
        return RemoteImageView::Phase::Failure;
    if (const auto cached = cache->cached(url)) {
        if (image)
            *image = *cached;
        return RemoteImageView::Phase::Success;
    }
    if (m_requested.contains(url))
        return RemoteImageView::Phase::Empty;
    m_requested.insert(url);
    auto* owner = const_cast<QAbstractItemModel*>(model);
    // The callback runs only while the model, and so this object, lives (the
    // model is the receiver).
    cache->request(url, owner, [this, owner, url, roles](const QImage& loaded) {
        m_requested.remove(url);
        if (loaded.isNull())
            m_failed.insert(url);
        if (const int rows = owner->rowCount(); rows > 0)
            emit owner->dataChanged(owner->index(0, 0), owner->index(rows - 1, 0), roles);
    });
    return RemoteImageView::Phase::Empty;
}

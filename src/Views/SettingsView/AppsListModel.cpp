#include "Views/SettingsView/AppsListModel.h"

#include "platform/RemoteImageCache.h"

AppsListModel::AppsListModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

void AppsListModel::setApps(const QList<AppData::Application>& apps)
{
    beginResetModel();
    m_apps = apps;
    m_waiting.clear();
    endResetModel();
}

int AppsListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_apps.size());
}

QVariant AppsListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return m_apps.at(index.row()).name;
    case Qt::DecorationRole: {
        const QImage image = icon(index.row());
        return image.isNull() ? QVariant() : QVariant(image);
    }
    default:
        return {};
    }
}

QUrl AppsListModel::iconURL(int row) const
{
    const QUrl url(m_apps.at(row).icon, QUrl::StrictMode);
    return RemoteImageCache::isSupportedUrl(url) ? url : QUrl();
}

QImage AppsListModel::icon(int row) const
{
    const QUrl url = iconURL(row);
    if (url.isEmpty() || m_failed.contains(url))
        return {};
    if (const auto cached = RemoteImageCache::shared()->cached(url))
        return *cached;
    QList<int>& rows = m_waiting[url];
    if (!rows.contains(row))
        rows.append(row);
    if (rows.size() == 1) {
        // The model owns the wait: the answer is dropped once it is gone.
        auto* self = const_cast<AppsListModel*>(this);
        RemoteImageCache::shared()->request(url, self,
                                            [self, url](const QImage& image) { self->iconArrived(url, image); });
    }
    return {};
}

void AppsListModel::iconArrived(const QUrl& url, const QImage& image)
{
    if (image.isNull())
        m_failed.insert(url);
    for (int row : m_waiting.take(url)) {
        if (row < m_apps.size())
            emit dataChanged(index(row), index(row), {Qt::DecorationRole});
    }
}

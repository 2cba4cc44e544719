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
    QImage image;
    m_icons.phase(this, iconURL(row), &image, {Qt::DecorationRole});
    return image;
}

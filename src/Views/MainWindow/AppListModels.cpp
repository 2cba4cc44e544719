#include "Views/MainWindow/AppListModels.h"

#include "ViewModels/AppSearchViewModel.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "models/StorefrontOption.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"

namespace {
// The load phase of an icon: done when the image is in the cache, failed when
// it cannot be had; otherwise its download starts (once) and the rows showing
// it are announced when it ends either way.
template <typename Model>
RemoteImageView::Phase iconPhase(const Model* model, const QUrl& url, IconLoads& loads, QImage* image)
{
    if (!RemoteImageCache::isSupportedUrl(url) || loads.failed.contains(url))
        return RemoteImageView::Phase::Failure;
    if (const auto cached = RemoteImageCache::shared()->cached(url)) {
        if (image)
            *image = *cached;
        return RemoteImageView::Phase::Success;
    }
    if (loads.requested.contains(url))
        return RemoteImageView::Phase::Empty;
    loads.requested.insert(url);
    QPointer<const Model> guard(model);
    // The loads belong to the model, and the callback runs only while it lives.
    IconLoads* owned = &loads;
    RemoteImageCache::shared()->request(url, const_cast<Model*>(model), [guard, owned, url](const QImage& loaded) {
        if (!guard)
            return;
        auto* self = const_cast<Model*>(guard.data());
        if (loaded.isNull())
            owned->failed.insert(url);
        // One signal for every row: a view repaints what it shows, where
        // looking for the rows with this icon would cost a pass over all of them.
        if (self->rowCount() > 0)
            emit self->dataChanged(self->index(0), self->index(self->rowCount() - 1),
                                   {Qt::DecorationRole, AppListRole::IconPhase});
    });
    return RemoteImageView::Phase::Empty;
}

template <typename Model>
QVariant iconData(const Model* model, const QUrl& url, IconLoads& loads, int role)
{
    QImage image;
    const RemoteImageView::Phase phase = iconPhase(model, url, loads, &image);
    if (role == AppListRole::IconPhase)
        return static_cast<int>(phase);
    return image.isNull() ? QVariant() : QVariant(image);
}
} // namespace

SavedAppsListModel::SavedAppsListModel(SavedAppsViewModel* savedApps, QObject* parent)
    : KeyedListModel(parent)
    , m_savedApps(savedApps)
{
    if (m_savedApps)
        connect(m_savedApps, &SavedAppsViewModel::savedAppsChanged, this, &SavedAppsListModel::reload);
    reload();
}

void SavedAppsListModel::reload()
{
    replaceRows(m_savedApps ? m_savedApps->savedApps() : QList<SavedAppProfile>());
}

QVariant SavedAppsListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const SavedAppProfile& profile = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return profile.app.name;
    case AppListRole::Developer:
    case Qt::AccessibleDescriptionRole:
        return profile.app.developer;
    case AppListRole::Key:
        return profile.dedupKey();
    case AppListRole::Storefront:
        return profile.storefront;
    case Qt::ToolTipRole:
        return QStringLiteral("%1 · %2 %3")
            .arg(profile.app.name, StorefrontOption::flagEmoji(profile.storefront), profile.storefront);
    case Qt::DecorationRole:
    case AppListRole::IconPhase:
        return iconData(this, profile.app.iconURL, m_icons, role);
    default:
        return {};
    }
}

SearchResultsModel::SearchResultsModel(MainViewModel* main, QObject* parent)
    : KeyedListModel(parent)
    , m_main(main)
{
    connect(main->searchModel(), &AppSearchViewModel::resultsChanged, this, &SearchResultsModel::reload);
    connect(main, &MainViewModel::addStatesChanged, this, &SearchResultsModel::refreshStates);
    reload();
}

QString SearchResultsModel::keyOf(const AppInfo& app) const
{
    return QStringLiteral("%1#%2").arg(app.id).arg(rawValue(app.platform));
}

void SearchResultsModel::reload()
{
    if (!m_main)
        return;
    replaceRows(m_main->searchModel()->results());
    m_states.clear();
    for (const AppInfo& app : rows())
        m_states.append(m_main->addState(app));
}

// Announces the rows whose state changed since they were last shown.
void SearchResultsModel::refreshStates()
{
    if (!m_main)
        return;
    m_states.resize(rowCount());
    for (int row = 0; row < rowCount(); ++row) {
        const MainViewModel::AddState state = m_main->addState(rowAt(row));
        if (state != m_states.at(row)) {
            m_states[row] = state;
            emit dataChanged(index(row), index(row), {AppListRole::AddState, Qt::AccessibleDescriptionRole});
        }
    }
}

MainViewModel::AddState SearchResultsModel::addState(int row) const
{
    if (!m_main || row < 0 || row >= rowCount())
        return MainViewModel::AddState::Add;
    return m_main->addState(rowAt(row));
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const AppInfo& app = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return app.name;
    case AppListRole::Developer:
        return app.developer;
    case AppListRole::Key:
        return keyOf(app);
    case AppListRole::AddState:
        return static_cast<int>(addState(index.row()));
    case Qt::AccessibleDescriptionRole:
        switch (addState(index.row())) {
        case MainViewModel::AddState::Add:
            return tr("Add");
        case MainViewModel::AddState::Adding:
            return tr("Adding…");
        case MainViewModel::AddState::Added:
            return tr("Added");
        }
        return {};
    case Qt::DecorationRole:
    case AppListRole::IconPhase:
        return iconData(this, app.iconURL, m_icons, role);
    default:
        return {};
    }
}

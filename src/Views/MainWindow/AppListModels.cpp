#include "Views/MainWindow/AppListModels.h"

#include "ViewModels/AppSearchViewModel.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "models/StorefrontOption.h"

#include <utility>

SavedAppsListModel::SavedAppsListModel(SavedAppsViewModel* savedApps, QObject* parent)
    : QAbstractListModel(parent)
    , m_savedApps(savedApps)
{
    if (m_savedApps) {
        connect(m_savedApps, &SavedAppsViewModel::rowRemoved, this, [this](int row) {
            beginRemoveRows({}, row, row);
            --m_count;
            endRemoveRows();
            m_followed = true;
        });
        connect(m_savedApps, &SavedAppsViewModel::rowInserted, this, [this](int row) {
            beginInsertRows({}, row, row);
            ++m_count;
            endInsertRows();
            m_followed = true;
        });
        connect(m_savedApps, &SavedAppsViewModel::rowReplaced, this, [this](int row) {
            emit dataChanged(index(row), index(row));
            m_followed = true;
        });
        connect(m_savedApps, &SavedAppsViewModel::savedAppsChanged, this, [this] {
            if (!std::exchange(m_followed, false))
                reload();
        });
    }
    reload();
}

void SavedAppsListModel::reload()
{
    const int count = m_savedApps ? int(m_savedApps->savedApps().size()) : 0;
    if (m_count == 0 && count > 0) {
        // The list has arrived: one insert, whatever its length.
        beginInsertRows({}, 0, count - 1);
        m_count = count;
        endInsertRows();
        return;
    }
    // The whole list was read again: the view starts over.
    beginResetModel();
    m_count = count;
    endResetModel();
}

int SavedAppsListModel::rowOfKey(const QString& key) const
{
    return m_savedApps ? m_savedApps->rowOf(key) : -1;
}

QVariant SavedAppsListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_count || !m_savedApps)
        return {};
    const SavedAppProfile& profile = m_savedApps->savedApps().at(index.row());
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
    case AppListRole::IconPhase: {
        QImage image;
        const auto phase = m_icons.phase(this, profile.app.iconURL, &image, {Qt::DecorationRole, AppListRole::IconPhase});
        if (role == AppListRole::IconPhase)
            return static_cast<int>(phase);
        return image.isNull() ? QVariant() : QVariant(image);
    }
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
        return addStateText(addState(index.row()));
    case Qt::DecorationRole:
    case AppListRole::IconPhase:
        return iconData(app.iconURL, role, AppListRole::IconPhase);
    default:
        return {};
    }
}

QString SearchResultsModel::addStateText(MainViewModel::AddState state)
{
    switch (state) {
    case MainViewModel::AddState::Add:
        return tr("Add");
    case MainViewModel::AddState::Adding:
        return tr("Adding…");
    case MainViewModel::AddState::Added:
        return tr("Added");
    }
    return {};
}

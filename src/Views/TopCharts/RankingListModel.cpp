#include "Views/TopCharts/RankingListModel.h"

#include "models/CatalogueID.h"

RankingListModel::RankingListModel(QObject* parent) : KeyedListModel(parent) {}

QVariant RankingListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const AppRanking& ranking = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return ranking.name;
    case Qt::AccessibleTextRole:
        return QStringLiteral("#%1 %2").arg(ranking.rank).arg(ranking.name);
    case Qt::DecorationRole:
    case IconPhaseRole:
        return iconData(ranking.artworkURL, role, IconPhaseRole);
    case RankingRole:
        return QVariant::fromValue(ranking);
    case HighlightedRole:
        return isHighlighted(ranking);
    case SavedRole:
        return isSaved(ranking);
    case AddingRole:
        return isAdding(ranking);
    case AddAccessibleLabelRole:
        return tr("Add %1 to Plovera").arg(ranking.name);
    case LinkAccessibleLabelRole:
        return tr("Open %1 in the App Store").arg(ranking.name);
    default:
        return {};
    }
}

bool RankingListModel::isHighlighted(const AppRanking& ranking) const
{
    // Exact text: "+123" names the same number but is not the open app's id.
    return m_hasHighlight && ranking.id == QString::number(m_highlighted);
}

bool RankingListModel::isSaved(const AppRanking& ranking) const
{
    const auto id = CatalogueID::parse(ranking.id);
    return id && m_saved.contains(*id);
}

void RankingListModel::emitChangedWhere(const std::function<bool(const AppRanking&)>& affected)
{
    for (int row = 0; row < rowCount(); ++row) {
        if (affected(rowAt(row))) {
            const QModelIndex changed = index(row);
            emit dataChanged(changed, changed);
        }
    }
}

void RankingListModel::setHighlightedAppID(qint64 appID)
{
    if (m_hasHighlight && appID == m_highlighted)
        return;
    const QString before = m_hasHighlight ? QString::number(m_highlighted) : QString();
    m_highlighted = appID;
    m_hasHighlight = true;
    const QString after = QString::number(appID);
    emitChangedWhere([&](const AppRanking& r) { return r.id == before || r.id == after; });
}

void RankingListModel::setSavedAppIDs(const QSet<qint64>& ids)
{
    if (ids == m_saved)
        return;
    const QSet<qint64> before = m_saved;
    m_saved = ids;
    emitChangedWhere([&](const AppRanking& r) {
        const auto id = CatalogueID::parse(r.id);
        return id && before.contains(*id) != ids.contains(*id);
    });
}

void RankingListModel::setAdding(const QString& rankingID, bool adding)
{
    if (adding == m_adding.contains(rankingID))
        return;
    if (adding)
        m_adding.insert(rankingID);
    else
        m_adding.remove(rankingID);
    emitChangedWhere([&](const AppRanking& r) { return r.id == rankingID; });
}

#include "Views/TopCharts/RankingListModel.h"

RankingListModel::RankingListModel(QObject* parent) : QAbstractListModel(parent) {}

int RankingListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rankings.size());
}

QVariant RankingListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rankings.size())
        return {};
    const AppRanking& ranking = m_rankings.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return ranking.name;
    case Qt::AccessibleTextRole:
        return QStringLiteral("#%1 %2").arg(ranking.rank).arg(ranking.name);
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
    default:
        return {};
    }
}

std::optional<qint64> RankingListModel::parseID(const QString& id)
{
    QStringView digits(id);
    bool negative = false;
    if (!digits.isEmpty() && (digits.front() == QLatin1Char('+') || digits.front() == QLatin1Char('-'))) {
        negative = digits.front() == QLatin1Char('-');
        digits = digits.mid(1);
    }
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return negative ? -value : value;
}

bool RankingListModel::isHighlighted(const AppRanking& ranking) const
{
    // Exact text: "+123" names the same number but is not the open app's id.
    return m_hasHighlight && ranking.id == QString::number(m_highlighted);
}

bool RankingListModel::isSaved(const AppRanking& ranking) const
{
    const auto id = parseID(ranking.id);
    return id && m_saved.contains(*id);
}

void RankingListModel::setRankings(const QList<AppRanking>& rankings)
{
    bool sameEntries = rankings.size() == m_rankings.size();
    for (qsizetype i = 0; sameEntries && i < rankings.size(); ++i)
        sameEntries = rankings.at(i).id == m_rankings.at(i).id;
    if (!sameEntries) {
        beginResetModel();
        m_rankings = rankings;
        endResetModel();
        return;
    }
    for (qsizetype i = 0; i < rankings.size(); ++i) {
        if (rankings.at(i) == m_rankings.at(i))
            continue;
        m_rankings[i] = rankings.at(i);
        const QModelIndex changed = index(static_cast<int>(i));
        emit dataChanged(changed, changed);
    }
}

void RankingListModel::emitChangedWhere(const std::function<bool(const AppRanking&)>& affected)
{
    for (int row = 0; row < m_rankings.size(); ++row) {
        if (affected(m_rankings.at(row))) {
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
        const auto id = parseID(r.id);
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

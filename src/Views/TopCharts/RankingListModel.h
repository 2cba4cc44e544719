#pragma once

#include "models/AppRanking.h"

#include <QAbstractListModel>
#include <QSet>

#include <functional>
#include <optional>

// The entries of one chart with the workspace state of each: whether it is
// the open app, already saved, or being added. A change of state updates only
// the rows it touches.
class RankingListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        RankingRole = Qt::UserRole + 1, // AppRanking
        HighlightedRole,                // bool
        SavedRole,                      // bool
        AddingRole,                     // bool
        AddAccessibleLabelRole,         // "Add <name> to Plovera"
    };

    explicit RankingListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Keeps the rows when the same entries come again in the same order
    // (updating only those whose values differ), else resets the list.
    void setRankings(const QList<AppRanking>& rankings);
    const QList<AppRanking>& rankings() const { return m_rankings; }

    void setHighlightedAppID(qint64 appID);
    void setSavedAppIDs(const QSet<qint64>& ids);
    void setAdding(const QString& rankingID, bool adding);
    const QSet<QString>& addingIDs() const { return m_adding; }

    bool isHighlighted(const AppRanking& ranking) const;
    bool isSaved(const AppRanking& ranking) const;
    bool isAdding(const AppRanking& ranking) const { return m_adding.contains(ranking.id); }

    // A chart id as a number: optional sign, decimal digits only, no overflow.
    static std::optional<qint64> parseID(const QString& id);

private:
    void emitChangedWhere(const std::function<bool(const AppRanking&)>& affected);

    QList<AppRanking> m_rankings;
    qint64 m_highlighted = 0;
    bool m_hasHighlight = false;
    QSet<qint64> m_saved;
    QSet<QString> m_adding;
};

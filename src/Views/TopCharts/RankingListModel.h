#pragma once

#include "Views/Shared/KeyedListModel.h"
#include "models/AppRanking.h"

#include <QSet>

#include <functional>

// The entries of one chart with the workspace state of each: whether it is
// the open app, already saved, or being added, and the load state of its
// icon. A change of state updates only the rows it touches.
class RankingListModel : public KeyedListModel<AppRanking> {
    Q_OBJECT
public:
    enum Role {
        RankingRole = Qt::UserRole + 1, // AppRanking
        HighlightedRole,                // bool
        SavedRole,                      // bool
        AddingRole,                     // bool
        AddAccessibleLabelRole,         // "Add <name> to Plovera"
        LinkAccessibleLabelRole,        // "Open <name> in the App Store"
        IconPhaseRole,                  // RemoteImageView::Phase of the decoration (a QImage once loaded)
    };

    explicit RankingListModel(QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Brings the rows to a new chart keyed by entry id: entries that stay keep
    // their rows, only changed values are announced.
    void setRankings(const QList<AppRanking>& rankings) { replaceRows(rankings); }
    const QList<AppRanking>& rankings() const { return rows(); }

    void setHighlightedAppID(qint64 appID);
    void setSavedAppIDs(const QSet<qint64>& ids);
    void setAdding(const QString& rankingID, bool adding);
    const QSet<QString>& addingIDs() const { return m_adding; }

    bool isHighlighted(const AppRanking& ranking) const;
    bool isSaved(const AppRanking& ranking) const;
    bool isAdding(const AppRanking& ranking) const { return m_adding.contains(ranking.id); }

private:
    QString keyOf(const AppRanking& ranking) const override { return ranking.id; }
    void emitChangedWhere(const std::function<bool(const AppRanking&)>& affected);

    qint64 m_highlighted = 0;
    bool m_hasHighlight = false;
    QSet<qint64> m_saved;
    QSet<QString> m_adding;
};

#pragma once

#include "Views/Shared/IconLoadStates.h"

#include <QAbstractListModel>
#include <QImage>
#include <QList>
#include <QSet>
#include <QUrl>

// A list model over values with a key each. replaceRows() brings the rows to
// a new list with the fewest signals it can: removals, moves, inserts and
// updates, so views keep their selection, focus and scroll position.
template <typename T>
class KeyedListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    const QList<T>& rows() const { return m_rows; }
    const T& rowAt(int row) const { return m_rows.at(row); }

    int rowOfKey(const QString& key) const
    {
        for (int i = 0; i < m_rows.size(); ++i) {
            if (keyOf(m_rows.at(i)) == key)
                return i;
        }
        return -1;
    }

protected:
    virtual QString keyOf(const T& value) const = 0;

    // The data of a row's icon roles, its load state kept here (see
    // IconLoadStates): the phase for `phaseRole`, else the image once it is here.
    QVariant iconData(const QUrl& url, int role, int phaseRole) const
    {
        QImage image;
        const RemoteImageView::Phase phase = m_icons.phase(this, url, &image, {Qt::DecorationRole, phaseRole});
        if (role == phaseRole)
            return static_cast<int>(phase);
        return image.isNull() ? QVariant() : QVariant(image);
    }

    void replaceRows(const QList<T>& next)
    {
        QSet<QString> wanted;
        for (const T& value : next)
            wanted.insert(keyOf(value));
        // A first fill in one insert, whatever its length.
        if (m_rows.isEmpty() && !next.isEmpty() && wanted.size() == next.size()) {
            beginInsertRows({}, 0, int(next.size()) - 1);
            m_rows = next;
            endInsertRows();
            return;
        }
        // Rows whose key is gone, in runs from the end.
        for (int i = int(m_rows.size()) - 1; i >= 0;) {
            if (wanted.contains(keyOf(m_rows.at(i)))) {
                --i;
                continue;
            }
            int first = i;
            while (first > 0 && !wanted.contains(keyOf(m_rows.at(first - 1))))
                --first;
            beginRemoveRows({}, first, i);
            m_rows.remove(first, i - first + 1);
            endRemoveRows();
            i = first - 1;
        }
        for (int i = 0; i < next.size(); ++i) {
            const QString key = keyOf(next.at(i));
            if (i < m_rows.size() && keyOf(m_rows.at(i)) == key) {
                if (!(m_rows.at(i) == next.at(i))) {
                    m_rows[i] = next.at(i);
                    emit dataChanged(index(i), index(i));
                }
                continue;
            }
            int from = -1;
            for (int j = i + 1; j < m_rows.size(); ++j) {
                if (keyOf(m_rows.at(j)) == key) {
                    from = j;
                    break;
                }
            }
            if (from >= 0) {
                beginMoveRows({}, from, from, {}, i);
                m_rows.move(from, i);
                endMoveRows();
                if (!(m_rows.at(i) == next.at(i))) {
                    m_rows[i] = next.at(i);
                    emit dataChanged(index(i), index(i));
                }
            } else {
                beginInsertRows({}, i, i);
                m_rows.insert(i, next.at(i));
                endInsertRows();
            }
        }
        // Left over when the new list repeats a key.
        if (m_rows.size() > next.size()) {
            beginRemoveRows({}, int(next.size()), int(m_rows.size()) - 1);
            m_rows.resize(next.size());
            endRemoveRows();
        }
    }

private:
    QList<T> m_rows;
    mutable IconLoadStates m_icons;
};

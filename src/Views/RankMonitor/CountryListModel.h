#pragma once

#include "Views/Shared/KeyedListModel.h"
#include "models/StorefrontOption.h"

#include <QSet>
#include <QSortFilterProxyModel>

// Every storefront in the order people look for them (localized,
// case-insensitive by name), each with a mark for whether it is picked.
class CountryListModel : public KeyedListModel<StorefrontOption> {
    Q_OBJECT
public:
    enum Role {
        CodeRole = Qt::UserRole + 1, // QString
        FlagRole,                    // QString
        MarkedRole,                  // bool
    };

    explicit CountryListModel(QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const QSet<QString>& marked() const { return m_marked; }
    void setMarked(const QSet<QString>& codes);
    void toggle(const QString& code);

    // The storefront table sorted by display name with the user's locale's
    // case-insensitive collation; equal names keep table order.
    static QList<StorefrontOption> sortedOptions();

signals:
    void markedChanged();

private:
    QString keyOf(const StorefrontOption& option) const override { return option.code; }

    QSet<QString> m_marked;
};

// Keeps the countries whose name or code contains the query, ignoring case
// (not accents); a blank query keeps them all.
class CountryFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setQuery(const QString& query);
    QString query() const { return m_query; }

    static bool matches(const StorefrontOption& option, const QString& trimmedQuery);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString m_query;
};

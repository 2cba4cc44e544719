#pragma once

#include "Views/Shared/KeyedListModel.h"

#include <QHash>
#include <QIcon>
#include <QStringList>

// The storefronts of the catalogue for the country selector, sorted by
// English region name. Names and flag icons are made when a view first asks
// for a row, so a closed selector costs one row. Rows are keyed by code.
class StorefrontListModel : public KeyedListModel<QString> {
    Q_OBJECT
public:
    static constexpr int kCodeRole = Qt::UserRole + 1;

    explicit StorefrontListModel(QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;

    int rowOfCode(const QString& code) const;
    QString codeAt(int row) const;

    // Every storefront code ordered by English region name, ignoring case and
    // accents; computed once per process on collation keys.
    static const QStringList& codesByRegionName();

private:
    QString keyOf(const QString& code) const override { return code; }

    mutable QHash<int, QIcon> m_icons;
};

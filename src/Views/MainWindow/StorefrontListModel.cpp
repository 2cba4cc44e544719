#include "Views/MainWindow/StorefrontListModel.h"

#include "models/StorefrontOption.h"
#include "Views/Shared/FlagIcon.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <numeric>

StorefrontListModel::StorefrontListModel(QObject* parent)
    : KeyedListModel<QString>(parent)
{
    replaceRows(codesByRegionName());
}

const QStringList& StorefrontListModel::codesByRegionName()
{
    static const QStringList codes = [] {
        const QList<StorefrontOption>& table = StorefrontOption::all();
        QCollator collator{QLocale(QLocale::English, QLocale::UnitedStates)};
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(table.size());
        for (const StorefrontOption& option : table)
            keys.push_back(collator.sortKey(option.displayName()));
        std::vector<int> order(table.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) { return keys[a].compare(keys[b]) < 0; });
        QStringList sorted;
        sorted.reserve(table.size());
        for (int i : order)
            sorted.append(table.at(i).code);
        return sorted;
    }();
    return codes;
}

int StorefrontListModel::rowOfCode(const QString& code) const
{
    return rowOfKey(code.toUpper());
}

QString StorefrontListModel::codeAt(int row) const
{
    return row >= 0 && row < rowCount() ? rowAt(row) : QString();
}

QVariant StorefrontListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const QString code = codeAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        // The name alone, so that typing a letter finds the country.
        return StorefrontOption{code, std::nullopt}.displayName();
    case Qt::DecorationRole: {
        auto it = m_icons.find(index.row());
        if (it == m_icons.end())
            it = m_icons.insert(index.row(), ::flagIcon(code));
        return it.value();
    }
    case kCodeRole:
        return code;
    default:
        return {};
    }
}

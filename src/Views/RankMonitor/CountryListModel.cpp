#include "Views/RankMonitor/CountryListModel.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

CountryListModel::CountryListModel(QObject* parent)
    : KeyedListModel(parent)
{
    replaceRows(sortedOptions());
}

QList<StorefrontOption> CountryListModel::sortedOptions()
{
    QList<StorefrontOption> options = StorefrontOption::all();
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<QPair<QString, StorefrontOption>> named;
    named.reserve(options.size());
    for (const StorefrontOption& option : options)
        named.append({option.displayName(), option});
    std::stable_sort(named.begin(), named.end(), [&collator](const auto& a, const auto& b) {
        return collator.compare(a.first, b.first) < 0;
    });
    options.clear();
    for (const auto& entry : named)
        options.append(entry.second);
    return options;
}

QVariant CountryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const StorefrontOption& option = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return option.displayName();
    case CodeRole:
        return option.code;
    case FlagRole:
        return StorefrontOption::flagEmoji(option.code);
    case MarkedRole:
        return m_marked.contains(option.code);
    default:
        return {};
    }
}

void CountryListModel::setMarked(const QSet<QString>& codes)
{
    if (codes == m_marked)
        return;
    m_marked = codes;
    if (rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1), {MarkedRole});
    emit markedChanged();
}

void CountryListModel::toggle(const QString& code)
{
    if (!m_marked.remove(code))
        m_marked.insert(code);
    const int row = rowOfKey(code);
    if (row >= 0)
        emit dataChanged(index(row), index(row), {MarkedRole});
    emit markedChanged();
}

void CountryFilterModel::setQuery(const QString& query)
{
    if (query == m_query)
        return;
    m_query = query;
    invalidateRowsFilter();
}

bool CountryFilterModel::matches(const StorefrontOption& option, const QString& trimmedQuery)
{
    if (trimmedQuery.isEmpty())
        return true;
    return option.displayName().contains(trimmedQuery, Qt::CaseInsensitive)
        || option.code.contains(trimmedQuery, Qt::CaseInsensitive);
}

bool CountryFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    const StorefrontOption option{index.data(CountryListModel::CodeRole).toString(), std::nullopt};
    return matches(option, m_query.trimmed());
}

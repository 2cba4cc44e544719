#include "Views/MainWindow/StorefrontListModel.h"

#include "models/StorefrontOption.h"

#include <QCollator>
#include <QIconEngine>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

#include <algorithm>
#include <numeric>

namespace {
// Draws an emoji into the icon's rectangle; the colour-emoji font is loaded
// only when the first flag is really painted, and each size is kept once drawn.
class EmojiIconEngine : public QIconEngine {
public:
    explicit EmojiIconEngine(QString emoji)
        : m_emoji(std::move(emoji))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, rendered(rect.size(), ratio));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override { return rendered(size, 1.0); }

    QIconEngine* clone() const override { return new EmojiIconEngine(m_emoji); }
    QString key() const override { return QStringLiteral("EmojiIconEngine"); }

private:
    QPixmap rendered(const QSize& size, qreal ratio)
    {
        const QSize pixels = (QSizeF(size) * ratio).toSize();
        // The application's pixmap cache, which goes with the application.
        const QString cacheKey = QStringLiteral("emoji:%1@%2x%3").arg(m_emoji).arg(pixels.width()).arg(pixels.height());
        QPixmap pixmap;
        if (QPixmapCache::find(cacheKey, &pixmap))
            return pixmap;
        pixmap = QPixmap(pixels);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
            QFont font(QStringLiteral("Noto Color Emoji"));
            font.setPixelSize(std::max(1, pixels.height() * 3 / 4));
            painter.setFont(font);
            painter.drawText(QRect(QPoint(0, 0), pixels), Qt::AlignCenter, m_emoji);
        }
        pixmap.setDevicePixelRatio(ratio);
        QPixmapCache::insert(cacheKey, pixmap);
        return pixmap;
    }

    QString m_emoji;
};
} // namespace

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

QIcon StorefrontListModel::flagIcon(const QString& code)
{
    const QString emoji = StorefrontOption::flagEmoji(code);
    return emoji.isEmpty() ? QIcon() : QIcon(new EmojiIconEngine(emoji));
}

void StorefrontListModel::setShowsFlags(bool shows)
{
    if (shows == m_showsFlags)
        return;
    m_showsFlags = shows;
    emit dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
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
        if (!m_showsFlags)
            return {};
        auto it = m_icons.find(index.row());
        if (it == m_icons.end())
            it = m_icons.insert(index.row(), flagIcon(code));
        return it.value();
    }
    case kCodeRole:
        return code;
    default:
        return {};
    }
}

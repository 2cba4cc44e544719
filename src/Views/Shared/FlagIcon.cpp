#include "Views/Shared/FlagIcon.h"

#include "models/StorefrontOption.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

#include <algorithm>

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
        // Nothing to draw into: a painter on an empty pixmap only warns.
        if (pixels.isEmpty())
            return {};
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

QIcon flagIcon(const QString& code)
{
    const QString emoji = StorefrontOption::flagEmoji(code);
    return emoji.isEmpty() ? QIcon() : QIcon(new EmojiIconEngine(emoji));
}

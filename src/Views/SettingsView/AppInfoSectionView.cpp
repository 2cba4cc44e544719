#include "Views/SettingsView/AppInfoSectionView.h"

#include "platform/FocusRing.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QTextLayout>

#include <cmath>

AppInfoSectionView::AppInfoSectionView(int iconSize, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_iconSize(iconSize)
{
}

QFont AppInfoSectionView::nameFont()
{
    return platformFont(TextStyle::Title3, QFont::Bold);
}

int AppInfoSectionView::cellHeight(int nameLines) const
{
    return 2 * kFocusRoom + m_iconSize + kNameSpacing + nameLines * QFontMetrics(nameFont()).lineSpacing();
}

QStringList AppInfoSectionView::nameLines(const QString& name, const QFont& font, int width, int maxLines)
{
    QStringList lines;
    if (name.isEmpty() || width <= 0 || maxLines <= 0)
        return lines;
    QTextLayout layout(name, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1) {
            // The last line there is room for carries the rest, elided.
            lines.append(QFontMetrics(font).elidedText(name.mid(line.textStart()).simplified(), Qt::ElideRight, width));
            break;
        }
        lines.append(name.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}

void AppInfoSectionView::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect cell = option.rect;
    // Icon and name keep clear of the ring at the cell's edge.
    const QRect content = cell.adjusted(kFocusRoom, kFocusRoom, -kFocusRoom, -kFocusRoom);
    const ColorScheme scheme = colorScheme(option.widget);
    painter->save();
    painter->setClipRect(cell, Qt::IntersectClip);
    painter->setRenderHint(QPainter::Antialiasing);

    // The icon: fitted into its frame, centred at the top of the cell.
    const QRectF frame(content.x() + (content.width() - m_iconSize) / 2.0, content.y(), m_iconSize, m_iconSize);
    const QImage image = index.data(Qt::DecorationRole).value<QImage>();
    if (image.isNull()) {
        QPainterPath placeholder;
        placeholder.addRoundedRect(frame, kIconCornerRadius, kIconCornerRadius);
        painter->fillPath(placeholder, SemanticColors::secondaryFill(scheme));
    } else {
        QSizeF fitted = image.size();
        fitted.scale(frame.size(), Qt::KeepAspectRatio);
        const QRectF target(frame.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
        const qreal ratio = painter->device()->devicePixelRatioF();
        const QSize pixels = (fitted * ratio).toSize();
        // Scaled once per image and size, not on every paint.
        const QString key = QStringLiteral("AppInfoSectionView:%1:%2x%3")
                                .arg(image.cacheKey())
                                .arg(pixels.width())
                                .arg(pixels.height());
        QPixmap scaled;
        if (!QPixmapCache::find(key, &scaled)) {
            scaled = QPixmap::fromImage(image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            QPixmapCache::insert(key, scaled);
        }
        scaled.setDevicePixelRatio(ratio);
        painter->save();
        QPainterPath clip;
        clip.addRoundedRect(target, kIconCornerRadius, kIconCornerRadius);
        painter->setClipPath(clip, Qt::IntersectClip);
        painter->drawPixmap(target.topLeft(), scaled);
        painter->restore();
    }

    // The name, centred under the icon, in as many lines as the cell has room for.
    const QFont font = nameFont();
    const QFontMetrics metrics(font);
    const int roomForLines = std::max(1, (content.height() - m_iconSize - kNameSpacing) / metrics.lineSpacing());
    painter->setFont(font);
    painter->setPen(scheme == ColorScheme::Dark ? Qt::white : Qt::black);
    int y = content.y() + m_iconSize + kNameSpacing;
    for (const QString& line : nameLines(index.data(Qt::DisplayRole).toString(), font, content.width(),
                                         std::min(roomForLines, int(kMaxNameLines)))) {
        painter->drawText(QRect(content.x(), y, content.width(), metrics.lineSpacing()),
                          Qt::AlignHCenter | Qt::AlignTop, line);
        y += metrics.lineSpacing();
    }

    if (option.state & QStyle::State_HasFocus)
        drawFocusRing(painter, QRectF(cell), kFocusRingRadius, option.widget);
    painter->restore();
}

QSize AppInfoSectionView::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {m_iconSize + 2 * kFocusRoom, cellHeight(1)};
}

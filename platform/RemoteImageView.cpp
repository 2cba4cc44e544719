#include "platform/RemoteImageView.h"

#include "platform/RemoteImageCache.h"
#include "platform/SemanticColors.h"

#include <QPainter>
#include <QPainterPath>

RemoteImageView::RemoteImageView(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void RemoteImageView::setUrl(const QUrl& url)
{
    if (url == m_url && (hasImage() || m_loading))
        return;
    m_url = url;
    m_image = QImage();
    m_scaled = QPixmap();
    m_loading = false;
    update();

    if (!RemoteImageCache::isSupportedUrl(url))
        return;
    auto* cache = RemoteImageCache::shared();
    if (const auto image = cache->cached(url)) {
        showImage(*image);
        emit loadFinished(true);
        return;
    }
    m_loading = true;
    // The cache only calls back while this view is alive.
    cache->request(url, this, [this, url](const QImage& image) {
        if (url != m_url)
            return;
        m_loading = false;
        showImage(image);
        emit loadFinished(!image.isNull());
    });
}

void RemoteImageView::showImage(const QImage& image)
{
    m_image = image;
    m_scaled = QPixmap();
    update();
}

void RemoteImageView::setCornerRadius(qreal radius)
{
    radius = std::max<qreal>(0, radius);
    if (qFuzzyCompare(radius, m_cornerRadius))
        return;
    m_cornerRadius = radius;
    update();
}

void RemoteImageView::setFixedImageSize(QSize size)
{
    m_fixedSize = size;
    if (size.isValid())
        setFixedSize(size);
    updateGeometry();
}

QSize RemoteImageView::sizeHint() const
{
    return m_fixedSize.isValid() ? m_fixedSize : QSize(64, 64);
}

void RemoteImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();

    if (m_image.isNull()) {
        QPainterPath placeholder;
        placeholder.addRoundedRect(bounds, m_cornerRadius, m_cornerRadius);
        painter.fillPath(placeholder, SemanticColors::secondaryFill(colorScheme(this)));
        return;
    }

    QSizeF fitted = m_image.size();
    fitted.scale(bounds.size(), Qt::KeepAspectRatio);
    const QRectF target(bounds.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);

    const qreal ratio = devicePixelRatioF();
    const QSize devicePixels = (fitted * ratio).toSize();
    if (m_scaled.isNull() || m_scaled.size() != devicePixels) {
        m_scaled = QPixmap::fromImage(m_image.scaled(devicePixels, Qt::IgnoreAspectRatio,
                                                     Qt::SmoothTransformation));
        m_scaled.setDevicePixelRatio(ratio);
    }
    QPainterPath clip;
    clip.addRoundedRect(target, m_cornerRadius, m_cornerRadius);
    painter.setClipPath(clip);
    painter.drawPixmap(target.topLeft(), m_scaled);
}

#include "platform/RemoteImageView.h"

#include "platform/ProgressIndicator.h"
#include "platform/RemoteImageCache.h"
#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <unordered_map>

namespace {
// Aspect fill: the image covers the whole target, centred; the clip cuts the overflow.
QRectF filledRect(const QSizeF& image, const QRectF& bounds)
{
    QSizeF filled = image;
    filled.scale(bounds.size(), Qt::KeepAspectRatioByExpanding);
    return {bounds.center() - QPointF(filled.width() / 2, filled.height() / 2), filled};
}

// A drawing clipped to the rounded `bounds`, on a transparent pixmap of
// `logical` size, kept in `cache` under `key`. The cache starts afresh once it
// holds `budget` pixmaps.
template <typename Key, typename Hash, typename Draw>
QPixmap cachedRoundedPixmap(std::unordered_map<Key, QPixmap, Hash>& cache, qsizetype budget, const Key& key,
                            const QSize& logical, qreal ratio, const QRectF& bounds, qreal cornerRadius, Draw draw)
{
    if (const auto found = cache.find(key); found != cache.end())
        return found->second;
    if (qsizetype(cache.size()) >= budget)
        cache.clear();
    QPixmap pixmap((QSizeF(logical) * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(bounds, cornerRadius, cornerRadius);
    painter.setClipPath(clip);
    draw(painter);
    painter.end();
    cache.emplace(key, pixmap);
    return pixmap;
}

// An image filling `size` with rounded corners, as paintPhase() draws it. Lists
// draw the same icons at every paint and scroll step: each is scaled and
// clipped once.
QPixmap roundedImage(const QImage& image, const QSize& size, qreal cornerRadius, qreal ratio)
{
    struct Key {
        qint64 image;
        QSize size;
        qreal radius;
        qreal ratio;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const noexcept
        {
            return qHashMulti(0, k.image, k.size.width(), k.size.height(), k.radius, k.ratio);
        }
    };
    // Some hundred icons of a long list at its size.
    static std::unordered_map<Key, QPixmap, KeyHash> cache;
    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    return cachedRoundedPixmap(cache, 256, Key{image.cacheKey(), size, cornerRadius, ratio}, size, ratio, bounds,
                               cornerRadius, [&](QPainter& painter) {
                                   painter.setRenderHint(QPainter::SmoothPixmapTransform);
                                   painter.drawImage(filledRect(image.size(), bounds), image);
                               });
}

// The loading phase as paintPhase() draws it, kept per look and spinner step:
// a list shows the same spinner in every row still loading, and each is
// drawn once. `offset` is the sub-pixel part of the target's position.
QPixmap loadingImage(const QSizeF& size, const QPointF& offset, qreal cornerRadius, const QColor& color, int step,
                     qreal ratio)
{
    struct Key {
        QSizeF size;
        QPointF offset;
        qreal radius;
        QRgb color;
        int step;
        qreal ratio;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const noexcept
        {
            return qHashMulti(0, k.size.width(), k.size.height(), k.offset.x(), k.offset.y(), k.radius, k.color,
                              k.step, k.ratio);
        }
    };
    static std::unordered_map<Key, QPixmap, KeyHash> cache;
    const QSize logical(int(std::ceil(offset.x() + size.width())), int(std::ceil(offset.y() + size.height())));
    const QRectF bounds(offset, size);
    return cachedRoundedPixmap(cache, 64, Key{size, offset, cornerRadius, color.rgba(), step, ratio}, logical, ratio,
                               bounds, cornerRadius, [&](QPainter& painter) {
                                   const int side = ProgressIndicator::spinnerSide(ProgressIndicator::Size::Regular);
                                   const QRectF spinner(bounds.center() - QPointF(side / 2.0, side / 2.0),
                                                        QSizeF(side, side));
                                   ProgressIndicator::paintSpinner(&painter, spinner.intersected(bounds), step, color);
                               });
}
} // namespace

RemoteImageView::RemoteImageView(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void RemoteImageView::setShowsPhases(qreal fallbackInset)
{
    m_showsPhases = true;
    m_fallbackInset = std::max<qreal>(0, fallbackInset);
    syncSpinner();
    update();
}

RemoteImageView::Phase RemoteImageView::phase() const
{
    if (hasImage())
        return Phase::Success;
    if (m_loading)
        return Phase::Empty;
    return Phase::Failure;
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

    // No cache while the application goes down: nothing can load then.
    auto* cache = RemoteImageCache::shared();
    if (!cache || !RemoteImageCache::isSupportedUrl(url)) {
        syncSpinner();
        return;
    }
    if (const auto image = cache->cached(url)) {
        showImage(*image);
        syncSpinner();
        emit loadFinished(true);
        return;
    }
    m_loading = true;
    syncSpinner();
    // The cache only calls back while this view is alive.
    cache->request(url, this, [this, url](const QImage& image) {
        if (url != m_url)
            return;
        m_loading = false;
        showImage(image);
        syncSpinner();
        emit loadFinished(!image.isNull());
    });
}

void RemoteImageView::showImage(const QImage& image)
{
    m_image = image;
    m_scaled = QPixmap();
    update();
}

void RemoteImageView::syncSpinner()
{
    const bool spinning = m_showsPhases && m_loading;
    if (spinning && !m_spinner) {
        m_spinner = new ProgressIndicator(ProgressIndicator::Size::Regular, this);
        m_spinner->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_spinner->setGeometry(rect());
    }
    if (m_spinner)
        m_spinner->setVisible(spinning);
}

void RemoteImageView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_spinner)
        m_spinner->setGeometry(rect());
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

void RemoteImageView::paintPhase(QPainter* painter, const QRectF& bounds, Phase phase, const QImage& image,
                                 qreal cornerRadius, qreal fallbackInset, const QColor& fallbackColor,
                                 int spinnerStep)
{
    const QRect whole = bounds.toRect();
    if (phase == Phase::Success && QRectF(whole) == bounds && !image.isNull()) {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(whole.topLeft(), roundedImage(image, whole.size(), cornerRadius, ratio));
        return;
    }
    if (phase == Phase::Empty && painter->worldTransform().type() <= QTransform::TxTranslate && !bounds.isEmpty()) {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPointF origin(std::floor(bounds.x()), std::floor(bounds.y()));
        painter->drawPixmap(origin, loadingImage(bounds.size(), bounds.topLeft() - origin, cornerRadius,
                                                 fallbackColor, spinnerStep, ratio));
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addRoundedRect(bounds, cornerRadius, cornerRadius);
    painter->setClipPath(clip, Qt::IntersectClip);
    switch (phase) {
    case Phase::Success:
        painter->drawImage(filledRect(image.size(), bounds), image);
        break;
    case Phase::Empty: {
        const int side = ProgressIndicator::spinnerSide(ProgressIndicator::Size::Regular);
        const QRectF spinner(bounds.center() - QPointF(side / 2.0, side / 2.0), QSizeF(side, side));
        ProgressIndicator::paintSpinner(painter, spinner.intersected(bounds), spinnerStep, fallbackColor);
        break;
    }
    case Phase::Failure: {
        const QRectF inset = bounds.adjusted(fallbackInset, fallbackInset, -fallbackInset, -fallbackInset);
        const int side = static_cast<int>(std::floor(std::min(inset.width(), inset.height())));
        if (side > 0) {
            const QPixmap symbol =
                symbolPixmap(QStringLiteral("app.fill"), fallbackColor, side, painter->device()->devicePixelRatioF());
            painter->drawPixmap(QPointF(inset.center().x() - side / 2.0, inset.center().y() - side / 2.0), symbol);
        }
        break;
    }
    }
    painter->restore();
}

void RemoteImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();

    if (m_showsPhases) {
        const Phase current = phase();
        // The spinner child animates the loading phase by itself.
        if (current == Phase::Failure)
            paintPhase(&painter, bounds, current, {}, m_cornerRadius, m_fallbackInset,
                       SemanticColors::secondary(colorScheme(this)), 0);
        if (current != Phase::Success)
            return;
        const qreal ratio = devicePixelRatioF();
        const QRectF target = filledRect(m_image.size(), bounds);
        const QSize devicePixels = (target.size() * ratio).toSize();
        if (m_scaled.isNull() || m_scaled.size() != devicePixels) {
            m_scaled = QPixmap::fromImage(
                m_image.scaled(devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            m_scaled.setDevicePixelRatio(ratio);
        }
        QPainterPath clip;
        clip.addRoundedRect(bounds, m_cornerRadius, m_cornerRadius);
        painter.setClipPath(clip);
        painter.drawPixmap(target.topLeft(), m_scaled);
        return;
    }

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

#pragma once

#include <QImage>
#include <QPixmap>
#include <QUrl>
#include <QWidget>

class ProgressIndicator;
class QPainter;

// Shows the image at an address, and a rounded placeholder while it loads or
// when it cannot be had. Images come through the shared RemoteImageCache.
//
// With load phases shown, the view instead spins a progress indicator while
// loading, insets the "app.fill" symbol when there is no image to be had, and
// fills its frame with the image (clipped to the corner radius) once loaded.
class RemoteImageView : public QWidget {
    Q_OBJECT
public:
    enum class Phase { Empty, Success, Failure };

    explicit RemoteImageView(QWidget* parent = nullptr);

    // Switches to the phase look; `fallbackInset` is the margin around the
    // fallback symbol.
    void setShowsPhases(qreal fallbackInset);
    bool showsPhases() const { return m_showsPhases; }
    Phase phase() const;

    // Paints the content of one phase into `bounds`: what the view shows in
    // its phase look, for delegates that draw icons without a widget.
    // `spinnerStep` animates the Empty phase.
    static void paintPhase(QPainter* painter, const QRectF& bounds, Phase phase, const QImage& image,
                           qreal cornerRadius, qreal fallbackInset, const QColor& fallbackColor,
                           int spinnerStep);

    QUrl url() const { return m_url; }
    void setUrl(const QUrl& url);

    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);

    // Fixes the widget to this size; the image is fitted inside it.
    void setFixedImageSize(QSize size);

    bool hasImage() const { return !m_image.isNull(); }
    bool isLoading() const { return m_loading; }
    QImage image() const { return m_image; }

    QSize sizeHint() const override;

signals:
    // Emitted when a load for the current address ends, with or without an image.
    void loadFinished(bool succeeded);

protected:
    void paintEvent(QPaintEvent* event) override;

    void resizeEvent(QResizeEvent* event) override;

private:
    void showImage(const QImage& image);
    void syncSpinner();

    QUrl m_url;
    QImage m_image;
    QPixmap m_scaled;
    bool m_loading = false;
    qreal m_cornerRadius = 8;
    QSize m_fixedSize;
    bool m_showsPhases = false;
    qreal m_fallbackInset = 10;
    ProgressIndicator* m_spinner = nullptr;
};

#pragma once

#include <QImage>
#include <QPixmap>
#include <QUrl>
#include <QWidget>

// Shows the image at an address, and a rounded placeholder while it loads or
// when it cannot be had. Images come through the shared RemoteImageCache.
class RemoteImageView : public QWidget {
    Q_OBJECT
public:
    explicit RemoteImageView(QWidget* parent = nullptr);

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

private:
    void showImage(const QImage& image);

    QUrl m_url;
    QImage m_image;
    QPixmap m_scaled;
    bool m_loading = false;
    qreal m_cornerRadius = 8;
    QSize m_fixedSize;
};

#pragma once

#include <QPixmap>
#include <QString>

// A typed handle on an image compiled into the application's resources: a
// small value naming it by its resource path (":/..."), declared once as a
// constant and passed instead of a bare name. An image that is not there
// draws nothing.
class ToastImageResource {
public:
    explicit ToastImageResource(QString path)
        : m_path(std::move(path))
    {
    }

    // The image named `name` in the resources: ":/name" as given, or with
    // ".png" or ".svg" after it when only such a file is there.
    static ToastImageResource named(const QString& name);

    const QString& path() const { return m_path; }
    bool exists() const;
    // The image fitted into a square of `size` points; null when it is missing.
    QPixmap pixmap(int size, qreal devicePixelRatio = 1.0) const;

private:
    QString m_path;
};

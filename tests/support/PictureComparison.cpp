#include "support/PictureComparison.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace PictureComparison {
namespace {
QImage normalized(const QImage& image)
{
    return image.format() == QImage::Format_ARGB32 ? image : image.convertToFormat(QImage::Format_ARGB32);
}

bool ensureFolderOf(const QString& path)
{
    return QDir().mkpath(QFileInfo(path).absolutePath());
}

// The smallest PNG of `image`: without an alpha channel when every pixel is
// opaque (a window always is), at the strongest compression.
bool savePicture(const QImage& image, const QString& path)
{
    if (!ensureFolderOf(path))
        return false;
    const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    const bool hasTranslucency = opaque.convertToFormat(QImage::Format_ARGB32) != image;
    return (hasTranslucency ? image : opaque).save(path, "PNG", 0);
}

QString percent(double share)
{
    return QString::number(share * 100, 'f', 3) + QLatin1Char('%');
}
} // namespace

Difference difference(const QImage& approved, const QImage& actual)
{
    Difference result;
    if (approved.size() != actual.size()) {
        result.sizeDiffers = true;
        return result;
    }
    const QImage before = normalized(approved);
    const QImage after = normalized(actual);
    result.totalPixels = qint64(after.width()) * after.height();
    result.image = QImage(after.size(), QImage::Format_ARGB32);
    for (int y = 0; y < after.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(after.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(result.image.scanLine(y));
        for (int x = 0; x < after.width(); ++x) {
            const int change = std::max({std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                                         std::abs(qBlue(a[x]) - qBlue(b[x])), std::abs(qAlpha(a[x]) - qAlpha(b[x]))});
            result.largestChange = std::max(result.largestChange, change);
            if (change > kChannelTolerance) {
                ++result.changedPixels;
                out[x] = qRgb(255, 0, 255);
            } else {
                // The approved picture, faded, so that the changes stand out where they are.
                const int grey = 255 - (255 - qGray(a[x])) * qAlpha(a[x]) / 255 / 4;
                out[x] = qRgb(grey, grey, grey);
            }
        }
    }
    return result;
}

Folders defaultFolders()
{
    return {QStringLiteral(PLOVERA_APPROVED_PICTURES_DIR), QStringLiteral(PLOVERA_PICTURE_FAILURES_DIR)};
}

bool approving()
{
    return qEnvironmentVariableIntValue("PLOVERA_APPROVE_PICTURES") == 1;
}

QString check(const QImage& rendered, const QString& name, const Folders& folders)
{
    const QImage actual = normalized(rendered);
    const QString approvedFile = folders.approved + QLatin1Char('/') + name + QStringLiteral(".png");
    const auto failurePath = [&folders, &name](const char* suffix) {
        return folders.failures + QLatin1Char('/') + name + QLatin1Char('-') + QLatin1String(suffix) + QStringLiteral(".png");
    };
    const QImage approved(approvedFile);
    Difference diff;
    if (approved.isNull())
        diff.sizeDiffers = true;
    else
        diff = difference(approved, actual);
    if (!approved.isNull() && diff.withinTolerance())
        return {};

    if (approving()) {
        // Only pictures that really changed are rewritten: the others keep their bytes.
        if (savePicture(actual, approvedFile))
            return {};
        return QStringLiteral("picture %1: cannot write %2").arg(name, approvedFile);
    }

    const QString actualFile = failurePath("actual");
    const bool wroteActual = savePicture(actual, actualFile);
    const QString written = wroteActual ? QStringLiteral("the render is %1").arg(actualFile)
                                        : QStringLiteral("the render could not be written to %1").arg(actualFile);
    if (approved.isNull())
        return QStringLiteral("picture %1: there is no approved picture %2 (%3). If the render is right, run "
                              "scripts/approve-pictures, look at the new picture and commit it.")
            .arg(name, approvedFile, written);
    if (diff.sizeDiffers)
        return QStringLiteral("picture %1: the render is %2x%3, the approved picture %4x%5 (%6). If the change is "
                              "meant, run scripts/approve-pictures.")
            .arg(name)
            .arg(actual.width())
            .arg(actual.height())
            .arg(approved.width())
            .arg(approved.height())
            .arg(written);
    const QString differenceFile = failurePath("difference");
    savePicture(diff.image, differenceFile);
    return QStringLiteral("picture %1 differs from %2: %3 of %4 pixels (%5) changed by more than %6 levels, "
                          "at most %7 allowed (%8); largest change %9 levels; %10, the changes in magenta in %11. "
                          "If the change is meant, run scripts/approve-pictures.")
        .arg(name, approvedFile)
        .arg(diff.changedPixels)
        .arg(diff.totalPixels)
        .arg(percent(diff.changedShare()))
        .arg(kChannelTolerance)
        .arg(qint64(kChangedShare * double(diff.totalPixels)))
        .arg(percent(kChangedShare))
        .arg(diff.largestChange)
        .arg(written, differenceFile);
}

} // namespace PictureComparison

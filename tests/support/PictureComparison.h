#pragma once

// Renders of the screens compared with approved pictures kept in the
// repository (tests/approved/<name>.png), so that a change that alters a
// screen it did not mean to touch fails the suite, whichever screen it was.
// With PLOVERA_APPROVE_PICTURES=1 the renders are written as the approved set
// instead of being compared (scripts/approve-pictures).

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTest>

namespace PictureComparison {

// A pixel has changed when one of its channels (alpha too) moved by more than
// this many levels of 255. The Debug, RelWithDebInfo and sanitizer builds
// draw every approved picture to the same pixels (measured: no pixel differs),
// so this only absorbs rounding; a colour moved by 10 levels is well past it.
inline constexpr int kChannelTolerance = 3;

// A render matches when at most this share of its pixels changed: 1 in
// 20,000. Measured: one short section title recoloured by 10 levels ("OUR
// APPS", 10 px type, on the settings sheet) changes 237 of its 446,400
// pixels, about 1 in 1,900; the top charts' 7-letter "Country" title, 115 of
// 524,800, about 1 in 4,600. Both fail by a wide margin.
inline constexpr double kChangedShare = 1.0 / 20000;

struct Difference {
    bool sizeDiffers = false;
    qint64 changedPixels = 0;
    qint64 totalPixels = 0;
    int largestChange = 0; // in levels of 255, over every channel
    QImage image;          // the approved picture faded, changed pixels in magenta

    double changedShare() const { return totalPixels ? double(changedPixels) / double(totalPixels) : 1.0; }
    bool withinTolerance() const { return !sizeDiffers && changedShare() <= kChangedShare; }
};

// How far `actual` is from `approved`, pixel by pixel.
Difference difference(const QImage& approved, const QImage& actual);

// Where the approved pictures are kept and where mismatching renders go.
struct Folders {
    QString approved;
    QString failures;
};
// tests/approved and the build's picture-failures.
Folders defaultFolders();
bool approving();

// Compares the render `actual` with the approved picture `name`. Empty when
// they match; otherwise what went wrong, naming the picture, with the render
// and a difference image written under the build's picture-failures folder.
// A missing approved picture is a mismatch too, with how to approve it. In
// approving mode a render that does not match is written as the approved one.
QString check(const QImage& actual, const QString& name, const Folders& folders = defaultFolders());

} // namespace PictureComparison

// Fails the test with every mismatch of `failures` (a list of check() results).
#define PICTURES_MATCH(failures)                                                                                  \
    do {                                                                                                          \
        const QStringList pictureFailures_ = (failures);                                                          \
        QVERIFY2(pictureFailures_.isEmpty(), qPrintable(pictureFailures_.join(QLatin1Char('\n'))));               \
    } while (false)

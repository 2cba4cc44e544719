#pragma once

// What the picture tests share: a steady world to draw in (style, font,
// locale, time zone, clock, frozen spinners, no motion) and the render of a
// screen in light and dark compared with its approved pictures.

#include "support/PictureComparison.h"
#include "support/ScreenFixtures.h"

#include "platform/AccessibilitySettings.h"
#include "platform/ProgressIndicator.h"
#include "platform/SemanticColors.h"
#include "platform/WallClock.h"

#include <QAbstractAnimation>
#include <QApplication>
#include <QDateTime>
#include <QFont>
#include <QLocale>
#include <QStringList>
#include <QStyleFactory>
#include <QTest>
#include <QTimeZone>
#include <QWidget>

#include <functional>

namespace PictureScreens {

// The moment every picture is taken at, in the time zone the tests run in:
// "Mar 14, 2026, 9:41 AM".
inline QDateTime fixedNow()
{
    return QDateTime(QDate(2026, 3, 14), QTime(9, 41), QTimeZone::utc());
}

// Before the application object exists: what Qt and ICU read once.
inline void prepareProcess()
{
    qputenv("TZ", "UTC");
    // The style and the scale come from here, not from whoever runs the tests.
    qunsetenv("QT_STYLE_OVERRIDE");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_FONT_DPI");
}

inline void prepareApplication()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The family scripts/setup installs, whatever else the machine has.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("DejaVu Sans")});
    QApplication::setFont(font);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // A caret that does not blink, combo boxes that do not roll open.
    QApplication::setCursorFlashTime(0);
    QApplication::setEffectEnabled(Qt::UI_General, false);
    // Toasts fade in without moving (the toast pictures run the fade to its
    // end), and spinners stand still.
    AccessibilitySettings::instance()->setReduceMotionOverride(true);
    AccessibilitySettings::instance()->setReduceTransparencyOverride(false);
    ProgressIndicator::setFrozenStepForTesting(0);
    WallClock::setForTesting(fixedNow);
}

// Shows `window` and makes it the active window, so that where the focus is
// (and so every focus ring and caret) is the same on every run.
inline void activate(QWidget* window)
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QTRY_COMPARE(QApplication::activeWindow(), window);
}

inline QString schemeName(ColorScheme scheme)
{
    return scheme == ColorScheme::Dark ? QStringLiteral("dark") : QStringLiteral("light");
}

// No animation of a set length runs in `widget`'s window (a line edit's
// clear button fading in, say). Endless ones (busy indicators) never end and
// are held still by other means.
inline bool animationsAtRest(const QWidget* widget)
{
    for (const QAbstractAnimation* animation : widget->window()->findChildren<QAbstractAnimation*>()) {
        if (animation->state() == QAbstractAnimation::Running && animation->totalDuration() >= 0)
            return false;
    }
    return true;
}

// The render of `widget` once its drawing has settled: posted layout and
// paint work done, and two renders in a row, more than an animation frame
// apart, alike.
inline QImage settledGrab(QWidget* widget)
{
    QImage previous;
    for (int attempt = 0; attempt < 40; ++attempt) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QImage image = widget->grab().toImage();
        if (!previous.isNull() && image == previous)
            return image;
        previous = std::move(image);
        QTest::qWait(20);
    }
    return previous;
}

// Shows the screen in light, then in dark (switched live, as the desktop
// would), and compares each render with the approved picture
// <name>-light / <name>-dark. `target` gives the widget to draw, which may
// change with the scheme (a popup reopened, say). Returns the mismatches.
inline QStringList checkBothSchemes(const std::function<QWidget*()>& target, const QString& name)
{
    QStringList failures;
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        ScreenFixtures::applyScheme(scheme);
        QWidget* widget = target();
        if (!widget) {
            failures.append(QStringLiteral("picture %1-%2: nothing to draw").arg(name, schemeName(scheme)));
            continue;
        }
        if (!QTest::qWaitFor([widget] { return animationsAtRest(widget); }))
            failures.append(QStringLiteral("picture %1-%2: an animation did not come to its end").arg(name, schemeName(scheme)));
        const QImage image = settledGrab(widget);
        ScreenFixtures::saveRender(image, name + QLatin1Char('-') + schemeName(scheme));
        const QString failure = PictureComparison::check(image, name + QLatin1Char('-') + schemeName(scheme));
        if (!failure.isEmpty())
            failures.append(failure);
    }
    return failures;
}

inline QStringList checkBothSchemes(QWidget* widget, const QString& name)
{
    return checkBothSchemes([widget] { return widget; }, name);
}

} // namespace PictureScreens

// QTEST_MAIN for the picture tests: the steady world is set up around the
// application object before the first test runs.
#define PICTURE_TEST_MAIN(TestObject)                                                                             \
    int main(int argc, char* argv[])                                                                              \
    {                                                                                                             \
        PictureScreens::prepareProcess();                                                                         \
        QApplication app(argc, argv);                                                                             \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                  \
        PictureScreens::prepareApplication();                                                                     \
        TestObject tc;                                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                \
        return QTest::qExec(&tc, argc, argv);                                                                     \
    }

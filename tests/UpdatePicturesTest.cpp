#include "Services/Updater/UpdateCheckOutcome.h"
#include "Services/Updater/UpdateUserDriver.h"
#include "platform/AnimationClock.h"
#include "support/PictureScreens.h"

#include <QDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(UpdateCheckOutcome)

namespace {
QWidget* shownTopLevel(const QString& objectName)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    }
    return nullptr;
}
} // namespace

// What "Check for Updates..." shows: the check under way and each outcome,
// compared with the approved pictures.
class UpdatePicturesTest : public QObject {
    Q_OBJECT

    // The busy bar moves with the style's animation clock: held still here.
    std::unique_ptr<ManualAnimationClock> m_clock;
    std::unique_ptr<QWidget> m_window;

private slots:
    void initTestCase() { m_clock = std::make_unique<ManualAnimationClock>(); }
    void cleanupTestCase() { m_clock.reset(); }

    void init()
    {
        ScreenFixtures::applyScheme(ColorScheme::Light);
        // The window the boxes belong to, as the application's would be.
        m_window = std::make_unique<QWidget>();
        m_window->resize(800, 600);
        PictureScreens::activate(m_window.get());
    }

    void cleanup()
    {
        m_window.reset();
        ScreenFixtures::resetScheme();
    }

    void checking()
    {
        StandardUpdateUserDriver driver;
        driver.showCheckInProgress([] {});
        QWidget* window = shownTopLevel(QStringLiteral("CheckingForUpdates"));
        QVERIFY(window);
        QCOMPARE(window->findChild<QProgressBar*>()->maximum(), 0);
        PictureScreens::activate(window);
        PICTURES_MATCH(PictureScreens::checkBothSchemes(window, QStringLiteral("update-checking")));
        driver.dismissCheckInProgress();
    }

    void outcome_data()
    {
        QTest::addColumn<UpdateCheckOutcome>("outcome");
        QTest::newRow("update-up-to-date") << UpdateCheckOutcome{UpdateCheckOutcome::Kind::UpToDate, "1.0.0", "1.0.0", {}, {}};
        QTest::newRow("update-available")
            << UpdateCheckOutcome{UpdateCheckOutcome::Kind::UpdateAvailable, "1.0.0", "1.2.0",
                                  QUrl("https://vantorel.com/plovera/releases/1.2.0"), {}};
        QTest::newRow("update-failed") << UpdateCheckOutcome{UpdateCheckOutcome::Kind::Failed, "1.0.0", {}, {},
                                                             "The update server could not be reached."};
    }

    void outcome()
    {
        QFETCH(UpdateCheckOutcome, outcome);
        StandardUpdateUserDriver driver;
        driver.showOutcome(outcome, [] {});
        QWidget* box = shownTopLevel(QStringLiteral("UpdateCheckOutcome"));
        QVERIFY(box);
        PictureScreens::activate(box);
        PICTURES_MATCH(PictureScreens::checkBothSchemes(box, QString::fromLatin1(QTest::currentDataTag())));
        box->close();
    }
};

PICTURE_TEST_MAIN(UpdatePicturesTest)
#include "UpdatePicturesTest.moc"

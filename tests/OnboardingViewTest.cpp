#include "Services/Settings/AppSettings.h"
#include "platform/LineLimitLabel.h"
#include "Views/Onboarding/OnboardingView.h"
#include "platform/SemanticColors.h"
#include "models/SettingsKeys.h"
#include "platform/UserDefaults.h"
#include "support/ScreenFixtures.h"

#include <QDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
UserDefaults* suite()
{
    return UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName));
}

const QString kFirstTime = QString::fromLatin1(kIsFirstTimeKey);

// A view the size of the main window, shown, with its sheet up.
struct Presented {
    std::unique_ptr<OnboardingView> view;
    QDialog* sheet = nullptr;
    QPushButton* continueButton = nullptr;
};

std::unique_ptr<OnboardingView> shownView(QList<Feature> features = defaultOnboardingFeatures())
{
    auto view = std::make_unique<OnboardingView>(
        std::move(features),
        Binding<bool>::of(AppSettings::shared(), &AppSettings::isFirstTime, &AppSettings::setIsFirstTime));
    view->resize(1280, 860);
    view->show();
    return view;
}

bool present(Presented& presented, QList<Feature> features = defaultOnboardingFeatures())
{
    presented.view = shownView(std::move(features));
    if (!QTest::qWaitFor([&] { return presented.view->sheet() && presented.view->sheet()->isVisible(); }))
        return false;
    presented.sheet = presented.view->sheet();
    presented.continueButton = presented.sheet->findChild<QPushButton*>("continueButton");
    return presented.continueButton != nullptr;
}

QWidget* rowTitled(QDialog* sheet, const QString& title)
{
    for (auto* label : sheet->findChildren<LineLimitLabel*>("featureTitle")) {
        if (label->text() == title)
            return label->parentWidget()->parentWidget();
    }
    return nullptr;
}
} // namespace

class OnboardingViewTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        suite()->remove(kFirstTime);
        setColorSchemeOverride(std::nullopt);
    }

    void sheetOpensWhenFlagAbsent()
    {
        Presented presented;
        QVERIFY(present(presented));
        QDialog* sheet = presented.sheet;
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QVERIFY(presented.view->isShowingOnboarding());
        QCOMPARE(sheet->findChildren<QWidget*>("featureRow").size(), 5);
        QCOMPARE(sheet->focusWidget(), presented.continueButton);
        QVERIFY(QTest::qWaitForWindowActive(sheet));
        QCOMPARE(ScreenFixtures::stopsWithoutVisibleFocus(sheet), QStringList());
        // The sheet fits the main window.
        QVERIFY(sheet->width() <= 1280 && sheet->height() <= 860);
        QVERIFY(!suite()->contains(kFirstTime));
    }

    void sheetCannotBeDismissedOtherwise()
    {
        Presented presented;
        QVERIFY(present(presented));
        QDialog* sheet = presented.sheet;

        QTest::keyClick(sheet, Qt::Key_Escape);
        QTest::keyClick(presented.continueButton, Qt::Key_Escape);
        QVERIFY(!sheet->close());
        sheet->reject();
        QTest::mouseClick(presented.view.get(), Qt::LeftButton, {}, QPoint(5, 5));
        QCoreApplication::processEvents();

        QVERIFY(sheet->isVisible());
        QVERIFY(presented.view->isShowingOnboarding());
        QVERIFY(!suite()->contains(kFirstTime));
    }

    void continueStoresFlagAndCloses_data()
    {
        QTest::addColumn<int>("key"); // 0: a mouse click
        QTest::newRow("mouse") << 0;
        QTest::newRow("return") << int(Qt::Key_Return);
        QTest::newRow("enter") << int(Qt::Key_Enter);
        QTest::newRow("space") << int(Qt::Key_Space);
    }

    void continueStoresFlagAndCloses()
    {
        QFETCH(int, key);
        Presented presented;
        QVERIFY(present(presented));
        QSignalSpy stored(suite(), &UserDefaults::valueChanged);
        QSignalSpy showing(presented.view.get(), &OnboardingView::showingOnboardingChanged);

        if (key == 0)
            QTest::mouseClick(presented.continueButton, Qt::LeftButton);
        else
            QTest::keyClick(presented.sheet->focusWidget(), Qt::Key(key));

        QTRY_VERIFY(!presented.sheet->isVisible());
        QCOMPARE(suite()->boolValue(kFirstTime, true), false);
        QCOMPARE(stored.count(), 1);
        QCOMPARE(showing.count(), 1);
        QVERIFY(!presented.view->isShowingOnboarding());
        QVERIFY(presented.view->isClosingOnboarding());
    }

    void continueSurvivesRestart()
    {
        Presented presented;
        QVERIFY(present(presented));
        presented.continueButton->click();
        presented.view.reset();

        // A fresh process reads the suite from disk, and shows no sheet.
        UserDefaults::resetForTesting();
        QCOMPARE(suite()->boolValue(kFirstTime, true), false);
        auto view = shownView();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QCoreApplication::processEvents();
        QVERIFY(!view->sheet());
        QVERIFY(!view->isShowingOnboarding());
    }

    void viewReplacedWhileContinuing()
    {
        // The application swaps the window content as soon as the setting changes.
        Presented presented;
        QVERIFY(present(presented));
        QPointer<QDialog> sheet = presented.sheet;
        connect(suite(), &UserDefaults::valueChanged, presented.view.get(),
                [&presented] { presented.view.reset(); });
        presented.continueButton->click();
        QVERIFY(!presented.view);
        QVERIFY(!sheet);
        QCOMPARE(suite()->boolValue(kFirstTime, true), false);
    }

    void rowsLayOutIconsAndLongDescriptions()
    {
        const QString longText = QString("Every storefront tells a different story about an app. ").repeated(8);
        Presented presented;
        QVERIFY(present(presented, {Feature("Plain", "Fits on one line"), Feature("Long", longText, QString("globe"))}));
        QWidget* plain = rowTitled(presented.sheet, "Plain");
        QWidget* pictured = rowTitled(presented.sheet, "Long");
        QVERIFY(plain && pictured);
        QVERIFY(!plain->findChild<QWidget*>("featureIcon"));
        QVERIFY(pictured->findChild<QWidget*>("featureIcon"));
        // The icon pushes its row's title aside.
        auto titleX = [](QWidget* row) { return row->findChild<LineLimitLabel*>("featureTitle")->mapTo(row, QPoint(0, 0)).x(); };
        QVERIFY(titleX(pictured) >= titleX(plain) + 40);

        // Descriptions stop at three lines, the last one cut with an ellipsis.
        auto* longDescription = pictured->findChild<LineLimitLabel*>("featureDescription");
        auto* shortDescription = plain->findChild<LineLimitLabel*>("featureDescription");
        QTRY_VERIFY(longDescription->width() > 100);
        const QStringList lines = longDescription->displayedLines();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.last().endsWith(QChar(0x2026)));
        const int lineHeight = QFontMetrics(longDescription->font()).lineSpacing();
        QVERIFY(longDescription->height() >= 3 * lineHeight && longDescription->height() < 4 * lineHeight);
        QCOMPARE(shortDescription->displayedLines(), QStringList{"Fits on one line"});
    }

    void sizeClassDecidesWidth_data()
    {
        QTest::addColumn<int>("sheetWidth");
        QTest::addColumn<bool>("compact");
        QTest::newRow("regular") << 900 << false;
        QTest::newRow("at the threshold") << OnboardingView::kCompactWidthBelow << false;
        QTest::newRow("compact") << 600 << true;
    }

    void sizeClassDecidesWidth()
    {
        QFETCH(int, sheetWidth);
        QFETCH(bool, compact);
        Presented presented;
        QVERIFY(present(presented));
        presented.sheet->resize(sheetWidth, presented.sheet->height());
        QTRY_COMPARE(presented.sheet->width(), sheetWidth);
        QCOMPARE(presented.view->isCompact(), compact);

        auto* list = presented.sheet->findChild<QScrollArea*>("featureList");
        auto* column = presented.sheet->findChild<QWidget*>("featureColumn");
        const int available = list->viewport()->width();
        QTRY_COMPARE(column->width(), compact ? available : std::min(available, 600));
        QCOMPARE(column->x(), (available - column->width()) / 2);
    }

    void theListsFocusRingKeepsClearOfItsRows_data()
    {
        QTest::addColumn<bool>("scrolled");
        QTest::addColumn<bool>("dark");
        QTest::newRow("at the top") << false << false;
        QTest::newRow("at the top, dark") << false << true;
        QTest::newRow("smallest, scrolled half way") << true << false;
    }

    void theListsFocusRingKeepsClearOfItsRows()
    {
        QFETCH(bool, scrolled);
        QFETCH(bool, dark);
        setColorSchemeOverride(dark ? ColorScheme::Dark : ColorScheme::Light);
        Presented presented;
        QVERIFY(present(presented));
        QDialog* sheet = presented.sheet;
        auto* list = sheet->findChild<QScrollArea*>("featureList");
        if (scrolled) {
            sheet->resize(sheet->minimumSize());
            QTRY_VERIFY(list->verticalScrollBar()->maximum() > 0);
            list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() / 2);
        } else {
            QTRY_VERIFY(!list->verticalScrollBar()->isVisible());
        }
        QApplication::setActiveWindow(sheet);
        QTRY_COMPARE(QApplication::activeWindow(), sheet);
        const QImage unfocused = sheet->grab().toImage();
        for (int i = 0; i < 6 && sheet->focusWidget() != list; ++i)
            QTest::keyClick(sheet->focusWidget(), Qt::Key_Tab);
        QCOMPARE(sheet->focusWidget(), list);
        const QImage focused = sheet->grab().toImage();
        QVERIFY(ScreenFixtures::saveRender(focused, QStringLiteral("onboarding-list-focus%1%2")
                                                        .arg(scrolled ? "-scrolled" : "", dark ? "-dark" : "")));

        // The ring shows, and nothing it marks lies on the rows' titles,
        // descriptions and icons where the list shows them.
        const QRect shown(list->viewport()->mapTo(sheet, QPoint()), list->viewport()->size());
        QRegion content;
        for (const char* name : {"featureTitle", "featureDescription", "featureIcon"})
            for (QWidget* part : sheet->findChildren<QWidget*>(name))
                content += QRect(part->mapTo(sheet, QPoint()), part->size()) & shown;
        if (list->verticalScrollBar()->isVisible())
            content += QRect(list->verticalScrollBar()->mapTo(sheet, QPoint()), list->verticalScrollBar()->size());
        const qreal ratio = focused.devicePixelRatio();
        int ring = 0;
        QStringList crossed;
        for (int y = 0; y < sheet->height(); ++y)
            for (int x = 0; x < sheet->width(); ++x) {
                const QPoint at(x, y);
                if (focused.pixel(at * ratio) == unfocused.pixel(at * ratio))
                    continue;
                ++ring;
                if (content.contains(at) && crossed.size() < 5)
                    crossed.append(QStringLiteral("(%1, %2)").arg(x).arg(y));
            }
        QVERIFY(ring > 200);
        QVERIFY2(crossed.isEmpty(), qPrintable(crossed.join(QLatin1Char(' '))));
    }

    void schemeColours_data()
    {
        QTest::addColumn<ColorScheme>("scheme");
        QTest::newRow("light") << ColorScheme::Light;
        QTest::newRow("dark") << ColorScheme::Dark;
    }

    void schemeColours()
    {
        QFETCH(ColorScheme, scheme);
        const bool dark = scheme == ColorScheme::Dark;
        Presented presented;
        QVERIFY(present(presented));
        // Switched while the sheet is up.
        setColorSchemeOverride(scheme);

        const QColor heading = dark ? QColor(Qt::white) : QColor(Qt::black);
        QCOMPARE(presented.sheet->findChild<LineLimitLabel*>("greetingLabel")->textColor(), heading);
        for (auto* title : presented.sheet->findChildren<LineLimitLabel*>("featureTitle"))
            QCOMPARE(title->textColor(), heading);
        for (auto* description : presented.sheet->findChildren<LineLimitLabel*>("featureDescription"))
            QCOMPARE(description->textColor(), SemanticColors::secondary(scheme));

        // The rows fit: no scroll bar once the layout has settled.
        auto* list = presented.sheet->findChild<QScrollArea*>("featureList");
        QTRY_VERIFY(!list->verticalScrollBar()->isVisible());
        const QImage image = presented.sheet->grab().toImage();
        const QColor background = dark ? SemanticColors::windowBackground(scheme) : QColor(Qt::white);
        QCOMPARE(image.pixelColor(4, 4), background);
        QCOMPARE(image.pixelColor(4, image.height() - 4), background);
        QVERIFY(ScreenFixtures::saveRender(image, dark ? "onboarding-dark" : "onboarding-light"));
    }
};

QTEST_MAIN(OnboardingViewTest)
#include "OnboardingViewTest.moc"

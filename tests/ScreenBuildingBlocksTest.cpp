#include "platform/DateFormatting.h"
#include "platform/ProgressIndicator.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"
#include "platform/SegmentedControl.h"
#include "platform/SemanticColors.h"
#include "platform/SheetDialog.h"
#include "platform/ShrinkingLabel.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"
#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {
QImage render(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}
} // namespace

class ScreenBuildingBlocksTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Dates are checked in a known zone; ICU reads it on first use.
        qputenv("TZ", "UTC");
    }

    void imagePhases()
    {
        RemoteImageCache::shared()->resetForTesting();
        FixtureServer server;
        QVERIFY(server.listen());
        // A wide image: filling the square frame must still cover its top and bottom.
        FixtureResponse wide = ScreenFixtures::pngResponse(Qt::red).delayed(100);
        wide.body = ScreenFixtures::pngBytes(Qt::red, QSize(80, 40));
        server.setRoute(QStringLiteral("/wide.png"), wide);
        server.setRoute(QStringLiteral("/missing.png"), FixtureResponse::withStatus(404));

        RemoteImageView view;
        view.setFixedImageSize(QSize(52, 52));
        view.setCornerRadius(12);
        view.setShowsPhases(10);
        view.show();
        view.setUrl(server.baseUrl().resolved(QUrl(QStringLiteral("/wide.png"))));
        QCOMPARE(view.phase(), RemoteImageView::Phase::Empty);
        auto* spinner = view.findChild<ProgressIndicator*>();
        QVERIFY(spinner && spinner->isVisible());
        QTRY_COMPARE(view.phase(), RemoteImageView::Phase::Success);
        QVERIFY(!spinner->isVisible());
        QImage image = render(view);
        QCOMPARE(image.pixelColor(26, 2), QColor(Qt::red));  // filled, not fitted
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);             // clipped corner

        view.setUrl(server.baseUrl().resolved(QUrl(QStringLiteral("/missing.png"))));
        QTRY_COMPARE(view.phase(), RemoteImageView::Phase::Failure);
        image = render(view);
        // The symbol sits inside the inset; the margin stays empty.
        QCOMPARE(qAlpha(image.pixel(5, 26)), 0);
        QVERIFY(qAlpha(image.pixel(26, 26)) > 0);

        // No usable address is a failure at once, not an endless spinner.
        view.setUrl(QUrl(QStringLiteral("file:///etc/passwd")));
        QCOMPARE(view.phase(), RemoteImageView::Phase::Failure);
    }

    void sheetCancelsAndConfirms()
    {
        QWidget owner;
        owner.resize(800, 800);
        owner.show();
        SheetDialog sheet(QStringLiteral("Pick"), &owner);
        QSignalSpy cancelled(&sheet, &SheetDialog::cancelled);
        QSignalSpy confirmed(&sheet, &SheetDialog::confirmed);
        // Escape and the close control cancel.
        for (bool byEscape : {true, false}) {
            sheet.open();
            QTRY_VERIFY(sheet.isVisible());
            if (byEscape)
                QTest::keyClick(&sheet, Qt::Key_Escape);
            else
                sheet.close();
            QVERIFY(!sheet.isVisible());
            QCOMPARE(sheet.result(), int(QDialog::Rejected));
        }
        QCOMPARE(cancelled.count(), 2);

        // Done counts only while it is enabled, whichever way it is reached.
        sheet.open();
        sheet.setDoneEnabled(false);
        QTest::keyClick(&sheet, Qt::Key_Return);
        sheet.accept();
        QVERIFY(sheet.isVisible());
        QCOMPARE(confirmed.count(), 0);
        sheet.setDoneEnabled(true);
        QTest::mouseClick(sheet.doneButton(), Qt::LeftButton);
        QCOMPARE(confirmed.count(), 1);
        QVERIFY(!sheet.isVisible());
    }

    void shrinkingStopsAtTheMinimumScale()
    {
        const QFont font = platformFont(TextStyle::Subheadline, QFont::Medium);
        const QString text = QStringLiteral("Health & Fitness");
        const int natural = QFontMetrics(font).horizontalAdvance(text);
        QCOMPARE(ShrinkingLabel::fittedFont(font, text, natural + 5, 0.75).pixelSize(), font.pixelSize());
        const QFont squeezed = ShrinkingLabel::fittedFont(font, text, natural * 9 / 10, 0.75);
        QVERIFY(squeezed.pixelSize() < font.pixelSize());
        QVERIFY(QFontMetrics(squeezed).horizontalAdvance(text) <= natural * 9 / 10);
        const QFont floor = ShrinkingLabel::fittedFont(font, text, 5, 0.75);
        QVERIFY(floor.pixelSize() >= font.pixelSize() * 0.75 - 0.5);
    }

    void segmentedControlPicksByClickAndKeys()
    {
        SegmentedControl control;
        control.setTitle(QStringLiteral("Chart"));
        control.setSegments({QStringLiteral("Top Free"), QStringLiteral("Top Paid"), QStringLiteral("Top Grossing")});
        control.resize(control.sizeHint());
        control.show();
        QSignalSpy activated(&control, &SegmentedControl::activated);
        QVERIFY(control.segmentRect(0).left() > QFontMetrics(control.font()).horizontalAdvance(QStringLiteral("Chart")));
        QTest::mouseClick(&control, Qt::LeftButton, {}, control.segmentRect(2).center());
        QCOMPARE(control.currentIndex(), 2);
        QTest::keyClick(&control, Qt::Key_Right);
        QCOMPARE(control.currentIndex(), 2);
        QTest::keyClick(&control, Qt::Key_Left);
        QCOMPARE(control.currentIndex(), 1);
        QCOMPARE(activated.count(), 3);
        control.setCurrentIndex(0);
        QCOMPARE(activated.count(), 3);
    }

    // A click leaves the arrow keys to the control but draws no ring; Tab does.
    void segmentedControlRingsForKeyboardFocusOnly()
    {
        SegmentedControl control;
        control.setSegments({QStringLiteral("Top Free"), QStringLiteral("Top Paid")});
        control.resize(control.sizeHint());
        control.show();
        QApplication::setActiveWindow(&control);
        QTRY_COMPARE(QApplication::activeWindow(), &control);
        control.clearFocus();
        const QImage plain = render(control);
        QTest::mouseClick(&control, Qt::LeftButton, {}, control.segmentRect(1).center());
        QTRY_VERIFY(control.hasFocus());
        QTest::keyClick(&control, Qt::Key_Left);
        QCOMPARE(control.currentIndex(), 0);
        QCOMPARE(render(control), plain);
        control.clearFocus();
        control.setFocus(Qt::TabFocusReason);
        QVERIFY(render(control) != plain);
    }

    void datesInTheUsersLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("style");
        QTest::addColumn<QStringList>("parts");
        const int abbreviated = int(DateFormatting::DateStyle::Abbreviated);
        const int medium = int(DateFormatting::DateStyle::Medium);
        QTest::newRow("en_US abbreviated") << "en_US" << abbreviated << QStringList{"Dec 6, 2026", "6:50", "PM"};
        QTest::newRow("en_US medium") << "en_US" << medium << QStringList{"Dec 6, 2026", "6:50", "PM"};
        QTest::newRow("de_DE medium") << "de_DE" << medium << QStringList{"06.12.2026", "18:50"};
    }

    void datesInTheUsersLocale()
    {
        QFETCH(QString, locale);
        QFETCH(int, style);
        QFETCH(QStringList, parts);
        const QDateTime moment(QDate(2026, 12, 6), QTime(18, 50, 30), Qt::UTC);
        const QString text = DateFormatting::dateTime(moment, DateFormatting::DateStyle(style), QLocale(locale));
        for (const QString& part : parts)
            QVERIFY2(text.contains(part), qPrintable(text));
        QVERIFY(!text.contains(QLatin1String(":30")));
        QCOMPARE(DateFormatting::dateTime(QDateTime(), DateFormatting::DateStyle(style)), QString());
    }
};

QTEST_MAIN(ScreenBuildingBlocksTest)
#include "ScreenBuildingBlocksTest.moc"

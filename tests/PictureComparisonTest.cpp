#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"
#include "support/PictureComparison.h"
#include "support/PictureScreens.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A page the size of the settings sheet, with one short section title in
// the sheet's type and colour.
QImage pageWithTitle(const QColor& titleColour)
{
    QImage page(620, 720, QImage::Format_ARGB32);
    page.fill(SemanticColors::windowBackground(ColorScheme::Light));
    QPainter painter(&page);
    painter.setFont(platformFont(TextStyle::Footnote, QFont::DemiBold));
    painter.setPen(titleColour);
    painter.drawText(QPoint(28, 480), QStringLiteral("OUR APPS"));
    return page;
}

QColor shifted(const QColor& colour, int levels)
{
    return QColor(std::clamp(colour.red() + levels, 0, 255), std::clamp(colour.green() + levels, 0, 255),
                  std::clamp(colour.blue() + levels, 0, 255), colour.alpha());
}
} // namespace

// The comparer of the picture tests: what it lets through and what it does
// not, and what it leaves behind when a picture does not match.
class PictureComparisonTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    PictureComparison::Folders m_folders;

private slots:
    void initTestCase()
    {
        // Run among the others with approving on, this test must still compare.
        qunsetenv("PLOVERA_APPROVE_PICTURES");
        QVERIFY(m_folder.isValid());
        m_folders = {m_folder.filePath(QStringLiteral("approved")), m_folder.filePath(QStringLiteral("failures"))};
    }

    void tenLevelsAreAlwaysSeen_data()
    {
        QTest::addColumn<bool>("wholeBackground");
        QTest::addColumn<int>("levels");
        QTest::addColumn<bool>("matches");
        QTest::newRow("background, rounding") << true << PictureComparison::kChannelTolerance << true;
        QTest::newRow("background, 10 levels") << true << 10 << false;
        QTest::newRow("one short title, 10 levels") << false << 10 << false;
        QTest::newRow("one short title, 10 levels lighter") << false << -10 << false;
    }

    void tenLevelsAreAlwaysSeen()
    {
        QFETCH(bool, wholeBackground);
        QFETCH(int, levels);
        QFETCH(bool, matches);
        const QColor title = SemanticColors::secondary(ColorScheme::Light);
        const QImage approved = pageWithTitle(title);
        QImage changed;
        if (wholeBackground) {
            changed = approved;
            for (int y = 0; y < changed.height(); ++y)
                for (int x = 0; x < changed.width(); ++x)
                    changed.setPixelColor(x, y, shifted(changed.pixelColor(x, y), levels));
        } else {
            // The title drawn 10 levels darker (or lighter) where it is opaque.
            QColor moved = SemanticColors::secondary(ColorScheme::Light);
            moved.setAlpha(std::clamp(moved.alpha() + levels, 0, 255));
            changed = pageWithTitle(moved);
        }
        const PictureComparison::Difference difference = PictureComparison::difference(approved, changed);
        QVERIFY2(difference.withinTolerance() == matches,
                 qPrintable(QStringLiteral("%1 of %2 pixels changed").arg(difference.changedPixels).arg(difference.totalPixels)));
    }

    void aMismatchNamesThePictureAndLeavesTheRenderAndTheChanges()
    {
        const QImage approved = pageWithTitle(SemanticColors::secondary(ColorScheme::Light));
        QVERIFY(PictureComparison::check(approved, QStringLiteral("settings-top-light"), m_folders).contains(
            QStringLiteral("scripts/approve-pictures")));
        QVERIFY(QFile::exists(m_folders.failures + QStringLiteral("/settings-top-light-actual.png")));
        QVERIFY(QDir().mkpath(m_folders.approved));
        QVERIFY(approved.save(m_folders.approved + QStringLiteral("/settings-top-light.png")));
        QCOMPARE(PictureComparison::check(approved, QStringLiteral("settings-top-light"), m_folders), QString());

        const QImage changed = pageWithTitle(Qt::black);
        const QString message = PictureComparison::check(changed, QStringLiteral("settings-top-light"), m_folders);
        QVERIFY2(message.startsWith(QStringLiteral("picture settings-top-light differs")), qPrintable(message));
        const QImage difference(m_folders.failures + QStringLiteral("/settings-top-light-difference.png"));
        QCOMPARE(difference.size(), changed.size());
        int marked = 0;
        for (int y = 0; y < difference.height(); ++y)
            for (int x = 0; x < difference.width(); ++x)
                marked += difference.pixelColor(x, y) == QColor(255, 0, 255) ? 1 : 0;
        QCOMPARE(marked, PictureComparison::difference(approved, changed).changedPixels);
        QCOMPARE(QImage(m_folders.failures + QStringLiteral("/settings-top-light-actual.png"))
                     .convertToFormat(QImage::Format_ARGB32),
                 changed);

        // Another size is a mismatch too, whatever the pixels.
        QVERIFY(PictureComparison::check(approved.copy(0, 0, 620, 700), QStringLiteral("settings-top-light"), m_folders)
                    .contains(QStringLiteral("620x700")));
    }

    void approvingWritesOnlyPicturesThatChanged()
    {
        QVERIFY(QDir().mkpath(m_folders.approved));
        const QString file = m_folders.approved + QStringLiteral("/toast-title-plain-top-light.png");
        const QImage approved = pageWithTitle(SemanticColors::secondary(ColorScheme::Light));
        QVERIFY(approved.save(file));
        const QDateTime written = QFileInfo(file).lastModified();
        qputenv("PLOVERA_APPROVE_PICTURES", "1");
        // Within tolerance: the file keeps its bytes.
        QImage rounded = approved;
        rounded.setPixelColor(0, 0, shifted(rounded.pixelColor(0, 0), 1));
        QCOMPARE(PictureComparison::check(rounded, QStringLiteral("toast-title-plain-top-light"), m_folders), QString());
        QCOMPARE(QImage(file).convertToFormat(QImage::Format_ARGB32), approved);
        QCOMPARE(QFileInfo(file).lastModified(), written);
        // Changed: the render takes the approved picture's place.
        const QImage changed = pageWithTitle(Qt::black);
        QCOMPARE(PictureComparison::check(changed, QStringLiteral("toast-title-plain-top-light"), m_folders), QString());
        qunsetenv("PLOVERA_APPROVE_PICTURES");
        QCOMPARE(QImage(file).convertToFormat(QImage::Format_ARGB32), changed);
    }
};

PICTURE_TEST_MAIN(PictureComparisonTest)
#include "PictureComparisonTest.moc"

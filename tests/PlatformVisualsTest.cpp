#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"
#include "platform/LinkOpener.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"
#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"

#include <QApplication>
#include <QPainter>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
// Every name the application's screens and toasts ask for: each must draw on a
// desktop whose icon theme has none of them.
const QStringList kApplicationSymbols{
    "app.fill", "arrow.clockwise", "arrow.down.circle.fill", "arrow.up.forward.app", "chart.bar.fill",
    "checkmark.circle", "checkmark.circle.fill", "checkmark.shield", "chevron.right", "circle", "clock",
    "clock.fill", "dollarsign.circle.fill", "envelope", "exclamationmark.triangle.fill", "gearshape", "globe",
    "icloud", "magnifyingglass", "medal.fill", "network.slash", "plus.circle.fill", "safari", "sparkles",
    "star.bubble", "star.fill", "xmark.circle", "xmark.circle.fill"};
const QStringList kKnownSymbols = kApplicationSymbols + QStringList{
    "plus", "xmark", "checkmark", "info.circle.fill", "xmark.octagon.fill", "trash", "list.number", "crown.fill",
    "chart.line.uptrend.xyaxis", "iphone", "ipad", "desktopcomputer", "doc.text", "arrow.up.right.square",
    "checkmark.seal.fill", "bell", "folder", "person.crop.circle"};

// Opaque pixels of a tinted symbol carry exactly the tint.
int pixelsOfColour(const QImage& image, const QColor& colour)
{
    int count = 0;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (argb.pixel(x, y) == colour.rgba())
                ++count;
    return count;
}

FixtureResponse pngResponse(const QColor& colour)
{
    return ScreenFixtures::pngResponse(colour, 8);
}
} // namespace

class PlatformVisualsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        symbolPixmap(QStringLiteral("plus"), Qt::black, 16); // sets the icon theme up
        m_themePaths = QIcon::themeSearchPaths();
    }

    void init()
    {
        RemoteImageCache::shared()->resetForTesting();
        setColorSchemeOverride(std::nullopt);
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
    }

    void knownSymbolsAreTinted_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("withTheme");
        for (const QString& name : kKnownSymbols)
            QTest::newRow(qPrintable(name)) << name << true;
        for (const QString& name : kApplicationSymbols)
            QTest::newRow(qPrintable(name + QStringLiteral(" without a theme"))) << name << false;
    }

    void knownSymbolsAreTinted()
    {
        QFETCH(QString, name);
        QFETCH(bool, withTheme);
        QIcon::setThemeSearchPaths(withTheme ? m_themePaths : QStringList());
        const auto restore = qScopeGuard([this] { QIcon::setThemeSearchPaths(m_themePaths); });
        QVERIFY(hasSymbol(name));
        // Another tint without the theme: rendered symbols are cached by name and tint.
        const QColor tint = withTheme ? QColor(200, 30, 90) : QColor(30, 90, 200);
        const QPixmap pixmap = symbolPixmap(name, tint, 32);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.size(), QSize(32, 32));
        const QImage image = pixmap.toImage();
        // Drawn in the tint, neither empty nor a solid block, and not the placeholder.
        const int inked = pixelsOfColour(image, tint);
        QVERIFY2(inked > 32 * 32 / 20 && inked < 32 * 32 * 9 / 10, qPrintable(QString::number(inked)));
        QCOMPARE(pixelsOfColour(image, Qt::black), 0);
        QVERIFY(image != symbolPixmap(QStringLiteral("no.such.symbol"), tint, 32).toImage());
    }

    void unknownSymbolGivesSilentPlaceholder()
    {
        QTest::failOnWarning(QRegularExpression(".*"));
        QVERIFY(!hasSymbol("no.such.symbol"));
        const QColor tint(Qt::darkGreen);
        const QPixmap pixmap = symbolPixmap("no.such.symbol", tint, 24);
        QVERIFY(!pixmap.isNull());
        QVERIFY(pixelsOfColour(pixmap.toImage(), tint) > 0);
        QVERIFY(!symbolPixmap(QString(), tint, 0).isNull());
    }

    void symbolSizes()
    {
        const QPixmap sharp = symbolPixmap("globe", Qt::blue, 20, 2.0);
        QCOMPARE(sharp.size(), QSize(40, 40));
        QCOMPARE(sharp.deviceIndependentSize(), QSizeF(20, 20));
        const QColor tint(Qt::red);
        const QIcon icon = symbolIcon("star.fill", tint);
        QVERIFY(!icon.isNull());
        const QPixmap pixmap = icon.pixmap(QSize(48, 48));
        QCOMPARE(pixmap.size(), QSize(48, 48));
        QVERIFY(pixelsOfColour(pixmap.toImage(), tint) > 100);
        const QPixmap disabled = icon.pixmap(QSize(48, 48), QIcon::Disabled);
        QCOMPARE(pixelsOfColour(disabled.toImage(), tint), 0);
    }

    // No two names draw the same picture (a fallback that answers several
    // names alike), with the theme and, for the application's own, without;
    // the sheet is written for a look.
    void symbolsAreDistinct()
    {
        const auto restore = qScopeGuard([this] { QIcon::setThemeSearchPaths(m_themePaths); });
        for (const bool withTheme : {true, false}) {
            const QStringList& names = withTheme ? kKnownSymbols : kApplicationSymbols;
            QIcon::setThemeSearchPaths(withTheme ? m_themePaths : QStringList());
            const int cell = 80;
            const int columns = 7;
            QImage sheet(columns * cell, (static_cast<int>(names.size()) + columns - 1) / columns * cell,
                         QImage::Format_ARGB32);
            sheet.fill(Qt::white);
            QPainter painter(&sheet);
            QHash<QByteArray, QString> drawnBy;
            for (int i = 0; i < names.size(); ++i) {
                const QPixmap pixmap = symbolPixmap(names[i], QColor(0, 122, withTheme ? 255 : 254), 64);
                painter.drawPixmap(QPoint((i % columns) * cell + 8, (i / columns) * cell + 8), pixmap);
                const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
                const QByteArray pixels(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
                const QString other = drawnBy.value(pixels);
                QVERIFY2(other.isEmpty(), qPrintable(names[i] + QStringLiteral(" draws as ") + other));
                drawnBy.insert(pixels, names[i]);
            }
            painter.end();
            ScreenFixtures::saveRender(sheet, withTheme ? QStringLiteral("symbols") : QStringLiteral("symbols-without-theme"));
        }
    }

    void colourRoutineRunsOncePerSchemeChange()
    {
        QWidget window;
        auto paletteWith = [&window](QColor windowColour) {
            QPalette palette = window.palette();
            palette.setColor(QPalette::Window, windowColour);
            return palette;
        };
        window.setPalette(paletteWith(QColor(240, 240, 240)));
        auto* child = new QWidget(&window);
        QList<ColorScheme> calls;
        onColorSchemeChange(child, [&calls, child](ColorScheme scheme) {
            calls.append(scheme);
            // Setting the widget's own palette must not call the routine again.
            QPalette own = child->palette();
            own.setColor(QPalette::WindowText, SemanticColors::primary(scheme));
            child->setPalette(own);
        });
        window.show();
        QCOMPARE(calls, QList<ColorScheme>{ColorScheme::Light});

        window.setPalette(paletteWith(QColor(40, 40, 40)));
        QTRY_COMPARE(calls.size(), 2);
        QCOMPARE(calls.constLast(), ColorScheme::Dark);
        window.setPalette(paletteWith(QColor(30, 30, 30))); // still dark
        setColorSchemeOverride(ColorScheme::Light);
        setColorSchemeOverride(std::nullopt);
        QTRY_COMPARE(calls.size(), 4);
        QCOMPARE(calls, (QList<ColorScheme>{ColorScheme::Light, ColorScheme::Dark, ColorScheme::Light, ColorScheme::Dark}));
        QTest::qWait(20);
        QCOMPARE(calls.size(), 4);
    }

    void schemeFollowsPaletteUnlessOverridden()
    {
        QWidget darkWidget;
        QWidget lightWidget;
        for (QWidget* widget : {&darkWidget, &lightWidget}) {
            QPalette palette = widget->palette();
            palette.setColor(QPalette::Window, widget == &darkWidget ? QColor(40, 40, 40) : QColor(240, 240, 240));
            widget->setPalette(palette);
        }

        QVERIFY(isDarkScheme(&darkWidget));
        QVERIFY(!isDarkScheme(&lightWidget));

        QSignalSpy changed(ColorSchemeNotifier::instance(), &ColorSchemeNotifier::schemeOverrideChanged);
        setColorSchemeOverride(ColorScheme::Dark);
        QVERIFY(isDarkScheme(&lightWidget));
        QCOMPARE(colorScheme(), ColorScheme::Dark);
        setColorSchemeOverride(ColorScheme::Dark);
        setColorSchemeOverride(ColorScheme::Light);
        QVERIFY(!isDarkScheme(&darkWidget));
        QCOMPARE(changed.count(), 2);
        setColorSchemeOverride(std::nullopt);
        QVERIFY(isDarkScheme(&darkWidget));
    }

    void remoteImageLoadsAndSharesOneRequest()
    {
        m_server->setRoute("/icon.png", pngResponse(Qt::red));
        const QUrl url = m_server->baseUrl().resolved(QUrl("/icon.png"));

        RemoteImageView first;
        RemoteImageView second;
        first.setUrl(url);
        second.setUrl(url);
        QVERIFY(first.isLoading());
        QTRY_VERIFY(first.hasImage());
        QTRY_VERIFY(second.hasImage());
        QCOMPARE(first.image().pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(m_server->requestCount("/icon.png"), 1);

        // A later view is served from memory.
        RemoteImageView third;
        third.setUrl(url);
        QVERIFY(third.hasImage());
        QCOMPARE(m_server->requestCount("/icon.png"), 1);

        third.setFixedImageSize(QSize(30, 20));
        third.setCornerRadius(6);
        QImage rendered(third.size(), QImage::Format_ARGB32);
        rendered.fill(Qt::transparent);
        third.render(&rendered);
        QCOMPARE(rendered.pixelColor(15, 10), QColor(Qt::red));
    }

    void remoteImageRefusesOtherSchemes_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("file") << "file:///etc/hosts";
        QTest::newRow("ftp") << "ftp://127.0.0.1/icon.png";
        QTest::newRow("data") << "data:image/png;base64,iVBORw0KGgo=";
        QTest::newRow("javascript") << "javascript:alert(1)";
        QTest::newRow("relative") << "/icon.png";
        QTest::newRow("empty") << "";
    }

    void remoteImageRefusesOtherSchemes()
    {
        QFETCH(QString, address);
        RemoteImageView view;
        view.setUrl(QUrl(address));
        QVERIFY(!view.isLoading());
        QVERIFY(!view.hasImage());
        QCOMPARE(RemoteImageCache::shared()->networkRequestCount(), 0);

        // The cache itself refuses too, and still answers (with nothing).
        QObject receiver;
        bool answered = false;
        QImage answer(1, 1, QImage::Format_ARGB32);
        RemoteImageCache::shared()->request(QUrl(address), &receiver, [&](const QImage& image) {
            answered = true;
            answer = image;
        });
        QTRY_VERIFY(answered);
        QVERIFY(answer.isNull());
        QCOMPARE(RemoteImageCache::shared()->networkRequestCount(), 0);
    }

    void remoteImageKeepsPlaceholderOnBadAnswers_data()
    {
        QTest::addColumn<FixtureResponse>("response");

        FixtureResponse tooLarge;
        tooLarge.body = ScreenFixtures::pngBytes(Qt::red, 8);
        tooLarge.body.append(QByteArray(RemoteImageCache::kMaxDownloadBytes + 1024, '\0'));
        tooLarge.contentType = "image/png";
        QTest::newRow("over 10 MiB") << tooLarge;

        QTest::newRow("html page") << FixtureResponse::html("<html><body>not an image</body></html>");

        FixtureResponse svg;
        svg.body = "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>"
                   "<rect width='8' height='8' fill='red'/></svg>";
        svg.contentType = "image/svg+xml";
        QTest::newRow("svg") << svg;

        FixtureResponse notFound = pngResponse(Qt::red);
        notFound.status = 404;
        QTest::newRow("png with 404") << notFound;

        FixtureResponse truncated = pngResponse(Qt::red);
        truncated.body = ScreenFixtures::pngBytes(Qt::red, 256);
        truncated.truncate = true;
        QTest::newRow("truncated") << truncated;

        FixtureResponse dropped;
        dropped.dropConnection = true;
        QTest::newRow("dropped") << dropped;

        FixtureResponse toFile = FixtureResponse::withStatus(302);
        toFile.extraHeaders.append(qMakePair(QByteArray("Location"), QByteArray("file:///etc/hosts")));
        QTest::newRow("redirect to file") << toFile;
    }

    void remoteImageKeepsPlaceholderOnBadAnswers()
    {
        QFETCH(FixtureResponse, response);
        m_server->setRoute("/icon.png", response);

        RemoteImageView view;
        QSignalSpy finished(&view, &RemoteImageView::loadFinished);
        view.setUrl(m_server->baseUrl().resolved(QUrl("/icon.png")));
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toBool(), false);
        QVERIFY(!view.hasImage());
        QVERIFY(!view.isLoading());
        QCOMPARE(RemoteImageCache::shared()->inFlightCount(), 0);
    }

    void remoteImageDeletedWhileLoading()
    {
        m_server->setRoute("/slow.png", pngResponse(Qt::green).delayed(200));
        const QUrl url = m_server->baseUrl().resolved(QUrl("/slow.png"));

        auto doomed = std::make_unique<RemoteImageView>();
        RemoteImageView survivor;
        doomed->setUrl(url);
        survivor.setUrl(url);
        QTRY_COMPARE(m_server->requestCount("/slow.png"), 1);
        doomed.reset();

        QSignalSpy finished(RemoteImageCache::shared(), &RemoteImageCache::requestFinished);
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(survivor.hasImage());
        QCOMPARE(m_server->requestCount("/slow.png"), 1);
    }

    void remoteImageDropsSupersededAnswer()
    {
        m_server->setRoute("/old.png", pngResponse(Qt::blue).delayed(200));
        m_server->setRoute("/new.png", pngResponse(Qt::yellow));

        RemoteImageView view;
        view.setUrl(m_server->baseUrl().resolved(QUrl("/old.png")));
        view.setUrl(m_server->baseUrl().resolved(QUrl("/new.png")));
        QSignalSpy finished(RemoteImageCache::shared(), &RemoteImageCache::requestFinished);
        QTRY_COMPARE(finished.count(), 2);
        QVERIFY(view.hasImage());
        QCOMPARE(view.image().pixelColor(0, 0), QColor(Qt::yellow));
    }

    void linkOpenerAcceptsOnlyWebAndMail_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("opens");
        QTest::newRow("https") << "https://example.org/terms" << true;
        QTest::newRow("http") << "HTTP://example.org" << true;
        QTest::newRow("mailto") << "mailto:help@example.org?subject=Hi%20there" << true;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("javascript") << "javascript:alert(1)" << false;
        QTest::newRow("custom scheme") << "itms-apps://example.org/app" << false;
        QTest::newRow("no host") << "https:///path" << false;
        QTest::newRow("relative") << "terms.html" << false;
    }

    void linkOpenerAcceptsOnlyWebAndMail()
    {
        QFETCH(QString, address);
        QFETCH(bool, opens);
        QList<QUrl> opened;
        setLinkOpenerForTesting([&](const QUrl& url) {
            opened.append(url);
            return true;
        });
        QCOMPARE(openLink(QUrl(address)), opens);
        QCOMPARE(opened.size(), opens ? 1 : 0);
        setLinkOpenerForTesting({});
    }

private:
    std::unique_ptr<FixtureServer> m_server;
    QStringList m_themePaths;
};

QTEST_MAIN(PlatformVisualsTest)
#include "PlatformVisualsTest.moc"

#include "support/FixtureServer.h"
#include "platform/LinkOpener.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"
#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
const QStringList kKnownSymbols{
    "star.fill", "sparkles", "globe", "icloud", "chart.bar.fill", "dollarsign.circle.fill",
    "gearshape", "magnifyingglass", "plus", "plus.circle.fill", "xmark", "xmark.circle.fill",
    "checkmark", "checkmark.circle.fill", "exclamationmark.triangle.fill", "info.circle.fill",
    "xmark.octagon.fill", "arrow.clockwise", "trash", "app.fill", "list.number", "crown.fill",
    "chart.line.uptrend.xyaxis", "iphone", "ipad", "desktopcomputer", "envelope", "doc.text",
    "star.bubble", "arrow.up.right.square", "chevron.right", "checkmark.seal.fill", "bell",
    "folder", "person.crop.circle"};

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

QByteArray pngOf(const QColor& colour, QSize size = {8, 8})
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

FixtureResponse pngResponse(const QColor& colour)
{
    FixtureResponse response;
    response.body = pngOf(colour);
    response.contentType = "image/png";
    return response;
}

QString renderDir()
{
    const QString dir = qEnvironmentVariable("PLOVERA_RENDER_DIR", QDir::tempPath());
    QDir().mkpath(dir);
    return dir;
}
} // namespace

class PlatformVisualsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        RemoteImageCache::shared()->resetForTesting();
        setColorSchemeOverride(std::nullopt);
    }

    void knownSymbolsAreTinted_data();
    void knownSymbolsAreTinted();
    void unknownSymbolGivesSilentPlaceholder();
    void symbolScalesWithDevicePixelRatio();
    void symbolIconRendersAtRequestedSize();
    void renderSymbolSheet();

    void colourRoutineRunsOncePerSchemeChange();

    void schemeFollowsPaletteUnlessOverridden();
    void semanticColoursDifferByScheme();

    void remoteImageLoadsAndSharesOneRequest();
    void remoteImageRefusesOtherSchemes_data();
    void remoteImageRefusesOtherSchemes();
    void remoteImageKeepsPlaceholderOnBadAnswers_data();
    void remoteImageKeepsPlaceholderOnBadAnswers();
    void remoteImageDeletedWhileLoading();
    void remoteImageDropsSupersededAnswer();

    void linkOpenerAcceptsOnlyWebAndMail_data();
    void linkOpenerAcceptsOnlyWebAndMail();
};

void PlatformVisualsTest::knownSymbolsAreTinted_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : kKnownSymbols)
        QTest::newRow(qPrintable(name)) << name;
}

void PlatformVisualsTest::knownSymbolsAreTinted()
{
    QFETCH(QString, name);
    QVERIFY(hasSymbol(name));
    const QColor tint(200, 30, 90);
    const QPixmap pixmap = symbolPixmap(name, tint, 32);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), QSize(32, 32));
    const QImage image = pixmap.toImage();
    QVERIFY2(pixelsOfColour(image, tint) > 10, "the glyph shows the tint");
    QCOMPARE(pixelsOfColour(image, Qt::black), 0);
}

void PlatformVisualsTest::unknownSymbolGivesSilentPlaceholder()
{
    QTest::failOnWarning(QRegularExpression(".*"));
    QVERIFY(!hasSymbol("no.such.symbol"));
    const QColor tint(Qt::darkGreen);
    const QPixmap pixmap = symbolPixmap("no.such.symbol", tint, 24);
    QVERIFY(!pixmap.isNull());
    QVERIFY(pixelsOfColour(pixmap.toImage(), tint) > 0);
    QVERIFY(!symbolPixmap(QString(), tint, 0).isNull());
}

void PlatformVisualsTest::symbolScalesWithDevicePixelRatio()
{
    const QPixmap pixmap = symbolPixmap("globe", Qt::blue, 20, 2.0);
    QCOMPARE(pixmap.size(), QSize(40, 40));
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(20, 20));
}

void PlatformVisualsTest::symbolIconRendersAtRequestedSize()
{
    const QColor tint(Qt::red);
    const QIcon icon = symbolIcon("star.fill", tint);
    QVERIFY(!icon.isNull());
    const QPixmap pixmap = icon.pixmap(QSize(48, 48));
    QCOMPARE(pixmap.size(), QSize(48, 48));
    QVERIFY(pixelsOfColour(pixmap.toImage(), tint) > 100);
    const QPixmap disabled = icon.pixmap(QSize(48, 48), QIcon::Disabled);
    QCOMPARE(pixelsOfColour(disabled.toImage(), tint), 0);
}

void PlatformVisualsTest::renderSymbolSheet()
{
    const int cell = 80;
    const int columns = 7;
    const int rows = (static_cast<int>(kKnownSymbols.size()) + columns - 1) / columns;
    QImage sheet(columns * cell, rows * cell, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int i = 0; i < kKnownSymbols.size(); ++i) {
        const QPoint origin((i % columns) * cell + 8, (i / columns) * cell + 8);
        painter.drawPixmap(origin, symbolPixmap(kKnownSymbols[i], QColor(0, 122, 255), 64));
    }
    painter.end();
    QVERIFY(sheet.save(renderDir() + "/symbols.png"));
}

void PlatformVisualsTest::colourRoutineRunsOncePerSchemeChange()
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

void PlatformVisualsTest::schemeFollowsPaletteUnlessOverridden()
{
    QWidget darkWidget;
    QPalette darkPalette = darkWidget.palette();
    darkPalette.setColor(QPalette::Window, QColor(40, 40, 40));
    darkWidget.setPalette(darkPalette);
    QWidget lightWidget;
    QPalette lightPalette = lightWidget.palette();
    lightPalette.setColor(QPalette::Window, QColor(240, 240, 240));
    lightWidget.setPalette(lightPalette);

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

void PlatformVisualsTest::semanticColoursDifferByScheme()
{
    using namespace SemanticColors;
    QCOMPARE(accent(ColorScheme::Light), blue(ColorScheme::Light));
    QVERIFY(windowBackground(ColorScheme::Light).lightness() > 200);
    QVERIFY(windowBackground(ColorScheme::Dark).lightness() < 80);
    QVERIFY(primary(ColorScheme::Light).lightness() < 50);
    QVERIFY(primary(ColorScheme::Dark).lightness() > 200);
    QVERIFY(secondary(ColorScheme::Light).alphaF() < primary(ColorScheme::Light).alphaF());
    QVERIFY(yellow(ColorScheme::Dark) != yellow(ColorScheme::Light));
}

void PlatformVisualsTest::remoteImageLoadsAndSharesOneRequest()
{
    FixtureServer server;
    QVERIFY(server.listen());
    server.setRoute("/icon.png", pngResponse(Qt::red));
    const QUrl url = server.baseUrl().resolved(QUrl("/icon.png"));

    RemoteImageView first;
    RemoteImageView second;
    first.setUrl(url);
    second.setUrl(url);
    QVERIFY(first.isLoading());
    QTRY_VERIFY(first.hasImage());
    QTRY_VERIFY(second.hasImage());
    QCOMPARE(first.image().pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(server.requestCount("/icon.png"), 1);

    // A later view is served from memory.
    RemoteImageView third;
    third.setUrl(url);
    QVERIFY(third.hasImage());
    QCOMPARE(server.requestCount("/icon.png"), 1);

    third.setFixedImageSize(QSize(30, 20));
    third.setCornerRadius(6);
    QCOMPARE(third.size(), QSize(30, 20));
    QImage rendered(third.size(), QImage::Format_ARGB32);
    rendered.fill(Qt::transparent);
    third.render(&rendered);
    QCOMPARE(rendered.pixelColor(15, 10), QColor(Qt::red));
}

void PlatformVisualsTest::remoteImageRefusesOtherSchemes_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("file") << "file:///etc/hosts";
    QTest::newRow("ftp") << "ftp://127.0.0.1/icon.png";
    QTest::newRow("data") << "data:image/png;base64,iVBORw0KGgo=";
    QTest::newRow("javascript") << "javascript:alert(1)";
    QTest::newRow("relative") << "/icon.png";
    QTest::newRow("empty") << "";
}

void PlatformVisualsTest::remoteImageRefusesOtherSchemes()
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

void PlatformVisualsTest::remoteImageKeepsPlaceholderOnBadAnswers_data()
{
    QTest::addColumn<FixtureResponse>("response");

    FixtureResponse tooLarge;
    tooLarge.body = pngOf(Qt::red);
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
    truncated.body = pngOf(Qt::red, {256, 256});
    truncated.truncate = true;
    QTest::newRow("truncated") << truncated;

    FixtureResponse dropped;
    dropped.dropConnection = true;
    QTest::newRow("dropped") << dropped;

    FixtureResponse toFile = FixtureResponse::withStatus(302);
    toFile.extraHeaders.append(qMakePair(QByteArray("Location"), QByteArray("file:///etc/hosts")));
    QTest::newRow("redirect to file") << toFile;
}

void PlatformVisualsTest::remoteImageKeepsPlaceholderOnBadAnswers()
{
    QFETCH(FixtureResponse, response);
    FixtureServer server;
    QVERIFY(server.listen());
    server.setRoute("/icon.png", response);

    RemoteImageView view;
    QSignalSpy finished(&view, &RemoteImageView::loadFinished);
    view.setUrl(server.baseUrl().resolved(QUrl("/icon.png")));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(!view.hasImage());
    QVERIFY(!view.isLoading());
    QCOMPARE(RemoteImageCache::shared()->inFlightCount(), 0);
}

void PlatformVisualsTest::remoteImageDeletedWhileLoading()
{
    FixtureServer server;
    QVERIFY(server.listen());
    FixtureResponse slow = pngResponse(Qt::green);
    slow.delayMs = 200;
    server.setRoute("/slow.png", slow);
    const QUrl url = server.baseUrl().resolved(QUrl("/slow.png"));

    auto doomed = std::make_unique<RemoteImageView>();
    RemoteImageView survivor;
    doomed->setUrl(url);
    survivor.setUrl(url);
    QTRY_COMPARE(server.requestCount("/slow.png"), 1);
    doomed.reset();

    QSignalSpy finished(RemoteImageCache::shared(), &RemoteImageCache::requestFinished);
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(survivor.hasImage());
    QCOMPARE(server.requestCount("/slow.png"), 1);
}

void PlatformVisualsTest::remoteImageDropsSupersededAnswer()
{
    FixtureServer server;
    QVERIFY(server.listen());
    FixtureResponse slow = pngResponse(Qt::blue);
    slow.delayMs = 200;
    server.setRoute("/old.png", slow);
    server.setRoute("/new.png", pngResponse(Qt::yellow));

    RemoteImageView view;
    view.setUrl(server.baseUrl().resolved(QUrl("/old.png")));
    view.setUrl(server.baseUrl().resolved(QUrl("/new.png")));
    QSignalSpy finished(RemoteImageCache::shared(), &RemoteImageCache::requestFinished);
    QTRY_COMPARE(finished.count(), 2);
    QVERIFY(view.hasImage());
    QCOMPARE(view.image().pixelColor(0, 0), QColor(Qt::yellow));
}

void PlatformVisualsTest::linkOpenerAcceptsOnlyWebAndMail_data()
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

void PlatformVisualsTest::linkOpenerAcceptsOnlyWebAndMail()
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

QTEST_MAIN(PlatformVisualsTest)
#include "PlatformVisualsTest.moc"

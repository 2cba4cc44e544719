#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"
#include "support/TestHelpers.h"
#include "Services/Updater/Appcast.h"
#include "Services/Updater/SoftwareUpdater.h"
#include "Services/Updater/StandardUpdaterController.h"
#include "ViewModels/CheckForUpdatesViewModel.h"
#include "Views/UpdateCommand/ApplicationMenu.h"
#include "Views/UpdateCommand/CheckForUpdatesView.h"
#include "PloveraApp.h"
#include "platform/LinkOpener.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(UpdateCheckOutcome::Kind)

namespace {

constexpr auto kFeedPath = "/plovera/appcast.xml";

// Records what the updater shows and lets the test say when the person is done.
class RecordingDriver : public UpdateUserDriver {
public:
    void showOutcome(const UpdateCheckOutcome& outcome, std::function<void()> acknowledged) override
    {
        outcomes.append(outcome);
        pending = std::move(acknowledged);
    }
    void acknowledge() { std::exchange(pending, nullptr)(); }

    QList<UpdateCheckOutcome> outcomes;
    std::function<void()> pending;
};

QMessageBox* shownOutcomeBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget);
            box && box->objectName() == QLatin1String("UpdateCheckOutcome") && box->isVisible())
            return box;
    }
    return nullptr;
}

} // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        m_session = std::make_shared<HttpSession>();
        LogCapture::start();
    }

    void cleanup()
    {
        Log::setSinkForTesting(nullptr);
        setLinkOpenerForTesting(nullptr);
        m_session.reset();
        m_server.reset();
    }

    void versionsCompareNumerically_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<int>("order");
        QTest::newRow("two-digit part") << "1.10" << "1.9" << 1;
        QTest::newRow("missing parts are zero") << "1.2" << "1.2.0" << 0;
        QTest::newRow("older patch") << "1.0.1" << "1.0.10" << -1;
        QTest::newRow("leading v") << "v2.0" << "1.99.99" << 1;
        QTest::newRow("suffix does not count") << "1.0.0-beta" << "1.0.0" << 0;
        QTest::newRow("single number") << "10" << "9" << 1;
        QTest::newRow("leading zeros") << "1.02" << "1.2" << 0;
        QTest::newRow("sixteen parts") << "1" + QString(".0").repeated(14) + ".1" << "1" << 1;
    }

    void versionsCompareNumerically()
    {
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(int, order);
        const auto a = SoftwareVersion::parse(left);
        const auto b = SoftwareVersion::parse(right);
        QVERIFY(a && b);
        QCOMPARE(a->compare(*b), order);
        QCOMPARE(b->compare(*a), -order);
    }

    void unreadableVersions()
    {
        for (const char* text : {"", "beta", "1..2", "1.x", "1.12345678901234567890"})
            QVERIFY2(!SoftwareVersion::parse(QLatin1String(text)), text);
    }

    void checkOutcomes_data()
    {
        QTest::addColumn<FixtureResponse>("feed");
        QTest::addColumn<QString>("running");
        QTest::addColumn<UpdateCheckOutcome::Kind>("kind");
        QTest::addColumn<QString>("latest");
        QTest::addColumn<QString>("releasePage");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("logged"); // the detail the log line keeps beside the reason

        using Kind = UpdateCheckOutcome::Kind;
        auto file = [](const char* name) { return FixtureResponse::fromFile(QStringLiteral("updates/") + QLatin1String(name)); };

        // The newest item wins, not the first: 1.10.1 comes after 1.2.0 and 1.9.
        QTest::newRow("newer on the enclosure") << file("appcast_newer.xml") << "1.0.0" << Kind::UpdateAvailable << "1.10.1"
                                                << "https://vantorel.com/plovera/releases/1.10.1" << "" << "";
        QTest::newRow("running the newest") << file("appcast_newer.xml") << "1.10.1" << Kind::UpToDate << "1.10.1" << ""
                                            << "" << "";
        QTest::newRow("version elements, same version") << file("appcast_current.xml") << "1.0.0" << Kind::UpToDate << "1.0"
                                                        << "" << "" << "";
        QTest::newRow("release notes as the page") << file("appcast_current.xml") << "0.9.4" << Kind::UpdateAvailable
                                                   << "1.0" << "https://vantorel.com/plovera/releases/1.0" << "" << "";
        QTest::newRow("unsafe link is dropped") << file("appcast_unsafe_link.xml") << "1.0.0" << Kind::UpdateAvailable
                                                << "2.0" << "" << "" << "";
        QTest::newRow("malformed XML") << file("appcast_malformed.xml") << "1.0.0" << Kind::Failed << "" << ""
                                       << "The update information could not be read." << ", line ";
        QTest::newRow("no versions") << file("appcast_no_versions.xml") << "1.0.0" << Kind::Failed << "" << ""
                                     << "The update information names no version." << "";
        QTest::newRow("not a feed") << FixtureResponse::html("<html><body>Welcome</body></html>") << "1.0.0" << Kind::Failed
                                    << "" << "" << "The update information is not an update feed." << "";
        QTest::newRow("not found") << FixtureResponse::withStatus(404) << "1.0.0" << Kind::Failed << "" << ""
                                   << "The update server answered with an error." << "status 404";
        QTest::newRow("slow") << file("appcast_newer.xml").delayed(3000) << "1.0.0" << Kind::Failed << "" << ""
                              << "The update server did not answer in time." << "within the time allowed";
        // Hostile feeds, within the size cap: refused as broken, or read without showing what is not needed.
        auto feed = [](const QByteArray& version, const QByteArray& title) {
            return FixtureResponse::text("<rss><channel><item><title>" + title + "</title><enclosure sparkle:version=\""
                                         + version + "\"/></item></channel></rss>");
        };
        QTest::newRow("a version of 150,001 parts") << feed("1" + QByteArray(".0").repeated(150000), "Plovera")
                                                    << "1.0.0" << Kind::Failed << "" << ""
                                                    << "The update information could not be read."
                                                    << "a version of 300001 characters";
        QTest::newRow("a version of 17 parts") << feed("1" + QByteArray(".0").repeated(16), "Plovera") << "1.0.0"
                                               << Kind::Failed << "" << ""
                                               << "The update information could not be read."
                                               << "a version of 33 characters";
        QTest::newRow("a huge title") << feed("2.0", QString(400000, QChar(0x00DC)).toUtf8()) << "1.0.0"
                                      << Kind::UpdateAvailable << "2.0" << "" << "" << "";
        FixtureResponse huge = FixtureResponse::text("<rss>" + QByteArray(1024 * 1024, ' ') + "</rss>");
        QTest::newRow("too large") << huge << "1.0.0" << Kind::Failed << "" << ""
                                   << "The update information is too large." << "";
    }

    void checkOutcomes()
    {
        QFETCH(FixtureResponse, feed);
        QFETCH(QString, running);
        QFETCH(UpdateCheckOutcome::Kind, kind);
        QFETCH(QString, latest);
        QFETCH(QString, releasePage);
        QFETCH(QString, reason);
        QFETCH(QString, logged);
        m_server->setRoute(QLatin1String(kFeedPath), feed);

        const UpdateCheckOutcome outcome = awaitTask(SoftwareUpdater::check(m_session, options(running)));
        QCOMPARE(outcome.kind, kind);
        QCOMPARE(outcome.currentVersion, running);
        QCOMPARE(outcome.latestVersion, latest);
        QCOMPARE(outcome.releasePage.toString(), releasePage);
        if (kind == UpdateCheckOutcome::Kind::Failed) {
            // People read the plain sentence; the log line also keeps the detail.
            QCOMPARE(outcome.failureReason, reason);
            const QStringList lines = LogCapture::lines().filter(QStringLiteral("Update check failed: ") + reason);
            QCOMPARE(lines.size(), 1);
            QVERIFY2(lines.first().contains(logged), qPrintable(lines.first()));
        } else
            QVERIFY(outcome.failureReason.isEmpty());
        // Only the feed is fetched: nothing it names is downloaded.
        for (const FixtureRequest& request : m_server->requests())
            QCOMPARE(request.path, QLatin1String(kFeedPath));
    }

    void commandFollowsTheUpdater()
    {
        m_server->setRoute(QLatin1String(kFeedPath), FixtureResponse::fromFile(QStringLiteral("updates/appcast_newer.xml")));
        auto driver = std::make_shared<RecordingDriver>();
        SoftwareUpdater updater(m_session, options(), driver);
        CheckForUpdatesView command(&updater);
        QSignalSpy changes(command.viewModel(), &CheckForUpdatesViewModel::canCheckForUpdatesChanged);

        QVERIFY(!command.isEnabled()); // before the updater has said anything
        updater.start();
        QVERIFY(command.isEnabled());

        command.trigger();
        QVERIFY(!command.isEnabled());
        command.trigger(); // impossible while a check runs: no second request
        QTRY_COMPARE(driver->outcomes.size(), 1);
        QCOMPARE(driver->outcomes.first().kind, UpdateCheckOutcome::Kind::UpdateAvailable);
        QVERIFY(!command.isEnabled()); // the outcome is still on screen
        driver->acknowledge();
        QVERIFY(command.isEnabled());
        QCOMPARE(m_server->requestCount(QLatin1String(kFeedPath)), 1);
        QCOMPARE(changes.size(), 3); // on at start, off for the check, on again

        // A view model made later starts from the updater's current value.
        CheckForUpdatesViewModel late(&updater);
        QVERIFY(late.canCheckForUpdates());
    }

    void stalledCheckShowsProgressUntilCancelled()
    {
        m_server->setRoute(QLatin1String(kFeedPath), FixtureResponse::fromFile(QStringLiteral("updates/appcast_newer.xml")).delayed(20000));
        SoftwareUpdater::Options slow = options();
        slow.deadline = std::chrono::seconds(30);
        SoftwareUpdater updater(m_session, slow, std::make_shared<StandardUpdateUserDriver>());
        updater.start();
        updater.checkForUpdates();

        // At once, before the server has said anything.
        QPointer<QDialog> window;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("CheckingForUpdates") && widget->isVisible())
                window = qobject_cast<QDialog*>(widget);
        }
        QVERIFY(window);
        QVERIFY(window->findChild<QLabel*>()->text() == QStringLiteral("Checking for updates\u2026"));
        QCOMPARE(window->findChild<QProgressBar*>()->maximum(), 0); // indeterminate
        ScreenFixtures::saveRender(window, QStringLiteral("update-checking"));
        QTRY_COMPARE(m_server->requestCount(QLatin1String(kFeedPath)), 1);

        QTest::mouseClick(window->findChild<QPushButton*>(), Qt::LeftButton);
        QVERIFY(updater.canCheckForUpdates());
        QTRY_VERIFY(!window);
        QTRY_COMPARE(m_session->activeTransfers(), 0);
        // The person's own Cancel is no failure: an information line, no error line.
        QTRY_VERIFY(!LogCapture::lines().filter(QStringLiteral("Update check cancelled")).isEmpty());
        const QStringList lines = LogCapture::lines().filter(QStringLiteral("Update check"));
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(QStringLiteral("\"\u2139\uFE0F")), qPrintable(lines.first()));
        QTest::qWait(50);
        QVERIFY(!shownOutcomeBox()); // the person already said what they wanted
    }

    void updaterGoneDuringCheck()
    {
        m_server->setRoute(QLatin1String(kFeedPath), FixtureResponse::fromFile(QStringLiteral("updates/appcast_newer.xml")).delayed(200));
        auto driver = std::make_shared<RecordingDriver>();
        auto updater = std::make_unique<SoftwareUpdater>(m_session, options(), driver);
        updater->start();
        updater->checkForUpdates();
        QTRY_COMPARE(m_server->requestCount(QLatin1String(kFeedPath)), 1);
        updater.reset();
        QTest::qWait(400);
        QVERIFY(driver->outcomes.isEmpty());
    }

    void dialogsSayWhatWasFound()
    {
        QList<QUrl> opened;
        setLinkOpenerForTesting([&opened](const QUrl& url) {
            opened.append(url);
            return true;
        });
        StandardUpdateUserDriver driver;
        int acknowledged = 0;
        auto done = [&acknowledged] { ++acknowledged; };

        UpdateCheckOutcome upToDate{UpdateCheckOutcome::Kind::UpToDate, "1.0.0", "1.0.0", {}, {}};
        driver.showOutcome(upToDate, done);
        QMessageBox* box = shownOutcomeBox();
        QVERIFY(box);
        box->button(QMessageBox::Ok)->click();
        QCOMPARE(acknowledged, 1);

        UpdateCheckOutcome available{UpdateCheckOutcome::Kind::UpdateAvailable, "1.0.0", "1.2.0",
                                     QUrl("https://vantorel.com/plovera/releases/1.2.0"), {}};
        driver.showOutcome(available, done);
        QTRY_VERIFY(box = shownOutcomeBox());
        QCOMPARE(box->informativeText(), QStringLiteral("Plovera 1.2.0 is available. You have 1.0.0."));
        ScreenFixtures::saveRender(box, QStringLiteral("update-available"));
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == QLatin1String("View Release Page"))
                button->click();
        }
        QCOMPARE(acknowledged, 2);
        QCOMPARE(opened, (QList<QUrl>{available.releasePage}));

        UpdateCheckOutcome failed{UpdateCheckOutcome::Kind::Failed, "1.0.0", {}, {},
                                  "The update server could not be reached."};
        driver.showOutcome(failed, done);
        QTRY_VERIFY(box = shownOutcomeBox());
        QCOMPARE(box->informativeText(), failed.failureReason);
        // Sized for its text: each sentence stands on one line.
        for (QLabel* label : box->findChildren<QLabel*>()) {
            if (label->text() == failed.failureReason)
                QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width());
        }
        ScreenFixtures::saveRender(box, QStringLiteral("update-failed"));
        box->button(QMessageBox::Ok)->click();
        QCOMPARE(acknowledged, 3);

        // The window under the box goes before anyone answers it: the updater must not wait for good.
        auto window = std::make_unique<QWidget>();
        window->show();
        QApplication::setActiveWindow(window.get());
        QTRY_COMPARE(QApplication::activeWindow(), window.get());
        driver.showOutcome(upToDate, done);
        QTRY_VERIFY(box = shownOutcomeBox());
        QCOMPARE(box->parentWidget(), window.get());
        window.reset();
        QCOMPARE(acknowledged, 4);
    }

    void applicationStartsWithTheCommandEnabled()
    {
        QTemporaryDir data;
        QVERIFY(data.isValid());
        qputenv("PLOVERA_UPDATES_URL", m_server->baseUrl().toString().toUtf8());
        auto app = PloveraApp::create(PloveraApp::Options{data.filePath(QStringLiteral("Plovera.sqlite"))});
        qunsetenv("PLOVERA_UPDATES_URL");
        QVERIFY(app);

        QMenu* menu = app.value()->window()->menuBar()->actions().first()->menu();
        auto* command = qobject_cast<CheckForUpdatesView*>(menu->actions().at(1));
        QVERIFY(command);
        QCOMPARE(command->viewModel()->updater(), app.value()->updaterController()->updater());
        QVERIFY(command->isEnabled());
        QTest::qWait(100);
        QCOMPARE(m_server->requests().size(), 0); // nothing is checked until asked

        // The started application's command reads the feed named by the environment.
        m_server->setRoute(QLatin1String(kFeedPath), FixtureResponse::fromFile(QStringLiteral("updates/appcast_current.xml")));
        command->trigger();
        QVERIFY(!command->isEnabled());
        QMessageBox* box = nullptr;
        QTRY_VERIFY(box = shownOutcomeBox());
        QCOMPARE(box->text(), QStringLiteral("You're up to date.")); // the feed was read, not failed
        box->button(QMessageBox::Ok)->click();
        QVERIFY(command->isEnabled());
    }

private:
    SoftwareUpdater::Options options(const QString& currentVersion = QStringLiteral("1.0.0")) const
    {
        SoftwareUpdater::Options result;
        result.feedURL = m_server->baseUrl().resolved(QUrl(QLatin1String(kFeedPath)));
        result.currentVersion = currentVersion;
        result.deadline = std::chrono::milliseconds(400);
        return result;
    }

    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session;
};

QTEST_MAIN(UpdateCheckTest)
#include "UpdateCheckTest.moc"

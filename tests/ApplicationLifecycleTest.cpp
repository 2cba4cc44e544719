#include "support/FirstPaintEnvironment.h"
#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"
#include "PloveraApp.h"
#include "Services/Settings/AppSettings.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "platform/RemoteImageCache.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

#include <signal.h>
#include <unistd.h>

namespace {
// Threads of this process whose name Qt gave a network manager's thread
// ("QNetworkAccessManager thread", cut to the kernel's 15 characters).
int networkManagerThreads()
{
    int count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(tasks.filePath(task + QStringLiteral("/comm")));
        if (name.open(QIODevice::ReadOnly) && name.readAll().startsWith("QNetworkAccessM"))
            ++count;
    }
    return count;
}

// Cuts a run short that would otherwise hang the test: the loop then ends with 1.
struct HangGuard {
    HangGuard()
    {
        QObject::connect(&timer, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        timer.start(60000);
    }
    QTimer timer;
};
} // namespace

class ApplicationLifecycleTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_data.isValid());
        UserDefaults::resetForTesting();
        QFile::remove(AppSettings::shared()->suite()->filePath());
        UserDefaults::resetForTesting();
        AppSettings::shared()->setIsFirstTime(false);
    }

    // The icon cache's network manager runs a thread; it must stop while the
    // Qt application object can still deliver its events, so it goes with the
    // application's own object, and nothing makes a new one after it.
    void iconCacheThreadEndsWithTheApplication()
    {
        FixtureServer server;
        QVERIFY(server.listen());
        server.setRoute(QStringLiteral("/icon.png"), ScreenFixtures::pngResponse(Qt::red, 8));
        auto app = makeApp();
        QPointer<RemoteImageCache> cache = RemoteImageCache::shared();
        QVERIFY(cache);
        QObject receiver;
        QImage loaded;
        cache->request(server.baseUrl().resolved(QUrl(QStringLiteral("/icon.png"))), &receiver,
                       [&loaded](const QImage& image) { loaded = image; });
        QTRY_VERIFY(!loaded.isNull());
        QVERIFY(networkManagerThreads() > 0);

        app.reset();
        QVERIFY(!cache);
        QVERIFY(!RemoteImageCache::shared());
        // Qt's threads let go of their last resources just after they report
        // having finished.
        QTRY_COMPARE(networkManagerThreads(), 0);
    }

    void terminationSignalQuitsAndKeepsAQueuedAdd_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM, logging out") << SIGTERM;
        QTest::newRow("SIGINT, Ctrl+C in a terminal") << SIGINT;
        QTest::newRow("SIGHUP, the terminal closed") << SIGHUP;
    }

    // An add asked for while the workspace still opens is a write queued on
    // the store's thread; the signal must end the program the way Quit does,
    // which finishes it, instead of cutting the process off.
    void terminationSignalQuitsAndKeepsAQueuedAdd()
    {
        QFETCH(int, signalNumber);
        std::signal(signalNumber, SIG_DFL); // whatever this test was started with
        const QString path = m_data.filePath(QStringLiteral("signal-%1.sqlite").arg(signalNumber));
        AppInfo info;
        info.id = 1000 + signalNumber;
        info.name = QStringLiteral("Field Notes");
        info.developer = QStringLiteral("Vantorel Labs");
        {
            PloveraApp::Options options;
            options.databasePath = path;
            options.waitForWorkspace = false; // as the program starts
            auto created = PloveraApp::create(options);
            QVERIFY2(created, created ? "" : qPrintable(created.error()));
            std::unique_ptr<PloveraApp> app = std::move(created.value());
            app->window()->show();
            auto adding = app->savedApps()->add(info, QStringLiteral("US"));
            QTimer::singleShot(0, [signalNumber] { ::kill(::getpid(), signalNumber); });
            HangGuard guard;
            QCOMPARE(QCoreApplication::exec(), 0);
        }
        struct sigaction restored = {};
        QCOMPARE(::sigaction(signalNumber, nullptr, &restored), 0);
        QVERIFY(restored.sa_handler == SIG_DFL);

        auto reopened = SavedAppsViewModel::create(path);
        QVERIFY2(reopened, reopened ? "" : qPrintable(reopened.error()));
        QVERIFY(reopened.value()->isSaved(info.id, QStringLiteral("US"), info.platform));
    }

    void firstPaintSwitchEndsTheProgram_data()
    {
        QTest::addColumn<bool>("firstRun");
        QTest::newRow("first run, the onboarding shows") << true;
        QTest::newRow("later run, the main window shows") << false;
    }

    // The timing switch of start-up: the program must end by itself once its
    // first frame is out, whatever the window shows.
    void firstPaintSwitchEndsTheProgram()
    {
        QFETCH(bool, firstRun);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("config"))));
        if (!firstRun) {
            QFile settings(home.filePath(QStringLiteral("config/group.org.Vantorel.Plovera.conf")));
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write("[General]\nisFirstTime=false\n");
        }
        QProcessEnvironment environment = firstPaintEnvironment(home);
        environment.insert(QStringLiteral("HOME"), home.path());

        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(PLOVERA_PROGRAM), {});
        QVERIFY(program.waitForStarted());
        const bool ended = program.waitForFinished(120000);
        if (!ended) {
            program.kill();
            program.waitForFinished();
        }
        QVERIFY2(ended, "the program was still running after its first frame");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().contains("first frame painted\n"));
    }

private:
    std::unique_ptr<PloveraApp> makeApp()
    {
        auto app = PloveraApp::create(PloveraApp::Options{m_data.filePath(QStringLiteral("workspace-%1.sqlite").arg(++m_case))});
        if (!app)
            qFatal("%s", qPrintable(app.error()));
        return std::move(app.value());
    }

    QTemporaryDir m_data;
    int m_case = 0;
};

QTEST_MAIN(ApplicationLifecycleTest)
#include "ApplicationLifecycleTest.moc"

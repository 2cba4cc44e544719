#include "Views/AppDetailArea.h"
#include "Views/AppHeaderTitleStack.h"
#include "support/FixtureServer.h"
#include "support/TestHelpers.h"
#include "Services/Log.h"
#include "Views/MainView.h"
#include "Views/OnboardingView.h"
#include "PloveraApp.h"
#include "Views/SavedAppsSidebar.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "Views/SearchOverlay.h"
#include "models/SettingsKeys.h"
#include "platform/UserDefaults.h"

#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {
UserDefaults* settings()
{
    return UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName));
}

void renderTo(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("PLOVERA_RENDER_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QPushButton* addButtonOfRow(QListWidget* list, int row)
{
    QWidget* rowWidget = list->itemWidget(list->item(row));
    return rowWidget ? rowWidget->findChild<QPushButton*>(QStringLiteral("addButton")) : nullptr;
}
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        qputenv("PLOVERA_CATALOGUE_URL", m_server.baseUrl().toString().toUtf8());
    }

    void init()
    {
        QVERIFY(m_data.isValid());
        m_dbPath = m_data.filePath(QStringLiteral("workspace-%1.sqlite").arg(++m_case));
        UserDefaults::resetForTesting();
        QFile::remove(settings()->filePath());
        m_server.clearRoutes();
        m_server.setRoute(QStringLiteral("/search"), FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json")));
        m_server.setRoute(QStringLiteral("/lookup"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json")));
        LogCapture::start();
    }

    void firstLaunchShowsOnboardingThenMainWindow()
    {
        auto app = makeApp();
        QVERIFY(app->isFirstTime());
        QVERIFY(app->onboardingView());
        QVERIFY(!app->mainView());
        app->window()->show();
        QTRY_VERIFY(app->onboardingView()->sheet() && app->onboardingView()->sheet()->isVisible());
        QCOMPARE(app->window()->size(), QSize(PloveraApp::kDefaultWidth, PloveraApp::kDefaultHeight));
        renderTo(app->onboardingView()->sheet(), QStringLiteral("startup-onboarding"));

        // Escape does not get the user past the onboarding.
        QTest::keyClick(app->onboardingView()->sheet(), Qt::Key_Escape);
        QVERIFY(app->onboardingView()->sheet()->isVisible());

        QPushButton* continueButton = nullptr;
        for (auto* button : app->onboardingView()->sheet()->findChildren<QPushButton*>()) {
            if (button->text().contains(QStringLiteral("Continue")))
                continueButton = button;
        }
        QVERIFY(continueButton);
        QTest::mouseClick(continueButton, Qt::LeftButton);
        QVERIFY(!settings()->boolValue(QString::fromLatin1(kIsFirstTimeKey), true));
        QTRY_VERIFY(app->mainView());
        QTRY_VERIFY(!app->onboardingView());
        QVERIFY(app->mainView()->isVisible());
    }

    void laterLaunchGoesStraightToMainWindow()
    {
        settings()->setValue(QString::fromLatin1(kIsFirstTimeKey), false);
        auto app = makeApp();
        QVERIFY(app->mainView());
        QVERIFY(!app->onboardingView());
    }

    void searchAddsAnAppThatSurvivesARestart()
    {
        settings()->setValue(QString::fromLatin1(kIsFirstTimeKey), false);
        {
            auto app = makeApp();
            app->window()->show();
            MainView* view = app->mainView();
            QVERIFY(QTest::qWaitForWindowExposed(app->window()));
            QCOMPARE(view->sidebar()->rowCount(), 0);

            QTest::keyClicks(view->searchField(), QStringLiteral("fieldnote"));
            QTest::keyClick(view->searchField(), Qt::Key_Return);
            SearchOverlay* overlay = view->searchOverlay();
            QVERIFY(overlay->isVisible());
            QTRY_COMPARE(overlay->list()->count(), 3);
            renderTo(app->window(), QStringLiteral("main-search"));

            QPushButton* add = addButtonOfRow(overlay->list(), 0);
            QVERIFY(add && add->isEnabled());
            QTest::mouseClick(add, Qt::LeftButton);
            QTRY_COMPARE(view->sidebar()->rowCount(), 1);
            // The added app is selected and its header shown; the search row now says so.
            QCOMPARE(view->detailArea()->titleStack()->nameText(), QStringLiteral("Fieldnote: Trail Journal"));
            QVERIFY(!addButtonOfRow(overlay->list(), 0)->isEnabled());
            // Selecting looks the details up and saves the refreshed profile (new rating count).
            QTRY_COMPARE(app->savedApps()->savedApps().constFirst().app.ratingCount, std::optional<int>(18301));
            QCOMPARE(view->detailArea()->tabBar()->count(), 3);
            QCOMPARE(view->detailArea()->tabBar()->tabText(0), QStringLiteral("Top Charts"));

            QTest::keyClick(view->searchField(), Qt::Key_Escape);
            QVERIFY(!overlay->isVisible());
            renderTo(app->window(), QStringLiteral("main-selected"));
        }
        // Restart: a new application object over the same files.
        UserDefaults::resetForTesting();
        auto again = makeApp();
        QVERIFY(again->mainView());
        again->window()->show();
        QTRY_COMPARE(again->mainView()->sidebar()->rowCount(), 1);
        QCOMPARE(again->savedApps()->savedApps().constFirst().app.name, QStringLiteral("Fieldnote: Trail Journal"));
    }

    void failedSearchShowsItsErrorAndKeepsResults()
    {
        settings()->setValue(QString::fromLatin1(kIsFirstTimeKey), false);
        auto app = makeApp();
        MainView* view = app->mainView();
        app->window()->show();
        view->search(QStringLiteral("fieldnote"));
        QTRY_COMPARE(view->searchOverlay()->list()->count(), 3);
        m_server.setRoute(QStringLiteral("/search"), FixtureResponse::html("<html>down</html>", 502));
        view->search(QStringLiteral("again"));
        QTRY_COMPARE(view->searchOverlay()->bannerText(), QStringLiteral("Risposta del server non valida (codice 502)."));
        QCOMPARE(view->searchOverlay()->list()->count(), 3);

        m_server.setRoute(QStringLiteral("/search"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_empty.json")));
        view->search(QStringLiteral("nothing"));
        QTRY_COMPARE(view->searchOverlay()->statusText(), QStringLiteral("No apps found."));
    }

    void rankingAppIsAddedOnceEvenWhenClickedTwice()
    {
        settings()->setValue(QString::fromLatin1(kIsFirstTimeKey), false);
        FixtureResponse slow = FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json"));
        slow.delayMs = 300;
        m_server.setRoute(QStringLiteral("/lookup"), slow);
        auto app = makeApp();
        MainView* view = app->mainView();
        AppRanking ranking;
        ranking.id = QStringLiteral("6443210987");
        ranking.name = QStringLiteral("Fieldnote");
        const int lookupsBefore = m_server.requestCount(QStringLiteral("/lookup"));
        auto first = view->addRankingApp(ranking, QStringLiteral("US"));
        auto second = view->addRankingApp(ranking, QStringLiteral("US"));
        QCoro::waitFor(std::move(second));
        QCoro::waitFor(std::move(first));
        QCOMPARE(app->savedApps()->savedApps().size(), 1);
        QCOMPARE(view->selectedApp()->id, 6443210987);
        // The add's lookup, then the refresh of the selection.
        QTRY_COMPARE(m_server.requestCount(QStringLiteral("/lookup")) - lookupsBefore, 2);

        // Already saved: selected again, nothing fetched.
        view->selectProfile(QString());
        const int lookupsNow = m_server.requestCount(QStringLiteral("/lookup"));
        QCoro::waitFor(view->addRankingApp(ranking, QStringLiteral("US")));
        QCOMPARE(view->selectedApp()->id, 6443210987);
        QCOMPARE(app->savedApps()->savedApps().size(), 1);
        QVERIFY(m_server.requestCount(QStringLiteral("/lookup")) - lookupsNow <= 1);
    }

    void rankingAppFailuresAreLogged_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("expectedLog");
        QTest::newRow("not decimal") << QStringLiteral("id123") << QStringLiteral("Unable to add ranked app with invalid id id123");
        QTest::newRow("not found") << QStringLiteral("42") << QStringLiteral("Unable to add ranked app 42: App non trovata.");
    }
    void rankingAppFailuresAreLogged()
    {
        QFETCH(QString, id);
        QFETCH(QString, expectedLog);
        settings()->setValue(QString::fromLatin1(kIsFirstTimeKey), false);
        auto app = makeApp();
        AppRanking ranking;
        ranking.id = id;
        QCoro::waitFor(app->mainView()->addRankingApp(ranking, QStringLiteral("US")));
        QVERIFY(app->savedApps()->savedApps().isEmpty());
        QVERIFY2(!LogCapture::lines().filter(expectedLog).isEmpty(), qPrintable(LogCapture::text()));
        QVERIFY(!LogCapture::lines().filter(QStringLiteral("MainView::addRankingApp")).isEmpty());
    }

    void failedRefreshKeepsTheSavedDetailsAndSaysWhy()
    {
        settings()->setValue(QString::fromLatin1(kIsFirstTimeKey), false);
        m_server.setRoute(QStringLiteral("/lookup"), FixtureResponse::text("maintenance", 503));
        auto app = makeApp();
        AppInfo info;
        info.id = 6443210987;
        info.name = QStringLiteral("Fieldnote (saved)");
        QVERIFY(app->savedApps()->add(info, QStringLiteral("US")));
        MainView* view = app->mainView();
        view->selectProfile(app->savedApps()->savedApps().constFirst().dedupKey());
        QCOMPARE(view->detailArea()->statusText(), QStringLiteral("Updating details…"));
        QTRY_COMPARE(view->detailArea()->statusText(), QStringLiteral("Risposta del server non valida (codice 503)."));
        QCOMPARE(view->detailArea()->titleStack()->nameText(), QStringLiteral("Fieldnote (saved)"));
        QCOMPARE(app->savedApps()->savedApps().constFirst().app.name, QStringLiteral("Fieldnote (saved)"));
    }

    void windowClosedWhileSelectionLooksUp()
    {
        settings()->setValue(QString::fromLatin1(kIsFirstTimeKey), false);
        FixtureResponse slow = FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json"));
        slow.delayMs = 300;
        m_server.setRoute(QStringLiteral("/lookup"), slow);
        auto app = makeApp();
        AppInfo info;
        info.id = 6443210987;
        info.name = QStringLiteral("Fieldnote");
        QVERIFY(app->savedApps()->add(info, QStringLiteral("US")));
        app->mainView()->selectProfile(app->savedApps()->savedApps().constFirst().dedupKey());
        QVERIFY(app->mainView()->isRefreshingSelection());
        app.reset(); // nothing may touch the gone window when the answer arrives
        QTest::qWait(400);
    }

    void unreadableWorkspaceStopsStartUpAndIsLeftAlone()
    {
        QFile file(m_dbPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray garbage("this is not a database, but somebody's data", 43);
        file.write(garbage.repeated(100));
        file.close();
        auto app = PloveraApp::create(PloveraApp::Options{m_dbPath});
        QVERIFY(!app);
        QVERIFY(app.error().startsWith(QStringLiteral("Failed to initialize ModelContainer: ")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), garbage.repeated(100));
    }

private:
    std::unique_ptr<PloveraApp> makeApp()
    {
        auto app = PloveraApp::create(PloveraApp::Options{m_dbPath});
        if (!app)
            qFatal("%s", qPrintable(app.error()));
        return std::move(app.value());
    }

    FixtureServer m_server;
    QTemporaryDir m_data;
    QString m_dbPath;
    int m_case = 0;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"

#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"
#include "support/TestHelpers.h"
#include "PloveraApp.h"
#include "Services/Settings/AppSettings.h"
#include "Services/Charts/AppRankMonitorService.h"
#include "Services/Charts/AppRankingService.h"
#include "Services/Estimates/SensorTowerService.h"
#include "ViewModels/AppRankMonitorViewModel.h"
#include "ViewModels/AppRankingViewModel.h"
#include "ViewModels/AppSearchViewModel.h"
#include "ViewModels/MainViewModel.h"
#include "ViewModels/MonetizationViewModel.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "Views/MainWindow/AppDetailArea.h"
#include "Views/Shared/AppHeaderTitleStack.h"
#include "Views/MainWindow/AppListModels.h"
#include "Views/MainWindow/AppRowDelegate.h"
#include "Views/MainWindow/MainView.h"
#include "Views/Monetization/MonetizationView.h"
#include "Views/Onboarding/OnboardingView.h"
#include "Views/SettingsView/SettingsView.h"
#include "Views/TopCharts/RanksSummaryTabView.h"
#include "Views/MainWindow/SavedAppsSidebar.h"
#include "Views/MainWindow/SearchOverlay.h"
#include "Views/MainWindow/StorefrontListModel.h"
#include "platform/SemanticColors.h"
#include "platform/ShrinkingLabel.h"
#include "platform/UserDefaults.h"
#include "platform/BlockedWindowClose.h"
#include "toasts/interface/ToastButton.h"
#include "toasts/values/Toast.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QToolButton>
#include <xcb/xcb.h>
#include <QDialog>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <QTabBar>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTest>

using ScreenFixtures::saveRender;

namespace {
QStyleOptionViewItem rowOption(QListView* list, int row)
{
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualRect(list->model()->index(row, 0));
    option.font = list->font();
    return option;
}

// Clicks the Add button the delegate draws in a search result row.
void clickAdd(SearchOverlay* overlay, int row)
{
    QListView* list = overlay->list();
    const QRect button = overlay->delegate()->buttonRect(rowOption(list, row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, button.center());
}

int addState(SearchOverlay* overlay, int row)
{
    return overlay->model()->index(row).data(AppListRole::AddState).toInt();
}

constexpr auto kReportToQtTest = QAbstractItemModelTester::FailureReportingMode::QtTest;
constexpr int kAdd = static_cast<int>(MainViewModel::AddState::Add);
constexpr int kAdded = static_cast<int>(MainViewModel::AddState::Added);
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_data.isValid());
        m_dbPath = m_data.filePath(QStringLiteral("workspace-%1.sqlite").arg(++m_case));
        UserDefaults::resetForTesting();
        QFile::remove(AppSettings::shared()->suite()->filePath());
        UserDefaults::resetForTesting();
        // A server of each case's own, so its request counts are the case's; every client of
        // the window talks to it, never the network.
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        for (const char* name : {"PLOVERA_CATALOGUE_URL", "PLOVERA_CHARTS_URL", "PLOVERA_LEGACY_CHARTS_URL",
                                 "PLOVERA_ESTIMATES_URL"})
            qputenv(name, m_server->baseUrl().toString().toUtf8());
        m_server->setRoute(QStringLiteral("/search"), FixtureResponse::fromFile(QStringLiteral("catalogue/search_ok.json")));
        m_server->setRoute(QStringLiteral("/lookup"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json")));
        LogCapture::start();
    }

    void firstLaunchShowsOnboardingThenMainWindow()
    {
        auto app = makeApp(false);
        QVERIFY(app->isFirstTime());
        QVERIFY(app->onboardingView());
        QVERIFY(!app->mainView());
        app->window()->show();
        QTRY_VERIFY(app->onboardingView()->sheet() && app->onboardingView()->sheet()->isVisible());
        QCOMPARE(app->window()->size(), QSize(PloveraApp::kDefaultWidth, PloveraApp::kDefaultHeight));
        saveRender(app->onboardingView()->sheet(), QStringLiteral("startup-onboarding"));

        // Escape does not get the user past the onboarding.
        QTest::keyClick(app->onboardingView()->sheet(), Qt::Key_Escape);
        QVERIFY(app->onboardingView()->sheet()->isVisible());

        auto* continueButton = app->onboardingView()->sheet()->findChild<QPushButton*>(QStringLiteral("continueButton"));
        QVERIFY(continueButton);
        QTest::mouseClick(continueButton, Qt::LeftButton);
        QVERIFY(!AppSettings::shared()->isFirstTime());
        QTRY_VERIFY(app->mainView());
        QTRY_VERIFY(!app->onboardingView());
        QVERIFY(app->mainView()->isVisible());
    }

    void toastKeysReadTheApplicationsStringTable()
    {
        auto app = makeApp();
        const auto title = [](const char* key) {
            return Toast::localized(key, ToastRole::plain, ToastDuration(2)).configuration.content.titleText();
        };
        QCOMPARE(title("label_termsofservice"), QStringLiteral("Terms of Service"));
        QCOMPARE(ToastButton("label_termsofservice", [](const ScheduleToastAction&) {}).text(),
            QStringLiteral("Terms of Service"));
        // A key the table does not hold shows as it stands.
        QCOMPARE(title("label_nosuchkey"), QStringLiteral("label_nosuchkey"));
    }

    void searchAddsAnAppThatSurvivesARestart()
    {
        {
            auto app = makeApp();
            MainView* view = app->mainView();
            QAbstractItemModelTester savedRows(view->sidebar()->model(), kReportToQtTest);
            QAbstractItemModelTester resultRows(view->searchOverlay()->model(), kReportToQtTest);
            view->setSelectedStorefront(QStringLiteral("US"));
            showActive(app->window());
            QCOMPARE(view->sidebar()->rowCount(), 0);

            QTest::keyClicks(view->searchField(), QStringLiteral("fieldnote"));
            QTest::keyClick(view->searchField(), Qt::Key_Return);
            SearchOverlay* overlay = view->searchOverlay();
            QVERIFY(overlay->isVisible());
            QTRY_COMPARE(overlay->model()->rowCount(), 3);
            saveRender(app->window(), QStringLiteral("main-search"));

            QCOMPARE(addState(overlay, 0), kAdd);
            clickAdd(overlay, 0);
            QTRY_COMPARE(view->sidebar()->rowCount(), 1);
            // The added app is selected and its header shown; the row says so.
            QCOMPARE(view->detailArea()->titleStack()->nameText(), QStringLiteral("Fieldnote: Trail Journal"));
            QCOMPARE(addState(overlay, 0), kAdded);
            QCOMPARE(overlay->model()->index(0).data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("Added"));
            QCOMPARE(view->sidebar()->selectedKey(), view->viewModel()->selectedKey());
            // Selecting looks the details up and saves the refreshed profile (new rating count).
            QTRY_COMPARE(app->savedApps()->profile(view->viewModel()->selectedKey())->app.ratingCount, std::optional<int>(18301));
            QCOMPARE(view->detailArea()->tabBar()->count(), 3);
            QCOMPARE(view->detailArea()->tabBar()->tabText(0), QStringLiteral("Top Charts"));

            // The list kept the focus through the add, so Escape closes the results.
            QCOMPARE(QApplication::focusWidget(), overlay->list());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QVERIFY(!overlay->isVisible());
            QCOMPARE(QApplication::focusWidget(), view->searchField());
            saveRender(app->window(), QStringLiteral("main-selected"));
        }
        // Restart: straight to the main window, over the same files.
        UserDefaults::resetForTesting();
        auto again = makeApp(false);
        QVERIFY(again->mainView());
        QVERIFY(!again->onboardingView());
        again->window()->show();
        QTRY_COMPARE(again->mainView()->sidebar()->rowCount(), 1);
        QCOMPARE(again->savedApps()->savedApps().constFirst().app.name, QStringLiteral("Fieldnote: Trail Journal"));
    }

    void searchResultsAreMarkedPerStorefront()
    {
        auto app = makeApp();
        MainView* view = app->mainView();
        view->setSelectedStorefront(QStringLiteral("US"));
        app->window()->show();
        view->search(QStringLiteral("fieldnote"));
        SearchOverlay* overlay = view->searchOverlay();
        QTRY_COMPARE(overlay->model()->rowCount(), 3);
        QCoro::waitFor(view->viewModel()->addSearchResult(overlay->model()->rowAt(0)));
        QCOMPARE(addState(overlay, 0), kAdded);

        // Saved for the US only: in Italy the same app can still be added.
        view->setSelectedStorefront(QStringLiteral("IT"));
        QTRY_VERIFY(!view->viewModel()->searchModel()->isLoading());
        QCOMPARE(m_server->requestCount(QStringLiteral("/search?country=it")), 1);
        QCOMPARE(addState(overlay, 0), kAdd);
        QCoro::waitFor(view->viewModel()->addSearchResult(overlay->model()->rowAt(0)));
        QCOMPARE(app->savedApps()->savedApps().size(), 2);
        QCOMPARE(view->viewModel()->selectedKey(), QStringLiteral("6443210987#IT#software"));
    }

    // The field holds a long term to the length the search sends, dropping
    // whole characters only, as a length limit does with what is put in.
    void searchFieldKeepsWholeCharacters()
    {
        auto app = makeApp();
        QLineEdit* field = app->mainView()->searchField();
        const QString flag = QStringLiteral("\U0001F1EE\U0001F1F9");
        field->setText(QString(197, QLatin1Char('a')));
        field->insert(flag); // 201 units: the flag does not fit, and goes whole
        QCOMPARE(field->text(), QString(197, QLatin1Char('a')));
        field->insert(QStringLiteral("b\U0001F600\U0001F600")); // the second emoji does not fit
        QCOMPARE(field->text(), QString(197, QLatin1Char('a')) + QStringLiteral("b\U0001F600"));
        // Typed in the middle of a full field: the text after the cursor stays.
        field->setCursorPosition(0);
        field->insert(QStringLiteral("\U0001F600"));
        QCOMPARE(field->text(), QString(197, QLatin1Char('a')) + QStringLiteral("b\U0001F600"));
        field->setText(QStringLiteral("x") + flag.repeated(60));
        QCOMPARE(field->text(), QStringLiteral("x") + flag.repeated(49));
    }

    void failedSearchClearsResultsAndSaysWhy()
    {
        auto app = makeApp();
        MainView* view = app->mainView();
        app->window()->show();
        view->search(QStringLiteral("fieldnote"));
        QTRY_COMPARE(view->searchOverlay()->model()->rowCount(), 3);
        QVERIFY(view->searchOverlay()->statusText().isEmpty());
        m_server->setRoute(QStringLiteral("/search"), FixtureResponse::html("<html>down</html>", 502));
        view->search(QStringLiteral("again"));
        QTRY_COMPARE(view->searchOverlay()->statusText(), QStringLiteral("Risposta del server non valida (codice 502)."));
        QVERIFY(!view->searchOverlay()->list()->isVisible());

        m_server->setRoute(QStringLiteral("/search"), FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_empty.json")));
        view->search(QStringLiteral("nothing"));
        QTRY_COMPARE(view->searchOverlay()->statusText(), QStringLiteral("No apps found."));
    }

    void rankingAppIsAddedOnceEvenWhenClickedTwice()
    {
        m_server->setRoute(QStringLiteral("/lookup"),
                           FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json")).delayed(300));
        auto app = makeApp();
        MainView* view = app->mainView();
        AppRanking ranking;
        ranking.id = QStringLiteral("6443210987");
        ranking.name = QStringLiteral("Fieldnote");
        auto first = view->addRankingApp(ranking, QStringLiteral("US"));
        auto second = view->addRankingApp(ranking, QStringLiteral("US"));
        QCoro::waitFor(std::move(second));
        QCoro::waitFor(std::move(first));
        QCOMPARE(app->savedApps()->savedApps().size(), 1);
        QCOMPARE(view->viewModel()->selectedApp()->id, 6443210987);
        // The add's lookup, then the refresh of the selection.
        QTRY_VERIFY(!view->viewModel()->isRefreshingSelection());
        QCOMPARE(m_server->requestCount(QStringLiteral("/lookup")), 2);

        // Already saved: selected again; only the refresh of the selection looks it up.
        view->viewModel()->selectProfile(QString());
        QCoro::waitFor(view->addRankingApp(ranking, QStringLiteral("US")));
        QCOMPARE(view->viewModel()->selectedApp()->id, 6443210987);
        QTRY_VERIFY(!view->viewModel()->isRefreshingSelection());
        QCOMPARE(app->savedApps()->savedApps().size(), 1);
        QCOMPARE(m_server->requestCount(QStringLiteral("/lookup")), 3);
    }

    // The parser's own cases are in the chart tests; these follow an id through the add.
    void rankingAppIds_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("added");
        QTest::addColumn<QString>("expectedLog");
        QTest::newRow("not decimal") << QStringLiteral("id123") << false
                                     << QStringLiteral("Unable to add ranked app with invalid id id123");
        QTest::newRow("plus sign") << QStringLiteral("+6443210987") << true << QString();
        QTest::newRow("not found") << QStringLiteral("42") << false
                                   << QStringLiteral("Unable to add ranked app 42: App non trovata.");
    }
    void rankingAppIds()
    {
        QFETCH(QString, id);
        QFETCH(bool, added);
        QFETCH(QString, expectedLog);
        auto app = makeApp();
        AppRanking ranking;
        ranking.id = id;
        QCoro::waitFor(app->mainView()->addRankingApp(ranking, QStringLiteral("US")));
        QCOMPARE(app->savedApps()->savedApps().size(), added ? 1 : 0);
        if (added) {
            QCOMPARE(app->mainView()->viewModel()->selectedApp()->id, 6443210987);
            QVERIFY(LogCapture::lines().filter(QStringLiteral("Unable to add")).isEmpty());
        } else {
            QVERIFY2(!LogCapture::lines().filter(expectedLog).isEmpty(), qPrintable(LogCapture::text()));
            QVERIFY(!LogCapture::lines().filter(QStringLiteral("MainViewModel::addRankingApp")).isEmpty());
        }
    }

    void failedRefreshKeepsTheSavedDetailsAndSaysWhy()
    {
        m_server->setRoute(QStringLiteral("/lookup"), FixtureResponse::text("maintenance", 503));
        auto app = makeApp();
        MainView* view = app->mainView();
        view->viewModel()->selectProfile(addSaved(app.get(), 6443210987, QStringLiteral("Fieldnote (saved)")));
        QCOMPARE(view->detailArea()->statusText(), QStringLiteral("Updating details…"));
        QTRY_COMPARE(view->detailArea()->statusText(), QStringLiteral("Risposta del server non valida (codice 503)."));
        QCOMPARE(view->detailArea()->titleStack()->nameText(), QStringLiteral("Fieldnote (saved)"));
        QCOMPARE(app->savedApps()->savedApps().constFirst().app.name, QStringLiteral("Fieldnote (saved)"));
    }

    // The status of a refresh comes and goes without moving the header or the tabs.
    void headerHoldsStillWhileDetailsUpdate()
    {
        m_server->setRoute(QStringLiteral("/lookup"),
                           FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_us.json")).delayed(300));
        auto app = makeApp();
        MainView* view = app->mainView();
        app->window()->show();
        view->viewModel()->selectProfile(addSaved(app.get(), 6443210987, QStringLiteral("Fieldnote")));
        AppDetailArea* detail = view->detailArea();
        const auto places = [detail] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            return QList<QRect>{detail->titleStack()->geometry(), detail->tabBar()->geometry()};
        };
        QCOMPARE(detail->statusText(), QStringLiteral("Updating details…"));
        const QList<QRect> updating = places();
        saveRender(app->window(), QStringLiteral("main-updating"));
        QTRY_VERIFY(detail->statusText().isEmpty());
        QCOMPARE(places(), updating);
    }

    // Names and texts come from the network: however long, they never make the window grow.
    void longRemoteTextsKeepTheWindowSize()
    {
        const QString name = QStringLiteral("Fieldnöte Trail Journal ·").repeated(40); // 1,000 characters
        QFile file(QStringLiteral(PLOVERA_FIXTURES_DIR "/catalogue/lookup_fieldnote_us.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonObject document = QJsonDocument::fromJson(file.readAll()).object();
        QJsonObject entry = document.value(QStringLiteral("results")).toArray().first().toObject();
        entry.insert(QStringLiteral("trackName"), name);
        entry.insert(QStringLiteral("artistName"), name);
        entry.insert(QStringLiteral("description"), QStringLiteral("Wege, Gipfel und Notizen. ").repeated(120000)); // 3 MB
        document.insert(QStringLiteral("results"), QJsonArray{entry});
        const QByteArray answer = QJsonDocument(document).toJson(QJsonDocument::Compact);
        m_server->setRoute(QStringLiteral("/lookup"), FixtureResponse::json(answer));
        m_server->setRoute(QStringLiteral("/search"), FixtureResponse::json(answer));
        m_server->setRoute(QStringLiteral("/api/ios/apps"),
                           FixtureResponse::json(ScreenFixtures::estimates(6443210987, name, name)));

        auto app = makeApp();
        MainView* view = app->mainView();
        QWidget* window = app->window();
        window->show();
        const QSize size = window->size();
        const auto settledSize = [window] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            return window->size();
        };
        view->viewModel()->selectProfile(addSaved(app.get(), 6443210987, QStringLiteral("Fieldnote")));
        QTRY_COMPARE(view->detailArea()->titleStack()->nameText(), name);
        QCOMPARE(settledSize(), size);
        // The estimates' screen and its view model are made when first shown, once.
        QVERIFY(!view->detailArea()->tabPage(DetailTab::monetization));
        QVERIFY(view->findChildren<MonetizationViewModel*>().isEmpty());
        view->detailArea()->setCurrentTab(DetailTab::monetization);
        auto* estimates = qobject_cast<MonetizationView*>(view->detailArea()->tabPage(DetailTab::monetization));
        QCOMPARE(view->findChildren<MonetizationViewModel*>().size(), 1);
        QTRY_COMPARE(estimates->downloadsLabel()->text(), name);
        QCOMPARE(settledSize(), size);
        ScreenFixtures::renderBothSchemes(window, QStringLiteral("main-long-name"));
        ScreenFixtures::resetScheme();
        view->search(QStringLiteral("fieldnote"));
        QTRY_COMPARE(view->searchOverlay()->model()->rowCount(), 1);
        QCOMPARE(settledSize(), size);

        // A narrow window cuts the texts instead of being held wide.
        window->resize(900, 700);
        QCOMPARE(settledSize(), QSize(900, 700));
        view->detailArea()->setCurrentTab(DetailTab::ranks);
        QCOMPARE(settledSize(), QSize(900, 700));
    }

    void windowClosedWhileSelectionLooksUp()
    {
        // Without screenshots the lookup goes on to other storefronts.
        m_server->setRoute(QStringLiteral("/lookup"),
                           FixtureResponse::fromFile(QStringLiteral("catalogue/lookup_fieldnote_it.json")).delayed(200));
        auto app = makeApp();
        app->mainView()->viewModel()->selectProfile(addSaved(app.get(), 6443210987, QStringLiteral("Fieldnote")));
        QVERIFY(app->mainView()->viewModel()->isRefreshingSelection());
        QTRY_COMPARE(m_server->requestCount(QStringLiteral("/lookup")), 1);
        app.reset();
        // Nothing goes on asking once the window is gone.
        QTest::qWait(800);
        QCOMPARE(m_server->requestCount(QStringLiteral("/lookup")), 1);
    }

    void workspaceFailuresReachTheUser()
    {
        auto app = makeApp();
        MainView* view = app->mainView();
        app->window()->show();
        const QString key = addSaved(app.get(), 6443210987, QStringLiteral("Fieldnote"));
        view->viewModel()->selectProfile(key);
        QVERIFY(!view->workspaceErrorLabel()->isVisible());
        breakWorkspace();

        QVERIFY(!QCoro::waitFor(view->viewModel()->removeProfile(key)));
        QVERIFY(view->workspaceErrorLabel()->isVisible());
        QVERIFY2(view->workspaceErrorLabel()->text().startsWith(QStringLiteral("Could not remove “Fieldnote” from the workspace: ")),
                 qPrintable(view->workspaceErrorLabel()->text()));
        QCOMPARE(view->sidebar()->rowCount(), 1);
        QCOMPARE(view->viewModel()->selectedKey(), key);
        QCOMPARE(view->sidebar()->selectedKey(), key);

        AppInfo other;
        other.id = 1500000001;
        other.name = QStringLiteral("Tally");
        QCoro::waitFor(view->viewModel()->addSearchResult(other));
        QVERIFY(view->workspaceErrorLabel()->text().startsWith(QStringLiteral("Could not add “Tally” to the workspace: ")));
        QCOMPARE(view->sidebar()->rowCount(), 1);
    }

    // What the window-level screen test leaves out: the same app in another
    // storefront keeps its rank monitor, no selection has none, and the clients.
    void tabViewModelsLiveAsLongAsTheyShould()
    {
        m_server->setRoute(QStringLiteral("/api/ios/apps"), FixtureResponse::withStatus(404));
        auto app = makeApp();
        MainViewModel* model = app->mainView()->viewModel();
        model->setSelectedStorefront(QStringLiteral("US"));
        QCOMPARE(model->rankMonitorViewModel(), nullptr);
        QSignalSpy rankMonitorChanges(model, &MainViewModel::rankMonitorViewModelChanged);

        const QString fieldnoteUS = addSaved(app.get(), 6443210987, QStringLiteral("Fieldnote"));
        const QString fieldnoteIT = addSaved(app.get(), 6443210987, QStringLiteral("Fieldnote"), QStringLiteral("IT"));
        model->selectProfile(fieldnoteUS);
        QTRY_VERIFY(model->rankMonitorViewModel()); // once the saved details are read
        QPointer<AppRankMonitorViewModel> first = model->rankMonitorViewModel();
        QCOMPARE(first->service().charts().session(), model->rankingService().session());
        QTRY_VERIFY(!model->isRefreshingSelection()); // saves refreshed details
        model->selectProfile(fieldnoteIT);
        QCOMPARE(model->rankMonitorViewModel(), first.data());
        QCOMPARE(rankMonitorChanges.count(), 1);
        model->selectProfile(QString());
        QCOMPARE(model->rankMonitorViewModel(), nullptr);

        // The estimates client's base address is the endpoint itself.
        QVERIFY(model->sensorTowerService().baseURL().path().endsWith(QStringLiteral("/api/ios/apps")));
        QCoro::waitFor(model->makeMonetizationViewModel(model)->loadMonetization(6443210987));
        QCOMPARE(m_server->requestCount(QStringLiteral("/api/ios/apps")), 1);
    }

    // The top charts' view model comes with their tab: until the tab is shown
    // there is none, and a change of the window's country fetches no chart.
    void chartViewModelComesWithItsTab()
    {
        const QString german = QStringLiteral("/api/v2/de/apps/top-free/50/apps.json");
        m_server->setRoute(german, FixtureResponse::json(ScreenFixtures::currentChart(
                                       {{"6443210987", "Fieldnote", "Productivity"}}, m_server->baseUrl())));
        const auto chartRequests = [this] {
            int count = 0;
            for (const FixtureRequest& request : m_server->requests())
                count += request.path.contains(QLatin1String("/apps/top-")) || request.path.contains(QLatin1String("/rss/")) ? 1 : 0;
            return count;
        };
        auto app = makeApp();
        MainView* view = app->mainView();
        app->window()->show();
        view->setSelectedStorefront(QStringLiteral("DE"));
        QVERIFY(view->findChildren<AppRankingViewModel*>().isEmpty());
        // A search after the change reaches the same server: by its answer a
        // chart request of the change would have arrived too.
        view->search(QStringLiteral("fieldnote"));
        QTRY_COMPARE(view->searchOverlay()->model()->rowCount(), 3);
        QCOMPARE(chartRequests(), 0);

        // Selecting an app shows the detail area at its first tab, the top charts.
        const QString fieldnote = addSaved(app.get(), 6443210987, QStringLiteral("Fieldnote"));
        view->viewModel()->selectProfile(fieldnote);
        auto* charts = qobject_cast<RanksSummaryTabView*>(view->detailArea()->tabPage(DetailTab::ranks));
        QVERIFY(charts);
        const QList<AppRankingViewModel*> made = view->findChildren<AppRankingViewModel*>();
        QCOMPARE(made.size(), 1);
        QCOMPARE(charts->viewModel(), made.first());
        QCOMPARE(made.first()->selectedStorefront(), QStringLiteral("DE"));
        QTRY_COMPARE(charts->contentState(), RanksSummaryTabView::ContentState::Rows);
        QCOMPARE(m_server->requestCount(german), 1);

        // Every later render of the window keeps it: saved apps, selection, country.
        const QString tally = addSaved(app.get(), 1500000001, QStringLiteral("Tally"));
        view->viewModel()->selectProfile(tally);
        view->setSelectedStorefront(QStringLiteral("FR"));
        QCOMPARE(view->findChildren<AppRankingViewModel*>(), made);
        QCOMPARE(made.first()->selectedStorefront(), QStringLiteral("FR"));
        QCOMPARE(qobject_cast<RanksSummaryTabView*>(view->detailArea()->tabPage(DetailTab::ranks)), charts);
        // The window's country in another letter case is no change for the tab.
        QSignalSpy chartStorefront(made.first(), &AppRankingViewModel::selectedStorefrontChanged);
        view->setSelectedStorefront(QStringLiteral("fr"));
        QCOMPARE(chartStorefront.count(), 0);
    }

    void countrySelectorFindsCountriesByTypedName()
    {
        auto app = makeApp();
        QComboBox* box = app->mainView()->storefrontSelector();
        QAbstractItemModelTester countries(box->model(), kReportToQtTest);
        showActive(app->window());
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("Hong"));
        QCOMPARE(box->currentData(StorefrontListModel::kCodeRole).toString(), QStringLiteral("HK"));
        QCOMPARE(box->currentText(), QStringLiteral("Hong Kong SAR China"));
        QCOMPARE(app->mainView()->selectedStorefront(), QStringLiteral("HK"));
        QTRY_VERIFY(!box->itemIcon(box->currentIndex()).isNull()); // flags follow the first frame
        QCOMPARE(ScreenFixtures::itemsCutInPopup(box), QStringList());
        // Ordered by name as people read it: "São Tomé" before "Saudi Arabia".
        const QStringList& codes = StorefrontListModel::codesByRegionName();
        QCOMPARE(codes.size(), 167);
        QCOMPARE(codes.constFirst(), QStringLiteral("AL"));
        QVERIFY(codes.indexOf(QStringLiteral("ST")) < codes.indexOf(QStringLiteral("SA")));
    }

    void sidebarRowsCutLongNamesAndUseHighlightColours()
    {
        auto app = makeApp();
        const QString longName = QStringLiteral("Walking Internet Entertainment Limited Company of Remarkably Long Names");
        addSaved(app.get(), 1500000001, longName);
        addSaved(app.get(), 1500000002, QStringLiteral("WWWWWWWWWW"));
        app->window()->show();
        SavedAppsSidebar* sidebar = app->mainView()->sidebar();
        QTRY_COMPARE(sidebar->rowCount(), 2);
        const int longRow = sidebar->model()->rowOfKey(QStringLiteral("1500000001#US#software"));
        const int shortRow = 1 - longRow;
        const auto cut = sidebar->delegate()->shownTexts(rowOption(sidebar->list(), longRow), sidebar->model()->index(longRow));
        QVERIFY2(cut.first.endsWith(QChar(0x2026)) && cut.first.size() < longName.size(), qPrintable(cut.first));
        QVERIFY(longName.startsWith(cut.first.chopped(1)));
        const auto whole = sidebar->delegate()->shownTexts(rowOption(sidebar->list(), shortRow), sidebar->model()->index(shortRow));
        QCOMPARE(whole.first, QStringLiteral("WWWWWWWWWW"));

        // A selected row's text is drawn in the highlighted-text colour.
        QPalette palette = sidebar->list()->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Highlight, QColor(0, 0, 255));
            palette.setColor(group, QPalette::HighlightedText, QColor(0, 255, 0));
        }
        sidebar->list()->setPalette(palette);
        sidebar->setSelectedKey(sidebar->model()->index(shortRow).data(AppListRole::Key).toString());
        const QImage image = sidebar->list()->viewport()->grab(sidebar->list()->visualRect(sidebar->model()->index(shortRow))).toImage();
        int highlightedText = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                highlightedText += pixel.green() > 200 && pixel.red() < 60 && pixel.blue() < 60;
            }
        }
        QVERIFY2(highlightedText > 20, qPrintable(QString::number(highlightedText)));
    }

    // The gear and the sidebar's selected row show keyboard focus as the
    // accent ring, clear of what they hold.
    void toolbarAndSidebarShowFocusAsTheRing()
    {
        auto app = makeApp();
        MainView* view = app->mainView();
        view->viewModel()->selectProfile(addSaved(app.get(), 6443210987, QStringLiteral("Fieldnote")));
        showActive(app->window());
        QVERIFY(ScreenFixtures::showsRingAlone(view->settingsButton()));

        QListView* list = view->sidebar()->list();
        const QModelIndex row = list->model()->index(0, 0);
        QTRY_VERIFY(list->selectionModel()->isSelected(row));
        list->setCurrentIndex(row);
        const QRect rect = list->visualRect(row);
        list->clearFocus();
        const QImage unfocused = list->viewport()->grab(rect).toImage();
        list->setFocus(Qt::TabFocusReason);
        const auto mark = ScreenFixtures::focusMark(list->viewport()->grab(rect).toImage(), unfocused,
                                                    SemanticColors::accent(colorScheme(list)),
                                                    QRect(QPoint(), rect.size()).adjusted(6, 6, -6, -6));
        QVERIFY2(mark.ringPixels >= rect.width(), qPrintable(QString::number(mark.ringPixels)));
        QCOMPARE(mark.contentPixels, 0);
    }

    void firstFrameIsComplete()
    {
        // The search magnifier, the settings gear and the country's flag are
        // in the first frame the window shows, and nothing moves after it.
        auto app = makeApp();
        QMainWindow* window = app->window();
        MainView* view = app->mainView();
        QImage firstFrame;
        FirstFrameGrab grab(window, &firstFrame);
        window->show();
        QTRY_VERIFY(!firstFrame.isNull());
        QTest::qWait(50);
        const QImage later = window->screen()->grabWindow(window->winId()).toImage();
        for (const QWidget* part : QList<QWidget*>{view->searchField(), view->settingsButton(), view->storefrontSelector()}) {
            const QRect area(part->mapTo(window, QPoint(0, 0)), part->size());
            QCOMPARE(firstFrame.copy(area), later.copy(area));
        }
    }

    void coloursFollowALiveSchemeSwitch()
    {
        const QPalette original = QApplication::palette();
        QPalette light = original;
        light.setColor(QPalette::Window, QColor(236, 236, 236));
        QApplication::setPalette(light);
        auto app = makeApp();
        MainView* view = app->mainView();
        view->viewModel()->selectProfile(addSaved(app.get(), 6443210987, QStringLiteral("Fieldnote")));
        app->window()->show();
        auto sidebarFill = [view] { return view->sidebar()->palette().color(QPalette::Window); };
        auto developerColour = [view] {
            return view->detailArea()->titleStack()->findChildren<ShrinkingLabel*>().constLast()->palette().color(QPalette::WindowText);
        };
        QCOMPARE(sidebarFill(), SemanticColors::controlBackground(ColorScheme::Light));
        QCOMPARE(developerColour(), SemanticColors::secondary(ColorScheme::Light));
        saveRender(app->window(), QStringLiteral("main-light"));

        QPalette dark = original;
        dark.setColor(QPalette::Window, QColor(50, 50, 50));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        QApplication::setPalette(dark);
        QTRY_COMPARE(sidebarFill(), SemanticColors::controlBackground(ColorScheme::Dark));
        QCOMPARE(developerColour(), SemanticColors::secondary(ColorScheme::Dark));
        QCOMPARE(view->workspaceErrorLabel()->palette().color(QPalette::WindowText), SemanticColors::red(ColorScheme::Dark));
        saveRender(app->window(), QStringLiteral("main-dark"));
        QApplication::setPalette(original);
        QTRY_COMPARE(sidebarFill(), SemanticColors::controlBackground(colorScheme(view)));
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

    void quitEndsTheApplicationWithASheetOpen_data()
    {
        QTest::addColumn<bool>("onboarding");
        QTest::addColumn<bool>("closeButton");
        QTest::newRow("settings, Ctrl+Q") << false << false;
        QTest::newRow("onboarding, Ctrl+Q") << true << false;
        QTest::newRow("settings, the window's close button") << false << true;
    }

    void quitEndsTheApplicationWithASheetOpen()
    {
        QFETCH(bool, onboarding);
        QFETCH(bool, closeButton);
        auto app = makeApp(!onboarding);
        showActive(app->window());
        // The X server's close request, which Qt drops while a sheet blocks the window.
        xcb_client_message_event_t closeRequest{};
        closeRequest.response_type = XCB_CLIENT_MESSAGE;
        closeRequest.format = 32;
        closeRequest.window = static_cast<xcb_window_t>(app->window()->winId());
        closeRequest.type = 1;
        closeRequest.data.data32[0] = 2;
        BlockedWindowClose* filter = BlockedWindowClose::instance();
        filter->setAtomsForTesting(1, 2);
        if (!onboarding) {
            QVERIFY(!filter->nativeEventFilter("xcb_generic_event_t", &closeRequest, nullptr)); // Qt's own, unblocked
            QTest::mouseClick(app->mainView()->settingsButton(), Qt::LeftButton);
        }
        QPointer<QWidget> sheet = onboarding ? static_cast<QWidget*>(app->onboardingView()->sheet())
                                             : app->mainView()->settingsView();
        QTRY_VERIFY(sheet && sheet->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), sheet.data());
        // The application's own loop, ended by the key or the close request alone; a hang fails.
        QTimer::singleShot(0, sheet, [sheet, filter, &closeRequest, closeButton] {
            if (closeButton)
                filter->nativeEventFilter("xcb_generic_event_t", &closeRequest, nullptr);
            else
                QTest::keyClick(sheet, Qt::Key_Q, Qt::ControlModifier);
        });
        QTimer hang;
        connect(&hang, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        hang.start(10000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

private:
    // Past the onboarding unless `onboarded` is false: then the stored flag decides.
    // Keeps what the screen shows right after the window's first paint.
    class FirstFrameGrab : public QObject {
    public:
        FirstFrameGrab(QWidget* window, QImage* frame) : m_window(window), m_frame(frame) { window->installEventFilter(this); }
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && !m_queued) {
                m_queued = true;
                QTimer::singleShot(0, this, [this] { *m_frame = m_window->screen()->grabWindow(m_window->winId()).toImage(); });
            }
            return false;
        }

    private:
        QWidget* m_window;
        QImage* m_frame;
        bool m_queued = false;
    };

    std::unique_ptr<PloveraApp> makeApp(bool onboarded = true)
    {
        if (onboarded)
            AppSettings::shared()->setIsFirstTime(false);
        auto app = PloveraApp::create(PloveraApp::Options{m_dbPath});
        if (!app)
            qFatal("%s", qPrintable(app.error()));
        return std::move(app.value());
    }

    static void showActive(QWidget* window)
    {
        window->show();
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    static QString addSaved(PloveraApp* app, qint64 id, const QString& name, const QString& storefront = QStringLiteral("US"))
    {
        AppInfo info;
        info.id = id;
        info.name = name;
        info.developer = QStringLiteral("Vantorel Labs");
        const auto saved = QCoro::waitFor(app->savedApps()->add(info, storefront));
        return saved ? saved.value().dedupKey() : QString();
    }

    // Another connection renames the table away, so every later write fails.
    void breakWorkspace()
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("breaker"));
            db.setDatabaseName(m_dbPath);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("ALTER TABLE saved_app_profiles RENAME TO gone")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("breaker"));
    }

    std::unique_ptr<FixtureServer> m_server;
    QTemporaryDir m_data;
    QString m_dbPath;
    int m_case = 0;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"

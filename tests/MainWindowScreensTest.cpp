#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"
#include "PloveraApp.h"
#include "Services/Settings/AppSettings.h"
#include "ViewModels/AppRankMonitorViewModel.h"
#include "ViewModels/AppRankingViewModel.h"
#include "ViewModels/MainViewModel.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "Views/MainWindow/AppDetailArea.h"
#include "Views/MainWindow/AppListModels.h"
#include "Views/RankMonitor/AppRanksView.h"
#include "Views/MainWindow/MainView.h"
#include "Views/Monetization/MonetizationView.h"
#include "Views/TopCharts/RankingListModel.h"
#include "Views/TopCharts/RankingRow.h"
#include "Views/TopCharts/RanksSummaryTabView.h"
#include "Views/MainWindow/SavedAppsSidebar.h"
#include "Views/Shared/ScreenPanel.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"
#include "platform/SegmentedControl.h"
#include "platform/ShrinkingLabel.h"
#include "platform/UserDefaults.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr qint64 kFieldnote = 6443210987; // the app the lookup fixture describes
constexpr qint64 kTally = 1500000001;

template <typename Screen>
Screen* tabScreen(MainView* view, DetailTab tab)
{
    return qobject_cast<Screen*>(view->detailArea()->tabPage(tab));
}
} // namespace

// The main window with its three detail screens, every client on the fixture server.
class MainWindowScreensTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        const QByteArray base = m_server.baseUrl().toString().toUtf8();
        for (const char* name : {"PLOVERA_CATALOGUE_URL", "PLOVERA_CHARTS_URL", "PLOVERA_LEGACY_CHARTS_URL",
                                 "PLOVERA_ESTIMATES_URL"})
            qputenv(name, base);
        m_server.setHandler([base = m_server.baseUrl()](const FixtureRequest& request) -> std::optional<FixtureResponse> {
            if (request.path.startsWith(QLatin1String("/api/v2/"))) {
                QList<ScreenFixtures::ChartEntry> entries{{QString::number(kTally), QStringLiteral("Tally"), {}},
                                                          {QString::number(kFieldnote), QStringLiteral("Fieldnote"), {}}};
                entries.append(ScreenFixtures::numberedEntries(6));
                return FixtureResponse::json(ScreenFixtures::currentChart(entries, base));
            }
            if (request.path.contains(QLatin1String("/rss/")))
                return FixtureResponse::fromFile(QStringLiteral("charts/legacy_us_top_free_short.json"));
            if (request.path == QLatin1String("/api/ios/apps")) {
                // Figures that name the app they are for.
                const QString id = request.query.queryItemValue(QStringLiteral("app_ids"));
                return FixtureResponse::json(ScreenFixtures::estimates(id.toLongLong(), id + QStringLiteral(" dl"), QLatin1Char('$') + id));
            }
            if (request.path == QLatin1String("/lookup"))
                return FixtureResponse::fromFile(request.query.queryItemValue(QStringLiteral("id")) == QString::number(kFieldnote)
                                                     ? QStringLiteral("catalogue/lookup_fieldnote_us.json")
                                                     : QStringLiteral("catalogue/lookup_empty.json"));
            if (request.path.startsWith(QLatin1String("/icons/"))) {
                FixtureResponse icon = ScreenFixtures::pngResponse(Qt::darkCyan);
                icon.status = request.path.contains(QLatin1String("404")) ? 404 : 200;
                return icon;
            }
            return std::nullopt;
        });
    }

    void init()
    {
        QVERIFY(m_data.isValid());
        UserDefaults::resetForTesting();
        QFile::remove(AppSettings::shared()->suite()->filePath());
        UserDefaults::resetForTesting();
        AppSettings::shared()->setIsFirstTime(false);
        // Two countries keep the rank monitor's checks few.
        AppSettings::shared()->setAppRankMonitorSelectedCountries({QStringLiteral("US"), QStringLiteral("JP")});
        RemoteImageCache::shared()->resetForTesting();
        auto app = PloveraApp::create(PloveraApp::Options{m_data.filePath(QStringLiteral("ws-%1.sqlite").arg(++m_case))});
        QVERIFY2(app, app ? "" : qPrintable(app.error()));
        m_app = std::move(app.value());
        m_view = m_app->mainView();
        m_view->setSelectedStorefront(QStringLiteral("US"));
        m_app->window()->resize(1280, 860);
    }

    void cleanup()
    {
        m_app.reset();
        ScreenFixtures::resetScheme();
    }

    void chartRowAddsToTheSidebarAndMarksTheRow()
    {
        const QString tally = saveApp(kTally, QStringLiteral("Tally"));
        const QString noIcon = saveApp(404, QStringLiteral("No Icon"));
        select(tally);
        m_app->window()->show();
        // Sidebar icons: loaded, or the fallback when there is none to be had.
        SavedAppsListModel* sidebar = m_view->sidebar()->model();
        const auto phase = [sidebar](const QString& key) {
            return sidebar->index(sidebar->rowOfKey(key)).data(AppListRole::IconPhase).value<int>();
        };
        QTRY_COMPARE(phase(tally), int(RemoteImageView::Phase::Success));
        QTRY_COMPARE(phase(noIcon), int(RemoteImageView::Phase::Failure));

        auto* charts = tabScreen<RanksSummaryTabView>(m_view, DetailTab::ranks);
        QVERIFY(charts);
        QCOMPARE(charts->viewModel()->parent(), charts); // made with the tab, gone with it
        QTRY_COMPARE(charts->contentState(), RanksSummaryTabView::ContentState::Rows);
        const QAbstractItemModel* rows = charts->model();
        // The open app is highlighted and saved; Fieldnote is neither.
        QVERIFY(rows->index(0, 0).data(RankingListModel::HighlightedRole).toBool());
        QVERIFY(rows->index(0, 0).data(RankingListModel::SavedRole).toBool());
        QVERIFY(!rows->index(1, 0).data(RankingListModel::SavedRole).toBool());

        QListView* list = charts->listView();
        QStyleOptionViewItem option;
        option.rect = list->visualRect(rows->index(1, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RankingRow::geometry(option, rows->index(1, 0)).state.center());
        QVERIFY(rows->index(1, 0).data(RankingListModel::AddingRole).toBool());

        QTRY_COMPARE(m_view->sidebar()->rowCount(), 3);
        QTRY_COMPARE(m_view->viewModel()->selectedApp()->id, kFieldnote);
        QCOMPARE(m_view->viewModel()->selectedApp()->name, QStringLiteral("Fieldnote: Trail Journal"));
        // The same screen marks the new state: both saved, the new one open.
        QCOMPARE(tabScreen<RanksSummaryTabView>(m_view, DetailTab::ranks), charts);
        QTRY_VERIFY(!rows->index(1, 0).data(RankingListModel::AddingRole).toBool());
        QVERIFY(rows->index(1, 0).data(RankingListModel::SavedRole).toBool());
        QVERIFY(rows->index(1, 0).data(RankingListModel::HighlightedRole).toBool());
        QVERIFY(!rows->index(0, 0).data(RankingListModel::HighlightedRole).toBool());
    }

    void switchingAppsRebuildsOnlyTheRankPage()
    {
        const QString tally = saveApp(kTally, QStringLiteral("Tally"));
        const QString fieldnote = saveApp(kFieldnote, QStringLiteral("Fieldnote"));
        select(tally);
        m_app->window()->show();
        AppDetailArea* detail = m_view->detailArea();

        // The user's chart choices: paid, Japan, a category.
        auto* charts = tabScreen<RanksSummaryTabView>(m_view, DetailTab::ranks);
        AppRankingViewModel* chartModel = charts->viewModel();
        QTRY_COMPARE(charts->contentState(), RanksSummaryTabView::ContentState::Rows);
        SegmentedControl* kind = charts->chartPicker();
        QTest::mouseClick(kind, Qt::LeftButton, {}, kind->segmentRect(1).center());
        charts->countryPicker()->activated(charts->countryPicker()->findData(QStringLiteral("JP")));
        charts->categoryPicker()->activated(3);
        const auto genre = chartModel->selectedGenre();
        QVERIFY(genre);

        detail->setCurrentTab(DetailTab::appRanks);
        QPointer<AppRanksView> firstPage = tabScreen<AppRanksView>(m_view, DetailTab::appRanks);
        QVERIFY(firstPage);
        QPointer<AppRankMonitorViewModel> firstModel = firstPage->viewModel();
        QCOMPARE(firstModel->appID(), kTally);
        QTRY_COMPARE(firstPage->cards().size(), 2);

        select(fieldnote);
        QTRY_VERIFY(tabScreen<AppRanksView>(m_view, DetailTab::appRanks)); // once the saved details are read
        auto* secondPage = tabScreen<AppRanksView>(m_view, DetailTab::appRanks);
        QVERIFY(secondPage && secondPage != firstPage);
        QCOMPARE(secondPage->viewModel()->appID(), kFieldnote);
        QTRY_VERIFY(!firstPage && !firstModel);
        QTRY_COMPARE(secondPage->cards().size(), 2);
        // Refreshed details of the same app keep the page.
        QTRY_VERIFY(!m_view->viewModel()->isRefreshingSelection());
        QCOMPARE(tabScreen<AppRanksView>(m_view, DetailTab::appRanks), secondPage);

        // The top charts kept their screen, view model and choices.
        QCOMPARE(tabScreen<RanksSummaryTabView>(m_view, DetailTab::ranks), charts);
        QCOMPARE(chartModel->selectedFeed(), ChartFeed::Feed::topPaid);
        QCOMPARE(chartModel->selectedStorefront(), QStringLiteral("JP"));
        QCOMPARE(chartModel->selectedGenre(), genre);
        QCOMPARE(charts->countryPicker()->currentData().toString(), QStringLiteral("JP"));
        // A real change of the window's country moves the tab's country.
        m_view->setSelectedStorefront(QStringLiteral("DE"));
        QCOMPARE(chartModel->selectedStorefront(), QStringLiteral("DE"));
    }

    // Every tab's card keeps the window's 20 from the bottom edge, as from the side.
    void tabCardsKeepTheirMarginAtTheBottom()
    {
        select(saveApp(kTally, QStringLiteral("Tally")));
        m_app->window()->show();
        for (const DetailTab tab : {DetailTab::ranks, DetailTab::monetization}) {
            m_view->detailArea()->setCurrentTab(tab);
            QWidget* screen = m_view->detailArea()->tabPage(tab);
            QVERIFY(screen);
            auto* card = screen->findChild<ScreenPanel*>(QString(), Qt::FindDirectChildrenOnly);
            QVERIFY(card);
            const QRect drawn(card->mapTo(m_view, QPoint(0, 0)), card->size());
            QCOMPARE(m_view->width() - 1 - drawn.right(), 20);
            QCOMPARE(m_view->height() - 1 - drawn.bottom(), 20);
        }
    }

    void monetizationReloadsForTheNewApp()
    {
        const QString tally = saveApp(kTally, QStringLiteral("Tally"));
        const QString fieldnote = saveApp(kFieldnote, QStringLiteral("Fieldnote"));
        select(tally);
        m_view->detailArea()->setCurrentTab(DetailTab::monetization);
        m_app->window()->show();
        auto* estimates = tabScreen<MonetizationView>(m_view, DetailTab::monetization);
        QVERIFY(estimates);
        QTRY_COMPARE(estimates->downloadsLabel()->text(), QStringLiteral("%1 dl").arg(kTally));

        select(fieldnote);
        QCOMPARE(tabScreen<MonetizationView>(m_view, DetailTab::monetization), estimates);
        QTRY_COMPARE(estimates->downloadsLabel()->text(), QStringLiteral("%1 dl").arg(kFieldnote));
        QCOMPARE(estimates->revenueLabel()->text(), QStringLiteral("$%1").arg(kFieldnote));
        // The refresh of the same app asks for nothing more.
        QTRY_VERIFY(!m_view->viewModel()->isRefreshingSelection());
        QTest::qWait(100);
        QCOMPARE(m_server.requestCount(QStringLiteral("/api/ios/apps?app_ids=%1").arg(kFieldnote)), 1);
    }

    // A click on a tab hides the control the focus was on; the focus stays in
    // the tab area, where a stray arrow key changes nothing out of sight, and
    // shows no ring, as focus after a click never does.
    void aTabClickKeepsTheFocusInTheTabArea_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("chart picker") << QStringLiteral("chartPicker");
        QTest::newRow("chart rows") << QStringLiteral("rankingList");
    }

    void aTabClickKeepsTheFocusInTheTabArea()
    {
        QFETCH(QString, control);
        select(saveApp(kTally, QStringLiteral("Tally")));
        m_app->window()->show();
        QApplication::setActiveWindow(m_app->window());
        QTRY_COMPARE(QApplication::activeWindow(), m_app->window());
        AppDetailArea* detail = m_view->detailArea();
        auto* charts = tabScreen<RanksSummaryTabView>(m_view, DetailTab::ranks);
        QTRY_COMPARE(charts->contentState(), RanksSummaryTabView::ContentState::Rows);
        // The keyboard has been used: Tab there and back to the control.
        auto* start = charts->findChild<QWidget*>(control);
        start->setFocus(Qt::TabFocusReason);
        QTest::keyClick(start, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTRY_COMPARE(QApplication::focusWidget(), start);

        DetailTabBar* tabs = detail->tabBar();
        const AppPlatform platform = m_view->viewModel()->selectedPlatform();
        for (const DetailTab to : {DetailTab::appRanks, DetailTab::monetization, DetailTab::ranks}) {
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(int(allDetailTabs().indexOf(to))).center());
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus == tabs || detail->page(to)->isAncestorOf(focus));
            QVERIFY(!tabs->showsFocusRing());
            QTest::keyClick(focus, Qt::Key_Down);
            QCOMPARE(m_view->viewModel()->selectedPlatform(), platform);
        }
        // Reached by the keyboard, the tab bar rings its current tab.
        tabs->clearFocus();
        const QImage unringed = tabs->grab().toImage();
        tabs->setFocus(Qt::TabFocusReason);
        QVERIFY(tabs->showsFocusRing() && tabs->grab().toImage() != unringed);
    }

private:
    QString saveApp(qint64 id, const QString& name)
    {
        AppInfo info;
        info.id = id;
        info.name = name;
        info.developer = QStringLiteral("Vantorel Labs");
        info.iconURL = QUrl(m_server.baseUrl().toString() + QStringLiteral("/icons/%1.png").arg(id));
        const auto saved = QCoro::waitFor(m_app->savedApps()->add(info, QStringLiteral("US")));
        return saved ? saved.value().dedupKey() : QString();
    }

    void select(const QString& key)
    {
        QVERIFY(!key.isEmpty());
        m_view->viewModel()->selectProfile(key);
        QCOMPARE(m_view->viewModel()->selectedKey(), key);
    }

    FixtureServer m_server;
    QTemporaryDir m_data;
    int m_case = 0;
    std::unique_ptr<PloveraApp> m_app;
    MainView* m_view = nullptr;
};

QTEST_MAIN(MainWindowScreensTest)
#include "MainWindowScreensTest.moc"

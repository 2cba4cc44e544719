#include "Views/TopCharts/RankingListModel.h"
#include "Views/TopCharts/RanksSummaryTabView.h"
#include "Services/Charts/AppRankingService.h"
#include "ViewModels/AppRankingViewModel.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"
#include "support/FixtureServer.h"
#include "support/Gate.h"
#include "support/PictureScreens.h"

#include <QComboBox>
#include <QCoroSignal>
#include <QListView>
#include <QtTest>

#include <memory>

using ScreenFixtures::ChartEntry;
using State = RanksSummaryTabView::ContentState;

namespace {
const QString kFree = QStringLiteral("/api/v2/us/apps/top-free/50/apps.json");
const QString kLegacyFree = QStringLiteral("/us/rss/topfreeapplications/limit=50/json");

} // namespace

// The top-charts tab in each of its states, compared with the approved pictures.
class TopChartsPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        RemoteImageCache::shared()->resetForTesting();
        ScreenFixtures::applyScheme(ColorScheme::Light);
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        m_server->setHandler(ScreenFixtures::iconHandler({QStringLiteral("1003")}));
        const AppRankingService charts(m_session, m_server->baseUrl(), m_server->baseUrl());
        m_viewModel = std::make_unique<AppRankingViewModel>(charts, QStringLiteral("us"));
    }

    void cleanup()
    {
        emit m_gate.opened();
        m_view.reset();
        m_viewModel.reset();
        m_server.reset();
        ScreenFixtures::resetScheme();
    }

    void loading()
    {
        // An answer that does not come while the test runs.
        m_server->setRoute(kFree, FixtureResponse::json(chart()).delayed(600000));
        showView();
        QCOMPARE(m_view->contentState(), State::Loading);
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("top-charts-loading")));
    }

    void rows()
    {
        m_server->setRoute(kFree, FixtureResponse::json(chart()));
        showView();
        QTRY_COMPARE(m_view->contentState(), State::Rows);
        // One row being added, which only ends with the test.
        m_view->setOnAddApp([gate = QPointer<Gate>(&m_gate)](AppRanking, QString) { return waitForGate(gate); });
        m_view->addRanking(m_view->model()->rankings().at(2));
        QCOMPARE(m_view->addingAppIDs(), QSet<QString>{QStringLiteral("1003")});
        waitForIcons();
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("top-charts-rows")));
    }

    // Categories too long for one line wrap, and their rows grow.
    void longCategories()
    {
        const QList<ChartEntry> entries{
            {"1001", "Notes", "Productivity, Business and Finance Tools for Small Teams, Families and Households "
                              "in Every Country Around the World"},
            {"1002", "Field Guide", "Reference"},
            {"1004", "Tally", "Utilities, Developer Tools, Graphics and Design, Photo and Video, Lifestyle, "
                              "Health and Fitness, Navigation, Weather and Travel", false}};
        m_server->setRoute(kFree, FixtureResponse::json(ScreenFixtures::currentChart(entries, m_server->baseUrl())));
        showView();
        QTRY_COMPARE(m_view->contentState(), State::Rows);
        waitForIcons();
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("top-charts-long-categories")));
    }

    void failed()
    {
        m_server->setRoute(kFree, FixtureResponse::withStatus(500));
        m_server->setRoute(kLegacyFree, FixtureResponse::withStatus(500));
        showView();
        QTRY_COMPARE(m_view->contentState(), State::Error);
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("top-charts-failed")));
    }

    void countryMenuOpen()
    {
        m_server->setRoute(kFree, FixtureResponse::json(chart()));
        showView();
        QTRY_COMPARE(m_view->contentState(), State::Rows);
        waitForIcons();
        QComboBox* country = m_view->countryPicker();
        // Opened in each scheme, as a person would open it after switching.
        const auto popup = [country]() -> QWidget* {
            country->hidePopup();
            country->showPopup();
            return QTest::qWaitFor([country] { return country->view()->isVisible(); }) ? country->view()->window()
                                                                                       : nullptr;
        };
        PICTURES_MATCH(PictureScreens::checkBothSchemes(popup, QStringLiteral("top-charts-country-menu")));
        country->hidePopup();
    }

private:
    // The open app first (saved too), a saved app, the app being added (its
    // icon missing), and apps to add, with and without category or store link.
    QByteArray chart() const
    {
        const QList<ChartEntry> entries{{"1001", "Notes", "Productivity"},
                                        {"1002", "Field Guide", "Reference"},
                                        {"1003", "Quill VPN", {}, false},
                                        {"1004", "Tally", "Utilities"},
                                        {"1005", "Harbor Weather", "Weather", false},
                                        {"1006", "Pocket Ledger", {}}};
        return ScreenFixtures::currentChart(entries, m_server->baseUrl());
    }

    void showView()
    {
        m_view = std::make_unique<RanksSummaryTabView>(m_viewModel.get());
        m_view->resize(820, 640);
        AppInfo app;
        app.id = 1001;
        m_view->setApp(app);
        m_view->setStorefront(QStringLiteral("US"));
        m_view->setSavedAppIDs({1001, 1002});
        m_view->show();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
    }

    void waitForIcons()
    {
        QTRY_COMPARE(RemoteImageCache::shared()->inFlightCount(), 0);
        const RankingListModel* model = m_view->model();
        const auto settled = [model](int row) {
            const auto phase = RemoteImageView::Phase(model->index(row).data(RankingListModel::IconPhaseRole).toInt());
            return phase == RemoteImageView::Phase::Success || phase == RemoteImageView::Phase::Failure;
        };
        for (int row = 0; row < model->rowCount(); ++row)
            QTRY_VERIFY(settled(row));
    }

    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session = std::make_shared<HttpSession>();
    std::unique_ptr<AppRankingViewModel> m_viewModel;
    std::unique_ptr<RanksSummaryTabView> m_view;
    Gate m_gate;
};

PICTURE_TEST_MAIN(TopChartsPicturesTest)
#include "TopChartsPicturesTest.moc"

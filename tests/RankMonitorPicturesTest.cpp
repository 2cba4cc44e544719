#include "Services/Charts/AppRankCache.h"
#include "Services/Charts/AppRankMonitorService.h"
#include "Services/Charts/AppRankingService.h"
#include "ViewModels/AppRankMonitorViewModel.h"
#include "Views/RankMonitor/AppRanksView.h"
#include "Views/RankMonitor/CountryPickerSheet.h"
#include "models/SettingsKeys.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"
#include "platform/UserDefaults.h"
#include "support/FixtureServer.h"
#include "support/PictureScreens.h"

#include <QLineEdit>
#include <QtTest>

#include <memory>

namespace {
constexpr qint64 kAppID = 1459969523;

// A current-feed chart of 50 entries holding the app at `position` (1-based),
// or not at all with 0.
QByteArray chartWithApp(int position, const QUrl& base)
{
    QList<ScreenFixtures::ChartEntry> entries = ScreenFixtures::numberedEntries(50);
    if (position > 0)
        entries[position - 1].id = QString::number(kAppID);
    return ScreenFixtures::currentChart(entries, base);
}
} // namespace

// The rank-monitor page and its country picker, compared with the approved pictures.
class RankMonitorPicturesTest : public QObject {
    Q_OBJECT

    enum class Answers { Positions, Pending, GreatBritainOnly, Failures };

private slots:
    void init()
    {
        RemoteImageCache::shared()->resetForTesting();
        AppRankCache::shared().clear();
        UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName))
            ->setValue(QString::fromLatin1(kAppRankMonitorSelectedCountriesKey), QStringList{"US", "GB", "DE"});
        ScreenFixtures::applyScheme(ColorScheme::Light);
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        m_answers = Answers::Positions;
        // GB holds the app first, second and third; US fourth and 42nd; DE
        // answers nothing; the category charts lack the app.
        m_server->setHandler([this](const FixtureRequest& request) -> std::optional<FixtureResponse> {
            const QString path = request.path;
            if (path.startsWith(QLatin1String("/icons/")))
                return ScreenFixtures::iconHandler()(request);
            const bool britain = path.contains(QLatin1String("/gb/"));
            if (m_answers == Answers::Pending)
                return FixtureResponse::withStatus(500).delayed(600000); // not while the test runs
            if (m_answers == Answers::Failures || path.contains(QLatin1String("/de/")))
                return FixtureResponse::withStatus(500);
            if (m_answers == Answers::GreatBritainOnly && !britain)
                return FixtureResponse::withStatus(500).delayed(600000);
            if (!path.startsWith(QLatin1String("/api/v2/")))
                return FixtureResponse::fromFile(QStringLiteral("charts/legacy_no_entry.json"));
            const bool free = path.contains(QLatin1String("top-free"));
            const int position = britain ? (free ? 1 : 2) : path.contains(QLatin1String("/us/")) ? (free ? 4 : 42) : 0;
            return FixtureResponse::json(chartWithApp(position, m_server->baseUrl()));
        });
    }

    void cleanup()
    {
        m_view.reset();
        m_viewModel.reset();
        m_server.reset();
        ScreenFixtures::resetScheme();
    }

    void positions()
    {
        showPage();
        QTRY_VERIFY(!m_viewModel->isLoading());
        QCOMPARE(m_view->cards().size(), 3);
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("rank-monitor-positions")));
    }

    void checkingWithNoCountryDone()
    {
        m_answers = Answers::Pending;
        showPage();
        QVERIFY(m_view->isShowingFullProgress());
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("rank-monitor-empty")));
    }

    void checkingWithOneCountryDone()
    {
        m_answers = Answers::GreatBritainOnly;
        showPage();
        QTRY_COMPARE(m_view->cards().size(), 2); // Germany fails at once, then Britain
        QVERIFY(m_viewModel->isLoading());
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("rank-monitor-checking")));
    }

    void everyChartFailed()
    {
        m_answers = Answers::Failures;
        showPage();
        QTRY_VERIFY(!m_viewModel->isLoading());
        QCOMPARE(m_view->cards().size(), 3);
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("rank-monitor-failed")));
    }

    void countryPickerFiltered()
    {
        showPage();
        QTRY_VERIFY(!m_viewModel->isLoading());
        m_view->selectCountries();
        CountryPickerSheet* sheet = m_view->countryPicker();
        QVERIFY(sheet);
        PictureScreens::activate(sheet);
        QTest::keyClicks(sheet->searchField(), QStringLiteral("us"));
        sheet->toggleCountry(QStringLiteral("AT"));
        QCOMPARE(sheet->listedCodes(), (QStringList{"AU", "AT", "BY", "CY", "MU", "RU", "US"}));
        QVERIFY(sheet->searchField()->hasFocus());
        PICTURES_MATCH(PictureScreens::checkBothSchemes(sheet, QStringLiteral("country-picker-filtered")));
        sheet->reject();
    }

private:
    void showPage()
    {
        AppInfo app;
        app.id = kAppID;
        app.name = QStringLiteral("Field Notes");
        app.genre = QStringLiteral("Productivity");
        app.iconURL = QUrl(m_server->baseUrl().toString() + QStringLiteral("/icons/field-notes.png"));
        const AppRankingService charts(m_session, m_server->baseUrl(), m_server->baseUrl());
        m_viewModel = std::make_unique<AppRankMonitorViewModel>(app, QStringLiteral("US"), AppRankMonitorService(charts, 50));
        m_view = std::make_unique<AppRanksView>(m_viewModel.get());
        m_view->setApp(app);
        m_view->resize(820, 820);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
        QTRY_COMPARE(m_view->iconView()->phase(), RemoteImageView::Phase::Success);
    }

    Answers m_answers = Answers::Positions;
    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session = std::make_shared<HttpSession>();
    std::unique_ptr<AppRankMonitorViewModel> m_viewModel;
    std::unique_ptr<AppRanksView> m_view;
};

PICTURE_TEST_MAIN(RankMonitorPicturesTest)
#include "RankMonitorPicturesTest.moc"

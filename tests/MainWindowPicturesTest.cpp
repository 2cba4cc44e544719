#include "PloveraApp.h"
#include "Services/Settings/AppSettings.h"
#include "ViewModels/AppRankingViewModel.h"
#include "ViewModels/MainViewModel.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "Views/MainWindow/AppDetailArea.h"
#include "Views/MainWindow/AppListModels.h"
#include "Views/MainWindow/MainView.h"
#include "Views/MainWindow/SavedAppsSidebar.h"
#include "Views/MainWindow/SearchOverlay.h"
#include "Views/Onboarding/OnboardingView.h"
#include "Views/TopCharts/RankingListModel.h"
#include "Views/TopCharts/RanksSummaryTabView.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"
#include "platform/UserDefaults.h"
#include "support/FixtureServer.h"
#include "support/PictureScreens.h"

#include <QDialog>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct CatalogueApp {
    qint64 id;
    QString name;
    QString developer;
    QString genre;
};

const QList<CatalogueApp> kCatalogue{{6443210987, QStringLiteral("Fieldnote: Trail Journal"), QStringLiteral("Fieldnote Labs"),
                                      QStringLiteral("Travel")},
                                     {1500000001, QStringLiteral("Tally Counter"), QStringLiteral("Ana Ruiz"),
                                      QStringLiteral("Utilities")},
                                     {1500000002, QStringLiteral("Harbor Weather"), QStringLiteral("Harbor Labs"),
                                      QStringLiteral("Weather")}};

// A search or lookup answer of the catalogue, every address on the fixture server.
QByteArray catalogueAnswer(const QList<CatalogueApp>& apps, const QUrl& base)
{
    QJsonArray results;
    for (const CatalogueApp& app : apps) {
        const QString icon = base.toString() + QStringLiteral("/icons/%1.png").arg(app.id);
        results.append(QJsonObject{{"trackId", app.id},
                                   {"trackName", app.name},
                                   {"artistName", app.developer},
                                   {"primaryGenreName", app.genre},
                                   {"description", QStringLiteral("A fixture app.")},
                                   {"artworkUrl512", icon},
                                   {"artworkUrl100", icon},
                                   {"userRatingCount", 18301},
                                   {"averageUserRating", 4.6},
                                   {"releaseDate", "2022-10-04T07:00:00Z"},
                                   {"screenshotUrls", QJsonArray{base.toString() + QStringLiteral("/icons/shot.png")}}});
    }
    return QJsonDocument(QJsonObject{{"resultCount", int(results.size())}, {"results", results}})
        .toJson(QJsonDocument::Compact);
}

bool rowIconsSettled(const QAbstractItemModel* model, int role = AppListRole::IconPhase)
{
    for (int row = 0; row < model->rowCount(); ++row) {
        const auto phase = RemoteImageView::Phase(model->index(row, 0).data(role).toInt());
        if (phase == RemoteImageView::Phase::Empty)
            return false;
    }
    return true;
}

bool imageViewsSettled(const QWidget* root)
{
    for (const RemoteImageView* view : root->findChildren<RemoteImageView*>()) {
        if (view->isVisible() && view->phase() == RemoteImageView::Phase::Empty)
            return false;
    }
    return true;
}
} // namespace

// The first-launch onboarding and the main window in each of its states,
// compared with the approved pictures.
class MainWindowPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_data.isValid());
        QVERIFY(m_server.listen());
        for (const char* name : {"PLOVERA_CATALOGUE_URL", "PLOVERA_CHARTS_URL", "PLOVERA_LEGACY_CHARTS_URL",
                                 "PLOVERA_ESTIMATES_URL", "PLOVERA_MAKER_URL", "PLOVERA_UPDATES_URL"})
            qputenv(name, m_server.baseUrl().toString().toUtf8());
        m_server.setHandler([base = m_server.baseUrl()](const FixtureRequest& request) -> std::optional<FixtureResponse> {
            if (request.path.startsWith(QLatin1String("/icons/")))
                return ScreenFixtures::iconHandler({QStringLiteral("404")})(request);
            if (request.path == QLatin1String("/search")) {
                const QString term = request.query.queryItemValue(QStringLiteral("term"));
                return FixtureResponse::json(catalogueAnswer(term == QLatin1String("nothing") ? QList<CatalogueApp>{}
                                                                                              : kCatalogue,
                                                             base));
            }
            if (request.path == QLatin1String("/lookup")) {
                const qint64 id = request.query.queryItemValue(QStringLiteral("id")).toLongLong();
                QList<CatalogueApp> found;
                for (const CatalogueApp& app : kCatalogue)
                    if (app.id == id)
                        found.append(app);
                return FixtureResponse::json(catalogueAnswer(found, base));
            }
            if (request.path.startsWith(QLatin1String("/api/v2/"))) {
                QList<ScreenFixtures::ChartEntry> entries{{QStringLiteral("1500000001"), QStringLiteral("Tally Counter"), {}},
                                                          {QStringLiteral("6443210987"), QStringLiteral("Fieldnote"), QStringLiteral("Travel")}};
                entries.append(ScreenFixtures::numberedEntries(4));
                return FixtureResponse::json(ScreenFixtures::currentChart(entries, base));
            }
            return std::nullopt;
        });
    }

    void init()
    {
        UserDefaults::resetForTesting();
        QFile::remove(AppSettings::shared()->suite()->filePath());
        UserDefaults::resetForTesting();
        RemoteImageCache::shared()->resetForTesting();
        ScreenFixtures::applyScheme(ColorScheme::Light);
    }

    void cleanup()
    {
        m_app.reset();
        ScreenFixtures::resetScheme();
    }

    void onboarding()
    {
        startApp(true);
        OnboardingView* onboarding = m_app->onboardingView();
        QVERIFY(onboarding);
        QTRY_VERIFY(onboarding->sheet() && onboarding->sheet()->isVisible());
        PictureScreens::activate(onboarding->sheet());
        PICTURES_MATCH(PictureScreens::checkBothSchemes(onboarding->sheet(), QStringLiteral("onboarding")));
    }

    void emptyWorkspace()
    {
        startApp();
        QCOMPARE(m_view->sidebar()->rowCount(), 0);
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_app->window(), QStringLiteral("main-empty")));
    }

    void savedAppsWithOneOpen()
    {
        startApp();
        const QString fieldnote = saveApp(kCatalogue.at(0));
        saveApp(kCatalogue.at(1));
        saveApp({404, QStringLiteral("No Icon"), QStringLiteral("Vantorel Labs"), {}});
        m_view->viewModel()->selectProfile(fieldnote);
        QTRY_COMPARE(m_view->sidebar()->rowCount(), 3);
        QTRY_VERIFY(!m_view->viewModel()->isRefreshingSelection());
        auto* charts = qobject_cast<RanksSummaryTabView*>(m_view->detailArea()->tabPage(DetailTab::ranks));
        QVERIFY(charts);
        QTRY_COMPARE(charts->contentState(), RanksSummaryTabView::ContentState::Rows);
        QTRY_VERIFY(rowIconsSettled(m_view->sidebar()->model()));
        QTRY_VERIFY(rowIconsSettled(charts->model(), RankingListModel::IconPhaseRole));
        QTRY_VERIFY(imageViewsSettled(m_app->window()));
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_app->window(), QStringLiteral("main-saved")));
    }

    void searchResults()
    {
        startApp();
        saveApp(kCatalogue.at(1)); // listed as added
        QTRY_COMPARE(m_view->sidebar()->rowCount(), 1);
        QTest::keyClicks(m_view->searchField(), QStringLiteral("fieldnote"));
        QTest::keyClick(m_view->searchField(), Qt::Key_Return);
        SearchOverlay* overlay = m_view->searchOverlay();
        QTRY_COMPARE(overlay->model()->rowCount(), 3);
        QTRY_VERIFY(rowIconsSettled(overlay->model()));
        QTRY_VERIFY(rowIconsSettled(m_view->sidebar()->model()));
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_app->window(), QStringLiteral("main-search")));
    }

    void searchWithoutResults()
    {
        startApp();
        QTest::keyClicks(m_view->searchField(), QStringLiteral("nothing"));
        QTest::keyClick(m_view->searchField(), Qt::Key_Return);
        QTRY_COMPARE(m_view->searchOverlay()->statusText(), QStringLiteral("No apps found."));
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_app->window(), QStringLiteral("main-search-none")));
    }

private:
    void startApp(bool firstLaunch = false)
    {
        AppSettings::shared()->setIsFirstTime(firstLaunch);
        auto app = PloveraApp::create(PloveraApp::Options{m_data.filePath(QStringLiteral("ws-%1.sqlite").arg(++m_case))});
        QVERIFY2(app, app ? "" : qPrintable(app.error()));
        m_app = std::move(app.value());
        m_app->window()->resize(1100, 720);
        PictureScreens::activate(m_app->window());
        m_view = m_app->mainView();
        if (m_view)
            m_view->setSelectedStorefront(QStringLiteral("US"));
    }

    QString saveApp(const CatalogueApp& entry)
    {
        AppInfo info;
        info.id = entry.id;
        info.name = entry.name;
        info.developer = entry.developer;
        info.genre = entry.genre;
        info.iconURL = QUrl(m_server.baseUrl().toString() + QStringLiteral("/icons/%1.png").arg(entry.id));
        const auto saved = QCoro::waitFor(m_app->savedApps()->add(info, QStringLiteral("US")));
        return saved ? saved.value().dedupKey() : QString();
    }

    FixtureServer m_server;
    QTemporaryDir m_data;
    int m_case = 0;
    std::unique_ptr<PloveraApp> m_app;
    MainView* m_view = nullptr;
};

PICTURE_TEST_MAIN(MainWindowPicturesTest)
#include "MainWindowPicturesTest.moc"

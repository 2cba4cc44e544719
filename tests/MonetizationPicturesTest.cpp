#include "Services/Estimates/SensorTowerService.h"
#include "ViewModels/MonetizationViewModel.h"
#include "Views/Monetization/MonetizationView.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"
#include "support/FixtureServer.h"
#include "support/PictureScreens.h"

#include <QtTest>

#include <memory>

using State = MonetizationView::ContentState;

namespace {
constexpr qint64 kAppID = 1459969523;
const QString kRoute = QStringLiteral("/api/ios/apps?app_ids=%1").arg(kAppID);
} // namespace

// The monetization tab in each of its states, compared with the approved pictures.
class MonetizationPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        RemoteImageCache::shared()->resetForTesting();
        ScreenFixtures::applyScheme(ColorScheme::Light);
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        // The ledger's icon is missing: its header shows the fallback symbol.
        m_server->setHandler(ScreenFixtures::iconHandler({QStringLiteral("missing")}));
        m_viewModel = std::make_unique<MonetizationViewModel>(SensorTowerService(m_session, m_server->baseUrl()));
        m_view = std::make_unique<MonetizationView>(m_viewModel.get());
        m_view->resize(820, 600);
    }

    void cleanup()
    {
        m_view.reset();
        m_viewModel.reset();
        m_server.reset();
        ScreenFixtures::resetScheme();
    }

    void figures()
    {
        m_server->setRoute(kRoute, FixtureResponse::json(ScreenFixtures::estimates(kAppID, QStringLiteral("100k"),
                                                                                   QStringLiteral("$4m"))));
        show(QStringLiteral("ledger"));
        QTRY_COMPARE(m_view->contentState(), State::Figures);
        QCOMPARE(m_viewModel->monetization()->lastUpdated, PictureScreens::fixedNow());
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("monetization-figures")));
    }

    void noFiguresYet()
    {
        // Drawn before it is shown: no load has started, so nothing is known yet.
        setApp(QStringLiteral("ledger"));
        QCOMPARE(m_view->contentState(), State::NoData);
        QTRY_COMPARE(m_view->iconView()->phase(), RemoteImageView::Phase::Success);
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("monetization-no-data")));
        QCOMPARE(m_view->contentState(), State::NoData);
    }

    void loading()
    {
        m_server->setRoute(kRoute, FixtureResponse::withStatus(500).delayed(600000)); // not while the test runs
        show(QStringLiteral("ledger"));
        QCOMPARE(m_view->contentState(), State::Loading);
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("monetization-loading")));
    }

    void failed()
    {
        m_server->setRoute(kRoute, FixtureResponse::withStatus(500));
        show(QStringLiteral("missing"));
        QTRY_COMPARE(m_view->contentState(), State::Error);
        QTRY_COMPARE(m_view->iconView()->phase(), RemoteImageView::Phase::Failure);
        PICTURES_MATCH(PictureScreens::checkBothSchemes(m_view.get(), QStringLiteral("monetization-failed")));
    }

private:
    void setApp(const QString& icon)
    {
        AppInfo app;
        app.id = kAppID;
        app.name = QStringLiteral("Pocket Ledger");
        app.developer = QStringLiteral("Brightfold Labs");
        app.iconURL = QUrl(m_server->baseUrl().toString() + QStringLiteral("/icons/%1.png").arg(icon));
        m_view->setApp(app);
    }

    void show(const QString& icon)
    {
        setApp(icon);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
        if (icon != QLatin1String("missing"))
            QTRY_COMPARE(m_view->iconView()->phase(), RemoteImageView::Phase::Success);
    }

    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session = std::make_shared<HttpSession>();
    std::unique_ptr<MonetizationViewModel> m_viewModel;
    std::unique_ptr<MonetizationView> m_view;
};

PICTURE_TEST_MAIN(MonetizationPicturesTest)
#include "MonetizationPicturesTest.moc"

#include "Views/Shared/AppHeaderTitleStack.h"
#include "Views/Monetization/MonetizationView.h"
#include "Views/Shared/ScreenPanel.h"
#include "Services/Estimates/SensorTowerService.h"
#include "ViewModels/MonetizationViewModel.h"
#include "platform/DateFormatting.h"
#include "platform/ProgressIndicator.h"
#include "platform/RemoteImageCache.h"
#include "platform/RemoteImageView.h"
#include "platform/ShrinkingLabel.h"
#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <memory>

using State = MonetizationView::ContentState;

namespace {
constexpr qint64 kAppID = 1459969523;
constexpr qint64 kOtherAppID = 389801252;

QString route(qint64 appID)
{
    return QStringLiteral("/api/ios/apps?app_ids=%1").arg(appID);
}

FixtureResponse estimates(qint64 appID, const QString& downloads, const QString& revenue, int delayMs = 0)
{
    return FixtureResponse::json(ScreenFixtures::estimates(appID, downloads, revenue)).delayed(delayMs);
}
} // namespace

class MonetizationViewTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        RemoteImageCache::shared()->resetForTesting();
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        // The icon is missing: the header shows the fallback symbol.
        m_server->setRoute(QStringLiteral("/icon.png"), FixtureResponse::withStatus(404));
        m_server->setRoute(route(kAppID), estimates(kAppID, QStringLiteral("100k"), QStringLiteral("$4m")));
    }

    void cleanup()
    {
        ScreenFixtures::resetScheme();
        m_server.reset();
    }

    void figuresAreShownAsReceived_data()
    {
        QTest::addColumn<QString>("downloads");
        QTest::addColumn<QString>("revenue");
        QTest::newRow("abbreviated") << "100k" << "$4m";
        QTest::newRow("bounds and other currencies") << "< 5k" << "1,2 Mio. €";
    }

    void figuresAreShownAsReceived()
    {
        QFETCH(QString, downloads);
        QFETCH(QString, revenue);
        m_server->setRoute(route(kAppID), estimates(kAppID, downloads, revenue, 150));
        MonetizationViewModel viewModel(service());
        const auto view = makeView(&viewModel);
        QCOMPARE(view->contentState(), State::NoData);

        view->show();
        QCOMPARE(view->contentState(), State::Loading);
        QVERIFY(view->loadingIndicator()->isVisible());
        QVERIFY(!view->reloadButton()->isEnabled());

        QTRY_COMPARE(view->contentState(), State::Figures);
        QVERIFY(view->downloadsLabel()->isVisible());
        QCOMPARE(view->downloadsLabel()->text(), downloads);
        QCOMPARE(view->revenueLabel()->text(), revenue);
        // When they were fetched, medium date and short time.
        QVERIFY(view->lastUpdatedLabel()->isVisible());
        QCOMPARE(view->lastUpdatedLabel()->text(),
                 QStringLiteral("Last updated: ")
                     + DateFormatting::dateTime(viewModel.monetization()->lastUpdated, DateFormatting::DateStyle::Medium));
        QVERIFY(view->downloadsLabel()->height() > 10);
        QVERIFY(view->reloadButton()->isEnabled());
        QTRY_COMPARE(view->iconView()->phase(), RemoteImageView::Phase::Failure);
    }

    void errorViewAndTryAgain()
    {
        m_server->setRoute(route(kAppID), FixtureResponse::withStatus(500));
        MonetizationViewModel viewModel(service());
        const auto view = makeView(&viewModel);
        view->show();
        QTRY_COMPARE(view->contentState(), State::Error);
        QVERIFY(view->tryAgainButton()->isVisible());
        QVERIFY(!viewModel.errorMessage().isEmpty());
        QCOMPARE(view->errorMessageLabel()->text(), viewModel.errorMessage());
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        QCOMPARE(ScreenFixtures::stopsWithoutVisibleFocus(view.get()), QStringList());

        m_server->setRoute(route(kAppID), estimates(kAppID, QStringLiteral("7k"), QStringLiteral("$9k"), 100));
        QTest::mouseClick(view->tryAgainButton(), Qt::LeftButton);
        QCOMPARE(view->contentState(), State::Loading);
        QTRY_COMPARE(view->contentState(), State::Figures);
        QCOMPARE(view->downloadsLabel()->text(), QStringLiteral("7k"));
        QVERIFY(viewModel.errorMessage().isEmpty());
    }

    // Held together with an error, figures stay hidden behind the error view.
    void errorViewWinsOverHeldFigures()
    {
        m_server->setRoute(route(kAppID), FixtureResponse::withStatus(500));
        MonetizationViewModel viewModel(service());
        const auto view = makeView(&viewModel);
        view->show();
        QTRY_COMPARE(view->contentState(), State::Error);
        viewModel.setMonetization(AppMonetization{1, QStringLiteral("1k"), 2, QStringLiteral("$2k"), QDateTime::currentDateTime()});
        QVERIFY(!viewModel.errorMessage().isEmpty() && viewModel.monetization());
        QCOMPARE(view->contentState(), State::Error);
        QVERIFY(view->errorMessageLabel()->isVisible());
        QVERIFY(shownLabel(view.get(), QStringLiteral("Unable to fetch monetization data")));
        QVERIFY(!view->downloadsLabel()->isVisible() && !view->lastUpdatedLabel()->isVisible());
    }

    // Try Again keeps a gap between its arrow and its text, and shows the
    // focus ring only for focus that no click gave it.
    void tryAgainLooksAndFocusesLikeTheOtherButtons()
    {
        m_server->setRoute(route(kAppID), FixtureResponse::withStatus(500));
        MonetizationViewModel viewModel(service());
        const auto view = makeView(&viewModel);
        view->show();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        QTRY_COMPARE(view->contentState(), State::Error);
        auto* tryAgain = qobject_cast<BorderedButton*>(view->tryAgainButton());
        QVERIFY(tryAgain);
        QCOMPARE(tryAgain->textRect().left() - tryAgain->iconRect().right() - 1, BorderedButton::kIconTextGap);
        auto* ring = tryAgain->parentWidget()->findChild<QWidget*>(QStringLiteral("focusRing"));
        QVERIFY(ring);

        QTest::mouseClick(tryAgain, Qt::LeftButton);
        QTRY_COMPARE(m_server->requestCount(route(kAppID)), 2);
        QTRY_COMPARE(view->contentState(), State::Error);
        QVERIFY(tryAgain->isVisible());
        QVERIFY(!ring->isVisible());

        tryAgain->setFocus(Qt::TabFocusReason);
        QVERIFY(ring->isVisible());
    }

    void reloadClearsFiguresFirst()
    {
        MonetizationViewModel viewModel(service());
        const auto view = makeView(&viewModel);
        view->show();
        QTRY_COMPARE(view->contentState(), State::Figures);
        const QDateTime first = viewModel.monetization()->lastUpdated;

        m_server->setRoute(route(kAppID), estimates(kAppID, QStringLiteral("100k"), QStringLiteral("$4m"), 100));
        QTRY_VERIFY(QDateTime::currentDateTime() > first); // a later fetch time, even on a fast machine
        QTest::mouseClick(view->reloadButton(), Qt::LeftButton);
        QVERIFY(!viewModel.monetization());
        QCOMPARE(view->contentState(), State::Loading);
        // Disabled while loading: a second click does nothing.
        QTest::mouseClick(view->reloadButton(), Qt::LeftButton);
        QTRY_COMPARE(view->contentState(), State::Figures);
        QCOMPARE(m_server->requestCount(route(kAppID)), 2);
        QVERIFY(viewModel.monetization()->lastUpdated > first);
    }

    void loadsAreKeyedByAppID()
    {
        m_server->setRoute(route(kOtherAppID), estimates(kOtherAppID, QStringLiteral("5k"), QStringLiteral("< $5k")));
        MonetizationViewModel viewModel(service());
        const auto view = makeView(&viewModel);
        view->show();
        QTRY_COMPARE(view->contentState(), State::Figures);

        view->setApp(app(kAppID, QStringLiteral("Renamed")));
        QCOMPARE(view->titleStack()->nameText(), QStringLiteral("Renamed"));
        QVERIFY(!viewModel.isLoading()); // a load would have begun at once
        QCOMPARE(m_server->requestCount(route(kAppID)), 1);

        view->setApp(app(kOtherAppID));
        QTRY_COMPARE(view->revenueLabel()->text(), QStringLiteral("< $5k"));
        QCOMPARE(m_server->requestCount(route(kOtherAppID)), 1);
    }

    void deletedWhileLoading()
    {
        m_server->setRoute(route(kAppID), estimates(kAppID, QStringLiteral("1k"), QStringLiteral("$1"), 200));
        MonetizationViewModel viewModel(service());
        auto view = makeView(&viewModel);
        view->show();
        QVERIFY(viewModel.isLoading());
        view.reset();
        QTRY_VERIFY(!viewModel.isLoading());
        QVERIFY(viewModel.monetization());

        // The view model going first: the page stays, inert.
        auto shortLived = std::make_unique<MonetizationViewModel>(service());
        view = makeView(shortLived.get());
        view->show();
        shortLived.reset();
        view->reloadMonetization();
        QTest::qWait(20);
        QCOMPARE(view->contentState(), State::NoData);
    }

private:
    static bool shownLabel(QWidget* view, const QString& text)
    {
        const QList<QLabel*> labels = view->findChildren<QLabel*>();
        return std::any_of(labels.begin(), labels.end(), [&](QLabel* label) { return label->isVisible() && label->text() == text; });
    }
    std::unique_ptr<MonetizationView> makeView(MonetizationViewModel* viewModel, qint64 appID = kAppID)
    {
        auto view = std::make_unique<MonetizationView>(viewModel);
        view->resize(860, 620);
        view->setApp(app(appID));
        return view;
    }
    AppInfo app(qint64 appID, const QString& name = QStringLiteral("Pocket Ledger")) const
    {
        AppInfo info;
        info.id = appID;
        info.name = name;
        info.developer = QStringLiteral("Brightfold Labs");
        info.iconURL = QUrl(m_server->baseUrl().toString() + QStringLiteral("/icon.png"));
        return info;
    }
    SensorTowerService service() const { return SensorTowerService(m_session, m_server->baseUrl()); }

    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session = std::make_shared<HttpSession>();
};

QTEST_MAIN(MonetizationViewTest)
#include "MonetizationViewTest.moc"

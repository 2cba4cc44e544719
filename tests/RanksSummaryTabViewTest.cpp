#include "Views/TopCharts/RankingListModel.h"
#include "Views/TopCharts/RankingRow.h"
#include "Views/TopCharts/RanksSummaryTabView.h"
#include "Views/Shared/ScreenPanel.h"
#include "Services/Charts/AppRankingService.h"
#include "ViewModels/AppRankingViewModel.h"
#include "platform/LinkOpener.h"
#include "platform/ProgressIndicator.h"
#include "platform/RemoteImageCache.h"
#include "platform/SegmentedControl.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"
#include "support/FixtureServer.h"
#include "support/Gate.h"
#include "support/ScreenFixtures.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QComboBox>
#include <QCoroSignal>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

#include <memory>

using ScreenFixtures::ChartEntry;
using State = RanksSummaryTabView::ContentState;

namespace {
const QString kFree = QStringLiteral("/api/v2/us/apps/top-free/50/apps.json");
const QString kPaid = QStringLiteral("/api/v2/us/apps/top-paid/50/apps.json");

} // namespace

// Keeps each text the style draws, with its box and what the painter's clip
// lets show of it.
class TextRecordingStyle : public QProxyStyle {
public:
    struct Drawn {
        QString text;
        QRect box;
        QRect visible;
    };

    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
                      const QString& text, QPalette::ColorRole role) const override
    {
        drawn.append({text, rect, painter->hasClipping() ? painter->clipBoundingRect().toAlignedRect() : rect});
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
    }

    mutable QList<Drawn> drawn;
};

class RanksSummaryTabViewTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        RemoteImageCache::shared()->resetForTesting();
        m_server = std::make_unique<FixtureServer>();
        QVERIFY(m_server->listen());
        m_server->setHandler([](const FixtureRequest& request) -> std::optional<FixtureResponse> {
            if (!request.path.startsWith(QLatin1String("/icons/")))
                return std::nullopt;
            FixtureResponse icon = ScreenFixtures::pngResponse(request.path.contains(QLatin1String("1002")) ? Qt::darkGreen : Qt::darkCyan);
            // One icon is missing: its row shows the fallback symbol.
            icon.status = request.path.contains(QLatin1String("1003")) ? 404 : 200;
            return icon;
        });
        const QList<ChartEntry> entries{{"1001", "Notes", "Productivity"},
                                        {"1002", "Field Guide", "Reference"},
                                        {"1003", "Quill VPN", {}, false},
                                        {"+1004", "Signed Id", "Utilities"},
                                        {"abc", "Odd Id", {}}};
        serveChart(kFree, entries);
        serveChart(kPaid, {{"2001", "Paid One", "Games"}});
        const AppRankingService charts(m_session, m_server->baseUrl(), m_server->baseUrl());
        m_viewModel = std::make_unique<AppRankingViewModel>(charts, QStringLiteral("us"));
        setLinkOpenerForTesting({});
    }

    void cleanup()
    {
        ScreenFixtures::resetScheme();
        setLinkOpenerForTesting({});
        m_viewModel.reset();
        m_server.reset();
    }

    void statesFollowTheLoad()
    {
        serveChart(kFree, ScreenFixtures::numberedEntries(3), 300);
        const auto view = makeView();
        // Nothing loaded and nothing running yet: the first frame says so.
        QCOMPARE(view->contentState(), State::Empty);
        const auto* empty = view->findChild<QLabel*>(QStringLiteral("emptyMessage"));
        QVERIFY(empty && empty->isVisibleTo(view.get()));
        QCOMPARE(empty->text(), QStringLiteral("No chart data available for this selection."));

        view->show();
        QCOMPARE(view->contentState(), State::Loading);
        QVERIFY(view->loadingIndicator()->isVisible());
        QCOMPARE(view->loadingIndicator()->label(), QStringLiteral("Loading charts\u2026"));
        QVERIFY(!empty->isVisible());
        QVERIFY(!view->reloadButton()->isEnabled());

        QTRY_COMPARE(view->contentState(), State::Rows);
        QVERIFY(view->listView()->isVisible());
        QCOMPARE(view->model()->rowCount(), 3);
        QVERIFY(view->reloadButton()->isEnabled());

        // Coming back to the tab loads the selection again.
        const int before = m_server->requestCount(kFree);
        view->hide();
        view->show();
        QTRY_COMPARE(m_server->requestCount(kFree), before + 1);
        QTRY_COMPARE(view->contentState(), State::Rows);
    }

    void failedAndEmptyChartsOfferTryAgain_data()
    {
        QTest::addColumn<bool>("emptyChart");
        QTest::newRow("server failure") << false;
        QTest::newRow("empty chart") << true;
    }

    void failedAndEmptyChartsOfferTryAgain()
    {
        QFETCH(bool, emptyChart);
        if (emptyChart)
            serveChart(kFree, {});
        else
            m_server->setRoute(kFree, FixtureResponse::withStatus(500));
        // The legacy feed stands in for a failed current one; let it fail too.
        m_server->setRoute(QStringLiteral("/us/rss/topfreeapplications/limit=50/json"), FixtureResponse::withStatus(500));
        const auto view = makeView();
        view->show();
        QTRY_COMPARE(view->contentState(), State::Error);
        QVERIFY(view->tryAgainButton()->isVisible());
        QVERIFY(ScreenFixtures::saveRender(view.get(), QStringLiteral("top-charts-error")));
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        QCOMPARE(ScreenFixtures::stopsWithoutVisibleFocus(view.get()), QStringList());
        const auto* tryAgain = static_cast<BorderedButton*>(view->tryAgainButton());
        QVERIFY(tryAgain->iconRect().right() + 4 < tryAgain->textRect().left());
        QVERIFY(ScreenFixtures::showsRingAlone(view->tryAgainButton()));
        if (emptyChart)
            QCOMPARE(view->errorLabel()->text(), QStringLiteral("No rankings available for this selection."));
        else
            QCOMPARE(view->errorLabel()->text(), m_viewModel->errorMessage());
        QVERIFY(!view->errorLabel()->text().isEmpty());

        serveChart(kFree, {{"1001", "Notes", {}}});
        QTest::mouseClick(view->tryAgainButton(), Qt::LeftButton);
        QTRY_COMPARE(view->contentState(), State::Rows);
        QCOMPARE(view->model()->rowCount(), 1);
    }

    void rowMarks_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("highlighted");
        QTest::addColumn<bool>("saved");
        // The open app is 1001; saved are 1001, 1004 and 1003.
        QTest::newRow("open and saved") << "1001" << true << true;
        QTest::newRow("neither") << "1002" << false << false;
        QTest::newRow("saved only") << "1003" << false << true;
        QTest::newRow("signed id: saved, never the open app") << "+1004" << false << true;
    }

    void rowMarks()
    {
        QFETCH(QString, id);
        QFETCH(bool, highlighted);
        QFETCH(bool, saved);
        const auto view = makeView();
        view->setSavedAppIDs({1001, 1003, 1004});
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        const RankingListModel* model = view->model();
        int row = -1;
        for (int i = 0; i < model->rowCount(); ++i)
            row = model->rankings().at(i).id == id ? i : row;
        QVERIFY(row >= 0);
        const QModelIndex index = model->index(row);
        QCOMPARE(index.data(RankingListModel::HighlightedRole).toBool(), highlighted);
        QCOMPARE(index.data(RankingListModel::SavedRole).toBool(), saved);

        // Another app moves the highlight without reloading or resetting the rows.
        QSignalSpy resets(model, &QAbstractItemModel::modelReset);
        const int requests = m_server->requestCount(kFree);
        AppInfo other;
        other.id = 1002;
        view->setApp(other);
        QCOMPARE(index.data(RankingListModel::HighlightedRole).toBool(), id == QLatin1String("1002"));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(m_server->requestCount(kFree), requests);
    }

    void addRunsOnceWithThePickersCountry()
    {
        serveChart(QStringLiteral("/api/v2/de/apps/top-free/50/apps.json"), {{"1002", "Field Guide", {}}});
        const auto view = makeView();
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        // The window stays on US; the tab's own country is DE.
        m_viewModel->setSelectedStorefront(QStringLiteral("DE"));
        QTRY_COMPARE(view->contentState(), State::Rows);
        QTRY_COMPARE(view->model()->rowCount(), 1);

        Gate gate;
        QList<QPair<QString, QString>> calls;
        view->setOnAddApp([&calls, gate = QPointer<Gate>(&gate)](AppRanking ranking, QString storefront) {
            calls.append({ranking.id, storefront});
            return waitForGate(gate);
        });

        const QPoint add = statePoint(view.get(), 0);
        QTest::mouseDClick(view->listView()->viewport(), Qt::LeftButton, {}, add);
        QTest::mouseClick(view->listView()->viewport(), Qt::LeftButton, {}, add);
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls.first(), qMakePair(QStringLiteral("1002"), QStringLiteral("DE")));
        QCOMPARE(view->addingAppIDs(), QSet<QString>{QStringLiteral("1002")});
        QVERIFY(view->model()->index(0).data(RankingListModel::AddingRole).toBool());

        // The add ends without saving (an invalid id, say): the button comes back.
        emit gate.opened();
        QTRY_VERIFY(view->addingAppIDs().isEmpty());
        QTest::mouseClick(view->listView()->viewport(), Qt::LeftButton, {}, add);
        QCOMPARE(calls.size(), 2);
        emit gate.opened();
        QTRY_VERIFY(view->addingAppIDs().isEmpty());

        // Saved wins: no add button to click any more.
        view->setSavedAppIDs({1002});
        QTest::mouseClick(view->listView()->viewport(), Qt::LeftButton, {}, add);
        QCOMPARE(calls.size(), 2);
        QCOMPARE(view->model()->index(0).data(RankingListModel::AddAccessibleLabelRole).toString(),
                 QStringLiteral("Add Field Guide to Plovera"));
    }

    void pickersReloadOnlyOnRealChangesAndSurviveAppSwitch()
    {
        const QString genrePath = QStringLiteral("/us/rss/topfreeapplications/limit=50/genre=6000/json");
        m_server->setRoute(genrePath, FixtureResponse::fromFile(QStringLiteral("charts/legacy_single_entry.json")));
        const auto view = makeView();
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);

        // Chart kind: the segment already selected loads nothing.
        SegmentedControl* chart = view->chartPicker();
        QTest::mouseClick(chart, Qt::LeftButton, {}, chart->segmentRect(0).center());
        QCOMPARE(m_server->requestCount(kPaid), 0);
        QTest::mouseClick(chart, Qt::LeftButton, {}, chart->segmentRect(1).center());
        QCOMPARE(m_viewModel->selectedFeed(), AppRankingService::Feed::topPaid);
        QTRY_COMPARE(m_server->requestCount(kPaid), 1);
        QTRY_COMPARE(view->contentState(), State::Rows);

        // Country: items are upper-case codes in plain name order, the flag
        // drawn as the icon so that typing a name finds it.
        QComboBox* country = view->countryPicker();
        const int germany = country->findData(QStringLiteral("DE"));
        QCOMPARE(country->itemText(germany), QStringLiteral("Germany"));
        QVERIFY(country->findData(QStringLiteral("AE")) > country->findData(QStringLiteral("AG"))); // "United..." after "Antigua..."
        QCOMPARE(country->currentData().toString(), QStringLiteral("US"));
        const int deRequests = requestsTo(QStringLiteral("/api/v2/de/"));
        country->setFocus();
        QTest::keyClicks(country, QStringLiteral("Germ"));
        QCOMPARE(country->currentIndex(), germany);
        QCOMPARE(m_viewModel->selectedStorefront(), QStringLiteral("DE"));
        QTRY_COMPARE(requestsTo(QStringLiteral("/api/v2/de/")), deRequests + 1);
        country->activated(germany);
        QCOMPARE(requestsTo(QStringLiteral("/api/v2/de/")), deRequests + 1);

        // Category, then back to US for the genre route.
        m_viewModel->setSelectedFeed(AppRankingService::Feed::topFree);
        m_viewModel->setSelectedStorefront(QStringLiteral("US"));
        QComboBox* category = view->categoryPicker();
        int utilities = -1;
        for (int i = 0; i < m_viewModel->genres().size(); ++i)
            utilities = m_viewModel->genres().at(i).id == QLatin1String("6000") ? i : utilities;
        QVERIFY(utilities > 0);
        category->activated(utilities);
        QTRY_COMPARE(m_server->requestCount(genrePath), 1);
        QCOMPARE(category->currentIndex(), utilities);
        QTRY_VERIFY(!m_viewModel->isLoading()); // the genre's load, under way since the pick, is over

        // Another app keeps every choice and loads nothing.
        const int total = static_cast<int>(m_server->requests().size());
        AppInfo other;
        other.id = 42;
        view->setApp(other);
        view->setSavedAppIDs({42});
        QCOMPARE(m_viewModel->selectedGenre()->id, QStringLiteral("6000"));
        QCOMPARE(m_viewModel->selectedStorefront(), QStringLiteral("US"));
        QCOMPARE(category->currentIndex(), utilities);
        QVERIFY(!m_viewModel->isLoading()); // a load would have begun at once
        QCOMPARE(static_cast<int>(m_server->requests().size()), total);
    }

    void countryMenuShowsFlagsBesideWholeNames()
    {
        // Red of the flags around the United States; nothing else in either scheme is red.
        const auto reds = [](const QImage& image) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    count += c.red() > 120 && c.red() > c.green() + 50 && c.red() > c.blue() + 50 ? 1 : 0;
                }
            return count;
        };
        QTest::failOnWarning(QRegularExpression(QStringLiteral("^QPainter::")));
        const auto view = makeView();
        view->show();
        QComboBox* country = view->countryPicker();
        for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
            ScreenFixtures::applyScheme(scheme);
            QVERIFY(reds(country->grab().toImage()) > 20);
            country->showPopup();
            QTRY_VERIFY(country->view()->isVisible());
            QVERIFY(reds(country->view()->viewport()->grab().toImage()) > 200);
            const QString name = scheme == ColorScheme::Dark ? QStringLiteral("-dark") : QStringLiteral("-light");
            QVERIFY(ScreenFixtures::saveRender(view.get(), QStringLiteral("top-charts-menu") + name));
            QVERIFY(ScreenFixtures::saveRender(country->view()->window(), QStringLiteral("top-charts-menu-popup") + name));
            country->hidePopup();
        }
        // The open menu shows every name whole beside its flag, however
        // narrow the closed one ("St. Vincent & Grenadines" is wider).
        const int closedWidth = country->width();
        QCOMPARE(ScreenFixtures::itemsCutInPopup(country), QStringList());
        QCOMPARE(country->width(), closedWidth);
    }

    // Closed, the menu shows the chosen name whole where it fits, else ends
    // it with "…", never cut mid-letter at the field's edge.
    void closedCountryMenuNeverCutsANameShort()
    {
        const auto view = makeView();
        view->show();
        QComboBox* country = view->countryPicker();
        QVERIFY(country->width() >= 180);
        TextRecordingStyle recorder;
        country->setStyle(&recorder);
        const auto shownName = [&](const QString& code) -> QString {
            m_viewModel->setSelectedStorefront(code);
            recorder.drawn.clear();
            country->grab();
            if (recorder.drawn.size() != 1)
                return QStringLiteral("<%1 texts drawn>").arg(recorder.drawn.size());
            const TextRecordingStyle::Drawn& text = recorder.drawn.first();
            // Left-aligned from the start of its box, inside what the painter lets through.
            const int room = text.visible.right() + 1 - text.box.left();
            if (country->fontMetrics().horizontalAdvance(text.text) > room)
                return QStringLiteral("<cut: %1>").arg(text.text);
            return text.text;
        };
        QCOMPARE(shownName(QStringLiteral("DE")), QStringLiteral("Germany"));
        const QString whole = QStringLiteral("St. Vincent & Grenadines");
        const QString shown = shownName(QStringLiteral("VC"));
        QVERIFY2(shown == whole || (shown.endsWith(QChar(0x2026)) && whole.startsWith(shown.chopped(1))), qPrintable(shown));
        country->setStyle(nullptr);
        ScreenFixtures::renderBothSchemes(view.get(), QStringLiteral("top-charts-long-country"));
    }

    void windowStorefrontFollowsOnlyRealChanges()
    {
        serveChart(QStringLiteral("/api/v2/fr/apps/top-free/50/apps.json"), {{"3001", "Carnet", {}}});
        const auto view = makeView();
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        const int usRequests = m_server->requestCount(kFree);
        view->setStorefront(QStringLiteral("us"));
        QCOMPARE(m_viewModel->isLoading(), false);
        view->setStorefront(QStringLiteral("fr"));
        QCOMPARE(m_viewModel->selectedStorefront(), QStringLiteral("FR"));
        QCOMPARE(view->countryPicker()->currentData().toString(), QStringLiteral("FR"));
        QTRY_COMPARE(view->contentState(), State::Rows);
        QCOMPARE(requestsTo(QStringLiteral("/api/v2/fr/")), 1);
        QCOMPARE(m_server->requestCount(kFree), usRequests);
    }

    void storeLinkOpensTheStorePage()
    {
        const QList<QUrl>& opened = captureLinks();
        const auto view = makeView();
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        QTest::mouseClick(view->listView()->viewport(), Qt::LeftButton, {}, statePoint(view.get(), 1, true));
        QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("https://apps.example.com/app/id1002"))});
        // A row without a store address has no link to click.
        QVERIFY(!view->model()->rankings().at(2).appStoreURL.isValid());
    }

    void deletedWhileLoadingOrAdding()
    {
        serveChart(kFree, ScreenFixtures::numberedEntries(3), 400);
        auto view = makeView();
        view->show();
        QCOMPARE(view->contentState(), State::Loading);
        view.reset();
        QTRY_VERIFY(!m_viewModel->isLoading());
        QCOMPARE(m_viewModel->rankings().size(), 3);

        serveChart(kFree, ScreenFixtures::numberedEntries(3));
        view = makeView();
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        Gate gate;
        bool finished = false;
        view->setOnAddApp([gate = QPointer<Gate>(&gate)](AppRanking, QString) { return waitForGate(gate); });
        auto add = [](RanksSummaryTabView* target, AppRanking ranking, bool* done) -> QCoro::Task<> {
            co_await target->addRanking(std::move(ranking));
            *done = true;
        };
        add(view.get(), view->model()->rankings().at(1), &finished);
        view.reset();
        emit gate.opened();
        QTRY_VERIFY(finished);
    }

    void newChartStartsAtTheTop_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("chart kind") << 0;
        QTest::newRow("country") << 1;
        QTest::newRow("category") << 2;
        QTest::newRow("reload") << 3;
    }

    void newChartStartsAtTheTop()
    {
        QFETCH(int, change);
        serveChart(kFree, ScreenFixtures::numberedEntries(50));
        serveChart(kPaid, ScreenFixtures::numberedEntries(50, 5000));
        serveChart(QStringLiteral("/api/v2/de/apps/top-free/50/apps.json"), ScreenFixtures::numberedEntries(50, 6000));
        m_server->setRoute(QStringLiteral("/us/rss/topfreeapplications/limit=50/genre=6000/json"),
                           FixtureResponse::fromFile(QStringLiteral("charts/legacy_us_top_grossing_100.json")));
        const auto view = makeView(QSize(700, 600));
        QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        QListView* list = view->listView();
        list->scrollTo(view->model()->index(12), QAbstractItemView::PositionAtTop);
        QCOMPARE(list->indexAt(QPoint(20, 20)).row(), 12);

        const qsizetype requests = m_server->requests().size();
        switch (change) {
        case 0: m_viewModel->setSelectedFeed(AppRankingService::Feed::topPaid); break;
        case 1: m_viewModel->setSelectedStorefront(QStringLiteral("DE")); break;
        case 2: m_viewModel->setSelectedGenre(AppRankingService::genre(QStringLiteral("6000"))); break;
        default: QTest::mouseClick(view->reloadButton(), Qt::LeftButton); break;
        }
        QTRY_VERIFY(m_server->requests().size() > requests);
        QTRY_COMPARE(view->contentState(), State::Rows);
        QVERIFY(view->model()->rowCount() > 13);
        QCOMPARE(list->verticalScrollBar()->value(), 0);
        QCOMPARE(list->indexAt(QPoint(20, 20)).row(), 0);
    }

    void spinnerTurnsOnScreenWhileAdding()
    {
        const auto view = makeView();
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        // Icons still loading turn spinners of their own.
        QTRY_VERIFY(iconsSettled(view.get()));
        QListView* list = view->listView();
        const QRect row(list->viewport()->mapTo(view.get(), QPoint(0, 0)) + list->visualRect(view->model()->index(1)).topLeft(),
                        list->visualRect(view->model()->index(1)).size());
        // What the screen shows, not a fresh rendering.
        const auto shown = [&view, row] { return view->screen()->grabWindow(view->winId()).toImage().copy(row); };
        QTRY_VERIFY(!shown().isNull());
        const QImage idle = shown();
        view->model()->setAdding(QStringLiteral("1002"), true);
        QTRY_VERIFY(shown() != idle);
        const QImage first = shown();
        QTRY_VERIFY(shown() != first);
    }

    void rowControlsByKeyboard()
    {
        const QList<QUrl>& opened = captureLinks();
        QStringList added;
        const auto view = makeView();
        view->setOnAddApp([&added](AppRanking ranking, QString) -> QCoro::Task<> {
            added.append(ranking.id);
            co_return;
        });
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        QListView* list = view->listView();
        QVERIFY(list->focusPolicy() & Qt::TabFocus);
        const QRect firstRow = list->visualRect(view->model()->index(0));
        const QImage unfocused = list->viewport()->grab(firstRow).toImage();
        list->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(list->hasFocus());
        QCOMPARE(list->currentIndex().row(), 0);
        QVERIFY(list->viewport()->grab(firstRow).toImage() != unfocused); // the focus ring shows
        QTest::keyClick(list, Qt::Key_Right);
        QVERIFY(ScreenFixtures::saveRender(view.get(), QStringLiteral("top-charts-keyboard-link")));
        QTest::keyClick(list, Qt::Key_Left);

        const QUrl link1001(QStringLiteral("https://apps.example.com/app/id1001"));
        const QUrl link1002(QStringLiteral("https://apps.example.com/app/id1002"));
        QTest::keyClick(list, Qt::Key_Space); // the add button of #1
        QTest::keyClick(list, Qt::Key_Right);
        QTest::keyClick(list, Qt::Key_Return); // its store link
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Enter); // the link stays in focus on #2
        QTest::keyClick(list, Qt::Key_Left);
        QTest::keyClick(list, Qt::Key_Space);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Right); // #3 has no link: the add button keeps the focus
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(opened, (QList<QUrl>{link1001, link1002}));
        QTRY_COMPARE(added, (QStringList{"1001", "1002", "1003"}));
    }

    // The rows draw their add buttons and store links themselves; assistive
    // technology still finds each as a control of its row, by the name a
    // user hears, and can press it.
    void rowControlsReachAssistiveTechnology()
    {
        static QStringList focusNames;
        focusNames.clear();
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            if (event->type() == QAccessible::Focus && event->accessibleInterface())
                focusNames.append(event->accessibleInterface()->text(QAccessible::Name));
        });
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        const auto done = qScopeGuard([] {
            QAccessible::installUpdateHandler(nullptr);
            QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
        });
        QStringList added;
        const auto view = makeView();
        view->setSavedAppIDs({1002});
        view->setOnAddApp([&added](AppRanking ranking, QString) -> QCoro::Task<> {
            added.append(ranking.id);
            co_return;
        });
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);

        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view->listView());
        QVERIFY(list);
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->childCount(), view->model()->rowCount());
        const auto names = [](QAccessibleInterface* row) {
            QStringList spoken;
            for (int i = 0; i < row->childCount(); ++i)
                spoken.append(row->child(i)->text(QAccessible::Name));
            return spoken;
        };
        QAccessibleInterface* notes = list->child(0);
        QCOMPARE(notes->role(), QAccessible::ListItem);
        QCOMPARE(notes->text(QAccessible::Name), QStringLiteral("#1 Notes"));
        QCOMPARE(names(notes), (QStringList{"Add Notes to Plovera", "Open Notes in the App Store"}));
        QCOMPARE(names(list->child(1)), QStringList{"Open Field Guide in the App Store"}); // saved: no add button
        QCOMPARE(names(list->child(2)), QStringList{"Add Quill VPN to Plovera"}); // no store address

        QAccessibleInterface* add = notes->child(0);
        QCOMPARE(add->role(), QAccessible::Button);
        QCOMPARE(add->text(QAccessible::Description), QStringLiteral("Add to Plovera"));
        QCOMPARE(add->parent(), notes);
        QCOMPARE(notes->indexOfChild(add), 0);
        QCOMPARE(notes->childAt(add->rect().center().x(), add->rect().center().y()), add);
        QCOMPARE(list->childAt(add->rect().center().x(), add->rect().center().y()), notes);
        QVERIFY(add->actionInterface());
        add->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(added, QStringList{"1001"});

        // By keyboard the control in focus is announced, not only its row.
        QListView* rows = view->listView();
        rows->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(rows->hasFocus());
        QTest::keyClick(rows, Qt::Key_Down);
        QCOMPARE(focusNames.mid(focusNames.size() - 2),
                 (QStringList{"#2 Field Guide", "Open Field Guide in the App Store"}));
        QTest::keyClick(rows, Qt::Key_Up);
        QCOMPARE(focusNames.last(), QStringLiteral("Add Notes to Plovera"));
        QTest::keyClick(rows, Qt::Key_Right);
        QCOMPARE(focusNames.last(), QStringLiteral("Open Notes in the App Store"));
        QVERIFY(list->focusChild() && list->focusChild()->state().focused);
        QCOMPARE(list->focusChild()->text(QAccessible::Name), QStringLiteral("Open Notes in the App Store"));

        // A new chart: the rows read what it lists.
        QTest::mouseClick(view->chartPicker(), Qt::LeftButton, {}, view->chartPicker()->segmentRect(1).center());
        QTRY_COMPARE(view->contentState(), State::Rows);
        QCOMPARE(list->childCount(), 1);
        QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("#1 Paid One"));
        QCOMPARE(names(list->child(0)), (QStringList{"Add Paid One to Plovera", "Open Paid One in the App Store"}));
    }

    void longNamesKeepTheTabsSize()
    {
        const auto view = makeView();
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        const QSize before = view->sizeHint();
        const QString longName(1000, QLatin1Char('W'));
        serveChart(kFree, {{"1001", longName, longName}, {"1002", "Field Guide", {}}});
        QTest::mouseClick(view->reloadButton(), Qt::LeftButton);
        QTRY_COMPARE(view->contentState(), State::Rows);
        QCOMPARE(view->model()->rankings().first().name, longName);
        QCOMPARE(view->sizeHint(), before);
        QVERIFY(view->minimumSizeHint().width() < 600);
        QStyleOptionViewItem option;
        option.rect = view->listView()->visualRect(view->model()->index(0));
        const RankingRow::Geometry g = RankingRow::geometry(option, view->model()->index(0));
        QVERIFY(g.name.right() < g.state.left() && g.genre.right() < g.state.left());
    }

    // A category wraps over the lines it needs; its row grows with it, in
    // the list and for assistive technology, and follows the list's width.
    void longCategoryWrapsAndTheRowFollows()
    {
        const QString category = QStringLiteral(
            "Productivity, Business, Finance and Personal Budgeting Tools for Small Teams, Families and Households "
            "in Every Country Around the World, Offline and Online");
        serveChart(kFree, {{"1001", "Notes", "Productivity"}, {"1002", "Field Guide", category}, {"1003", "Quill VPN", {}}});
        const auto view = makeView(QSize(900, 760));
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        QListView* list = view->listView();
        const auto rect = [list](int row) { return list->visualRect(list->model()->index(row, 0)); };
        const QFontMetrics caption(platformFont(TextStyle::Caption));
        // The rows stack without overlapping; the category's space holds its
        // lines wrapped at the column's width, inside the card.
        const auto checkLayout = [&] {
            QVERIFY(rect(0).bottom() < rect(1).top() && rect(1).bottom() < rect(2).top());
            const RankingRow::Geometry g = rowGeometry(view.get(), 1);
            const int wrapped = caption.boundingRect(QRect(0, 0, g.genre.width(), 0), Qt::TextWordWrap, category).height();
            QVERIFY2(wrapped > 2 * caption.height(), "the category fits on one line: no wrapping to see");
            QVERIFY(g.genre.height() + 1 >= wrapped);
            QVERIFY(g.genre.top() > g.artist.bottom() && g.genre.bottom() < g.card.bottom());
            QVERIFY(rect(1).height() > rect(2).height());
        };
        checkLayout();
        if (QTest::currentTestFailed())
            return;
        const int wide = rect(1).height();

        QAccessibleInterface* row = QAccessible::queryAccessibleInterface(list)->child(1);
        QCOMPARE(row->text(QAccessible::Description), QStringLiteral("Field Guide Labs, ") + category);
        QCOMPARE(row->rect().height(), rowGeometry(view.get(), 1).card.height());
        QCOMPARE(QAccessible::queryAccessibleInterface(list)->child(0)->text(QAccessible::Description),
                 QStringLiteral("Notes Labs, Productivity, Selected App"));

        view->resize(620, 760);
        QTRY_VERIFY(rect(1).height() > wide);
        checkLayout();
        if (QTest::currentTestFailed())
            return;
        view->resize(900, 760);
        QTRY_COMPARE(rect(1).height(), wide);
    }

    void renderBothSchemes()
    {
        const auto view = makeView(QSize(820, 640));
        view->setSavedAppIDs({1003});
        view->show();
        QTRY_COMPARE(view->contentState(), State::Rows);
        // The model keeps each icon's load state; the missing one falls back.
        QTRY_VERIFY(iconsSettled(view.get()));
        const auto phase = [&view](int row) { return view->model()->index(row).data(RankingListModel::IconPhaseRole).toInt(); };
        QCOMPARE(phase(1), int(RemoteImageView::Phase::Success));
        QCOMPARE(phase(2), int(RemoteImageView::Phase::Failure));
        QCoreApplication::processEvents();
        // The card is drawn in the scheme's own fill.
        ScreenFixtures::renderBothSchemes(view.get(), QStringLiteral("top-charts"), [](ColorScheme scheme, const QImage& image) {
            QCOMPARE(image.pixelColor(image.width() / 2, 8).lightness() < 128, scheme == ColorScheme::Dark);
        });
    }

private:
    // Every row's icon has loaded or fallen back: what the rows show no longer
    // waits on the network.
    static bool iconsSettled(RanksSummaryTabView* view)
    {
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            if (view->model()->index(row).data(RankingListModel::IconPhaseRole).toInt() == int(RemoteImageView::Phase::Empty))
                return false;
        }
        return true;
    }

    const QList<QUrl>& captureLinks()
    {
        m_opened.clear();
        setLinkOpenerForTesting([this](const QUrl& url) {
            m_opened.append(url);
            return true;
        });
        return m_opened;
    }
    void serveChart(const QString& path, const QList<ChartEntry>& entries, int delayMs = 0)
    {
        m_server->setRoute(path, FixtureResponse::json(ScreenFixtures::currentChart(entries, m_server->baseUrl())).delayed(delayMs));
    }
    std::unique_ptr<RanksSummaryTabView> makeView(QSize size = QSize(900, 760))
    {
        auto view = std::make_unique<RanksSummaryTabView>(m_viewModel.get());
        view->resize(size);
        AppInfo app;
        app.id = 1001;
        view->setApp(app);
        view->setStorefront(QStringLiteral("US"));
        return view;
    }
    static RankingRow::Geometry rowGeometry(RanksSummaryTabView* view, int row)
    {
        QListView* list = view->listView();
        QStyleOptionViewItem option;
        option.rect = list->visualRect(list->model()->index(row, 0));
        return RankingRow::geometry(option, list->model()->index(row, 0));
    }
    QPoint statePoint(RanksSummaryTabView* view, int row, bool link = false) const
    {
        QListView* list = view->listView();
        const QModelIndex index = list->model()->index(row, 0);
        QStyleOptionViewItem option;
        option.rect = list->visualRect(index);
        const RankingRow::Geometry g = RankingRow::geometry(option, index);
        return (link ? g.link : g.state).center();
    }
    int requestsTo(const QString& prefix) const
    {
        int count = 0;
        for (const FixtureRequest& request : m_server->requests())
            count += request.path.startsWith(prefix) ? 1 : 0;
        return count;
    }

    std::unique_ptr<FixtureServer> m_server;
    std::shared_ptr<HttpSession> m_session = std::make_shared<HttpSession>();
    std::unique_ptr<AppRankingViewModel> m_viewModel;
    QList<QUrl> m_opened;
};

QTEST_MAIN(RanksSummaryTabViewTest)
#include "RanksSummaryTabViewTest.moc"

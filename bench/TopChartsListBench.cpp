// The top-charts tab as the app shows it: a window at the size of the detail
// pane whose chart of 200 entries (names in several scripts, icons warm in the
// cache) has come in through the view model from a loopback chart server; the
// rows arrive, are laid out and painted on screen, scrolled from top to
// bottom. Against bare QListView windows doing the same: one with the 200
// names in plain rows at the window size, one with the names and icons in rows
// of the chart's row height, as large as the tab's list, so that as many rows
// are on screen. The "rows" counter is the number of rows on screen per loop.
#include "Services/Charts/AppRankingService.h"
#include "Views/TopCharts/RankingListModel.h"
#include "Views/TopCharts/RankingRow.h"
#include "Views/TopCharts/RanksSummaryTabView.h"
#include "ViewModels/AppRankingViewModel.h"
#include "platform/RemoteImageCache.h"
#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"
#include "support/WorldText.h"
#include "support/WidgetBenchMain.h"

#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int kRows = 200;
const QSize kSize(860, 700);

// Entries named as storefronts around the world name apps.
QList<ScreenFixtures::ChartEntry> entries()
{
    QList<ScreenFixtures::ChartEntry> list = ScreenFixtures::numberedEntries(kRows);
    for (qsizetype i = 0; i < list.size(); ++i)
        list[i].name = WorldText::text(int(i), 8 + i % 23);
    return list;
}

// Lays out, then paints the list on screen at the top, the middle and the
// bottom; returns how many rows were on screen.
int paintThrough(QListView* list)
{
    list->doItemsLayout();
    QScrollBar* bar = list->verticalScrollBar();
    int rows = 0;
    for (const int value : {bar->minimum(), (bar->minimum() + bar->maximum()) / 2, bar->maximum()}) {
        bar->setValue(value);
        list->viewport()->repaint();
        const QModelIndex top = list->indexAt(QPoint(1, 1));
        const QModelIndex bottom = list->indexAt(QPoint(1, list->viewport()->height() - 1));
        rows += (bottom.isValid() ? bottom.row() : list->model()->rowCount() - 1) - top.row() + 1;
    }
    return rows;
}

struct Fixture {
    std::unique_ptr<FixtureServer> server = std::make_unique<FixtureServer>();
    QByteArray chart;
    QList<AppRanking> rows;
    QStringList names;

    Fixture()
    {
        if (!server->listen())
            qFatal("no fixture server");
        chart = ScreenFixtures::currentChart(entries(), server->baseUrl());
        server->setHandler([this](const FixtureRequest& request) -> std::optional<FixtureResponse> {
            if (request.path.endsWith(QLatin1String("/apps.json")))
                return FixtureResponse::json(chart);
            FixtureResponse icon;
            icon.body = ScreenFixtures::pngBytes(Qt::darkCyan, 100);
            icon.contentType = "image/png";
            return icon;
        });
        auto decoded = AppRankingService::decodeCurrentFeed(chart);
        if (!decoded)
            qFatal("chart did not decode");
        rows = decoded.value();
        for (const AppRanking& ranking : std::as_const(rows)) {
            names.append(ranking.name);
            RemoteImageCache::shared()->request(ranking.artworkURL, server.get(), [](const QImage&) {});
        }
        if (!QTest::qWaitFor([] { return RemoteImageCache::shared()->inFlightCount() == 0; }, 20000))
            qFatal("icons did not arrive");
    }
};

Fixture& fixture()
{
    static Fixture shared;
    return shared;
}

void BM_BareListView(benchmark::State& state)
{
    Fixture& f = fixture();
    QStringListModel model;
    QListView list;
    list.setModel(&model);
    list.resize(kSize);
    list.show();
    if (!QTest::qWaitForWindowExposed(&list))
        qFatal("bare list not shown");
    int rows = 0;
    for (auto _ : state) {
        model.setStringList({});
        model.setStringList(f.names);
        rows = paintThrough(&list);
    }
    state.counters["rows"] = rows;
}

// The tab shown at the window size with its chart in, as the app shows it.
struct ShownTab {
    AppRankingViewModel viewModel;
    RanksSummaryTabView tab;

    explicit ShownTab(Fixture& f)
        : viewModel(AppRankingService(std::make_shared<HttpSession>(), f.server->baseUrl(), f.server->baseUrl()),
                    QStringLiteral("US"), kRows)
        , tab(&viewModel)
    {
        AppInfo open;
        open.id = 1005;
        tab.setApp(open);
        tab.setSavedAppIDs({1010, 1020, 1030});
        tab.resize(kSize);
        // Shown, the tab loads its chart; the list page is what shows once it is in.
        tab.show();
        if (!QTest::qWaitForWindowExposed(&tab)
            || !QTest::qWaitFor([&] { return tab.contentState() == RanksSummaryTabView::ContentState::Rows; }, 20000))
            qFatal("chart not shown");
    }
};

void BM_TopChartsTab(benchmark::State& state)
{
    Fixture& f = fixture();
    ShownTab shown(f);
    QListView* list = shown.tab.listView();
    int rows = 0;
    for (auto _ : state) {
        shown.tab.model()->setRankings({});
        shown.tab.model()->setRankings(f.rows);
        rows = paintThrough(list);
    }
    state.counters["rows"] = rows;
}

void BM_BareListViewSameRows(benchmark::State& state)
{
    Fixture& f = fixture();
    QSize viewport;
    int rowHeight = 0;
    {
        ShownTab shown(f);
        QListView* tabList = shown.tab.listView();
        viewport = tabList->viewport()->size();
        for (int row = 0; row < kRows; ++row)
            rowHeight += tabList->sizeHintForRow(row);
        rowHeight /= kRows;
    }
    const QIcon icon(QPixmap::fromImage(QImage::fromData(ScreenFixtures::pngBytes(Qt::darkCyan, 100))));
    QStandardItemModel model;
    QListView list;
    list.setModel(&model);
    list.setIconSize(QSize(RankingRow::kIconSide, RankingRow::kIconSide));
    list.setUniformItemSizes(true);
    list.resize(viewport + (list.size() - list.viewport()->size()));
    list.show();
    if (!QTest::qWaitForWindowExposed(&list))
        qFatal("bare list not shown");
    int rows = 0;
    for (auto _ : state) {
        model.clear();
        for (const QString& name : std::as_const(f.names)) {
            auto* item = new QStandardItem(icon, name);
            item->setSizeHint(QSize(-1, rowHeight));
            model.appendRow(item);
        }
        rows = paintThrough(&list);
    }
    state.counters["rows"] = rows;
}
} // namespace

BENCHMARK(BM_BareListView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareListViewSameRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TopChartsTab)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}

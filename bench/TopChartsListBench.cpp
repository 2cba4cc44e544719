// The top-charts tab showing a chart of 200 entries (icons warm in the
// cache): the rows arrive, are laid out and painted, scrolled from top to
// bottom; against a bare QListView of the same 200 names doing the same.
#include "Views/TopCharts/RankingListModel.h"
#include "Views/TopCharts/RanksSummaryTabView.h"
#include "ViewModels/AppRankingViewModel.h"
#include "platform/RemoteImageCache.h"
#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"

#include <QApplication>
#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int kRows = 200;
const QSize kSize(860, 700);

QList<AppRanking> chart(const QUrl& base)
{
    auto decoded = AppRankingService::decodeCurrentFeed(
        ScreenFixtures::currentChart(ScreenFixtures::numberedEntries(kRows), base));
    if (!decoded)
        qFatal("chart did not decode");
    return decoded.value();
}

// Lays out, then paints the viewport at the top, the middle and the bottom.
void paintThrough(QListView* list, QImage* canvas)
{
    list->doItemsLayout();
    QScrollBar* bar = list->verticalScrollBar();
    for (const int value : {bar->minimum(), (bar->minimum() + bar->maximum()) / 2, bar->maximum()}) {
        bar->setValue(value);
        list->viewport()->render(canvas);
    }
}

struct Fixture {
    std::unique_ptr<FixtureServer> server = std::make_unique<FixtureServer>();
    QList<AppRanking> rows;
    QStringList names;

    Fixture()
    {
        if (!server->listen())
            qFatal("no fixture server");
        server->setHandler([](const FixtureRequest&) -> std::optional<FixtureResponse> {
            FixtureResponse icon;
            icon.body = ScreenFixtures::pngBytes(Qt::darkCyan, 100);
            icon.contentType = "image/png";
            return icon;
        });
        rows = chart(server->baseUrl());
        for (const AppRanking& ranking : rows) {
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
    QImage canvas(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        model.setStringList({});
        model.setStringList(f.names);
        paintThrough(&list, &canvas);
    }
}

void BM_TopChartsTab(benchmark::State& state)
{
    Fixture& f = fixture();
    AppRankingViewModel viewModel(AppRankingService(std::make_shared<HttpSession>(), f.server->baseUrl(),
                                                    f.server->baseUrl()),
                                  QStringLiteral("US"), kRows);
    RanksSummaryTabView tab(&viewModel);
    AppInfo open;
    open.id = 1005;
    tab.setApp(open);
    tab.setSavedAppIDs({1010, 1020, 1030});
    tab.resize(kSize);
    QListView* list = tab.listView();
    // The list page is what shows once a chart has arrived.
    list->show();
    list->resize(kSize);
    QImage canvas(list->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        tab.model()->setRankings({});
        tab.model()->setRankings(f.rows);
        paintThrough(list, &canvas);
    }
}
} // namespace

BENCHMARK(BM_BareListView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TopChartsTab)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The rank-monitor page with a warm cache of 20 countries: from `load` to the
// cards painted, against painting the same cards from ready data.
#include "Services/Charts/AppRankCache.h"
#include "Services/Charts/AppRankMonitorService.h"
#include "Services/Charts/AppRankingService.h"
#include "Views/RankMonitor/AppRanksView.h"
#include "ViewModels/AppRankMonitorViewModel.h"
#include "models/SettingsKeys.h"
#include "platform/UserDefaults.h"
#include "support/FixtureServer.h"
#include "support/ScreenFixtures.h"
#include "support/WidgetBenchMain.h"

#include <QImage>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr qint64 kAppID = 1459969523;
const QStringList kCountries{"US", "GB", "DE", "FR", "IT", "ES", "JP", "CA", "AU", "BR",
                             "MX", "IN", "KR", "NL", "SE", "NO", "DK", "FI", "PL", "CH"};

struct Page {
    std::unique_ptr<FixtureServer> server = std::make_unique<FixtureServer>();
    std::unique_ptr<AppRankMonitorViewModel> viewModel;
    std::unique_ptr<AppRanksView> view;
    QImage canvas;

    Page()
    {
        if (!server->listen())
            qFatal("no fixture server");
        FixtureServer* raw = server.get();
        server->setHandler([raw](const FixtureRequest& request) -> std::optional<FixtureResponse> {
            QList<ScreenFixtures::ChartEntry> entries = ScreenFixtures::numberedEntries(50);
            const int position = static_cast<int>(qHash(request.path) % 60);
            if (position < 50)
                entries[position].id = QString::number(kAppID);
            if (!request.path.startsWith(QLatin1String("/api/")))
                return FixtureResponse::fromFile(QStringLiteral("charts/legacy_no_entry.json"));
            return FixtureResponse::json(ScreenFixtures::currentChart(entries, raw->baseUrl()));
        });
        UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName))
            ->setValue(QString::fromLatin1(kAppRankMonitorSelectedCountriesKey), kCountries);
        AppInfo app;
        app.id = kAppID;
        app.name = QStringLiteral("Field Notes");
        app.genre = QStringLiteral("Productivity");
        const AppRankingService charts(std::make_shared<HttpSession>(), server->baseUrl(), server->baseUrl());
        viewModel = std::make_unique<AppRankMonitorViewModel>(app, QStringLiteral("US"),
                                                              AppRankMonitorService(charts, 50));
        // Warm the cache once, over the network.
        QCoro::waitFor(viewModel->load(true));
        view = std::make_unique<AppRanksView>(viewModel.get());
        view->setApp(app);
        view->resize(900, 4200); // every card on screen
        view->show();
        QTest::qWait(50);
        canvas = QImage(view->size(), QImage::Format_ARGB32_Premultiplied);
        if (view->cards().size() != kCountries.size())
            qFatal("expected %d cards, got %d", int(kCountries.size()), int(view->cards().size()));
    }

    void paint()
    {
        // Layouts settle on posted requests; a frame sees them applied.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        view->render(&canvas);
    }
};

Page& page()
{
    static Page shared;
    return shared;
}

void BM_PaintReadyCards(benchmark::State& state)
{
    Page& p = page();
    for (auto _ : state)
        p.paint();
}

void BM_WarmLoadToPaintedCards(benchmark::State& state)
{
    Page& p = page();
    for (auto _ : state) {
        // Every country answers from the cache, so the load finishes without
        // waiting for the event loop.
        QCoro::waitFor(p.viewModel->load(false));
        p.paint();
    }
    if (p.view->cards().size() != kCountries.size())
        state.SkipWithError("cards missing after the load");
}
} // namespace

BENCHMARK(BM_PaintReadyCards)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WarmLoadToPaintedCards)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}

// Decoding a 100-entry chart of each feed, against parsing the same bytes
// with QJsonDocument alone: how much the typed decoding adds to the parse.

#include "Services/AppRankingService.h"

#include <QFile>
#include <QJsonDocument>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(PLOVERA_FIXTURES_DIR "/charts/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

const QByteArray& currentChart()
{
    static const QByteArray bytes = fixture("current_us_top_free_100.json");
    return bytes;
}

const QByteArray& legacyChart()
{
    static const QByteArray bytes = fixture("legacy_us_top_grossing_100.json");
    return bytes;
}

void BM_CurrentFeed_Decode(benchmark::State& state)
{
    const QByteArray& bytes = currentChart();
    for (auto _ : state) {
        auto chart = AppRankingService::decodeCurrentFeed(bytes);
        if (!chart || chart.value().size() != 100)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(chart);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_CurrentFeed_ParseOnly(benchmark::State& state)
{
    const QByteArray& bytes = currentChart();
    for (auto _ : state) {
        QJsonDocument document = QJsonDocument::fromJson(bytes);
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_LegacyFeed_Decode(benchmark::State& state)
{
    const QByteArray& bytes = legacyChart();
    for (auto _ : state) {
        auto chart = AppRankingService::decodeLegacyFeed(bytes);
        if (!chart || chart.value().size() != 100)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(chart);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_LegacyFeed_ParseOnly(benchmark::State& state)
{
    const QByteArray& bytes = legacyChart();
    for (auto _ : state) {
        QJsonDocument document = QJsonDocument::fromJson(bytes);
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

} // namespace

BENCHMARK(BM_CurrentFeed_Decode);
BENCHMARK(BM_CurrentFeed_ParseOnly);
BENCHMARK(BM_LegacyFeed_Decode);
BENCHMARK(BM_LegacyFeed_ParseOnly);

BENCHMARK_MAIN();

// Decoding each kind of answer the web clients read, against parsing the same
// bytes with QJsonDocument alone: how much the typed decoding adds to the parse.
// The ratio Decode / ParseOnly is what matters; on a busy machine compare the
// medians of --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true.

#include "Services/AppRankingService.h"
#include "Services/AppSearchService.h"
#include "Services/SensorTowerService.h"

#include <QFile>
#include <QJsonDocument>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(PLOVERA_FIXTURES_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

const QByteArray& currentChart()
{
    static const QByteArray bytes = fixture("charts/current_us_top_free_100.json");
    return bytes;
}

const QByteArray& legacyChart()
{
    static const QByteArray bytes = fixture("charts/legacy_us_top_grossing_100.json");
    return bytes;
}

const QByteArray& lookup()
{
    static const QByteArray bytes = fixture("catalogue/lookup_100_apps.json");
    return bytes;
}

const QByteArray& estimates()
{
    static const QByteArray bytes = fixture("estimates/object_apps.json");
    return bytes;
}

void parseOnly(benchmark::State& state, const QByteArray& bytes)
{
    for (auto _ : state) {
        QJsonDocument document = QJsonDocument::fromJson(bytes);
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_CurrentChart_Decode(benchmark::State& state)
{
    for (auto _ : state) {
        auto chart = AppRankingService::decodeCurrentFeed(currentChart());
        if (!chart || chart.value().size() != 100)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(chart);
    }
    state.SetBytesProcessed(state.iterations() * currentChart().size());
}

void BM_CurrentChart_ParseOnly(benchmark::State& state)
{
    parseOnly(state, currentChart());
}

void BM_LegacyChart_Decode(benchmark::State& state)
{
    for (auto _ : state) {
        auto chart = AppRankingService::decodeLegacyFeed(legacyChart());
        if (!chart || chart.value().size() != 100)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(chart);
    }
    state.SetBytesProcessed(state.iterations() * legacyChart().size());
}

void BM_LegacyChart_ParseOnly(benchmark::State& state)
{
    parseOnly(state, legacyChart());
}

void BM_Lookup100_Decode(benchmark::State& state)
{
    for (auto _ : state) {
        auto apps = AppSearchService::decodeResults(lookup(), AppPlatform::iPhone);
        if (!apps || apps.value().size() != 100)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(apps);
    }
    state.SetBytesProcessed(state.iterations() * lookup().size());
}

void BM_Lookup100_ParseOnly(benchmark::State& state)
{
    parseOnly(state, lookup());
}

void BM_Estimates_Decode(benchmark::State& state)
{
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        auto figures = SensorTowerService::decode(estimates(), 1459969523, now);
        if (!figures)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(figures);
    }
    state.SetBytesProcessed(state.iterations() * estimates().size());
}

void BM_Estimates_ParseOnly(benchmark::State& state)
{
    parseOnly(state, estimates());
}

} // namespace

BENCHMARK(BM_CurrentChart_Decode);
BENCHMARK(BM_CurrentChart_ParseOnly);
BENCHMARK(BM_LegacyChart_Decode);
BENCHMARK(BM_LegacyChart_ParseOnly);
BENCHMARK(BM_Lookup100_Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lookup100_ParseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Estimates_Decode);
BENCHMARK(BM_Estimates_ParseOnly);

BENCHMARK_MAIN();

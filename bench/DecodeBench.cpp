// Decoding each kind of answer the web clients read, against parsing the same
// bytes with QJsonDocument alone: how much the typed decoding adds to the parse.
// Each answer comes twice: as recorded (English, nearly all ASCII) and with
// its names and descriptions in several scripts ("world"), as storefronts
// around the world send them. The ratio Decode / ParseOnly of the same answer
// is what matters; on a busy machine compare the medians of
// --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true.

#include "Services/Charts/AppRankingService.h"
#include "Services/Catalogue/AppSearchService.h"
#include "Services/Estimates/SensorTowerService.h"
#include "support/WorldText.h"

#include <QFile>
#include <QJsonDocument>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(PLOVERA_FIXTURES_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

// The texts a storefront writes in its language; a record starts at the first.
const QList<QByteArray> kCurrentTexts{"\"artistName\":", "\"name\":", "\"title\":", "\"copyright\":"};
const QList<QByteArray> kLegacyTexts{"\"im:name\":{\"label\":", "\"summary\":{\"label\":", "\"rights\":{\"label\":",
                                     "\"title\":{\"label\":", "\"im:artist\":{\"label\":"};
const QList<QByteArray> kLookupTexts{"\"trackCensoredName\":", "\"trackName\":", "\"description\":",
                                     "\"artistName\":", "\"sellerName\":", "\"releaseNotes\":",
                                     "\"primaryGenreName\":"};

const QByteArray& currentChart()
{
    static const QByteArray bytes = fixture("charts/current_us_top_free_100.json");
    return bytes;
}

const QByteArray& currentChartWorld()
{
    static const QByteArray bytes = WorldText::localised(currentChart(), kCurrentTexts);
    return bytes;
}

const QByteArray& legacyChart()
{
    static const QByteArray bytes = fixture("charts/legacy_us_top_grossing_100.json");
    return bytes;
}

const QByteArray& legacyChartWorld()
{
    static const QByteArray bytes = WorldText::localised(legacyChart(), kLegacyTexts);
    return bytes;
}

const QByteArray& lookup()
{
    static const QByteArray bytes = fixture("catalogue/lookup_100_apps.json");
    return bytes;
}

const QByteArray& lookupWorld()
{
    static const QByteArray bytes = WorldText::localised(lookup(), kLookupTexts);
    return bytes;
}

const QByteArray& estimates()
{
    static const QByteArray bytes = fixture("estimates/object_apps.json");
    return bytes;
}

using Answer = const QByteArray& (*)();

void parseOnly(benchmark::State& state, Answer answer)
{
    const QByteArray& bytes = answer();
    for (auto _ : state) {
        QJsonDocument document = QJsonDocument::fromJson(bytes);
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// Decodes with `decode`, which must keep 100 entries of the answer.
template <typename Decode>
void decode(benchmark::State& state, Answer answer, Decode decode)
{
    const QByteArray& bytes = answer();
    for (auto _ : state) {
        auto decoded = decode(bytes);
        if (!decoded || decoded.value().size() != 100)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void currentChartDecode(benchmark::State& state, Answer answer)
{
    decode(state, answer, [](const QByteArray& bytes) { return AppRankingService::decodeCurrentFeed(bytes); });
}

void legacyChartDecode(benchmark::State& state, Answer answer)
{
    decode(state, answer, [](const QByteArray& bytes) { return AppRankingService::decodeLegacyFeed(bytes); });
}

void lookupDecode(benchmark::State& state, Answer answer)
{
    decode(state, answer,
           [](const QByteArray& bytes) { return AppSearchService::decodeResults(bytes, AppPlatform::iPhone); });
}

void estimatesDecode(benchmark::State& state, Answer answer)
{
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        auto figures = SensorTowerService::decode(answer(), 1459969523, now);
        if (!figures)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(figures);
    }
    state.SetBytesProcessed(state.iterations() * answer().size());
}

} // namespace

int main(int argc, char** argv)
{
    using Decoder = void (*)(benchmark::State&, Answer);
    const struct {
        const char* name;
        Answer answer;
        Decoder decoder;
        benchmark::TimeUnit unit;
    } answers[] = {
        {"CurrentChart", currentChart, currentChartDecode, benchmark::kMicrosecond},
        {"CurrentChartWorld", currentChartWorld, currentChartDecode, benchmark::kMicrosecond},
        {"LegacyChart", legacyChart, legacyChartDecode, benchmark::kMicrosecond},
        {"LegacyChartWorld", legacyChartWorld, legacyChartDecode, benchmark::kMicrosecond},
        {"Lookup100", lookup, lookupDecode, benchmark::kMillisecond},
        {"Lookup100World", lookupWorld, lookupDecode, benchmark::kMillisecond},
        {"Estimates", estimates, estimatesDecode, benchmark::kMicrosecond},
    };
    for (const auto& answer : answers) {
        benchmark::RegisterBenchmark((std::string(answer.name) + "_Decode").c_str(), answer.decoder, answer.answer)
            ->Unit(answer.unit);
        benchmark::RegisterBenchmark((std::string(answer.name) + "_ParseOnly").c_str(), parseOnly, answer.answer)
            ->Unit(answer.unit);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

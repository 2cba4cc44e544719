// What the window does once an update feed has arrived: the feed read, the
// newest version found and the outcome's box shown and painted, for a feed as
// the maker publishes it (Reference) and for hostile ones of the same size
// class (a 300 KB version of 150,001 parts; a title of 400,000 non-ASCII
// characters). Each hostile case against Reference, in one run; the bound a
// person feels is the time of one iteration.

#include "Services/Updater/Appcast.h"
#include "Services/Updater/UpdateUserDriver.h"
#include "support/WidgetBenchMain.h"

#include <QApplication>
#include <QMessageBox>

#include <benchmark/benchmark.h>

namespace {

QByteArray feed(const QByteArray& version, const QByteArray& title)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>"
           "<item><title>"
        + title + "</title><link>https://vantorel.com/plovera/releases/2.0</link>"
        + "<enclosure url=\"https://vantorel.com/plovera/Plovera.zip\" sparkle:shortVersionString=\"" + version
        + "\" length=\"1024\" type=\"application/octet-stream\"/></item></channel></rss>";
}

void showOutcome(benchmark::State& state, const QByteArray& bytes)
{
    StandardUpdateUserDriver driver;
    for (auto _ : state) {
        UpdateCheckOutcome outcome;
        outcome.currentVersion = QStringLiteral("1.0.0");
        const auto appcast = Appcast::parse(bytes);
        const auto newest = appcast ? appcast.value().newest() : std::nullopt;
        if (!newest) {
            outcome.failureReason = appcast ? QStringLiteral("The update information names no version.")
                                            : appcast.error().sentence;
        } else {
            outcome.kind = UpdateCheckOutcome::Kind::UpdateAvailable;
            outcome.latestVersion = newest->version;
        }
        bool acknowledged = false;
        driver.showOutcome(outcome, [&acknowledged] { acknowledged = true; });
        QMessageBox* box = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("UpdateCheckOutcome") && widget->isVisible())
                box = qobject_cast<QMessageBox*>(widget);
        }
        if (!box)
            state.SkipWithError("no box");
        else
            box->grab(); // painted as the person sees it
        state.PauseTiming();
        if (box)
            box->done(0);
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
        benchmark::DoNotOptimize(acknowledged);
    }
}

void Reference(benchmark::State& state)
{
    showOutcome(state, feed("2.0", "Plovera 2.0: Übersicht, 日本語, العربية"));
}

void HugeVersion(benchmark::State& state)
{
    showOutcome(state, feed("1" + QByteArray(".0").repeated(150000), "Plovera"));
}

void HugeTitle(benchmark::State& state)
{
    showOutcome(state, feed("2.0", QString(400000, QChar(0x00DC)).toUtf8()));
}

} // namespace

BENCHMARK(Reference)->Unit(benchmark::kMillisecond);
BENCHMARK(HugeVersion)->Unit(benchmark::kMillisecond);
BENCHMARK(HugeTitle)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}

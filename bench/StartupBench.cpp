// Start-up of the whole process to its first complete frame (saved apps already
// read are in it; a large workspace fills the sidebar later): the application
// (past the onboarding) over an empty workspace, one screenful of 20 real-shaped saved apps, 1,000 and 10,000, beside two bare Qt
// window programs of the same size that show text (a menu bar, a label, a line
// edit and a 20-row list): the plain one, and the same linked against all the
// application's libraries, its floor. All say when their first frame is out
// and then quit.
// Each loop starts the three in turn; the counters give each one's median and
// the ratios of the application to its floor and of the floor to the plain one.
#include "support/FirstPaintEnvironment.h"
#include "support/RealShapedWorkspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {
// A home of its own per workspace size, made once for the whole run.
const QTemporaryDir& homeWith(int saved)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> homes;
    auto& home = homes[saved];
    if (!home) {
        home = RealShapedWorkspace::makeWorkspaceHome();
        QDir().mkpath(home->filePath(QStringLiteral("config")));
        QDir().mkpath(home->filePath(QStringLiteral("data/Plovera")));
        // Past the first launch, so the main window is what starts.
        QFile settings(home->filePath(QStringLiteral("config/group.org.Vantorel.Plovera.conf")));
        if (settings.open(QIODevice::WriteOnly))
            settings.write("[General]\nisFirstTime=false\n");
        RealShapedWorkspace::write(home->filePath(QStringLiteral("data/Plovera/Plovera.sqlite")), saved);
    }
    return *home;
}

// Milliseconds from start to the line a program writes once its first frame is
// painted (its exit, and whatever work it finishes on the way out, are not
// start-up), or a negative number when it failed or did not quit cleanly.
double runToFirstPaint(const QString& program, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    double painted = -1;
    while (painted < 0 && process.waitForReadyRead(30000)) {
        while (process.canReadLine()) {
            if (process.readLine().startsWith("first frame painted")) {
                painted = double(clock.nsecsElapsed()) / 1e6;
                break;
            }
        }
    }
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s: exit status %d, code %d\n", qPrintable(program), int(process.exitStatus()),
                     process.exitCode());
        return -1;
    }
    return painted;
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void BM_FirstCompleteFrame(benchmark::State& state)
{
    const QProcessEnvironment environment = firstPaintEnvironment(homeWith(int(state.range(0))));
    std::vector<double> plain, floor, app;
    for (auto _ : state) {
        const double plainRun = runToFirstPaint(QStringLiteral(PLOVERA_BARE_TEXT_WINDOW_PROGRAM), environment);
        const double floorRun = runToFirstPaint(QStringLiteral(PLOVERA_SAME_LIBRARIES_TEXT_WINDOW_PROGRAM), environment);
        const double appRun = runToFirstPaint(QStringLiteral(PLOVERA_APP_PROGRAM), environment);
        if (plainRun < 0 || floorRun < 0 || appRun < 0) {
            state.SkipWithError("a program did not quit cleanly after its first paint");
            return;
        }
        state.SetIterationTime(appRun / 1e3);
        plain.push_back(plainRun);
        floor.push_back(floorRun);
        app.push_back(appRun);
    }
    state.counters["app_ms"] = median(app);
    state.counters["floor_ms"] = median(floor);
    state.counters["plain_ms"] = median(plain);
    state.counters["app_per_floor"] = median(app) / median(floor);
    state.counters["floor_per_plain"] = median(floor) / median(plain);
}
} // namespace

BENCHMARK(BM_FirstCompleteFrame)->Arg(0)->Arg(20)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv); // the workspaces are written through Qt Sql
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

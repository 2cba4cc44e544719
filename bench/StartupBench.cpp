// Start-up of the whole process to its first painted window, the saved apps
// in place: the application (past the onboarding) over an empty workspace, one
// screenful of 20 real-shaped saved apps, 1,000 and 10,000, beside two bare Qt window
// programs of the same size: one empty, one that shows text (a menu bar, a
// label, a line edit and a 20-row list), the fair yardstick. All quit right
// after their first paint.
#include "support/RealShapedWorkspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

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

QProcessEnvironment childEnvironment(const QTemporaryDir& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    environment.insert(QStringLiteral("PLOVERA_QUIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
    // Nothing at start-up should reach the network; if it did, it goes nowhere.
    for (const char* name : {"PLOVERA_CATALOGUE_URL", "PLOVERA_CHARTS_URL", "PLOVERA_LEGACY_CHARTS_URL",
                             "PLOVERA_ESTIMATES_URL"})
        environment.insert(QString::fromLatin1(name), QStringLiteral("http://127.0.0.1:9"));
    return environment;
}

void runToFirstPaint(benchmark::State& state, const QString& program, int saved = 0)
{
    const QProcessEnvironment environment = childEnvironment(homeWith(saved));
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, {});
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            state.SkipWithError("the program did not quit cleanly after its first paint");
            break;
        }
    }
}

void BM_BareQtWindowProcess(benchmark::State& state)
{
    runToFirstPaint(state, QStringLiteral(PLOVERA_BARE_WINDOW_PROGRAM));
}

void BM_BareTextWindowProcess(benchmark::State& state)
{
    runToFirstPaint(state, QStringLiteral(PLOVERA_BARE_TEXT_WINDOW_PROGRAM));
}

void BM_PloveraProcess(benchmark::State& state)
{
    runToFirstPaint(state, QStringLiteral(PLOVERA_APP_PROGRAM), int(state.range(0)));
}
} // namespace

BENCHMARK(BM_BareQtWindowProcess)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareTextWindowProcess)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PloveraProcess)->Arg(0)->Arg(20)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv); // the workspaces are written through Qt Sql
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

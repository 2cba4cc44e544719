// Start-up of the whole process to its first painted window: the application
// (past the onboarding, empty workspace) beside a bare Qt window program of
// the same size. Both quit right after their first paint.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {
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

void runToFirstPaint(benchmark::State& state, const QString& program)
{
    QTemporaryDir home;
    QDir().mkpath(home.filePath(QStringLiteral("config")));
    // Past the first launch, so the main window is what starts.
    QFile settings(home.filePath(QStringLiteral("config/group.org.Vantorel.Plovera.conf")));
    if (!settings.open(QIODevice::WriteOnly) || settings.write("[General]\nisFirstTime=false\n") < 0)
        state.SkipWithError("cannot write the settings file");
    settings.close();
    const QProcessEnvironment environment = childEnvironment(home);
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

void BM_PloveraProcess(benchmark::State& state)
{
    runToFirstPaint(state, QStringLiteral(PLOVERA_APP_PROGRAM));
}
} // namespace

BENCHMARK(BM_BareQtWindowProcess)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PloveraProcess)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();

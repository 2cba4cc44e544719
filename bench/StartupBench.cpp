// Start-up to the first shown window: the application object with its
// workspace and main window, against a bare Qt window of the same size.
#include "PloveraApp.h"
#include "models/SettingsKeys.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {
void waitUntilShown(QWidget* window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        qFatal("window was never exposed");
}

void BM_BareQtWindow(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget window;
        window.resize(PloveraApp::kDefaultWidth, PloveraApp::kDefaultHeight);
        waitUntilShown(&window);
    }
}

void BM_PloveraMainWindow(benchmark::State& state)
{
    QTemporaryDir data;
    UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName))->setValue(QString::fromLatin1(kIsFirstTimeKey), false);
    for (auto _ : state) {
        auto app = PloveraApp::create(PloveraApp::Options{data.filePath(QStringLiteral("bench.sqlite"))});
        if (!app)
            qFatal("%s", qPrintable(app.error()));
        waitUntilShown(app.value()->window());
    }
}

void BM_PloveraOnboarding(benchmark::State& state)
{
    QTemporaryDir data;
    for (auto _ : state) {
        state.PauseTiming();
        UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName))->remove(QString::fromLatin1(kIsFirstTimeKey));
        state.ResumeTiming();
        auto app = PloveraApp::create(PloveraApp::Options{data.filePath(QStringLiteral("bench.sqlite"))});
        if (!app)
            qFatal("%s", qPrintable(app.error()));
        waitUntilShown(app.value()->window());
    }
}
} // namespace

BENCHMARK(BM_BareQtWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PloveraMainWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PloveraOnboarding)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // Settings go to a scratch folder so the benchmark never touches the user's.
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

#pragma once

// The entry of a benchmark program that shows widgets: the offscreen platform
// unless another was asked for, settings and caches in a folder of the run's
// own (so no user's settings or icons colour a figure), then every registered
// benchmark.
#include <QApplication>
#include <QByteArray>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

inline int runWidgetBenchmarks(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

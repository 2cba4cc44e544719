// The main window over a workspace of real-shaped saved apps (names in
// several scripts, 1.5 kB descriptions, screenshot lists), shown offscreen:
// adding an app (saved, listed, selected, repainted) with none and with 1,000
// saved apps, beside a bare QListView that appends and selects one row; and
// scrolling the sidebar of 10,000 saved apps a page per frame, beside a bare
// QListView of 10,000 names scrolled the same way.
#include "PloveraApp.h"
#include "Services/Settings/AppSettings.h"
#include "ViewModels/MainViewModel.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "Views/MainWindow/MainView.h"
#include "Views/MainWindow/SavedAppsSidebar.h"
#include "support/RealShapedWorkspace.h"
#include "support/WidgetBenchMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListView>
#include <QMainWindow>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {
AppInfo sampleApp(qint64 id)
{
    return RealShapedWorkspace::app(id);
}

// One workspace file per size, made once for the whole run.
QString workspaceOf(int saved)
{
    static const std::unique_ptr<QTemporaryDir> folder = RealShapedWorkspace::makeWorkspaceHome();
    static std::map<int, QString> made;
    if (const auto it = made.find(saved); it != made.end())
        return it->second;
    const QString path = folder->filePath(QStringLiteral("ws-%1.sqlite").arg(saved));
    RealShapedWorkspace::write(path, saved);
    return made[saved] = path;
}

// The application's window over a workspace, shown, with one app selected.
std::unique_ptr<PloveraApp> shownApp(int saved)
{
    AppSettings::shared()->setIsFirstTime(false);
    auto app = PloveraApp::create(PloveraApp::Options{workspaceOf(saved)});
    if (!app)
        qFatal("%s", qPrintable(app.error()));
    app.value()->window()->show();
    QApplication::processEvents();
    return std::move(app).value();
}

void settle()
{
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents();
}

void BM_AddApp(benchmark::State& state)
{
    const auto app = shownApp(int(state.range(0)));
    MainViewModel* model = app->mainView()->viewModel();
    // The first add also builds the detail area and its tabs: timed once, apart.
    QElapsedTimer firstAdd;
    firstAdd.start();
    model->addSearchResult(sampleApp(900000));
    settle();
    state.counters["first_add_ms"] = double(firstAdd.nsecsElapsed()) / 1e6;
    qint64 id = 1000000;
    for (auto _ : state) {
        model->addSearchResult(sampleApp(++id));
        settle();
        state.PauseTiming();
        model->removeProfile(model->selectedKey());
        settle();
        state.ResumeTiming();
    }
    state.counters["saved"] = double(app->savedApps()->savedApps().size());
}

// The reference list: one text a row, the sidebar's size.
void showBareList(QListView* list, QAbstractItemModel* rows)
{
    list->setModel(rows);
    list->setUniformItemSizes(true);
    list->resize(260, 800);
    list->show();
    settle();
}

void BM_BareListAppend(benchmark::State& state)
{
    QStandardItemModel rows;
    for (int row = 0; row < state.range(0); ++row)
        rows.appendRow(new QStandardItem(sampleApp(row).name));
    QListView list;
    showBareList(&list, &rows);
    qint64 id = 1000000;
    for (auto _ : state) {
        rows.appendRow(new QStandardItem(sampleApp(++id).name));
        list.setCurrentIndex(rows.index(rows.rowCount() - 1, 0));
        settle();
        state.PauseTiming();
        rows.removeRow(rows.rowCount() - 1);
        settle();
        state.ResumeTiming();
    }
}

// One frame: the list moves a page down (back to the top at the end) and paints.
void scrollOnePage(QListView* list)
{
    QScrollBar* bar = list->verticalScrollBar();
    bar->setValue(bar->value() >= bar->maximum() ? bar->minimum() : bar->value() + bar->pageStep());
    list->viewport()->repaint();
}

void BM_SidebarScroll(benchmark::State& state)
{
    const auto app = shownApp(int(state.range(0)));
    QListView* list = app->mainView()->sidebar()->list();
    settle();
    if (list->model()->rowCount() != state.range(0))
        state.SkipWithError("the sidebar does not list the workspace");
    for (auto _ : state) {
        scrollOnePage(list);
        settle();
    }
}

void BM_BareListScroll(benchmark::State& state)
{
    QStringList names;
    for (int row = 0; row < state.range(0); ++row)
        names.append(sampleApp(row).name);
    QStringListModel rows(names);
    QListView list;
    showBareList(&list, &rows);
    for (auto _ : state) {
        scrollOnePage(&list);
        settle();
    }
}
} // namespace

BENCHMARK(BM_BareListAppend)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddApp)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareListScroll)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SidebarScroll)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // Nothing measured here should reach the network; if it did, it goes nowhere.
    for (const char* name : {"PLOVERA_CATALOGUE_URL", "PLOVERA_CHARTS_URL", "PLOVERA_LEGACY_CHARTS_URL", "PLOVERA_ESTIMATES_URL"})
        qputenv(name, "http://127.0.0.1:9");
    return runWidgetBenchmarks(argc, argv);
}

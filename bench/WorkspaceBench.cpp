// The main window over a workspace of real-shaped saved apps (names in
// several scripts, 1.5 kB descriptions, screenshot lists), shown offscreen:
// adding an app (saved, listed, selected, repainted) with none and with 1,000
// saved apps, beside a bare QListView that appends and selects one row; the
// first add of a window (its detail area not yet built), timed as the longest
// and the total time the GUI thread is held until the app shows selected; the
// list of 50,000 saved apps arriving after the window shows, and an add made
// while 300,000 open, each timed as the longest turn of the event loop,
// beside a bare QListView given 50,000 names at once; and scrolling the
// sidebar of 10,000 saved apps a page per frame, beside a bare QListView of
// 10,000 names scrolled the same way.
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

#include <QCoroTask>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>
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
    if (saved > 10000)
        RealShapedWorkspace::writeLarge(path, saved);
    else
        RealShapedWorkspace::write(path, saved);
    return made[saved] = path;
}

// The application's window over a workspace, shown; `listed` waits for the
// saved apps to be listed, as create() does, else the window shows first.
std::unique_ptr<PloveraApp> shownApp(int saved, bool listed = true)
{
    AppSettings::shared()->setIsFirstTime(false);
    auto app = PloveraApp::create(PloveraApp::Options{workspaceOf(saved), listed});
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

void showBareList(QListView* list, QAbstractItemModel* rows);

// How long the GUI thread is held until `done`: the longest turn of the event
// loop, and all busy turns together. The loop spins while the store's thread
// works; its idle turns (a few microseconds each) are not counted.
struct Hold {
    double longestMs = 0;
    double totalMs = 0;
};

template <typename Done>
Hold holdUntil(Done done, Hold hold = {})
{
    QElapsedTimer turn;
    for (int idleTurns = 0; idleTurns < 2;) {
        if (done())
            ++idleTurns; // one more turn paints what `done` saw
        turn.start();
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents();
        const double ms = double(turn.nsecsElapsed()) / 1e6;
        hold.longestMs = std::max(hold.longestMs, ms);
        if (ms >= 0.1)
            hold.totalMs += ms;
    }
    return hold;
}

void report(benchmark::State& state, const std::vector<Hold>& holds)
{
    double longest = 0;
    double total = 0;
    for (const Hold& hold : holds) {
        longest = std::max(longest, hold.longestMs);
        total += hold.totalMs;
    }
    state.counters["longest_ms"] = longest;
    state.counters["held_ms"] = total / double(std::max<size_t>(1, holds.size()));
}

// The first add of a new window: the detail area and its first tab are built,
// the app saved, listed, selected and painted.
void BM_FirstAdd(benchmark::State& state)
{
    std::vector<Hold> holds;
    qint64 id = 2000000;
    for (auto _ : state) {
        state.PauseTiming();
        auto app = shownApp(int(state.range(0)));
        settle();
        MainViewModel* model = app->mainView()->viewModel();
        const AppInfo added = sampleApp(++id);
        const QString key = SavedAppProfile::dedupKey(added.id, model->selectedStorefront(), added.platform);
        state.ResumeTiming();
        QElapsedTimer click;
        click.start();
        model->addSearchResult(added);
        Hold hold{double(click.nsecsElapsed()) / 1e6, double(click.nsecsElapsed()) / 1e6};
        hold = holdUntil([&] { return model->selectedKey() == key; }, hold);
        state.SetIterationTime(hold.totalMs / 1e3);
        holds.push_back(hold);
        state.PauseTiming();
        QCoro::waitFor(model->removeProfile(key));
        app.reset();
        state.ResumeTiming();
    }
    report(state, holds);
}

// The window shows at once and the saved apps follow; `addEarly` adds an app
// as soon as the window shows, while the workspace is still opening.
void listArrives(benchmark::State& state, bool addEarly)
{
    std::vector<Hold> holds;
    const int saved = int(state.range(0));
    workspaceOf(saved);
    qint64 id = 3000000;
    for (auto _ : state) {
        state.PauseTiming();
        auto app = shownApp(saved, false);
        MainViewModel* model = app->mainView()->viewModel();
        SavedAppsViewModel* workspace = app->savedApps();
        const AppInfo added = sampleApp(++id);
        const QString key = SavedAppProfile::dedupKey(added.id, model->selectedStorefront(), added.platform);
        state.ResumeTiming();
        if (addEarly)
            model->addSearchResult(added);
        const Hold hold = holdUntil([&] {
            return workspace->isLoaded() && (!addEarly || model->selectedKey() == key);
        });
        state.SetIterationTime(hold.longestMs / 1e3);
        holds.push_back(hold);
        state.PauseTiming();
        if (app->mainView()->sidebar()->list()->model()->rowCount() != saved + (addEarly ? 1 : 0))
            state.SkipWithError("the sidebar does not list the workspace");
        if (addEarly)
            QCoro::waitFor(model->removeProfile(key));
        app.reset();
        state.ResumeTiming();
    }
    report(state, holds);
}

void BM_ListArrives(benchmark::State& state)
{
    listArrives(state, false);
}

void BM_AddWhileOpening(benchmark::State& state)
{
    listArrives(state, true);
}

// The reference: a shown QListView given the names at once.
void BM_BareListArrives(benchmark::State& state)
{
    QStringList names;
    for (int row = 0; row < state.range(0); ++row)
        names.append(sampleApp(row).name);
    std::vector<Hold> holds;
    for (auto _ : state) {
        state.PauseTiming();
        QStringListModel rows;
        QListView list;
        showBareList(&list, &rows);
        state.ResumeTiming();
        QElapsedTimer turn;
        turn.start();
        rows.setStringList(names);
        Hold hold{double(turn.nsecsElapsed()) / 1e6, double(turn.nsecsElapsed()) / 1e6};
        bool painted = false;
        hold = holdUntil([&] { return std::exchange(painted, true); }, hold);
        state.SetIterationTime(hold.longestMs / 1e3);
        holds.push_back(hold);
    }
    report(state, holds);
}

void BM_AddApp(benchmark::State& state)
{
    const auto app = shownApp(int(state.range(0)));
    MainViewModel* model = app->mainView()->viewModel();
    // The first add also builds the detail area and its tabs: timed once, apart.
    QElapsedTimer firstAdd;
    firstAdd.start();
    const AppInfo first = sampleApp(900000);
    model->addSearchResult(first);
    holdUntil([&] { return app->savedApps()->isSaved(first.id, model->selectedStorefront(), first.platform); });
    state.counters["first_add_ms"] = double(firstAdd.nsecsElapsed()) / 1e6;
    qint64 id = 1000000;
    for (auto _ : state) {
        const AppInfo added = sampleApp(++id);
        model->addSearchResult(added);
        holdUntil([&] { return app->savedApps()->isSaved(added.id, model->selectedStorefront(), added.platform); });
        state.PauseTiming();
        QCoro::waitFor(model->removeProfile(model->selectedKey()));
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
BENCHMARK(BM_FirstAdd)->Arg(1000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareListArrives)->Arg(50000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListArrives)->Arg(50000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddWhileOpening)->Arg(300000)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
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

// Scheduling and handing out toasts through a presenter that shows and
// dismisses each one at once: the cost of the queue, the consumer, the phase
// gates and the watch per toast.
#include "toasts/engine/ToastScheduler.h"
#include "support/WidgetBenchMain.h"

#include <QObject>

#include <benchmark/benchmark.h>

namespace {
QCoro::Task<> showAndDismiss(int* handed, ToastPresentation presentation)
{
    ++*handed;
    presentation.onPresent();
    presentation.onDismiss();
    co_return;
}

void BM_ScheduleAndHandOut(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    QObject scene;
    for (auto _ : state) {
        int handed = 0;
        {
            ToastScheduler scheduler(&scene, nullptr,
                [&handed](ToastPresentation presentation) { return showAndDismiss(&handed, std::move(presentation)); });
            std::vector<AnyCancellable> handles;
            handles.reserve(count);
            for (int i = 0; i < count; ++i)
                handles.push_back(scheduler.schedule(ToastPresentation{}));
            while (handed < count)
                QCoreApplication::processEvents();
        }
        // Let the consumer see its scheduler go before the next round.
        while (ToastScheduler::runningConsumerCount() > 0)
            QCoreApplication::processEvents();
        benchmark::DoNotOptimize(handed);
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ScheduleAndHandOut)->Arg(10000)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}

// Raising toasts one after another through a flag-driven toast helper
// (flag on, schedule, show, dismiss, flag back off) against scheduling the
// same toasts straight on the presenter's scheduler: the helper's own cost
// per toast.
#include "toasts/interface/ToastModifier.h"
#include "toasts/presenters/ToastPresenterProxy.h"
#include "toasts/engine/ToastPresenting.h"
#include "toasts/engine/ToastScheduler.h"
#include "support/WidgetBenchMain.h"

#include <QWidget>

#include <benchmark/benchmark.h>

namespace {
QCoro::Task<> showAndDismiss(ToastPresentation presentation)
{
    presentation.onPresent();
    presentation.onDismiss();
    co_return;
}

class ImmediatePresenter : public ToastPresenting {
public:
    ToastScheduler& toastScheduler() override { return m_scheduler; }
    bool presentsInLayout() const override { return false; }
    void prepareForToasts() override {}

private:
    ToastScheduler m_scheduler{this, nullptr, [](ToastPresentation p) { return showAndDismiss(std::move(p)); }};
};

const Toast kToast = Toast::verbatim(QStringLiteral("Saved"), ToastRole::success, ToastDuration(2));

void drain()
{
    while (ToastScheduler::runningConsumerCount() > 0)
        QCoreApplication::processEvents();
}

void BM_FlagDrivenHelper(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        {
            ImmediatePresenter presenter;
            QWidget view;
            toastPresenter(&view, ToastPresenterProxy(&presenter));
            ObservableValue<bool> flag(false);
            toast(&view, flag.binding(), ToastAlignment::top(), {}, [] { return std::optional<Toast>(kToast); });
            view.show();
            for (int i = 0; i < count; ++i) {
                flag.set(true);
                while (flag.value())
                    QCoreApplication::processEvents();
            }
        }
        drain();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_FlagDrivenHelper)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_SchedulerDirectly(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        {
            ImmediatePresenter presenter;
            for (int i = 0; i < count; ++i) {
                bool dismissed = false;
                ToastPresentation presentation{kToast, ToastAlignment::top(), {}, {}, {}, [&dismissed] { dismissed = true; }};
                AnyCancellable handle = presenter.toastScheduler().schedule(std::move(presentation));
                while (!dismissed)
                    QCoreApplication::processEvents();
            }
        }
        drain();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SchedulerDirectly)->Arg(1000)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}

// A running insertion transition: one frame of the animated surface drawing a
// 380x72 toast with opacity and a projective transform into a 1280x860
// window, against painting the same pixmap with the same transform straight
// with QPainter. And a thousand toasts scheduled, shown and dismissed over a
// window with the manual clock, to see the memory come back.
#include "toasts/animation/AnimationLayer.h"
#include "toasts/styles/AnyToastStyle.h"
#include "toasts/presenters/NSToastHostingController.h"
#include "toasts/values/Toast.h"
#include "toasts/engine/ToastScheduler.h"
#include "toasts/engine/ToastsConfiguration.h"
#include "toasts/presenters/WindowToastPresenter.h"

#include "platform/AccessibilitySettings.h"
#include "platform/AnimatedSurface.h"
#include "platform/AnimationClock.h"
#include "support/WidgetBenchMain.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QVariantAnimation>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

namespace {
constexpr QSize windowSize(1280, 860);
constexpr QRect toastFrame(880, 20, 380, 72);

// The frame of an insertion at `progress`: fading in while it turns in from
// a slight tilt, with a perspective term, so the transform is projective.
Transform3D frameTransform(double progress)
{
    Transform3D t = Transform3D::makeRotation((1 - progress) * 0.6, 1, 0, 0);
    t.m14 = (1 - progress) * 0.0008;
    t.m41 = (1 - progress) * 120;
    return t;
}

AnimatedSurface::Matrix matrixOf(const Transform3D& t)
{
    return {t.m11, t.m12, t.m13, t.m14, t.m21, t.m22, t.m23, t.m24, t.m31, t.m32, t.m33, t.m34, t.m41, t.m42, t.m43,
        t.m44};
}

QWidget* makeCard(QWidget* parent)
{
    const Toast toast = Toast::verbatim(QStringLiteral("Feedback sent. Thank you!"), ToastRole::success, ToastDuration(2));
    QWidget* card = makeToastWidget(toast, parent);
    card->setGeometry(toastFrame);
    return card;
}

void BM_SurfaceFrame(benchmark::State& state)
{
    QWidget window;
    window.resize(windowSize);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    QWidget* card = makeCard(&window);
    window.show();
    AnimationLayer* layer = AnimationLayer::ensure(card);
    // A transition runs on the layer, as during an insertion: the surface
    // paints its snapshot rather than the live content.
    auto* running = new QVariantAnimation;
    running->setDuration(1000000);
    layer->addAnimation(running, QStringLiteral("running"));
    running->start();
    QImage frame(windowSize, QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        const double progress = (step++ % 60) / 60.0;
        layer->setPresentationOpacity(progress);
        layer->setPresentationTransform(frameTransform(progress));
        window.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SurfaceFrame)->Unit(benchmark::kMicrosecond);

void BM_DirectPainterFrame(benchmark::State& state)
{
    QWidget window;
    window.resize(windowSize);
    QWidget* card = makeCard(&window);
    const QPixmap pixmap = card->grab();
    const QColor background = window.palette().color(QPalette::Window);
    QImage frame(windowSize, QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        const double progress = (step++ % 60) / 60.0;
        const QTransform transform = AnimatedSurface::projectiveTransform(matrixOf(frameTransform(progress)), QSizeF(toastFrame.size()));
        frame.fill(background);
        QPainter painter(&frame);
        painter.translate(toastFrame.topLeft());
        painter.setOpacity(progress);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setTransform(transform, true);
        painter.drawPixmap(QPointF(0, 0), pixmap);
        painter.end();
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DirectPainterFrame)->Unit(benchmark::kMicrosecond);

// The heap in use, which a leak makes grow; resident memory also keeps what
// the allocator holds on to after it is freed.
double heapKilobytes()
{
    return double(mallinfo2().uordblks) / 1024.0;
}

double residentKilobytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / 1024.0 : 0;
}

// Shows `count` toasts over the window, one after another, to their end.
void showToasts(QWidget* window, ManualAnimationClock& clock, int count)
{
    int dismissed = 0;
    for (int i = 0; i < count; ++i) {
        ToastPresentation presentation;
        presentation.toast.configuration.duration = ToastDuration(0.1);
        presentation.toast.configuration.content = ToastContent::title(QStringLiteral("Saved"));
        presentation.onDismiss = [&dismissed] { ++dismissed; };
        toastScheduler(window).enqueue(std::move(presentation));
    }
    while (dismissed < count) {
        clock.advanceBy(200);
        QCoreApplication::processEvents();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_ThousandToastsOverAWindow(benchmark::State& state)
{
    ManualAnimationClock clock;
    ToastsConfiguration::shared().setTimeScaleForTesting(0.0);
    AccessibilitySettings::instance()->setReduceMotionOverride(false);
    QWidget window;
    window.resize(windowSize);
    window.show();
    QApplication::setActiveWindow(&window);
    showToasts(&window, clock, 20); // caches, fonts and the controller made once
    const double heapBefore = heapKilobytes();
    const double residentBefore = residentKilobytes();
    for (auto _ : state)
        showToasts(&window, clock, 1000);
    state.counters["heap_growth_kb"] = heapKilobytes() - heapBefore;
    state.counters["rss_growth_kb"] = residentKilobytes() - residentBefore;
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ThousandToastsOverAWindow)->Iterations(3)->Unit(benchmark::kMillisecond);

// The reference: the same number of toasts through a scheduler whose
// presenter shows nothing, for the memory the queue alone keeps.
QCoro::Task<> showNothing(ToastPresentation presentation)
{
    presentation.onPresent();
    presentation.onDismiss();
    co_return;
}

void BM_ThousandToastsWithoutDrawing(benchmark::State& state)
{
    QObject scene;
    const double heapBefore = heapKilobytes();
    for (auto _ : state) {
        ToastScheduler scheduler(&scene, nullptr, [](ToastPresentation p) { return showNothing(std::move(p)); });
        int dismissed = 0;
        for (int i = 0; i < 1000; ++i) {
            ToastPresentation presentation;
            presentation.onDismiss = [&dismissed] { ++dismissed; };
            scheduler.enqueue(std::move(presentation));
        }
        while (dismissed < 1000)
            QCoreApplication::processEvents();
    }
    state.counters["heap_growth_kb"] = heapKilobytes() - heapBefore;
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ThousandToastsWithoutDrawing)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}

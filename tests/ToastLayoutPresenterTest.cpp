#include "ToastTestPresenter.h"

#include "toasts/animation/AnimationLayer.h"
#include "toasts/presenters/BridgedToastTransitionModifier.h"
#include "toasts/presenters/NSToastHostingController.h"
#include "toasts/interface/ToastModifier.h"
#include "toasts/presenters/ToastPresenterProxy.h"
#include "toasts/presenters/ToastPresenterReader.h"
#include "toasts/presenters/ToastPresentingLayoutGeometry.h"
#include "toasts/presenters/ToastPresentingLayoutModifier.h"
#include "toasts/engine/ToastScheduler.h"
#include "toasts/engine/ToastsConfiguration.h"
#include "toasts/presenters/WindowToastPresenter.h"

#include "platform/AnimationClock.h"

#include <QLabel>
#include <QTest>

#include <memory>

using Phase = BridgedToastTransitionPhase;
using Values = BridgedToastTransitionModifier::AnimationValues;
using Op = TransformOperation;

Q_DECLARE_METATYPE(Phase)
Q_DECLARE_METATYPE(AnimationProperties)
Q_DECLARE_METATYPE(ToastAlignment)

namespace {
ToastPresentation presentationWith(ToastTransition transition, const QString& title = QStringLiteral("Saved"),
    double seconds = 20)
{
    ToastPresentation presentation;
    presentation.toast = Toast::verbatim(title, ToastRole::success, ToastDuration(seconds));
    presentation.toastEnvironmentValues.toastTransition = std::move(transition);
    return presentation;
}

ToastTransition propertiesTransition(AnimationProperties properties, ToastTransition::AnimationCurve curve
    = ToastTransition::AnimationCurve::defaultCurve(), double delay = 0, double duration = 0.3)
{
    return ToastTransition(
        4242, curve, delay, duration, [properties](const ToastTransition::Context&) { return properties; });
}

Values valuesOf(Phase phase, const ToastPresentation& presentation)
{
    return Values(phase, presentation,
        BridgedToastTransitionModifier::makeContext(phase, presentation, std::nullopt, false, false));
}

QLabel* labelIn(QWidget* root, const QString& text)
{
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (label->text() == text)
            return label;
    }
    return nullptr;
}
} // namespace

class ToastLayoutPresenterTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ManualAnimationClock> m_clock;

private slots:
    void initTestCase() { m_clock = std::make_unique<ManualAnimationClock>(); }
    void cleanupTestCase() { m_clock.reset(); }
    void init() { ToastsConfiguration::shared().setTimeScaleForTesting(0.05); }
    void cleanup()
    {
        ToastsConfiguration::shared().setTimeScaleForTesting(1.0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Presenters that went end their schedulers' consumers on a later turn.
        QTRY_COMPARE(ToastScheduler::runningConsumerCount(), 0);
    }

    void bridgeValuesOfEachState_data()
    {
        QTest::addColumn<AnimationProperties>("properties");
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<double>("opacity");
        QTest::addColumn<QSizeF>("offset");
        QTest::addColumn<QSizeF>("scale");
        QTest::addColumn<double>("degrees");
        QTest::addColumn<QList<double>>("axes");
        const AnimationProperties fade{OpacityProperty(0, 1)};
        const AnimationProperties slide{TransformProperty({Op::translate(0, 40, 7), Op::scale(0.9, 0.9, 1)}, {})};
        const AnimationProperties turns{TransformProperty(
            {}, {Op::rotate(Angle::fromDegrees(10), RotationAxisFlag::x), Op::translate(5, 6, 0),
                    Op::rotate(Angle::fromDegrees(30), RotationAxisFlag::z), Op::translate(1, 2, 3)})};
        const AnimationProperties unusable{AnyAnimationProperty(AnimatablePropertyName::opacity, QString("x"), 1.0)};
        const QList<double> none{0, 0, 0};
        QTest::newRow("fade in: inserting") << fade << Phase::inserting << 0.0 << QSizeF(0, 0) << QSizeF(1, 1) << 0.0 << none;
        QTest::newRow("fade in: removing") << fade << Phase::removing << 1.0 << QSizeF(0, 0) << QSizeF(1, 1) << 0.0 << none;
        QTest::newRow("identity ignores all") << slide << Phase::identity << 1.0 << QSizeF(0, 0) << QSizeF(1, 1) << 0.0 << none;
        QTest::newRow("translate then scale, z ignored")
            << slide << Phase::inserting << 1.0 << QSizeF(0, 40) << QSizeF(0.9, 0.9) << 0.0 << none;
        QTest::newRow("last of each kind, axes add up")
            << turns << Phase::removing << 1.0 << QSizeF(1, 2) << QSizeF(1, 1) << 30.0 << QList<double>{1, 0, 1};
        QTest::newRow("unusable values draw plainly")
            << unusable << Phase::inserting << 1.0 << QSizeF(0, 0) << QSizeF(1, 1) << 0.0 << none;
    }

    void bridgeValuesOfEachState()
    {
        QFETCH(AnimationProperties, properties);
        QFETCH(Phase, phase);
        const Values values = valuesOf(phase, presentationWith(propertiesTransition(properties)));
        QFETCH(double, opacity);
        QFETCH(QSizeF, offset);
        QFETCH(QSizeF, scale);
        QFETCH(double, degrees);
        QFETCH(QList<double>, axes);
        QCOMPARE(values.opacity, opacity);
        QCOMPARE(values.offset, offset);
        QCOMPARE(values.scale, scale);
        QVERIFY(qFuzzyCompare(1 + values.rotationAngle.degrees(), 1 + degrees));
        QCOMPARE((QList<double>{values.rotationAxes.x, values.rotationAxes.y, values.rotationAxes.z}), axes);
    }

    void bridgeLayerMovesTheToastInsideItsTurnAndScale()
    {
        const auto near = [](const std::array<double, 3>& point, double x, double y) {
            return std::abs(point[0] - x) < 1e-9 && std::abs(point[1] - y) < 1e-9;
        };
        // Slid 40 and scaled to 0.9 about the centre: the centre moves 36,
        // a point 100 to its side lands at 90.
        const Values slide = valuesOf(Phase::inserting,
            presentationWith(propertiesTransition({TransformProperty({Op::translate(0, 40, 0), Op::scale(0.9, 0.9, 1)}, {})})));
        QVERIFY(near(slide.layerTransform().map(0, 0, 0), 0, 36));
        QVERIFY(near(slide.layerTransform().map(100, 0, 0), 90, 36));
        // The offset turns with the rotation: 10 along x, a quarter turn about
        // z and half the size leave the centre 5 along y.
        Values turned;
        turned.offset = QSizeF(10, 0);
        turned.rotationAngle = Angle::fromDegrees(90);
        turned.rotationAxes = {0, 0, 1};
        turned.scale = QSizeF(0.5, 0.5);
        QVERIFY(near(turned.layerTransform().map(0, 0, 0), 0, 5));
        // The default transition, which scales nothing, slides the whole way.
        ToastPresentation atTop = presentationWith(ToastTransition::defaultTransition());
        atTop.toastAlignment = ToastAlignment::top();
        const ToastPresentingLayoutGeometry geometry{QRectF(0, 0, 300, 60), QRectF(0, 0, 800, 600)};
        const Values byDefault(Phase::inserting, atTop,
            BridgedToastTransitionModifier::makeContext(Phase::inserting, atTop, geometry, false, false));
        QVERIFY(byDefault.offset != QSizeF(0, 0));
        QVERIFY(near(byDefault.layerTransform().map(0, 0, 0), byDefault.offset.width(), byDefault.offset.height()));
    }

    void bridgeTimingFollowsTheCurveAndIncludesTheDelay()
    {
        using Curve = ToastTransition::AnimationCurve;
        const AnimationProperties fade{OpacityProperty(0, 1)};
        const Values byDefault = valuesOf(Phase::inserting, presentationWith(propertiesTransition(fade, Curve::defaultCurve(), 0.2, 0.3)));
        QVERIFY(std::holds_alternative<TimingFunction>(byDefault.timing()));
        QCOMPARE(byDefault.totalSeconds(), 0.5);

        const Curve springCurve = Curve::spring(1, 100, 10, 0, false);
        const Values spring = valuesOf(Phase::removing, presentationWith(propertiesTransition(fade, springCurve, 0.1, 0.3)));
        const double settling = SpringSolver(1, 100, 10, 0).settlingDuration();
        QCOMPARE(spring.animationLength(), settling); // its duration is not used
        QCOMPARE(spring.totalSeconds(), 0.1 + settling);

        // An asymmetric transition enters with its insertion's timing, not its removal's.
        const ToastTransition slowOut = propertiesTransition(fade, Curve::linear(), 0.4, 1.0);
        const ToastTransition fastIn = propertiesTransition(fade, Curve::easeIn(), 0, 0.1);
        const ToastPresentation both = presentationWith(ToastTransition::asymmetric(fastIn, slowOut));
        ToastLayoutPresenter presenter;
        QCOMPARE(presenter.transitionSeconds(true, both), 0.1);
        QCOMPARE(presenter.transitionSeconds(false, both), 1.4);
    }

    void overlayAlignment_data()
    {
        QTest::addColumn<ToastAlignment>("alignment");
        QTest::addColumn<int>("expected");
        QTest::newRow("top") << ToastAlignment::top() << int(Qt::AlignTop | Qt::AlignHCenter);
        QTest::newRow("bottomTrailing") << ToastAlignment::bottomTrailing() << int(Qt::AlignBottom | Qt::AlignTrailing);
        QTest::newRow("top, bottom, trailing")
            << ToastAlignment(Edge::top | Edge::bottom | Edge::trailing) << int(Qt::AlignVCenter | Qt::AlignTrailing);
        QTest::newRow("all four") << ToastAlignment(Edge::top | Edge::bottom | Edge::leading | Edge::trailing)
                                  << int(Qt::AlignCenter);
    }

    void overlayAlignment()
    {
        QFETCH(ToastAlignment, alignment);
        QFETCH(int, expected);
        QCOMPARE(int(ToastPresentingLayoutModifier::overlayAlignment(alignment)), expected);
    }

    void nestedPresentersDeferToTheOutermostAndDisabledOnesToTheirSurroundings()
    {
        QWidget window;
        auto* outer = new QWidget(&window);
        auto* middle = new QWidget(outer);
        auto* inner = new QWidget(middle);
        auto* leaf = new QWidget(inner);
        // Made inside out: the inner one learns of the outer one when it comes.
        auto* innerModifier = toastPresentingLayout(inner);
        auto* disabled = toastPresentingLayout(middle, false);
        auto* outerModifier = toastPresentingLayout(outer);
        const auto presenterAt = [](QWidget* w) {
            return Environment::get(w, ToastPresenterEnvironmentKey::key()).toastPresenter();
        };
        QCOMPARE(presenterAt(leaf), static_cast<ToastPresenting*>(outerModifier->toastPresenter()));
        QCOMPARE(presenterAt(middle), presenterAt(leaf));
        QVERIFY(presenterAt(leaf)->presentsInLayout());

        delete outerModifier; // the inner one takes over its own subtree
        QCOMPARE(presenterAt(leaf), static_cast<ToastPresenting*>(innerModifier->toastPresenter()));
        QVERIFY(!presenterAt(middle) || !presenterAt(middle)->presentsInLayout());
        Q_UNUSED(disabled);
    }

    void siblingPresentersReportTheirGeometryAndTheFirstWins()
    {
        QWidget window;
        window.resize(500, 400);
        auto* box = new QWidget(&window);
        box->setGeometry(5, 5, 490, 390);
        auto* first = new QWidget(box);
        first->setGeometry(10, 20, 200, 100);
        auto* second = new QWidget(box);
        second->setGeometry(250, 20, 200, 150);
        toastPresentingLayout(first);
        toastPresentingLayout(second, false); // reports all the same
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto reported = [&window] {
            return Preferences::value(&window, ToastPresentingLayoutGeometryPreferenceKey::key());
        };
        // In the window's coordinates.
        QVERIFY(reported());
        QCOMPARE(reported()->frame, QRectF(15, 25, 200, 100));
        QCOMPARE(reported()->windowFrame, QRectF(0, 0, 200, 100));
        first->resize(220, 120);
        QCOMPARE(reported()->frame, QRectF(15, 25, 220, 120));
        box->move(30, 40); // an ancestor moves it within the window
        QCOMPARE(reported()->frame.topLeft(), QPointF(40, 60));
        delete first;
        QCOMPARE(reported()->frame, QRectF(280, 60, 200, 150));
    }

    void aToastRunsItsCourseInTheLayer()
    {
        QWidget window;
        window.resize(500, 400);
        auto* content = new QWidget(&window);
        content->setGeometry(50, 40, 400, 300);
        auto* modifier = toastPresentingLayout(content);
        auto* view = new QWidget(content);
        ObservableValue<bool> flag(false);
        int dismissed = 0;
        toast(view, flag.binding(), ToastAlignment::bottomTrailing(), [&dismissed] { ++dismissed; },
            [] { return std::optional<Toast>(Toast::verbatim("In the layout", ToastRole::plain, ToastDuration(4))); });

        flag.set(true); // queued until the layout is on screen
        QCoreApplication::processEvents();
        QVERIFY(!modifier->hostedToast());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(modifier->hostedToast());
        QVERIFY(!window.findChild<NSPassthroughBackdropView*>(QStringLiteral("NSPassthroughBackdropView")));
        QWidget* hosted = modifier->hostedToast();
        QVERIFY(labelIn(hosted, "In the layout"));
        QCOMPARE(modifier->overlay()->geometry(), content->rect());
        m_clock->advanceInFrames(400);
        QTRY_VERIFY(!AnimationLayer::of(hosted)->hasRunningAnimations());
        QCOMPARE(hosted->geometry().bottomRight(), content->rect().bottomRight());
        QVERIFY(AnimationLayer::of(hosted)->surface()->isShowingLive());

        QTRY_COMPARE(dismissed, 1);
        QCOMPARE(flag.value(), false);
    }

    void everyDismissalAskedDuringTheInsertionIsHonoured_data() { IndefiniteItemToasts::addPathRows(); }

    void everyDismissalAskedDuringTheInsertionIsHonoured()
    {
        QFETCH(QString, path);
        ToastsConfiguration::shared().setTimeScaleForTesting(1.0); // an insertion of 0.35 s
        QWidget content;
        ToastLayoutPresenter* presenter = toastPresentingLayout(&content)->toastPresenter();
        IndefiniteItemToasts toasts(new QWidget(&content));
        content.show();
        toasts.item.set(1);
        QTRY_VERIFY(presenter->toastPresentation());
        if (path == "click")
            presenter->requestDismiss(presenter->generation());
        else
            toasts.askDismissal(path);
        QTRY_COMPARE(toasts.dismissed, 1);
        if (path == "new item")
            QTRY_COMPARE(presenter->toastPresentation()->toast.configuration.content.titleText(), QStringLiteral("2"));
    }

    void theReaderFindsTheWindowOrAnEnclosingLayoutPresenter()
    {
        // What the readers hand on outlives the windows, which call them as they go.
        QList<ToastPresenting*> handed;
        QList<ToastPresenting*> insideHanded;
        QList<bool> lonelyHanded;
        QWidget a;
        QWidget b;
        a.show();
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        auto* view = new QWidget(&a);
        toastPresenter(&a, ToastPresenterProxy(WindowToastPresenter::of(&b))); // the default points elsewhere
        auto* reader = new ToastPresenterReader(view, [&handed](const ToastPresenterProxy& p) { handed.append(p.toastPresenter()); });
        view->show();
        QTRY_VERIFY(reader->assignedPresenter());
        QCOMPARE(handed, QList<ToastPresenting*>{WindowToastPresenter::of(&a)});

        view->setParent(&b); // moved to another window
        view->show();
        QTRY_COMPARE(handed.size(), 2);
        QCOMPARE(handed.last(), static_cast<ToastPresenting*>(WindowToastPresenter::of(&b)));

        // Inside an in-layout presenter, that presenter at once.
        auto* layout = new QWidget(&b);
        auto* modifier = toastPresentingLayout(layout);
        auto* inside = new QWidget(layout);
        toastTargetScene(inside);
        new ToastPresenterReader(inside, [&insideHanded](const ToastPresenterProxy& p) { insideHanded.append(p.toastPresenter()); });
        QCOMPARE(insideHanded, QList<ToastPresenting*>{modifier->toastPresenter()});
        QCOMPARE(Environment::get(inside, ToastPresenterEnvironmentKey::key()).toastPresenter(),
            static_cast<ToastPresenting*>(modifier->toastPresenter()));

        // A reader with no window still shows its content after one turn, with no presenter.
        QWidget lonely;
        new ToastPresenterReader(&lonely, [&lonelyHanded](const ToastPresenterProxy& p) { lonelyHanded.append(p.hasPresenter()); });
        lonely.setAttribute(Qt::WA_DontShowOnScreen);
        lonely.show();
        lonely.hide();
        QTRY_COMPARE(lonelyHanded.size(), 1);
    }
};

QTEST_MAIN(ToastLayoutPresenterTest)
#include "ToastLayoutPresenterTest.moc"

#include "toasts/animation/AnimationLayer.h"
#include "toasts/animation/CAAnimatable.h"
#include "toasts/animation/TransformInterpolation.h"
#include "toasts/animation/TransitionDriver.h"

#include "platform/AnimatedSurface.h"
#include "platform/AnimationClock.h"
#include "platform/AnimationGroup.h"
#include "platform/TimingFunction.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <cmath>
#include <memory>

namespace {
// The spring's differential equation m x'' + c x' + k x = 0, integrated with
// small Runge-Kutta steps, as the reference for the closed form.
double integrateSpring(double m, double k, double c, double v0, double seconds)
{
    double x = -1;
    double v = v0;
    const double h = 1e-4;
    const auto acceleration = [=](double position, double velocity) { return (-k * position - c * velocity) / m; };
    for (double t = 0; t < seconds - h / 2; t += h) {
        const double k1x = v, k1v = acceleration(x, v);
        const double k2x = v + h / 2 * k1v, k2v = acceleration(x + h / 2 * k1x, v + h / 2 * k1v);
        const double k3x = v + h / 2 * k2v, k3v = acceleration(x + h / 2 * k2x, v + h / 2 * k2v);
        const double k4x = v + h * k3v, k4v = acceleration(x + h * k3x, v + h * k3v);
        x += h / 6 * (k1x + 2 * k2x + 2 * k3x + k4x);
        v += h / 6 * (k1v + 2 * k2v + 2 * k3v + k4v);
    }
    return 1 + x;
}

ToastTransition opacityTransition(double delay = 0, double duration = 0.4)
{
    return ToastTransition(ToastTransition::idFor(u"test.opacity"), ToastTransition::AnimationCurve::linear(), delay,
        duration, [](const ToastTransition::Context&) { return AnimationProperties{OpacityProperty(0, 1)}; });
}
} // namespace

class ToastAnimationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ManualAnimationClock> m_clock;

private slots:
    void initTestCase() { m_clock = std::make_unique<ManualAnimationClock>(); }
    void cleanupTestCase() { m_clock.reset(); }
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void timingCurves_data()
    {
        QTest::addColumn<double>("x1");
        QTest::addColumn<double>("y1");
        QTest::addColumn<double>("x2");
        QTest::addColumn<double>("y2");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<double>("expected");
        // Expected values from the curves' parametric form, solved for x.
        QTest::newRow("linear") << 0.0 << 0.0 << 1.0 << 1.0 << 0.3 << 0.3;
        QTest::newRow("ease in-out, middle") << 0.42 << 0.0 << 0.58 << 1.0 << 0.5 << 0.5;
        QTest::newRow("ease in, early") << 0.42 << 0.0 << 1.0 << 1.0 << 0.25 << 0.0935;
        QTest::newRow("ease out, early") << 0.0 << 0.0 << 0.58 << 1.0 << 0.25 << 0.3781;
        QTest::newRow("default, middle") << 0.25 << 0.1 << 0.25 << 1.0 << 0.5 << 0.8024;
        QTest::newRow("before the start") << 0.42 << 0.0 << 0.58 << 1.0 << -1.0 << 0.0;
        QTest::newRow("past the end") << 0.42 << 0.0 << 0.58 << 1.0 << 2.0 << 1.0;
    }

    void timingCurves()
    {
        QFETCH(double, x1);
        QFETCH(double, y1);
        QFETCH(double, x2);
        QFETCH(double, y2);
        QFETCH(double, fraction);
        QFETCH(double, expected);
        QVERIFY(std::abs(TimingFunction(x1, y1, x2, y2).valueAt(fraction) - expected) < 5e-4);
    }

    void springsFollowTheirEquation_data()
    {
        QTest::addColumn<double>("mass");
        QTest::addColumn<double>("stiffness");
        QTest::addColumn<double>("damping");
        QTest::addColumn<double>("velocity");
        QTest::addColumn<int>("kind");
        QTest::newRow("under-damped") << 1.0 << 100.0 << 10.0 << 0.0 << int(SpringSolver::Damping::under);
        QTest::newRow("critically damped") << 1.0 << 100.0 << 20.0 << 0.0 << int(SpringSolver::Damping::critical);
        QTest::newRow("over-damped, pushed") << 2.0 << 50.0 << 40.0 << 3.0 << int(SpringSolver::Damping::over);
    }

    void springsFollowTheirEquation()
    {
        QFETCH(double, mass);
        QFETCH(double, stiffness);
        QFETCH(double, damping);
        QFETCH(double, velocity);
        QFETCH(int, kind);
        const SpringSolver spring(mass, stiffness, damping, velocity);
        QCOMPARE(int(spring.damping()), kind);
        QCOMPARE(spring.position(0), 0.0);
        for (double t : {0.05, 0.2, 0.5, 1.0}) {
            const double expected = integrateSpring(mass, stiffness, damping, velocity, t);
            QVERIFY2(std::abs(spring.position(t) - expected) < 1e-6, qPrintable(QString::number(t)));
        }
        const double settle = spring.settlingDuration();
        QVERIFY(settle > 0 && settle < 10);
        QVERIFY(std::abs(spring.position(settle + 0.1) - 1) < 2e-3);
    }

    void aGroupHoldsItsStartDuringTheDelayAndLastsDelayPlusLongest()
    {
        QList<double> opacity;
        QList<double> other;
        auto* group = new AnimationGroup(this);
        group->setBeginDelay(0.5);
        group->addAnimation({"opacity", 0.2, TimingFunction::linear(), [&opacity](double p) { opacity.append(p); }});
        group->addAnimation({"transform", 0.4, TimingFunction::linear(), [&other](double p) { other.append(p); }});
        QCOMPARE(group->duration(), 900);
        int stops = 0;
        bool finished = false;
        group->setOnStopped([&](bool f) {
            ++stops;
            finished = f;
        });
        group->start();
        QCOMPARE(opacity.last(), 0.0); // the start shows at once
        m_clock->advanceBy(400);
        QCOMPARE(opacity.last(), 0.0);
        m_clock->advanceBy(200); // 0.1 s into the children
        QVERIFY(std::abs(opacity.last() - 0.5) < 1e-9);
        QVERIFY(std::abs(other.last() - 0.25) < 1e-9);
        m_clock->advanceBy(200); // the short child holds its end
        QCOMPARE(opacity.last(), 1.0);
        QVERIFY(other.last() < 1.0);
        QCOMPARE(stops, 0);
        m_clock->advanceBy(200);
        QTRY_COMPARE(stops, 1);
        QVERIFY(finished);
        delete group;
        QCoreApplication::processEvents();
        QCOMPARE(stops, 1);
    }

    void aRemovedGroupReportsNotFinishedOnce()
    {
        int stops = 0;
        bool finished = true;
        const auto startGroup = [&] {
            auto* group = new AnimationGroup;
            group->addAnimation({"opacity", 1.0, TimingFunction::linear(), [](double) {}});
            group->setOnStopped([&](bool f) {
                ++stops;
                finished = f;
            });
            group->start();
            return group;
        };
        AnimationGroup* group = startGroup();
        m_clock->advanceBy(100);
        group->stop();
        QCOMPARE(stops, 0); // never from inside stop()
        delete group;
        QTRY_COMPARE(stops, 1);
        QVERIFY(!finished);

        // Deleted while running, without a stop first.
        delete startGroup();
        QTRY_COMPARE(stops, 2);
        QVERIFY(!finished);
    }

    void theNextAnimationMayStartFromThePreviousOnesFinish()
    {
        QWidget view;
        AnimationLayer* layer = AnimationLayer::ensure(&view);
        auto* first = new AnimationGroup;
        first->addAnimation({"opacity", 0.1, TimingFunction::linear(), [](double) {}});
        QPointer<AnimationGroup> second;
        connect(first, &QAbstractAnimation::finished, layer, [&] {
            second = new AnimationGroup;
            second->addAnimation({"opacity", 0.1, TimingFunction::linear(), [](double) {}});
            layer->addAnimation(second, TransitionDriver::animationKey);
            second->start();
        });
        QPointer<AnimationGroup> firstGuard(first);
        layer->addAnimation(first, TransitionDriver::animationKey);
        first->start();
        m_clock->advanceInFrames(200);
        QVERIFY(second);
        QCOMPARE(layer->animation(TransitionDriver::animationKey), second.data());
        QTRY_VERIFY(!firstGuard);

        // Replacing a running animation from its own signal is safe as well.
        connect(second, &QAbstractAnimation::currentLoopChanged, layer, [] {});
        layer->removeAllAnimations();
        QCOMPARE(second->state(), QAbstractAnimation::Stopped);
        QTRY_VERIFY(!second);
    }

    void transformListsInterpolateOperationByOperation()
    {
        using Op = TransformOperation;
        const auto half = interpolateTransform({Op::rotate(Angle::fromDegrees(0), RotationAxisFlag::z)},
            {Op::rotate(Angle::fromDegrees(180), RotationAxisFlag::z)}, 0.5);
        QCOMPARE(half.size(), size_t(1));
        QVERIFY(std::abs(half[0].angle.degrees() - 90) < 1e-9);
        // A half-turn's matrix midpoint would be the zero matrix; a quarter
        // turn keeps the scale.
        const Transform3D folded = transform3D(half);
        QVERIFY(std::abs(std::hypot(folded.m11, folded.m12) - 1) < 1e-9);

        // The shorter list is padded with identities of the same kind.
        const auto padded = interpolateTransform(
            {Op::translate(0, 40, 0)}, {Op::translate(0, 0, 0), Op::scale(0.5, 0.5, 1)}, 0.5);
        QCOMPARE(padded.size(), size_t(2));
        QCOMPARE(padded[0], Op::translate(0, 20, 0));
        QCOMPARE(padded[1], Op::scale(0.75, 0.75, 1));

        // Different kinds chain the lists and still meet both ends.
        const TransformOperations from{Op::scale(2, 2, 1)};
        const TransformOperations to{Op::translate(10, 0, 0)};
        QCOMPARE(transform3D(interpolateTransform(from, to, 0)), transform3D(from));
        QCOMPARE(transform3D(interpolateTransform(from, to, 1)), transform3D(to));
    }

    void theSurfaceDrawsTheLayerWithItsYUpNumbers()
    {
        AnimatedSurface::Matrix up = AnimatedSurface::identityMatrix();
        up[13] = 10; // ty = +10: up in the layer's space
        const QTransform moved = AnimatedSurface::projectiveTransform(up, QSizeF(100, 50));
        QCOMPARE(moved.map(QPointF(0, 0)), QPointF(0, -10));

        // Scaling happens about the content's centre.
        AnimatedSurface::Matrix half = AnimatedSurface::identityMatrix();
        half[0] = half[5] = 0.5;
        const QTransform scaled = AnimatedSurface::projectiveTransform(half, QSizeF(100, 50));
        QCOMPARE(scaled.map(QPointF(50, 25)), QPointF(50, 25));
        QCOMPARE(scaled.map(QPointF(0, 0)), QPointF(25, 12.5));

        // A perspective term makes the transform projective.
        AnimatedSurface::Matrix perspective = AnimatedSurface::identityMatrix();
        perspective[3] = 0.001;
        QVERIFY(AnimatedSurface::projectiveTransform(perspective, QSizeF(100, 50)).type() == QTransform::TxProject);
    }

    void theDriverPlaysATransitionAndFinishesOnce_data()
    {
        QTest::addColumn<double>("delay");
        QTest::newRow("at once") << 0.0;
        QTest::newRow("after half a second") << 0.5;
    }

    void theDriverPlaysATransitionAndFinishesOnce()
    {
        QFETCH(double, delay);
        QWidget view;
        view.resize(100, 40);
        int finishes = 0;
        QVERIFY(TransitionDriver::play(opacityTransition(delay), {}, &view, [&finishes] { ++finishes; }));
        AnimationLayer* layer = AnimationLayer::of(&view);
        QCOMPARE(layer->opacity(), 1.0); // the model holds the end value
        QCOMPARE(layer->presentationOpacity(), 0.0);
        QVERIFY(CAAnimatable::isAnimationLocked(layer));
        QVERIFY(CAAnimatable::animationDelegate(&view));
        m_clock->advanceBy(int(delay * 1000) + 200);
        QVERIFY(std::abs(layer->presentationOpacity() - 0.5) < 1e-9);
        m_clock->advanceBy(300);
        QTRY_COMPARE(finishes, 1);
        QVERIFY(!CAAnimatable::isAnimationLocked(layer));
        QVERIFY(!CAAnimatable::animationDelegate(&view));
        QCOMPARE(layer->presentationOpacity(), 1.0);
        // Finished animations leave the layer and are deleted, not kept.
        QTRY_VERIFY(layer->findChildren<QAbstractAnimation*>().isEmpty());
    }

    void aNewRunEndsTheOldOneWithoutUnlockingItself()
    {
        QWidget view;
        QStringList finished;
        TransitionDriver::play(opacityTransition(), {}, &view, [&finished] { finished.append("first"); });
        m_clock->advanceBy(100);
        TransitionDriver::play(opacityTransition(), {}, &view, [&finished] { finished.append("second"); });
        QTRY_COMPARE(finished, QStringList{"first"});
        // The stale completion left the newer run's lock and delegate alone.
        QVERIFY(CAAnimatable::isAnimationLocked(AnimationLayer::of(&view)));
        QVERIFY(CAAnimatable::animationDelegate(&view));
        m_clock->advanceInFrames(500);
        QTRY_COMPARE(finished, (QStringList{"first", "second"}));
    }

    void nothingToAnimateFinishesAtOnce()
    {
        QWidget view;
        int finishes = 0;
        QVERIFY(!TransitionDriver::play(ToastTransition::identity(), {}, &view, [&finishes] { ++finishes; }));
        QCOMPARE(finishes, 1);
        QVERIFY(!TransitionDriver::play(opacityTransition(), {}, nullptr, [&finishes] { ++finishes; }));
        QCOMPARE(finishes, 2);
        // A property of the wrong type animates nothing.
        const ToastTransition odd(ToastTransition::idFor(u"test.odd"), ToastTransition::AnimationCurve::linear(), 0,
            0.3, [](const ToastTransition::Context&) {
                return AnimationProperties{AnyAnimationProperty(AnimatablePropertyName::opacity, QString("x"), 1.0)};
            });
        QVERIFY(!TransitionDriver::play(odd, {}, &view, [&finishes] { ++finishes; }));
        QCOMPARE(finishes, 3);
    }

    void aSpringRunsForTheTransitionsDuration()
    {
        const auto curve = ToastTransition::AnimationCurve::spring(1, 100, 50, 0, false);
        const auto timing = TransitionDriver::timingFor(curve);
        // Over-damping not allowed: held at critical damping.
        QCOMPARE(int(std::get<SpringSolver>(timing).damping()), int(SpringSolver::Damping::critical));
        const auto allowed = TransitionDriver::timingFor(ToastTransition::AnimationCurve::spring(1, 100, 50, 0, true));
        QCOMPARE(int(std::get<SpringSolver>(allowed).damping()), int(SpringSolver::Damping::over));

        const ToastTransition spring(ToastTransition::idFor(u"test.spring"), curve, 0, 0.25,
            [](const ToastTransition::Context&) { return AnimationProperties{OpacityProperty(0, 1)}; });
        QWidget view;
        int finishes = 0;
        TransitionDriver::play(spring, {}, &view, [&finishes] { ++finishes; });
        m_clock->advanceBy(100);
        const double expected = SpringSolver(1, 100, 20, 0).position(0.1);
        QVERIFY(std::abs(AnimationLayer::of(&view)->presentationOpacity() - expected) < 1e-9);
        m_clock->advanceBy(200);
        QTRY_COMPARE(finishes, 1);
    }
};

QTEST_MAIN(ToastAnimationTest)
#include "ToastAnimationTest.moc"

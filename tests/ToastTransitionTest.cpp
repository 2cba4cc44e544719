#include "toasts/animation/AnimatableProperty.h"
#include "toasts/animation/ToastTransition.h"

#include <QTest>

#include <cmath>

using Context = ToastTransition::Context;
using Phase = ToastTransition::PresentationPhase;

Q_DECLARE_METATYPE(TransformOperations)

namespace {
const QRectF kGeometry(10, 20, 100, 40);

Context contextFor(Phase phase, ToastAlignment alignment = ToastAlignment::top(), bool reduceMotion = false,
    bool reduceTransparency = false)
{
    Context context;
    context.phase = phase;
    context.geometry = kGeometry;
    context.toastAlignment = alignment;
    context.isReduceMotionEnabled = reduceMotion;
    context.isReduceTransparencyEnabled = reduceTransparency;
    return context;
}

// "opacity 0->1", "transform [translate(0,40,0)]->[]": what a property list says.
QString describe(const std::any& value)
{
    if (const auto* opacity = std::any_cast<double>(&value))
        return QString::number(*opacity);
    const auto* list = std::any_cast<TransformOperations>(&value);
    if (!list)
        return QStringLiteral("?");
    static const char* const kinds[] = {"scale", "translate", "rotate"};
    QStringList parts;
    for (const TransformOperation& op : *list) {
        const bool rotate = op.kind == TransformOperation::Kind::rotate;
        parts << QStringLiteral("%1(%2)").arg(QLatin1String(kinds[int(op.kind)]),
            rotate ? QStringLiteral("%1,%2").arg(op.angle.degrees()).arg(op.axes.toInt())
                   : QStringLiteral("%1,%2,%3").arg(op.x).arg(op.y).arg(op.z));
    }
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

QStringList describe(const AnimationProperties& properties)
{
    QStringList result;
    for (const AnyAnimationProperty& property : properties) {
        const bool opacity = property.name() == AnimatablePropertyName::opacity;
        const QString ends = describe(property.fromValue()) + QStringLiteral("->") + describe(property.toValue());
        result << (opacity ? QStringLiteral("opacity ") : QStringLiteral("transform ")) + ends;
    }
    return result;
}

std::array<double, 3> mapped(const TransformOperations& operations, double x, double y, double z)
{
    return transform3D(operations).map(x, y, z);
}
} // namespace

class ToastTransitionTest : public QObject {
    Q_OBJECT

private slots:
    void defaultTransitionSlidesFromTheAlignedEdgeAndFades_data()
    {
        QTest::addColumn<int>("edges");
        QTest::addColumn<QStringList>("insertion");
        const QString fade = QStringLiteral("opacity 0->1");
        const QString leading = QStringLiteral("transform [translate(-110,0,0)]->[]");
        const QString trailing = QStringLiteral("transform [translate(110,0,0)]->[]");
        QTest::newRow("topLeading") << int(Edge::top | Edge::leading) << QStringList{leading, fade};
        QTest::newRow("top") << int(Edge::top) << QStringList{"transform [translate(0,40,0)]->[]", fade};
        QTest::newRow("topTrailing") << int(Edge::top | Edge::trailing) << QStringList{trailing, fade};
        QTest::newRow("leading") << int(Edge::leading) << QStringList{leading, fade};
        QTest::newRow("center") << 0 << QStringList{fade};
        QTest::newRow("trailing") << int(Edge::trailing) << QStringList{trailing, fade};
        QTest::newRow("bottomLeading") << int(Edge::bottom | Edge::leading) << QStringList{leading, fade};
        QTest::newRow("bottom") << int(Edge::bottom) << QStringList{"transform [translate(0,-40,0)]->[]", fade};
        QTest::newRow("bottomTrailing") << int(Edge::bottom | Edge::trailing) << QStringList{trailing, fade};
        // Opposite edges cancel out; a remaining one still moves.
        QTest::newRow("top, leading and trailing")
            << int(Edge::top | Edge::leading | Edge::trailing) << QStringList{"transform [translate(0,40,0)]->[]", fade};
        QTest::newRow("leading and trailing") << int(Edge::leading | Edge::trailing) << QStringList{fade};
        QTest::newRow("top and bottom") << int(Edge::top | Edge::bottom) << QStringList{fade};
        QTest::newRow("all four") << 15 << QStringList{fade};
    }
    void defaultTransitionSlidesFromTheAlignedEdgeAndFades()
    {
        QFETCH(int, edges);
        QFETCH(QStringList, insertion);
        const ToastTransition& transition = ToastTransition::defaultTransition();
        const Context context = contextFor(Phase::toastInsertion, ToastAlignment(EdgeSet::fromInt(edges)));
        QCOMPARE(describe(transition.animationProperties(context)), insertion);
    }

    void accessibilitySettingsTrimTheBuiltIns_data()
    {
        QTest::addColumn<bool>("reduceMotion");
        QTest::addColumn<bool>("reduceTransparency");
        QTest::addColumn<QStringList>("defaultRemoval");
        QTest::addColumn<int>("opacityCount");
        QTest::addColumn<int>("moveCount");
        QTest::addColumn<int>("rotateCount");
        QTest::addColumn<int>("scaleCount");
        QTest::newRow("neither") << false << false << QStringList{"transform []->[translate(0,40,0)]", "opacity 1->0"}
                                 << 1 << 1 << 1 << 1;
        QTest::newRow("reduce motion") << true << false << QStringList{"opacity 1->0"} << 1 << 0 << 0 << 1;
        QTest::newRow("reduce transparency")
            << false << true << QStringList{"transform []->[translate(0,40,0)]"} << 0 << 1 << 1 << 1;
    }
    void accessibilitySettingsTrimTheBuiltIns()
    {
        QFETCH(bool, reduceMotion);
        QFETCH(bool, reduceTransparency);
        QFETCH(QStringList, defaultRemoval);
        const Context context
            = contextFor(Phase::toastRemoval, ToastAlignment::top(), reduceMotion, reduceTransparency);
        QCOMPARE(describe(ToastTransition::defaultTransition().animationProperties(context)), defaultRemoval);
        const auto count = [&context](const ToastTransition& t) { return int(t.animationProperties(context).size()); };
        QTEST(count(ToastTransition::opacity()), "opacityCount");
        QTEST(count(ToastTransition::move(Edge::top)), "moveCount");
        QTEST(count(ToastTransition::rotate(Angle::fromDegrees(90), RotationAxisFlag::z)), "rotateCount");
        QTEST(count(ToastTransition::scale(0.5)), "scaleCount");
    }

    void builtInsAndTheirIdentity()
    {
        const Context insertion = contextFor(Phase::toastInsertion);
        QVERIFY(ToastTransition::scale(0.5) != ToastTransition::scale(0.0));
        QCOMPARE(describe(ToastTransition::scale().animationProperties(insertion)),
            QStringList{"transform [scale(0,0,1)]->[]"});
        QVERIFY(ToastTransition::rotate(Angle::fromDegrees(90), RotationAxisFlag::x)
            != ToastTransition::rotate(Angle::fromDegrees(90), RotationAxisFlag::y));

        const ToastTransition identity = ToastTransition::identity();
        // Equal ids compare equal whatever their closures do.
        QCOMPARE(identity.duration(2.0), identity);
    }

    void combinatorsTakeTimingAndPropertiesAsTheySay()
    {
        const ToastTransition a = ToastTransition::opacity();
        const ToastTransition b
            = ToastTransition::scale().delay(1.0).animationCurve(ToastTransition::AnimationCurve::linear());
        const Context removal = contextFor(Phase::toastRemoval);

        const ToastTransition ab = a.combined(b);
        QCOMPARE(ab.delay(removal), 1.0);
        QCOMPARE(ab.curve(removal), ToastTransition::AnimationCurve::linear());
        QCOMPARE(
            describe(ab.animationProperties(removal)), (QStringList{"opacity 1->0", "transform []->[scale(0,0,1)]"}));
        QCOMPARE(b.combined(a).delay(removal), 0.0);
        QVERIFY(ab != a && ab != b && ab != b.combined(a));
        QCOMPARE(ab, a.combined(ToastTransition::scale()));

        const ToastTransition asymmetric
            = ToastTransition::asymmetric(ToastTransition::opacity(), ToastTransition::scale());
        QCOMPARE(asymmetric.duration(removal), 0.3);
        QCOMPARE(describe(asymmetric.animationProperties(removal)), QStringList{"transform []->[scale(0,0,1)]"});
        QCOMPARE(
            describe(asymmetric.animationProperties(contextFor(Phase::toastInsertion))), QStringList{"opacity 0->1"});
    }

    void contextsCompareExactly()
    {
        Context a = contextFor(Phase::toastInsertion);
        Context b = a;
        b.geometry = QRectF(10, 20, -0.0 + 100, 40);
        QCOMPARE(a, b);
        QCOMPARE(qHash(a, 5), qHash(b, 5));
        b.geometry = QRectF(10, 20, 100.0000000001, 40); // Qt's fuzzy equality would call it equal
        QVERIFY(!(a == b));
    }

    void foldingTransformOperations_data()
    {
        QTest::addColumn<TransformOperations>("operations");
        QTest::addColumn<QList<double>>("point");
        QTest::addColumn<QList<double>>("expected");
        const QList<double> unitX{1, 0, 0};
        QTest::newRow("empty") << TransformOperations{} << unitX << unitX;
        QTest::newRow("rotation without axes")
            << TransformOperations{TransformOperation::rotate(Angle::fromDegrees(90), {})} << unitX << unitX;
        QTest::newRow("translate then scale")
            << TransformOperations{TransformOperation::translate(10, 0, 0), TransformOperation::scale(2, 2, 1)} << unitX
            << QList<double>{12, 0, 0};
        QTest::newRow("scale then translate")
            << TransformOperations{TransformOperation::scale(2, 2, 1), TransformOperation::translate(10, 0, 0)} << unitX
            << QList<double>{12, 0, 0};
        QTest::newRow("two scales") << TransformOperations{TransformOperation::scale(2, 2, 1),
            TransformOperation::scale(3, 3, 1)}
                                    << QList<double>{1, 1, 1} << QList<double>{6, 6, 1};
        QTest::newRow("quarter turn about z")
            << TransformOperations{TransformOperation::rotate(Angle::fromDegrees(90), RotationAxisFlag::z)} << unitX
            << QList<double>{0, 1, 0};
        QTest::newRow("rotations apply before translations")
            << TransformOperations{TransformOperation::translate(5, 0, 0),
                   TransformOperation::rotate(Angle::fromDegrees(90), RotationAxisFlag::z)}
            << unitX << QList<double>{5, 1, 0};
    }
    void foldingTransformOperations()
    {
        QFETCH(TransformOperations, operations);
        QFETCH(QList<double>, point);
        QFETCH(QList<double>, expected);
        const auto result = mapped(operations, point[0], point[1], point[2]);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(std::abs(result[i] - expected[i]) < 1e-12, qPrintable(QString::number(result[i])));
        if (operations.empty())
            QVERIFY(transform3D(operations).isIdentity());
    }

    void mergingByName()
    {
        const auto merge = [](const AnimationProperties& list) {
            return describe(AnyAnimationProperty::groupedByName(list).merged());
        };
        QCOMPARE(merge({OpacityProperty(0, 1), OpacityProperty(0.5, 1)}), QStringList{"opacity 0.25->1"});
        // A running pairwise average, not the mean: ((0 + 0.5) / 2 + 1) / 2.
        QCOMPARE(merge({OpacityProperty(0, 0), OpacityProperty(0.5, 0), OpacityProperty(1, 0)}),
            QStringList{"opacity 0.625->0"});

        const AnyAnimationProperty oddOpacity(AnimatablePropertyName::opacity, std::any(1), std::any(2));
        QCOMPARE(merge({oddOpacity}), QStringList{"opacity ?->?"}); // a group of one is never inspected
        QCOMPARE(merge({oddOpacity, oddOpacity}), QStringList{}); // nothing usable left

        const TransformProperty a({TransformOperation::translate(0, 40, 0)}, {});
        const TransformProperty c({TransformOperation::scale(0.9, 0.9, 1)}, {TransformOperation::scale(1, 1, 1)});
        const AnimationProperties mixed{a, OpacityProperty(0, 1), c};
        const AnimationPropertyGroups groups = AnyAnimationProperty::groupedByName(mixed);
        QCOMPARE(groups.opacity.size(), size_t(1));
        QCOMPARE(groups.transform.size(), size_t(2));
        QCOMPARE(describe(groups.merged()),
            (QStringList{"opacity 0->1", "transform [translate(0,40,0),scale(0.9,0.9,1)]->[scale(1,1,1)]"}));
    }

    void operationEqualityIsExact()
    {
        QCOMPARE(TransformOperation::scale(0, 1, 1), TransformOperation::scale(-0.0, 1, 1));
        QCOMPARE(qHash(TransformOperation::scale(0, 1, 1), 9), qHash(TransformOperation::scale(-0.0, 1, 1), 9));
        const double nan = std::nan("");
        QVERIFY(!(TransformOperation::translate(nan, 0, 0) == TransformOperation::translate(nan, 0, 0)));
    }
};

QTEST_MAIN(ToastTransitionTest)
#include "ToastTransitionTest.moc"

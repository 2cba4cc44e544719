#include "toasts/animation/AnimationLayer.h"
#include "toasts/animation/CAAnimatable.h"

#include "platform/AssociatedStorage.h"
#include "platform/ViewController.h"

#include <QTest>
#include <QVariantAnimation>
#include <QWidget>

namespace {
struct Sentinel { };
} // namespace

class ToastAssociatedStorageTest : public QObject {
    Q_OBJECT

private slots:
    void entriesAreTypedAndIndependent()
    {
        QObject owner;
        const AssociatedProperty<int> count("count");
        const AssociatedProperty<QString> countAsText("count");
        const AssociatedProperty<QString> title("title");
        QVERIFY(!count.get(&owner));

        title.set(&owner, QStringLiteral("kept"));
        count.set(&owner, 3);
        QCOMPARE(count.get(&owner), std::optional<int>(3));
        QCOMPARE(title.get(&owner), std::optional<QString>("kept"));

        // The same key read as another type is absent, and the next write wins.
        QVERIFY(!countAsText.get(&owner));
        countAsText.set(&owner, QStringLiteral("three"));
        QVERIFY(!count.get(&owner));
        QCOMPARE(countAsText.get(&owner), std::optional<QString>("three"));

        countAsText.set(&owner, std::nullopt);
        QVERIFY(!countAsText.contains(&owner));
        QCOMPARE(title.get(&owner), std::optional<QString>("kept"));
    }

    void entriesAreReleasedWithTheirOwner()
    {
        auto sentinel = std::make_shared<Sentinel>();
        std::weak_ptr<Sentinel> watched = sentinel;
        auto window = std::make_unique<QWidget>();
        AssociatedProperty<std::shared_ptr<Sentinel>>("sentinel").set(window.get(), std::move(sentinel));
        QVERIFY(!watched.expired());
        window.reset();
        QVERIFY(watched.expired());
    }

    void animationLockLivesOnTheLayer()
    {
        QWidget view;
        CAAnimatable::setAnimationLocked(&view, true); // no layer: nothing is stored
        QVERIFY(!AnimationLayer::of(&view));

        AnimationLayer* layer = AnimationLayer::ensure(&view);
        QCOMPARE(AnimationLayer::ensure(&view), layer);
        QVERIFY(!CAAnimatable::isAnimationLocked(layer));
        CAAnimatable::setAnimationLocked(&view, true);
        QVERIFY(CAAnimatable::isAnimationLocked(layer));
    }

    void resettingALayerClearsItsAnimationState()
    {
        QWidget view;
        CAAnimatable::resetAnimationState(&view); // no layer: left alone
        AnimationLayer* layer = AnimationLayer::ensure(&view);
        layer->setOpacity(0.4);
        layer->setTransform(Transform3D::makeScale(2, 2, 1));
        QPointer<QVariantAnimation> running = new QVariantAnimation;
        running->setDuration(60000);
        running->setStartValue(0.0);
        running->setEndValue(1.0);
        layer->addAnimation(running, QStringLiteral("toastTransition"));
        running->start();
        QCOMPARE(layer->animationKeys(), QStringList{"toastTransition"});

        CAAnimatable::resetAnimationState(&view);
        QCOMPARE(layer->opacity(), 1.0);
        QVERIFY(layer->transform().isIdentity());
        QVERIFY(layer->animationKeys().isEmpty());
        QCOMPARE(running->state(), QAbstractAnimation::Stopped);
        QTRY_VERIFY(!running);
    }

    void viewControllersLetGoOfWhatGoes()
    {
        QWidget window;
        auto content = std::make_unique<ViewController>();
        content->setView(&window);
        QPointer<QWidget> ownView = new QWidget;
        auto presented = std::make_unique<ViewController>();
        presented->setOwnedView(ownView);
        content->present(presented.get());

        presented.reset();
        QVERIFY(content->presentedViewControllers().isEmpty());
        QVERIFY(!ownView); // its own view went with it
        content.reset();
        QVERIFY(!ViewController::contentViewController(&window)); // the window it merely used stays
    }
};

QTEST_MAIN(ToastAssociatedStorageTest)
#include "ToastAssociatedStorageTest.moc"

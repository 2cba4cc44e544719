#include "platform/Appearance.h"
#include "platform/AsyncWait.h"
#include "platform/Binding.h"
#include "platform/Environment.h"
#include "platform/Preference.h"
#include "platform/Presentation.h"
#include "platform/Publisher.h"
#include "platform/ViewTask.h"

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <optional>

namespace {
struct Tagged {
    int tag = 0;
    int noise = 0; // ignored by the key's equality
};
const EnvironmentKey<Tagged> kTagged{
    "tagged", [] { return Tagged{}; }, [](const Tagged& a, const Tagged& b) { return a.tag == b.tag; }};
const EnvironmentKey<int> kNumber{"number", [] { return 0; }};

const PreferenceKey<std::optional<int>> kFirst{
    "first", [] { return std::optional<int>(); },
    [](std::optional<int>& accumulated, const std::optional<int>& next) {
        if (!accumulated)
            accumulated = next;
    }};

QCoro::Task<> untilCancelled(CancellationToken token, int* started, int* finished)
{
    ++*started;
    co_await waitForCancellation(token);
    ++*finished;
}

void spin()
{
    QTest::qWait(20);
}
} // namespace

class PlatformViewKitTest : public QObject {
    Q_OBJECT

private slots:
    void environmentTellsOfEffectiveChangesOnly()
    {
        QWidget root;
        auto* middle = new QWidget(&root);
        auto* leaf = new QWidget(middle);
        QList<int> seen;
        Environment::observe<Tagged>(leaf, kTagged, leaf, [&](const Tagged& v) { seen << v.tag; });

        Environment::set(&root, kTagged, Tagged{1, 0});
        Environment::set(&root, kTagged, Tagged{1, 9}); // equal by the key: nothing
        Environment::set(middle, kTagged, Tagged{2, 0});
        Environment::set(&root, kTagged, Tagged{3, 0}); // shadowed by middle: nothing
        Environment::clear(middle, kTagged); // root's 3 shows through
        Environment::clear(&root, kTagged); // back to the default
        QCOMPARE(seen, (QList<int>{1, 2, 3, 0}));

        // Moving under another parent is a change too.
        QWidget other;
        Environment::set(&other, kTagged, Tagged{7, 0});
        leaf->setParent(&other);
        QCOMPARE(seen.last(), 7);

        // A dialog sees its owner's values and hears of their changes.
        auto* sheet = new QDialog(&root);
        auto* inSheet = new QWidget(sheet);
        int sheetValue = -1;
        Environment::observe<int>(inSheet, kNumber, inSheet, [&](const int& v) { sheetValue = v; });
        Environment::set(&root, kNumber, 5);
        QCOMPARE(sheetValue, 5);

        // A watcher goes with its widget; later writes must not reach it.
        delete inSheet;
        Environment::set(&root, kNumber, 6);
        QCOMPARE(sheetValue, 5);
    }

    void bindingsNotifyAndOutliveTheirValue()
    {
        auto value = std::make_unique<ObservableValue<int>>(1);
        Binding<int> binding = value->binding();
        Binding<bool> positive = binding.transform<bool>([](const int& v) { return v > 0; },
                                                         [](const bool& on) { return on ? 1 : 0; });
        QObject context;
        int changes = 0;
        positive.onChange(&context, [&] { ++changes; });
        binding.set(1); // equal: no signal
        binding.set(-3);
        QCOMPARE(changes, 1);
        QVERIFY(!positive.get());
        positive.set(true);
        QCOMPARE(value->value(), 1);
        QCOMPARE(changes, 2);
        value.reset();
        QCOMPARE(binding.get(), 0);
        binding.set(4); // nothing to write to; must not crash
    }

    void minimisingIsNotDisappearing()
    {
        auto owned = std::make_unique<QWidget>();
        QWidget& window = *owned;
        auto* child = new QWidget(&window);
        int started = 0;
        int finished = 0;
        attachViewTask(child, [&](CancellationToken token) { return untilCancelled(token, &started, &finished); });
        auto* hooks = new AppearanceObserver(child);
        QSignalSpy appeared(hooks, &AppearanceObserver::appeared);
        QSignalSpy disappeared(hooks, &AppearanceObserver::disappeared);
        window.show();
        QTRY_COMPARE(started, 1);

        window.showMinimized();
        spin();
        window.showNormal();
        spin();
        QCOMPARE(started, 1);
        QCOMPARE(finished, 0);
        QCOMPARE(appeared.count(), 1);
        QCOMPARE(disappeared.count(), 0);

        window.hide();
        QTRY_COMPARE(finished, 1);
        QCOMPARE(disappeared.count(), 1);
        window.show();
        QTRY_COMPARE(started, 2);
        QCOMPARE(appeared.count(), 2);
        owned.reset(); // the task must end before its counters go
        QTRY_COMPARE(finished, 2);
    }

    void presentationEndsWhenItsSheetCloses()
    {
        QWidget owner;
        owner.show();
        QVERIFY(!Presentation::sheetOf(&owner));
        auto* sheet = new QDialog(&owner);
        auto* inner = new QWidget(sheet);
        QObject holder; // outlives `inner`
        auto& observer = *new PresentationObserver(inner, &holder);
        QSignalSpy ended(&observer, &PresentationObserver::presentationEnded);
        QVERIFY(!observer.note()); // not shown yet: nothing to end
        sheet->show();
        QCOMPARE(Presentation::sheetOf(inner), sheet);
        QVERIFY(observer.note());

        owner.showMinimized(); // the owner's minimising ends nothing
        spin();
        owner.showNormal();
        spin();
        QCOMPARE(ended.count(), 0);

        sheet->reject(); // hides and finishes: one end
        QCOMPARE(ended.count(), 1);
        QVERIFY(!observer.isArmed());

        sheet->show();
        QVERIFY(observer.note());
        delete sheet; // takes `inner` along; the observer outlives it here
        QCOMPARE(ended.count(), 2);
    }

    void preferencesReduceInTreeOrder()
    {
        QWidget root;
        auto* first = new QWidget(&root);
        auto* second = new QWidget(&root);
        auto* deep = new QWidget(first);
        std::optional<int> seen;
        int calls = 0;
        Preferences::observe<std::optional<int>>(&root, kFirst, &root, [&](const std::optional<int>& v) {
            seen = v;
            ++calls;
        });
        Preferences::set(second, kFirst, std::optional<int>(2));
        QCOMPARE(seen, std::optional<int>(2));
        Preferences::set(deep, kFirst, std::optional<int>(1)); // earlier in tree order: wins
        QCOMPARE(seen, std::optional<int>(1));
        Preferences::set(second, kFirst, std::optional<int>(3)); // reduced value unchanged: no call
        QCOMPARE(calls, 2);
        delete first; // its report goes with it
        QTRY_COMPARE(seen, std::optional<int>(3));
    }

    void publisherDeliversInOrderUntilItsEnd()
    {
        PublisherSubject<int, QString> subject;
        QObject context;
        QList<int> values;
        std::optional<std::optional<QString>> end;
        AnyCancellable handle = subject.publisher().sink(
            &context, [&](const int& v) { values << v; },
            [&](const std::optional<QString>& failure) { end = failure; });
        subject.send(1);
        subject.send(2);
        QVERIFY(values.isEmpty()); // never inside the send
        subject.fail(QStringLiteral("broken"));
        subject.send(3); // after the end: dropped
        QTRY_VERIFY(end.has_value());
        QCOMPARE(values, (QList<int>{1, 2}));
        QCOMPARE(*end, std::optional<QString>(QStringLiteral("broken")));

        // A cancelled subscription hears nothing, even of events already posted.
        PublisherSubject<int, QString> second;
        QList<int> late;
        AnyCancellable cancelled = second.publisher().sink(&context, [&](const int& v) { late << v; });
        second.send(1);
        cancelled.cancel();
        QCOMPARE(second.subscriberCount(), 0);
        spin();
        QVERIFY(late.isEmpty());

        // Values of a Qt signal; the sender's end finishes the stream.
        auto sender = std::make_unique<QObject>();
        QStringList names;
        bool finished = false;
        AnyCancellable fromSignal = Publisher<QString, QString>::fromSignal(sender.get(), &QObject::objectNameChanged)
                                        .sink(&context, [&](const QString& n) { names << n; },
                                              [&](const std::optional<QString>& f) { finished = !f; });
        sender->setObjectName(QStringLiteral("a"));
        sender.reset();
        QTRY_VERIFY(finished);
        QCOMPARE(names, QStringList{QStringLiteral("a")});
    }
};

QTEST_MAIN(PlatformViewKitTest)
#include "PlatformViewKitTest.moc"

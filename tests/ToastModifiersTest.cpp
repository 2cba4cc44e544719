#include "ToastTestPresenter.h"

#include "toasts/interface/ScheduleToastAction.h"
#include "toasts/interface/ToastButton.h"
#include "toasts/engine/ToastCancellation.h"
#include "toasts/values/ToastDismissAction.h"
#include "toasts/interface/ToastModifier.h"
#include "toasts/interface/ToastPresentationInvalidationOptions.h"
#include "toasts/presenters/ToastPresenterProxy.h"
#include "toasts/interface/ToastReceivePublisherModifier.h"
#include "toasts/engine/ToastsConfiguration.h"
#include "toasts/interface/ToastTaskModifier.h"
#include "toasts/interface/ToastTriggerModifier.h"
#include "toasts/presenters/WindowToastPresenter.h"

#include "platform/AsyncWait.h"
#include "platform/SemanticColors.h"

#include <QDialog>
#include <QTest>
#include <QWidget>

#include <algorithm>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(ToastCancellation)

namespace {
Toast titled(const QString& title)
{
    return Toast::verbatim(title, ToastRole::plain, ToastDuration(5));
}

ToastPresentation presentationOf(const QString& title, int* dismissed = nullptr)
{
    ToastPresentation presentation;
    presentation.toast = titled(title);
    if (dismissed)
        presentation.onDismiss = [dismissed] { ++*dismissed; };
    return presentation;
}

// Calls the action once per title, waiting a little between calls, then
// waits for cancellation. `raised` counts the calls made.
QCoro::Task<> raiseEach(ScheduleToastAction action, CancellationToken token, QStringList titles, int* runs,
                        int* raised = nullptr)
{
    ++*runs;
    for (const QString& title : titles) {
        action(titled(title));
        if (raised)
            ++*raised;
        if (!co_await sleepFor(1ms, token))
            co_return;
    }
    co_await waitForCancellation(token);
}

void settle()
{
    QTest::qWait(30);
}
} // namespace

class ToastModifiersTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ToastsConfiguration::shared().setTimeScaleForTesting(0.01); }

    void init()
    {
        m_presenter = std::make_unique<ToastTestPresenter>();
        m_window = std::make_unique<QWidget>();
        toastPresenter(m_window.get(), ToastPresenterProxy(m_presenter.get()));
        m_window->show();
    }

    void cleanup()
    {
        m_window.reset();
        m_presenter.reset();
        QTRY_COMPARE(ToastScheduler::runningConsumerCount(), 0);
    }

    void environmentDefaultsAndSetters()
    {
        QWidget root;
        auto* leaf = new QWidget(&root);
        toastInteractiveDismissDisabled(&root, true);
        QVERIFY(!Environment::get(leaf, ToastInteractiveDismissEnabledEnvironmentKey::key()));
        toastPresentationInvalidation(&root, ToastPresentationInvalidation::all);
        toastPresentationInvalidation(leaf, std::nullopt); // none below clears the inherited options
        QVERIFY(!Environment::get(leaf, ToastPresentationInvalidationOptionsEnvironmentKey::key()));

        // Proxies are equal by presenter identity; a gone presenter equals none.
        auto presenter = std::make_unique<ToastTestPresenter>();
        ToastPresenterProxy a(presenter.get());
        QCOMPARE(a, ToastPresenterProxy(presenter.get()));
        QCOMPARE(qHash(a), qHash(ToastPresenterProxy(presenter.get())));
        QVERIFY(a != ToastPresenterProxy());
        presenter.reset();
        QCOMPARE(a, ToastPresenterProxy());

        // A window's proxy goes empty when the window closes, not when it
        // merely hides; shown again, the window takes toasts anew.
        QWidget window;
        window.show();
        const ToastPresenterProxy ofWindow(WindowToastPresenter::of(&window));
        window.hide();
        QVERIFY(ofWindow.hasPresenter());
        window.show();
        window.close();
        QCOMPARE(ofWindow, ToastPresenterProxy());
        QCOMPARE(qHash(ofWindow), qHash(ToastPresenterProxy()));
        QVERIFY(!ToastPresenterProxy(WindowToastPresenter::of(&window)).hasPresenter());
        window.show();
        QVERIFY(ToastPresenterProxy(WindowToastPresenter::of(&window)).hasPresenter());
    }

    void proxyAppliesEachPolicy_data()
    {
        QTest::addColumn<ToastCancellation>("policy");
        QTest::addColumn<int>("handlesAfter");
        QTest::addColumn<QStringList>("shown");
        // Three toasts scheduled while the first is on screen: "a" shown,
        // "b" and "c" queued, then the handles are dropped.
        QTest::newRow("never") << ToastCancellation::never << 0 << QStringList{"+a", "-a", "+b", "-b", "+c"};
        QTest::newRow("automatic") << ToastCancellation::automatic << 0 << QStringList{"+a", "-a", "+b", "-b", "+c"};
        QTest::newRow("presentation") << ToastCancellation::presentation << 2 << QStringList{"+a", "-a"};
        // Each toast withdraws the earlier ones: only the last handle stays.
        QTest::newRow("always") << ToastCancellation::always << 1 << QStringList{"+a", "-a"};
    }

    void proxyAppliesEachPolicy()
    {
        QFETCH(ToastCancellation, policy);
        QFETCH(int, handlesAfter);
        QFETCH(QStringList, shown);
        const ToastPresenterProxy proxy(m_presenter.get());
        auto handles = std::make_unique<ToastHandleSet>();
        proxy.schedule(presentationOf(QStringLiteral("a")), policy, *handles);
        QTRY_VERIFY(m_presenter->isShowing());
        proxy.schedule(presentationOf(QStringLiteral("b")), policy, *handles);
        proxy.schedule(presentationOf(QStringLiteral("c")), policy, *handles);
        // "a" is on screen, so its handle was dropped on the next insertion.
        QCOMPARE(handles->size(), handlesAfter);
        handles.reset(); // the owner goes
        for (int i = 0; i < 3; ++i) {
            m_presenter->dismiss();
            // The next toast, where one is still to come, is on screen.
            QTRY_VERIFY(m_presenter->shown.size() >= std::min<qsizetype>(shown.size(), 2 * i + 3));
        }
        QCOMPARE(m_presenter->shown.mid(0, shown.size()), shown);
    }

    void missingPresenterDropsQuietlyButStillEnds()
    {
        const ToastPresenterProxy empty;
        ToastHandleSet handles;
        int dismissed = 0;
        empty.schedule(presentationOf(QStringLiteral("x"), &dismissed), ToastCancellation::presentation, handles);
        QCOMPARE(handles.size(), 1); // an inert handle
        handles.cancelAll();
        empty.enqueue(presentationOf(QStringLiteral("y"), &dismissed));
        QTRY_COMPARE(dismissed, 2);

        // The flag of a modifier without presenter returns to off.
        QWidget orphan;
        toastPresenter(&orphan, ToastPresenterProxy());
        ObservableValue<bool> flag(false);
        toast(&orphan, flag.binding(), ToastAlignment::top(), {}, [] { return titled(QStringLiteral("z")); });
        orphan.show();
        flag.set(true);
        QTRY_VERIFY(!flag.value());
    }

    void scheduleActionWithoutBoxOnlySchedulesNever()
    {
        auto box = std::make_shared<CancellablesBox>();
        ScheduleToastAction action{ToastPresenterProxy(m_presenter.get()), {}, ToastCancellation::automatic,
                                   ToastCancellation::presentation, box};
        action(titled(QStringLiteral("kept")));
        QCOMPARE(box->cancellables.size(), 1); // automatic became presentation
        QTRY_VERIFY(m_presenter->isShowing());
        box.reset();
        QVERIFY(!action.canSchedule());
        action(titled(QStringLiteral("lost")));
        action.toastCancellation = ToastCancellation::never;
        QVERIFY(action.canSchedule());
        action(titled(QStringLiteral("never")));
        m_presenter->dismiss();
        QTRY_COMPARE(m_presenter->shownTitle(), QStringLiteral("never"));
    }

    void flagRaisesToastAndReturnsToOff()
    {
        ObservableValue<bool> flag(false);
        int onDismiss = 0;
        int built = 0;
        toast(m_window.get(), flag.binding(), ToastAlignment::top(), [&] { ++onDismiss; }, [&] {
            ++built;
            return std::optional<Toast>(titled(QStringLiteral("saved")));
        });
        flag.set(true);
        QTRY_VERIFY(m_presenter->isShowing());
        flag.set(true); // no change: nothing
        QCOMPARE(built, 1);
        m_presenter->dismiss(); // its time is up
        QVERIFY(!flag.value());
        QCOMPARE(onDismiss, 1);

        // Turning the flag off dismisses the toast on screen.
        flag.set(true);
        QTRY_VERIFY(m_presenter->isShowing());
        flag.set(false);
        QTRY_VERIFY(!m_presenter->isShowing());
        QCOMPARE(onDismiss, 2);
        QVERIFY(!flag.value());
        QCOMPARE(m_presenter->shown, (QStringList{"+saved", "-saved", "+saved", "-saved"}));
    }

    void flagOnBeforeFirstAppearanceShowsOnce_data()
    {
        QTest::addColumn<bool>("turnedOnLater");
        QTest::newRow("on from the start") << false;
        QTest::newRow("turned on before showing") << true;
    }

    void flagOnBeforeFirstAppearanceShowsOnce()
    {
        QFETCH(bool, turnedOnLater);
        QWidget hidden;
        toastPresenter(&hidden, ToastPresenterProxy(m_presenter.get()));
        ObservableValue<bool> flag(!turnedOnLater);
        toast(&hidden, flag.binding(), ToastAlignment::top(), {}, [] { return titled(QStringLiteral("early")); });
        flag.set(true);
        settle();
        QVERIFY(!m_presenter->isShowing());
        hidden.show();
        QTRY_VERIFY(m_presenter->isShowing());
        settle();
        QVERIFY(m_presenter->isShowing()); // not dismissed at once as replaced by itself
        hidden.hide();
        hidden.show(); // later appearances raise nothing new
        m_presenter->dismiss();
        settle();
        QCOMPARE(m_presenter->shown, (QStringList{"+early", "-early"}));
    }

    void removingTheViewDismissesItsToastOnlyWhenAsked_data()
    {
        QTest::addColumn<bool>("dismissOnRelease");
        QTest::newRow("option set") << true;
        QTest::newRow("no options") << false;
    }

    void removingTheViewDismissesItsToastOnlyWhenAsked()
    {
        QFETCH(bool, dismissOnRelease);
        auto* view = new QWidget(m_window.get());
        if (dismissOnRelease)
            toastPresentationInvalidation(view, ToastPresentationInvalidation::all);
        ObservableValue<bool> flag(false);
        toast(view, flag.binding(), ToastAlignment::top(), {}, [] { return titled(QStringLiteral("v")); });
        view->show();
        flag.set(true);
        QTRY_VERIFY(m_presenter->isShowing());
        delete view;
        if (dismissOnRelease) {
            QTRY_VERIFY(!m_presenter->isShowing());
        } else {
            settle();
            QVERIFY(m_presenter->isShowing());
        }
    }

    void absentValueLeavesItsQueuedToastToComeInTurn()
    {
        // Another toast holds the screen, so the modifier's toast waits.
        const ToastPresenterProxy proxy(m_presenter.get());
        proxy.enqueue(presentationOf(QStringLiteral("busy")));
        QTRY_VERIFY(m_presenter->isShowing());
        ObservableValue<std::optional<QString>> item;
        int onDismiss = 0;
        auto* modifier = toast<QString>(m_window.get(), item.binding(), ToastAlignment::top(), [&] { ++onDismiss; },
                                        [](const QString& v) { return std::optional<Toast>(titled(v)); });
        item.set(QStringLiteral("queued"));
        QCOMPARE(modifier->handleCount(), 1);
        item.set(std::nullopt);
        m_presenter->dismiss();
        QTRY_COMPARE(m_presenter->shownTitle(), QStringLiteral("queued"));
        settle();
        QVERIFY(m_presenter->isShowing()); // not sent away as it comes
        QCOMPARE(onDismiss, 0);
        m_presenter->dismiss();
        QCOMPARE(onDismiss, 1);
        QVERIFY(!item.value());
        settle();
        QCOMPARE(onDismiss, 1);
        QCOMPARE(m_presenter->shown, (QStringList{"+busy", "-busy", "+queued", "-queued"}));
    }

    void itemChangeReplacesToastAndClearsOnlyItsOwnItem()
    {
        ObservableValue<std::optional<QString>> item;
        int onDismiss = 0;
        toast<QString>(m_window.get(), item.binding(), ToastAlignment::top(), [&] { ++onDismiss; },
                       [](const QString& v) -> std::optional<Toast> {
                           if (v == QLatin1String("skip"))
                               return std::nullopt;
                           return titled(v);
                       });
        item.set(QStringLiteral("A"));
        QTRY_COMPARE(m_presenter->shownTitle(), QStringLiteral("A"));
        item.set(QStringLiteral("B")); // A is dismissed, B follows
        QTRY_COMPARE(m_presenter->shownTitle(), QStringLiteral("B"));
        QCOMPARE(item.value(), std::optional<QString>(QStringLiteral("B")));
        QCOMPARE(onDismiss, 1);
        item.set(QStringLiteral("skip")); // declined: B stays
        settle();
        QCOMPARE(m_presenter->shownTitle(), QStringLiteral("B"));
        item.set(QStringLiteral("B"));
        m_presenter->dismiss();
        QVERIFY(!item.value());
        QCOMPARE(onDismiss, 2);
    }

    void aQueuedItemsToastRunsItsCourseBeforeTheNewerOne()
    {
        IndefiniteItemToasts toasts(m_window.get());
        toasts.item.set(1);
        toasts.item.set(2); // while 1 still waits in the queue
        QTRY_COMPARE(m_presenter->shownTitle(), QStringLiteral("1"));
        settle();
        QCOMPARE(m_presenter->shown, QStringList{"+1"});
        QCOMPARE(toasts.dismissed, 0);
        m_presenter->dismiss();
        QTRY_COMPARE(m_presenter->shownTitle(), QStringLiteral("2"));
        QCOMPARE(m_presenter->shown, (QStringList{"+1", "-1", "+2"}));
        QCOMPARE(toasts.dismissed, 1);
        QCOMPARE(toasts.item.value(), std::optional<int>(2));
    }

    void triggerFollowsInvalidationOptions_data()
    {
        QTest::addColumn<bool>("setOptions");
        QTest::addColumn<QStringList>("shownBeforeDismiss");
        QTest::newRow("no options: replaces") << false << QStringList{"+1", "-1", "+2"};
        QTest::newRow("empty options: queues") << true << QStringList{"+1"};
    }

    void triggerFollowsInvalidationOptions()
    {
        QFETCH(bool, setOptions);
        QFETCH(QStringList, shownBeforeDismiss);
        if (setOptions)
            toastPresentationInvalidation(m_window.get(), ToastPresentationInvalidation::none);
        int onDismiss = 0;
        auto* modifier = toastTrigger<int>(m_window.get(), 0, ToastAlignment::top(), [&] { ++onDismiss; },
                                           [](const int& n) { return std::optional<Toast>(titled(QString::number(n))); });
        settle();
        QVERIFY(!m_presenter->isShowing()); // the initial trigger raises nothing
        modifier->setTrigger(1);
        QTRY_VERIFY(m_presenter->isShowing());
        modifier->setTrigger(1); // equal: nothing
        modifier->setTrigger(2);
        settle();
        QTRY_COMPARE(m_presenter->shown, shownBeforeDismiss);
        m_presenter->dismiss();
        QTRY_COMPARE(m_presenter->isShowing(), setOptions); // a queued toast comes on screen
        m_presenter->dismiss();
        QTRY_COMPARE(onDismiss, 2);
    }

    void triggerSetBeforeItsViewFirstShowsRaisesNothing()
    {
        QWidget hidden;
        toastPresenter(&hidden, ToastPresenterProxy(m_presenter.get()));
        auto* modifier = toastTrigger<int>(&hidden, 0, ToastAlignment::top(), {},
                                           [](const int& n) { return std::optional<Toast>(titled(QString::number(n))); });
        modifier->setTrigger(1); // the value the view comes on screen with
        hidden.show();
        modifier->setTrigger(2);
        // Toasts come in order: one for 1 would have come first.
        QTRY_VERIFY(m_presenter->isShowing());
        QCOMPARE(m_presenter->shown, QStringList{"+2"});
    }

    void publisherEventsRaiseToasts()
    {
        PublisherSubject<int, QString> subject;
        toastReceiving<int, QString>(m_window.get(), subject.publisher(), ToastAlignment::top(), {},
                                     [](const std::variant<int, QString>& event) -> std::optional<Toast> {
                                         if (event.index() == 1)
                                             return titled(QStringLiteral("failed: ") + std::get<1>(event));
                                         return titled(QString::number(std::get<0>(event)));
                                     });
        toastPresentationInvalidation(m_window.get(), ToastPresentationInvalidation::none); // queue them all
        for (int v : {1, 1, 2, 1})
            subject.send(v);
        subject.fail(QStringLiteral("x"));
        subject.send(3); // after the end: unseen
        for (int i = 0; i < 4; ++i) {
            QTRY_VERIFY(m_presenter->isShowing());
            m_presenter->dismiss();
        }
        settle();
        QCOMPARE(m_presenter->shown,
                 (QStringList{"+1", "-1", "+2", "-2", "+1", "-1", "+failed: x", "-failed: x"}));
    }

    void taskToastsGoWithTheSheet()
    {
        const ToastPresenterProxy proxy(m_presenter.get());
        auto* sheet = new QDialog(m_window.get());
        auto* view = new QWidget(sheet);
        int runs = 0;
        int raised = 0;
        auto* modifier = toastTask(view, TaskPriority::utility, [&runs, &raised](ScheduleToastAction action, CancellationToken token) {
            return raiseEach(std::move(action), std::move(token), {"t1", "t2", "t3"}, &runs, &raised);
        });
        QCOMPARE(modifier->priority(), TaskPriority::utility);
        sheet->show();
        QTRY_COMPARE(m_presenter->shownTitle(), QStringLiteral("t1"));
        QTRY_COMPARE(raised, 3);
        sheet->reject();
        // The sheet's toast handles go one event-loop turn after it closes.
        QTRY_VERIFY(modifier->cancellablesBox()->cancellables.isEmpty());
        m_presenter->dismiss(); // t1 ran its course; t2 and t3 were withdrawn
        settle();
        QCOMPARE(m_presenter->shown, (QStringList{"+t1", "-t1"}));
        QCOMPARE(runs, 1);
        delete sheet;
    }

    void toastsRaisedWhileTheirSheetIsClosedGoBeforeOrWithItsNextShowing_data()
    {
        QTest::addColumn<bool>("changedAgain");
        QTest::newRow("changed again while closed: gone before it shows") << true;
        QTest::newRow("shown again untouched: gone when it closes") << false;
    }

    void toastsRaisedWhileTheirSheetIsClosedGoBeforeOrWithItsNextShowing()
    {
        QFETCH(bool, changedAgain);
        IndefiniteItemToasts blocker(m_window.get());
        blocker.item.set(0); // on screen until dismissed: the sheet's toasts queue behind it
        QTRY_COMPARE(m_presenter->shownTitle(), QStringLiteral("0"));
        QDialog sheet(m_window.get());
        auto* view = new QWidget(&sheet);
        IndefiniteItemToasts toasts(view);
        sheet.show();
        toasts.item.set(1);
        sheet.reject();
        QCoreApplication::processEvents(); // the turn in which what the sheet kept goes
        toasts.item.set(2);
        if (changedAgain) {
            toasts.item.set(3);
            QCoreApplication::processEvents();
        }
        sheet.show();
        if (!changedAgain) {
            sheet.reject();
            QCoreApplication::processEvents();
        }
        IndefiniteItemToasts later(m_window.get());
        later.item.set(9);
        m_presenter->dismiss();
        QTRY_COMPARE(m_presenter->shownTitle(), QStringLiteral("9"));
        QCOMPARE(m_presenter->shown, (QStringList{"+0", "-0", "+9"}));
        m_presenter->dismiss();
    }

    void identifiableTaskRestartsOnNewId()
    {
        int runs = 0;
        auto* modifier = toastTask(m_window.get(), QVariant(1), TaskPriority::background,
                                   [&runs](ScheduleToastAction action, CancellationToken token) {
            return raiseEach(std::move(action), std::move(token), {}, &runs);
        });
        QCOMPARE(modifier->priority(), TaskPriority::background);
        QTRY_COMPARE(runs, 1);
        modifier->setId(1);
        modifier->setId(2);
        QTRY_COMPARE(runs, 2);
        m_window->showMinimized();
        settle();
        m_window->showNormal();
        settle();
        QCOMPARE(runs, 2);
    }

    void buttonPressSchedulesOnce()
    {
        int calls = 0;
        auto* button = new ToastButton(QStringLiteral("Save"), [&](const ScheduleToastAction& schedule) {
            ++calls;
            schedule(titled(QStringLiteral("pressed")));
        }, m_window.get());
        toastCancellation(button, ToastCancellation::always);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(calls, 1);
        QTRY_VERIFY(m_presenter->isShowing());
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton); // withdraws the second press's toast
        QCOMPARE(calls, 3);
        QCOMPARE(button->cancellablesBox()->cancellables.size(), 1);
        m_presenter->dismiss();
        QTRY_VERIFY(m_presenter->isShowing());
        m_presenter->dismiss();
        settle();
        QCOMPARE(m_presenter->shown, (QStringList{"+pressed", "-pressed", "+pressed", "-pressed"}));
    }

    void buttonInitialisersMapTitlesIconsAndRoles()
    {
        int pressed = 0;
        const ToastButton::Action count = [&pressed](const ScheduleToastAction&) { ++pressed; };
        const ToastImageResource sent(QStringLiteral(":/toasts/sent.png"));
        // A key without a translation shows the key; a missing image shows no icon.
        const ToastButton keyed("Send", sent, std::nullopt, count);
        QCOMPARE(keyed.text(), QStringLiteral("Send"));
        QVERIFY(!keyed.icon().isNull());
        QVERIFY(ToastButton(QStringLiteral("Send"), ToastImageResource(QStringLiteral(":/no/such.png")), count)
                    .icon().isNull());
        QVERIFY(!ToastButton("Send", QStringLiteral("star"), count).icon().isNull());

        auto* destructive
            = new ToastButton(QStringLiteral("Delete"), ToastButtonRole::destructive, count, m_window.get());
        auto* cancel = new ToastButton("Cancel", QStringLiteral("xmark"), ToastButtonRole::cancel, count, m_window.get());
        QCOMPARE(destructive->palette().color(QPalette::ButtonText), SemanticColors::red(colorScheme(destructive)));
        QVERIFY(cancel->palette().color(QPalette::ButtonText) != SemanticColors::red(colorScheme(cancel)));
        // A symbol is drawn in the button's text colour, and follows it (a
        // toast's button style recolours the text).
        const auto symbolColour = [](const ToastButton& button) {
            const QImage image = button.icon().pixmap(24).toImage();
            QColor strongest(Qt::transparent);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y).alpha() > strongest.alpha())
                        strongest = image.pixelColor(x, y);
            return strongest.rgb();
        };
        ToastButton trash(QStringLiteral("Delete"), QStringLiteral("trash"), ToastButtonRole::destructive, count);
        QCOMPARE(symbolColour(trash), SemanticColors::red(colorScheme(&trash)).rgb());
        QPalette accent = trash.palette();
        accent.setColor(QPalette::ButtonText, QColor(0, 122, 255));
        trash.setPalette(accent);
        QCOMPARE(symbolColour(trash), QColor(0, 122, 255).rgb());
        // Only the cancel button answers Escape.
        destructive->show();
        cancel->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(m_window.get(), Qt::Key_Escape);
        QTRY_COMPARE(pressed, 1);
        QVERIFY(cancel->cancellablesBox());
        // A second cancel button, a toast's laid over the window: Escape
        // presses the one in front, every time.
        auto* overlay = new QWidget(m_window.get());
        int front = 0;
        new ToastButton("Cancel", ToastButtonRole::cancel, [&front](const ScheduleToastAction&) { ++front; }, overlay);
        overlay->show();
        for (int press = 1; press <= 2; ++press) {
            QTest::keyClick(m_window.get(), Qt::Key_Escape);
            QTRY_COMPARE(front, press);
        }
        QCOMPARE(pressed, 1);
    }

private:
    std::unique_ptr<ToastTestPresenter> m_presenter;
    std::unique_ptr<QWidget> m_window;
};

QTEST_MAIN(ToastModifiersTest)
#include "ToastModifiersTest.moc"

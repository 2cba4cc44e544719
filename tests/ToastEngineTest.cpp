#include "ToastTestPresenter.h"

#include "toasts/animation/AnimationLayer.h"
#include "toasts/presenters/DefaultPresentingWindow.h"
#include "toasts/presenters/NSToastHostingController.h"
#include "toasts/presenters/NSTransientFloatingWindow.h"
#include "toasts/interface/ToastModifier.h"
#include "toasts/presenters/ToastPresenterProxy.h"
#include "toasts/presenters/ToastPresentingLayoutModifier.h"
#include "toasts/engine/ToastScheduler.h"
#include "toasts/styles/ToastTitleLabel.h"
#include "toasts/engine/ToastsConfiguration.h"
#include "toasts/presenters/WindowToastPresenter.h"

#include "Services/Catalogue/AppSearchService.h"
#include "ViewModels/MainViewModel.h"
#include "Views/MainWindow/MainView.h"
#include "Views/SettingsView/SettingsView.h"

#include "platform/AccessibilitySettings.h"
#include "platform/AnimationClock.h"
#include "platform/ViewController.h"
#include "platform/WindowLevel.h"
#include "platform/ApplicationEventRelay.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

Q_DECLARE_METATYPE(ToastAlignment)

namespace {
using A = AlignmentConstraint::Anchor;
using R = AlignmentConstraint::Relation;

// What became of the toasts of one test, in order.
struct Journal {
    QStringList events;
    int count(const QString& event) const { return int(events.count(event)); }
};
QWidget* overlayOf(QWidget* window)
{
    return window->findChild<NSTransientFloatingWindow*>(QString(), Qt::FindDirectChildrenOnly);
}

QLabel* toastLabel(QWidget* window, const QString& text)
{
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text() == text)
            return label;
    }
    return nullptr;
}
} // namespace

class ToastEngineTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ManualAnimationClock> m_clock;
    std::shared_ptr<Journal> m_journal;

    void activate(QWidget* window)
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QTRY_COMPARE(QApplication::activeWindow(), window);
    }

    void activate(QWidget* window, QSize size)
    {
        window->resize(size);
        activate(window);
    }

    ToastPresentation makeToast(const QString& name, double seconds = 0,
        ToastAlignment alignment = ToastAlignment::topTrailing())
    {
        ToastPresentation presentation;
        presentation.toast.configuration.role = ToastRole::success;
        presentation.toast.configuration.duration = ToastDuration(seconds);
        presentation.toast.configuration.content = ToastContent::title(name);
        presentation.toastAlignment = alignment;
        presentation.onPresent = [journal = m_journal, name] { journal->events.append(name + " presented"); };
        presentation.onDismiss = [journal = m_journal, name] { journal->events.append(name + " dismissed"); };
        return presentation;
    }

    // Queues `presentation` on `window` and waits until it is shown.
    void present(QWidget* window, const ToastPresentation& presentation, const QString& name)
    {
        const int before = m_journal->count(name + " presented");
        toastScheduler(window).enqueue(presentation);
        QTRY_COMPARE(m_journal->count(name + " presented"), before + 1);
    }
    void present(QWidget* window, const QString& name) { present(window, makeToast(name), name); }

    static QDialog* openSheet(QWidget* window)
    {
        auto* sheet = new QDialog(window, Qt::Sheet);
        sheet->setWindowModality(Qt::WindowModal);
        sheet->show();
        return QTest::qWaitForWindowExposed(sheet) ? sheet : nullptr;
    }

    // Runs the clock through a transition of `milliseconds`.
    void play(int milliseconds) { m_clock->advanceInFrames(milliseconds); }

    // Runs the clock, and the event loop's timers, until `done`.
    template <typename Done>
    bool playUntil(Done done)
    {
        for (int i = 0; i < 400 && !done(); ++i) {
            play(48);
            QTest::qWait(5);
        }
        return done();
    }

private slots:
    void initTestCase() { m_clock = std::make_unique<ManualAnimationClock>(); }
    void cleanupTestCase() { m_clock.reset(); }

    void init()
    {
        m_journal = std::make_shared<Journal>();
        AccessibilitySettings::instance()->setReduceMotionOverride(false);
        ToastsConfiguration::shared().setTimeScaleForTesting(0.05);
    }

    void cleanup()
    {
        AccessibilitySettings::instance()->setReduceMotionOverride(std::nullopt);
        ToastsConfiguration::shared().setTimeScaleForTesting(1.0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void placementKeepsTheToastInside_data()
    {
        QTest::addColumn<EdgeSet>("edges");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("expected");
        const EdgeSet topTrailing(Edge::top | Edge::trailing);
        QTest::newRow("top trailing under chrome") << topTrailing << QSize(100, 40) << QRect(300, 30, 100, 40);
        QTest::newRow("centred on the view") << EdgeSet() << QSize(100, 40) << QRect(150, 130, 100, 40);
        QTest::newRow("too wide: clamped") << topTrailing << QSize(900, 40) << QRect(0, 30, 400, 40);
        QTest::newRow("bottom") << EdgeSet(Edge::bottom) << QSize(100, 40) << QRect(150, 260, 100, 40);
    }

    void placementKeepsTheToastInside()
    {
        QFETCH(EdgeSet, edges);
        QFETCH(QSize, size);
        QFETCH(QRect, expected);
        const QRect frame = NSToastHostingController::solve(
            NSToastHostingController::makeAlignmentConstraints(edges), QRect(0, 0, 400, 300), QMarginsF(0, 30, 0, 0), size);
        QCOMPARE(frame, expected);
    }

    void aToastShowsOverItsWindowAnimatesInStaysAndLeaves()
    {
        QWidget window;
        activate(&window, {640, 480});
        // 20 s at the tests' time scale: one real second, time enough for the
        // checks between the insertion and the removal on a slow machine.
        toastScheduler(&window).enqueue(makeToast("one", 20));
        toastScheduler(&window).enqueue(makeToast("two", 20));
        QTRY_COMPARE(m_journal->events, QStringList{"one presented"});

        QWidget* overlay = overlayOf(&window);
        QVERIFY(overlay);
        QCOMPARE(overlay->geometry(), window.rect());
        NSToastHostingController* controller = toastHostingController(&window);
        AnimationLayer* layer = AnimationLayer::of(controller->hostingView());
        QVERIFY(layer);
        QVERIFY(layer->hasRunningAnimations());
        QVERIFY(!layer->surface()->isShowingLive());
        const QRect frame = controller->hostingView()->geometry();
        QCOMPARE(frame.right(), overlay->width() - 1);
        QCOMPARE(frame.top(), 0);

        play(160);
        QVERIFY(layer->presentationOpacity() > 0.2 && layer->presentationOpacity() < 1.0);
        // A corner toast slides in from the trailing side.
        QVERIFY(layer->presentationTransform().m41 > 0);
        QCOMPARE(layer->presentationTransform().m42, 0.0);
        play(260);
        QTRY_VERIFY(!layer->hasRunningAnimations());
        QVERIFY(layer->surface()->isShowingLive());
        QCOMPARE(layer->presentationOpacity(), 1.0);

        // The duration runs from the end of the insertion; then the removal.
        QTRY_VERIFY(layer->hasRunningAnimations());
        QCOMPARE(m_journal->events, QStringList{"one presented"});
        play(400);
        QTRY_COMPARE(m_journal->events, (QStringList{"one presented", "one dismissed", "two presented"}));
        QVERIFY(toastLabel(&window, "two"));
        QVERIFY(!toastLabel(&window, "one"));
    }

    void aShownToastsCancellerDismissesItOnceAndThenNothing()
    {
        QWidget window;
        activate(&window, {640, 480});
        auto canceller = ToastPresentationCanceller::make();
        ToastPresentation presentation = makeToast("sticky", 0); // stays until dismissed
        presentation.presentationCanceller = canceller;
        present(&window, presentation, "sticky");
        play(400);
        canceller->presentationDismissalHandler()();
        play(400);
        QTRY_COMPARE(m_journal->events, (QStringList{"sticky presented", "sticky dismissed"}));
        QVERIFY(!overlayOf(&window));
        canceller->presentationDismissalHandler()();
        QCOMPARE(m_journal->count("sticky dismissed"), 1);
    }

    void everyDismissalAskedDuringTheInsertionIsHonoured_data() { IndefiniteItemToasts::addPathRows(); }

    void everyDismissalAskedDuringTheInsertionIsHonoured()
    {
        QFETCH(QString, path);
        QWidget window;
        IndefiniteItemToasts toasts(new QWidget(&window));
        activate(&window, {640, 480});
        toasts.item.set(1);
        NSToastHostingController* controller = toastHostingController(&window);
        QTRY_VERIFY(controller->isPresenting());
        play(100); // mid-insertion
        if (path == "click")
            controller->dismissCurrent();
        else
            toasts.askDismissal(path);
        QVERIFY(playUntil([&toasts] { return toasts.dismissed == 1; }));
        if (path == "new item")
            QVERIFY(playUntil([&window] { return overlayOf(&window) && toastLabel(overlayOf(&window), "2"); }));
        else
            QVERIFY(!controller->isPresenting());
    }

    void clicksOnTheToastDismissItAndClicksBesideItReachTheWindow()
    {
        QWidget window;
        auto* button = new QPushButton("Beside", &window);
        button->setGeometry(20, 20, 120, 30);
        activate(&window, {640, 480});
        present(&window, makeToast("click me", 0, ToastAlignment::topLeading()), "click me");
        play(400);
        NSToastHostingController* controller = toastHostingController(&window);
        QTRY_VERIFY(!AnimationLayer::of(controller->hostingView())->hasRunningAnimations());

        // The toast covers the button's place; beside the toast the window takes clicks.
        QSignalSpy clicked(button, &QPushButton::clicked);
        auto* beside = new QPushButton("Far", &window);
        beside->setGeometry(400, 400, 100, 30);
        beside->show();
        QSignalSpy besideClicked(beside, &QPushButton::clicked);
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(450, 415));
        QCOMPARE(besideClicked.count(), 1);

        const QRect toast = controller->hostingView()->geometry();
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, toast.center());
        QCOMPARE(clicked.count(), 0);
        play(400);
        QTRY_COMPARE(m_journal->count("click me dismissed"), 1);

        // With interactive dismissal off, a click leaves the toast alone.
        ToastPresentation steady = makeToast("steady", 0, ToastAlignment::topLeading());
        steady.toastEnvironmentValues.toastInteractiveDismissEnabled = false;
        present(&window, steady, "steady");
        play(400);
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, controller->hostingView()->geometry().center());
        play(400);
        QCOMPARE(m_journal->count("steady dismissed"), 0);
        QCOMPARE(clicked.count(), 0);
    }

    void aClickedToastPlaysItsRemoval_data()
    {
        QTest::addColumn<bool>("inLayout");
        QTest::newRow("over the window") << false;
        QTest::newRow("in a layout") << true;
    }

    void aClickedToastPlaysItsRemoval()
    {
        QFETCH(bool, inLayout);
        QWidget window;
        auto* content = new QWidget(&window);
        content->setGeometry(0, 0, 640, 480);
        ToastPresentingLayoutModifier* layout = inLayout ? toastPresentingLayout(content) : nullptr;
        auto* view = new QWidget(content);
        activate(&window, {640, 480});
        ObservableValue<bool> flag(false);
        toast(view, flag.binding(), ToastAlignment::top(), {}, [] {
            return std::optional<Toast>(Toast::verbatim("Sent", ToastRole::success, ToastDuration(0)));
        });
        flag.set(true);
        const auto surfaceView = [&]() -> QWidget* {
            return layout ? layout->hostedToast() : toastHostingController(&window)->hostingView();
        };
        QVERIFY(playUntil([&] { return surfaceView() && toastLabel(surfaceView(), "Sent"); }));
        QVERIFY(playUntil([&] { return !AnimationLayer::of(surfaceView())->hasRunningAnimations(); }));
        QPointer<QWidget> shown = surfaceView();
        const QPoint card = shown->mapTo(&window, shown->rect().center());
        QTest::mouseMove(window.windowHandle(), card);
        play(300); // hovered, enlarged
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, card);
        play(160); // halfway through the removal
        QVERIFY(shown && shown->isVisible());
        const Transform3D before = AnimationLayer::of(shown)->presentationTransform();
        play(32);
        AnimationLayer* layer = AnimationLayer::of(shown);
        QVERIFY(layer->hasRunningAnimations());
        QVERIFY(layer->presentationOpacity() > 0.1 && layer->presentationOpacity() < 0.9);
        QVERIFY(layer->presentationTransform() != before);
        QVERIFY(!layer->surface()->isShowingLive());
        QVERIFY(playUntil([&] { return !flag.value(); }));
    }

    void reducedMotionFadesWithoutMoving()
    {
        AccessibilitySettings::instance()->setReduceMotionOverride(true);
        QWidget window;
        activate(&window, {640, 480});
        present(&window, makeToast("calm", 0.2), "calm");
        AnimationLayer* layer = AnimationLayer::of(toastHostingController(&window)->hostingView());
        play(160);
        QVERIFY(layer->presentationOpacity() < 1.0);
        QVERIFY(layer->presentationTransform().isIdentity());
    }

    void aWindowClosedHiddenOrDeletedMidToastEndsIt()
    {
        for (const bool close : {true, false}) {
            QWidget window;
            activate(&window, {400, 300});
            present(&window, "closed");
            play(100);
            if (close)
                window.close();
            else
                window.hide();
            QCOMPARE(m_journal->count("closed dismissed"), close ? 1 : 2);
            QVERIFY(!overlayOf(&window));
        }
        auto* window = new QWidget;
        activate(window, {400, 300});
        present(window, "deleted");
        play(500);
        delete window;
        QTRY_COMPARE(m_journal->count("deleted dismissed"), 1);
        play(500);
        QCOMPARE(m_journal->count("deleted dismissed"), 1);
    }

    void aSheetsToastShowsOverTheSheetAndMovesBackWhenItCloses()
    {
        QWidget window;
        activate(&window, {640, 480});
        QDialog* sheet = openSheet(&window);
        QVERIFY(sheet);
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<QDialog> guard(sheet);

        // The sheet's screen raises its toasts through its window's presenter.
        present(&window, "from the sheet");
        QWidget* overlay = overlayOf(sheet);
        QVERIFY(overlay);
        QCOMPARE(overlay->geometry(), sheet->rect());
        QVERIFY(toastLabel(sheet, "from the sheet"));

        sheet->close();
        QTRY_VERIFY(!guard);
        QCOMPARE(m_journal->count("from the sheet dismissed"), 0);
        activate(&window); // the desktop gives the focus back to the window
        QTRY_VERIFY(overlayOf(&window));
        QVERIFY(toastLabel(&window, "from the sheet"));
        QCOMPARE(overlayOf(&window)->geometry(), window.rect());
    }

    void aFlagRaisesAToastOverItsWindowAndFallsBackWhenItGoes()
    {
        QWidget window;
        auto* view = new QWidget(&window);
        activate(&window, {640, 480});
        ObservableValue<bool> flag(false);
        int dismissed = 0;
        toast(view, flag.binding(), ToastAlignment::top(), [&dismissed] { ++dismissed; },
            [] { return std::optional<Toast>(Toast::verbatim("Copied", ToastRole::success, ToastDuration(4))); });
        flag.set(true);
        QTRY_VERIFY(overlayOf(&window));
        QVERIFY(toastLabel(overlayOf(&window), "Copied"));
        QVERIFY(playUntil([&dismissed] { return dismissed == 1; }));
        QCOMPARE(flag.value(), false);
        QTRY_VERIFY(!overlayOf(&window));
    }

    void aClosingSheetWithdrawsItsQueuedToastsWhileTheShownOneRunsItsCourse()
    {
        QWidget window;
        activate(&window, {640, 480});
        QDialog sheet(&window, Qt::Sheet);
        sheet.setWindowModality(Qt::WindowModal);
        sheet.resize(300, 200);
        auto* view = new QWidget(&sheet);
        toastPresenter(view, ToastPresenterProxy(WindowToastPresenter::of(&window)));
        ObservableValue<bool> first(false);
        ObservableValue<bool> second(false);
        QStringList dismissed;
        const auto raise = [&](ObservableValue<bool>& flag, const QString& title) {
            toast(view, flag.binding(), ToastAlignment::top(), [&dismissed, title] { dismissed.append(title); },
                [title] { return std::optional<Toast>(Toast::verbatim(title, ToastRole::plain, ToastDuration(4))); });
            flag.set(true);
        };
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        raise(first, "shown");
        raise(second, "queued");
        QTRY_VERIFY(overlayOf(&sheet) && toastLabel(overlayOf(&sheet), "shown"));

        sheet.close();
        activate(&window);
        QVERIFY(playUntil([&dismissed] { return !dismissed.isEmpty(); }));
        QCOMPARE(dismissed, QStringList{"shown"});
        QCOMPARE(first.value(), false);
        playUntil([] { return false; }); // time for a toast that should not come
        QVERIFY(!toastLabel(&window, "queued"));
        QCOMPARE(dismissed, QStringList{"shown"});
    }

    void aToastOverTheSettingsSheetKeepsClearOfItsHeader()
    {
        qputenv("PLOVERA_MAKER_URL", "http://127.0.0.1:1/"); // the apps list fails at once
        QWidget window;
        activate(&window, {900, 760});
        auto* sheet = new SettingsView(&window);
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<SettingsView> guard(sheet);
        sheet->open();
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        present(&window, makeToast("Email is sent", 0), "Email is sent");
        play(400);
        if (const QByteArray dir = qgetenv("PLOVERA_RENDER_DIR"); !dir.isEmpty())
            sheet->grab().save(QString::fromLocal8Bit(dir) + "/toast-over-settings-sheet.png");
        const QRect toast = toastHostingController(&window)->hostingView()->geometry();
        const QRect done(sheet->doneButton()->mapTo(sheet, QPoint(0, 0)), sheet->doneButton()->size());
        QVERIFY(overlayOf(sheet));
        QVERIFY(!toast.intersects(done));
        QVERIFY(toast.top() >= done.bottom());
        QVERIFY(sheet->rect().contains(toast)); // the card's shadow has room at rest
        QTest::mouseClick(sheet->windowHandle(), Qt::LeftButton, {}, done.center());
        QTRY_VERIFY(!guard);
        QCOMPARE(m_journal->count("Email is sent dismissed"), 0);
    }

    void aSheetClosingUnderItsOwnToastStillTellsItsEndOnce()
    {
        // Closed at the start of the slide-in, in its middle and at rest.
        for (const int played : {0, 150, 500}) {
            QWidget window;
            activate(&window, {640, 480});
            QDialog* sheet = openSheet(&window);
            sheet->setAttribute(Qt::WA_DeleteOnClose);
            QPointer<QDialog> guard(sheet);
            auto* view = new QWidget(sheet);
            toastPresenter(view, ToastPresenterProxy(WindowToastPresenter::of(sheet)));
            ObservableValue<bool> flag(false);
            int dismissed = 0;
            toast(view, flag.binding(), ToastAlignment::topTrailing(), [&dismissed] { ++dismissed; },
                [] { return std::optional<Toast>(Toast::verbatim("Gespeichert", ToastRole::success, ToastDuration(2))); });
            view->show();
            flag.set(true);
            QTRY_VERIFY(toastLabel(sheet, "Gespeichert"));
            play(played);
            sheet->close();
            QTRY_VERIFY(!guard);
            playUntil([&dismissed] { return dismissed > 0; });
            playUntil([] { return false; });
            QCOMPARE(dismissed, 1);
            QCOMPARE(flag.value(), false);
        }
    }

    void aSheetDeletedUnderItsToastTakesNothingWithIt()
    {
        QWidget window;
        activate(&window, {640, 480});
        QDialog* sheet = openSheet(&window);
        QVERIFY(sheet);
        present(&window, "over a sheet");
        QVERIFY(overlayOf(sheet));
        NSToastHostingController* controller = toastHostingController(&window);
        delete sheet;
        // The toast's view survived the sheet, back over the window or ended.
        QVERIFY(controller->hostingView());
        QVERIFY(overlayOf(&window) || m_journal->count("over a sheet dismissed") == 1);
        play(400);
        controller->dismissCurrent();
        play(400);
        QTRY_COMPARE(m_journal->count("over a sheet dismissed"), 1);
    }

    void theOverlayFollowsItsWindowAndComesBackWhenItIsMainAgain()
    {
        ApplicationEventRelay::instance(); // sees which window is main from the start
        QWidget window;
        activate(&window, {640, 480});
        present(&window, "follow");
        play(400);
        window.resize(800, 500);
        QTRY_COMPARE(overlayOf(&window)->geometry(), QRect(0, 0, 800, 500));
        NSToastHostingController* controller = toastHostingController(&window);
        QCOMPARE(controller->hostingView()->geometry().right(), 799);

        QWidget other;
        activate(&other, {200, 200});
        QTRY_VERIFY(!overlayOf(&window));
        QVERIFY(controller->isPresenting());
        activate(&window);
        QTRY_VERIFY(overlayOf(&window) && overlayOf(&window)->isVisible());
    }

    void aToastComesBackOverWhatItLayOverNeverOverALaterSheet()
    {
        ApplicationEventRelay::instance(); // sees which window is main from the start
        QWidget window;
        activate(&window, {640, 480});
        QWidget other;
        QDialog* first = openSheet(&window);
        QVERIFY(first);
        first->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<QDialog> guard(first);
        present(&window, "kept");

        // Away and back while its sheet is up: over that sheet again.
        activate(&other, {200, 200});
        QTRY_VERIFY(!overlayOf(first));
        activate(first);
        QTRY_VERIFY(overlayOf(first) && overlayOf(first)->isVisible());

        // Its sheet closes: over the window, and there it stays when the
        // window comes back with another sheet up.
        first->close();
        QTRY_VERIFY(!guard);
        activate(&window);
        QTRY_VERIFY(overlayOf(&window));
        activate(&other);
        QTRY_VERIFY(!overlayOf(&window));
        QDialog* second = openSheet(&window);
        QVERIFY(second);
        activate(second);
        QTRY_VERIFY(overlayOf(&window) && overlayOf(&window)->isVisible());
        QVERIFY(!overlayOf(second));
        QVERIFY(toastLabel(&window, "kept"));
        QVERIFY(toastHostingController(&window)->isPresenting());
        QCOMPARE(m_journal->count("kept dismissed"), 0);
        delete second;
    }

    void toastsOnTheMainWindowKeepClearOfItsToolRow_data()
    {
        QTest::addColumn<ToastAlignment>("alignment");
        QTest::addColumn<bool>("fromSheet");
        QTest::newRow("top") << ToastAlignment::top() << false;
        QTest::newRow("topTrailing") << ToastAlignment::topTrailing() << false;
        // The sheet it showed over closes during the slide-in.
        QTest::newRow("topTrailing from a sheet") << ToastAlignment::topTrailing() << true;
    }

    void toastsOnTheMainWindowKeepClearOfItsToolRow()
    {
        QFETCH(ToastAlignment, alignment);
        QFETCH(bool, fromSheet);
        QMainWindow window;
        window.setMenuBar(new QMenuBar);
        window.menuBar()->addMenu("File");
        auto* main = new MainView(new MainViewModel(nullptr, AppSearchService()));
        window.setCentralWidget(main);
        activate(&window, {1100, 700});
        const QRect gear(main->settingsButton()->mapTo(&window, QPoint()), main->settingsButton()->size());
        const QRect search(main->searchField()->mapTo(&window, QPoint()), main->searchField()->size());
        QDialog* sheet = fromSheet ? openSheet(&window) : nullptr;
        present(&window, makeToast("Mot de passe enregistré", 0, alignment), "Mot de passe enregistré");
        if (sheet) {
            play(100);
            sheet->close();
            activate(&window);
            QTRY_VERIFY(overlayOf(&window));
        }
        for (int frame = 0; frame < 12; ++frame) { // the rest of the slide-in, then at rest
            QVERIFY(overlayOf(&window));
            const QRegion shown = overlayOf(&window)->mask();
            QVERIFY(!shown.intersects(gear) && !shown.intersects(search));
            play(40);
        }
        QVERIFY(toastHostingController(&window)->hostingView()->geometry().top() > gear.bottom());
        if (const QByteArray dir = qgetenv("PLOVERA_RENDER_DIR"); !dir.isEmpty())
            window.grab().save(QString::fromLocal8Bit(dir) + "/toast-over-main-window-" + QTest::currentDataTag() + ".png");
    }

    void aLongTitleWrapsAndEndsWithAnEllipsisInsideTheWindow_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("elided");
        QTest::newRow("sixty words") << QString("mot ").repeated(60) << false;
        QTest::newRow("2,000 characters") << QString("Überweisung fehlgeschlagen ").repeated(75) << true;
        QTest::newRow("one 300-character word") << QString("ß").repeated(300) << false;
    }

    void aLongTitleWrapsAndEndsWithAnEllipsisInsideTheWindow()
    {
        QFETCH(QString, title);
        QFETCH(bool, elided);
        QWidget window;
        activate(&window, {360, 400});
        present(&window, title);
        play(400);
        const QRect frame = toastHostingController(&window)->hostingView()->geometry();
        QVERIFY(QRect(0, 0, 360, 400).contains(frame));
        auto* label = dynamic_cast<ToastTitleLabel*>(toastLabel(&window, title));
        QVERIFY(label);
        const QStringList lines = label->displayedLines();
        QVERIFY(lines.size() > 1);
        QCOMPARE(lines.last().endsWith(QChar(0x2026)), elided);
        QVERIFY(lines.size() * label->fontMetrics().lineSpacing() <= label->contentsRect().height());
        for (const QString& line : lines)
            QVERIFY(label->fontMetrics().horizontalAdvance(line.trimmed()) <= label->contentsRect().width());
    }

    void aPanelsToastShowsOverItsParentWindow()
    {
        QWidget window;
        activate(&window, {640, 480});
        QWidget panel(&window, Qt::Tool);
        panel.resize(200, 100);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        present(&panel, "from the panel");
        QVERIFY(overlayOf(&window));
        QVERIFY(!overlayOf(&panel));
        QCOMPARE(toastHostingController(&panel)->toastWindow(), overlayOf(&window));
    }

    void insideAViewOrViewControllerNoOverlayIsMade()
    {
        QWidget window;
        window.resize(400, 300);
        auto* area = new QWidget(&window);
        area->setGeometry(10, 10, 300, 200);
        activate(&window);
        ViewController owner;
        owner.setView(area);
        NSToastHostingController controller;
        controller.presentInViewController(makeToast("in a controller", 0), &owner);
        QCOMPARE(controller.parentViewController(), &owner);
        QCOMPARE(controller.view()->parentWidget(), area);
        QCOMPARE(controller.view()->geometry(), area->rect());
        QVERIFY(!overlayOf(&window));
        play(400);
        controller.dismissCurrent();
        play(400);
        QTRY_COMPARE(m_journal->count("in a controller dismissed"), 1);
        QCOMPARE(controller.parentViewController(), nullptr);
        QCOMPARE(controller.view()->parentWidget(), nullptr);

        // A new toast on the same controller ends the one still there, even
        // when that one's onDismiss presents yet another: each ends once.
        ToastPresentation first = makeToast("in a view", 0);
        first.onDismiss = [journal = m_journal, &controller, area, inner = makeToast("inner", 0)] {
            journal->events.append("in a view dismissed");
            controller.presentInView(inner, area);
        };
        controller.presentInView(first, area);
        QCOMPARE(controller.view()->parentWidget(), area);
        controller.presentInView(makeToast("next", 0), area);
        QCOMPARE(m_journal->count("in a view dismissed"), 1);
        QVERIFY(!toastLabel(area, "in a view"));
        QVERIFY(toastLabel(area, "inner") || toastLabel(area, "next"));
        play(400);
        controller.dismissCurrent();
        play(400);
        QTRY_VERIFY(!controller.isPresenting());
        for (const QString name : {"in a view", "inner", "next"})
            QCOMPARE(m_journal->count(name + " dismissed"), 1);
    }

    void withNowhereToShowIt_aToastIsGivenUpAtOnce()
    {
        auto* window = new QWidget;
        QPointer<QWidget> guard(window);
        delete window;
        auto task = WindowToastPresenter::handle(guard, makeToast("lost", 0));
        QTRY_VERIFY(task.isReady());
        QVERIFY(m_journal->events.isEmpty()); // a window gone before: nothing at all

        ToastsConfiguration::shared();
        auto& selector = defaultToastPresentationContextSelector();
        const ToastPresentationContextSelector saved = selector;
        selector.selector = [](PlatformIdiom, PresentationContext::Pointer) -> QCoro::Task<PresentationContext::Pointer> {
            co_return PresentationContext::Pointer();
        };
        QWidget other;
        activate(&other, {200, 100});
        toastScheduler(&other).enqueue(makeToast("a", 0));
        toastScheduler(&other).enqueue(makeToast("b", 0));
        QTRY_COMPARE(m_journal->events, (QStringList{"a presented", "a dismissed", "b presented", "b dismissed"}));
        selector = saved;
    }

    void theDefaultPresentingWindowIsTheLastVisibleNormalOne()
    {
        QCOMPARE(defaultPresentingWindow(), nullptr);
        QWidget first;
        activate(&first, {200, 200});
        QCOMPARE(defaultPresentingWindow(), &first);

        QWidget second;
        second.resize(200, 200);
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        // Later in the list wins, even over the main window.
        QCOMPARE(defaultPresentingWindow(), &second);

        QWidget tool(nullptr, Qt::Tool);
        tool.show();
        QWidget floating;
        WindowLevel::setOverride(&floating, WindowLevel::floating);
        floating.show();
        QDialog sheet(&first, Qt::Sheet);
        sheet.setWindowModality(Qt::WindowModal);
        sheet.show();
        QCOMPARE(defaultPresentingWindow(), &second);

        second.showMinimized();
        QTRY_VERIFY(second.isMinimized());
        QCOMPARE(defaultPresentingWindow(), &first);
        first.hide();
        QCOMPARE(defaultPresentingWindow(), nullptr);
        QCOMPARE(defaultToastPresenter(), nullptr);
    }
};

QTEST_MAIN(ToastEngineTest)
#include "ToastEngineTest.moc"

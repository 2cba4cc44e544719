#include "toasts/engine/FallbackStateObject.h"
#include "toasts/engine/ModifierFallbacks.h"
#include "toasts/presenters/NSWindowToastPresenterReaderModifier.h"
#include "toasts/interface/PresentationBoundState.h"
#include "toasts/presenters/WindowToastPresenter.h"

#include "platform/ApplicationEventRelay.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QWidget>

#include <memory>
#include <vector>

namespace {
// An observable object as the toast views keep them.
class Counter : public QObject {
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
public:
    int value() const { return m_value; }
    void setValue(int value)
    {
        if (value == m_value)
            return;
        m_value = value;
        emit valueChanged();
    }
signals:
    void valueChanged();

private:
    int m_value = 0;
};
} // namespace

class ToastFallbacksTest : public QObject {
    Q_OBJECT

    void activate(QWidget* window)
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QTRY_COMPARE(QApplication::activeWindow(), window);
    }

private slots:
    void theReaderFollowsItsViewFromWindowToWindow()
    {
        QWidget a;
        QWidget b;
        a.show();
        b.show();
        auto* holder = new QWidget(&a);
        auto* view = new QWidget(holder);
        ToastPresenterProxy proxy;
        int writes = 0;
        Binding<ToastPresenterProxy> binding([&proxy] { return proxy; },
            [&proxy, &writes](ToastPresenterProxy value) {
                proxy = value;
                ++writes;
            });
        auto* modifier = windowToastPresenterReader(view, binding);
        QCOMPARE(writes, 0); // nothing on creation
        modifier->reader()->update();
        QCOMPARE(proxy.toastPresenter(), static_cast<ToastPresenting*>(WindowToastPresenter::of(&a)));
        QCOMPARE(writes, 1);

        holder->setParent(&b); // an ancestor moves the view along
        QCOMPARE(proxy.toastPresenter(), static_cast<ToastPresenting*>(WindowToastPresenter::of(&b)));
        QCOMPARE(writes, 2);
        modifier->reader()->update();
        holder->show();
        QCOMPARE(writes, 2);

        holder->setParent(nullptr);
        QVERIFY(!proxy.hasPresenter());
        QCOMPARE(writes, 3);
        delete holder;
    }

    void aStateObjectIsMadeOnceAndRelaysItsChanges()
    {
        int made = 0;
        FallbackStateObject<Counter> state([&made] {
            ++made;
            return std::make_unique<Counter>();
        });
        QCOMPARE(made, 0);
        Counter* first = state.wrappedValue();
        QCOMPARE(made, 1);
        int firstCallback = 0;
        int secondCallback = 0;
        first->setValue(1); // before any update: nobody to tell
        state.update([&firstCallback] { ++firstCallback; });
        QCOMPARE(state.wrappedValue(), first);
        first->setValue(2);
        QCOMPARE(firstCallback, 1);
        state.update([&secondCallback] { ++secondCallback; });
        first->setValue(3);
        QCOMPARE(firstCallback, 1);
        QCOMPARE(secondCallback, 1);

        state.update(QUuid::createUuid(), [] {});
        QCOMPARE(made, 2);
        QVERIFY(state.wrappedValue() != nullptr);
    }

    void boundStateGoesWithTheSheetItWasSeenIn()
    {
        QWidget window;
        activate(&window);
        auto* sheet = new QDialog(&window, Qt::Sheet);
        sheet->setWindowModality(Qt::WindowModal);
        auto* view = new QWidget(sheet);
        int cancelled = 0;
        PresentationBoundState<std::vector<AnyCancellable>> tokens(view, [] { return std::vector<AnyCancellable>{}; });
        sheet->show();
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        tokens.wrappedValue().emplace_back([&cancelled] { ++cancelled; });
        QVERIFY(tokens.wasPresented());

        sheet->hide();
        QVERIFY(tokens.hasValue()); // not during the hide itself
        QCOMPARE(cancelled, 0);
        QTRY_VERIFY(!tokens.hasValue());
        QCOMPARE(cancelled, 1);
        QVERIFY(tokens.wrappedValue().empty()); // a read makes a fresh one,
        tokens.wrappedValue().emplace_back([&cancelled] { ++cancelled; });
        tokens.update(); // which the next update drops again, one turn later
        QVERIFY(tokens.hasValue());
        QTRY_VERIFY(!tokens.hasValue());
        QCOMPARE(cancelled, 2);
        sheet->show(); // presented again: made and kept
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        tokens.update();
        QVERIFY(tokens.hasValue());
        QCoreApplication::processEvents();
        QVERIFY(tokens.hasValue());
        delete sheet;

        // Never presented: kept however the view comes and goes.
        auto* plain = new QWidget(&window);
        PresentationBoundState<int> kept(plain, [] { return 7; });
        kept.setWrappedValue(8);
        plain->show();
        plain->hide();
        kept.update();
        QCoreApplication::processEvents();
        QCOMPARE(kept.wrappedValue(), 8);
    }

    void changesAreReportedOnlyWhenTheValueDiffers()
    {
        QList<int> seen;
        OnChangeFallbackModifier<int> modifier(1, [&seen](const int& value) { seen.append(value); });
        modifier.setValue(1);
        modifier.setValue(2);
        modifier.setValue(2);
        modifier.setValue(1);
        QCOMPARE(seen, (QList<int>{2, 1}));
    }

    void hoverReportsEntryAndExit()
    {
        QWidget view;
        QList<bool> seen;
        new OnHoverFallbackModifier(&view, [&seen](bool hovering) { seen.append(hovering); });
        QEvent enter(QEvent::Enter);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&view, &enter);
        QCoreApplication::sendEvent(&view, &leave);
        QCOMPARE(seen, (QList<bool>{true, false}));
    }

    void aWindowStaysMainWhileItsSheetIsActive()
    {
        auto* relay = ApplicationEventRelay::instance();
        QWidget window;
        activate(&window);
        QTRY_COMPARE(relay->mainWindow(), &window);
        QList<QWidget*> resigned;
        connect(relay, &ApplicationEventRelay::windowDidResignMain, &window,
            [&resigned](QWidget* resigning) { resigned.append(resigning); });
        QDialog sheet(&window, Qt::Sheet);
        sheet.setWindowModality(Qt::WindowModal);
        activate(&sheet);
        QCoreApplication::processEvents();
        QCOMPARE(relay->mainWindow(), &window);
        QVERIFY(resigned.isEmpty());
        // Its closing hands the window back, even with nothing active after it.
        sheet.close();
        QCoreApplication::processEvents();
        QCOMPARE(relay->mainWindow(), &window);
        QVERIFY(resigned.isEmpty());

        QWidget other;
        activate(&other);
        QTRY_COMPARE(relay->mainWindow(), &other);
        QCOMPARE(resigned, QList<QWidget*>{&window});
    }
};

QTEST_MAIN(ToastFallbacksTest)
#include "ToastFallbacksTest.moc"

#pragma once

#include "toasts/presenters/ToastPresenterProxy.h"

#include "platform/Binding.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// Reports the window a widget is in: when the widget, or any widget above
// it, moves into another window or out of every window, and when the widget
// is shown. update() reports the current window at once. Main thread only.
class WindowReader : public QObject {
    Q_OBJECT
public:
    using Reader = std::function<void(QWidget* window)>;

    // Does not report on creation.
    WindowReader(QWidget* target, Reader reader);

    void setReader(Reader reader) { m_reader = std::move(reader); }
    void update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchAncestors();
    void report();

    QPointer<QWidget> m_target;
    Reader m_reader;
    QList<QPointer<QWidget>> m_watched;
};

// Writes the presenter of the window a view is in into a binding, so that
// the view's toasts go to its own window. The binding is written only when
// the window changes (presenters compare by identity), so reports of the
// same window change nothing.
class NSWindowToastPresenterReaderModifier : public QObject {
    Q_OBJECT
public:
    NSWindowToastPresenterReaderModifier(QWidget* content, Binding<ToastPresenterProxy> toastPresenter);

    WindowReader* reader() const { return m_reader; }
    // The window-report step: the presenter of `window`, or none.
    void windowDidChange(QWidget* window);

private:
    Binding<ToastPresenterProxy> m_toastPresenter;
    WindowReader* m_reader;
};

// Attaches the modifier to `content` (which owns it) and returns it.
NSWindowToastPresenterReaderModifier* windowToastPresenterReader(
    QWidget* content, Binding<ToastPresenterProxy> toastPresenter);

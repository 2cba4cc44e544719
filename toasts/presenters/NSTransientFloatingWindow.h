#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class ViewController;

// The transparent layer a toast is shown in over a window: a child widget
// laid over the presenting window's whole area, or over the sheet attached to
// it when there is one. It follows that area's size, stays above its
// content, and takes input only where its content (the toast) is, so clicks
// beside the toast reach the window. Made afresh for every toast by the
// hosting controller, whose view it holds.
//
// Detached when the presenting window resigns main, and attached again when
// it becomes main once more, so that a toast still on screen is never lost
// out of sight: over the same sheet if that is still up, else over the
// window, never over a sheet opened since. When the sheet it lies over
// closes it moves back to the window. Main thread only.
class NSTransientFloatingWindow : public QWidget {
    Q_OBJECT
public:
    // A window whose content is the controller's view, loaded by then.
    static NSTransientFloatingWindow* windowWithContentViewController(ViewController* controller);
    ~NSTransientFloatingWindow() override;

    QWidget* presentingWindow() const { return m_presentingWindow; }
    void setPresentingWindow(QWidget* window) { m_presentingWindow = window; }
    bool isShown() const { return m_isShown; }
    // The floating window level; it stays above the window it lies over.
    int level() const;
    // The widget it lies over while shown: the presenting window or its sheet.
    QWidget* attachedParent() const { return m_isShown ? parentWidget() : nullptr; }

    // Takes the presenting window's size and starts following it.
    void setUp(QWidget* presentingWindow);
    // Attaches over the presenting window (or its sheet) and shows; does
    // nothing while shown or once the presenting window has gone.
    void show();
    // Takes the window off its parent; does nothing when not shown.
    void detach();

    // Told when the presenting window closes, hides or goes while a toast
    // shows, and when the window is destroyed with the widget it lay over.
    void setOnPresentingWindowGone(std::function<void()> callback) { m_onGone = std::move(callback); }

    // Where input is taken: the region of the content that shows a toast.
    void setInputRegion(const QRegion& region);

signals:
    // It lies over another widget now (the window or its sheet): what it
    // holds lays itself out anew there.
    void attached();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit NSTransientFloatingWindow(ViewController* controller);
    void attachTo(QWidget* parent);
    void followParent();
    void presentingWindowGone();

    QPointer<QWidget> m_presentingWindow;
    QPointer<ViewController> m_controller;
    QPointer<QWidget> m_watchedParent;
    // What it lay over last, kept while detached.
    QPointer<QWidget> m_lastParent;
    bool m_wasShown = false;
    bool m_isShown = false;
    bool m_detachedByResign = false;
    bool m_raisePending = false;
    std::function<void()> m_onGone;
};

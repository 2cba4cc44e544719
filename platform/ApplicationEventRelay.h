#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

class QWidget;

// The application's and its windows' notifications, relayed from one
// application-wide event filter: whoever needs to know when the application
// becomes active or when some window closes, is minimised, becomes the active
// window, resizes or moves connects here instead of filtering events itself.
// Window signals carry the top-level widget concerned. Main thread only.
class ApplicationEventRelay : public QObject {
    Q_OBJECT
public:
    // The one relay, installed on first use.
    static ApplicationEventRelay* instance();

    bool isApplicationActive() const { return m_applicationActive; }
    // The main window: the active window, or the window whose sheet is active
    // (a sheet is part of its window). A tool window or popup taking the focus
    // leaves the main window as it was, and so does a sheet of it closing
    // while the window system activates nothing after it. None when the focus
    // otherwise leaves the main window for no window at all.
    QWidget* mainWindow() const { return m_mainWindow; }

signals:
    void applicationDidBecomeActive();
    void applicationWillResignActive();
    // An accepted close: the window is being hidden (and maybe deleted).
    void windowWillClose(QWidget* window);
    void windowDidMiniaturize(QWidget* window);
    void windowDidDeminiaturize(QWidget* window);
    // Any window, sheets and tool windows included, that becomes active.
    void windowDidBecomeKey(QWidget* window);
    void windowDidBecomeMain(QWidget* window);
    void windowDidResignMain(QWidget* window);
    void windowDidResize(QWidget* window);
    void windowDidMove(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ApplicationEventRelay(QObject* parent);
    void applicationStateChanged(bool active);
    void windowActivated(QWidget* window);
    void windowDeactivated(QWidget* window);

    bool m_applicationActive = false;
    // Windows that received a close event; their following hide is the close.
    QSet<QWidget*> m_closing;
    QPointer<QWidget> m_mainWindow;
};

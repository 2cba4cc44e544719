#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

class QWidget;

// The window system's close request for a window that a sheet or alert
// blocks. Qt drops such a request before any widget sees it, so the window's
// close control would do nothing at all; this filter sees it first (under
// X11) and reports it. Main thread only.
class BlockedWindowClose : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // The one filter, installed on first use.
    static BlockedWindowClose* instance();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The X atoms WM_PROTOCOLS and WM_DELETE_WINDOW, for tests; otherwise
    // they are asked of the X server once.
    void setAtomsForTesting(quint32 protocols, quint32 deleteWindow);

    // Whether a shown modal window (a sheet of it, an alert) blocks `window`.
    static bool isBlocked(const QWidget* window);

signals:
    void closeRequested(QWidget* window);

private:
    explicit BlockedWindowClose(QObject* parent);
    bool resolveAtoms();

    quint32 m_protocols = 0;
    quint32 m_deleteWindow = 0;
    bool m_resolved = false;
};

#include "platform/BlockedWindowClose.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <cstdlib>
#include <cstring>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

BlockedWindowClose::BlockedWindowClose(QObject* parent) : QObject(parent) {}

BlockedWindowClose* BlockedWindowClose::instance()
{
    static BlockedWindowClose* filter = [] {
        auto* created = new BlockedWindowClose(QCoreApplication::instance());
        QCoreApplication::instance()->installNativeEventFilter(created);
        return created;
    }();
    return filter;
}

void BlockedWindowClose::setAtomsForTesting(quint32 protocols, quint32 deleteWindow)
{
    m_protocols = protocols;
    m_deleteWindow = deleteWindow;
    m_resolved = true;
}

bool BlockedWindowClose::isBlocked(const QWidget* window)
{
    if (!window)
        return false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget* other : windows) {
        if (other == window || !other->isVisible() || other->windowModality() == Qt::NonModal)
            continue;
        if (other->windowModality() == Qt::ApplicationModal)
            return true;
        for (const QWidget* owner = other->parentWidget(); owner; owner = owner->parentWidget()) {
            if (owner->window() == window)
                return true;
        }
    }
    return false;
}

bool BlockedWindowClose::resolveAtoms()
{
    if (m_resolved)
        return m_deleteWindow != 0;
    m_resolved = true;
#if QT_CONFIG(xcb)
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const auto intern = [connection](const char* name) -> quint32 {
        const xcb_intern_atom_cookie_t cookie
            = xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const quint32 atom = reply ? reply->atom : 0;
        std::free(reply);
        return atom;
    };
    m_protocols = intern("WM_PROTOCOLS");
    m_deleteWindow = intern("WM_DELETE_WINDOW");
#endif
    return m_deleteWindow != 0;
}

bool BlockedWindowClose::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
#if QT_CONFIG(xcb)
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE || !resolveAtoms())
        return false;
    const auto* request = static_cast<const xcb_client_message_event_t*>(message);
    if (request->format != 32 || request->type != m_protocols || request->data.data32[0] != m_deleteWindow)
        return false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->internalWinId() == request->window && isBlocked(window)) {
            emit closeRequested(window);
            return true;
        }
    }
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
#endif
    return false;
}

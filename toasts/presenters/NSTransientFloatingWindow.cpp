#include "toasts/presenters/NSTransientFloatingWindow.h"

#include "platform/ApplicationEventRelay.h"
#include "platform/ViewController.h"
#include "platform/WindowHierarchy.h"
#include "platform/WindowLevel.h"

#include <QEvent>
#include <QTimer>

NSTransientFloatingWindow* NSTransientFloatingWindow::windowWithContentViewController(ViewController* controller)
{
    return new NSTransientFloatingWindow(controller);
}

NSTransientFloatingWindow::NSTransientFloatingWindow(ViewController* controller)
    : QWidget(nullptr)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("NSTransientFloatingWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    if (QWidget* content = controller ? controller->view() : nullptr) {
        content->setParent(this);
        content->setGeometry(rect());
        content->setVisible(true);
    }
}

NSTransientFloatingWindow::~NSTransientFloatingWindow()
{
    // Runs before the widget deletes its children: when it goes with the
    // widget it lay over, the controller's view is taken out first, so it
    // never dangles, and the toast is ended.
    if (m_controller && m_controller->view() && m_controller->view()->parentWidget() == this) {
        m_controller->view()->hide();
        m_controller->view()->setParent(nullptr);
        if (m_isShown && m_onGone) {
            m_isShown = false;
            auto callback = std::move(m_onGone);
            callback();
        }
    }
}

int NSTransientFloatingWindow::level() const
{
    return WindowLevel::floating;
}

void NSTransientFloatingWindow::setUp(QWidget* presentingWindow)
{
    m_presentingWindow = presentingWindow;
    if (presentingWindow)
        resize(presentingWindow->size());

    auto* relay = ApplicationEventRelay::instance();
    connect(relay, &ApplicationEventRelay::windowDidBecomeKey, this, [this] {
        if (m_isShown)
            raise();
    });
    connect(relay, &ApplicationEventRelay::windowDidResize, this, [this](QWidget* window) {
        if (m_isShown && window && window == m_presentingWindow)
            followParent();
    });
    connect(relay, &ApplicationEventRelay::windowDidResignMain, this, [this](QWidget* window) {
        if (m_isShown && window && window == m_presentingWindow) {
            detach();
            m_detachedByResign = true;
        }
    });
    connect(relay, &ApplicationEventRelay::windowDidBecomeMain, this, [this](QWidget* window) {
        if (m_detachedByResign && window && window == m_presentingWindow) {
            m_detachedByResign = false;
            show();
        }
    });
    connect(relay, &ApplicationEventRelay::windowWillClose, this, [this](QWidget* window) {
        if (window && window == m_presentingWindow)
            presentingWindowGone();
    });
}

void NSTransientFloatingWindow::show()
{
    if (!m_presentingWindow || m_isShown)
        return;
    // The first time over the window's sheet, when it has one. Shown again
    // after a detach, it goes back over what it lay over: that sheet while
    // it is still up, else the window. A sheet opened since belongs to other
    // toasts, so one whose sheet has closed never shows up over the next.
    QWidget* parent = m_presentingWindow;
    if (!m_wasShown) {
        if (QWidget* sheet = WindowHierarchy::attachedSheet(m_presentingWindow))
            parent = sheet;
    } else if (m_lastParent && WindowHierarchy::sheets(m_presentingWindow).contains(m_lastParent.data())) {
        parent = m_lastParent;
    }
    attachTo(parent);
}

void NSTransientFloatingWindow::attachTo(QWidget* parent)
{
    if (m_watchedParent)
        m_watchedParent->removeEventFilter(this);
    if (m_presentingWindow)
        m_presentingWindow->removeEventFilter(this);
    setParent(parent);
    m_watchedParent = parent;
    m_lastParent = parent;
    m_wasShown = true;
    parent->installEventFilter(this);
    if (m_presentingWindow && m_presentingWindow != parent)
        m_presentingWindow->installEventFilter(this);
    m_isShown = true;
    followParent();
    setVisible(true);
    raise();
    emit attached();
}

void NSTransientFloatingWindow::followParent()
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    setGeometry(parent->rect());
    if (m_controller && m_controller->view())
        m_controller->view()->setGeometry(rect());
    raise();
}

void NSTransientFloatingWindow::detach()
{
    m_detachedByResign = false;
    if (!m_isShown)
        return;
    m_isShown = false;
    if (m_watchedParent)
        m_watchedParent->removeEventFilter(this);
    if (m_presentingWindow)
        m_presentingWindow->removeEventFilter(this);
    m_watchedParent = nullptr;
    hide();
    setParent(nullptr);
}

void NSTransientFloatingWindow::setInputRegion(const QRegion& region)
{
    // The mask limits both input and painting to where the toast is, which
    // is all this window ever draws. An empty mask would mean no mask at all,
    // so nothing to show becomes a mask beside the window.
    setMask(region.isEmpty() ? QRegion(-2, -2, 1, 1) : region);
}

void NSTransientFloatingWindow::presentingWindowGone()
{
    if (!m_isShown && !m_detachedByResign)
        return;
    detach();
    if (auto callback = m_onGone)
        callback();
}

bool NSTransientFloatingWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A hide the window system reports (a minimised window) is no close:
    // the window comes back, and so does the toast with it.
    if (event->type() == QEvent::Hide && event->spontaneous())
        return false;
    if (watched == m_presentingWindow && watched != m_watchedParent) {
        if (event->type() == QEvent::Hide)
            presentingWindowGone();
        return false;
    }
    if (watched != m_watchedParent)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
        followParent();
        break;
    case QEvent::ChildAdded:
        // Something added over the window later would cover the toast.
        if (!m_raisePending) {
            m_raisePending = true;
            QTimer::singleShot(0, this, [this] {
                m_raisePending = false;
                if (m_isShown)
                    raise();
            });
        }
        break;
    case QEvent::Hide:
        if (watched == m_presentingWindow) {
            presentingWindowGone();
        } else if (m_presentingWindow && !WindowHierarchy::isOutOfSight(m_presentingWindow)) {
            // The sheet closes: the toast goes back to its window before the
            // sheet hides (and maybe deletes) what it holds.
            attachTo(m_presentingWindow);
        } else {
            presentingWindowGone();
        }
        break;
    default:
        break;
    }
    return false;
}

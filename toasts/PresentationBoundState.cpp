#include "toasts/PresentationBoundState.h"

#include "platform/WindowHierarchy.h"

#include <QDialog>
#include <QEvent>

PresentationWatcher::PresentationWatcher(QWidget* view)
    : QObject(view)
    , m_view(view)
{
    if (view)
        view->installEventFilter(this);
    watchWindow();
}

void PresentationWatcher::watchWindow()
{
    QWidget* window = m_view ? m_view->window() : nullptr;
    if (window == m_window)
        return;
    if (m_window && m_window != m_view)
        m_window->removeEventFilter(this);
    m_window = window;
    if (m_window && m_window != m_view)
        m_window->installEventFilter(this);
}

bool PresentationWatcher::isPresented() const
{
    if (!m_window || !m_window->isVisible())
        return false;
    return WindowHierarchy::isSheet(m_window) || qobject_cast<const QDialog*>(m_window.data());
}

bool PresentationWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::ParentChange)
        watchWindow();
    if (watched == m_window && (event->type() == QEvent::Hide || event->type() == QEvent::Close))
        emit presentationEnded();
    return false;
}

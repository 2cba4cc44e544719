#include "toasts/presenters/NSWindowToastPresenterReaderModifier.h"

#include "toasts/presenters/WindowToastPresenter.h"

#include <QEvent>
#include <QWidget>

WindowReader::WindowReader(QWidget* target, Reader reader)
    : QObject(target)
    , m_target(target)
    , m_reader(std::move(reader))
{
    watchAncestors();
}

void WindowReader::watchAncestors()
{
    for (const auto& widget : std::as_const(m_watched)) {
        if (widget)
            widget->removeEventFilter(this);
    }
    m_watched.clear();
    for (QWidget* widget = m_target; widget; widget = widget->parentWidget()) {
        widget->installEventFilter(this);
        m_watched.append(widget);
        if (widget->isWindow())
            break;
    }
}

void WindowReader::update()
{
    report();
}

void WindowReader::report()
{
    if (!m_reader || !m_target)
        return;
    // A hidden top-level widget holds no window a toast could show over;
    // the target reports again when it is shown.
    QWidget* window = m_target->window();
    if (!window->isVisible())
        window = nullptr;
    m_reader(window);
}

bool WindowReader::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ParentChange:
        watchAncestors();
        report();
        break;
    case QEvent::Show:
        if (watched == m_target)
            report();
        break;
    default:
        break;
    }
    return false;
}

NSWindowToastPresenterReaderModifier::NSWindowToastPresenterReaderModifier(
    QWidget* content, Binding<ToastPresenterProxy> toastPresenter)
    : QObject(content)
    , m_toastPresenter(std::move(toastPresenter))
    , m_reader(new WindowReader(content, [this](QWidget* window) { windowDidChange(window); }))
{
}

void NSWindowToastPresenterReaderModifier::windowDidChange(QWidget* window)
{
    const ToastPresenterProxy proxy(window ? WindowToastPresenter::of(window) : nullptr);
    if (m_toastPresenter.get() == proxy)
        return;
    m_toastPresenter.set(proxy);
}

NSWindowToastPresenterReaderModifier* windowToastPresenterReader(
    QWidget* content, Binding<ToastPresenterProxy> toastPresenter)
{
    return content ? new NSWindowToastPresenterReaderModifier(content, std::move(toastPresenter)) : nullptr;
}

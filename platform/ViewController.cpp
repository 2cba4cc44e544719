#include "platform/ViewController.h"

#include "platform/AssociatedStorage.h"

#include <QWidget>

namespace {
const AssociatedProperty<QPointer<ViewController>>& controllerOfView()
{
    static const AssociatedProperty<QPointer<ViewController>> property("platform.viewController");
    return property;
}
} // namespace

ViewController::ViewController(QObject* parent)
    : QObject(parent)
{
}

ViewController::~ViewController()
{
    removeFromParentViewController();
    dismissFromPresenting();
    for (const auto& child : std::as_const(m_children)) {
        if (child)
            child->m_parent = nullptr;
    }
    for (const auto& presented : std::as_const(m_presented)) {
        if (presented)
            presented->m_presenting = nullptr;
    }
    if (m_view) {
        controllerOfView().remove(m_view);
        if (m_ownsView && !m_view->parentWidget())
            delete m_view.data();
    }
}

void ViewController::setView(QWidget* view)
{
    if (m_view == view)
        return;
    if (m_view) {
        controllerOfView().remove(m_view);
        if (m_ownsView && !m_view->parentWidget())
            delete m_view.data();
    }
    m_ownsView = false;
    m_view = view;
    if (view)
        controllerOfView().set(view, QPointer<ViewController>(this));
}

void ViewController::setOwnedView(QWidget* view)
{
    setView(view);
    m_ownsView = view != nullptr;
}

QList<ViewController*> ViewController::live(const QList<QPointer<ViewController>>& list)
{
    QList<ViewController*> result;
    for (const auto& controller : list) {
        if (controller)
            result.append(controller);
    }
    return result;
}

QList<ViewController*> ViewController::childViewControllers() const
{
    return live(m_children);
}

void ViewController::addChildViewController(ViewController* child)
{
    if (!child || child == this || child->m_parent == this)
        return;
    child->removeFromParentViewController();
    child->m_parent = this;
    m_children.append(child);
}

void ViewController::removeFromParentViewController()
{
    if (m_parent)
        m_parent->m_children.removeAll(this);
    m_parent = nullptr;
}

QList<ViewController*> ViewController::presentedViewControllers() const
{
    return live(m_presented);
}

void ViewController::present(ViewController* controller)
{
    if (!controller || controller == this || controller->m_presenting == this)
        return;
    controller->dismissFromPresenting();
    controller->m_presenting = this;
    m_presented.append(controller);
}

void ViewController::dismissFromPresenting()
{
    if (m_presenting)
        m_presenting->m_presented.removeAll(this);
    m_presenting = nullptr;
}

ViewController* ViewController::forView(const QWidget* view)
{
    return controllerOfView().value(view, nullptr);
}

ViewController* ViewController::contentViewController(const QWidget* window)
{
    return window && window->isWindow() ? forView(window) : nullptr;
}

#include "toasts/styles/ToastButtonStyleScope.h"

#include "toasts/styles/ToastButtonStyle.h"

#include "platform/ColorSchemeWatcher.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QWidget>

ToastButtonStyleScope::ToastButtonStyleScope(QWidget* root, SchemeColor accentColor)
    : QObject(root)
    , m_accentColor(std::move(accentColor))
{
    enter(root);
    // The buttons' style sheets keep palette changes from them: the scope
    // hears of a new scheme for them.
    onColorSchemeChange(root, [root](ColorScheme) {
        for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
            if (ToastButtonStyle* style = ToastButtonStyle::of(button))
                style->restyle();
        }
    });
}

void ToastButtonStyleScope::enter(QWidget* widget)
{
    widget->installEventFilter(this);
    adopt(widget);
    for (QWidget* child : widget->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        enter(child);
}

void ToastButtonStyleScope::leave(QObject* object)
{
    // Only QObject's own members: a child being deleted leaves its parent
    // when nothing of its widget is left.
    object->removeEventFilter(this);
    for (QObject* child : object->children())
        leave(child);
}

void ToastButtonStyleScope::adopt(QObject* object)
{
    auto* button = qobject_cast<QAbstractButton*>(object);
    if (button && !ToastButtonStyle::of(button))
        new ToastButtonStyle(button, m_accentColor);
}

bool ToastButtonStyleScope::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded: {
        // A widget made with a parent arrives here from QWidget's own
        // constructor, before it is a button: it is watched now and styled
        // when it is polished, which every widget is before it shows. One
        // made apart and put in arrives whole.
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType())
            enter(static_cast<QWidget*>(child));
        break;
    }
    case QEvent::ChildPolished:
        adopt(static_cast<QChildEvent*>(event)->child());
        break;
    case QEvent::ChildRemoved:
        leave(static_cast<QChildEvent*>(event)->child());
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

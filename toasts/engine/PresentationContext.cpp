#include "toasts/engine/PresentationContext.h"

#include "platform/ViewController.h"
#include "platform/WindowHierarchy.h"
#include "platform/WindowLevel.h"

#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

#include <array>
#include <utility>

namespace {
constexpr std::array<std::pair<PresentationContext::Attribute, const char*>, 10> attributeNames{{
    {PresentationContext::Attribute::view, "view"},
    {PresentationContext::Attribute::menu, "menu"},
    {PresentationContext::Attribute::sheet, "sheet"},
    {PresentationContext::Attribute::alert, "alert"},
    {PresentationContext::Attribute::popover, "popover"},
    {PresentationContext::Attribute::modal, "modal"},
    {PresentationContext::Attribute::window, "window"},
    {PresentationContext::Attribute::container, "container"},
    {PresentationContext::Attribute::discardable, "discardable"},
    {PresentationContext::Attribute::semantic, "semantic"},
}};

bool classNameContains(const QWidget* window, const char* fragment)
{
    for (const QMetaObject* meta = window->metaObject(); meta; meta = meta->superClass()) {
        if (QByteArrayView(meta->className()).contains(fragment))
            return true;
    }
    return false;
}

bool isPopover(const QWidget* window)
{
    if (classNameContains(window, "Popover"))
        return true;
    return window->windowType() == Qt::Popup && !qobject_cast<const QMenu*>(window);
}

bool isAlert(const QWidget* window)
{
    return qobject_cast<const QMessageBox*>(window) || classNameContains(window, "Alert");
}

QWidget* contentView(QWidget* window)
{
    if (auto* mainWindow = qobject_cast<QMainWindow*>(window); mainWindow && mainWindow->centralWidget())
        return mainWindow->centralWidget();
    return window;
}
} // namespace

PresentationContext::PresentationContext(OwnerKind kind, QObject* owner, Attributes attributes,
    std::vector<Pointer> siblings, std::vector<Pointer> children, ParentFunction parent)
    : m_ownerKind(kind)
    , m_owner(owner)
    , m_attributes(std::move(attributes))
    , m_siblings(std::move(siblings))
    , m_children(std::move(children))
    , m_parent(std::move(parent))
{
}

QString PresentationContext::rawValue(Attribute attribute)
{
    for (const auto& [candidate, name] : attributeNames) {
        if (candidate == attribute)
            return QString::fromLatin1(name);
    }
    return {};
}

std::optional<PresentationContext::Attribute> PresentationContext::attribute(QStringView rawValue)
{
    for (const auto& [candidate, name] : attributeNames) {
        if (rawValue == QLatin1StringView(name))
            return candidate;
    }
    return std::nullopt;
}

QWidget* PresentationContext::window() const
{
    return m_ownerKind == OwnerKind::window ? qobject_cast<QWidget*>(m_owner.data()) : nullptr;
}

ViewController* PresentationContext::viewController() const
{
    return m_ownerKind == OwnerKind::viewController ? qobject_cast<ViewController*>(m_owner.data()) : nullptr;
}

QWidget* PresentationContext::view() const
{
    return m_ownerKind == OwnerKind::view ? qobject_cast<QWidget*>(m_owner.data()) : nullptr;
}

PresentationContext::Attributes PresentationContext::windowAttributes(const QWidget* window)
{
    Attributes attributes{Attribute::window, Attribute::container};
    if (!window)
        return attributes;
    if (WindowHierarchy::isSheet(window)) {
        attributes.insert(Attribute::modal);
        attributes.insert(Attribute::sheet);
    }
    if (isPopover(window))
        attributes.insert(Attribute::popover);
    if (isAlert(window))
        attributes.insert(Attribute::alert);
    switch (WindowLevel::of(window)) {
    case 3:
    case 24:
    case 101:
        attributes.insert(Attribute::menu);
        break;
    case 8:
        attributes.insert(Attribute::modal);
        break;
    case 20:
    case 25:
    case 1000:
        attributes.insert(Attribute::discardable);
        break;
    default:
        break;
    }
    return attributes;
}

PresentationContext::Pointer PresentationContext::forWindow(QWidget* window)
{
    return makeWindowContext(window, true);
}

PresentationContext::Pointer PresentationContext::makeWindowContext(QWidget* window, bool withSiblings)
{
    if (!window)
        return nullptr;

    std::vector<Pointer> siblings;
    QWidget* parentWindow = WindowHierarchy::parentWindow(window);
    if (withSiblings && parentWindow) {
        for (QWidget* other : WindowHierarchy::applicationWindows()) {
            if (other != window && WindowHierarchy::parentWindow(other) == parentWindow)
                siblings.push_back(makeWindowContext(other, false));
        }
    }

    // Windows hanging from this one, then its sheets and child windows;
    // in Qt all three are top-level widgets whose parent window is this one.
    QList<QWidget*> collected;
    const auto collect = [&collected, window](const QList<QWidget*>& windows) {
        for (QWidget* candidate : windows) {
            if (candidate != window && !collected.contains(candidate))
                collected.append(candidate);
        }
    };
    collect(WindowHierarchy::childWindows(window));
    collect(WindowHierarchy::sheets(window));
    std::vector<Pointer> children;
    for (QWidget* child : std::as_const(collected))
        children.push_back(makeWindowContext(child, false));
    if (ViewController* controller = ViewController::contentViewController(window))
        children.push_back(forViewController(controller));
    else if (QWidget* content = contentView(window))
        children.push_back(forView(content));

    ParentFunction parent = [guarded = QPointer<QWidget>(window)]() -> Pointer {
        if (!guarded)
            return nullptr;
        return forWindow(WindowHierarchy::parentWindow(guarded));
    };
    return std::make_shared<PresentationContext>(OwnerKind::window, window, windowAttributes(window),
        std::move(siblings), std::move(children), std::move(parent));
}

PresentationContext::Pointer PresentationContext::forViewController(ViewController* controller)
{
    if (!controller)
        return nullptr;
    Attributes attributes{Attribute::container};
    if (controller->presentingViewController())
        attributes.insert(Attribute::modal);
    std::vector<Pointer> children;
    if (auto viewContext = forView(controller->view()))
        children.push_back(std::move(viewContext));
    for (ViewController* presented : controller->presentedViewControllers())
        children.push_back(forViewController(presented));

    ParentFunction parent = [guarded = QPointer<ViewController>(controller)]() -> Pointer {
        if (!guarded)
            return nullptr;
        if (ViewController* presenting = guarded->presentingViewController())
            return forViewController(presenting);
        QWidget* view = guarded->view();
        return view ? forWindow(view->window()) : nullptr;
    };
    return std::make_shared<PresentationContext>(OwnerKind::viewController, controller, std::move(attributes),
        std::vector<Pointer>{}, std::move(children), std::move(parent));
}

PresentationContext::Pointer PresentationContext::forView(QWidget* view)
{
    if (!view)
        return nullptr;
    return std::make_shared<PresentationContext>(
        OwnerKind::view, view, Attributes{Attribute::view}, std::vector<Pointer>{}, std::vector<Pointer>{}, nullptr);
}

namespace {
QCoro::Task<PresentationContext::Pointer> selectDefault(PlatformIdiom, PresentationContext::Pointer context)
{
    co_return ToastPresentationContextSelector::resolve(std::move(context));
}
} // namespace

QCoro::Task<PresentationContext::Pointer> ToastPresentationContextSelector::operator()(
    PlatformIdiom idiom, PresentationContext::Pointer context) const
{
    if (!selector)
        return selectDefault(idiom, std::move(context));
    return selector(idiom, std::move(context));
}

PresentationContext::Pointer ToastPresentationContextSelector::resolve(PresentationContext::Pointer context)
{
    if (!context)
        return nullptr;
    for (;;) {
        PresentationContext::Pointer parent = context->parent();
        if (!parent || parent->attributes().contains(PresentationContext::Attribute::discardable))
            return context;
        context = std::move(parent);
    }
}

ToastPresentationContextSelector ToastPresentationContextSelector::defaultSelector()
{
    return ToastPresentationContextSelector{&selectDefault};
}

ToastPresentationContextSelector& defaultToastPresentationContextSelector()
{
    static ToastPresentationContextSelector selector = ToastPresentationContextSelector::defaultSelector();
    return selector;
}

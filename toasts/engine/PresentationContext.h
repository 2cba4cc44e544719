#pragma once

#include "toasts/values/PlatformIdiom.h"

#include <QCoroTask>
#include <QHashFunctions>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;
class ViewController;

// The windows, sheets, child windows, view controllers and views around a
// window, each marked with attributes from its kind and window level. A
// context selector is given the context of the window asked to show a toast
// and answers the context whose owner shows it. Contexts hold their owners
// weakly and are built afresh for every toast; the parent is built on demand.
// Siblings and children are built without siblings of their own, so that
// windows hanging from one parent never lead from one to the other without
// end. Main thread only.
class PresentationContext {
public:
    enum class Attribute {
        view,
        menu,
        sheet,
        alert,
        popover,
        modal,
        window,
        container,
        discardable,
        semantic,
    };
    using Attributes = QSet<Attribute>;

    enum class OwnerKind {
        window,
        viewController,
        view,
    };

    using Pointer = std::shared_ptr<PresentationContext>;
    using ParentFunction = std::function<Pointer()>;

    PresentationContext(OwnerKind kind, QObject* owner, Attributes attributes, std::vector<Pointer> siblings,
        std::vector<Pointer> children, ParentFunction parent);

    static QString rawValue(Attribute attribute);
    // Raw values are case-sensitive: "Window" is no attribute.
    static std::optional<Attribute> attribute(QStringView rawValue);

    OwnerKind ownerKind() const { return m_ownerKind; }
    // The owner, or nullptr once it has gone.
    QObject* owner() const { return m_owner; }
    QWidget* window() const;
    ViewController* viewController() const;
    QWidget* view() const;

    const Attributes& attributes() const { return m_attributes; }
    const std::vector<Pointer>& siblings() const { return m_siblings; }
    const std::vector<Pointer>& children() const { return m_children; }
    // Built afresh on each call; none when the owner has gone or has no parent.
    Pointer parent() const { return m_parent ? m_parent() : nullptr; }

    // The context of a window with its siblings, children and parent.
    static Pointer forWindow(QWidget* window);
    static Pointer forViewController(ViewController* controller);
    static Pointer forView(QWidget* view);

    static Attributes windowAttributes(const QWidget* window);

private:
    static Pointer makeWindowContext(QWidget* window, bool withSiblings);

    OwnerKind m_ownerKind;
    QPointer<QObject> m_owner;
    Attributes m_attributes;
    std::vector<Pointer> m_siblings;
    std::vector<Pointer> m_children;
    ParentFunction m_parent;
};

inline size_t qHash(PresentationContext::Attribute attribute, size_t seed = 0)
{
    return qHash(PresentationContext::rawValue(attribute), seed);
}

// Chooses where a toast asked of a window is shown.
struct ToastPresentationContextSelector {
    using Function = std::function<QCoro::Task<PresentationContext::Pointer>(
        PlatformIdiom idiom, PresentationContext::Pointer context)>;
    Function selector;

    QCoro::Task<PresentationContext::Pointer> operator()(
        PlatformIdiom idiom, PresentationContext::Pointer context) const;

    // Climbs from the context through its parents and stops before the first
    // discardable one: the farthest ancestor reachable that way.
    static PresentationContext::Pointer resolve(PresentationContext::Pointer context);
    static ToastPresentationContextSelector defaultSelector();
};

// The selector the window presenter asks; the default one unless replaced.
ToastPresentationContextSelector& defaultToastPresentationContextSelector();

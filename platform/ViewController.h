#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// A view controller of our own: an object that owns one view widget
// and knows its place among other controllers, both as a child (containment)
// and as a presented controller (a controller showing another one modally).
// The links never own anything: a controller that goes is dropped from every
// list it was in. The controller whose view is a window is that window's
// content view controller. Main thread only.
class ViewController : public QObject {
    Q_OBJECT
public:
    explicit ViewController(QObject* parent = nullptr);
    ~ViewController() override;

    QWidget* view() const { return m_view; }
    bool isViewLoaded() const { return !m_view.isNull(); }
    // Uses a view that belongs elsewhere (to its widget tree, or a window
    // whose content this controller manages).
    void setView(QWidget* view);
    // Uses a view of the controller's own: deleted with the controller unless
    // a widget tree has taken it by then.
    void setOwnedView(QWidget* view);

    ViewController* parentViewController() const { return m_parent; }
    QList<ViewController*> childViewControllers() const;
    void addChildViewController(ViewController* child);
    void removeFromParentViewController();

    ViewController* presentingViewController() const { return m_presenting; }
    QList<ViewController*> presentedViewControllers() const;
    void present(ViewController* controller);
    // Ends this controller's presentation by its presenting controller.
    void dismissFromPresenting();

    // The controller whose view is `view`, if any.
    static ViewController* forView(const QWidget* view);
    // The controller whose view is the window itself, if any.
    static ViewController* contentViewController(const QWidget* window);

private:
    static QList<ViewController*> live(const QList<QPointer<ViewController>>& list);

    QPointer<QWidget> m_view;
    bool m_ownsView = false;
    QPointer<ViewController> m_parent;
    QList<QPointer<ViewController>> m_children;
    QPointer<ViewController> m_presenting;
    QList<QPointer<ViewController>> m_presented;
};

#pragma once

#include "toasts/values/Edge.h"
#include "toasts/engine/HostedToastContent.h"
#include "toasts/presenters/NSTransientFloatingWindow.h"
#include "toasts/values/ToastAlignment.h"
#include "toasts/engine/ToastPresentation.h"
#include "toasts/animation/ToastTransition.h"

#include "platform/CancellationToken.h"
#include "platform/ViewController.h"

#include <QMarginsF>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

// The transparent view a toast controller lays over its owner. It passes
// input through everywhere but over the toast (see inputRegion()); clicks
// beside a toast reach the window underneath.
class NSPassthroughBackdropView : public QWidget {
    Q_OBJECT
public:
    explicit NSPassthroughBackdropView(QWidget* parent = nullptr);

    // The area of the toast as it is drawn now, transform included.
    QRegion inputRegion() const;

signals:
    void laidOut();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
};

// The widget that holds the toast's content, as the root of the hosting
// controller's own child controller.
class ToastHostingView : public QWidget {
    Q_OBJECT
public:
    explicit ToastHostingView(QWidget* parent = nullptr);

    const HostedToastContent& rootView() const { return m_rootView; }
    // Replaces the hosted content (deleting the previous widget).
    void setRootView(HostedToastContent rootView);
    QWidget* contentWidget() const { return m_content; }

    // The size the content asks for, at most `maximum` wide, its height then
    // taken for that width.
    QSize fittingSize(const QSize& maximum) const;

private:
    HostedToastContent m_rootView;
    QPointer<QWidget> m_content;
};

// One layout rule placing the toast inside its container: an edge flush
// (equal) or kept inside (greater or equal), or a centre equal.
struct AlignmentConstraint {
    enum class Anchor {
        leading,
        top,
        trailing,
        bottom,
        centerX,
        centerY,
    };
    enum class Relation {
        equal,
        greaterThanOrEqual,
    };
    Anchor anchor;
    Relation relation;
    double constant = 0;

    friend bool operator==(const AlignmentConstraint&, const AlignmentConstraint&) = default;
};

// Shows one toast at a time for an owner (a window, a view controller or a
// view): hosts the toast's widget, places it by the presentation's
// alignment, lays itself over the owner (over a window in an
// NSTransientFloatingWindow), plays the insertion transition, waits out the
// duration, plays the removal transition and takes itself out again. One per
// presenting window, reused for every toast there.
//
// Every presentation carries a generation: completions of an earlier toast's
// animations or wait never touch a newer one. A dismissal asked for during
// the insertion (by the toast, its canceller or the controller) is kept and
// honoured once the insertion has ended. Every toast presented here gets
// exactly one onDismiss, whatever its callbacks present in turn. A toast
// whose window closes, hides or goes is ended at once through its
// onDismiss, and so is the toast on screen when the controller itself goes.
// Main thread only.
class NSToastHostingController : public ViewController {
    Q_OBJECT
public:
    explicit NSToastHostingController(QObject* parent = nullptr);
    ~NSToastHostingController() override;

    ToastAlignment toastAlignment() const { return m_toastAlignment; }
    void setToastAlignment(ToastAlignment alignment);

    ViewController* hostingController() const { return m_hostingController; }
    ToastHostingView* hostingView() const { return m_hostingView; }
    NSPassthroughBackdropView* backdropView() const { return m_backdrop; }
    NSTransientFloatingWindow* toastWindow() const { return m_toastWindow; }
    const std::vector<AlignmentConstraint>& hostingControllerConstraints() const { return m_constraints; }
    // The top inset the toast keeps from its owner's top edge.
    double additionalTopSafeAreaInset() const { return m_topInset; }

    QWidget* loadViewIfNeeded();

    // Shows the presentation over a window, inside a view controller's view
    // or inside a view.
    void presentInWindow(const ToastPresentation& presentation, QWidget* window);
    void presentInViewController(const ToastPresentation& presentation, ViewController* owner);
    void presentInView(const ToastPresentation& presentation, QWidget* owner);

    // Whether a toast is on screen (from onPresent to onDismiss).
    bool isPresenting() const { return m_current.has_value(); }
    // Asks the toast on screen to leave, as its dismiss action does.
    void dismissCurrent();

    static std::vector<AlignmentConstraint> makeAlignmentConstraints(
        EdgeSet edges, std::optional<QMarginsF> insets = std::nullopt);
    void updateHostingConstraints();
    ToastTransition::Context transitionContext(
        ToastTransition::PresentationPhase phase, const ToastPresentation& presentation) const;

    // Where the toast is placed inside a container of `container` (edges
    // relative to its safe area, centres to its own centre) for `size`.
    static QRect solve(const std::vector<AlignmentConstraint>& constraints, const QRect& container,
        const QMarginsF& safeArea, const QSize& size);

    // The height of a window's own top chrome inside its client area: the
    // menu bar and top tool bars above a main window's central widget and the
    // tool row that widget declares, or the rows another window (a sheet)
    // declares as its top chrome; 0 otherwise.
    static double titleBarHeight(const QWidget* window);

    // Lays the toast out in the controller's view now.
    void layoutView();

private:
    enum class Phase {
        inserting,
        waiting,
        removing,
    };
    struct Current {
        ToastPresentation presentation;
        quint64 generation = 0;
        Phase phase = Phase::inserting;
        bool dismissRequested = false;
        CancellationSource wait;
    };

    // Ends the toast still here, makes `presentation` current, then lays the
    // backdrop over its owner through `place` and inserts it.
    void present(const ToastPresentation& presentation, const std::function<void()>& place);
    void placeOver(QWidget* owner);
    void runInsertion();
    void finishInsertion(quint64 generation);
    void startWait();
    void requestDismiss(quint64 generation);
    void startRemoval(quint64 generation);
    void finishRemoval(quint64 generation);
    // Takes the toast off at once and returns its onDismiss, not yet run.
    std::function<void()> takeCurrent();
    void endAtOnce(bool deferDismiss);
    void tearDown();
    void resetHostingView();
    void updateInputRegion();

    static QCoro::Task<> waitThenRemove(
        QPointer<NSToastHostingController> self, quint64 generation, double seconds, CancellationToken token);

    ToastAlignment m_toastAlignment = ToastAlignment::topTrailing();
    QPointer<ViewController> m_hostingController;
    QPointer<ToastHostingView> m_hostingView;
    QPointer<NSPassthroughBackdropView> m_backdrop;
    std::vector<AlignmentConstraint> m_constraints;
    QPointer<NSTransientFloatingWindow> m_toastWindow;
    double m_topInset = 0;
    quint64 m_generation = 0;
    std::optional<Current> m_current;
};

#pragma once

#include "toasts/engine/FallbackStateObject.h"
#include "toasts/engine/ToastPresentation.h"
#include "toasts/presenters/ToastPresenterProxy.h"
#include "toasts/presenters/ToastPresentingLayoutGeometry.h"
#include "toasts/engine/ToastPresenting.h"

#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUuid>

#include <memory>
#include <optional>

class NSPassthroughBackdropView;
class PresenterPhaseSubject;
class QWidget;

// The presenter of a view that shows toasts in its own layout: it owns a
// scheduler that hands it one toast at a time while its view is on screen,
// publishes the toast being shown (the view inserts and removes it), and runs
// each toast through insertion, display time and removal; the scheduler
// takes the next toast only once the removal has ended. The insertion and
// removal last as long as the toast's transition, its delay included (a
// spring until it has settled). Main thread only.
class ToastLayoutPresenter : public ToastPresenting {
    Q_OBJECT
public:
    ToastLayoutPresenter();
    ~ToastLayoutPresenter() override;

    ToastScheduler& toastScheduler() override { return *m_toastScheduler; }
    bool presentsInLayout() const override { return true; }
    void prepareForToasts() override {}

    // The toast on screen, from its insertion until its removal starts.
    const std::optional<ToastPresentation>& toastPresentation() const { return m_toastPresentation; }
    quint64 generation() const { return m_generation; }

    bool hasAppeared() const { return m_hasAppeared; }
    // The view came on screen (the scheduler may hand out toasts) or left it.
    void setAppeared(bool appeared);
    bool accessibilityReduceMotion = false;
    bool accessibilityReduceTransparency = false;

    void present(const ToastPresentation& presentation);
    // Ends the display of the toast being shown and starts its removal.
    void dismiss(const ToastPresentation& presentation);
    // The toast of `generation` asks to leave: at once while it is displayed,
    // as soon as its display starts while it is still being inserted.
    void requestDismiss(quint64 generation);

    // How long the insertion or removal of `presentation` lasts here.
    double transitionSeconds(bool insertion, const ToastPresentation& presentation) const;

signals:
    void toastPresentationChanged();

private:
    enum class Phase {
        idle,
        inserting,
        displaying,
        removing,
    };
    static QCoro::Task<> handle(QPointer<ToastLayoutPresenter> self, ToastPresentation presentation);
    static QCoro::Task<> insertionWait(QPointer<ToastLayoutPresenter> self, quint64 generation, double seconds,
        CancellationToken token);
    static QCoro::Task<> displayWait(QPointer<ToastLayoutPresenter> self, quint64 generation, double seconds,
        CancellationToken token);
    static QCoro::Task<> removalWait(QPointer<ToastLayoutPresenter> self, quint64 generation,
        ToastPresentation presentation, double seconds, CancellationToken lifetime);
    void startDisplay(quint64 generation);
    void endDisplay(quint64 generation);

    std::optional<ToastPresentation> m_toastPresentation;
    // The toast from onPresent until onDismiss.
    std::optional<ToastPresentation> m_shown;
    bool m_hasAppeared = false;
    PresenterPhaseSubject* m_presenterPhaseSubject;
    std::unique_ptr<ToastScheduler> m_toastScheduler;
    CancellationSource m_presentationTask;
    CancellationSource m_lifetime;
    quint64 m_generation = 0;
    Phase m_phase = Phase::idle;
    bool m_dismissRequested = false;
};

// Makes a widget's subtree a toast presenter of its own: toasts scheduled in
// the subtree show in a layer laid over the widget, placed by their
// alignment and moved by their transition, instead of over the window. A
// presenter nested in another defers to the outermost one; a disabled one
// leaves its subtree with the presenter around it. Whether enabled or not,
// the widget reports its geometry up to its ancestors, and the layer's toast
// moves by the geometry its subtree reports. Attached to the widget and gone
// with it.
class ToastPresentingLayoutModifier : public QObject {
    Q_OBJECT
public:
    using ToastPresenter = ToastLayoutPresenter;

    ToastPresentingLayoutModifier(QWidget* content, bool layoutPresentationEnabled);
    ~ToastPresentingLayoutModifier() override;

    bool layoutPresentationEnabled() const { return m_layoutPresentationEnabled; }
    ToastPresenter* toastPresenter() { return m_toastPresenter.wrappedValue(); }
    // The presenter the subtree's toasts go to.
    ToastPresenterProxy subtreePresenter() const;
    // The layer over the widget, shown while a toast is in it.
    NSPassthroughBackdropView* overlay() const { return m_overlay; }
    // The toast in the layer, shown or on its way out; null when none.
    QWidget* hostedToast() const { return m_hosted ? m_hosted : m_leaving; }

    // Where a toast of `alignment` sits in the layer: each axis centred when
    // the set pins it to both of its edges or to neither.
    static Qt::Alignment overlayAlignment(ToastAlignment alignment);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshSubtreePresenter();
    void watchAncestors();
    void reportGeometry();
    void toastPresentationChanged();
    void layoutOverlay();
    void updateInputRegion();

    QPointer<QWidget> m_content;
    bool m_layoutPresentationEnabled;
    QUuid m_fallbackNamespaceID;
    // The widget's own last report (the subtree's, reduced, is set on the layer).
    std::optional<ToastPresentingLayoutGeometry> m_reportedGeometry;
    QPointer<QObject> m_geometryWatcher;
    // The widget's ancestors inside its window, whose moves move it there.
    QList<QPointer<QWidget>> m_ancestors;
    FallbackStateObject<ToastPresenter> m_toastPresenter;
    NSPassthroughBackdropView* m_overlay;
    QPointer<QWidget> m_hosted;
    QPointer<QWidget> m_leaving;
    std::optional<ToastPresentation> m_hostedPresentation;
    bool m_installedOwnPresenter = false;
};

ToastPresentingLayoutModifier* toastPresentingLayout(QWidget* content, bool layoutPresentationEnabled = true);

#include "toasts/presenters/NSToastHostingController.h"

#include "toasts/animation/AnimationLayer.h"
#include "toasts/animation/CAAnimatable.h"
#include "toasts/engine/ToastsConfiguration.h"
#include "toasts/animation/TransitionDriver.h"

#include "platform/AccessibilitySettings.h"
#include "platform/WindowChrome.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QVBoxLayout>

#include <cmath>

// --- NSPassthroughBackdropView

NSPassthroughBackdropView::NSPassthroughBackdropView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("NSPassthroughBackdropView"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

QRegion NSPassthroughBackdropView::inputRegion() const
{
    QRegion region;
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isHidden())
            continue;
        QRectF area = widget->geometry();
        if (const AnimationLayer* layer = AnimationLayer::of(widget); layer && layer->surface())
            area = layer->surface()->boundingRect().translated(widget->pos());
        region += area.toAlignedRect();
    }
    return region;
}

void NSPassthroughBackdropView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit laidOut();
}

bool NSPassthroughBackdropView::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::ChildAdded)
        emit laidOut();
    return QWidget::event(event);
}

// --- ToastHostingView

ToastHostingView::ToastHostingView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ToastHostingView"));
    setAttribute(Qt::WA_TranslucentBackground);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

void ToastHostingView::setRootView(HostedToastContent rootView)
{
    if (m_content)
        delete m_content.data();
    m_rootView = std::move(rootView);
    if (m_rootView.content) {
        m_content = m_rootView.content(this);
        if (m_content) {
            layout()->addWidget(m_content);
            m_content->show();
        }
    }
    updateGeometry();
}

QSize ToastHostingView::fittingSize(const QSize& maximum) const
{
    QSize size = sizeHint().expandedTo(minimumSizeHint());
    if (!size.isValid())
        return {0, 0};
    const int width = std::min(size.width(), std::max(maximum.width(), 0));
    if (width < size.width() && hasHeightForWidth())
        size.setHeight(heightForWidth(width));
    size.setWidth(width);
    size.setHeight(std::min(size.height(), std::max(maximum.height(), 0)));
    return size;
}

// --- NSToastHostingController

NSToastHostingController::NSToastHostingController(QObject* parent)
    : ViewController(parent)
{
}

NSToastHostingController::~NSToastHostingController()
{
    endAtOnce(true);
    if (m_toastWindow)
        delete m_toastWindow.data();
    if (m_backdrop) {
        m_backdrop->setParent(nullptr);
        delete m_backdrop.data();
    }
    delete m_hostingController.data();
}

QWidget* NSToastHostingController::loadViewIfNeeded()
{
    if (m_backdrop)
        return m_backdrop;
    m_backdrop = new NSPassthroughBackdropView;
    setOwnedView(m_backdrop);

    m_hostingController = new ViewController(this);
    m_hostingView = new ToastHostingView(m_backdrop);
    m_hostingController->setView(m_hostingView);
    addChildViewController(m_hostingController);
    m_hostingView->setRootView(HostedToastContent{QVariant::fromValue(reinterpret_cast<quintptr>(this)), {}});
    AnimationLayer* layer = AnimationLayer::ensure(m_hostingView);
    connect(layer, &AnimationLayer::changed, this, &NSToastHostingController::updateInputRegion);
    connect(m_backdrop, &NSPassthroughBackdropView::laidOut, this, &NSToastHostingController::layoutView);
    updateHostingConstraints();
    return m_backdrop;
}

void NSToastHostingController::setToastAlignment(ToastAlignment alignment)
{
    if (alignment == m_toastAlignment && !m_constraints.empty())
        return;
    m_toastAlignment = alignment;
    loadViewIfNeeded();
    updateHostingConstraints();
}

std::vector<AlignmentConstraint> NSToastHostingController::makeAlignmentConstraints(
    EdgeSet edges, std::optional<QMarginsF> insets)
{
    using A = AlignmentConstraint::Anchor;
    using R = AlignmentConstraint::Relation;
    const QMarginsF margins = insets.value_or(QMarginsF());
    const auto relation = [&edges](Edge edge) { return edges.testFlag(edge) ? R::equal : R::greaterThanOrEqual; };
    std::vector<AlignmentConstraint> constraints{
        {A::leading, relation(Edge::leading), margins.left()},
        {A::top, relation(Edge::top), margins.top()},
        {A::trailing, relation(Edge::trailing), margins.right()},
        {A::bottom, relation(Edge::bottom), margins.bottom()},
    };
    if (!edges.testFlag(Edge::leading) && !edges.testFlag(Edge::trailing))
        constraints.push_back({A::centerX, R::equal, 0});
    if (!edges.testFlag(Edge::top) && !edges.testFlag(Edge::bottom))
        constraints.push_back({A::centerY, R::equal, 0});
    return constraints;
}

void NSToastHostingController::updateHostingConstraints()
{
    m_constraints = makeAlignmentConstraints(m_toastAlignment.rawValue());
    layoutView();
}

QRect NSToastHostingController::solve(const std::vector<AlignmentConstraint>& constraints, const QRect& container,
    const QMarginsF& safeArea, const QSize& size)
{
    using A = AlignmentConstraint::Anchor;
    using R = AlignmentConstraint::Relation;
    const QRectF safe = QRectF(container).marginsRemoved(safeArea);
    const auto find = [&constraints](A anchor) -> const AlignmentConstraint* {
        for (const AlignmentConstraint& c : constraints) {
            if (c.anchor == anchor)
                return &c;
        }
        return nullptr;
    };
    // One axis: the lower and upper edge constraints and the centre.
    const auto axis = [&](A lowAnchor, A highAnchor, A centreAnchor, double low, double high, double centre,
                          double length) {
        const AlignmentConstraint* lowEdge = find(lowAnchor);
        const AlignmentConstraint* highEdge = find(highAnchor);
        const double lowLimit = low + (lowEdge ? lowEdge->constant : 0);
        const double highLimit = high - (highEdge ? highEdge->constant : 0);
        const bool lowFlush = lowEdge && lowEdge->relation == R::equal;
        const bool highFlush = highEdge && highEdge->relation == R::equal;
        if (lowFlush && highFlush)
            return std::pair(lowLimit, std::max(highLimit - lowLimit, 0.0));
        length = std::min(length, std::max(highLimit - lowLimit, 0.0));
        double start = centre - length / 2;
        if (lowFlush)
            start = lowLimit;
        else if (highFlush)
            start = highLimit - length;
        else if (!find(centreAnchor))
            start = lowLimit;
        // The edges that are not flush keep the toast inside.
        start = std::min(start, highLimit - length);
        start = std::max(start, lowLimit);
        return std::pair(start, length);
    };
    const auto [x, width] = axis(A::leading, A::trailing, A::centerX, safe.left(), safe.right() + 0.0,
        QRectF(container).center().x(), size.width());
    const auto [y, height] = axis(A::top, A::bottom, A::centerY, safe.top(), safe.bottom() + 0.0,
        QRectF(container).center().y(), size.height());
    return QRectF(x, y, width, height).toRect();
}

double NSToastHostingController::titleBarHeight(const QWidget* window)
{
    const auto* mainWindow = qobject_cast<const QMainWindow*>(window);
    if (!mainWindow || !mainWindow->centralWidget())
        return window ? WindowChrome::topChromeHeight(window) : 0;
    // The menu bar and tool bars, then the tool row the central widget holds.
    const QWidget* central = mainWindow->centralWidget();
    return std::max(0, central->geometry().top() + WindowChrome::topChromeHeight(central));
}

void NSToastHostingController::layoutView()
{
    if (!m_backdrop || !m_hostingView)
        return;
    // Over a window the toast keeps clear of the window's own top chrome.
    m_topInset = 0;
    if (m_toastWindow && m_toastWindow->presentingWindow())
        m_topInset = titleBarHeight(m_toastWindow->attachedParent() ? m_toastWindow->attachedParent()
                                                                    : m_toastWindow->presentingWindow());
    const QRect container = m_backdrop->rect();
    const QMarginsF safeArea(0, m_topInset, 0, 0);
    const QSize maximum = QRectF(container).marginsRemoved(safeArea).size().toSize();
    QRect frame = solve(m_constraints, container, safeArea, m_hostingView->fittingSize(maximum));
    if (m_backdrop->layoutDirection() == Qt::RightToLeft)
        frame.moveLeft(container.width() - frame.right() - 1);
    if (m_hostingView->geometry() != frame)
        m_hostingView->setGeometry(frame);
    updateInputRegion();
}

void NSToastHostingController::updateInputRegion()
{
    if (!m_backdrop)
        return;
    QRegion region = m_current ? m_backdrop->inputRegion() : QRegion();
    // Over a window the toast never covers its top chrome, at rest or while
    // it slides: it shows only below it.
    if (m_toastWindow && m_topInset > 0)
        region &= QRect(0, int(std::ceil(m_topInset)), m_backdrop->width(), m_backdrop->height());
    m_backdrop->setMask(region.isEmpty() ? QRegion(-2, -2, 1, 1) : region);
    if (m_toastWindow)
        m_toastWindow->setInputRegion(region);
}

ToastTransition::Context NSToastHostingController::transitionContext(
    ToastTransition::PresentationPhase phase, const ToastPresentation& presentation) const
{
    ToastTransition::Context context;
    context.phase = phase;
    if (m_hostingView) {
        QRectF frame = m_hostingView->geometry();
        if (QWidget* window = m_hostingView->window(); window && window != m_hostingView)
            frame.moveTopLeft(m_hostingView->mapTo(window, QPoint(0, 0)));
        const QSize intrinsic = m_hostingView->sizeHint();
        frame.setWidth(frame.width() <= intrinsic.width() ? intrinsic.width() : frame.width());
        frame.setHeight(frame.height() <= intrinsic.height() ? intrinsic.height() : frame.height());
        context.geometry = frame;
    }
    if (m_backdrop && m_backdrop->window() != m_backdrop)
        context.windowGeometry = m_backdrop->window()->geometry();
    context.platformIdiom = PlatformIdiom::desktop();
    auto* settings = AccessibilitySettings::instance();
    context.isReduceMotionEnabled = settings->reduceMotion();
    context.isReduceTransparencyEnabled = settings->reduceTransparency();
    context.toastRole = presentation.toast.configuration.role;
    context.toastDuration = presentation.toast.configuration.duration;
    context.toastAlignment = presentation.toastAlignment;
    return context;
}

void NSToastHostingController::present(const ToastPresentation& presentation, const std::function<void()>& place)
{
    // A toast still here when the next comes leaves at once: the hosting
    // view can show only one. Its onDismiss runs once the new toast stands,
    // so a toast that onDismiss presents in turn ends the new one properly.
    std::function<void()> endedOnDismiss = takeCurrent();
    loadViewIfNeeded();
    m_current.emplace();
    m_current->presentation = presentation;
    m_current->generation = ++m_generation;
    const quint64 generation = m_current->generation;
    QPointer<NSToastHostingController> self(this);
    const auto dismiss = [self, generation] {
        if (self)
            self->requestDismiss(generation);
    };
    // Wired from the start: a dismissal asked for during the insertion is
    // kept and honoured when the insertion ends.
    if (auto canceller = presentation.presentationCanceller.lock())
        canceller->setPresentationDismissalHandler(dismiss);
    if (presentation.onPresent)
        presentation.onPresent();
    // onPresent may have presented another toast, which then stands instead.
    if (m_current && m_current->generation == generation) {
        if (presentation.toastAlignment != m_toastAlignment) {
            m_toastAlignment = presentation.toastAlignment;
            updateHostingConstraints();
        }
        const QVariant id = QVariant::fromValue(reinterpret_cast<quintptr>(this));
        m_hostingView->setRootView(HostedToastContent{id, hostedToastView(presentation, id, dismiss)});
        place();
        runInsertion();
    }
    if (endedOnDismiss)
        endedOnDismiss();
}

void NSToastHostingController::presentInWindow(const ToastPresentation& presentation, QWidget* window)
{
    present(presentation, [this, window] {
        auto* floating = NSTransientFloatingWindow::windowWithContentViewController(this);
        floating->setPresentingWindow(window);
        floating->setUp(window);
        const quint64 generation = m_current->generation;
        QPointer<NSToastHostingController> self(this);
        floating->setOnPresentingWindowGone([self, generation] {
            if (self && self->m_current && self->m_current->generation == generation)
                self->endAtOnce(false);
        });
        m_toastWindow = floating;
        connect(floating, &NSTransientFloatingWindow::attached, this, &NSToastHostingController::layoutView);
        if (m_toastWindow)
            m_toastWindow->show();
    });
}

void NSToastHostingController::presentInViewController(const ToastPresentation& presentation, ViewController* owner)
{
    present(presentation, [this, owner] {
        owner->addChildViewController(this);
        if (QWidget* ownerView = owner->view())
            placeOver(ownerView);
    });
}

void NSToastHostingController::presentInView(const ToastPresentation& presentation, QWidget* owner)
{
    present(presentation, [this, owner] { placeOver(owner); });
}

void NSToastHostingController::placeOver(QWidget* owner)
{
    m_backdrop->setParent(owner);
    m_backdrop->setGeometry(owner->rect());
    m_backdrop->show();
    m_backdrop->raise();
}

void NSToastHostingController::resetHostingView()
{
    CAAnimatable::resetAnimationState(m_hostingView);
    layoutView();
}

void NSToastHostingController::runInsertion()
{
    resetHostingView();
    const ToastPresentation presentation = m_current->presentation;
    const auto context = transitionContext(ToastTransition::PresentationPhase::toastInsertion, presentation);
    QPointer<NSToastHostingController> self(this);
    const quint64 generation = m_current->generation;
    TransitionDriver::play(presentation.toastEnvironmentValues.toastTransition, context, m_hostingView,
        [self, generation] {
            if (self)
                self->finishInsertion(generation);
        });
}

void NSToastHostingController::finishInsertion(quint64 generation)
{
    if (!m_current || m_current->generation != generation || m_current->phase != Phase::inserting)
        return;
    resetHostingView();
    if (m_current->dismissRequested) {
        startRemoval(generation);
        return;
    }
    startWait();
}

void NSToastHostingController::startWait()
{
    m_current->phase = Phase::waiting;
    const quint64 generation = m_current->generation;
    QPointer<NSToastHostingController> self(this);
    m_current->wait = CancellationSource();
    waitThenRemove(self, generation, m_current->presentation.toast.configuration.duration.rawValue(),
        m_current->wait.token());
}

QCoro::Task<> NSToastHostingController::waitThenRemove(
    QPointer<NSToastHostingController> self, quint64 generation, double seconds, CancellationToken token)
{
    if (!(seconds > 0))
        co_await ToastDuration::waitUntilCancelled(token);
    else
        co_await ToastDuration::sleep(ToastsConfiguration::shared().scaled(seconds), token);
    // Ended by time or by a dismissal alike; a newer toast's wait is its own.
    if (self)
        self->startRemoval(generation);
}

void NSToastHostingController::dismissCurrent()
{
    if (m_current)
        requestDismiss(m_current->generation);
}

void NSToastHostingController::requestDismiss(quint64 generation)
{
    if (!m_current || m_current->generation != generation)
        return;
    switch (m_current->phase) {
    case Phase::inserting:
        m_current->dismissRequested = true;
        break;
    case Phase::waiting:
        m_current->wait.cancel();
        break;
    case Phase::removing:
        break;
    }
}

void NSToastHostingController::startRemoval(quint64 generation)
{
    if (!m_current || m_current->generation != generation || m_current->phase == Phase::removing)
        return;
    m_current->phase = Phase::removing;
    m_current->wait.cancel();
    const ToastPresentation presentation = m_current->presentation;
    resetHostingView();
    const auto context = transitionContext(ToastTransition::PresentationPhase::toastRemoval, presentation);
    if (auto canceller = presentation.presentationCanceller.lock())
        canceller->setPresentationDismissalHandler([] {});
    QPointer<NSToastHostingController> self(this);
    TransitionDriver::play(presentation.toastEnvironmentValues.toastTransition, context, m_hostingView,
        [self, generation] {
            if (self)
                self->finishRemoval(generation);
        });
}

void NSToastHostingController::finishRemoval(quint64 generation)
{
    if (!m_current || m_current->generation != generation)
        return;
    const ToastPresentation presentation = std::move(m_current->presentation);
    m_current.reset();
    tearDown();
    resetHostingView();
    if (presentation.onDismiss)
        presentation.onDismiss();
}

std::function<void()> NSToastHostingController::takeCurrent()
{
    if (!m_current)
        return {};
    ToastPresentation presentation = std::move(m_current->presentation);
    m_current->wait.cancel();
    m_current.reset();
    ++m_generation;
    if (auto canceller = presentation.presentationCanceller.lock())
        canceller->setPresentationDismissalHandler([] {});
    if (m_hostingView)
        CAAnimatable::resetAnimationState(m_hostingView);
    tearDown();
    return std::move(presentation.onDismiss);
}

void NSToastHostingController::endAtOnce(bool deferDismiss)
{
    std::function<void()> onDismiss = takeCurrent();
    if (!onDismiss)
        return;
    if (deferDismiss)
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(onDismiss), Qt::QueuedConnection);
    else
        onDismiss();
}

void NSToastHostingController::tearDown()
{
    if (m_toastWindow && m_toastWindow->isShown())
        m_toastWindow->detach();
    if (m_backdrop && m_backdrop->parentWidget()) {
        m_backdrop->hide();
        m_backdrop->setParent(nullptr);
    }
    removeFromParentViewController();
    if (m_toastWindow)
        m_toastWindow->deleteLater();
    m_toastWindow = nullptr;
    updateInputRegion();
}

#include "toasts/presenters/ToastPresentingLayoutModifier.h"

#include "toasts/animation/AnimationLayer.h"
#include "toasts/presenters/BridgedToastTransitionModifier.h"
#include "toasts/engine/HostedToastContent.h"
#include "toasts/presenters/NSToastHostingController.h"
#include "toasts/engine/PresenterPhaseObserver.h"
#include "toasts/presenters/ToastPresenterProxy.h"
#include "toasts/presenters/ToastPresentingLayoutGeometry.h"
#include "toasts/engine/ToastScheduler.h"
#include "toasts/engine/ToastsConfiguration.h"

#include "platform/AccessibilitySettings.h"
#include "platform/Appearance.h"
#include "platform/Preference.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QWidget>

// --- ToastLayoutPresenter

ToastLayoutPresenter::ToastLayoutPresenter()
    : m_presenterPhaseSubject(new PresenterPhaseSubject(PresenterPhase::inactive, this))
{
    QPointer<ToastLayoutPresenter> self(this);
    m_toastScheduler = std::make_unique<ToastScheduler>(this, m_presenterPhaseSubject,
        [self](ToastPresentation presentation) { return handle(self, std::move(presentation)); });
}

ToastLayoutPresenter::~ToastLayoutPresenter()
{
    m_lifetime.cancel();
    m_presentationTask.cancel();
    m_toastScheduler.reset();
    // The toast on screen goes with its presenter; whoever waits for its end
    // hears of it.
    if (m_shown && m_shown->onDismiss) {
        if (auto canceller = m_shown->presentationCanceller.lock())
            canceller->setPresentationDismissalHandler([] {});
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [onDismiss = std::move(m_shown->onDismiss)] { onDismiss(); },
            Qt::QueuedConnection);
    }
}

QCoro::Task<> ToastLayoutPresenter::handle(QPointer<ToastLayoutPresenter> self, ToastPresentation presentation)
{
    if (self)
        self->present(presentation);
    co_return;
}

void ToastLayoutPresenter::setAppeared(bool appeared)
{
    m_hasAppeared = appeared;
    if (appeared) {
        const auto* settings = AccessibilitySettings::instance();
        accessibilityReduceMotion = settings->reduceMotion();
        accessibilityReduceTransparency = settings->reduceTransparency();
    }
    m_presenterPhaseSubject->send(appeared ? PresenterPhase::active : PresenterPhase::inactive);
}

double ToastLayoutPresenter::transitionSeconds(bool insertion, const ToastPresentation& presentation) const
{
    const auto phase = insertion ? BridgedToastTransitionPhase::inserting : BridgedToastTransitionPhase::removing;
    const auto context = BridgedToastTransitionModifier::makeContext(
        phase, presentation, std::nullopt, accessibilityReduceMotion, accessibilityReduceTransparency);
    return BridgedToastTransitionModifier::AnimationValues(phase, presentation, context).totalSeconds();
}

void ToastLayoutPresenter::present(const ToastPresentation& presentation)
{
    m_presentationTask.cancel();
    const quint64 generation = ++m_generation;
    m_phase = Phase::inserting;
    m_dismissRequested = false;
    m_shown = presentation;
    // Wired from the start: a dismissal asked for during the insertion is
    // kept and honoured as soon as the display starts.
    QPointer<ToastLayoutPresenter> self(this);
    if (auto canceller = presentation.presentationCanceller.lock()) {
        canceller->setPresentationDismissalHandler([self, generation] {
            if (self)
                self->requestDismiss(generation);
        });
    }
    if (presentation.onPresent)
        presentation.onPresent();
    m_toastPresentation = presentation;
    emit toastPresentationChanged();
    insertionWait(this, generation, transitionSeconds(true, presentation), m_lifetime.token());
}

QCoro::Task<> ToastLayoutPresenter::insertionWait(
    QPointer<ToastLayoutPresenter> self, quint64 generation, double seconds, CancellationToken token)
{
    co_await ToastDuration::sleep(ToastsConfiguration::shared().scaled(seconds), token);
    if (self && !token.isCancelled())
        self->startDisplay(generation);
}

void ToastLayoutPresenter::startDisplay(quint64 generation)
{
    if (generation != m_generation || m_phase != Phase::inserting || !m_shown)
        return;
    m_phase = Phase::displaying;
    if (m_dismissRequested) {
        endDisplay(generation);
        return;
    }
    m_presentationTask = CancellationSource();
    displayWait(this, generation, m_shown->toast.configuration.duration.rawValue(), m_presentationTask.token());
}

QCoro::Task<> ToastLayoutPresenter::displayWait(
    QPointer<ToastLayoutPresenter> self, quint64 generation, double seconds, CancellationToken token)
{
    if (seconds > 0)
        co_await ToastDuration::sleep(ToastsConfiguration::shared().scaled(seconds), token);
    else
        co_await ToastDuration::waitUntilCancelled(token);
    // Run out or cancelled alike, unless the presenter is going.
    if (self && !self->m_lifetime.isCancelled())
        self->endDisplay(generation);
}

void ToastLayoutPresenter::endDisplay(quint64 generation)
{
    if (generation != m_generation || m_phase != Phase::displaying || !m_shown)
        return;
    if (auto canceller = m_shown->presentationCanceller.lock())
        canceller->setPresentationDismissalHandler([] {});
    dismiss(*m_shown);
}

void ToastLayoutPresenter::requestDismiss(quint64 generation)
{
    if (generation != m_generation)
        return;
    switch (m_phase) {
    case Phase::inserting:
        m_dismissRequested = true;
        break;
    case Phase::displaying:
        m_presentationTask.cancel();
        break;
    case Phase::idle:
    case Phase::removing:
        break;
    }
}

void ToastLayoutPresenter::dismiss(const ToastPresentation& presentation)
{
    m_phase = Phase::removing;
    m_toastPresentation.reset();
    emit toastPresentationChanged();
    removalWait(this, m_generation, presentation, transitionSeconds(false, presentation), m_lifetime.token());
}

QCoro::Task<> ToastLayoutPresenter::removalWait(QPointer<ToastLayoutPresenter> self, quint64 generation,
    ToastPresentation presentation, double seconds, CancellationToken lifetime)
{
    co_await ToastDuration::sleep(ToastsConfiguration::shared().scaled(seconds), lifetime);
    // A presenter that went has told the toast's end itself.
    if (!self || lifetime.isCancelled())
        co_return;
    if (generation == self->m_generation) {
        self->m_phase = Phase::idle;
        self->m_shown.reset();
    }
    if (presentation.onDismiss)
        presentation.onDismiss();
}

// --- ToastPresentingLayoutModifier

namespace {
ToastPresentingLayoutGeometry geometryOf(const QWidget* content)
{
    // In its window's coordinates: a transition measures a toast's way off
    // the window from there, wherever the window stands on the screen.
    const QRectF frame(content->mapTo(content->window(), QPoint(0, 0)), QSizeF(content->size()));
    // No safe-area insets here: the window frame is the frame's size at the origin.
    return ToastPresentingLayoutGeometry{frame, QRectF(QPointF(0, 0), frame.size())};
}
} // namespace

ToastPresentingLayoutModifier::ToastPresentingLayoutModifier(QWidget* content, bool layoutPresentationEnabled)
    : QObject(content)
    , m_content(content)
    , m_layoutPresentationEnabled(layoutPresentationEnabled)
    , m_fallbackNamespaceID(QUuid::createUuid())
    , m_toastPresenter([] { return std::make_unique<ToastLayoutPresenter>(); })
    , m_overlay(new NSPassthroughBackdropView(content))
{
    m_overlay->setObjectName(QStringLiteral("ToastPresentingLayer"));
    new QGridLayout(m_overlay);
    m_overlay->layout()->setContentsMargins(0, 0, 0, 0);
    m_overlay->hide();
    content->installEventFilter(this);

    ToastPresenter* presenter = toastPresenter();
    connect(presenter, &ToastLayoutPresenter::toastPresentationChanged, this,
        &ToastPresentingLayoutModifier::toastPresentationChanged);

    auto* appearance = new AppearanceObserver(content, this);
    connect(appearance, &AppearanceObserver::appeared, this, [this] { toastPresenter()->setAppeared(true); });
    connect(appearance, &AppearanceObserver::disappeared, this, [this] { toastPresenter()->setAppeared(false); });
    if (appearance->isAppeared())
        presenter->setAppeared(true);
    connect(AccessibilitySettings::instance(), &AccessibilitySettings::changed, this, [this] {
        const auto* settings = AccessibilitySettings::instance();
        toastPresenter()->accessibilityReduceMotion = settings->reduceMotion();
        toastPresenter()->accessibilityReduceTransparency = settings->reduceTransparency();
    });

    // Any presenter written above (or here) may change which one the subtree gets.
    new platform_detail::KeyWatcher(Environment::channelFor(ToastPresenterEnvironmentKey::key().name), content, this,
        [this] { refreshSubtreePresenter(); });
    refreshSubtreePresenter();

    // What the subtree reports (this widget's own report first) moves the
    // layer's toast. The widget's place in its window also changes when an
    // ancestor moves.
    m_geometryWatcher = Preferences::observe<std::optional<ToastPresentingLayoutGeometry>>(content,
        ToastPresentingLayoutGeometryPreferenceKey::key(), this,
        [this](const std::optional<ToastPresentingLayoutGeometry>& geometry) {
            Environment::set(m_overlay, ToastPresentingLayoutGeometryEnvironmentKey::key(), geometry);
        });
    watchAncestors();
    reportGeometry();
}

ToastPresentingLayoutModifier::~ToastPresentingLayoutModifier()
{
    if (!m_content)
        return;
    if (m_installedOwnPresenter)
        Environment::clear(m_content.data(), ToastPresenterEnvironmentKey::key());
    delete m_geometryWatcher.data();
    Preferences::clear(m_content.data(), ToastPresentingLayoutGeometryPreferenceKey::key());
}

void ToastPresentingLayoutModifier::watchAncestors()
{
    for (const QPointer<QWidget>& ancestor : std::as_const(m_ancestors)) {
        if (ancestor)
            ancestor->removeEventFilter(this);
    }
    m_ancestors.clear();
    if (!m_content || m_content->isWindow())
        return;
    for (QWidget* ancestor = m_content->parentWidget(); ancestor && !ancestor->isWindow();
         ancestor = ancestor->parentWidget()) {
        ancestor->installEventFilter(this);
        m_ancestors.append(ancestor);
    }
}

void ToastPresentingLayoutModifier::reportGeometry()
{
    if (!m_content)
        return;
    const std::optional<ToastPresentingLayoutGeometry> geometry = geometryOf(m_content);
    if (m_reportedGeometry == geometry)
        return;
    m_reportedGeometry = geometry;
    Preferences::set(m_content.data(), ToastPresentingLayoutGeometryPreferenceKey::key(), geometry);
}

ToastPresenterProxy ToastPresentingLayoutModifier::subtreePresenter() const
{
    return m_content ? Environment::get(m_content.data(), ToastPresenterEnvironmentKey::key()) : ToastPresenterProxy();
}

void ToastPresentingLayoutModifier::refreshSubtreePresenter()
{
    if (!m_content)
        return;
    const auto outer = Environment::find(m_content->parentWidget(), ToastPresenterEnvironmentKey::key());
    const bool outerInLayout = outer && outer->hasPresenter() && outer->toastPresenter()->presentsInLayout();
    const bool own = m_layoutPresentationEnabled && !outerInLayout;
    if (own == m_installedOwnPresenter)
        return;
    m_installedOwnPresenter = own;
    if (own)
        Environment::set(m_content.data(), ToastPresenterEnvironmentKey::key(), ToastPresenterProxy(toastPresenter()));
    else
        Environment::clear(m_content.data(), ToastPresenterEnvironmentKey::key());
}

Qt::Alignment ToastPresentingLayoutModifier::overlayAlignment(ToastAlignment alignment)
{
    const EdgeSet edges = alignment.rawValue();
    Qt::Alignment result;
    const bool top = edges.testFlag(Edge::top);
    const bool bottom = edges.testFlag(Edge::bottom);
    result |= top == bottom ? Qt::AlignVCenter : (top ? Qt::AlignTop : Qt::AlignBottom);
    const bool leading = edges.testFlag(Edge::leading);
    const bool trailing = edges.testFlag(Edge::trailing);
    result |= leading == trailing ? Qt::AlignHCenter : (leading ? Qt::AlignLeading : Qt::AlignTrailing);
    return result;
}

void ToastPresentingLayoutModifier::toastPresentationChanged()
{
    ToastPresenter* presenter = toastPresenter();
    const auto& presentation = presenter->toastPresentation();
    if (presentation && !m_hosted) {
        // A toast still leaving makes room at once: one toast at a time.
        delete m_leaving.data();
        QPointer<ToastLayoutPresenter> weak(presenter);
        const quint64 generation = presenter->generation();
        const QVariant id = m_fallbackNamespaceID.toString();
        layoutOverlay();
        m_hosted = hostedToastView(*presentation, id, [weak, generation] {
            if (weak)
                weak->requestDismiss(generation);
        })(m_overlay);
        auto* grid = static_cast<QGridLayout*>(m_overlay->layout());
        m_hostedPresentation = presentation;
        grid->addWidget(m_hosted, 0, 0, overlayAlignment(presentation->toastAlignment));
        connect(AnimationLayer::ensure(m_hosted), &AnimationLayer::changed, this,
            &ToastPresentingLayoutModifier::updateInputRegion);
        m_overlay->show();
        m_overlay->raise();
        grid->activate();
        BridgedToastTransitionModifier::insert(m_hosted, *presentation, {});
        updateInputRegion();
    } else if (!presentation && m_hosted && m_hostedPresentation) {
        m_leaving = m_hosted;
        m_hosted = nullptr;
        QPointer<QWidget> leaving(m_leaving);
        QPointer<ToastPresentingLayoutModifier> self(this);
        BridgedToastTransitionModifier::remove(m_leaving, *m_hostedPresentation, [self, leaving] {
            delete leaving.data();
            if (self && !self->m_hosted)
                self->m_overlay->hide();
        });
        m_hostedPresentation.reset();
    }
}

void ToastPresentingLayoutModifier::layoutOverlay()
{
    if (!m_content)
        return;
    m_overlay->setGeometry(m_content->rect());
    // The subtree's report reaches the layer through the preference's watcher.
    reportGeometry();
}

void ToastPresentingLayoutModifier::updateInputRegion()
{
    const QRegion region = m_overlay->inputRegion();
    m_overlay->setMask(region.isEmpty() ? QRegion(-2, -2, 1, 1) : region);
}

bool ToastPresentingLayoutModifier::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_content) {
        switch (event->type()) {
        case QEvent::Show:
            reportGeometry();
            break;
        case QEvent::Resize:
        case QEvent::Move:
            reportGeometry();
            if (m_overlay->isVisible()) {
                layoutOverlay();
                updateInputRegion();
            }
            break;
        case QEvent::ChildAdded:
            if (m_overlay->isVisible())
                QMetaObject::invokeMethod(m_overlay, &QWidget::raise, Qt::QueuedConnection);
            break;
        case QEvent::ParentChange:
            refreshSubtreePresenter();
            watchAncestors();
            reportGeometry();
            break;
        default:
            break;
        }
    } else if (event->type() == QEvent::Move) {
        reportGeometry();
    } else if (event->type() == QEvent::ParentChange) {
        watchAncestors();
        reportGeometry();
    }
    return QObject::eventFilter(watched, event);
}

ToastPresentingLayoutModifier* toastPresentingLayout(QWidget* content, bool layoutPresentationEnabled)
{
    return content ? new ToastPresentingLayoutModifier(content, layoutPresentationEnabled) : nullptr;
}

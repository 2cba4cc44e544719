#include "toasts/styles/PlainToastStyle.h"

#include "toasts/animation/AnimationLayer.h"
#include "toasts/styles/PlainToastBackground.h"
#include "toasts/styles/ToastButtonStyleScope.h"
#include "toasts/values/ToastDismissAction.h"
#include "toasts/styles/ToastLabeledContentStyle.h"
#include "toasts/styles/ToastLabelStyle.h"
#include "toasts/values/ToastPresentedAlignment.h"
#include "toasts/styles/ToastTitleLabel.h"

#include "platform/AnimationGroup.h"
#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <cmath>

QColor PlainToastStyle::tint(ToastRole role, const QWidget* widget)
{
    return tint(role, colorScheme(widget));
}

QColor PlainToastStyle::tint(ToastRole role, ColorScheme scheme)
{
    switch (role) {
    case ToastRole::plain:
        return SemanticColors::primary(scheme);
    case ToastRole::informational:
        return SemanticColors::blue(scheme);
    case ToastRole::success:
        return SemanticColors::green(scheme);
    case ToastRole::warning:
        return SemanticColors::yellow(scheme);
    case ToastRole::failure:
        return SemanticColors::red(scheme);
    }
    return SemanticColors::primary(scheme);
}

QWidget* PlainToastStyle::makeBody(const ToastConfiguration& configuration, QWidget* parent) const
{
    return new StyledViewBody(configuration, parent);
}

namespace {
QWidget* makeContent(const ToastConfiguration& configuration, const SchemeColor& tint, QWidget* parent)
{
    const ToastContent& content = configuration.content;
    switch (content.kind()) {
    case ToastContent::Kind::title: {
        // In the card's text style, which it inherits.
        auto* title = new ToastTitleLabel(content.titleText(), parent);
        title->setObjectName(QStringLiteral("ToastTitle"));
        return title;
    }
    case ToastContent::Kind::label:
        return ToastLabelStyle{tint}.makeBody(content, parent);
    case ToastContent::Kind::labeledContent:
        return ToastLabeledContentStyle{}.makeBody(content.titleText(), content.subtitle(), parent);
    case ToastContent::Kind::custom:
        if (const auto& factory = content.factory()) {
            if (QWidget* widget = factory(parent))
                return widget;
        }
        break;
    case ToastContent::Kind::empty:
        break;
    }
    return new QWidget(parent);
}

// What a screen reader says for the card: the message a user reads, the
// texts of its labels in reading order.
QString spokenMessage(const ToastConfiguration& configuration, const QWidget* content)
{
    const ToastContent& data = configuration.content;
    QStringList parts;
    switch (data.kind()) {
    case ToastContent::Kind::title:
    case ToastContent::Kind::label:
        parts << data.titleText();
        break;
    case ToastContent::Kind::labeledContent:
        parts << data.titleText() << data.subtitle();
        break;
    case ToastContent::Kind::custom:
    case ToastContent::Kind::empty:
        if (const auto* label = qobject_cast<const QLabel*>(content))
            parts << label->text();
        for (const QLabel* label : content->findChildren<QLabel*>())
            parts << label->text();
        break;
    }
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}

// The card is an alert to assistive technology: announced when it shows,
// its children (labels, buttons) still reachable inside it.
QAccessibleInterface* cardAccessible(const QString&, QObject* object)
{
    if (auto* card = dynamic_cast<PlainToastStyle::StyledViewBody*>(object))
        return new QAccessibleWidget(card, QAccessible::AlertMessage);
    return nullptr;
}
} // namespace

PlainToastStyle::StyledViewBody::StyledViewBody(const ToastConfiguration& configuration, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Toast"));
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(cardAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_Hover);

    const ToastRole role = configuration.role;
    const SchemeColor tint = [role](ColorScheme scheme) { return PlainToastStyle::tint(role, scheme); };
    m_background = new PlainToastBackground(tint(colorScheme(parent)), this);
    m_background->setMinimumWidth(minimumCardWidth);
    m_background->installEventFilter(this);

    // The toast's text style, which the content inherits whatever it is,
    // the caller's own widgets included; the inner styles of labels,
    // labelled content and buttons set their own per element.
    m_background->setFont(platformFont(TextStyle::Title3));
    onColorSchemeChange(this, [this, tint](ColorScheme scheme) {
        m_background->setAccentColor(tint(scheme));
        QPalette palette = m_background->palette();
        const QColor primary = SemanticColors::primary(scheme);
        palette.setColor(QPalette::WindowText, primary);
        palette.setColor(QPalette::Text, primary);
        m_background->setPalette(palette);
    });

    auto* inner = new QVBoxLayout(m_background);
    inner->setContentsMargins(padding, padding, padding, padding);
    const bool centred = isCentredPresentation(parent);
    // The content reads the toast's environment (presented alignment) through
    // its parent chain, so it is built under the card.
    QWidget* content = makeContent(configuration, tint, m_background);
    setAccessibleName(spokenMessage(configuration, content));
    inner->addWidget(content, 0, (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);

    // Buttons the content adds once it is on screen are toast buttons too.
    new ToastButtonStyleScope(m_background, SemanticColors::accent);
}

int PlainToastStyle::StyledViewBody::bodyLength(int cardLength)
{
    // Scaled about the centre, card and shadow still end inside.
    return int(std::ceil(hoverScale * (cardLength + 2 * shadowReach)));
}

int PlainToastStyle::StyledViewBody::cardLength(int length)
{
    return std::max(0, int(std::floor(length / hoverScale - 2 * shadowReach)));
}

QSize PlainToastStyle::StyledViewBody::sizeHint() const
{
    const QSize card = m_background->sizeHint().expandedTo(m_background->minimumSize());
    return {bodyLength(card.width()), heightForWidth(bodyLength(card.width()))};
}

QSize PlainToastStyle::StyledViewBody::minimumSizeHint() const
{
    const QSize card = m_background->minimumSizeHint().expandedTo(m_background->minimumSize());
    return {bodyLength(card.width()), bodyLength(card.height())};
}

int PlainToastStyle::StyledViewBody::heightForWidth(int width) const
{
    const int card = cardLength(width);
    const int height = m_background->hasHeightForWidth() ? m_background->heightForWidth(card)
                                                          : m_background->sizeHint().height();
    return bodyLength(height);
}

void PlainToastStyle::StyledViewBody::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    QRect card(0, 0, cardLength(width()), cardLength(height()));
    card.moveCenter(rect().center());
    m_background->setGeometry(card);
}

bool PlainToastStyle::StyledViewBody::event(QEvent* event)
{
    // The card is placed by hand, so its host hears of content that grows
    // or shrinks on screen (a button added later) only through this.
    if (event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QWidget::event(event);
}

void PlainToastStyle::StyledViewBody::paintEvent(QPaintEvent*)
{
    // A soft shadow around the card: rings of falling opacity over its radius.
    const QColor shadow = m_background->shadowColor();
    if (shadow.alpha() == 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF card = QRectF(m_background->geometry());
    const int radius = int(m_background->shadowRadius());
    const int steps = 8;
    for (int i = steps; i >= 1; --i) {
        const qreal spread = radius * qreal(i) / steps * 0.6;
        QColor ring = shadow;
        ring.setAlphaF(shadow.alphaF() / steps);
        QPainterPath path;
        path.addRoundedRect(card.adjusted(-spread, -spread, spread, spread), PlainToastBackground::cornerRadius + spread,
                            PlainToastBackground::cornerRadius + spread);
        painter.fillPath(path, ring);
    }
}

void PlainToastStyle::StyledViewBody::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_announced)
        return;
    m_announced = true;
    // After Qt has told that the card shows, so the alert names a visible
    // object.
    QPointer<StyledViewBody> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (!self || !self->isVisible())
                return;
            QAccessibleEvent alert(self.data(), QAccessible::Alert);
            QAccessible::updateAccessibility(&alert);
        },
        Qt::QueuedConnection);
}

void PlainToastStyle::StyledViewBody::enterEvent(QEnterEvent* event)
{
    setHovering(true);
    QWidget::enterEvent(event);
}

void PlainToastStyle::StyledViewBody::leaveEvent(QEvent* event)
{
    setHovering(false);
    QWidget::leaveEvent(event);
}

void PlainToastStyle::StyledViewBody::setHovering(bool hovering)
{
    if (hovering == m_hovering)
        return;
    m_hovering = hovering;
    m_background->setHovering(hovering);
    // Scale, border and shadow move together, drawn through the card's
    // animated layer, from wherever a previous change left them.
    AnimationLayer* layer = AnimationLayer::ensure(this);
    const qreal from = m_background->hoverProgress();
    const qreal to = hovering ? 1.0 : 0.0;
    const auto scaleAt = [](qreal progress) {
        const double factor = 1 + (hoverScale - 1) * progress;
        return Transform3D::makeScale(factor, factor, 1);
    };
    layer->removeAllAnimations();
    layer->setTransform(scaleAt(to));
    TimedAnimation animation;
    animation.keyPath = QStringLiteral("transform");
    animation.duration = hoverSeconds;
    animation.timing = TimingFunction::defaultCurve();
    QPointer<StyledViewBody> self(this);
    animation.apply = [self, from, to, scaleAt](double fraction) {
        if (!self)
            return;
        const qreal progress = from + (to - from) * fraction;
        self->m_background->setHoverProgress(progress);
        self->update();
        if (AnimationLayer* layer = AnimationLayer::of(self)) {
            layer->setPresentationTransform(scaleAt(progress));
            layer->surface()->refreshSnapshot();
        }
    };
    auto* group = new AnimationGroup;
    group->addAnimation(std::move(animation));
    group->setOnStopped([self, to](bool) {
        if (self) {
            self->m_background->setHoverProgress(to);
            self->update();
        }
    });
    layer->addAnimation(group, QStringLiteral("hover"));
    group->start();
}

bool PlainToastStyle::StyledViewBody::eventFilter(QObject* watched, QEvent* event)
{
    // The whole card, padding included, is the click target.
    if (watched == m_background && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton
        && m_background->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
        dismissByClick();
    return QWidget::eventFilter(watched, event);
}

void PlainToastStyle::StyledViewBody::dismissByClick()
{
    if (!Environment::get(this, ToastInteractiveDismissEnabledEnvironmentKey::key()))
        return;
    if (auto dismiss = Environment::get(this, ToastDismissEnvironmentKey::key()))
        (*dismiss)();
}

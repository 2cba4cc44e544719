#include "toasts/styles/ToastButtonStyle.h"

#include "toasts/animation/AnimationLayer.h"
#include "toasts/values/ToastDismissAction.h"

#include "platform/SemanticColors.h"

#include <QAbstractButton>
#include <QEvent>

ToastButtonStyle::ToastButtonStyle(QAbstractButton* button, SchemeColor accentColor)
    : QObject(button)
    , m_button(button)
    , m_accentColor(std::move(accentColor))
{
    // Set once: setting a style sheet again polishes the button afresh,
    // which drops the font it inherits from the toast. The colour goes
    // through the palette instead.
    button->setStyleSheet(QStringLiteral("QAbstractButton { border: none; background: transparent; }"));
    button->installEventFilter(this);
    connect(button, &QAbstractButton::pressed, this, &ToastButtonStyle::restyle);
    connect(button, &QAbstractButton::released, this, &ToastButtonStyle::restyle);
    // The button's own clicked handlers run as well: this only adds the dismissal.
    connect(button, &QAbstractButton::clicked, this, [this] {
        if (auto dismiss = Environment::get(m_button, ToastDismissEnvironmentKey::key()))
            (*dismiss)();
    });
    restyle();
}

ToastButtonStyle* ToastButtonStyle::of(const QAbstractButton* button)
{
    return button->findChild<ToastButtonStyle*>(QString(), Qt::FindDirectChildrenOnly);
}

QColor ToastButtonStyle::labelColor(bool enabled) const
{
    const ColorScheme scheme = colorScheme(m_button);
    QColor colour = enabled ? m_accentColor(scheme) : SemanticColors::secondary(scheme);
    colour.setAlphaF(colour.alphaF() * (enabled ? 1.0 : 0.5));
    return colour;
}

bool ToastButtonStyle::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_button && event->type() == QEvent::EnabledChange)
        restyle();
    return QObject::eventFilter(watched, event);
}

void ToastButtonStyle::restyle()
{
    const QColor colour = labelColor(m_button->isEnabled());
    const bool pressed = m_button->isDown();
    const qreal scale = pressed ? pressedScale : 1.0;
    AnimationLayer* layer = AnimationLayer::ensure(m_button);
    layer->setOpacity(pressed ? pressedOpacity : 1.0);
    layer->setTransform(Transform3D::makeScale(scale, scale, 1));
    QPalette palette = m_button->palette();
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::WindowText, colour);
    m_button->setPalette(palette);
}

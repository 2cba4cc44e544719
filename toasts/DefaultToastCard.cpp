#include "toasts/DefaultToastCard.h"

#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

DefaultToastCard::DefaultToastCard(const ToastConfiguration& configuration, QWidget* parent)
    : QWidget(parent)
    , m_role(configuration.role)
{
    setObjectName(QStringLiteral("Toast"));
    setAttribute(Qt::WA_TranslucentBackground);
    setFont(platformFont(TextStyle::Title3));
    setMinimumWidth(minimumCardWidth + 2 * shadowMargin);

    auto* layout = new QHBoxLayout(this);
    const int inset = shadowMargin + padding;
    layout->setContentsMargins(inset, inset, inset, inset);
    layout->setSpacing(8);

    if (!symbolName(m_role).isEmpty()) {
        m_icon = new QLabel(this);
        m_icon->setObjectName(QStringLiteral("ToastIcon"));
        m_icon->setFixedSize(20, 20);
        layout->addWidget(m_icon, 0, Qt::AlignVCenter);
        refreshIcon();
    }
    QWidget* content = configuration.content ? configuration.content(this) : nullptr;
    if (content) {
        content->setObjectName(content->objectName().isEmpty() ? QStringLiteral("ToastContent") : content->objectName());
        if (auto* label = qobject_cast<QLabel*>(content)) {
            label->setWordWrap(true);
            m_text = label;
        }
        layout->addWidget(content, 1);
    }
}

QSize DefaultToastCard::sizeHint() const
{
    QSize hint = QWidget::sizeHint();
    if (!m_text || !layout())
        return hint;
    const int textWidth = std::min(
        m_text->fontMetrics().horizontalAdvance(m_text->text()) + 2 * m_text->margin() + 2, idealTextWidth);
    const QMargins margins = layout()->contentsMargins();
    int width = margins.left() + margins.right() + textWidth;
    if (m_icon)
        width += m_icon->width() + layout()->spacing();
    width = std::max(width, minimumWidth());
    return {width, heightForWidth(width)};
}

QString DefaultToastCard::symbolName(ToastRole role)
{
    switch (role) {
    case ToastRole::plain:
        return {};
    case ToastRole::informational:
        return QStringLiteral("info.circle.fill");
    case ToastRole::success:
        return QStringLiteral("checkmark.circle.fill");
    case ToastRole::warning:
        return QStringLiteral("exclamationmark.triangle.fill");
    case ToastRole::failure:
        return QStringLiteral("xmark.octagon.fill");
    }
    return {};
}

QColor DefaultToastCard::tint() const
{
    const ColorScheme scheme = colorScheme(this);
    switch (m_role) {
    case ToastRole::plain:
        return SemanticColors::separator(scheme);
    case ToastRole::informational:
        return SemanticColors::blue(scheme);
    case ToastRole::success:
        return SemanticColors::green(scheme);
    case ToastRole::warning:
        return SemanticColors::orange(scheme);
    case ToastRole::failure:
        return SemanticColors::red(scheme);
    }
    return SemanticColors::separator(scheme);
}

void DefaultToastCard::refreshIcon()
{
    if (m_icon)
        m_icon->setPixmap(symbolPixmap(symbolName(m_role), tint(), 20, devicePixelRatioF()));
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, SemanticColors::primary(colorScheme(this)));
    setPalette(palette);
}

void DefaultToastCard::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        if (m_icon)
            m_icon->setPixmap(symbolPixmap(symbolName(m_role), tint(), 20, devicePixelRatioF()));
    }
}

void DefaultToastCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(shadowMargin, shadowMargin, -shadowMargin, -shadowMargin);
    const ColorScheme scheme = colorScheme(this);

    // A soft shadow from a few widening, fading outlines, a little lower than
    // the card.
    painter.setPen(Qt::NoPen);
    for (int step = shadowMargin; step > 0; --step) {
        const qreal alpha = (scheme == ColorScheme::Dark ? 0.05 : 0.025) * (shadowMargin - step + 1) / shadowMargin;
        painter.setBrush(QColor::fromRgbF(0, 0, 0, static_cast<float>(alpha)));
        painter.drawRoundedRect(card.adjusted(-step, -step + 2, step, step + 2), cornerRadius + step, cornerRadius + step);
    }

    QPainterPath path;
    path.addRoundedRect(card, cornerRadius, cornerRadius);
    painter.fillPath(path, SemanticColors::controlBackground(scheme));
    QColor border = tint();
    border.setAlphaF(m_role == ToastRole::plain ? 1.0f : 0.6f);
    painter.setPen(QPen(border, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

#include "platform/FocusRing.h"

#include "platform/SemanticColors.h"

#include <QEvent>
#include <QFocusEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {
constexpr qreal kRingWidth = 2;

class FocusRingOverlay final : public QWidget {
public:
    FocusRingOverlay(QWidget* target, QWidget* host, qreal radius, int outset)
        : QWidget(host)
        , m_target(target)
        , m_radius(radius)
        , m_outset(outset)
    {
        setObjectName(QStringLiteral("focusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
        // The control and every widget between it and the host: a move of
        // any of them moves the ring.
        for (QWidget* w = target; w && w != host; w = w->parentWidget())
            w->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_target) {
            if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
                sync();
            return false;
        }
        switch (event->type()) {
        case QEvent::FocusIn:
            m_keyboard = isKeyboardFocus(static_cast<QFocusEvent*>(event), m_keyboard);
            sync();
            break;
        case QEvent::FocusOut:
        case QEvent::Hide:
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::EnabledChange:
            sync();
            break;
        default:
            break;
        }
        return false;
    }

    void paintEvent(QPaintEvent*) override
    {
        if (!m_target)
            return;
        QPainter painter(this);
        const int margin = std::max(m_outset, 0) + 1;
        const int inset = margin - m_outset;
        drawFocusRing(&painter, QRectF(rect()).adjusted(inset, inset, -inset, -inset), m_radius, m_target);
    }

private:
    void sync()
    {
        const bool shows = m_target && m_keyboard && m_target->hasFocus() && m_target->isVisible();
        if (shows) {
            const int margin = std::max(m_outset, 0) + 1;
            const QRect target(m_target->mapTo(parentWidget(), QPoint(0, 0)), m_target->size());
            setGeometry(target.adjusted(-margin, -margin, margin, margin));
            raise();
        }
        setVisible(shows);
        update();
    }

    QPointer<QWidget> m_target;
    qreal m_radius;
    int m_outset;
    bool m_keyboard = false;
};
} // namespace

void showFocusRing(QWidget* target, qreal radius, int outset, QWidget* host)
{
    if (!host && target)
        host = target->parentWidget();
    if (target && host && host->isAncestorOf(target))
        new FocusRingOverlay(target, host, radius, outset);
}

bool isKeyboardFocus(const QFocusEvent* event, bool wasKeyboard)
{
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason)
        return wasKeyboard;
    return reason != Qt::MouseFocusReason;
}

QPen focusRingPen(QColor accent)
{
    accent.setAlphaF(0.8f);
    QPen ring(accent);
    ring.setWidthF(kRingWidth);
    return ring;
}

void drawFocusRing(QPainter* painter, const QRectF& rect, qreal radius, const QWidget* widget)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(focusRingPen(SemanticColors::accent(colorScheme(widget))));
    painter->setBrush(Qt::NoBrush);
    const QRectF shape = rect.adjusted(kRingWidth / 2, kRingWidth / 2, -kRingWidth / 2, -kRingWidth / 2);
    const qreal r = radius < 0 ? shape.height() / 2 : radius;
    painter->drawRoundedRect(shape, r, r);
    painter->restore();
}

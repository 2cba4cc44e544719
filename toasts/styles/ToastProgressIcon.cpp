#include "toasts/styles/ToastProgressIcon.h"

#include "platform/ProgressIndicator.h"

#include <QPainter>
#include <QTimer>

ToastProgressIcon::ToastProgressIcon(int side, QColor tint, QWidget* parent)
    : QWidget(parent)
    , m_tint(std::move(tint))
    , m_timer(new QTimer(this))
{
    setFixedSize(side, side);
    m_timer->setInterval(ProgressIndicator::kFrameMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % ProgressIndicator::kSpokes;
        update();
    });
}

void ToastProgressIcon::setTint(const QColor& tint)
{
    if (tint == m_tint)
        return;
    m_tint = tint;
    update();
}

void ToastProgressIcon::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    ProgressIndicator::paintSpinner(&painter, QRectF(rect()), ProgressIndicator::visibleStep(m_step), m_tint);
}

void ToastProgressIcon::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_timer->start();
}

void ToastProgressIcon::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_timer->stop();
}

#include "Views/TopCharts/RankingListView.h"

#include "Views/Shared/ScreenPanel.h"
#include "Views/TopCharts/RankingListAccessibility.h"
#include "Views/TopCharts/RankingListModel.h"
#include "platform/ProgressIndicator.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QTimer>

RankingListView::RankingListView(QWidget* parent)
    : QListView(parent)
    , m_spinners(new QTimer(this))
    , m_paintCache(std::make_unique<RankingRow::PaintCache>())
{
    installRankingListAccessibility();
    // Around the rows (the scroll bar) the card shows through.
    showCardThrough(this);
    m_spinners->setInterval(ProgressIndicator::kFrameMs);
    connect(m_spinners, &QTimer::timeout, this, [this] {
        const QList<QModelIndex> spinning = spinningRows();
        if (spinning.isEmpty())
            m_spinners->stop();
        for (const QModelIndex& index : spinning)
            update(index);
    });
}

RankingListView::~RankingListView() = default;

void RankingListView::setBackgroundColor(const QColor& color)
{
    QPalette colors = viewport()->palette();
    colors.setColor(viewport()->backgroundRole(), color);
    viewport()->setPalette(colors);
    // Opaque, the rows paint every pixel of their own (see paintEvent).
    const bool opaque = color.alpha() == 255;
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    viewport()->setAutoFillBackground(!opaque);
}

QColor RankingListView::backgroundColor() const
{
    return viewport()->palette().color(viewport()->backgroundRole());
}

RankingRow::Control RankingListView::focusedControl(const QModelIndex& index) const
{
    const QList<RankingRow::Control> offered = RankingRow::controls(index);
    if (offered.contains(m_focused))
        return m_focused;
    return offered.isEmpty() ? RankingRow::Control::None : offered.first();
}

bool RankingListView::press(RankingRow::Control control, const QModelIndex& index)
{
    const AppRanking ranking = index.data(RankingListModel::RankingRole).value<AppRanking>();
    if (control == RankingRow::Control::Add && RankingRow::controls(index).contains(RankingRow::Control::Add)) {
        emit addRequested(ranking);
        return true;
    }
    if (control == RankingRow::Control::Link && !ranking.appStoreURL.isEmpty()) {
        emit openLinkRequested(ranking.appStoreURL);
        return true;
    }
    return false;
}

void RankingListView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return QListView::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const QList<RankingRow::Control> offered = RankingRow::controls(current);
        const qsizetype at = offered.indexOf(focusedControl(current));
        const qsizetype next = at + (event->key() == Qt::Key_Right ? 1 : -1);
        if (at >= 0 && next >= 0 && next < offered.size()) {
            m_focused = offered.at(next);
            update(current);
            announceRankingControlFocus(this, current, m_focused);
        }
        event->accept();
        return;
    }
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Select:
        press(focusedControl(current), current);
        event->accept();
        return;
    default:
        QListView::keyPressEvent(event);
    }
}

void RankingListView::mouseReleaseEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        const QStyleOptionViewItem option = [&] {
            QStyleOptionViewItem o;
            initViewItemOption(&o);
            o.rect = visualRect(index);
            return o;
        }();
        const RankingRow::Geometry g = RankingRow::geometry(option, index);
        const QPoint at = event->position().toPoint();
        if (g.state.contains(at))
            press(RankingRow::Control::Add, index);
        else if (g.link.contains(at))
            press(RankingRow::Control::Link, index);
    }
    QListView::mouseReleaseEvent(event);
}

void RankingListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // The row is announced first, then the control that the keys press in it.
    QListView::currentChanged(current, previous);
    if (hasFocus())
        announceRankingControlFocus(this, current, focusedControl(current));
}

void RankingListView::setModel(QAbstractItemModel* model)
{
    QListView::setModel(model);
    if (!model)
        return;
    const auto unknown = [this] { m_spinnersUnknown = true; };
    connect(model, &QAbstractItemModel::dataChanged, this, unknown);
    connect(model, &QAbstractItemModel::rowsInserted, this, unknown);
    connect(model, &QAbstractItemModel::rowsMoved, this, unknown);
    connect(model, &QAbstractItemModel::modelReset, this, unknown);
    connect(model, &QAbstractItemModel::layoutChanged, this, unknown);
    m_spinnersUnknown = true;
}

void RankingListView::resizeEvent(QResizeEvent* event)
{
    // The list lays its rows out again when they change, but a new width
    // only when it wraps item texts of its own, which it draws none of.
    if (event->size().width() != event->oldSize().width())
        scheduleDelayedItemsLayout();
    QListView::resizeEvent(event);
}

void RankingListView::scrollContentsBy(int dx, int dy)
{
    m_spinnersUnknown = true;
    QListView::scrollContentsBy(dx, dy);
}

void RankingListView::paintEvent(QPaintEvent* event)
{
    if (viewport()->testAttribute(Qt::WA_OpaquePaintEvent)) {
        // What no row covers, below the last one, say.
        QRegion uncovered = event->region();
        for (const QModelIndex& index : visibleRows())
            uncovered -= visualRect(index);
        if (!uncovered.isEmpty()) {
            QPainter painter(viewport());
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            for (const QRect& area : uncovered)
                painter.fillRect(area, backgroundColor());
        }
    }
    QListView::paintEvent(event);
    // The spinners turn while one is on screen.
    if (m_spinnersUnknown && !m_spinners->isActive()) {
        m_spinnersUnknown = false;
        if (!spinningRows().isEmpty())
            m_spinners->start();
    }
}

QList<QModelIndex> RankingListView::visibleRows() const
{
    QList<QModelIndex> rows;
    if (!model())
        return rows;
    const QModelIndex top = indexAt(QPoint(1, 1));
    if (!top.isValid())
        return rows;
    const int bottom = viewport()->height();
    for (int row = top.row(); row < model()->rowCount(); ++row) {
        const QModelIndex index = model()->index(row, 0);
        if (visualRect(index).top() >= bottom)
            break;
        rows.append(index);
    }
    return rows;
}

QList<QModelIndex> RankingListView::spinningRows() const
{
    QList<QModelIndex> spinning;
    for (const QModelIndex& index : visibleRows()) {
        if (RankingRow::spins(index))
            spinning.append(index);
    }
    return spinning;
}

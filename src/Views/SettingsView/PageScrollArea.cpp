#include "Views/SettingsView/PageScrollArea.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QScrollBar>

#include <algorithm>
#include <utility>

PageScrollArea::PageScrollArea(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    // As QScrollArea's: the viewport takes no role of its own, so the page
    // and what it holds paint on the window colour and write in window text,
    // not on the base colour of an editable area.
    viewport()->setBackgroundRole(QPalette::NoRole);
    viewport()->installEventFilter(this);
    verticalScrollBar()->setSingleStep(20);
}

void PageScrollArea::setWidget(QWidget* page)
{
    delete m_page;
    m_page = page;
    page->setParent(viewport());
    page->installEventFilter(this);
    page->show();
    relayout();
}

void PageScrollArea::setTallView(QAbstractItemView* view)
{
    m_view = view;
    // Whenever the view's own range changes (its list or width did), the
    // page's follows.
    connect(view->verticalScrollBar(), &QScrollBar::rangeChanged, this, &PageScrollArea::relayout);
    relayout();
}

int PageScrollArea::viewTop() const
{
    return m_view && m_page ? m_view->mapTo(m_page, QPoint()).y() : 0;
}

int PageScrollArea::viewExcess() const
{
    return m_view && m_page && m_view->isVisibleTo(m_page) ? m_view->verticalScrollBar()->maximum() : 0;
}

void PageScrollArea::relayout()
{
    if (!m_page || m_busy)
        return;
    m_busy = true;
    const QSize area = viewport()->size();
    // No taller than the viewport: it shows all it can, and scrolls the rest.
    if (m_view && m_view->maximumHeight() != std::max(1, area.height()))
        m_view->setMaximumHeight(std::max(1, area.height()));
    const int wanted =
        m_page->hasHeightForWidth() ? m_page->heightForWidth(area.width()) : m_page->sizeHint().height();
    m_page->resize(area.width(), std::max(area.height(), wanted));
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setRange(0, m_page->height() - area.height() + viewExcess());
    m_busy = false;
    place();
}

void PageScrollArea::place()
{
    if (!m_page)
        return;
    // s runs over the page as if the view were laid out at full height.
    const int s = verticalScrollBar()->value();
    const int top = viewTop();
    const int excess = viewExcess();
    const int pageOffset = s <= top ? s : std::max(top, s - excess);
    const int viewOffset = std::clamp(s - top, 0, excess);
    const bool busy = std::exchange(m_busy, true);
    m_page->move(0, -pageOffset);
    if (m_view)
        m_view->verticalScrollBar()->setValue(viewOffset);
    m_busy = busy;
}

void PageScrollArea::scrollContentsBy(int, int)
{
    place();
}

void PageScrollArea::ensureVisible(QWidget* child, const QRect& rect, int margin)
{
    if (!m_page || !child || !m_page->isAncestorOf(child))
        return;
    const int top = viewTop();
    const int excess = viewExcess();
    int y = 0;
    if (child == m_view) {
        y = top + rect.y();
    } else {
        // In page coordinates; below the view, the view's hidden rows come first.
        y = child->mapTo(m_page, rect.topLeft()).y();
        if (m_view && y >= top + m_view->height())
            y += excess;
    }
    QScrollBar* bar = verticalScrollBar();
    const int height = viewport()->height();
    int value = bar->value();
    if (y + rect.height() + margin > value + height)
        value = y + rect.height() + margin - height;
    if (y - margin < value)
        value = y - margin;
    bar->setValue(value);
}

bool PageScrollArea::focusNextPrevChild(bool next)
{
    const bool moved = QAbstractScrollArea::focusNextPrevChild(next);
    QWidget* focus = focusWidget();
    if (moved && focus && m_page && m_page->isAncestorOf(focus)) {
        if (focus == m_view && m_view->currentIndex().isValid())
            m_view->scrollTo(m_view->currentIndex());
        else if (focus != m_view && !(m_view && m_view->isAncestorOf(focus)))
            ensureVisible(focus, focus->rect(), 8);
    }
    return moved;
}

bool PageScrollArea::eventFilter(QObject* watched, QEvent* event)
{
    // The viewport changes size with the sheet; the page asks again after its
    // content changed, and is laid out before it is measured.
    if (watched == viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) {
        relayout();
    } else if (watched == m_page && event->type() == QEvent::LayoutRequest && !m_relayoutQueued) {
        m_relayoutQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_relayoutQueued = false;
                relayout();
            },
            Qt::QueuedConnection);
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

QSize PageScrollArea::viewportSizeHint() const
{
    return m_page ? m_page->sizeHint() : QAbstractScrollArea::viewportSizeHint();
}

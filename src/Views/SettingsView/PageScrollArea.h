#pragma once

#include <QAbstractScrollArea>
#include <QPointer>

class QAbstractItemView;

// A scrolling page (as QScrollArea with a resizable widget) that may hold
// one item view whose content is taller than any widget can be. That view
// is laid out no taller than the viewport and scrolls its own content; the
// page's one scroll bar spans the page and the view's full content, so the
// page scrolls as if the view were laid out at its full height: the page
// moves until the view fills the viewport, then the view's rows move, then
// the rest of the page.
class PageScrollArea : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PageScrollArea(QWidget* parent = nullptr);

    // Takes ownership of `page`, widened to the viewport.
    void setWidget(QWidget* page);
    QWidget* widget() const { return m_page; }
    // A view inside the page whose vertical scroll bar holds its own offset
    // (its range: how much taller its content is than the view).
    void setTallView(QAbstractItemView* view);

    // Scrolls the least that shows `rect` of `child` with `margin` around it;
    // for the tall view, `rect` is in its content's coordinates.
    void ensureVisible(QWidget* child, const QRect& rect, int margin = 0);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void scrollContentsBy(int dx, int dy) override;
    QSize viewportSizeHint() const override;

private:
    // Sizes the page for the viewport and sets the scroll range.
    void relayout();
    // Places the page and the view's content for the scroll bar's value.
    void place();
    int viewTop() const;
    int viewExcess() const;

    QPointer<QWidget> m_page;
    QPointer<QAbstractItemView> m_view;
    bool m_busy = false; // sizing or placing: the view's own changes are ours
    bool m_relayoutQueued = false;
};

#pragma once

#include "Views/TopCharts/RankingRow.h"
#include "models/AppRanking.h"

#include <QListView>

#include <memory>

class QTimer;

// The list of a chart's entries, drawn by RankingRow. It keeps what belongs
// to the view rather than to a row: which control of the current row has the
// keyboard, the spinners' clock, and what the rows' drawing reuses. A click or
// a key on a row's control comes out as a signal.
//
// By keyboard the current row is the focused one: Left and Right move between
// its add button and store link, Space or Enter presses the one in focus.
// Assistive technology finds the rows and their controls too (see
// RankingListAccessibility).
//
// The list is opaque in its background colour, so that a scroll moves what is
// drawn instead of painting everything under it again.
//
// Rows differ in height (a category wraps to the width of its row's text
// column), so the rows are laid out again when the list's width changes.
class RankingListView : public QListView {
    Q_OBJECT
public:
    explicit RankingListView(QWidget* parent = nullptr);
    ~RankingListView() override;

    // The colour behind the rows: that of the card the list lies on.
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const;

    // The control that has the keyboard in the row at `index` when it is the
    // current one: the last one moved to, else the first it offers.
    RankingRow::Control focusedControl(const QModelIndex& index) const;

    RankingRow::PaintCache& paintCache() const { return *m_paintCache; }

    // Presses a control of the row at `index` as a click or a key does;
    // false when the row offers no such control.
    bool press(RankingRow::Control control, const QModelIndex& index);

    void setModel(QAbstractItemModel* model) override;

signals:
    void addRequested(const AppRanking& ranking);
    void openLinkRequested(const QUrl& url);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    QList<QModelIndex> visibleRows() const;
    // The rows on screen that show a spinner.
    QList<QModelIndex> spinningRows() const;

    RankingRow::Control m_focused = RankingRow::Control::None;
    QTimer* m_spinners;
    // Rows changed or moved since the last look for spinners.
    bool m_spinnersUnknown = true;
    std::unique_ptr<RankingRow::PaintCache> m_paintCache;
};

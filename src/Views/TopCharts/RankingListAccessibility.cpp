#include "Views/TopCharts/RankingListAccessibility.h"

#include "Views/TopCharts/RankingListModel.h"
#include "Views/TopCharts/RankingListView.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QWindow>

namespace {
using Control = RankingRow::Control;

class RankingListAccessible;

RankingListAccessible* listAccessible(RankingListView* view);

// Where a row and its controls lie, in global coordinates.
RankingRow::Geometry globalGeometry(const RankingListView* view, const QModelIndex& index)
{
    QStyleOptionViewItem option;
    option.widget = view;
    option.direction = view->layoutDirection();
    option.rect = view->visualRect(index);
    RankingRow::Geometry g = RankingRow::geometry(option, index);
    const QPoint offset = view->viewport()->mapToGlobal(QPoint(0, 0));
    for (QRect* part : {&g.card, &g.state, &g.link})
        part->translate(offset);
    return g;
}

// A row, or one control of it: the list draws both, so neither has a widget.
// Each keeps its place through a persistent index, which follows the row
// when a new chart moves it and goes invalid when the row goes.
class RankingNodeAccessible : public QAccessibleInterface {
public:
    RankingNodeAccessible(RankingListView* view, const QModelIndex& index)
        : m_view(view)
        , m_index(index)
    {
    }

    bool isValid() const override { return m_view && m_index.isValid() && m_index.model() == m_view->model(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

protected:
    QModelIndex index() const { return m_index; }
    bool isCurrent() const { return isValid() && m_view->hasFocus() && m_view->currentIndex() == QModelIndex(m_index); }
    bool isOnScreen(const QRect& global) const
    {
        return isValid() && QRect(m_view->viewport()->mapToGlobal(QPoint(0, 0)), m_view->viewport()->size()).intersects(global);
    }

    // A focusable node's state, placed where rect() says.
    QAccessible::State nodeState(bool focused) const
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.focused = focused;
        s.offscreen = !isOnScreen(rect());
        s.invisible = !m_view->isVisible();
        return s;
    }

    QPointer<RankingListView> m_view;
    QPersistentModelIndex m_index;
};

// The add button or the store link of one row.
class RankingControlAccessible : public RankingNodeAccessible, public QAccessibleActionInterface {
public:
    RankingControlAccessible(RankingListView* view, const QModelIndex& index, Control control)
        : RankingNodeAccessible(view, index)
        , m_control(control)
    {
    }

    // A control the row no longer offers (the app was saved, say) is gone.
    bool isValid() const override
    {
        return RankingNodeAccessible::isValid() && RankingRow::controls(m_index).contains(m_control);
    }

    QAccessibleInterface* parent() const override;
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QAccessible::Role role() const override
    {
        return m_control == Control::Link ? QAccessible::Link : QAccessible::Button;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name:
            return m_index
                .data(m_control == Control::Link ? RankingListModel::LinkAccessibleLabelRole
                                                 : RankingListModel::AddAccessibleLabelRole)
                .toString();
        case QAccessible::Description:
            // The add button's tooltip.
            return m_control == Control::Add ? RankingRow::tr("Add to Plovera") : QString();
        default:
            return {};
        }
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const RankingRow::Geometry g = globalGeometry(m_view, m_index);
        return m_control == Control::Link ? g.link : g.state;
    }

    QAccessible::State state() const override
    {
        return nodeState(isCurrent() && m_view->focusedControl(m_index) == m_control);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction() && isValid())
            m_view->press(m_control, m_index);
    }

    Control control() const { return m_control; }
    QModelIndex row() const { return index(); }

private:
    Control m_control;
};

// One chart entry, read as "#<rank> <name>", with its controls as children.
class RankingRowAccessible : public RankingNodeAccessible {
public:
    using RankingNodeAccessible::RankingNodeAccessible;

    QAccessibleInterface* parent() const override
    {
        return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
    }
    int childCount() const override { return isValid() ? int(RankingRow::controls(m_index).size()) : 0; }
    QAccessibleInterface* child(int at) const override;
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* control = dynamic_cast<const RankingControlAccessible*>(child);
        if (!isValid() || !control || control->row() != QModelIndex(m_index))
            return -1;
        return int(RankingRow::controls(m_index).indexOf(control->control()));
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* control = child(i);
            if (control && control->rect().contains(x, y))
                return control;
        }
        return nullptr;
    }

    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name:
            return m_index.data(Qt::AccessibleTextRole).toString();
        case QAccessible::Description:
            return description();
        default:
            return {};
        }
    }
    QRect rect() const override { return isValid() ? globalGeometry(m_view, m_index).card : QRect(); }

    // The lines under the name, each whole as the row shows it: the
    // developer, the category, the badge of the open app.
    QString description() const
    {
        const AppRanking ranking = m_index.data(RankingListModel::RankingRole).value<AppRanking>();
        QStringList lines{ranking.artistName};
        if (ranking.genre)
            lines.append(*ranking.genre);
        if (m_index.data(RankingListModel::HighlightedRole).toBool())
            lines.append(RankingRow::tr("Selected App"));
        return lines.join(QStringLiteral(", "));
    }
    QAccessible::State state() const override
    {
        // The keys act on a control while the row offers one: that has the focus.
        return nodeState(isCurrent() && RankingRow::controls(m_index).isEmpty());
    }
};

// The list: its rows are its children. The interfaces of rows and controls
// are made when first asked for, kept while their row stays, and let go
// when it goes or with the list.
class RankingListAccessible : public QAccessibleWidget {
public:
    explicit RankingListAccessible(RankingListView* view)
        : QAccessibleWidget(view, QAccessible::List)
    {
    }

    ~RankingListAccessible() override
    {
        for (const Nodes& nodes : std::as_const(m_nodes))
            release(nodes);
    }

    int childCount() const override { return model() ? model()->rowCount() : 0; }
    QAccessibleInterface* child(int at) const override
    {
        return at >= 0 && at < childCount() ? rowNode(model()->index(at, 0)) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (const Nodes& nodes : std::as_const(m_nodes)) {
            if (nodes.row && QAccessible::accessibleInterface(nodes.row) == child)
                return nodes.index.isValid() ? nodes.index.row() : -1;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? rowNode(index) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        const QModelIndex current = view()->currentIndex();
        if (!view()->hasFocus() || !current.isValid())
            return nullptr;
        const Control focused = view()->focusedControl(current);
        return focused == Control::None ? rowNode(current) : controlNode(current, focused);
    }

    QAccessibleInterface* rowNode(const QModelIndex& index) const
    {
        Nodes& nodes = nodesOf(index);
        if (!nodes.row)
            nodes.row = QAccessible::registerAccessibleInterface(new RankingRowAccessible(view(), index));
        return QAccessible::accessibleInterface(nodes.row);
    }

    QAccessibleInterface* controlNode(const QModelIndex& index, Control control) const
    {
        if (control == Control::None)
            return nullptr;
        Nodes& nodes = nodesOf(index);
        QAccessible::Id& id = control == Control::Add ? nodes.add : nodes.link;
        if (!id)
            id = QAccessible::registerAccessibleInterface(new RankingControlAccessible(view(), index, control));
        return QAccessible::accessibleInterface(id);
    }

private:
    struct Nodes {
        QPersistentModelIndex index;
        QAccessible::Id row = 0;
        QAccessible::Id add = 0;
        QAccessible::Id link = 0;
    };

    RankingListView* view() const { return static_cast<RankingListView*>(widget()); }
    QAbstractItemModel* model() const { return view()->model(); }

    static void release(const Nodes& nodes)
    {
        for (const QAccessible::Id id : {nodes.row, nodes.add, nodes.link}) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

    // The nodes of the row at `index`, after letting go of those of rows
    // that have gone (a chart of at most a few hundred rows).
    Nodes& nodesOf(const QModelIndex& index) const
    {
        for (qsizetype i = m_nodes.size() - 1; i >= 0; --i) {
            const Nodes& nodes = m_nodes.at(i);
            if (!nodes.index.isValid() || nodes.index.model() != model()) {
                release(nodes);
                m_nodes.removeAt(i);
            }
        }
        for (Nodes& nodes : m_nodes) {
            if (nodes.index == index)
                return nodes;
        }
        m_nodes.append(Nodes{QPersistentModelIndex(index)});
        return m_nodes.last();
    }

    mutable QList<Nodes> m_nodes;
};

RankingListAccessible* listAccessible(RankingListView* view)
{
    return view ? dynamic_cast<RankingListAccessible*>(QAccessible::queryAccessibleInterface(view)) : nullptr;
}

QAccessibleInterface* RankingControlAccessible::parent() const
{
    RankingListAccessible* list = listAccessible(m_view);
    return list && RankingNodeAccessible::isValid() ? list->rowNode(m_index) : nullptr;
}

QAccessibleInterface* RankingRowAccessible::child(int at) const
{
    if (!isValid())
        return nullptr;
    const QList<Control> offered = RankingRow::controls(m_index);
    RankingListAccessible* list = listAccessible(m_view);
    return list && at >= 0 && at < offered.size() ? list->controlNode(m_index, offered.at(at)) : nullptr;
}

QAccessibleInterface* rankingListFactory(const QString&, QObject* object)
{
    if (auto* view = qobject_cast<RankingListView*>(object))
        return new RankingListAccessible(view);
    return nullptr;
}
} // namespace

void installRankingListAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(rankingListFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void announceRankingControlFocus(RankingListView* view, const QModelIndex& index, RankingRow::Control control)
{
    if (!QAccessible::isActive() || !index.isValid())
        return;
    RankingListAccessible* list = listAccessible(view);
    if (QAccessibleInterface* node = list ? list->controlNode(index, control) : nullptr) {
        QAccessibleEvent event(node, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

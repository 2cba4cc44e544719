#include "Views/MainWindow/SavedAppsSidebar.h"

#include "Views/MainWindow/AppListModels.h"
#include "Views/MainWindow/AppRowDelegate.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QStackedWidget>
#include <QVBoxLayout>

SavedAppsSidebar::SavedAppsSidebar(SavedAppsViewModel* savedApps, QWidget* parent)
    : QWidget(parent)
    , m_savedApps(savedApps)
    , m_model(new SavedAppsListModel(savedApps, this))
    , m_delegate(new AppRowDelegate(32, 46, false, this))
    , m_stack(new QStackedWidget(this))
    , m_list(new QListView(this))
    , m_title(new QLabel(tr("Saved Apps"), this))
    , m_emptyLabel(new QLabel(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_title->setFont(platformFont(TextStyle::Subheadline, QFont::DemiBold));
    m_title->setContentsMargins(12, 10, 12, 6);
    layout->addWidget(m_title);

    setAutoFillBackground(true);
    m_list->setModel(m_model);
    m_list->setItemDelegate(m_delegate);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setUniformItemSizes(true);
    m_list->setMouseTracking(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setAccessibleName(tr("Saved Apps"));

    m_emptyLabel->setText(tr("No saved apps yet.\nSearch the catalogue above and add an app."));
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_emptyLabel->setWordWrap(true);
    m_emptyLabel->setFont(platformFont(TextStyle::Callout));
    m_emptyLabel->setContentsMargins(16, 16, 16, 16);
    // An explicit minimum spares the layout a search for the narrowest wrap.
    m_emptyLabel->setMinimumSize(120, 80);

    m_stack->addWidget(m_emptyLabel);
    m_stack->addWidget(m_list);
    layout->addWidget(m_stack, 1);

    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (m_updating || !current.isValid())
            return;
        m_wantedKey = current.data(AppListRole::Key).toString();
        emit profileSelected(m_wantedKey);
    });
    // While rows come and go the view moves its current row by itself; that
    // is no choice of the user's, and the wanted row is put back afterwards.
    for (auto about : {&QAbstractItemModel::rowsAboutToBeRemoved, &QAbstractItemModel::rowsAboutToBeInserted}) {
        connect(m_model, about, this, [this] { m_updating = true; });
    }
    connect(m_model, &QAbstractItemModel::rowsAboutToBeMoved, this, [this] { m_updating = true; });
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_updating = true; });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        setSelectedKey(m_wantedKey);
        updateEmptyState();
    });
    for (auto done : {&QAbstractItemModel::rowsRemoved, &QAbstractItemModel::rowsInserted}) {
        connect(m_model, done, this, [this] { setSelectedKey(m_wantedKey); });
    }
    connect(m_model, &QAbstractItemModel::rowsMoved, this, [this] { setSelectedKey(m_wantedKey); });
    connect(m_list, &QListView::customContextMenuRequested, this, &SavedAppsSidebar::showContextMenu);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &SavedAppsSidebar::updateEmptyState);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &SavedAppsSidebar::updateEmptyState);
    if (savedApps)
        connect(savedApps, &SavedAppsViewModel::loadedChanged, this, &SavedAppsSidebar::updateEmptyState);
    updateEmptyState();
    onColorSchemeChange(this, [this](ColorScheme) { applyColors(); });
}

void SavedAppsSidebar::applyColors()
{
    const ColorScheme scheme = colorScheme(this);
    QPalette sidebarPalette = palette();
    sidebarPalette.setColor(QPalette::Window, SemanticColors::controlBackground(scheme));
    setPalette(sidebarPalette);
    for (QLabel* label : {m_title, m_emptyLabel}) {
        QPalette quiet = label->palette();
        quiet.setColor(QPalette::WindowText, SemanticColors::secondary(scheme));
        label->setPalette(quiet);
    }
    QPalette listPalette = m_list->palette();
    listPalette.setColor(QPalette::Base, SemanticColors::controlBackground(scheme));
    m_list->setPalette(listPalette);
    m_list->viewport()->update();
}

void SavedAppsSidebar::updateEmptyState()
{
    // Until the workspace is read the list stays blank instead of saying it is empty.
    const bool empty = m_model->rowCount() == 0 && (!m_savedApps || m_savedApps->isLoaded());
    m_stack->setCurrentWidget(empty ? static_cast<QWidget*>(m_emptyLabel) : m_list);
}

void SavedAppsSidebar::setSelectedKey(const QString& dedupKey)
{
    m_wantedKey = dedupKey;
    m_updating = true;
    const int row = dedupKey.isEmpty() ? -1 : m_model->rowOfKey(dedupKey);
    if (row < 0) {
        m_list->selectionModel()->clear();
    } else {
        m_list->selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
    }
    m_updating = false;
}

QString SavedAppsSidebar::selectedKey() const
{
    const QModelIndex current = m_list->selectionModel()->currentIndex();
    return current.isValid() && m_list->selectionModel()->isSelected(current)
        ? current.data(AppListRole::Key).toString()
        : QString();
}

int SavedAppsSidebar::rowCount() const
{
    return m_model->rowCount();
}

void SavedAppsSidebar::showContextMenu(const QPoint& position)
{
    const QModelIndex index = m_list->indexAt(position);
    if (!index.isValid())
        return;
    const QString key = index.data(AppListRole::Key).toString();
    QMenu menu(this);
    QAction* remove = menu.addAction(tr("Remove from Workspace"));
    if (menu.exec(m_list->viewport()->mapToGlobal(position)) == remove)
        emit removeRequested(key);
}

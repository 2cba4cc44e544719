#include "Views/SavedAppsSidebar.h"

#include "Views/SavedAppRow.h"
#include "platform/SemanticColors.h"
#include "models/StorefrontOption.h"
#include "platform/TextStyle.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
constexpr int kKeyRole = Qt::UserRole + 1;
}

SavedAppsSidebar::SavedAppsSidebar(QWidget* parent)
    : QWidget(parent)
    , m_stack(new QStackedWidget(this))
    , m_list(new QListWidget(this))
    , m_emptyLabel(new QLabel(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* title = new QLabel(tr("Saved Apps"), this);
    title->setFont(platformFont(TextStyle::Subheadline, QFont::DemiBold));
    title->setContentsMargins(12, 10, 12, 6);
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::WindowText, SemanticColors::secondary(colorScheme(this)));
    title->setPalette(titlePalette);
    layout->addWidget(title);

    // One fill for the whole sidebar; the selection is a light tint of the
    // accent so the row's own text colours stay readable on it.
    const ColorScheme scheme = colorScheme(this);
    setAutoFillBackground(true);
    QPalette sidebarPalette = palette();
    sidebarPalette.setColor(QPalette::Window, SemanticColors::controlBackground(scheme));
    setPalette(sidebarPalette);
    QColor selection = SemanticColors::accent(scheme);
    selection.setAlphaF(0.18);
    m_list->setStyleSheet(QStringLiteral("QListWidget { background: transparent; }"
                                         "QListWidget::item:selected { background: %1; border-radius: 6px; }"
                                         "QListWidget::item:hover:!selected { background: rgba(127,127,127,0.08); }")
                              .arg(styleSheetColor(selection)));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setUniformItemSizes(true);
    m_list->setAccessibleName(tr("Saved Apps"));

    m_emptyLabel->setText(tr("No saved apps yet.\nSearch the catalogue above and add an app."));
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_emptyLabel->setWordWrap(true);
    m_emptyLabel->setFont(platformFont(TextStyle::Callout));
    QPalette emptyPalette = m_emptyLabel->palette();
    emptyPalette.setColor(QPalette::WindowText, SemanticColors::secondary(colorScheme(this)));
    m_emptyLabel->setPalette(emptyPalette);
    m_emptyLabel->setContentsMargins(16, 16, 16, 16);

    m_stack->addWidget(m_emptyLabel);
    m_stack->addWidget(m_list);
    layout->addWidget(m_stack, 1);

    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* current) {
        if (m_updating || !current)
            return;
        emit profileSelected(current->data(kKeyRole).toString());
    });
    connect(m_list, &QListWidget::customContextMenuRequested, this, &SavedAppsSidebar::showContextMenu);
}

void SavedAppsSidebar::setProfiles(const QList<SavedAppProfile>& profiles)
{
    const QString selected = selectedKey();
    m_updating = true;
    m_list->clear();
    for (const SavedAppProfile& profile : profiles) {
        auto* item = new QListWidgetItem(m_list);
        item->setData(kKeyRole, profile.dedupKey());
        item->setData(Qt::AccessibleTextRole, profile.app.name);
        auto* row = new SavedAppRow(profile.app, 32, m_list);
        item->setSizeHint(QSize(0, 46));
        item->setToolTip(QStringLiteral("%1 · %2 %3")
                             .arg(profile.app.name, StorefrontOption::flagEmoji(profile.storefront), profile.storefront));
        m_list->setItemWidget(item, row);
    }
    m_stack->setCurrentWidget(profiles.isEmpty() ? static_cast<QWidget*>(m_emptyLabel) : m_list);
    m_updating = false;
    setSelectedKey(selected);
}

void SavedAppsSidebar::setSelectedKey(const QString& dedupKey)
{
    m_updating = true;
    m_list->setCurrentItem(nullptr);
    for (int i = 0; i < m_list->count(); ++i) {
        if (!dedupKey.isEmpty() && m_list->item(i)->data(kKeyRole).toString() == dedupKey) {
            m_list->setCurrentRow(i);
            break;
        }
    }
    m_updating = false;
}

QString SavedAppsSidebar::selectedKey() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(kKeyRole).toString() : QString();
}

int SavedAppsSidebar::rowCount() const
{
    return m_list->count();
}

void SavedAppsSidebar::showContextMenu(const QPoint& position)
{
    QListWidgetItem* item = m_list->itemAt(position);
    if (!item)
        return;
    const QString key = item->data(kKeyRole).toString();
    QMenu menu(this);
    QAction* remove = menu.addAction(tr("Remove from Workspace"));
    if (menu.exec(m_list->viewport()->mapToGlobal(position)) == remove)
        emit removeRequested(key);
}

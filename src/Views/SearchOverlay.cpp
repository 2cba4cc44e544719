#include "Views/SearchOverlay.h"

#include "ViewModels/AppSearchViewModel.h"
#include "Views/SavedAppRow.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kIndexRole = Qt::UserRole + 1;
}

SearchOverlay::SearchOverlay(AppSearchViewModel* model, QWidget* parent)
    : QFrame(parent)
    , m_model(model)
    , m_stack(new QStackedWidget(this))
    , m_list(new QListWidget(this))
    , m_status(new QLabel(this))
    , m_banner(new QLabel(this))
{
    setObjectName(QStringLiteral("SearchOverlay"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    const ColorScheme scheme = colorScheme(this);
    QPalette panel = palette();
    panel.setColor(QPalette::Window, SemanticColors::controlBackground(scheme));
    setPalette(panel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(6);

    auto* header = new QHBoxLayout;
    auto* title = new QLabel(tr("Search Results"), this);
    title->setFont(platformFont(TextStyle::Headline));
    auto* close = new QToolButton(this);
    close->setText(tr("Close"));
    close->setAutoRaise(true);
    close->setToolTip(tr("Close the search results (Esc)"));
    header->addWidget(title, 1);
    header->addWidget(close);
    layout->addLayout(header);

    m_status->setAlignment(Qt::AlignCenter);
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setFont(platformFont(TextStyle::Callout));
    m_banner->setWordWrap(true);
    m_banner->setTextFormat(Qt::PlainText);
    m_banner->setFont(platformFont(TextStyle::Callout));
    QPalette bannerPalette = m_banner->palette();
    bannerPalette.setColor(QPalette::WindowText, SemanticColors::red(scheme));
    m_banner->setPalette(bannerPalette);
    m_banner->hide();
    layout->addWidget(m_banner);

    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setAccessibleName(tr("Search Results"));
    m_stack->addWidget(m_status);
    m_stack->addWidget(m_list);
    layout->addWidget(m_stack, 1);

    connect(close, &QToolButton::clicked, this, &SearchOverlay::closeRequested);
    connect(m_model, &AppSearchViewModel::resultsChanged, this, &SearchOverlay::render);
    connect(m_model, &AppSearchViewModel::isLoadingChanged, this, &SearchOverlay::render);
    connect(m_model, &AppSearchViewModel::errorMessageChanged, this, &SearchOverlay::render);
    connect(m_list, &QListWidget::itemActivated, this, [this] { addCurrent(); });
    render();
}

void SearchOverlay::setSavedAppIDs(const QSet<qint64>& ids)
{
    if (ids == m_savedIDs)
        return;
    m_savedIDs = ids;
    render();
}

void SearchOverlay::setPendingAppIDs(const QSet<qint64>& ids)
{
    if (ids == m_pendingIDs)
        return;
    m_pendingIDs = ids;
    render();
}

QString SearchOverlay::statusText() const
{
    return m_stack->currentWidget() == m_status ? m_status->text() : QString();
}

QString SearchOverlay::bannerText() const
{
    return m_banner->text();
}

void SearchOverlay::render()
{
    const int previousRow = m_list->currentRow();
    m_list->clear();
    const QList<AppInfo>& results = m_model->results();
    for (int i = 0; i < results.size(); ++i) {
        const AppInfo& app = results.at(i);
        auto* item = new QListWidgetItem(m_list);
        item->setData(kIndexRole, i);
        item->setData(Qt::AccessibleTextRole, app.name);
        item->setSizeHint(QSize(0, 52));

        auto* rowWidget = new QWidget(m_list);
        auto* rowLayout = new QHBoxLayout(rowWidget);
        rowLayout->setContentsMargins(0, 0, 6, 0);
        rowLayout->addWidget(new SavedAppRow(app, 36, rowWidget), 1);
        auto* add = new QPushButton(rowWidget);
        add->setObjectName(QStringLiteral("addButton"));
        if (m_savedIDs.contains(app.id)) {
            add->setText(tr("Added"));
            add->setEnabled(false);
        } else if (m_pendingIDs.contains(app.id)) {
            add->setText(tr("Adding…"));
            add->setEnabled(false);
        } else {
            add->setText(tr("Add"));
        }
        add->setAccessibleName(tr("Add %1").arg(app.name));
        connect(add, &QPushButton::clicked, this, [this, app] { emit addRequested(app); });
        rowLayout->addWidget(add, 0, Qt::AlignVCenter);
        m_list->setItemWidget(item, rowWidget);
    }
    if (previousRow >= 0 && previousRow < m_list->count())
        m_list->setCurrentRow(previousRow);

    QString status;
    if (m_model->isLoading() && results.isEmpty())
        status = tr("Searching…");
    else if (!m_model->errorMessage().isEmpty() && results.isEmpty())
        status = m_model->errorMessage();
    else if (results.isEmpty())
        status = tr("No apps found.");
    if (!status.isEmpty()) {
        m_status->setText(status);
        m_stack->setCurrentWidget(m_status);
    } else {
        m_stack->setCurrentWidget(m_list);
    }
    // A failure with results on screen keeps them and says why above them.
    const bool keptAfterFailure = !m_model->errorMessage().isEmpty() && !results.isEmpty();
    m_banner->setText(keptAfterFailure ? m_model->errorMessage() : QString());
    m_banner->setVisible(keptAfterFailure);
}

void SearchOverlay::addCurrent()
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const int index = item->data(kIndexRole).toInt();
    const QList<AppInfo>& results = m_model->results();
    if (index < 0 || index >= results.size())
        return;
    const AppInfo& app = results.at(index);
    if (!m_savedIDs.contains(app.id) && !m_pendingIDs.contains(app.id))
        emit addRequested(app);
}

void SearchOverlay::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        emit closeRequested();
        return;
    }
    QFrame::keyPressEvent(event);
}

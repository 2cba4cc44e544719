#include "Views/MainWindow/SearchOverlay.h"

#include "ViewModels/AppSearchViewModel.h"
#include "ViewModels/MainViewModel.h"
#include "Views/MainWindow/AppListModels.h"
#include "Views/MainWindow/AppRowDelegate.h"
#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

SearchOverlay::SearchOverlay(MainViewModel* main, QWidget* parent)
    : QFrame(parent)
    , m_main(main)
    , m_model(new SearchResultsModel(main, this))
    , m_delegate(new AppRowDelegate(36, 52, true, this))
    , m_stack(new QStackedWidget(this))
    , m_list(new QListView(this))
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("SearchOverlay"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

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

    m_list->setModel(m_model);
    m_list->setItemDelegate(m_delegate);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setUniformItemSizes(true);
    m_list->setMouseTracking(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setAccessibleName(tr("Search Results"));
    m_list->installEventFilter(this);
    m_stack->addWidget(m_status);
    m_stack->addWidget(m_list);
    layout->addWidget(m_stack, 1);

    connect(close, &QToolButton::clicked, this, &SearchOverlay::closeRequested);
    AppSearchViewModel* search = m_main->searchModel();
    connect(search, &AppSearchViewModel::resultsChanged, this, &SearchOverlay::renderStatus);
    connect(search, &AppSearchViewModel::isLoadingChanged, this, &SearchOverlay::renderStatus);
    connect(search, &AppSearchViewModel::errorMessageChanged, this, &SearchOverlay::renderStatus);
    connect(m_list, &QListView::activated, this, [this](const QModelIndex& index) { addRow(index.row()); });
    connect(m_delegate, &AppRowDelegate::addClicked, this, [this](const QModelIndex& index) {
        m_list->setCurrentIndex(index);
        addRow(index.row());
    });
    renderStatus();
    onColorSchemeChange(this, [this](ColorScheme) { applyColors(); });
}

void SearchOverlay::applyColors()
{
    const ColorScheme scheme = colorScheme(this);
    QPalette panel = palette();
    panel.setColor(QPalette::Window, SemanticColors::controlBackground(scheme));
    panel.setColor(QPalette::Base, SemanticColors::controlBackground(scheme));
    setPalette(panel);
    QPalette quiet = m_status->palette();
    const bool failed = !m_main->searchModel()->errorMessage().isEmpty();
    quiet.setColor(QPalette::WindowText, failed ? SemanticColors::red(scheme) : SemanticColors::secondary(scheme));
    m_status->setPalette(quiet);
    m_list->viewport()->update();
}

QString SearchOverlay::statusText() const
{
    return m_stack->currentWidget() == m_status ? m_status->text() : QString();
}

void SearchOverlay::renderStatus()
{
    const AppSearchViewModel* search = m_main->searchModel();
    const bool empty = search->results().isEmpty();
    QString status;
    if (search->isLoading() && empty)
        status = tr("Searching…");
    else if (!search->errorMessage().isEmpty())
        // Results of an earlier term under this error would read as its answer.
        status = search->errorMessage();
    else if (empty)
        status = tr("No apps found.");
    m_status->setText(status);
    m_stack->setCurrentWidget(status.isEmpty() ? static_cast<QWidget*>(m_list) : m_status);
    applyColors();
}

void SearchOverlay::addRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    if (m_model->addState(row) == MainViewModel::AddState::Add)
        emit addRequested(m_model->rowAt(row));
}

bool SearchOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            emit closeRequested();
            return true;
        }
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            addRow(m_list->currentIndex().row());
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void SearchOverlay::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        emit closeRequested();
        return;
    }
    QFrame::keyPressEvent(event);
}

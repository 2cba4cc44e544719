#include "Views/MainWindow/AppDetailArea.h"

#include "Views/MainWindow/DetailTabBar.h"
#include "Views/Shared/AppHeaderTitleStack.h"
#include "platform/ColorSchemeWatcher.h"
#include "platform/RemoteImageView.h"
#include "platform/SemanticColors.h"
#include "platform/ShrinkingLabel.h"
#include "models/StorefrontOption.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

AppDetailArea::AppDetailArea(QWidget* parent)
    : QWidget(parent)
    , m_icon(new RemoteImageView(this))
    , m_titles(new AppHeaderTitleStack(this))
    , m_storefront(new ShrinkingLabel(QString(), this))
    , m_status(new ShrinkingLabel(QString(), this))
    , m_tabs(new DetailTabBar(this))
    , m_pages(new QStackedWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    // The tab cards keep the same 20 from the window's bottom edge as from its sides.
    layout->setContentsMargins(20, 16, 20, 20);
    layout->setSpacing(12);

    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    m_icon->setFixedImageSize(QSize(64, 64));
    m_icon->setCornerRadius(14);
    m_icon->setShowsPhases(12);
    header->addWidget(m_icon);
    header->addWidget(m_titles, 1, Qt::AlignVCenter);
    // The storefront line, and under it the progress or failure of a refresh:
    // one line each, cut rather than widening the window, and in the icon's
    // height, so that the status coming and going moves nothing.
    auto* sideColumn = new QVBoxLayout;
    sideColumn->setSpacing(4);
    m_storefront->setFont(platformFont(TextStyle::Callout));
    m_storefront->setAlignment(Qt::AlignTrailing | Qt::AlignVCenter);
    sideColumn->addWidget(m_storefront);
    m_status->setFont(platformFont(TextStyle::Footnote));
    m_status->setAlignment(Qt::AlignTrailing | Qt::AlignVCenter);
    m_status->hide();
    sideColumn->addWidget(m_status);
    sideColumn->addStretch(1);
    header->addLayout(sideColumn);
    layout->addLayout(header);

    m_tabs->setDocumentMode(true);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(true);
    for (DetailTab tab : allDetailTabs()) {
        const int index = m_tabs->addTab(label(tab));
        m_tabs->setTabData(index, static_cast<int>(tab));
        auto* page = new QWidget(m_pages);
        page->setObjectName(QStringLiteral("detailPage%1").arg(static_cast<int>(tab)));
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        m_pages->addWidget(page);
    }
    layout->addWidget(m_tabs);
    layout->addWidget(m_pages, 1);

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        const auto tab = static_cast<DetailTab>(m_tabs->tabData(index).toInt());
        // Hiding the page that holds the focus lets Qt pass it on down the
        // chain, often out of the area to the toolbar's menus, where a stray
        // arrow key would change a selection out of sight. The tab bar is
        // where the user is, and its arrow keys change what is seen; the
        // focus comes as a click's would, without a ring.
        const QWidget* focus = QApplication::focusWidget();
        const bool focusOnOldPage = focus && m_pages->currentWidget() && m_pages->currentWidget()->isAncestorOf(focus);
        openTab(tab);
        m_pages->setCurrentIndex(index);
        if (focusOnOldPage)
            m_tabs->setFocus(Qt::MouseFocusReason);
        emit currentTabChanged(tab);
    });
    onColorSchemeChange(this, [this](ColorScheme) { applyColors(); });
}

void AppDetailArea::applyColors()
{
    const ColorScheme scheme = colorScheme(this);
    for (int index = 0; index < m_tabs->count(); ++index) {
        const QString symbol = symbolName(static_cast<DetailTab>(m_tabs->tabData(index).toInt()));
        if (!symbol.isEmpty())
            m_tabs->setTabIcon(index, symbolIcon(symbol, SemanticColors::accent(scheme)));
    }
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText,
                     m_statusIsError ? SemanticColors::red(scheme) : SemanticColors::secondary(scheme));
    m_status->setPalette(palette);
}

void AppDetailArea::setPageBuilder(std::function<QWidget*(DetailTab)> build)
{
    m_build = std::move(build);
    m_opened.clear();
    openTab(currentTab());
}

void AppDetailArea::openTab(DetailTab tab)
{
    if (!m_build || m_opened.contains(tab))
        return;
    m_opened.insert(tab);
    if (QWidget* screen = m_build(tab))
        setTabPage(tab, screen);
}

void AppDetailArea::setTabPage(DetailTab tab, QWidget* screen)
{
    QWidget* container = page(tab);
    if (!container)
        return;
    QWidget* old = tabPage(tab);
    if (old == screen)
        return;
    if (old) {
        container->layout()->removeWidget(old);
        // Nameless until it goes, so that tabPage() finds only its successor.
        old->setObjectName(QString());
        old->hide();
        old->deleteLater();
    }
    if (screen) {
        screen->setObjectName(QStringLiteral("tabScreen"));
        container->layout()->addWidget(screen);
    }
}

QWidget* AppDetailArea::tabPage(DetailTab tab) const
{
    QWidget* container = page(tab);
    return container ? container->findChild<QWidget*>(QStringLiteral("tabScreen"), Qt::FindDirectChildrenOnly)
                     : nullptr;
}

void AppDetailArea::setApp(const AppInfo& app, const QString& storefront)
{
    m_app = app;
    m_icon->setUrl(app.iconURL);
    m_titles->setApp(app);
    m_storefront->setText(QStringLiteral("%1 %2 · %3")
                              .arg(StorefrontOption::flagEmoji(storefront),
                                   StorefrontOption{storefront.toUpper(), std::nullopt}.displayName(),
                                   displayName(app.platform)));
}

void AppDetailArea::setStatus(const QString& text, bool isError)
{
    m_statusText = text;
    m_statusIsError = isError;
    applyColors();
    m_status->setText(text);
    m_status->setToolTip(text);
    m_status->setVisible(!text.isEmpty());
}

QString AppDetailArea::statusText() const
{
    return m_status->text();
}

DetailTab AppDetailArea::currentTab() const
{
    return static_cast<DetailTab>(m_tabs->tabData(m_tabs->currentIndex()).toInt());
}

void AppDetailArea::setCurrentTab(DetailTab tab)
{
    const int index = static_cast<int>(allDetailTabs().indexOf(tab));
    if (index >= 0)
        m_tabs->setCurrentIndex(index);
}

QWidget* AppDetailArea::page(DetailTab tab) const
{
    const int index = static_cast<int>(allDetailTabs().indexOf(tab));
    return index >= 0 ? m_pages->widget(index) : nullptr;
}

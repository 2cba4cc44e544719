#include "Views/SettingsView/AppInfoSectionView.h"

#include "platform/ColorSchemeWatcher.h"
#include "platform/LinkOpener.h"
#include "platform/RemoteImageView.h"
#include "platform/TextStyle.h"

#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>

namespace {

QUrl webAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

} // namespace

AppInfoSectionView::AppInfoSectionView(const AppData::Application& app, int iconSize, QWidget* parent)
    : QAbstractButton(parent)
    , m_icon(new RemoteImageView(this))
    , m_name(new QLabel(this))
{
    setFocusPolicy(Qt::TabFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    m_icon->setFixedImageSize(QSize(iconSize, iconSize));
    m_icon->setCornerRadius(kIconCornerRadius);
    m_icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_name->setTextFormat(Qt::PlainText);
    m_name->setFont(platformFont(TextStyle::Title3, QFont::Bold));
    m_name->setAlignment(Qt::AlignHCenter);
    m_name->setWordWrap(true);
    m_name->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_icon, 0, Qt::AlignHCenter);
    layout->addWidget(m_name);

    connect(this, &QAbstractButton::clicked, this, &AppInfoSectionView::open);
    onColorSchemeChange(this, [this](ColorScheme) { applyNameColor(); });
    setApp(app);
}

void AppInfoSectionView::setApp(const AppData::Application& app)
{
    m_app = app;
    m_name->setText(app.name);
    setAccessibleName(app.name);
    m_icon->setUrl(iconURL());
}

QUrl AppInfoSectionView::linkURL() const
{
    return webAddress(m_app.link);
}

QUrl AppInfoSectionView::iconURL() const
{
    return webAddress(m_app.icon);
}

void AppInfoSectionView::open()
{
    const QUrl url = linkURL();
    if (!url.isEmpty())
        openLink(url);
}

void AppInfoSectionView::applyNameColor()
{
    QPalette palette = m_name->palette();
    palette.setColor(QPalette::WindowText, isDarkScheme(this) ? Qt::white : Qt::black);
    m_name->setPalette(palette);
}

QSize AppInfoSectionView::sizeHint() const
{
    return layout()->sizeHint();
}

QSize AppInfoSectionView::minimumSizeHint() const
{
    return layout()->minimumSize();
}

void AppInfoSectionView::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

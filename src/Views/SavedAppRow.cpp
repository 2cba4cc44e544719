#include "Views/SavedAppRow.h"

#include "models/AppInfo.h"
#include "platform/RemoteImageView.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

SavedAppRow::SavedAppRow(const AppInfo& app, int iconSize, QWidget* parent)
    : QWidget(parent)
    , m_icon(new RemoteImageView(this))
    , m_name(new QLabel(app.name, this))
    , m_developer(new QLabel(app.developer, this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(8);
    m_icon->setFixedImageSize(QSize(iconSize, iconSize));
    m_icon->setCornerRadius(iconSize * 0.225);
    m_icon->setUrl(app.iconURL);
    layout->addWidget(m_icon, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    m_name->setTextFormat(Qt::PlainText);
    m_developer->setTextFormat(Qt::PlainText);
    m_name->setFont(platformFont(TextStyle::Body, QFont::DemiBold));
    m_developer->setFont(platformFont(TextStyle::Subheadline));
    // A style sheet rather than the palette: the lists that hold rows are
    // styled, and a styled ancestor overrides a child's palette.
    m_developer->setStyleSheet(QStringLiteral("color: %1;").arg(
        styleSheetColor(SemanticColors::secondary(colorScheme(parent)))));
    // Long names are cut by the layout rather than widening the list.
    m_name->setMinimumWidth(1);
    m_developer->setMinimumWidth(1);
    texts->addWidget(m_name);
    texts->addWidget(m_developer);
    layout->addLayout(texts, 1);
}

QString SavedAppRow::nameText() const
{
    return m_name->text();
}

QString SavedAppRow::developerText() const
{
    return m_developer->text();
}

#include "Views/Shared/AppHeaderTitleStack.h"

#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QLabel>
#include <QVBoxLayout>

AppHeaderTitleStack::AppHeaderTitleStack(QWidget* parent)
    : QWidget(parent)
    , m_name(new QLabel(this))
    , m_developer(new QLabel(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_name->setFont(platformFont(TextStyle::Headline));
    m_developer->setFont(platformFont(TextStyle::Subheadline));
    // Names come from the network: never interpret them as markup.
    m_name->setTextFormat(Qt::PlainText);
    m_developer->setTextFormat(Qt::PlainText);
    m_name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_name);
    layout->addWidget(m_developer);
    onColorSchemeChange(this, [this](ColorScheme) { applyColors(); });
}

void AppHeaderTitleStack::setApp(const AppInfo& app)
{
    m_name->setText(app.name);
    m_developer->setText(app.developer);
}

QString AppHeaderTitleStack::nameText() const
{
    return m_name->text();
}

QString AppHeaderTitleStack::developerText() const
{
    return m_developer->text();
}

void AppHeaderTitleStack::applyColors()
{
    const ColorScheme scheme = colorScheme(this);
    QPalette namePalette = m_name->palette();
    namePalette.setColor(QPalette::WindowText, SemanticColors::primary(scheme));
    m_name->setPalette(namePalette);
    QPalette developerPalette = m_developer->palette();
    developerPalette.setColor(QPalette::WindowText, SemanticColors::secondary(scheme));
    m_developer->setPalette(developerPalette);
}

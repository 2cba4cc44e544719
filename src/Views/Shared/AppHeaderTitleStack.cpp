#include "Views/Shared/AppHeaderTitleStack.h"

#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/ShrinkingLabel.h"
#include "platform/TextStyle.h"

#include <QVBoxLayout>

AppHeaderTitleStack::AppHeaderTitleStack(QWidget* parent)
    : QWidget(parent)
    , m_name(new ShrinkingLabel(QString(), this))
    , m_developer(new ShrinkingLabel(QString(), this))
{
    // However long the name, the stack asks for no width of its own: it takes
    // what its row leaves, so give it the row's stretch.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_name->setFont(platformFont(TextStyle::Headline));
    m_developer->setFont(platformFont(TextStyle::Subheadline));
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

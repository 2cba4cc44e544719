#include "Views/SettingsView/SettingsCard.h"

#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

class CardSurface : public QWidget {
public:
    CardSurface(qreal radius, QWidget* parent)
        : QWidget(parent)
        , m_radius(radius)
    {
        onColorSchemeChange(this, [this](ColorScheme) { update(); });
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const ColorScheme scheme = colorScheme(this);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath shape;
        shape.addRoundedRect(bounds, m_radius, m_radius);
        painter.fillPath(shape, SemanticColors::controlBackground(scheme));
        QColor outline = SemanticColors::separator(scheme);
        outline.setAlphaF(outline.alphaF() * SettingsCard::outlineOpacity(scheme == ColorScheme::Dark));
        painter.strokePath(shape, QPen(outline, 1));
    }

private:
    qreal m_radius;
};

} // namespace

SettingsCard::SettingsCard(const QString& title, qreal cornerRadius, QWidget* parent)
    : QWidget(parent)
    , m_header(new QLabel(title.toUpper(), this))
    , m_card(new CardSurface(cornerRadius, this))
    , m_cardLayout(new QVBoxLayout(m_card))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    m_header->setTextFormat(Qt::PlainText);
    m_header->setFont(platformFont(TextStyle::Footnote, QFont::DemiBold));
    layout->addWidget(m_header, 0, Qt::AlignLeft);
    layout->addWidget(m_card);

    m_cardLayout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    m_cardLayout->setSpacing(kSpacing);
    // Leading only: a vertical alignment would hold the content to its
    // preferred height, and the apps grid's height follows the card's width.
    m_cardLayout->setAlignment(Qt::AlignLeft);

    onColorSchemeChange(this, [this](ColorScheme scheme) {
        QPalette palette = m_header->palette();
        palette.setColor(QPalette::WindowText, SemanticColors::secondary(scheme));
        m_header->setPalette(palette);
    });
}

void SettingsCard::addContent(QWidget* content, int bleed)
{
    const int padding = kPadding - bleed;
    m_cardLayout->setContentsMargins(padding, padding, padding, padding);
    m_cardLayout->addWidget(content);
}

QString SettingsCard::title() const
{
    return m_header->text();
}

#include "Views/SettingsView/LinkRow.h"

#include "platform/ColorSchemeWatcher.h"
#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSymbolSize = 19;  // a symbol set in the 17-point semibold system font
constexpr int kChevronSize = 13;

class IconTile : public QWidget {
public:
    IconTile(const QString& symbol, QWidget* parent)
        : QWidget(parent)
        , m_symbol(symbol)
    {
        setFixedSize(LinkRow::kTileSide, LinkRow::kTileSide);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        onColorSchemeChange(this, [this](ColorScheme) { update(); });
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const ColorScheme scheme = colorScheme(this);
        const QColor accent = SemanticColors::accent(scheme);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath tile;
        tile.addRoundedRect(QRectF(rect()), 12, 12);
        QColor fill = accent;
        fill.setAlphaF(LinkRow::tileOpacity(scheme == ColorScheme::Dark));
        painter.fillPath(tile, fill);
        const QPixmap symbol = symbolPixmap(m_symbol, accent, kSymbolSize, devicePixelRatioF());
        const QSizeF side = QSizeF(symbol.size()) / symbol.devicePixelRatio();
        painter.drawPixmap(QPointF((width() - side.width()) / 2, (height() - side.height()) / 2), symbol);
    }

private:
    QString m_symbol;
};

} // namespace

LinkRow::LinkRow(const QString& systemImage, const QString& title, QWidget* parent)
    : QAbstractButton(parent)
    , m_systemImage(systemImage)
    , m_tile(new IconTile(systemImage, this))
    , m_title(new QLabel(title, this))
    , m_chevron(new QLabel(this))
{
    setText(title);
    setAccessibleName(title);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 6, 0, 6);
    layout->setSpacing(12);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setFont(platformFont(TextStyle::Body, QFont::Medium));
    m_title->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_chevron->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_chevron->setFixedSize(kChevronSize, kChevronSize);
    layout->addWidget(m_tile, 0, Qt::AlignVCenter);
    layout->addWidget(m_title, 0, Qt::AlignVCenter);
    layout->addSpacing(8);
    layout->addStretch(1);
    layout->addWidget(m_chevron, 0, Qt::AlignVCenter);

    onColorSchemeChange(this, [this](ColorScheme scheme) {
        QPalette palette = m_title->palette();
        palette.setColor(QPalette::WindowText, SemanticColors::primary(scheme));
        m_title->setPalette(palette);
        QColor chevron = SemanticColors::secondary(scheme);
        chevron.setAlphaF(chevron.alphaF() * 0.8);
        m_chevron->setPixmap(symbolPixmap(QStringLiteral("chevron.right"), chevron, kChevronSize, devicePixelRatioF()));
    });
}

QSize LinkRow::sizeHint() const
{
    return layout()->sizeHint();
}

QSize LinkRow::minimumSizeHint() const
{
    return layout()->minimumSize();
}

void LinkRow::paintEvent(QPaintEvent*)
{
    // Plain: the children draw the row, and its focus shows as the ring the
    // page lays around it.
}

void LinkRow::keyPressEvent(QKeyEvent* event)
{
    // Return and Enter act on the focused row as Space does, as on the
    // picker's rows and the apps grid; unhandled, they would reach the
    // sheet's default button and close it.
    const bool activates = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (activates && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

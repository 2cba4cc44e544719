#include "Views/RankMonitor/CountryPickerSheet.h"

#include "Views/RankMonitor/CountryListModel.h"
#include "Views/Shared/ScreenPanel.h"
#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kRowPaddingX = 16;
constexpr int kRowPaddingY = 12;
constexpr int kRowSpacing = 12;
constexpr int kMarkSide = 18;

// One country: flag, name over code, and the mark at the trailing edge; a
// divider inset from the leading edge under it.
class CountryRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        const int text = QFontMetrics(m_body).height() + 2 + QFontMetrics(m_caption).height();
        return {300, std::max(text, QFontMetrics(m_flag).height()) + 2 * kRowPaddingY + 1};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const ColorScheme scheme = colorScheme(option.widget);
        const QRect row = option.rect.adjusted(kRowPaddingX, kRowPaddingY, -kRowPaddingX, -kRowPaddingY - 1);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const bool focused = (option.state & QStyle::State_HasFocus) && option.widget && option.widget->hasFocus();
        if (focused || (option.state & QStyle::State_MouseOver))
            painter->fillRect(option.rect.adjusted(0, 0, 0, -1), SemanticColors::secondaryFill(scheme));
        if (focused) {
            // The keyboard's row: Space or Enter toggles it.
            QPen ring(SemanticColors::accent(scheme));
            ring.setWidthF(2);
            painter->setPen(ring);
            painter->drawRoundedRect(QRectF(option.rect).adjusted(3, 2, -3, -3), 6, 6);
        }

        int x = row.left();
        const QString flag = index.data(CountryListModel::FlagRole).toString();
        if (!flag.isEmpty()) {
            painter->setFont(m_flag);
            painter->setPen(SemanticColors::primary(scheme));
            const int width = QFontMetrics(m_flag).horizontalAdvance(flag);
            painter->drawText(QRect(x, row.top(), width, row.height()), Qt::AlignVCenter | Qt::AlignLeft, flag);
            x += width + kRowSpacing;
        }
        const bool marked = index.data(CountryListModel::MarkedRole).toBool();
        const QRect mark(row.right() - kMarkSide + 1, row.center().y() - kMarkSide / 2, kMarkSide, kMarkSide);
        painter->drawPixmap(mark.topLeft(),
                            symbolPixmap(marked ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"),
                                         marked ? SemanticColors::accent(scheme) : SemanticColors::secondary(scheme),
                                         kMarkSide, painter->device()->devicePixelRatioF()));

        const int textWidth = std::max(0, mark.left() - kRowSpacing - x);
        const int bodyHeight = QFontMetrics(m_body).height();
        const int captionHeight = QFontMetrics(m_caption).height();
        const int top = row.center().y() - (bodyHeight + 2 + captionHeight) / 2;
        painter->setFont(m_body);
        painter->setPen(SemanticColors::primary(scheme));
        painter->drawText(QRect(x, top, textWidth, bodyHeight), Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(m_body).elidedText(index.data().toString(), Qt::ElideRight, textWidth));
        painter->setFont(m_caption);
        painter->setPen(SemanticColors::secondary(scheme));
        painter->drawText(QRect(x, top + bodyHeight + 2, textWidth, captionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data(CountryListModel::CodeRole).toString());

        painter->fillRect(QRect(option.rect.left() + kRowPaddingX, option.rect.bottom(),
                                option.rect.width() - kRowPaddingX, 1),
                          SemanticColors::separator(scheme));
        painter->restore();
    }

private:
    QFont m_flag = platformFont(TextStyle::Title3);
    QFont m_body = platformFont(TextStyle::Body);
    QFont m_caption = platformFont(TextStyle::Caption);
};

// The search field: no frame of its own over the bar, the scheme's text colour.
QString searchFieldStyle(ColorScheme scheme)
{
    return QStringLiteral("QLineEdit { background: transparent; color: %1; }")
        .arg(styleSheetColor(SemanticColors::primary(scheme)));
}

PanelColors searchBarColors()
{
    QColor dark(Qt::white);
    dark.setAlphaF(0.12f);
    return {dark, QColor::fromRgbF(0.9f, 0.9f, 0.94f), Qt::transparent, Qt::transparent, 0};
}
} // namespace

CountryPickerSheet::CountryPickerSheet(const QStringList& selected, QWidget* owner)
    : SheetDialog(tr("Select Countries"), owner)
    , m_model(new CountryListModel(this))
    , m_filter(new CountryFilterModel(this))
{
    setObjectName(QStringLiteral("countryPickerSheet"));
    m_model->setMarked(QSet<QString>(selected.begin(), selected.end()));
    m_filter->setSourceModel(m_model);
    setContent(buildContent());
    setSizes(QSize(520, 560), QSize(600, 680));
    setDoneEnabled(!m_model->marked().isEmpty());
    connect(m_model, &CountryListModel::markedChanged, this,
            [this] { setDoneEnabled(!m_model->marked().isEmpty()); });
    connect(this, &SheetDialog::confirmed, this, [this] {
        QStringList codes(m_model->marked().begin(), m_model->marked().end());
        codes.sort();
        emit selectionConfirmed(codes);
    });
    onColorSchemeChange(this, [this] { applyColors(); });
    // The sheet opens with the focus where the user types, not on Done.
    m_search->setFocus(Qt::OtherFocusReason);
}

QWidget* CountryPickerSheet::buildContent()
{
    auto* content = new QWidget(this);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* barHolder = new QVBoxLayout;
    barHolder->setContentsMargins(16, 16, 16, 16);
    auto* bar = new ScreenPanel(14, searchBarColors(), content);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(12, 12, 12, 12);
    barLayout->setSpacing(10);
    m_magnifier = new QLabel(bar);
    m_search = new QLineEdit(bar);
    m_search->setObjectName(QStringLiteral("countrySearch"));
    m_search->setPlaceholderText(tr("Search country or code"));
    m_search->setFrame(false);
    // Styled before it is measured below.
    m_search->setStyleSheet(searchFieldStyle(colorScheme(this)));
    m_clear = new QToolButton(bar);
    m_clear->setObjectName(QStringLiteral("clearSearch"));
    m_clear->setAutoRaise(true);
    m_clear->setCursor(Qt::PointingHandCursor);
    m_clear->setAccessibleName(tr("Clear"));
    // Not a Tab stop: Tab goes from the field to the rows, and no key press
    // meant for a row can empty the field.
    m_clear->setFocusPolicy(Qt::NoFocus);
    // As tall as the field, so that the bar keeps its height when it shows.
    const int fieldHeight = m_search->sizeHint().height();
    m_clear->setFixedSize(fieldHeight, fieldHeight);
    m_clear->setIconSize(QSize(fieldHeight, fieldHeight) * 3 / 4);
    m_clear->hide();
    barLayout->addWidget(m_magnifier);
    barLayout->addWidget(m_search, 1);
    barLayout->addWidget(m_clear);
    barHolder->addWidget(bar);
    column->addLayout(barHolder);
    column->addWidget(makeDivider(content));

    m_list = new QListView(content);
    m_list->setObjectName(QStringLiteral("countryList"));
    m_list->setModel(m_filter);
    m_list->setItemDelegate(new CountryRowDelegate(m_list));
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    // Reached with Tab from the search field, which keeps the focus on clicks.
    m_list->setFocusPolicy(Qt::TabFocus);
    m_list->installEventFilter(this);
    m_search->installEventFilter(this);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setMouseTracking(true);
    m_list->setUniformItemSizes(true);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    column->addWidget(m_list, 1);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        // The raw text decides the clear button; the trimmed one the list.
        m_clear->setVisible(!text.isEmpty());
        m_filter->setQuery(text);
        // The first match is the row the keyboard reaches.
        m_list->setCurrentIndex(m_filter->index(0, 0));
    });
    connect(m_clear, &QToolButton::clicked, m_search, &QLineEdit::clear);
    // A click anywhere on a row toggles it.
    connect(m_list, &QListView::clicked, this,
            [this](const QModelIndex& index) { toggleCountry(index.data(CountryListModel::CodeRole).toString()); });
    return content;
}

bool CountryPickerSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
        m_list->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (watched == m_list && event->type() == QEvent::FocusIn && !m_list->currentIndex().isValid())
        m_list->setCurrentIndex(m_filter->index(0, 0));
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Select:
            // Toggles the current row; Return does not reach the Done button.
            if (const QModelIndex current = m_list->currentIndex(); current.isValid())
                toggleCountry(current.data(CountryListModel::CodeRole).toString());
            return true;
        default:
            break;
        }
    }
    return SheetDialog::eventFilter(watched, event);
}

void CountryPickerSheet::applyColors()
{
    const ColorScheme scheme = colorScheme(this);
    m_magnifier->setPixmap(symbolPixmap(QStringLiteral("magnifyingglass"), SemanticColors::secondary(scheme), 16,
                                        devicePixelRatioF()));
    m_clear->setIcon(symbolIcon(QStringLiteral("xmark.circle.fill"), SemanticColors::secondary(scheme)));
    // A style sheet keeps the palette it was set with: set anew for each
    // scheme, the field writes in that scheme's colour over the bar.
    m_search->setStyleSheet(searchFieldStyle(scheme));
    m_list->viewport()->update();
}

QSet<QString> CountryPickerSheet::draftCountryCodes() const
{
    return m_model->marked();
}

QString CountryPickerSheet::searchText() const
{
    return m_search->text();
}

void CountryPickerSheet::setSearchText(const QString& text)
{
    m_search->setText(text);
}

QStringList CountryPickerSheet::listedCodes() const
{
    QStringList codes;
    for (int row = 0; row < m_filter->rowCount(); ++row)
        codes.append(m_filter->index(row, 0).data(CountryListModel::CodeRole).toString());
    return codes;
}

void CountryPickerSheet::toggleCountry(const QString& code)
{
    m_model->toggle(code);
}

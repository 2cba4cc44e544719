#include "Views/Shared/CountryComboBox.h"

#include <QAbstractItemDelegate>
#include <QListView>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QStylePainter>

#include <algorithm>

int CountryComboBox::popupWidthHint() const
{
    QAbstractItemView* list = view();
    // Each row as its delegate lays it out around the name's own width (a
    // menu-style row takes its contents' width from there, a list-style
    // one measures the name itself), with the flag's box beside it. No flag
    // is drawn for this.
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.font = font();
    option.decorationSize = iconSize();
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int row = 0; row < count(); ++row) {
        const QModelIndex index = model()->index(row, modelColumn(), rootModelIndex());
        option.rect = QRect(0, 0, metrics.horizontalAdvance(itemText(row)), metrics.height());
        widest = std::max(widest, list->itemDelegateForIndex(index)->sizeHint(option, index).width());
    }
    // A menu-style popup scrolls with arrows above and below, not a bar.
    const bool scrollBar = list->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
    return widest + 2 * list->frameWidth() + (scrollBar ? list->verticalScrollBar()->sizeHint().width() : 0);
}

void CountryComboBox::showPopup()
{
    if (auto* rows = qobject_cast<QListView*>(view()))
        rows->setUniformItemSizes(true);
    // Measured when the menu opens, not when it is built.
    view()->setMinimumWidth(popupWidthHint());
    QComboBox::showPopup();
}

void CountryComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    // The style clips the name to the field, mid-letter; the name ends with
    // "…" instead, where the flag beside it leaves it too little room.
    QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (!option.currentIcon.isNull())
        field.setLeft(field.left() + option.iconSize.width() + 4);
    option.currentText = option.fontMetrics.elidedText(option.currentText, Qt::ElideRight, field.width() - 2);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

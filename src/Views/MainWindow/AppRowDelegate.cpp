#include "Views/MainWindow/AppRowDelegate.h"

#include "ViewModels/MainViewModel.h"
#include "Views/MainWindow/AppListModels.h"
#include "platform/FocusRing.h"
#include "platform/ProgressIndicator.h"
#include "platform/RemoteImageView.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace {
constexpr int kMargin = 6;
constexpr int kSpacing = 8;
// In proportion to the 56-point header icon: radius 12, fallback inset 12.
constexpr qreal kIconRadiusRatio = 0.225;
constexpr qreal kFallbackInsetRatio = 0.2;

QFont nameFont() { return platformFont(TextStyle::Body, QFont::DemiBold); }
QFont developerFont() { return platformFont(TextStyle::Subheadline); }
} // namespace

AppRowDelegate::AppRowDelegate(int iconSize, int rowHeight, bool withAddButton, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_iconSize(iconSize)
    , m_rowHeight(rowHeight)
    , m_withAddButton(withAddButton)
    , m_spinner(new QTimer(this))
{
    m_spinner->setInterval(ProgressIndicator::kFrameMs);
    connect(m_spinner, &QTimer::timeout, this, [this] {
        // Spins on only while a paint still finds an icon loading.
        if (!m_sawLoading || !m_spinningView) {
            m_spinner->stop();
            return;
        }
        m_sawLoading = false;
        m_spinningView->update();
    });
}

void AppRowDelegate::keepSpinning(const QWidget* widget) const
{
    const auto* view = qobject_cast<const QAbstractItemView*>(widget);
    if (!view)
        return;
    m_spinningView = view->viewport();
    m_sawLoading = true;
    if (!m_spinner->isActive())
        m_spinner->start();
}

QSize AppRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), m_rowHeight);
}

QRect AppRowDelegate::buttonRect(const QStyleOptionViewItem& option) const
{
    if (!m_withAddButton)
        return {};
    const QFontMetrics metrics(option.font);
    int textWidth = 0;
    for (int state = 0; state < 3; ++state)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(SearchResultsModel::addStateText(static_cast<MainViewModel::AddState>(state))));
    const QSize size(textWidth + 24, std::min(option.rect.height() - 8, metrics.height() + 10));
    const QRect& row = option.rect;
    return QRect(row.right() - kMargin - size.width(), row.top() + (row.height() - size.height()) / 2, size.width(),
                 size.height());
}

QRect AppRowDelegate::textRect(const QStyleOptionViewItem& option) const
{
    QRect rect = option.rect.adjusted(kMargin + m_iconSize + kSpacing, 0, -kMargin, 0);
    if (m_withAddButton)
        rect.setRight(buttonRect(option).left() - kSpacing);
    return rect;
}

QPair<QString, QString> AppRowDelegate::shownTexts(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int width = std::max(0, textRect(option).width());
    return {QFontMetrics(nameFont()).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, width),
            QFontMetrics(developerFont())
                .elidedText(index.data(AppListRole::Developer).toString(), Qt::ElideRight, width)};
}

void AppRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = colorScheme(option.widget);
    const bool selected = option.state & QStyle::State_Selected;
    const bool focused = (option.state & QStyle::State_HasFocus) && option.widget && option.widget->hasFocus();
    const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    // The keyboard's row wears the ring at its edge, and its fill draws in
    // to leave a gap, so the ring stands clear of it on a selected row too.
    const QRectF background = QRectF(option.rect).adjusted(focused ? 4 : 2, focused ? 3 : 1, focused ? -4 : -2, focused ? -3 : -1);
    QColor primary = SemanticColors::primary(scheme);
    QColor secondary = SemanticColors::secondary(scheme);
    if (selected) {
        QPainterPath path;
        path.addRoundedRect(background, 6, 6);
        painter->fillPath(path, option.palette.brush(group, QPalette::Highlight));
        primary = option.palette.color(group, QPalette::HighlightedText);
        secondary = primary;
        secondary.setAlphaF(0.75f);
    } else if (option.state & QStyle::State_MouseOver) {
        QPainterPath path;
        path.addRoundedRect(background, 6, 6);
        painter->fillPath(path, SemanticColors::secondaryFill(scheme));
    }
    if (focused)
        drawFocusRing(painter, QRectF(option.rect).adjusted(1, 0, -1, 0), 8, option.widget);

    const QRectF iconRect(option.rect.left() + kMargin, option.rect.top() + (option.rect.height() - m_iconSize) / 2.0,
                          m_iconSize, m_iconSize);
    const QImage icon = index.data(Qt::DecorationRole).value<QImage>();
    const QVariant phaseData = index.data(AppListRole::IconPhase);
    const auto phase = phaseData.isValid() ? static_cast<RemoteImageView::Phase>(phaseData.toInt())
                                           : (icon.isNull() ? RemoteImageView::Phase::Failure
                                                            : RemoteImageView::Phase::Success);
    RemoteImageView::paintPhase(painter, iconRect, phase, icon, m_iconSize * kIconRadiusRatio,
                                m_iconSize * kFallbackInsetRatio, secondary, ProgressIndicator::sharedStep());
    if (phase == RemoteImageView::Phase::Empty)
        keepSpinning(option.widget);

    const auto [name, developer] = shownTexts(option, index);
    const QRect texts = textRect(option);
    const QFontMetrics nameMetrics(nameFont());
    const QFontMetrics developerMetrics(developerFont());
    const int block = nameMetrics.height() + 1 + developerMetrics.height();
    const int top = texts.top() + (texts.height() - block) / 2;
    painter->setFont(nameFont());
    painter->setPen(primary);
    painter->drawText(QRect(texts.left(), top, texts.width(), nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      name);
    painter->setFont(developerFont());
    painter->setPen(secondary);
    painter->drawText(QRect(texts.left(), top + nameMetrics.height() + 1, texts.width(), developerMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, developer);

    if (m_withAddButton) {
        const int state = index.data(AppListRole::AddState).toInt();
        QStyleOptionButton button;
        button.rect = buttonRect(option);
        button.text = SearchResultsModel::addStateText(static_cast<MainViewModel::AddState>(state));
        button.fontMetrics = option.fontMetrics;
        button.palette = option.palette;
        button.state = QStyle::State_Raised;
        if (state == static_cast<int>(MainViewModel::AddState::Add))
            button.state |= QStyle::State_Enabled;
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        painter->setFont(option.font);
        style->drawControl(QStyle::CE_PushButton, &button, painter, widget);
    }
    painter->restore();
}

bool AppRowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                 const QModelIndex& index)
{
    if (m_withAddButton && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && buttonRect(option).contains(mouse->position().toPoint())
            && index.data(AppListRole::AddState).toInt() == static_cast<int>(MainViewModel::AddState::Add)) {
            emit addClicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

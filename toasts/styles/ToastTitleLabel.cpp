#include "toasts/styles/ToastTitleLabel.h"

ToastTitleLabel::ToastTitleLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
}

QSize ToastTitleLabel::sizeHint() const
{
    const QMargins margins = contentsMargins();
    const int oneLine = fontMetrics().boundingRect(QRect(0, 0, 100000, 1000), Qt::TextSingleLine, text()).width();
    const int width = std::min(oneLine + 2 * margin() + margins.left() + margins.right() + 1, idealTextWidth);
    return {width, heightForWidth(width)};
}

QSize ToastTitleLabel::minimumSizeHint() const
{
    // One line high: hosts narrowing the text take its height for their width.
    return {std::min(sizeHint().width(), 80), fontMetrics().height()};
}

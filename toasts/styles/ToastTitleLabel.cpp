#include "toasts/styles/ToastTitleLabel.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>

ToastTitleLabel::ToastTitleLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
}

QStringList ToastTitleLabel::wrappedLines(int width) const
{
    QString text = this->text();
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 1));
        QString piece = text.mid(line.textStart(), line.textLength());
        piece.remove(QChar::LineSeparator);
        lines << piece;
    }
    layout.endLayout();
    return lines;
}

int ToastTitleLabel::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    const int textWidth = width - margins.left() - margins.right() - 2 * margin();
    const int lines = std::max<int>(1, int(wrappedLines(textWidth).size()));
    return lines * fontMetrics().lineSpacing() + margins.top() + margins.bottom() + 2 * margin();
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
    return {std::min(sizeHint().width(), 80), fontMetrics().lineSpacing()};
}

QStringList ToastTitleLabel::displayedLines() const
{
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    QStringList lines = wrappedLines(area.width());
    const int fitting = std::max(1, area.height() / fontMetrics().lineSpacing());
    if (lines.size() <= fitting)
        return lines;
    // The last line that fits carries the rest of the text, cut with "…".
    const QString rest = lines.mid(fitting - 1).join(QString());
    lines = lines.mid(0, fitting - 1);
    lines << fontMetrics().elidedText(rest, Qt::ElideRight, area.width());
    return lines;
}

void ToastTitleLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QStringList lines = displayedLines();
    const int spacing = fontMetrics().lineSpacing();
    int y = area.top() + std::max(0, (area.height() - int(lines.size()) * spacing) / 2);
    const Qt::Alignment horizontal = QStyle::visualAlignment(layoutDirection(), alignment()) & Qt::AlignHorizontal_Mask;
    for (const QString& line : lines) {
        painter.drawText(QRect(area.left(), y, area.width(), spacing), horizontal | Qt::AlignVCenter | Qt::TextSingleLine,
            line);
        y += spacing;
    }
}

#include "platform/LineLimitLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {
// Widest a label asks to be before it prefers to wrap.
constexpr int kPreferredMaxWidth = 480;

// A wrapped line keeps its text as given, less the blanks it broke at.
QString withoutTrailingBlanks(QString line)
{
    while (!line.isEmpty() && line.back().isSpace())
        line.chop(1);
    return line;
}
} // namespace

LineLimitLabel::LineLimitLabel(QWidget* parent) : LineLimitLabel(QString(), parent) {}

LineLimitLabel::LineLimitLabel(const QString& text, QWidget* parent)
    : QWidget(parent), m_text(text)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void LineLimitLabel::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void LineLimitLabel::setMaximumLineCount(int lines)
{
    lines = std::max(0, lines);
    if (lines == m_maximumLines)
        return;
    m_maximumLines = lines;
    updateGeometry();
    update();
}

void LineLimitLabel::setAlignment(Qt::Alignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    update();
}

void LineLimitLabel::setTextColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

LineLimitLabel::Layout LineLimitLabel::layoutAt(int width) const
{
    Layout result;
    if (m_text.isEmpty() || width <= 0)
        return result;

    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QFontMetricsF metrics(font());

    // Explicit line breaks are kept; each paragraph wraps on its own.
    const QStringList paragraphs = m_text.split(QLatin1Char('\n'));
    for (int p = 0; p < paragraphs.size(); ++p) {
        const QString& paragraph = paragraphs[p];
        QTextLayout layout(paragraph, font());
        layout.setTextOption(option);
        layout.beginLayout();
        QList<QPair<int, int>> ranges;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ranges.append({line.textStart(), line.textLength()});
        }
        layout.endLayout();
        if (ranges.isEmpty())
            ranges.append({0, 0});

        for (int i = 0; i < ranges.size(); ++i) {
            const bool atLimit = m_maximumLines > 0 && result.lines.size() == m_maximumLines - 1;
            const bool moreFollows = i + 1 < ranges.size() || p + 1 < paragraphs.size();
            if (atLimit && moreFollows) {
                // The rest of the text goes on the last allowed line, cut to fit.
                QString rest = paragraph.mid(ranges[i].first);
                for (int q = p + 1; q < paragraphs.size(); ++q)
                    rest += QLatin1Char(' ') + paragraphs[q];
                result.lines.append(metrics.elidedText(rest.simplified(), Qt::ElideRight, width));
                result.elided = true;
                return result;
            }
            result.lines.append(withoutTrailingBlanks(paragraph.mid(ranges[i].first, ranges[i].second)));
        }
    }
    return result;
}

QStringList LineLimitLabel::displayedLines(int width) const
{
    return layoutAt(width < 0 ? this->width() : width).lines;
}

bool LineLimitLabel::isElided(int width) const
{
    return layoutAt(width < 0 ? this->width() : width).elided;
}

int LineLimitLabel::lineHeight() const
{
    return static_cast<int>(std::ceil(QFontMetricsF(font()).lineSpacing()));
}

int LineLimitLabel::heightForWidth(int width) const
{
    const auto lines = static_cast<int>(layoutAt(width).lines.size());
    return std::max(1, lines) * lineHeight();
}

QSize LineLimitLabel::sizeHint() const
{
    const QFontMetricsF metrics(font());
    int natural = 0;
    for (const QString& paragraph : m_text.split(QLatin1Char('\n')))
        natural = std::max(natural, static_cast<int>(std::ceil(metrics.horizontalAdvance(paragraph))));
    const int width = std::clamp(natural, 1, kPreferredMaxWidth);
    return {width, heightForWidth(width)};
}

QSize LineLimitLabel::minimumSizeHint() const
{
    const QFontMetricsF metrics(font());
    return {static_cast<int>(std::ceil(metrics.averageCharWidth() * 4)), lineHeight()};
}

void LineLimitLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(m_color.isValid() ? m_color : palette().color(QPalette::WindowText));
    const int height = lineHeight();
    const Qt::Alignment horizontal =
        QStyle::visualAlignment(layoutDirection(), m_alignment) & Qt::AlignHorizontal_Mask;
    int y = 0;
    for (const QString& line : displayedLines()) {
        painter.drawText(QRect(0, y, width(), height), int(horizontal | Qt::AlignVCenter), line);
        y += height;
    }
}

void LineLimitLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}

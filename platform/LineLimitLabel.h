#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

// Word-wrapped text that may be held to a number of lines; when it is cut,
// the last line shown ends with an ellipsis. It reports its height for a
// given width, so layouts and scroll areas size it exactly.
class LineLimitLabel : public QWidget {
    Q_OBJECT
public:
    explicit LineLimitLabel(QWidget* parent = nullptr);
    explicit LineLimitLabel(const QString& text, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    // 0 means no limit.
    int maximumLineCount() const { return m_maximumLines; }
    void setMaximumLineCount(int lines);

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    QColor textColor() const { return m_color; }
    void setTextColor(const QColor& color);

    // The lines as drawn at a width (the widget's own when none is given).
    QStringList displayedLines(int width = -1) const;
    bool isElided(int width = -1) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Layout {
        QStringList lines;
        bool elided = false;
    };
    Layout layoutAt(int width) const;
    int lineHeight() const;

    QString m_text;
    int m_maximumLines = 0;
    Qt::Alignment m_alignment = Qt::AlignLeading;
    QColor m_color;
};

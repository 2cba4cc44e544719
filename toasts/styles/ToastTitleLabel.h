#pragma once

#include <QLabel>
#include <QStringList>

// A toast's text: on one line as long as it fits the ideal width, wrapped
// beyond it, and narrowed further (taller) when its host has less room. It
// wraps at word boundaries, and inside a word too long for a line; when its
// host gives it less height than the text needs, the last line that fits
// ends with "…". Nothing is clipped mid-glyph.
class ToastTitleLabel : public QLabel {
public:
    static constexpr int idealTextWidth = 420;

    explicit ToastTitleLabel(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // The lines as drawn at the label's present size.
    QStringList displayedLines() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The text broken into lines `width` wide, before any elision.
    QStringList wrappedLines(int width) const;
};

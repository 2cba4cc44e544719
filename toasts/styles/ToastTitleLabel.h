#pragma once

#include <QLabel>

// A toast's text: on one line as long as it fits the ideal width, wrapped
// beyond it, and narrowed further (taller) when its host has less room.
class ToastTitleLabel : public QLabel {
public:
    static constexpr int idealTextWidth = 420;

    explicit ToastTitleLabel(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

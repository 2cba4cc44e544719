#pragma once

#include <QColor>
#include <QWidget>

class QTimer;

// A label's icon that is an indeterminate progress indicator: the spinner
// filling a square of the label's icon size, drawn in the label's tint. It
// turns only while shown.
class ToastProgressIcon : public QWidget {
public:
    ToastProgressIcon(int side, QColor tint, QWidget* parent = nullptr);

    const QColor& tint() const { return m_tint; }
    void setTint(const QColor& tint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QColor m_tint;
    int m_step = 0;
    QTimer* m_timer;
};

#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

class QPainter;
class QTimer;

// An indeterminate spinning indicator, in the small or the regular control
// size, with an optional label under it. It animates only while shown.
class ProgressIndicator : public QWidget {
    Q_OBJECT
public:
    enum class Size { Small, Regular };

    explicit ProgressIndicator(Size size = Size::Regular, QWidget* parent = nullptr);

    Size controlSize() const { return m_size; }
    void setControlSize(Size size);

    QString label() const { return m_label; }
    // Empty hides the label.
    void setLabel(const QString& label);

    // Side of the spinner in logical pixels for a control size.
    static int spinnerSide(Size size);
    // Paints one frame of the spinner into `bounds` (a square is centred in
    // it). `step` is the frame counter; any integer works.
    static void paintSpinner(QPainter* painter, const QRectF& bounds, int step, const QColor& color);
    // The frame shared by every spinner drawn without a widget of its own
    // (delegates), advancing with wall time.
    static int sharedStep();
    // Every spinner, with a widget of its own or not, drawn at this one
    // frame until std::nullopt is given again: pictures of screens compared
    // with approved ones must not depend on when they were taken.
    static void setFrozenStepForTesting(std::optional<int> step);
    // The frame to draw for a spinner of its own whose counter is at `step`:
    // the frozen one while tests hold spinners still.
    static int visibleStep(int step);
    static constexpr int kSpokes = 12;
    static constexpr int kFrameMs = 80;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    Size m_size;
    QString m_label;
    int m_step = 0;
    QTimer* m_timer;
};

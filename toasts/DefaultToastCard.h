#pragma once

#include "toasts/ToastConfiguration.h"

#include <QWidget>

class QLabel;

// The card a toast is drawn in when no style was given: the toast's content
// in the title font beside an icon tinted by its role, on a rounded panel
// with a tinted border and a soft shadow. Follows the colour scheme.
class DefaultToastCard : public QWidget {
    Q_OBJECT
public:
    DefaultToastCard(const ToastConfiguration& configuration, QWidget* parent = nullptr);

    ToastRole role() const { return m_role; }
    // The symbol shown for a role; none for a plain toast.
    static QString symbolName(ToastRole role);

    static constexpr int shadowMargin = 8;
    static constexpr int padding = 12;
    static constexpr int minimumCardWidth = 180;
    static constexpr qreal cornerRadius = 12;
    // A longer text wraps past this width, even where the window is wider.
    static constexpr int idealTextWidth = 420;

    // Wide enough for the text on one line (up to the ideal width); the
    // host narrows it to fit its window and takes the height for that width.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QColor tint() const;
    void refreshIcon();

    ToastRole m_role;
    QLabel* m_icon = nullptr;
    QLabel* m_text = nullptr;
};

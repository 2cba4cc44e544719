#pragma once

#include <QColor>
#include <QString>

class QWidget;

// Labels inside a toast: the icon in the accent colour ("ToastIcon") beside
// or, in a centred presentation, above the title ("ToastContent").
struct ToastLabelStyle {
    static constexpr int iconSize = 24;
    static constexpr int largeIconSize = 64;

    QColor accentColor;

    // Builds the label under `parent`, arranged by the presented alignment
    // in the environment there.
    QWidget* makeBody(const QString& title, const QString& symbol, QWidget* parent) const;
};

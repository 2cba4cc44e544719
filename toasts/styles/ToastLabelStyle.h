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
    // in the environment there. The icon is the resource image at
    // `imagePath` when one is given (none when it is missing), else the symbol.
    QWidget* makeBody(const QString& title, const QString& symbol, QWidget* parent,
        const QString& imagePath = {}) const;
};

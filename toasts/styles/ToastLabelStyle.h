#pragma once

#include "toasts/styles/SchemeColor.h"
#include "toasts/values/ToastContent.h"

class QWidget;

// Labels inside a toast: the icon in the accent colour ("ToastIcon") beside
// or, in a centred presentation, above the title ("ToastContent"), both
// recoloured when the scheme changes.
struct ToastLabelStyle {
    static constexpr int iconSize = 24;
    static constexpr int largeIconSize = 64;

    SchemeColor accentColor;

    // Builds the label under `parent`, arranged by the presented alignment
    // in the environment there. Its icon, at the icon size, is its symbol
    // or a progress indicator, both in the accent colour, or its resource
    // image (none when the image is missing).
    QWidget* makeBody(const ToastContent& label, QWidget* parent) const;
};

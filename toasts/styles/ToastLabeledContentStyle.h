#pragma once

#include <QString>

class QWidget;

// A title ("ToastTitle") over a subtitle ("ToastSubtitle"): leading and
// close together, or centred, larger and further apart in a centred
// presentation; in the primary and secondary colours of the scheme, which
// they follow.
struct ToastLabeledContentStyle {
    QWidget* makeBody(const QString& title, const QString& subtitle, QWidget* parent) const;
};

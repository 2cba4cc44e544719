#pragma once

#include <QVariant>

#include <functional>

class QWidget;

// The root content a presenter hosts: the id of the hosting presenter and the
// builder of the toast's widget (an empty builder hosts nothing).
struct HostedToastContent {
    QVariant id;
    std::function<QWidget*(QWidget* parent)> content;
};

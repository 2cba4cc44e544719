#pragma once

#include <QString>
#include <QUuid>

#include <optional>

// One row of the welcome page's feature list. Every value made gets an
// identity of its own.
struct Feature {
    Feature() = default;
    Feature(QString title, QString description, std::optional<QString> icon = std::nullopt)
        : title(std::move(title)), description(std::move(description)), icon(std::move(icon))
    {
    }

    QUuid id = QUuid::createUuid();
    QString title;
    QString description;
    // A system symbol name; the row shows no image without one.
    std::optional<QString> icon;
};

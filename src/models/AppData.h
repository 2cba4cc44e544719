#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

// The maker's published list of its apps. Every key is required and must have
// its type; one bad entry makes the whole document unreadable.
struct AppData {
    struct Application {
        QString name;
        QString link; // opened when the app is picked; checked by whoever opens it
        QString icon;
        bool isNew = false; // carried, shown nowhere
        int order = 0;      // carried, never used for sorting
        friend bool operator==(const Application&, const Application&) = default;
    };

    QString version; // read and not used
    QList<Application> apps;

    friend bool operator==(const AppData&, const AppData&) = default;

    // Decodes the document. Keys are matched after snake-case conversion, so
    // "is_new" names `isNew`; keys not named above are ignored. The error says
    // what was wrong, for the log.
    static Result<AppData, QString> decode(const QByteArray& json);
    QJsonObject toJson() const;

    // "is_new" -> "isNew"; leading and trailing underscores are kept.
    static QString fromSnakeCase(const QString& key);
};

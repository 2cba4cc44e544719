#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

// Estimated worldwide downloads and revenue of one app over the last month,
// with the estimates service's own wording of both figures.
struct AppMonetization {
    qint64 downloads = 0;
    QString downloadsString;
    qint64 revenue = 0;
    QString revenueString;
    QDateTime lastUpdated; // when the service's answer was turned into this value

    friend bool operator==(const AppMonetization&, const AppMonetization&) = default;
};

Q_DECLARE_METATYPE(AppMonetization)

#pragma once

#include <QString>
#include <QUrl>

// What one update check the user asked for found out.
struct UpdateCheckOutcome {
    enum class Kind { UpToDate, UpdateAvailable, Failed };

    Kind kind = Kind::Failed;
    QString currentVersion;
    QString latestVersion; // the feed's newest; empty when the check failed
    QUrl releasePage;      // http or https only; may be empty
    QString failureReason; // a plain sentence for people; only when the check failed
};

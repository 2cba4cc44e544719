#pragma once

#include "platform/Result.h"
#include "models/SavedAppProfile.h"

#include <QCoreApplication>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <optional>

// The workspace store: saved app profiles in one SQLite file. It refuses any
// file that is not a readable workspace of ours and never alters such a file,
// so that a damaged or foreign database is left for the user to recover.
// Every write is one transaction; failures come back as error texts.
class SwiftDataService {
    Q_DECLARE_TR_FUNCTIONS(SwiftDataService)

public:
    static constexpr int schemaVersion = 1;

    // <user data folder>/Plovera/Plovera.sqlite (honours XDG_DATA_HOME).
    static QString defaultDatabasePath();
    static Result<std::unique_ptr<SwiftDataService>, QString> open(const QString& databasePath = defaultDatabasePath());

    ~SwiftDataService();
    SwiftDataService(const SwiftDataService&) = delete;
    SwiftDataService& operator=(const SwiftDataService&) = delete;

    QString databasePath() const { return m_path; }

    // Every saved profile in workspace order.
    Result<QList<SavedAppProfile>, QString> fetchProfiles() const;
    // Inserts the profile, or updates the one with its key while keeping that
    // one's added date. Returns the profile as stored.
    Result<SavedAppProfile, QString> upsert(const SavedAppProfile& profile);
    // True when a profile with that key was there.
    Result<bool, QString> remove(const QString& dedupKey);

private:
    explicit SwiftDataService(QString path);
    std::optional<QString> initialize();
    std::optional<QString> verifyAndPrepareSchema();
    QString failure(const QString& what, const QString& detail) const;

    QString m_path;
    QString m_connectionName;
    QSqlDatabase m_db;
};

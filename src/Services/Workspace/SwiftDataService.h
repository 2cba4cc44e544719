#pragma once

#include "platform/Result.h"
#include "models/SavedAppProfile.h"
#include "Services/Workspace/StoreFailure.h"

#include <QCoreApplication>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <optional>

// The workspace store: saved app profiles in one SQLite file. It refuses any
// file that is not a readable workspace of ours and never alters such a file,
// so that a damaged or foreign database is left for the user to recover.
// Every write is one transaction; failures come back as error texts that name
// the cause (locked, disk full, read-only, not ours; see StoreFailure). A first open that fails
// leaves no file or folder behind.
class SwiftDataService {
    Q_DECLARE_TR_FUNCTIONS(SwiftDataService)

public:
    static constexpr int schemaVersion = 1;
    // A write waits this long for another program's lock, then says that the
    // workspace is locked so that the user can try again. Another instance
    // opening the file can hold a lock for a while on a slow disk; the wait is
    // on the store's thread, never the window's.
    static constexpr int writeBusyTimeoutMs = 1000;
    // A lock held while another instance opens or prepares the file is waited out.
    static constexpr int openBusyTimeoutMs = 2000;

    // <user data folder>/Plovera/Plovera.sqlite (honours XDG_DATA_HOME).
    static QString defaultDatabasePath();
    // One connection, to be used on the thread that opened it.
    static Result<std::unique_ptr<SwiftDataService>, QString> open(const QString& databasePath = defaultDatabasePath());

    ~SwiftDataService();
    SwiftDataService(const SwiftDataService&) = delete;
    SwiftDataService& operator=(const SwiftDataService&) = delete;

    QString databasePath() const { return m_path; }

    // Every saved profile in workspace order, with only what a list of them
    // shows (SavedAppProfile::summary()): the descriptions and screenshots of
    // a large workspace stay on disk.
    Result<QList<SavedAppProfile>, QString> fetchSummaries() const;
    // The whole profile saved under the key; none when nothing is.
    Result<std::optional<SavedAppProfile>, QString> fetchProfile(const QString& dedupKey) const;
    // Inserts the profile, or updates the one with its key while keeping that
    // one's added date. Returns the profile as stored.
    Result<SavedAppProfile, QString> upsert(const SavedAppProfile& profile);
    // True when a profile with that key was there. `name` words the error.
    Result<bool, QString> remove(const QString& dedupKey, const QString& name = {});

private:
    explicit SwiftDataService(QString path);
    std::optional<QString> initialize();
    std::optional<QString> connect(int busyTimeoutMs);
    std::optional<QString> createWorkspaceFile();
    std::optional<QString> openWorkspaceFile();
    std::optional<QString> verifyAndPrepareSchema();
    void removeCreatedFolders();
    // A failure to open, noting whether a lock was behind it.
    QString opening(const StoreFailure::Sql& failed, const QString& what);
    QString operation(const QString& what, const StoreFailure::Sql& failed) const;

    QString m_path;
    QString m_connectionName;
    QSqlDatabase m_db;
    // The outermost folder this open created; a failed first open removes it.
    QString m_createdFolder;
    // The last failure to open met another connection's lock.
    bool m_busy = false;
};

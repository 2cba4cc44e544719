#pragma once

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <optional>

struct sqlite3;

// Why SQLite or the file system refused the workspace, worded for the user:
// locked, disk full, read-only, a folder or file without permission. Asked of
// the system where SQLite's own code does not say, so that a message never
// names a cause that is not there.
class StoreFailure {
    Q_DECLARE_TR_FUNCTIONS(SwiftDataService)

public:
    // What SQLite said about a failed statement, with the system error behind it.
    struct Sql {
        Sql() = default;
        Sql(const QSqlError& error, const QSqlDatabase& db);
        Sql(int resultCode, int systemError, QString message);
        int code = 0;
        int osError = 0;
        QString text;
        // Another connection held a lock that SQLite would not wait out.
        bool isBusy() const;
    };

    // The SQLite connection under a Qt connection; null when it has none.
    static sqlite3* handle(const QSqlDatabase& db);

    // `what`, and SQLite's words when there are any.
    static QString withDetail(const QString& what, const QString& detail);
    // A failure to open or prepare the workspace at `path`.
    static QString opening(const QString& path, const Sql& failed, const QString& what);
    // A failed read or write of the open workspace at `path`.
    static QString operation(const QString& path, const QString& what, const Sql& failed);
    // Why SQLite could only half work at `path` (its folder or the file not
    // writable, a read-only file system); none when nothing stands in the way.
    static std::optional<QString> fileProblem(const QString& path);
    // Why no folder can be made inside the existing folder `existing`.
    static std::optional<QString> folderProblem(const QString& existing, const QString& folder);
};

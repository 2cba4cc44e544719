#include "Services/Workspace/StoreFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>

#include <sqlite3.h>

#include <cerrno>

namespace {

enum class Cause { Unknown, Locked, DiskFull, ReadOnlyFileSystem, FolderNotWritable, FileNotWritable };

// The cause a system error number names, else `otherwise`.
Cause causeOfSystemError(int error, Cause otherwise)
{
    switch (error) {
    case EROFS:
        return Cause::ReadOnlyFileSystem;
    case ENOSPC:
    case EDQUOT:
        return Cause::DiskFull;
    default:
        return otherwise;
    }
}

// Why `path` cannot be read and written, or Unknown when it can. Asked through
// SQLite's own file layer, so that the answer is about what SQLite meets.
Cause accessProblem(const QString& path, Cause denied)
{
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (!vfs)
        return Cause::Unknown;
    const QByteArray native = QFile::encodeName(path);
    int allowed = 0;
    errno = 0;
    if (vfs->xAccess(vfs, native.constData(), SQLITE_ACCESS_READWRITE, &allowed) != SQLITE_OK || allowed)
        return Cause::Unknown;
    const int error = vfs->xGetLastError ? vfs->xGetLastError(vfs, 0, nullptr) : errno;
    return error == ENOENT ? Cause::Unknown : causeOfSystemError(error, denied);
}

// The cause behind an SQLite failure on the workspace file; code 0 asks the
// file system alone. `osError` is the system's error number behind an I/O
// failure: the side files SQLite makes beside the workspace (its log and the
// log's index) fail that way when the disk is full.
Cause diagnose(int code, const QString& path, int osError = 0)
{
    if (code == SQLITE_IOERR || code == SQLITE_CANTOPEN) {
        if (const Cause cause = causeOfSystemError(osError, Cause::Unknown); cause != Cause::Unknown)
            return cause;
    }
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Cause::Locked;
    case SQLITE_FULL:
        return Cause::DiskFull;
    case 0:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_IOERR:
    case SQLITE_AUTH:
        break;
    default:
        return Cause::Unknown;
    }
    // The folder first: the write-ahead log and its index are made beside the file.
    const QFileInfo file(path);
    if (const Cause folder = accessProblem(file.absolutePath(), Cause::FolderNotWritable); folder != Cause::Unknown)
        return folder;
    return file.exists() ? accessProblem(path, Cause::FileNotWritable) : Cause::Unknown;
}

QString causeText(Cause cause, const QString& path)
{
    switch (cause) {
    case Cause::Locked:
        return StoreFailure::tr("the workspace is locked by another program");
    case Cause::DiskFull:
        return StoreFailure::tr("the disk is full");
    case Cause::ReadOnlyFileSystem:
        return StoreFailure::tr("the workspace is on a read-only file system");
    case Cause::FolderNotWritable:
        return StoreFailure::tr("the folder %1 is not writable").arg(QFileInfo(path).absolutePath());
    case Cause::FileNotWritable:
        return StoreFailure::tr("the file cannot be read and written (permission denied)");
    case Cause::Unknown:
        break;
    }
    return {};
}

// SQLite's own words when it gave any; Qt's wrapper text adds nothing.
QString errorText(const QSqlError& error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

// SQLite's primary result code behind an error, 0 when there is none.
int sqliteCode(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : 0;
}

} // namespace

sqlite3* StoreFailure::handle(const QSqlDatabase& db)
{
    const QVariant handle = db.isValid() && db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

StoreFailure::Sql::Sql(const QSqlError& error, const QSqlDatabase& db)
    : Sql(sqliteCode(error), handle(db) ? sqlite3_system_errno(handle(db)) : 0, errorText(error))
{
}

StoreFailure::Sql::Sql(int resultCode, int systemError, QString message)
    : code(resultCode & 0xff)
    , osError(systemError)
    , text(std::move(message))
{
}

bool StoreFailure::Sql::isBusy() const
{
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

QString StoreFailure::withDetail(const QString& what, const QString& detail)
{
    return detail.isEmpty() ? what : tr("%1: %2").arg(what, detail);
}

QString StoreFailure::opening(const QString& path, const Sql& failed, const QString& what)
{
    const Cause cause = diagnose(failed.code, path, failed.osError);
    if (cause == Cause::Unknown)
        return withDetail(what, failed.text);
    return tr("The workspace database %1 cannot be opened: %2.").arg(path, causeText(cause, path));
}

QString StoreFailure::operation(const QString& path, const QString& what, const Sql& failed)
{
    const Cause cause = diagnose(failed.code, path, failed.osError);
    if (cause == Cause::Unknown)
        return withDetail(what, failed.text);
    return (cause == Cause::Locked ? tr("%1: %2; try again.") : tr("%1: %2.")).arg(what, causeText(cause, path));
}

std::optional<QString> StoreFailure::fileProblem(const QString& path)
{
    const Cause cause = diagnose(0, path);
    if (cause == Cause::Unknown)
        return std::nullopt;
    return tr("The workspace database %1 cannot be opened: %2.").arg(path, causeText(cause, path));
}

std::optional<QString> StoreFailure::folderProblem(const QString& existing, const QString& folder)
{
    const Cause cause = accessProblem(existing, Cause::FolderNotWritable);
    if (cause == Cause::Unknown)
        return std::nullopt;
    return tr("The folder %1 cannot be created: %2.")
        .arg(folder, causeText(cause, QDir(existing).filePath(QStringLiteral("x"))));
}

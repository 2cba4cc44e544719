#include "ViewModels/SavedAppsViewModel.h"
#include "Services/SwiftDataService.h"

#include <QCryptographicHash>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <future>
#include <map>
#include <thread>

namespace {

AppInfo sampleApp(qint64 id, const QString& name)
{
    AppInfo app;
    app.id = id;
    app.name = name;
    return app;
}

// A disk in trouble below SQLite, binding root as well: registered as SQLite's
// default file layer, it answers for every path inside `folder` as a read-only
// file system, a folder without write permission or a full disk would.
struct TroubledDisk {
    enum Trouble { None, ReadOnlyFileSystem, FolderNotWritable, Full };
    static inline Trouble trouble = None;
    static inline QByteArray folder;

    static void install()
    {
        s_real = sqlite3_vfs_find(nullptr);
        s_vfs = *s_real;
        s_vfs.zName = "troubled-disk";
        s_vfs.pNext = nullptr;
        s_vfs.xOpen = open;
        s_vfs.xAccess = access;
        sqlite3_vfs_register(&s_vfs, 1);
    }

private:

    static int access(sqlite3_vfs*, const char* path, int flags, int* allowed)
    {
        const bool inside = QByteArray(path).startsWith(folder);
        if (flags == SQLITE_ACCESS_READWRITE && inside
            && (trouble == ReadOnlyFileSystem || (trouble == FolderNotWritable && QByteArray(path) == folder))) {
            *allowed = 0;
            errno = trouble == ReadOnlyFileSystem ? EROFS : EACCES;
            return SQLITE_OK;
        }
        return s_real->xAccess(s_real, path, flags, allowed);
    }
    // Files inside the folder write through a table of our own that fails
    // while the disk is full, also for files opened before it filled up.
    struct Tables {
        sqlite3_io_methods troubled;
        const sqlite3_io_methods* original;
    };
    static int open(sqlite3_vfs*, const char* path, sqlite3_file* file, int flags, int* outFlags)
    {
        const int result = s_real->xOpen(s_real, path, file, flags, outFlags);
        if (result == SQLITE_OK && file->pMethods && path && QByteArray(path).startsWith(folder)) {
            static std::map<const sqlite3_io_methods*, Tables> tables;
            auto [entry, added] = tables.try_emplace(file->pMethods, Tables{*file->pMethods, file->pMethods});
            if (added)
                entry->second.troubled.xWrite = write;
            s_tables[&entry->second.troubled] = file->pMethods;
            file->pMethods = &entry->second.troubled;
        }
        return result;
    }
    static int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset)
    {
        if (trouble == Full)
            return SQLITE_FULL;
        return s_tables.at(file->pMethods)->xWrite(file, data, amount, offset);
    }
    static inline std::map<const sqlite3_io_methods*, const sqlite3_io_methods*> s_tables;
    static inline sqlite3_vfs* s_real = nullptr;
    static inline sqlite3_vfs s_vfs{};
};

// Another program holding the workspace's lock from a thread of its own until
// told to let go, or for three seconds at most: longer than a write may wait,
// shorter than SQLite's usual five-second wait.
class LockHolder {
public:
    LockHolder(const QString& path, const char* lock)
        : m_thread([this, file = QFile::encodeName(path), lock] {
            sqlite3* db = nullptr;
            const bool held = sqlite3_open(file.constData(), &db) == SQLITE_OK
                && sqlite3_exec(db, lock, nullptr, nullptr, nullptr) == SQLITE_OK;
            m_held.set_value(held);
            m_release.get_future().wait_for(std::chrono::seconds(3));
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        })
    {
    }
    ~LockHolder()
    {
        m_release.set_value();
        m_thread.join();
    }
    bool held() { return m_heldFuture.get(); }

private:
    std::promise<bool> m_held;
    std::future<bool> m_heldFuture = m_held.get_future();
    std::promise<void> m_release;
    std::thread m_thread;
};

constexpr const char* kWriteLock = "BEGIN EXCLUSIVE";
constexpr const char* kReadLock = "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; SELECT count(*) FROM sqlite_master";

// A second connection to the same file, for meddling behind the store's back.
bool execBehindTheBack(const QString& path, const QString& statement)
{
    const QString name = QStringLiteral("raw-%1").arg(QRandomGenerator::global()->generate64());
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open() && QSqlQuery(db).exec(statement);
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

// Every entry under a folder with a hash of its bytes: equal snapshots mean
// that nothing there was written, created, renamed or deleted.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> entries;
    const QDir root(folder);
    const auto filters = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QFileInfo& info : root.entryInfoList(filters)) {
        QFile file(info.absoluteFilePath());
        entries.insert(info.fileName(), file.open(QIODevice::ReadOnly)
                           ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                           : QByteArray("unreadable"));
        if (info.isDir())
            entries.insert(snapshot(info.absoluteFilePath()));
    }
    return entries;
}

std::unique_ptr<SavedAppsViewModel> loadedWorkspace(const QString& path)
{
    auto created = SavedAppsViewModel::create(path);
    if (!created)
        return nullptr;
    created.value()->load();
    return std::move(created).value();
}

// The child process of killDuringWritesLoseNothingCommitted: saves apps until
// it is killed, writing each committed id on a line of its own.
int writeUntilKilled(const QString& path)
{
    auto store = SwiftDataService::open(path);
    for (qint64 id = 1; store; ++id) {
        if (!store.value()->upsert(SavedAppProfile::fromAppInfo(sampleApp(id, QStringLiteral("App")), QStringLiteral("US"))))
            return 3;
        std::printf("%lld\n", static_cast<long long>(id));
        std::fflush(stdout);
    }
    return 2;
}

enum class Trouble { RandomBytes, Folder, NewerSchema, ForeignDatabase, Truncated, ReadLocked, WriteLocked,
                     ReadOnlyFileSystem, FolderNotWritable, Full, PathUnderFile, InsertRefused, UpdateRefused,
                     DeleteRefused };

} // namespace

class WorkspaceStorageTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LockHolder> m_lock;
    QString folder() const { return m_dir.filePath(QStringLiteral("ws")); }
    QString path() const { return m_dir.filePath(QStringLiteral("ws/Plovera.sqlite")); }

    void cause(Trouble trouble, const QString& path)
    {
        const QString refuse = QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON saved_app_profiles "
                                              "BEGIN SELECT RAISE(ABORT, 'refused by test'); END");
        QFile file(path);
        switch (trouble) {
        case Trouble::RandomBytes: {
            QByteArray bytes(8192, '\0');
            QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            break;
        }
        case Trouble::Folder:
            QVERIFY(QDir().mkpath(path));
            break;
        case Trouble::NewerSchema:
            QVERIFY(SwiftDataService::open(path));
            QVERIFY(execBehindTheBack(path, QStringLiteral("PRAGMA journal_mode=DELETE")));
            QVERIFY(execBehindTheBack(path, QStringLiteral("PRAGMA user_version=%1").arg(SwiftDataService::schemaVersion + 1)));
            break;
        case Trouble::ForeignDatabase:
            QVERIFY(execBehindTheBack(path, QStringLiteral("CREATE TABLE notes (body TEXT)")));
            break;
        case Trouble::Truncated:
            if (auto store = SwiftDataService::open(path)) {
                for (int id = 1; id <= 200; ++id)
                    QVERIFY(store.value()->upsert(SavedAppProfile::fromAppInfo(sampleApp(id, QString(500, u'x')), QStringLiteral("US"))));
            }
            QVERIFY(execBehindTheBack(path, QStringLiteral("PRAGMA journal_mode=DELETE")));
            QVERIFY(file.size() > 8 * 4096 && file.resize(file.size() / 2));
            break;
        case Trouble::ReadLocked:
        case Trouble::WriteLocked:
            m_lock = std::make_unique<LockHolder>(path, trouble == Trouble::ReadLocked ? kReadLock : kWriteLock);
            QVERIFY(m_lock->held());
            break;
        case Trouble::ReadOnlyFileSystem:
            TroubledDisk::trouble = TroubledDisk::ReadOnlyFileSystem;
            break;
        case Trouble::FolderNotWritable:
            TroubledDisk::trouble = TroubledDisk::FolderNotWritable;
            break;
        case Trouble::Full:
            TroubledDisk::trouble = TroubledDisk::Full;
            break;
        case Trouble::PathUnderFile:
            QVERIFY(file.open(QIODevice::WriteOnly));
            break;
        case Trouble::InsertRefused:
        case Trouble::UpdateRefused:
        case Trouble::DeleteRefused: {
            const char* what = trouble == Trouble::InsertRefused ? "INSERT" : trouble == Trouble::UpdateRefused ? "UPDATE" : "DELETE";
            QVERIFY(execBehindTheBack(path, refuse.arg(QLatin1String(what))));
            break;
        }
        }
    }
    void endTrouble()
    {
        m_lock.reset();
        TroubledDisk::trouble = TroubledDisk::None;
        execBehindTheBack(path(), QStringLiteral("DROP TRIGGER IF EXISTS refuse"));
    }

private slots:
    void initTestCase()
    {
        TroubledDisk::folder = QFile::encodeName(folder());
        TroubledDisk::install();
    }
    void cleanup()
    {
        endTrouble();
        QDir(folder()).removeRecursively();
    }

    void openFailureNamesItsCauseAndTouchesNothing_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("random bytes") << false << Trouble::RandomBytes << "not a readable workspace database";
        QTest::newRow("folder in its place") << false << Trouble::Folder << "is a folder";
        QTest::newRow("newer schema") << false << Trouble::NewerSchema << "newer version";
        QTest::newRow("another application's") << false << Trouble::ForeignDatabase << "another application";
        QTest::newRow("truncated") << false << Trouble::Truncated << "malformed";
        QTest::newRow("locked") << true << Trouble::ReadLocked << "locked by another program";
        QTest::newRow("locked before it was made") << false << Trouble::ReadLocked << "locked by another program";
        QTest::newRow("read-only file system") << true << Trouble::ReadOnlyFileSystem << "read-only file system";
        QTest::newRow("folder not writable") << true << Trouble::FolderNotWritable << "ws is not writable";
    }
    void openFailureNamesItsCauseAndTouchesNothing()
    {
        QFETCH(bool, existing);
        QFETCH(Trouble, trouble);
        QFETCH(QString, expectedText);
        QVERIFY(QDir().mkpath(folder()));
        if (existing)
            QVERIFY(loadedWorkspace(path()));
        cause(trouble, path());
        if (QTest::currentTestFailed())
            return;
        const auto before = snapshot(folder());
        const auto created = SavedAppsViewModel::create(path());
        QVERIFY(!created);
        QVERIFY2(created.error().contains(expectedText) && created.error().contains(path()), qPrintable(created.error()));
        QCOMPARE(snapshot(folder()), before);
    }

    void failedFirstOpenLeavesNothingBehind_data()
    {
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("disk full") << Trouble::Full << "the disk is full";
        QTest::newRow("read-only file system") << Trouble::ReadOnlyFileSystem << "read-only file system";
        QTest::newRow("folder not writable") << Trouble::FolderNotWritable << "ws is not writable";
        QTest::newRow("path under a file") << Trouble::PathUnderFile << "is a file";
    }
    void failedFirstOpenLeavesNothingBehind()
    {
        QFETCH(Trouble, trouble);
        QFETCH(QString, expectedText);
        QVERIFY(QDir().mkpath(folder()));
        const QString database = folder() + QStringLiteral("/new/more/Plovera.sqlite");
        cause(trouble, folder() + QStringLiteral("/new"));
        const auto before = snapshot(folder());
        const auto created = SavedAppsViewModel::create(database);
        QVERIFY(!created);
        QVERIFY2(created.error().contains(expectedText), qPrintable(created.error()));
        QCOMPARE(snapshot(folder()), before);
    }

    void failedWritesAreReportedAndLoseNothing_data()
    {
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("insert refused") << Trouble::InsertRefused << "add" << "refused by test";
        QTest::newRow("update refused") << Trouble::UpdateRefused << "refresh" << "refused by test";
        QTest::newRow("delete refused") << Trouble::DeleteRefused << "remove" << "refused by test";
        QTest::newRow("locked: add") << Trouble::WriteLocked << "add" << "locked by another program; try again";
        QTest::newRow("locked: remove") << Trouble::WriteLocked << "remove" << "Could not remove \u201CKept\u201D: the workspace is locked";
        QTest::newRow("disk full: add") << Trouble::Full << "add" << "Could not save \u201CNew\u201D: the disk is full";
        QTest::newRow("disk full: remove") << Trouble::Full << "remove" << "the disk is full";
    }
    void failedWritesAreReportedAndLoseNothing()
    {
        QFETCH(Trouble, trouble);
        QFETCH(QString, operation);
        QFETCH(QString, expectedText);
        auto workspace = loadedWorkspace(path());
        QVERIFY(workspace && workspace->add(sampleApp(1, QStringLiteral("Kept")), QStringLiteral("US")));
        const QList<SavedAppProfile> before = workspace->savedApps();
        cause(trouble, path());
        QSignalSpy changed(workspace.get(), &SavedAppsViewModel::savedAppsChanged);
        QSignalSpy messages(workspace.get(), &SavedAppsViewModel::errorMessageChanged);
        QSignalSpy failed(workspace.get(), &SavedAppsViewModel::writeFailed);
        const auto write = [&] {
            if (operation == QLatin1String("add"))
                return workspace->add(sampleApp(2, QStringLiteral("New")), QStringLiteral("US")).hasValue();
            if (operation == QLatin1String("refresh"))
                return workspace->refresh(sampleApp(1, QStringLiteral("Renamed")), QStringLiteral("US")).hasValue();
            return workspace->remove(before.first().dedupKey()).hasValue();
        };
        // The same failure twice is reported twice.
        QVERIFY(!write() && !write());
        QCOMPARE(failed.count(), 2);
        QCOMPARE(messages.count(), 1);
        QVERIFY2(workspace->errorMessage().contains(expectedText), qPrintable(workspace->errorMessage()));
        QCOMPARE(workspace->savedApps(), before);
        QCOMPARE(changed.count(), 0);

        // Nothing refused was written; once the trouble ends the same write goes through.
        endTrouble();
        QVERIFY(write());
        QVERIFY(workspace->errorMessage().isEmpty());
        const QList<SavedAppProfile> acknowledged = workspace->savedApps();
        QVERIFY(acknowledged != before);
        workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QCOMPARE(workspace->savedApps(), acknowledged);
    }

    void killDuringWritesLoseNothingCommitted()
    {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--write-until-killed"), path()});
        QByteArray output;
        connect(&writer, &QProcess::readyReadStandardOutput, this, [&] { output += writer.readAllStandardOutput(); });
        // The last line may be cut short; the one before it is whole.
        const auto lastCommitted = [&output] {
            const QList<QByteArray> lines = output.split('\n');
            return lines.size() < 2 ? 0 : lines.at(lines.size() - 2).toLongLong();
        };
        QTRY_VERIFY_WITH_TIMEOUT(lastCommitted() >= 150 || writer.state() == QProcess::NotRunning, 120000);
        QCOMPARE(writer.state(), QProcess::Running);
        writer.kill();
        QVERIFY(writer.waitForFinished());
        output += writer.readAllStandardOutput();

        const auto workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        const QList<qint64> ids = workspace->savedAppIDs();
        const QSet<qint64> saved(ids.cbegin(), ids.cend());
        for (qint64 id = 1; id <= lastCommitted(); ++id)
            QVERIFY2(saved.contains(id), qPrintable(QString::number(id)));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--write-until-killed") == 0)
        return writeUntilKilled(QString::fromLocal8Bit(argv[2]));
    WorkspaceStorageTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "WorkspaceStorageTest.moc"

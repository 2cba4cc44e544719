#include "ViewModels/SavedAppsViewModel.h"
#include "Services/Workspace/SwiftDataService.h"

#include <QCryptographicHash>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sqlite3.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <future>
#include <latch>
#include <vector>
#include <map>
#include <mutex>
#include <thread>

namespace {

AppInfo sampleApp(qint64 id, const QString& name, AppPlatform platform = AppPlatform::iPhone)
{
    return AppInfo{id, name, QStringLiteral("Maker"), QUrl(QStringLiteral("https://example.com/%1.png").arg(id)),
                   QStringLiteral("Games"), QStringLiteral("About it"), 1200, 4.5,
                   QDateTime(QDate(2020, 2, 29), QTime(8, 30), Qt::UTC),
                   {QUrl(QStringLiteral("https://example.com/s1.png"))}, platform};
}

std::unique_ptr<SavedAppsViewModel> loadedWorkspace(const QString& path)
{
    auto created = SavedAppsViewModel::create(path);
    if (!created)
        return nullptr;
    QCoro::waitFor(created.value()->load());
    return std::move(created).value();
}

enum class Trouble { None, NotADatabase, NewerSchema, ForeignDatabase, Truncated, ReadLocked, WriteLocked,
                     ReadOnlyFileSystem, FolderNotWritable, Full, PathUnderFile, UpdateRefused };

// A disk in trouble below SQLite, binding root as well: registered as SQLite's
// default file layer, it answers for every path inside `folder` as a read-only
// file system, a folder without write permission or a full disk would.
struct TroubledDisk {
    static inline Trouble trouble = Trouble::None;
    static inline QByteArray folder;
    static inline std::atomic<int> windowThreadSyncs = 0;
    static inline QByteArray watchedFile;
    static inline std::atomic<int> watchedFileOpens = 0;

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
        const QByteArray name(path);
        if (flags == SQLITE_ACCESS_READWRITE && name.startsWith(folder)
            && (trouble == Trouble::ReadOnlyFileSystem || (trouble == Trouble::FolderNotWritable && name == folder))) {
            *allowed = 0;
            errno = trouble == Trouble::ReadOnlyFileSystem ? EROFS : EACCES;
            return SQLITE_OK;
        }
        return s_real->xAccess(s_real, path, flags, allowed);
    }
    // Files inside the folder write through a copy of their table that fails
    // while the disk is full, also for files opened before it filled up; the
    // log's index beside the file cannot grow then either.
    static int open(sqlite3_vfs*, const char* path, sqlite3_file* file, int flags, int* outFlags)
    {
        const int result = s_real->xOpen(s_real, path, file, flags, outFlags);
        if (path && (flags & SQLITE_OPEN_MAIN_DB) && QByteArray(path) == watchedFile)
            ++watchedFileOpens;
        if (result == SQLITE_OK && file->pMethods && path && QByteArray(path).startsWith(folder)) {
            const std::lock_guard lock(s_mutex); // stores open on threads of their own
            static std::map<const sqlite3_io_methods*, sqlite3_io_methods> copies;
            auto [copy, added] = copies.try_emplace(file->pMethods, *file->pMethods);
            copy->second.xWrite = write;
            copy->second.xSync = sync;
            if (copy->second.iVersion >= 2)
                copy->second.xShmMap = shmMap;
            s_originals[&copy->second] = file->pMethods;
            file->pMethods = &copy->second;
        }
        return result;
    }
    static int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset)
    {
        return trouble == Trouble::Full ? SQLITE_FULL : original(file)->xWrite(file, data, amount, offset);
    }
    static int sync(sqlite3_file* file, int flags)
    {
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            ++windowThreadSyncs;
        return original(file)->xSync(file, flags);
    }
    static int shmMap(sqlite3_file* file, int region, int size, int extend, void volatile** memory)
    {
        if (trouble != Trouble::Full)
            return original(file)->xShmMap(file, region, size, extend, memory);
        errno = ENOSPC; // as a write into the index's new pages meets it
        return SQLITE_IOERR_SHMSIZE;
    }
    static const sqlite3_io_methods* original(sqlite3_file* file)
    {
        const std::lock_guard lock(s_mutex);
        return s_originals.at(file->pMethods);
    }
    static inline std::mutex s_mutex;
    static inline std::map<const sqlite3_io_methods*, const sqlite3_io_methods*> s_originals;
    static inline sqlite3_vfs* s_real = nullptr;
    static inline sqlite3_vfs s_vfs{};
};

// Another program holding the workspace's lock from a thread of its own until
// told to let go, or for three seconds at most: longer than a write may wait,
// shorter than SQLite's usual five-second wait.
struct LockHolder {
    LockHolder(const QString& path, const char* lock)
        : thread([this, file = QFile::encodeName(path), lock] {
            sqlite3* db = nullptr;
            held.set_value(sqlite3_open(file.constData(), &db) == SQLITE_OK
                           && sqlite3_exec(db, lock, nullptr, nullptr, nullptr) == SQLITE_OK);
            release.get_future().wait_for(std::chrono::seconds(10));
            sqlite3_close_v2(db);
        })
    {
    }
    ~LockHolder() { release.set_value(), thread.join(); }
    std::promise<bool> held;
    std::promise<void> release;
    std::thread thread;
};

// A second connection to the same file, for meddling behind the store's back.
bool execBehindTheBack(const QString& path, const QByteArray& statements)
{
    sqlite3* db = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
        && sqlite3_exec(db, statements.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Every entry under a folder with a hash of its bytes: equal snapshots mean
// that nothing there was written, created, renamed or deleted.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> entries;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        QFile file(info.absoluteFilePath());
        entries.insert(info.absoluteFilePath(), file.open(QIODevice::ReadOnly)
                           ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                           : QByteArray("unreadable"));
        if (info.isDir())
            entries.insert(snapshot(info.absoluteFilePath()));
    }
    return entries;
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

} // namespace

class SavedWorkspaceTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LockHolder> m_lock;
    QString folder() const { return m_dir.filePath(QStringLiteral("ws")); }
    QString path() const { return m_dir.filePath(QStringLiteral("ws/Plovera.sqlite")); }

    void cause(Trouble trouble, const QString& path)
    {
        QFile file(path);
        switch (trouble) {
        case Trouble::NotADatabase:
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(8192, 'x')) == 8192);
            break;
        case Trouble::NewerSchema:
            QVERIFY(SwiftDataService::open(path));
            QVERIFY(execBehindTheBack(path, "PRAGMA journal_mode=DELETE; PRAGMA user_version="
                                              + QByteArray::number(SwiftDataService::schemaVersion + 1)));
            break;
        case Trouble::ForeignDatabase:
            QVERIFY(execBehindTheBack(path, "CREATE TABLE notes (body TEXT)"));
            break;
        case Trouble::Truncated:
            if (auto store = SwiftDataService::open(path)) {
                for (int id = 1; id <= 200; ++id)
                    QVERIFY(store.value()->upsert(SavedAppProfile::fromAppInfo(sampleApp(id, QString(500, u'x')), QStringLiteral("US"))));
            }
            QVERIFY(execBehindTheBack(path, "PRAGMA journal_mode=DELETE") && file.size() > 8 * 4096 && file.resize(file.size() / 2));
            break;
        case Trouble::ReadLocked:
        case Trouble::WriteLocked:
            m_lock = std::make_unique<LockHolder>(path, trouble == Trouble::WriteLocked ? "BEGIN EXCLUSIVE"
                                                        : "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; "
                                                          "SELECT count(*) FROM sqlite_master");
            QVERIFY(m_lock->held.get_future().get());
            break;
        case Trouble::None:
        case Trouble::ReadOnlyFileSystem:
        case Trouble::FolderNotWritable:
        case Trouble::Full:
            TroubledDisk::trouble = trouble;
            break;
        case Trouble::PathUnderFile:
            QVERIFY(file.open(QIODevice::WriteOnly));
            break;
        case Trouble::UpdateRefused:
            QVERIFY(execBehindTheBack(path, "CREATE TRIGGER refuse BEFORE UPDATE ON saved_app_profiles "
                                            "BEGIN SELECT RAISE(ABORT, 'refused by test'); END"));
            break;
        }
    }
    void endTrouble()
    {
        m_lock.reset();
        TroubledDisk::trouble = Trouble::None;
        execBehindTheBack(path(), "DROP TRIGGER IF EXISTS refuse");
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

    void savedOncePerStorefrontAndPlatform()
    {
        auto workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QSignalSpy changed(workspace.get(), &SavedAppsViewModel::savedAppsChanged);
        const auto first = QCoro::waitFor(workspace->add(sampleApp(42, QStringLiteral("Old")), QStringLiteral(" us\n")));
        QVERIFY(first && workspace->isSaved(QStringLiteral("42#US#software")));
        QVERIFY(!workspace->isSaved(42, QStringLiteral("HK"), AppPlatform::iPhone));
        QVERIFY(!workspace->isSaved(42, QStringLiteral("US"), AppPlatform::iPad));

        // Saving it again refreshes the one profile and keeps its added date.
        AppInfo renamed = sampleApp(42, QStringLiteral("New"));
        renamed.ratingCount.reset();
        renamed.screenshotURLs.clear();
        QVERIFY(QCoro::waitFor(workspace->add(renamed, QStringLiteral("US"))));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(workspace->savedApps().size(), 1);
        QCOMPARE(workspace->profile(QStringLiteral("42#US#software"))->app, renamed);
        QCOMPARE(workspace->savedApps().first().addedAt, first.value().addedAt);

        // Refreshing or removing touches saved apps only.
        const auto unsaved = QCoro::waitFor(workspace->refresh(sampleApp(42, QStringLiteral("Quarantadue")), QStringLiteral("IT")));
        const auto absent = QCoro::waitFor(workspace->remove(QStringLiteral("42#IT#software")));
        QVERIFY(unsaved && !unsaved.value() && absent && !absent.value());
        QCOMPARE(changed.count(), 2);

        // Another storefront or platform is another profile of its own; their
        // details round-trip whatever they hold.
        AppInfo awkward = sampleApp(42, QStringLiteral("O'Brien \"Q\" 😀🇮🇹 '); DROP TABLE saved_app_profiles; --"));
        awkward.developer = QStringLiteral("x'); DELETE FROM saved_app_profiles WHERE ('1'='1");
        awkward.description = QStringLiteral("Line\nnext\t\\ %1 ? :name ü 日本語");
        awkward.genre = QString();
        awkward.iconURL = QUrl();
        awkward.screenshotURLs = {QUrl(QStringLiteral("https://example.com/a b/ü.png?q=\"x\",y&b=c'd")), QUrl()};
        awkward.averageRating = 4.123456789;
        awkward.releaseDate.reset();
        QVERIFY(QCoro::waitFor(workspace->add(awkward, QStringLiteral("hk"))));
        QVERIFY(QCoro::waitFor(workspace->add(sampleApp(42, QStringLiteral("iPad"), AppPlatform::iPad), QStringLiteral("US"))));
        QVERIFY(QCoro::waitFor(workspace->add(sampleApp(7, QStringLiteral("Seven")), QStringLiteral("IT"))));
        QCOMPARE(workspace->savedAppIDs(), (QList<qint64>{42, 7}));
        QVERIFY(workspace->isSaved(QStringLiteral("42#US#iPadSoftware")));

        const auto removed = QCoro::waitFor(workspace->remove(QStringLiteral("42#US#software")));
        QVERIFY(removed && removed.value());
        QVERIFY(!workspace->isSaved(42, QStringLiteral("US"), AppPlatform::iPhone));
        QVERIFY(workspace->isSaved(42, QStringLiteral("HK"), AppPlatform::iPhone));

        const QList<SavedAppProfile> before = workspace->savedApps();
        workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QCOMPARE(workspace->savedApps(), before);
        // The list holds what the sidebar shows; the details are read on demand.
        QVERIFY(!workspace->hasDetails(QStringLiteral("42#HK#software")));
        QCoro::waitFor(workspace->loadDetails(QStringLiteral("42#HK#software")));
        const SavedAppProfile awkwardSaved = *workspace->profile(QStringLiteral("42#HK#software"));
        QVERIFY(workspace->savedApps().contains(awkwardSaved.summary()));
        QCOMPARE(awkwardSaved.app, awkward);
    }

    void invalidAppIsRefused_data()
    {
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("storefront");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("zero id") << qint64(0) << "US" << "0 is not a valid app id";
        QTest::newRow("negative id") << qint64(-42) << "US" << "-42 is not a valid app id";
        QTest::newRow("three letters") << qint64(42) << "USA" << "\"USA\" is not a two-letter storefront code";
        QTest::newRow("digit") << qint64(42) << "U1" << "\"U1\" is not";
        QTest::newRow("blank") << qint64(42) << "  " << "\"\" is not";
    }
    void invalidAppIsRefused()
    {
        QFETCH(qint64, id);
        QFETCH(QString, storefront);
        QFETCH(QString, expectedText);
        auto workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QSignalSpy failed(workspace.get(), &SavedAppsViewModel::writeFailed);
        const auto added = QCoro::waitFor(workspace->add(sampleApp(id, QStringLiteral("Bad")), storefront));
        QVERIFY2(!added && added.error().contains(expectedText), qPrintable(added ? QString() : added.error()));
        QCOMPARE(workspace->errorMessage(), added.error());
        QCOMPARE(failed.count(), 1);
        workspace = loadedWorkspace(path());
        QVERIFY(workspace && workspace->savedApps().isEmpty());
    }

    void failedOpenNamesItsCauseAndTouchesNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QString>("expectedText");
        const QString first = QStringLiteral("new/more/Plovera.sqlite");
        const QString plain = QStringLiteral("Plovera.sqlite");
        QTest::newRow("not a database") << plain << false << Trouble::NotADatabase << "not a readable workspace database";
        QTest::newRow("newer schema") << plain << false << Trouble::NewerSchema << "newer version";
        QTest::newRow("another application's") << plain << false << Trouble::ForeignDatabase << "another application";
        QTest::newRow("truncated") << plain << false << Trouble::Truncated << "malformed";
        QTest::newRow("locked") << plain << true << Trouble::ReadLocked << "locked by another program";
        QTest::newRow("locked, empty") << plain << false << Trouble::ReadLocked << "locked by another program";
        QTest::newRow("read-only file system") << plain << true << Trouble::ReadOnlyFileSystem << "read-only file system";
        QTest::newRow("folder not writable") << plain << true << Trouble::FolderNotWritable << "ws is not writable";
        // An intact workspace: only the side files cannot be made.
        QTest::newRow("disk full") << plain << true << Trouble::Full << "cannot be opened: the disk is full.";
        // A first open that fails takes away the file and folders it made.
        QTest::newRow("first, disk full") << first << false << Trouble::Full << "the disk is full";
        QTest::newRow("first, read-only file system") << first << false << Trouble::ReadOnlyFileSystem << "read-only file system";
        QTest::newRow("first, folder not writable") << first << false << Trouble::FolderNotWritable << "ws is not writable";
        QTest::newRow("first, under a file") << first << false << Trouble::PathUnderFile << "new is a file";
    }
    void failedOpenNamesItsCauseAndTouchesNothing()
    {
        QFETCH(QString, file);
        QFETCH(bool, existing);
        QFETCH(Trouble, trouble);
        QFETCH(QString, expectedText);
        QVERIFY(QDir().mkpath(folder()));
        const QString database = QDir(folder()).filePath(file);
        if (existing)
            QVERIFY(loadedWorkspace(database));
        cause(trouble, trouble == Trouble::PathUnderFile ? QDir(folder()).filePath(QStringLiteral("new")) : database);
        if (QTest::currentTestFailed())
            return;
        const auto before = snapshot(folder());
        const auto created = SavedAppsViewModel::create(database);
        QVERIFY2(!created && created.error().contains(expectedText), qPrintable(created ? QString() : created.error()));
        auto after = snapshot(folder());
        // SQLite makes its log beside the file before it meets the full disk:
        // empty, and its own to use or remove.
        const QByteArray empty = QCryptographicHash::hash({}, QCryptographicHash::Sha256);
        if (trouble == Trouble::Full && after.value(database + QStringLiteral("-wal")) == empty)
            after.remove(database + QStringLiteral("-wal"));
        QCOMPARE(after, before);
    }

    void backgroundOpenListsOrFailsOnce_data()
    {
        QTest::addColumn<bool>("garbage");
        QTest::newRow("intact") << false;
        QTest::newRow("not a database") << true;
    }
    void backgroundOpenListsOrFailsOnce()
    {
        QFETCH(bool, garbage);
        QVERIFY(QDir().mkpath(folder()));
        if (garbage)
            cause(Trouble::NotADatabase, path());
        else if (const auto seeded = loadedWorkspace(path()))
            QVERIFY(QCoro::waitFor(seeded->add(sampleApp(1, QStringLiteral("Kept")), QStringLiteral("US"))));
        const auto before = snapshot(folder());
        auto workspace = SavedAppsViewModel::openInBackground(path());
        QSignalSpy failed(workspace.get(), &SavedAppsViewModel::openFailed);
        QSignalSpy loaded(workspace.get(), &SavedAppsViewModel::loadedChanged);
        // A write made before the opening ends is queued behind it, without
        // holding the window: it shows once the list is there, saved once.
        auto adding = workspace->add(sampleApp(2, QStringLiteral("Early")), QStringLiteral("US"));
        QVERIFY(!workspace->isLoaded() && workspace->savedApps().isEmpty());
        const auto added = QCoro::waitFor(adding);
        QCOMPARE(added.hasValue(), !garbage);
        QCOMPARE(workspace->isLoaded(), !garbage);
        QCoreApplication::processEvents(); // the opening's own posted report changes nothing more
        QCOMPARE(failed.count(), garbage ? 1 : 0);
        QCOMPARE(loaded.count(), garbage ? 0 : 1);
        if (garbage) {
            QVERIFY(added.error().contains(QStringLiteral("not a readable workspace database")));
            QCOMPARE(snapshot(folder()), before);
        } else {
            QCOMPARE(workspace->savedAppIDs(), (QList<qint64>{1, 2}));
            workspace.reset();
            QCOMPARE(loadedWorkspace(path())->savedAppIDs(), (QList<qint64>{1, 2}));
        }
    }

    // Commits are synced on the store's thread, never the window's, and a
    // quit while writes are queued waits for them.
    void writesLeaveTheWindowThreadAndFinishBeforeExit()
    {
        TroubledDisk::watchedFile = QFile::encodeName(path());
        TroubledDisk::watchedFileOpens = 0;
        auto workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        TroubledDisk::windowThreadSyncs = 0;
        for (qint64 id = 1; id <= 30; ++id)
            workspace->add(sampleApp(id, QStringLiteral("Wanderwege: Grüße aus den Bergen\n山道ノート %1").arg(id)), QStringLiteral("DE"));
        workspace.reset();
        QCOMPARE(TroubledDisk::windowThreadSyncs.load(), 0);
        QCOMPARE(TroubledDisk::watchedFileOpens.load(), 1); // one connection for opening, reading and writing
        QCOMPARE(loadedWorkspace(path())->savedApps().size(), 30);
    }

    // Instances starting together on one workspace all open it, and none
    // blames a cause that is not there.
    void simultaneousOpensAllSucceed_data()
    {
        QTest::addColumn<bool>("rollbackMode");
        QTest::newRow("new folder") << false;
        QTest::newRow("rollback-journal file") << true;
    }
    void simultaneousOpensAllSucceed()
    {
        QFETCH(bool, rollbackMode);
        constexpr int rounds = 40;
        constexpr int instances = 4;
        for (int round = 0; round < rounds; ++round) {
            QDir(folder()).removeRecursively();
            if (rollbackMode) {
                QVERIFY(SwiftDataService::open(path()));
                QVERIFY(execBehindTheBack(path(), "PRAGMA journal_mode=DELETE"));
            }
            std::latch start(instances);
            std::vector<QString> errors(instances);
            std::vector<std::thread> threads;
            for (int instance = 0; instance < instances; ++instance) {
                threads.emplace_back([&, instance] {
                    start.arrive_and_wait();
                    auto store = SwiftDataService::open(path());
                    if (!store) {
                        errors[instance] = store.error();
                        return;
                    }
                    const auto saved = store.value()->upsert(
                        SavedAppProfile::fromAppInfo(sampleApp(instance + 1, QStringLiteral("Café")), QStringLiteral("FR")));
                    if (!saved)
                        errors[instance] = saved.error();
                });
            }
            for (std::thread& thread : threads)
                thread.join();
            for (const QString& error : errors)
                QVERIFY2(error.isEmpty(), qPrintable(QStringLiteral("round %1: %2").arg(round).arg(error)));
            QCOMPARE(loadedWorkspace(path())->savedApps().size(), instances);
        }
    }

    void earlierWorkspaceGainsTheListIndex()
    {
        if (const auto seeded = loadedWorkspace(path()))
            QVERIFY(QCoro::waitFor(seeded->add(sampleApp(1, QStringLiteral("Kept")), QStringLiteral("US"))));
        QVERIFY(execBehindTheBack(path(), "DROP INDEX saved_app_summaries"));
        const auto workspace = loadedWorkspace(path());
        QVERIFY(workspace && workspace->savedAppIDs() == QList<qint64>{1});
        QVERIFY(!execBehindTheBack(path(), "CREATE INDEX saved_app_summaries ON saved_app_profiles (added_at)"));
    }

    void failedWritesAreReportedAndLoseNothing_data()
    {
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("update refused") << Trouble::UpdateRefused << "refresh" << "refused by test";
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
        QVERIFY(workspace && QCoro::waitFor(workspace->add(sampleApp(1, QStringLiteral("Kept")), QStringLiteral("US"))));
        const QList<SavedAppProfile> before = workspace->savedApps();
        cause(trouble, path());
        QSignalSpy changed(workspace.get(), &SavedAppsViewModel::savedAppsChanged);
        QSignalSpy messages(workspace.get(), &SavedAppsViewModel::errorMessageChanged);
        QSignalSpy failed(workspace.get(), &SavedAppsViewModel::writeFailed);
        const auto write = [&] {
            if (operation == QLatin1String("add"))
                return QCoro::waitFor(workspace->add(sampleApp(2, QStringLiteral("New")), QStringLiteral("US"))).hasValue();
            if (operation == QLatin1String("refresh"))
                return QCoro::waitFor(workspace->refresh(sampleApp(1, QStringLiteral("Renamed")), QStringLiteral("US"))).hasValue();
            return QCoro::waitFor(workspace->remove(before.first().dedupKey())).hasValue();
        };
        // Each failure is reported, the same one twice as well, and lists nothing new.
        QVERIFY(!write() && !write());
        QCOMPARE(failed.count(), 2);
        QCOMPARE(messages.count(), 1);
        QVERIFY2(workspace->errorMessage().contains(expectedText), qPrintable(workspace->errorMessage()));
        QCOMPARE(workspace->savedApps(), before);
        QCOMPARE(changed.count(), 0);

        // Once the trouble ends the same write goes through, and what was
        // acknowledged is what is on disk.
        endTrouble();
        QVERIFY(write() && workspace->errorMessage().isEmpty());
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
    SavedWorkspaceTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "SavedWorkspaceTest.moc"

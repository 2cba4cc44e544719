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

#include <unistd.h>

#include <cstdio>

namespace {

AppInfo sampleApp(qint64 id, const QString& name, AppPlatform platform = AppPlatform::iPhone)
{
    return AppInfo{id, name, QStringLiteral("Maker"), QUrl(QStringLiteral("https://example.com/%1.png").arg(id)),
                   QStringLiteral("Games"), QStringLiteral("About it"), 1200, 4.5,
                   QDateTime(QDate(2020, 2, 29), QTime(8, 30), Qt::UTC),
                   {QUrl(QStringLiteral("https://example.com/s1.png"))}, platform};
}

SavedAppProfile sampleProfile(qint64 id, const QString& name, const QDateTime& added)
{
    return SavedAppProfile::fromAppInfo(sampleApp(id, name), QStringLiteral("US"), added);
}

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

// Every entry of a folder with a hash of its bytes: equal snapshots mean that
// nothing there was written, created, renamed or deleted.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> entries;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        QFile file(info.absoluteFilePath());
        entries.insert(info.fileName(), file.open(QIODevice::ReadOnly)
                           ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                           : QByteArray("unreadable"));
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

enum class Damage { RandomBytes, Folder, NewerSchema, ForeignDatabase, Truncated, NoPermission };

void damage(Damage kind, const QString& path)
{
    QFile file(path);
    switch (kind) {
    case Damage::RandomBytes: {
        QByteArray bytes(8192, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        break;
    }
    case Damage::Folder:
        QVERIFY(QDir().mkpath(path));
        break;
    case Damage::NewerSchema:
        QVERIFY(SwiftDataService::open(path));
        QVERIFY(execBehindTheBack(path, QStringLiteral("PRAGMA journal_mode=DELETE")));
        QVERIFY(execBehindTheBack(path, QStringLiteral("PRAGMA user_version=%1").arg(SwiftDataService::schemaVersion + 1)));
        break;
    case Damage::ForeignDatabase:
        QVERIFY(execBehindTheBack(path, QStringLiteral("CREATE TABLE notes (body TEXT)")));
        break;
    case Damage::Truncated:
        if (auto store = SwiftDataService::open(path)) {
            for (int id = 1; id <= 200; ++id)
                QVERIFY(store.value()->upsert(sampleProfile(id, QString(500, u'x'), QDateTime::currentDateTimeUtc())));
        }
        QVERIFY(execBehindTheBack(path, QStringLiteral("PRAGMA journal_mode=DELETE")));
        QVERIFY(file.size() > 8 * 4096 && file.resize(file.size() / 2));
        break;
    case Damage::NoPermission:
        QVERIFY(SwiftDataService::open(path));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        break;
    }
}

// The child process of killDuringWritesLeavesAnOpenableDatabase: saves apps
// until it is killed, writing each committed id on a line of its own.
int writeUntilKilled(const QString& path)
{
    auto store = SwiftDataService::open(path);
    for (qint64 id = 1; store; ++id) {
        if (!store.value()->upsert(sampleProfile(id, QStringLiteral("App"), QDateTime::currentDateTimeUtc())))
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
    QString path() const { return m_dir.filePath(QStringLiteral("ws/Plovera.sqlite")); }

private slots:
    void cleanup() { QDir(m_dir.filePath(QStringLiteral("ws"))).removeRecursively(); }

    void dedupKey_data()
    {
        QTest::addColumn<QString>("storefront");
        QTest::addColumn<AppPlatform>("platform");
        QTest::addColumn<QString>("expected");
        QTest::newRow("iPhone") << "US" << AppPlatform::iPhone << "389801252#US#software";
        QTest::newRow("lower case, blanks") << " it\n" << AppPlatform::iPad << "389801252#IT#iPadSoftware";
        QTest::newRow("mac") << "Gb" << AppPlatform::mac << "389801252#GB#macSoftware";
    }
    void dedupKey()
    {
        QFETCH(QString, storefront);
        QFETCH(AppPlatform, platform);
        QFETCH(QString, expected);
        QCOMPARE(SavedAppProfile::dedupKey(389801252, storefront, platform), expected);
        const AppInfo app = sampleApp(389801252, QStringLiteral("Keynote"), platform);
        const SavedAppProfile profile = SavedAppProfile::fromAppInfo(app, storefront);
        QCOMPARE(profile.dedupKey(), expected);
        QCOMPARE(profile.app, app);
    }

    void addTwiceRefreshesOneProfile()
    {
        auto workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QSignalSpy changed(workspace.get(), &SavedAppsViewModel::savedAppsChanged);
        const auto first = workspace->add(sampleApp(42, QStringLiteral("Old")), QStringLiteral("us"));
        AppInfo renamed = sampleApp(42, QStringLiteral("New"));
        renamed.ratingCount.reset();
        renamed.screenshotURLs.clear();
        QVERIFY(first && workspace->add(renamed, QStringLiteral("US")));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(workspace->savedApps().size(), 1);
        QCOMPARE(workspace->savedApps().first().app, renamed);
        QCOMPARE(workspace->savedApps().first().addedAt, first.value().addedAt);

        // Refreshing touches saved apps only; another storefront or platform is another profile.
        const auto unsaved = workspace->refresh(sampleApp(42, QStringLiteral("Quarantadue")), QStringLiteral("IT"));
        QVERIFY(unsaved && !unsaved.value());
        QCOMPARE(changed.count(), 2);
        QVERIFY(workspace->add(sampleApp(42, QStringLiteral("Mac"), AppPlatform::mac), QStringLiteral("US")));
        QVERIFY(workspace->add(sampleApp(7, QStringLiteral("Seven")), QStringLiteral("IT")));
        const auto refreshed = workspace->refresh(sampleApp(7, QStringLiteral("Sette")), QStringLiteral("it"));
        QVERIFY(refreshed && refreshed.value());
        QCOMPARE(workspace->savedApps().size(), 3);
        QCOMPARE(workspace->savedAppIDs(), (QList<qint64>{42, 7}));
        QVERIFY(workspace->contains(7) && !workspace->contains(8));

        const QList<SavedAppProfile> before = workspace->savedApps();
        workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QCOMPARE(workspace->savedApps(), before);
    }

    void reopenKeepsOrderAndRemovals()
    {
        const QDateTime early(QDate(2024, 1, 1), QTime(9, 0), Qt::UTC);
        const QDateTime late = early.addSecs(60);
        QList<SavedAppProfile> expected{sampleProfile(3, QStringLiteral("zeta"), early),
                                        sampleProfile(1, QStringLiteral("Alpha"), late),
                                        sampleProfile(2, QStringLiteral("beta"), late)};
        expected[1].app.averageRating.reset();
        expected[1].app.releaseDate.reset();
        expected[2].app.iconURL = QUrl();
        {
            auto store = SwiftDataService::open(path());
            QVERIFY(store);
            for (int index : {2, 0, 1})
                QVERIFY(store.value()->upsert(expected.at(index)));
            // A later upsert of the same key keeps the first added date.
            const auto again = store.value()->upsert(sampleProfile(3, QStringLiteral("zeta"), late.addDays(1)));
            QVERIFY(again && again.value().addedAt == early);
            expected[0].lastRefreshedAt = late.addDays(1);
        }
        auto workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QCOMPARE(workspace->savedApps(), expected);

        QSignalSpy changed(workspace.get(), &SavedAppsViewModel::savedAppsChanged);
        const auto removed = workspace->remove(expected.takeAt(1).dedupKey());
        QVERIFY(removed && removed.value());
        const auto absent = workspace->remove(QStringLiteral("1#US#software"));
        QVERIFY(absent && !absent.value());
        QCOMPARE(changed.count(), 1);
        workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QCOMPARE(workspace->savedApps(), expected);
    }

    void awkwardDataRoundTrips()
    {
        AppInfo app = sampleApp(99, QStringLiteral("O'Brien \"Q\" 😀🇮🇹 '); DROP TABLE saved_app_profiles; --"));
        app.developer = QStringLiteral("x'); DELETE FROM saved_app_profiles WHERE ('1'='1");
        app.description = QStringLiteral("Line\nnext\t\\ %1 ? :name ü 日本語");
        app.genre = QString();
        app.iconURL = QUrl(QStringLiteral("https://example.com/i.png?a=1&b=c'd\"e"));
        app.screenshotURLs = {QUrl(QStringLiteral("https://example.com/a b/ü.png?q=\"x\",y")), QUrl()};
        app.averageRating = 4.123456789;
        auto workspace = loadedWorkspace(path());
        QVERIFY(workspace && workspace->add(app, QStringLiteral("IT")));
        workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QCOMPARE(workspace->savedApps().size(), 1);
        QCOMPARE(workspace->savedApps().first().app, app);
    }

    void unreadableDatabaseIsLeftUntouched_data()
    {
        QTest::addColumn<Damage>("kind");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("random bytes") << Damage::RandomBytes << "not a readable workspace database";
        QTest::newRow("folder in its place") << Damage::Folder << "is a folder";
        QTest::newRow("newer schema") << Damage::NewerSchema << "newer version";
        QTest::newRow("another application's") << Damage::ForeignDatabase << "another application";
        QTest::newRow("truncated") << Damage::Truncated << "malformed";
        QTest::newRow("no permission") << Damage::NoPermission << "cannot be read";
    }
    void unreadableDatabaseIsLeftUntouched()
    {
        QFETCH(Damage, kind);
        QFETCH(QString, expectedText);
        if (kind == Damage::NoPermission && ::geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        const QString folder = QFileInfo(path()).absolutePath();
        QVERIFY(QDir().mkpath(folder));
        damage(kind, path());
        if (QTest::currentTestFailed())
            return;
        const auto before = snapshot(folder);
        const auto created = SavedAppsViewModel::create(path());
        QVERIFY(!created);
        QVERIFY2(created.error().contains(expectedText) && created.error().contains(path()), qPrintable(created.error()));
        QCOMPARE(snapshot(folder), before);
    }

    void failedWriteLeavesListUnchanged_data()
    {
        QTest::addColumn<QString>("sabotage");
        QTest::addColumn<QString>("operation");
        const QString refuse = QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON saved_app_profiles "
                                              "BEGIN SELECT RAISE(ABORT, 'refused by test'); END");
        QTest::newRow("table gone") << "DROP TABLE saved_app_profiles" << "add";
        QTest::newRow("insert refused") << refuse.arg(QStringLiteral("INSERT")) << "add";
        QTest::newRow("update refused") << refuse.arg(QStringLiteral("UPDATE")) << "refresh";
        QTest::newRow("delete refused") << refuse.arg(QStringLiteral("DELETE")) << "remove";
    }
    void failedWriteLeavesListUnchanged()
    {
        QFETCH(QString, sabotage);
        QFETCH(QString, operation);
        auto workspace = loadedWorkspace(path());
        QVERIFY(workspace && workspace->add(sampleApp(1, QStringLiteral("Kept")), QStringLiteral("US")));
        const QList<SavedAppProfile> before = workspace->savedApps();
        QVERIFY(execBehindTheBack(path(), sabotage));

        QSignalSpy changed(workspace.get(), &SavedAppsViewModel::savedAppsChanged);
        if (operation == QLatin1String("add"))
            QVERIFY(!workspace->add(sampleApp(2, QStringLiteral("New")), QStringLiteral("US")));
        else if (operation == QLatin1String("refresh"))
            QVERIFY(!workspace->refresh(sampleApp(1, QStringLiteral("Renamed")), QStringLiteral("US")));
        else
            QVERIFY(!workspace->remove(before.first().dedupKey()));
        QCOMPARE(workspace->savedApps(), before);
        QCOMPARE(changed.count(), 0);
        QVERIFY(!workspace->errorMessage().isEmpty());

        if (sabotage.startsWith(QLatin1String("CREATE TRIGGER"))) {
            QVERIFY2(workspace->errorMessage().contains(QLatin1String("refused by test")),
                     qPrintable(workspace->errorMessage()));
            QVERIFY(execBehindTheBack(path(), QStringLiteral("DROP TRIGGER refuse")));
            workspace->load();
            QCOMPARE(workspace->savedApps(), before);
            QVERIFY(workspace->errorMessage().isEmpty());
        }
    }

    void killDuringWritesLeavesAnOpenableDatabase()
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

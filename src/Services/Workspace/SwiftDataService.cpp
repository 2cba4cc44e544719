#include "Services/Workspace/SwiftDataService.h"

#include "Services/Log.h"
#include "Services/Workspace/StoreFailure.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Written into the file header so that a database of another program is never
// mistaken for a workspace: "PLOV".
constexpr qint32 kApplicationId = 0x504C4F56;

// The table's columns, in the order of profileValues().
const QStringList kColumns = QStringLiteral(
    "dedup_key app_id storefront platform name developer icon_url genre description rating_count "
    "average_rating release_date screenshot_urls added_at last_refreshed_at").split(u' ');
// What a list of saved apps shows, then the details, in the order readProfile() reads them.
const QString kSummaryColumns = QStringLiteral("app_id, storefront, platform, name, developer, icon_url, added_at");
const QString kDetailColumns = QStringLiteral(
    "genre, description, rating_count, average_rating, release_date, screenshot_urls, last_refreshed_at");

// A read straight through SQLite on a Qt connection's handle: for thousands
// of rows, wrapping every value in a variant costs more than the read itself.
class Statement {
public:
    Statement(const QSqlDatabase& db, const QString& sql)
        : m_db(StoreFailure::handle(db))
    {
        m_result = m_db ? sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &m_statement, nullptr) : SQLITE_MISUSE;
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int parameter, const QString& text)
    {
        const QByteArray utf8 = text.toUtf8();
        if (m_result == SQLITE_OK)
            m_result = sqlite3_bind_text(m_statement, parameter, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    // True while there is a row; afterwards failed() tells whether the read ended early.
    bool next()
    {
        if (m_result != SQLITE_OK && m_result != SQLITE_ROW)
            return false;
        m_result = sqlite3_step(m_statement);
        return m_result == SQLITE_ROW;
    }
    bool failed() const { return m_result != SQLITE_ROW && m_result != SQLITE_DONE && m_result != SQLITE_OK; }
    int resultCode() const { return m_result; }
    QString errorMessage() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString(); }
    int osError() const { return m_db ? sqlite3_system_errno(m_db) : 0; }

    bool isNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }
    qint64 integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    double real(int column) const { return sqlite3_column_double(m_statement, column); }
    QString text(int column) const
    {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column)) : QStringLiteral("");
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    int m_result = SQLITE_OK;
};

// Runs one statement without parameters; the error on failure.
std::optional<QSqlError> execute(const QSqlDatabase& db, const QString& statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        return query.lastError();
    return std::nullopt;
}

// A write transaction that rolls back unless committed. IMMEDIATE takes the
// write lock up front, so a read-then-write never fails half-way on a lock.
class WriteTransaction {
public:
    explicit WriteTransaction(const QSqlDatabase& db)
        : m_db(db)
    {
    }
    ~WriteTransaction()
    {
        if (m_active)
            execute(m_db, QStringLiteral("ROLLBACK"));
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    std::optional<QSqlError> begin()
    {
        auto error = execute(m_db, QStringLiteral("BEGIN IMMEDIATE"));
        m_active = !error;
        return error;
    }
    // A failed commit leaves the transaction open; the destructor rolls it back.
    std::optional<QSqlError> commit()
    {
        auto error = execute(m_db, QStringLiteral("COMMIT"));
        m_active = m_active && error;
        return error;
    }

private:
    QSqlDatabase m_db;
    bool m_active = false;
};

// The first column of the first row of a statement, or the error.
Result<QVariant, QSqlError> scalar(const QSqlDatabase& db, const QString& statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        return Result<QVariant, QSqlError>::failure(query.lastError());
    if (!query.next())
        return Result<QVariant, QSqlError>::failure(query.lastError().isValid()
                                                        ? query.lastError()
                                                        : QSqlError(QStringLiteral("no result")));
    return query.value(0);
}

template <typename T>
QVariant nullable(const std::optional<T>& value)
{
    return value ? QVariant::fromValue(*value) : QVariant(QMetaType::fromType<T>());
}

// Null texts would bind as NULL; the text columns hold empty texts instead.
QString notNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

QString screenshotsToJson(const QList<QUrl>& urls)
{
    QJsonArray array;
    for (const QUrl& url : urls)
        array.append(url.toString(QUrl::FullyEncoded));
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QVariantList profileValues(const SavedAppProfile& profile)
{
    std::optional<qint64> releaseDate;
    if (profile.app.releaseDate && profile.app.releaseDate->isValid())
        releaseDate = profile.app.releaseDate->toMSecsSinceEpoch();
    return {profile.dedupKey(), profile.appId(), profile.storefront, rawValue(profile.platform()),
            notNull(profile.app.name), notNull(profile.app.developer),
            notNull(profile.app.iconURL.toString(QUrl::FullyEncoded)), notNull(profile.app.genre),
            notNull(profile.app.description), nullable(profile.app.ratingCount), nullable(profile.app.averageRating),
            nullable(releaseDate), screenshotsToJson(profile.app.screenshotURLs),
            profile.addedAt.toMSecsSinceEpoch(), profile.lastRefreshedAt.toMSecsSinceEpoch()};
}

// Insert, or on a known key update everything but the key and the added date.
QString upsertStatement()
{
    QStringList updates;
    for (const QString& column : kColumns.mid(1)) {
        if (column != QLatin1String("added_at"))
            updates.append(QStringLiteral("%1 = excluded.%1").arg(column));
    }
    return QStringLiteral("INSERT INTO saved_app_profiles (%1) VALUES (%2) ON CONFLICT(dedup_key) DO UPDATE SET %3")
        .arg(kColumns.join(u", "), QStringList(kColumns.size(), QStringLiteral("?")).join(u", "),
             updates.join(u", "));
}

QDateTime dateFromMilliseconds(qint64 milliseconds)
{
    return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
}

QList<QUrl> screenshotsFromJson(const QString& text)
{
    QList<QUrl> urls;
    const QJsonArray array = QJsonDocument::fromJson(text.toUtf8()).array();
    for (const QJsonValue& value : array) {
        if (value.isString())
            urls.append(QUrl(value.toString()));
    }
    return urls;
}

bool isStorefrontCode(const QString& code)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Z]{2}$"));
    return pattern.match(code).hasMatch();
}

} // namespace

QString SwiftDataService::defaultDatabasePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Plovera/Plovera.sqlite");
}

Result<std::unique_ptr<SwiftDataService>, QString> SwiftDataService::open(const QString& databasePath)
{
    std::unique_ptr<SwiftDataService> service(new SwiftDataService(databasePath));
    if (auto error = service->initialize())
        return Result<std::unique_ptr<SwiftDataService>, QString>::failure(*error);
    return service;
}

SwiftDataService::SwiftDataService(QString path)
    : m_path(std::move(path))
{
    static std::atomic<quint64> counter{0};
    m_connectionName = QStringLiteral("plovera-workspace-%1").arg(++counter);
}

SwiftDataService::~SwiftDataService()
{
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

std::optional<QString> SwiftDataService::initialize()
{
    const QFileInfo file(m_path);
    if (m_path.isEmpty())
        return tr("No workspace database path was given.");
    if (file.isDir())
        return tr("The workspace database %1 is a folder, not a file.").arg(m_path);

    const QString folder = file.absolutePath();
    QString existing = folder;
    while (!QFileInfo::exists(existing) && QFileInfo(existing).absolutePath() != existing) {
        m_createdFolder = existing;
        existing = QFileInfo(existing).absolutePath();
    }
    if (!m_createdFolder.isEmpty()) {
        if (!QFileInfo(existing).isDir())
            return tr("The folder %1 cannot be created: %2 is a file.").arg(folder, existing);
        if (auto problem = StoreFailure::folderProblem(existing, folder))
            return problem;
        if (!QDir().mkpath(folder)) {
            removeCreatedFolders();
            return tr("Could not create the folder %1.").arg(folder);
        }
    }
    // Nothing is opened where SQLite could only half work.
    std::optional<QString> error = StoreFailure::fileProblem(m_path);
    if (!error && !QFileInfo::exists(m_path))
        error = createWorkspaceFile();
    if (!error)
        error = openWorkspaceFile();
    if (error && !QFileInfo::exists(m_path))
        removeCreatedFolders();
    return error;
}

void SwiftDataService::removeCreatedFolders()
{
    if (m_createdFolder.isEmpty())
        return;
    // rmdir removes only empty folders, from the deepest up to the one made here.
    for (QString folder = QFileInfo(m_path).absolutePath(); folder.startsWith(m_createdFolder);
         folder = QFileInfo(folder).absolutePath()) {
        if (!QDir().rmdir(folder) || folder == m_createdFolder)
            break;
    }
}

namespace {

std::optional<QSqlError> createSchema(const QSqlDatabase& db)
{
    WriteTransaction transaction(db);
    if (auto error = transaction.begin())
        return error;
    const QStringList schema{
        QStringLiteral("CREATE TABLE IF NOT EXISTS saved_app_profiles ("
                       "dedup_key TEXT PRIMARY KEY NOT NULL, app_id INTEGER NOT NULL, "
                       "storefront TEXT NOT NULL, platform TEXT NOT NULL, name TEXT NOT NULL, "
                       "developer TEXT NOT NULL, icon_url TEXT NOT NULL, genre TEXT NOT NULL, "
                       "description TEXT NOT NULL, rating_count INTEGER, average_rating REAL, "
                       "release_date INTEGER, screenshot_urls TEXT NOT NULL, "
                       "added_at INTEGER NOT NULL, last_refreshed_at INTEGER NOT NULL)"),
        // What the sidebar lists, in its order: read from the index alone, the
        // list never touches the descriptions and screenshot lists of the rows.
        QStringLiteral("CREATE INDEX IF NOT EXISTS saved_app_summaries ON saved_app_profiles "
                       "(added_at, app_id, storefront, platform, name, developer, icon_url)"),
        QStringLiteral("PRAGMA application_id=%1").arg(kApplicationId),
        QStringLiteral("PRAGMA user_version=%1").arg(SwiftDataService::schemaVersion),
    };
    for (const QString& statement : schema) {
        if (auto error = execute(db, statement))
            return error;
    }
    return transaction.commit();
}

// Gives `from` the name `to` unless something has that name already; true
// when `to` is there afterwards, whoever made it.
bool moveIntoPlace(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::link(source.constData(), target.constData()) != 0 && errno != EEXIST)
        QFile::rename(from, to); // file systems without hard links
    if (!QFileInfo::exists(to))
        return false;
    // The new name must survive a power cut as the commits into it will.
    const int folder = ::open(QFile::encodeName(QFileInfo(to).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace

std::optional<QString> SwiftDataService::createWorkspaceFile()
{
    // Made whole under a name of its own, then moved into place without
    // replacing anything: a failed first open leaves nothing behind, and a
    // workspace another instance made meanwhile is neither replaced nor removed.
    static std::atomic<quint64> counter{0};
    const QString staging =
        QStringLiteral("%1.%2-%3.new").arg(m_path).arg(QCoreApplication::applicationPid()).arg(++counter);
    const QString connection = m_connectionName + QStringLiteral("-new");
    std::optional<QString> error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(staging);
        std::optional<QSqlError> failed;
        if (!db.open())
            failed = db.lastError();
        else if (const auto mode = scalar(db, QStringLiteral("PRAGMA journal_mode=WAL")); !mode)
            failed = mode.error(); // born in the mode it is used in: no instance has to convert it
        else if (auto pragma = execute(db, QStringLiteral("PRAGMA synchronous=FULL")))
            failed = pragma;
        else
            failed = createSchema(db);
        if (failed)
            error = opening(StoreFailure::Sql(*failed, db), tr("The workspace database %1 could not be created").arg(m_path));
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error && !moveIntoPlace(staging, m_path))
        error = opening(StoreFailure::Sql(), tr("The workspace database %1 could not be moved into place.").arg(m_path));
    for (const QString& suffix : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(staging + suffix);
    return error;
}

std::optional<QString> SwiftDataService::connect(int busyTimeoutMs)
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    if (!m_db.isValid())
        return tr("The SQLite driver of Qt Sql is not available.");
    m_db.setDatabaseName(m_path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!m_db.open())
        return opening(StoreFailure::Sql(m_db.lastError(), m_db), tr("The workspace database %1 could not be opened").arg(m_path));
    return std::nullopt;
}

std::optional<QString> SwiftDataService::openWorkspaceFile()
{
    if (auto error = connect(openBusyTimeoutMs))
        return error;
    // Two instances starting at once meet each other's locks while one of
    // them converts or prepares the file, and SQLite does not wait out every
    // such lock itself: the checks start over until the time is up.
    QElapsedTimer waited;
    waited.start();
    for (int attempt = 1;; ++attempt) {
        m_busy = false;
        auto error = verifyAndPrepareSchema();
        if (!error || !m_busy || waited.elapsed() >= openBusyTimeoutMs)
            return error;
        QThread::msleep(std::min(attempt, 20));
    }
}

QString SwiftDataService::opening(const StoreFailure::Sql& failed, const QString& what)
{
    m_busy = m_busy || failed.isBusy();
    return StoreFailure::opening(m_path, failed, what);
}

QString SwiftDataService::operation(const QString& what, const StoreFailure::Sql& failed) const
{
    return StoreFailure::operation(m_path, what, failed);
}

std::optional<QString> SwiftDataService::verifyAndPrepareSchema()
{
    // Read-only checks first: nothing may be written to a file until it is
    // known to be an intact workspace of ours, or empty.
    // All in one read transaction: facts read apart could mix the file
    // before and after another instance prepared it.
    const auto unreadable = [this](const QSqlError& error) {
        return opening(StoreFailure::Sql(error, m_db), tr("The file %1 is not a readable workspace database").arg(m_path));
    };
    if (auto error = execute(m_db, QStringLiteral("BEGIN")))
        return unreadable(*error);
    QVariantList facts;
    for (const char* statement : {"PRAGMA application_id", "PRAGMA user_version", "PRAGMA quick_check",
                                  "SELECT count(*) FROM sqlite_master",
                                  "SELECT count(*) FROM sqlite_master WHERE name = 'saved_app_profiles'",
                                  "SELECT count(*) FROM sqlite_master WHERE name = 'saved_app_summaries'"}) {
        const auto fact = scalar(m_db, QString::fromLatin1(statement));
        if (!fact) {
            execute(m_db, QStringLiteral("ROLLBACK"));
            return unreadable(fact.error());
        }
        facts.append(fact.value());
    }
    if (auto error = execute(m_db, QStringLiteral("COMMIT"))) {
        execute(m_db, QStringLiteral("ROLLBACK"));
        return unreadable(*error);
    }
    const qint64 applicationId = facts.at(0).toLongLong();
    const int version = facts.at(1).toInt();
    if (facts.at(2).toString() != QLatin1String("ok"))
        return StoreFailure::withDetail(tr("The workspace database %1 is damaged").arg(m_path), facts.at(2).toString());
    const bool empty = applicationId == 0 && version == 0 && facts.at(3).toLongLong() == 0;
    const bool hasTable = facts.at(4).toLongLong() == 1;
    const bool hasIndex = facts.at(5).toLongLong() == 1; // files of earlier versions have none
    if (!empty && applicationId != kApplicationId)
        return tr("The database %1 belongs to another application.").arg(m_path);
    if (version > schemaVersion)
        return tr("The workspace database %1 was written by a newer version of Plovera "
                  "(schema %2; this version reads up to %3).")
            .arg(m_path)
            .arg(version)
            .arg(schemaVersion);

    const auto notPrepared = [this](const QSqlError& error) {
        return opening(StoreFailure::Sql(error, m_db), tr("The workspace database %1 could not be prepared").arg(m_path));
    };
    // A kill during a write must lose nothing committed and never corrupt the
    // file: write-ahead log, synced on every commit. Where the file system
    // cannot share memory for the log, the rollback journal is as safe.
    const auto journalMode = scalar(m_db, QStringLiteral("PRAGMA journal_mode=WAL"));
    if (!journalMode)
        return notPrepared(journalMode.error());
    if (journalMode.value().toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        Log::warning(QStringLiteral("Write-ahead log unavailable for %1; journal mode is %2")
                         .arg(m_path, journalMode.value().toString()));
    if (auto error = execute(m_db, QStringLiteral("PRAGMA synchronous=FULL")))
        return notPrepared(*error);
    // An empty file (left by an older version) or an older schema.
    if (version != schemaVersion || !hasTable || !hasIndex) {
        if (auto error = createSchema(m_db))
            return notPrepared(*error);
    }
    if (auto error = execute(m_db, QStringLiteral("PRAGMA busy_timeout=%1").arg(writeBusyTimeoutMs)))
        return notPrepared(*error);
    return std::nullopt;
}

namespace {
// One row of kSummaryColumns, followed by kDetailColumns when `details` is
// set; none for a row of a platform this version does not know.
std::optional<SavedAppProfile> readProfile(const Statement& row, bool details)
{
    const auto platform = appPlatformFromRawValue(row.text(2));
    if (!platform) {
        Log::warning(QStringLiteral("Skipping saved app %1 with unknown platform %2").arg(row.integer(0)).arg(row.text(2)));
        return std::nullopt;
    }
    SavedAppProfile profile;
    profile.app.id = row.integer(0);
    profile.storefront = row.text(1);
    profile.app.platform = *platform;
    profile.app.name = row.text(3);
    profile.app.developer = row.text(4);
    profile.app.iconURL = QUrl(row.text(5));
    profile.addedAt = dateFromMilliseconds(row.integer(6));
    if (!details)
        return profile;
    profile.app.genre = row.text(7);
    profile.app.description = row.text(8);
    if (!row.isNull(9))
        profile.app.ratingCount = int(row.integer(9));
    if (!row.isNull(10))
        profile.app.averageRating = row.real(10);
    if (!row.isNull(11))
        profile.app.releaseDate = dateFromMilliseconds(row.integer(11));
    profile.app.screenshotURLs = screenshotsFromJson(row.text(12));
    profile.lastRefreshedAt = dateFromMilliseconds(row.integer(13));
    return profile;
}
} // namespace

Result<QList<SavedAppProfile>, QString> SwiftDataService::fetchSummaries() const
{
    using R = Result<QList<SavedAppProfile>, QString>;
    Statement rows(m_db, QStringLiteral("SELECT %1 FROM saved_app_profiles ORDER BY added_at").arg(kSummaryColumns));
    QList<SavedAppProfile> profiles;
    while (rows.next()) {
        if (auto profile = readProfile(rows, false))
            profiles.append(std::move(*profile));
    }
    if (rows.failed())
        return R::failure(operation(tr("Could not read the saved apps"),
                                           StoreFailure::Sql(rows.resultCode(), rows.osError(), rows.errorMessage())));
    // In order already, unless apps share an added date.
    if (!std::is_sorted(profiles.cbegin(), profiles.cend(), SavedAppProfile::precedes))
        std::sort(profiles.begin(), profiles.end(), SavedAppProfile::precedes);
    return profiles;
}

Result<std::optional<SavedAppProfile>, QString> SwiftDataService::fetchProfile(const QString& dedupKey) const
{
    using R = Result<std::optional<SavedAppProfile>, QString>;
    Statement row(m_db, QStringLiteral("SELECT %1, %2 FROM saved_app_profiles WHERE dedup_key = ?")
                            .arg(kSummaryColumns, kDetailColumns));
    row.bind(1, dedupKey);
    const bool found = row.next();
    if (row.failed())
        return R::failure(operation(tr("Could not read the saved app %1").arg(dedupKey),
                                           StoreFailure::Sql(row.resultCode(), row.osError(), row.errorMessage())));
    return R(found ? readProfile(row, true) : std::nullopt);
}

Result<SavedAppProfile, QString> SwiftDataService::upsert(const SavedAppProfile& profile)
{
    using R = Result<SavedAppProfile, QString>;
    SavedAppProfile stored = profile;
    stored.storefront = profile.storefront.trimmed().toUpper();
    if (stored.appId() <= 0)
        return R::failure(tr("Could not save \u201C%1\u201D: %2 is not a valid app id.")
                              .arg(profile.app.name)
                              .arg(profile.appId()));
    if (!isStorefrontCode(stored.storefront))
        return R::failure(tr("Could not save \u201C%1\u201D: \"%2\" is not a two-letter storefront code.")
                              .arg(profile.app.name, profile.storefront));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!stored.addedAt.isValid())
        stored.addedAt = now;
    if (!stored.lastRefreshedAt.isValid())
        stored.lastRefreshedAt = now;
    const QString what = tr("Could not save \u201C%1\u201D").arg(stored.app.name);
    const auto failed = [&](const QSqlError& error) {
        return R::failure(operation(what, StoreFailure::Sql(error, m_db)));
    };

    WriteTransaction transaction(m_db);
    if (auto error = transaction.begin())
        return failed(*error);
    {
        QSqlQuery query(m_db);
        query.prepare(upsertStatement());
        for (const QVariant& value : profileValues(stored))
            query.addBindValue(value);
        if (!query.exec())
            return failed(query.lastError());

        query.prepare(QStringLiteral("SELECT added_at FROM saved_app_profiles WHERE dedup_key = :dedup_key"));
        query.bindValue(QStringLiteral(":dedup_key"), stored.dedupKey());
        if (!query.exec() || !query.next())
            return failed(query.lastError());
        stored.addedAt = dateFromMilliseconds(query.value(0).toLongLong());
    }
    if (auto error = transaction.commit())
        return failed(*error);
    return stored;
}

Result<bool, QString> SwiftDataService::remove(const QString& dedupKey, const QString& name)
{
    using R = Result<bool, QString>;
    const QString what = name.isEmpty() ? tr("Could not remove the saved app %1").arg(dedupKey)
                                        : tr("Could not remove \u201C%1\u201D").arg(name);
    const auto failed = [&](const QSqlError& error) {
        return R::failure(operation(what, StoreFailure::Sql(error, m_db)));
    };
    WriteTransaction transaction(m_db);
    if (auto error = transaction.begin())
        return failed(*error);
    bool removed = false;
    {
        QSqlQuery query(m_db);
        query.prepare(QStringLiteral("DELETE FROM saved_app_profiles WHERE dedup_key = :dedup_key"));
        query.bindValue(QStringLiteral(":dedup_key"), dedupKey);
        if (!query.exec())
            return failed(query.lastError());
        removed = query.numRowsAffected() > 0;
    }
    if (auto error = transaction.commit())
        return failed(*error);
    return removed;
}

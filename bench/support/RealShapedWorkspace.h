#pragma once

// Saved apps shaped like real ones for the benchmarks: names in several
// scripts, 1.5 kB descriptions, five screenshot addresses. Icons and
// screenshots point at a closed port on this machine, so they fail at once
// instead of reaching the network.
#include "Services/Workspace/SwiftDataService.h"
#include "models/AppInfo.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace RealShapedWorkspace {

inline AppInfo app(qint64 id)
{
    static const QStringList names{QStringLiteral("Fieldnote — Trail Journal"),
                                   QStringLiteral("Wanderwege: Grüße aus den Bergen"), QStringLiteral("山道ノート 登山記録"),
                                   QStringLiteral("Походный журнал"), QStringLiteral("Café Crème Rezepte"),
                                   QStringLiteral("Ελληνικά Μονοπάτια")};
    AppInfo app;
    app.id = id;
    app.name = names.at(id % names.size()) + QStringLiteral(" %1").arg(id);
    app.developer = QStringLiteral("Vantorel Labs GmbH");
    app.iconURL = QUrl(QStringLiteral("http://127.0.0.1:9/icons/%1.png").arg(id));
    app.genre = QStringLiteral("Navigation");
    app.description = QStringLiteral("Plan trails, log sightings — Wanderwege planen; 山道を計画し記録する。Планируйте маршруты. ")
                          .repeated(16)
                          .left(1500);
    app.ratingCount = 18301;
    app.averageRating = 4.7;
    app.releaseDate = QDateTime(QDate(2021, 3, 14), QTime(9, 0), Qt::UTC);
    for (int shot = 0; shot < 5; ++shot)
        app.screenshotURLs.append(QUrl(QStringLiteral("http://127.0.0.1:9/shots/%1-%2.png").arg(id).arg(shot)));
    return app;
}

// A folder for benchmark workspaces. Every save of the store is a committed,
// synced transaction, so filling a large workspace on disk takes minutes; in
// memory-backed /dev/shm, where there is one, it takes seconds, and a start-up
// reads the file from memory either way once it has been written.
inline std::unique_ptr<QTemporaryDir> makeWorkspaceHome()
{
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
        auto home = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/plovera-bench-XXXXXX"));
        if (home->isValid())
            return home;
    }
    return std::make_unique<QTemporaryDir>();
}

// A workspace file at `path` holding apps 1 to `saved`, saved as the application saves them.
inline void write(const QString& path, int saved)
{
    auto store = SwiftDataService::open(path);
    if (!store) {
        std::fprintf(stderr, "%s\n", qPrintable(store.error()));
        std::abort();
    }
    for (int id = 1; id <= saved; ++id) {
        if (!store.value()->upsert(SavedAppProfile::fromAppInfo(app(id), QStringLiteral("US")))) {
            std::fprintf(stderr, "could not fill the workspace\n");
            std::abort();
        }
    }
}

// A large workspace at `path`, made in seconds: apps 1 to `saved` in one
// transaction, the rows after the first copied from it with their own ids
// and names in the same scripts as app().
inline void writeLarge(const QString& path, int saved)
{
    write(path, 1);
    sqlite3* db = nullptr;
    const QByteArray fill = QByteArrayLiteral(
        "BEGIN;"
        "WITH RECURSIVE n(id) AS (SELECT 2 UNION ALL SELECT id + 1 FROM n WHERE id < ")
        + QByteArray::number(saved) + QByteArrayLiteral(") "
        "INSERT INTO saved_app_profiles SELECT n.id || '#US#software', n.id, storefront, platform, "
        "CASE n.id % 6 WHEN 0 THEN 'Fieldnote — Trail Journal ' WHEN 1 THEN 'Wanderwege: Grüße aus den Bergen ' "
        "WHEN 2 THEN '山道ノート 登山記録 ' WHEN 3 THEN 'Походный журнал ' WHEN 4 THEN 'Café Crème Rezepte ' "
        "ELSE 'Ελληνικά Μονοπάτια ' END || n.id, developer, 'http://127.0.0.1:9/icons/' || n.id || '.png', "
        "genre, description, rating_count, average_rating, release_date, screenshot_urls, added_at + n.id, "
        "last_refreshed_at FROM n, saved_app_profiles WHERE app_id = 1;"
        "COMMIT;");
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK
        || sqlite3_exec(db, fill.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "could not fill the workspace: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
    sqlite3_close(db);
}

} // namespace RealShapedWorkspace

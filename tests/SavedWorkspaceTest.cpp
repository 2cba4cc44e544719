#include "ViewModels/SavedAppsViewModel.h"
#include "Services/SwiftDataService.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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

std::unique_ptr<SavedAppsViewModel> loadedWorkspace(const QString& path)
{
    auto created = SavedAppsViewModel::create(path);
    if (!created)
        return nullptr;
    created.value()->load();
    return std::move(created).value();
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

    void savedOncePerStorefrontAndPlatform()
    {
        auto workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QSignalSpy changed(workspace.get(), &SavedAppsViewModel::savedAppsChanged);
        const auto first = workspace->add(sampleApp(42, QStringLiteral("Old")), QStringLiteral("us"));
        QVERIFY(first && workspace->isSaved(42, QStringLiteral("US"), AppPlatform::iPhone));
        QVERIFY(!workspace->isSaved(42, QStringLiteral("HK"), AppPlatform::iPhone));
        QVERIFY(!workspace->isSaved(42, QStringLiteral("US"), AppPlatform::mac));

        // Saving it again refreshes the one profile and keeps its added date.
        AppInfo renamed = sampleApp(42, QStringLiteral("New"));
        renamed.ratingCount.reset();
        renamed.screenshotURLs.clear();
        QVERIFY(workspace->add(renamed, QStringLiteral("US")));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(workspace->savedApps().size(), 1);
        QCOMPARE(workspace->savedApps().first().app, renamed);
        QCOMPARE(workspace->savedApps().first().addedAt, first.value().addedAt);

        // Refreshing touches saved apps only.
        const auto unsaved = workspace->refresh(sampleApp(42, QStringLiteral("Quarantadue")), QStringLiteral("IT"));
        QVERIFY(unsaved && !unsaved.value());
        QCOMPARE(changed.count(), 2);

        // Another storefront or platform is another profile of its own.
        QVERIFY(workspace->add(sampleApp(42, QStringLiteral("Hong Kong")), QStringLiteral("hk")));
        QVERIFY(workspace->add(sampleApp(42, QStringLiteral("Mac"), AppPlatform::mac), QStringLiteral("US")));
        QVERIFY(workspace->add(sampleApp(7, QStringLiteral("Seven")), QStringLiteral("IT")));
        const auto refreshed = workspace->refresh(sampleApp(7, QStringLiteral("Sette")), QStringLiteral("it"));
        QVERIFY(refreshed && refreshed.value());
        QCOMPARE(workspace->savedApps().size(), 4);
        QCOMPARE(workspace->savedAppIDs(), (QList<qint64>{42, 7}));
        QVERIFY(workspace->isSaved(QStringLiteral("42#HK#software")) && workspace->contains(7) && !workspace->contains(8));

        const auto removed = workspace->remove(SavedAppProfile::dedupKey(42, QStringLiteral("US"), AppPlatform::iPhone));
        QVERIFY(removed && removed.value());
        QVERIFY(!workspace->isSaved(42, QStringLiteral("US"), AppPlatform::iPhone));
        QVERIFY(workspace->isSaved(42, QStringLiteral("HK"), AppPlatform::iPhone));

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

    void invalidAppIsRefused_data()
    {
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("storefront");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("zero id") << qint64(0) << "US" << "0 is not a valid app id";
        QTest::newRow("negative id") << qint64(-42) << "US" << "-42 is not a valid app id";
        QTest::newRow("three letters") << qint64(42) << "USA" << "\"USA\" is not a two-letter storefront code";
        QTest::newRow("digit") << qint64(42) << "U1" << "\"U1\"";
        QTest::newRow("blank") << qint64(42) << "  " << "two-letter storefront code";
    }
    void invalidAppIsRefused()
    {
        QFETCH(qint64, id);
        QFETCH(QString, storefront);
        QFETCH(QString, expectedText);
        auto workspace = loadedWorkspace(path());
        QVERIFY(workspace);
        QSignalSpy failed(workspace.get(), &SavedAppsViewModel::writeFailed);
        const auto added = workspace->add(sampleApp(id, QStringLiteral("Bad")), storefront);
        QVERIFY(!added);
        QVERIFY2(added.error().contains(expectedText), qPrintable(added.error()));
        QCOMPARE(workspace->errorMessage(), added.error());
        QCOMPARE(failed.count(), 1);
        QVERIFY(workspace->savedApps().isEmpty());
        workspace = loadedWorkspace(path());
        QVERIFY(workspace && workspace->savedApps().isEmpty());
    }
};

QTEST_GUILESS_MAIN(SavedWorkspaceTest)

#include "SavedWorkspaceTest.moc"

#pragma once

#include "models/AppInfo.h"
#include "platform/Result.h"
#include "models/SavedAppProfile.h"

#include <QCoroTask>
#include <QFutureWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class StoreThread;
class SwiftDataService;

// The workspace as the screens see it. The list mirrors the store: it changes
// only after a write has committed and been synced, so what is shown is what
// survives a restart. A failed write leaves the list as it was, returns its
// failure, sets `errorMessage` and emits `writeFailed`, once per failure.
//
// The store works on a thread of its own (StoreThread): opening, checking and
// listing the file, every write and every read, in the order they were asked
// for, so the window never waits on the disk. A write asked for while the
// workspace opens is done after the opening and shows once the list is there.
// Writes still running when this object goes are finished first.
//
// The list holds what the sidebar shows of each app (SavedAppProfile::summary());
// loadDetails() reads the whole profile when an app is selected.
class SavedAppsViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<SavedAppProfile> savedApps READ savedApps NOTIFY savedAppsChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(bool isLoaded READ isLoaded NOTIFY loadedChanged)

public:
    // Opens the workspace at `databasePath`, or at the user's default place,
    // and waits until it is open and listed.
    static Result<std::unique_ptr<SavedAppsViewModel>, QString> create(std::optional<QString> databasePath = {});
    // Starts opening the workspace and returns at once. The list follows
    // (savedAppsChanged, then loadedChanged), or `openFailed`.
    static std::unique_ptr<SavedAppsViewModel> openInBackground(std::optional<QString> databasePath = {});
    ~SavedAppsViewModel() override;

    // Waits for the opening to end; why it failed, if it did. For callers
    // that cannot go on without the workspace: the window never waits.
    std::optional<QString> waitUntilOpen();
    // True once the workspace is open and its list read.
    bool isLoaded() const { return m_loaded; }

    const QList<SavedAppProfile>& savedApps() const { return m_savedApps; }
    QString errorMessage() const { return m_errorMessage; }
    // Each saved app id once, in workspace order.
    QList<qint64> savedAppIDs() const;
    // True when the app is saved for any storefront or platform.
    bool contains(qint64 appId) const { return m_lookup.ids.contains(appId); }
    // The saved app ids, each once, kept up to date as apps come and go.
    const QSet<qint64>& savedAppIDSet() const { return m_lookup.ids; }
    // An app is saved per storefront and platform: these say whether this one
    // is, by the same key the workspace keeps it under.
    bool isSaved(qint64 appId, const QString& storefront, AppPlatform platform) const;
    bool isSaved(const QString& dedupKey) const { return m_lookup.keys.contains(dedupKey); }
    // The row of the saved app with this key in savedApps(), -1 when none.
    int rowOf(const QString& dedupKey) const { return int(indexOf(dedupKey)); }
    // The saved profile with this key, if there is one: whole once its
    // details have been read or written (hasDetails), else what the list holds.
    std::optional<SavedAppProfile> profile(const QString& dedupKey) const;
    bool hasDetails(const QString& dedupKey) const { return m_detailed && m_detailed->dedupKey() == dedupKey; }
    // Reads the whole profile; detailsLoaded follows.
    QCoro::Task<> loadDetails(QString dedupKey);

    // Reads the list again.
    QCoro::Task<> load();
    // Saves the app for the storefront; an app already saved is refreshed
    // instead, so it is never saved twice.
    QCoro::Task<Result<SavedAppProfile, QString>> add(AppInfo app, QString storefront);
    // Updates the details of the saved app; true when it was saved, false (and
    // nothing written) when it is not.
    QCoro::Task<Result<bool, QString>> refresh(AppInfo app, QString storefront);
    // True when it was saved and is now gone. On failure the app stays listed,
    // so a caller keeps it selected.
    QCoro::Task<Result<bool, QString>> remove(QString dedupKey);

signals:
    void savedAppsChanged();
    // What one add, refresh or remove changed, just before savedAppsChanged,
    // so that a list of many rows follows it without comparing every row.
    void rowRemoved(int row);
    void rowInserted(int row);
    void rowReplaced(int row);
    // The whole profile with this key has been read.
    void detailsLoaded(const QString& dedupKey);
    void errorMessageChanged();
    void loadedChanged();
    // The workspace could not be opened; nothing can be saved.
    void openFailed(const QString& message);
    // Every failed add, refresh or remove, even one that repeats the message
    // already shown.
    void writeFailed(const QString& message);

private:
    // The keys and ids of the list, made on the store's thread with it.
    struct Lookup {
        QSet<QString> keys;
        QHash<qint64, int> profilesPerID;
        QSet<qint64> ids;
        static Lookup of(const QList<SavedAppProfile>& profiles);
        void add(const SavedAppProfile& profile);
        void remove(const SavedAppProfile& profile);
    };
    struct Opened {
        std::optional<QString> error;
        Result<QList<SavedAppProfile>, QString> list = QList<SavedAppProfile>();
        Lookup lookup;
    };

    explicit SavedAppsViewModel(QString path, QObject* parent = nullptr);
    void startOpening();
    void finishOpening();
    void setList(QList<SavedAppProfile> profiles, Lookup lookup);
    QCoro::Task<Result<SavedAppProfile, QString>> save(SavedAppProfile profile);
    void setErrorMessage(const QString& message);
    void reportWriteFailure(const QString& message);
    qsizetype indexOf(const QString& dedupKey) const;

    QString m_path;
    std::unique_ptr<StoreThread> m_store;
    QFuture<Opened> m_opened;
    QFutureWatcher<Opened> m_openWatcher;
    bool m_openFinished = false;
    std::optional<QString> m_openError;
    bool m_loaded = false;
    QList<SavedAppProfile> m_savedApps;
    Lookup m_lookup;
    // The whole profile last read or written: the selected app, as a rule.
    std::optional<SavedAppProfile> m_detailed;
    QString m_errorMessage;
};

#pragma once

#include "models/AppInfo.h"
#include "platform/Result.h"
#include "models/SavedAppProfile.h"
#include "Services/Workspace/SwiftDataService.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <future>
#include <memory>
#include <optional>
#include <thread>

// The workspace as the screens see it. The list mirrors the store: it changes
// only after a write has committed, so what is shown is what survives a
// restart. A failed write leaves the list as it was, returns its failure, sets
// `errorMessage` and emits `writeFailed`, once per failure.
//
// The list holds what the sidebar shows of each app (SavedAppProfile::summary());
// profile() reads the whole profile when an app is selected. Opening checks
// the whole file and reads the list on a thread of its own, so that neither
// holds up the window, whatever the size of the workspace.
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
    // (savedAppsChanged, then loadedChanged), or `openFailed`. A write or a
    // profile asked for meanwhile waits for the opening to end.
    static std::unique_ptr<SavedAppsViewModel> openInBackground(std::optional<QString> databasePath = {});
    ~SavedAppsViewModel() override;

    // Waits for the opening to end; why it failed, if it did.
    std::optional<QString> waitUntilOpen();
    // True once the workspace is open and its list read.
    bool isLoaded() const { return m_loaded; }

    const QList<SavedAppProfile>& savedApps() const { return m_savedApps; }
    QString errorMessage() const { return m_errorMessage; }
    // Each saved app id once, in workspace order.
    QList<qint64> savedAppIDs() const;
    // True when the app is saved for any storefront or platform.
    bool contains(qint64 appId) const;
    // An app is saved per storefront and platform: these say whether this one
    // is, by the same key the workspace keeps it under.
    bool isSaved(qint64 appId, const QString& storefront, AppPlatform platform) const;
    bool isSaved(const QString& dedupKey) const { return m_keys.contains(dedupKey); }
    // The whole saved profile with this key, details included, if there is one.
    std::optional<SavedAppProfile> profile(const QString& dedupKey);

    // Reads the list again.
    void load();
    // Saves the app for the storefront; an app already saved is refreshed
    // instead, so it is never saved twice.
    Result<SavedAppProfile, QString> add(const AppInfo& app, const QString& storefront);
    // Updates the details of the saved app; true when it was saved, false (and
    // nothing written) when it is not.
    Result<bool, QString> refresh(const AppInfo& app, const QString& storefront);
    // True when it was saved and is now gone. On failure the app stays listed,
    // so a caller keeps it selected.
    Result<bool, QString> remove(const QString& dedupKey);

signals:
    void savedAppsChanged();
    void errorMessageChanged();
    void loadedChanged();
    // The workspace could not be opened; nothing can be saved.
    void openFailed(const QString& message);
    // Every failed add, refresh or remove, even one that repeats the message
    // already shown.
    void writeFailed(const QString& message);

private:
    struct Opened {
        std::optional<QString> error;
        Result<QList<SavedAppProfile>, QString> list = QList<SavedAppProfile>();
        QSet<QString> keys; // of the list, made on the opening thread too
    };

    explicit SavedAppsViewModel(QString path, QObject* parent = nullptr);
    void startOpening();
    void finishOpening();
    bool ensureOpen();
    QString notOpen() const;
    static QSet<QString> keysOf(const QList<SavedAppProfile>& profiles);
    void setList(QList<SavedAppProfile> profiles, QSet<QString> keys);
    Result<SavedAppProfile, QString> save(const SavedAppProfile& profile);
    void setErrorMessage(const QString& message);
    void reportWriteFailure(const QString& message);
    qsizetype indexOf(const QString& dedupKey) const;

    QString m_path;
    std::thread m_opener;
    std::future<Opened> m_opened;
    std::optional<QString> m_openError;
    std::unique_ptr<SwiftDataService> m_store;
    bool m_loaded = false;
    QList<SavedAppProfile> m_savedApps;
    QSet<QString> m_keys;
    // The whole profile last read or written: the selected app, as a rule.
    std::optional<SavedAppProfile> m_detailed;
    QString m_errorMessage;
};

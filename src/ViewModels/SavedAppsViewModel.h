#pragma once

#include "models/AppInfo.h"
#include "platform/Result.h"
#include "models/SavedAppProfile.h"
#include "Services/SwiftDataService.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// The workspace as the screens see it. The list mirrors the store: it changes
// only after a write has committed, so what is shown is what survives a
// restart. A failed write leaves the list as it was, returns its failure, sets
// `errorMessage` and emits `writeFailed`, once per failure.
class SavedAppsViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<SavedAppProfile> savedApps READ savedApps NOTIFY savedAppsChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorMessageChanged)

public:
    // Opens the workspace at `databasePath`, or at the user's default place.
    static Result<std::unique_ptr<SavedAppsViewModel>, QString> create(std::optional<QString> databasePath = {});

    const QList<SavedAppProfile>& savedApps() const { return m_savedApps; }
    QString errorMessage() const { return m_errorMessage; }
    // Each saved app id once, in workspace order.
    QList<qint64> savedAppIDs() const;
    // True when the app is saved for any storefront or platform.
    bool contains(qint64 appId) const;
    // An app is saved per storefront and platform: these say whether this one
    // is, by the same key the workspace keeps it under.
    bool isSaved(qint64 appId, const QString& storefront, AppPlatform platform) const;
    bool isSaved(const QString& dedupKey) const;
    // The saved profile with this key, if there is one.
    std::optional<SavedAppProfile> profile(const QString& dedupKey) const;

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
    // Every failed add, refresh or remove, even one that repeats the message
    // already shown.
    void writeFailed(const QString& message);

private:
    explicit SavedAppsViewModel(std::unique_ptr<SwiftDataService> store, QObject* parent = nullptr);
    Result<SavedAppProfile, QString> save(const SavedAppProfile& profile);
    void setErrorMessage(const QString& message);
    void reportWriteFailure(const QString& message);
    qsizetype indexOf(const QString& dedupKey) const;

    std::unique_ptr<SwiftDataService> m_store;
    QList<SavedAppProfile> m_savedApps;
    QString m_errorMessage;
};

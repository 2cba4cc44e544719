#include "ViewModels/SavedAppsViewModel.h"

#include "Services/Log.h"

#include <QSet>

#include <algorithm>

Result<std::unique_ptr<SavedAppsViewModel>, QString> SavedAppsViewModel::create(std::optional<QString> databasePath)
{
    using R = Result<std::unique_ptr<SavedAppsViewModel>, QString>;
    qRegisterMetaType<SavedAppProfile>();
    qRegisterMetaType<QList<SavedAppProfile>>();
    auto store = SwiftDataService::open(databasePath.value_or(SwiftDataService::defaultDatabasePath()));
    if (!store)
        return R::failure(store.error());
    return std::unique_ptr<SavedAppsViewModel>(new SavedAppsViewModel(std::move(store).value()));
}

SavedAppsViewModel::SavedAppsViewModel(std::unique_ptr<SwiftDataService> store, QObject* parent)
    : QObject(parent)
    , m_store(std::move(store))
{
}

QList<qint64> SavedAppsViewModel::savedAppIDs() const
{
    QList<qint64> ids;
    QSet<qint64> seen;
    for (const SavedAppProfile& profile : m_savedApps) {
        if (!seen.contains(profile.appId())) {
            seen.insert(profile.appId());
            ids.append(profile.appId());
        }
    }
    return ids;
}

bool SavedAppsViewModel::contains(qint64 appId) const
{
    return std::any_of(m_savedApps.cbegin(), m_savedApps.cend(),
                       [appId](const SavedAppProfile& profile) { return profile.appId() == appId; });
}

bool SavedAppsViewModel::isSaved(qint64 appId, const QString& storefront, AppPlatform platform) const
{
    return isSaved(SavedAppProfile::dedupKey(appId, storefront, platform));
}

bool SavedAppsViewModel::isSaved(const QString& dedupKey) const
{
    return indexOf(dedupKey) >= 0;
}

std::optional<SavedAppProfile> SavedAppsViewModel::profile(const QString& dedupKey) const
{
    const qsizetype index = indexOf(dedupKey);
    return index >= 0 ? std::optional<SavedAppProfile>(m_savedApps.at(index)) : std::nullopt;
}

void SavedAppsViewModel::load()
{
    auto profiles = m_store->fetchProfiles();
    if (!profiles) {
        Log::error(profiles.error());
        setErrorMessage(profiles.error());
        return;
    }
    setErrorMessage({});
    if (profiles.value() != m_savedApps) {
        m_savedApps = std::move(profiles).value();
        emit savedAppsChanged();
    }
}

Result<SavedAppProfile, QString> SavedAppsViewModel::add(const AppInfo& app, const QString& storefront)
{
    // The store keeps the added date of a profile that is already there.
    return save(SavedAppProfile::fromAppInfo(app, storefront));
}

Result<bool, QString> SavedAppsViewModel::refresh(const AppInfo& app, const QString& storefront)
{
    const qsizetype index = indexOf(SavedAppProfile::dedupKey(app.id, storefront, app.platform));
    if (index < 0)
        return false;
    SavedAppProfile profile = m_savedApps.at(index);
    profile.setDetails(app);
    profile.lastRefreshedAt = QDateTime::currentDateTimeUtc();
    auto saved = save(profile);
    if (!saved)
        return Result<bool, QString>::failure(saved.error());
    return true;
}

Result<bool, QString> SavedAppsViewModel::remove(const QString& dedupKey)
{
    const qsizetype listed = indexOf(dedupKey);
    auto removed = m_store->remove(dedupKey, listed >= 0 ? m_savedApps.at(listed).app.name : QString());
    if (!removed) {
        reportWriteFailure(removed.error());
        return removed;
    }
    setErrorMessage({});
    if (const qsizetype index = indexOf(dedupKey); index >= 0) {
        m_savedApps.removeAt(index);
        emit savedAppsChanged();
    }
    return removed;
}

Result<SavedAppProfile, QString> SavedAppsViewModel::save(const SavedAppProfile& profile)
{
    auto stored = m_store->upsert(profile);
    if (!stored) {
        reportWriteFailure(stored.error());
        return stored;
    }
    setErrorMessage({});
    if (const qsizetype index = indexOf(stored.value().dedupKey()); index >= 0)
        m_savedApps[index] = stored.value();
    else
        m_savedApps.append(stored.value());
    std::stable_sort(m_savedApps.begin(), m_savedApps.end(), SavedAppProfile::precedes);
    emit savedAppsChanged();
    return stored;
}

void SavedAppsViewModel::setErrorMessage(const QString& message)
{
    if (m_errorMessage == message)
        return;
    m_errorMessage = message;
    emit errorMessageChanged();
}

void SavedAppsViewModel::reportWriteFailure(const QString& message)
{
    Log::error(message);
    setErrorMessage(message);
    emit writeFailed(message);
}

qsizetype SavedAppsViewModel::indexOf(const QString& dedupKey) const
{
    const auto it = std::find_if(m_savedApps.cbegin(), m_savedApps.cend(),
                                 [&dedupKey](const SavedAppProfile& profile) { return profile.dedupKey() == dedupKey; });
    return it == m_savedApps.cend() ? -1 : it - m_savedApps.cbegin();
}

#include "ViewModels/SavedAppsViewModel.h"

#include "Services/Log.h"
#include "Services/SwiftDataService.h"
#include "platform/PropertySetter.h"

#include <algorithm>

Result<std::unique_ptr<SavedAppsViewModel>, QString> SavedAppsViewModel::create(std::optional<QString> databasePath)
{
    using R = Result<std::unique_ptr<SavedAppsViewModel>, QString>;
    auto model = openInBackground(std::move(databasePath));
    if (auto error = model->waitUntilOpen())
        return R::failure(*error);
    return R(std::move(model));
}

std::unique_ptr<SavedAppsViewModel> SavedAppsViewModel::openInBackground(std::optional<QString> databasePath)
{
    qRegisterMetaType<SavedAppProfile>();
    qRegisterMetaType<QList<SavedAppProfile>>();
    std::unique_ptr<SavedAppsViewModel> model(
        new SavedAppsViewModel(databasePath.value_or(SwiftDataService::defaultDatabasePath())));
    model->startOpening();
    return model;
}

SavedAppsViewModel::SavedAppsViewModel(QString path, QObject* parent)
    : QObject(parent)
    , m_path(std::move(path))
{
}

SavedAppsViewModel::~SavedAppsViewModel()
{
    // The opener posts its outcome to this object; it must be done first.
    if (m_opener.joinable())
        m_opener.join();
}

void SavedAppsViewModel::startOpening()
{
    std::promise<Opened> promise;
    m_opened = promise.get_future();
    m_opener = std::thread([this, path = m_path, promise = std::move(promise)]() mutable {
        Opened opened;
        {
            // A connection of this thread's own: checked, read and closed here.
            auto store = SwiftDataService::open(path);
            if (store) {
                opened.list = store.value()->fetchSummaries();
                if (opened.list)
                    opened.keys = keysOf(opened.list.value());
            } else
                opened.error = store.error();
        }
        promise.set_value(std::move(opened));
        QMetaObject::invokeMethod(this, &SavedAppsViewModel::finishOpening, Qt::QueuedConnection);
    });
}

std::optional<QString> SavedAppsViewModel::waitUntilOpen()
{
    finishOpening();
    return m_openError;
}

void SavedAppsViewModel::finishOpening()
{
    if (!m_opened.valid())
        return; // finished already: waited for, or its posted call came first
    Opened opened = m_opened.get();
    m_opener.join();
    if (!opened.error) {
        // Writes and detail reads go through a connection of the GUI thread's own.
        auto store = SwiftDataService::reopen(m_path);
        if (store)
            m_store = std::move(store).value();
        else
            opened.error = store.error();
    }
    if (opened.error) {
        m_openError = opened.error;
        emit openFailed(*m_openError);
        return;
    }
    if (opened.list) {
        setList(std::move(opened.list).value(), std::move(opened.keys));
    } else {
        Log::error(opened.list.error());
        setErrorMessage(opened.list.error());
    }
    m_loaded = true;
    emit loadedChanged();
}

bool SavedAppsViewModel::ensureOpen()
{
    return !waitUntilOpen() && m_store;
}

QString SavedAppsViewModel::notOpen() const
{
    return m_openError.value_or(tr("The workspace is not open."));
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

std::optional<SavedAppProfile> SavedAppsViewModel::profile(const QString& dedupKey)
{
    const qsizetype index = indexOf(dedupKey);
    if (index < 0)
        return std::nullopt;
    if (m_detailed && m_detailed->dedupKey() == dedupKey)
        return m_detailed;
    auto read = ensureOpen() ? m_store->fetchProfile(dedupKey) : Result<std::optional<SavedAppProfile>, QString>();
    if (read && read.value()) {
        m_detailed = read.value();
        return m_detailed;
    }
    // What the list knows is still better than nothing.
    if (!read)
        Log::error(read.error());
    return m_savedApps.at(index);
}

void SavedAppsViewModel::load()
{
    if (!ensureOpen())
        return;
    auto profiles = m_store->fetchSummaries();
    if (!profiles) {
        Log::error(profiles.error());
        setErrorMessage(profiles.error());
        return;
    }
    setErrorMessage({});
    m_detailed.reset();
    QSet<QString> keys = keysOf(profiles.value());
    setList(std::move(profiles).value(), std::move(keys));
}

QSet<QString> SavedAppsViewModel::keysOf(const QList<SavedAppProfile>& profiles)
{
    QSet<QString> keys;
    keys.reserve(profiles.size());
    for (const SavedAppProfile& profile : profiles)
        keys.insert(profile.dedupKey());
    return keys;
}

void SavedAppsViewModel::setList(QList<SavedAppProfile> profiles, QSet<QString> keys)
{
    if (profiles == m_savedApps)
        return;
    m_savedApps = std::move(profiles);
    m_keys = std::move(keys);
    emit savedAppsChanged();
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
    const QString name = listed >= 0 ? m_savedApps.at(listed).app.name : QString();
    auto removed = ensureOpen() ? m_store->remove(dedupKey, name) : Result<bool, QString>::failure(notOpen());
    if (!removed) {
        reportWriteFailure(removed.error());
        return removed;
    }
    setErrorMessage({});
    if (m_detailed && m_detailed->dedupKey() == dedupKey)
        m_detailed.reset();
    if (const qsizetype index = indexOf(dedupKey); index >= 0) {
        m_savedApps.removeAt(index);
        m_keys.remove(dedupKey);
        emit savedAppsChanged();
    }
    return removed;
}

Result<SavedAppProfile, QString> SavedAppsViewModel::save(const SavedAppProfile& profile)
{
    auto stored = ensureOpen() ? m_store->upsert(profile) : Result<SavedAppProfile, QString>::failure(notOpen());
    if (!stored) {
        reportWriteFailure(stored.error());
        return stored;
    }
    setErrorMessage({});
    m_detailed = stored.value();
    const SavedAppProfile listed = stored.value().summary();
    const qsizetype index = indexOf(listed.dedupKey());
    if (index >= 0)
        m_savedApps.removeAt(index);
    // Into its place in workspace order; a new app goes last, as a rule.
    const auto place = std::upper_bound(m_savedApps.begin(), m_savedApps.end(), listed, SavedAppProfile::precedes);
    m_savedApps.insert(place, listed);
    m_keys.insert(listed.dedupKey());
    emit savedAppsChanged();
    return stored;
}

void SavedAppsViewModel::setErrorMessage(const QString& message)
{
    assignAndNotify(this, m_errorMessage, message, &SavedAppsViewModel::errorMessageChanged);
}

void SavedAppsViewModel::reportWriteFailure(const QString& message)
{
    Log::error(message);
    setErrorMessage(message);
    emit writeFailed(message);
}

qsizetype SavedAppsViewModel::indexOf(const QString& dedupKey) const
{
    if (!isSaved(dedupKey))
        return -1;
    const auto it = std::find_if(m_savedApps.cbegin(), m_savedApps.cend(),
                                 [&dedupKey](const SavedAppProfile& profile) { return profile.dedupKey() == dedupKey; });
    return it == m_savedApps.cend() ? -1 : it - m_savedApps.cbegin();
}

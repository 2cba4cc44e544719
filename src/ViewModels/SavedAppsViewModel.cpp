#include "ViewModels/SavedAppsViewModel.h"

#include "Services/Log.h"
#include "Services/Workspace/StoreThread.h"
#include "Services/Workspace/SwiftDataService.h"
#include "platform/PropertySetter.h"

#include <QCoroFuture>
#include <QPointer>

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

SavedAppsViewModel::~SavedAppsViewModel() = default;

void SavedAppsViewModel::startOpening()
{
    m_store = std::make_unique<StoreThread>(m_path);
    // The list and its keys are made on the store's thread too.
    m_opened = m_store->run([](const StoreThread::Store& store) {
        Opened opened;
        if (!store) {
            opened.error = store.error();
            return opened;
        }
        opened.list = store.value()->fetchSummaries();
        if (opened.list)
            opened.lookup = Lookup::of(opened.list.value());
        return opened;
    });
    connect(&m_openWatcher, &QFutureWatcher<Opened>::finished, this, &SavedAppsViewModel::finishOpening);
    m_openWatcher.setFuture(m_opened);
}

std::optional<QString> SavedAppsViewModel::waitUntilOpen()
{
    m_opened.waitForFinished();
    finishOpening();
    return m_openError;
}

void SavedAppsViewModel::finishOpening()
{
    if (m_openFinished || !m_opened.isFinished())
        return; // finished already: waited for, or the watcher's call came first
    m_openFinished = true;
    Opened opened = m_opened.takeResult();
    if (opened.error) {
        m_openError = opened.error;
        emit openFailed(*m_openError);
        return;
    }
    if (opened.list) {
        setList(std::move(opened.list).value(), std::move(opened.lookup));
    } else {
        Log::error(opened.list.error());
        setErrorMessage(opened.list.error());
    }
    m_loaded = true;
    emit loadedChanged();
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

bool SavedAppsViewModel::isSaved(qint64 appId, const QString& storefront, AppPlatform platform) const
{
    return isSaved(SavedAppProfile::dedupKey(appId, storefront, platform));
}

std::optional<SavedAppProfile> SavedAppsViewModel::profile(const QString& dedupKey) const
{
    if (hasDetails(dedupKey))
        return m_detailed;
    const qsizetype index = indexOf(dedupKey);
    return index < 0 ? std::nullopt : std::optional<SavedAppProfile>(m_savedApps.at(index));
}

QCoro::Task<> SavedAppsViewModel::loadDetails(QString dedupKey)
{
    using R = Result<std::optional<SavedAppProfile>, QString>;
    QPointer<SavedAppsViewModel> self(this);
    // Every job's future is awaited from a variable: GCC 12 destroys a
    // temporary of the awaited expression (here the job) twice.
    auto pending = m_store->run([dedupKey](const StoreThread::Store& store) {
        return store ? store.value()->fetchProfile(dedupKey) : R::failure(store.error());
    });
    R read = co_await pending;
    if (!self)
        co_return;
    // What the list knows stays in use when the details cannot be read.
    if (!read) {
        Log::error(read.error());
        co_return;
    }
    if (!read.value() || !isSaved(dedupKey))
        co_return; // removed meanwhile
    m_detailed = read.value();
    emit detailsLoaded(dedupKey);
}

QCoro::Task<> SavedAppsViewModel::load()
{
    using R = Result<QList<SavedAppProfile>, QString>;
    QPointer<SavedAppsViewModel> self(this);
    auto pending = m_store->run([](const StoreThread::Store& store) {
        auto profiles = store ? store.value()->fetchSummaries() : R::failure(store.error());
        return std::pair(profiles, profiles ? Lookup::of(profiles.value()) : Lookup());
    });
    auto listed = co_await pending;
    if (!self)
        co_return;
    finishOpening();
    if (!listed.first) {
        Log::error(listed.first.error());
        setErrorMessage(listed.first.error());
        co_return;
    }
    setErrorMessage({});
    m_detailed.reset();
    setList(std::move(listed.first).value(), std::move(listed.second));
}

SavedAppsViewModel::Lookup SavedAppsViewModel::Lookup::of(const QList<SavedAppProfile>& profiles)
{
    Lookup lookup;
    lookup.keys.reserve(profiles.size());
    for (const SavedAppProfile& profile : profiles)
        lookup.add(profile);
    return lookup;
}

void SavedAppsViewModel::Lookup::add(const SavedAppProfile& profile)
{
    keys.insert(profile.dedupKey());
    if (++profilesPerID[profile.appId()] == 1)
        ids.insert(profile.appId());
}

void SavedAppsViewModel::Lookup::remove(const SavedAppProfile& profile)
{
    keys.remove(profile.dedupKey());
    if (--profilesPerID[profile.appId()] <= 0) {
        profilesPerID.remove(profile.appId());
        ids.remove(profile.appId());
    }
}

void SavedAppsViewModel::setList(QList<SavedAppProfile> profiles, Lookup lookup)
{
    if (profiles == m_savedApps)
        return;
    m_savedApps = std::move(profiles);
    m_lookup = std::move(lookup);
    emit savedAppsChanged();
}

QCoro::Task<Result<SavedAppProfile, QString>> SavedAppsViewModel::add(AppInfo app, QString storefront)
{
    // The store keeps the added date of a profile that is already there.
    return save(SavedAppProfile::fromAppInfo(app, storefront));
}

QCoro::Task<Result<bool, QString>> SavedAppsViewModel::refresh(AppInfo app, QString storefront)
{
    const qsizetype index = indexOf(SavedAppProfile::dedupKey(app.id, storefront, app.platform));
    if (index < 0)
        co_return false;
    SavedAppProfile profile = m_savedApps.at(index);
    profile.setDetails(app);
    profile.lastRefreshedAt = QDateTime::currentDateTimeUtc();
    const auto saved = co_await save(profile);
    if (!saved)
        co_return Result<bool, QString>::failure(saved.error());
    co_return true;
}

QCoro::Task<Result<bool, QString>> SavedAppsViewModel::remove(QString dedupKey)
{
    using R = Result<bool, QString>;
    const qsizetype listed = indexOf(dedupKey);
    const QString name = listed >= 0 ? m_savedApps.at(listed).app.name : QString();
    QPointer<SavedAppsViewModel> self(this);
    auto pending = m_store->run([dedupKey, name](const StoreThread::Store& store) {
        return store ? store.value()->remove(dedupKey, name) : R::failure(store.error());
    });
    R removed = co_await pending;
    if (!self)
        co_return removed;
    finishOpening();
    if (!removed) {
        reportWriteFailure(removed.error());
        co_return removed;
    }
    setErrorMessage({});
    if (hasDetails(dedupKey))
        m_detailed.reset();
    if (const qsizetype index = indexOf(dedupKey); index >= 0) {
        m_lookup.remove(m_savedApps.at(index));
        m_savedApps.removeAt(index);
        emit rowRemoved(int(index));
        emit savedAppsChanged();
    }
    co_return removed;
}

QCoro::Task<Result<SavedAppProfile, QString>> SavedAppsViewModel::save(SavedAppProfile profile)
{
    using R = Result<SavedAppProfile, QString>;
    QPointer<SavedAppsViewModel> self(this);
    auto pending = m_store->run([profile](const StoreThread::Store& store) {
        return store ? store.value()->upsert(profile) : R::failure(store.error());
    });
    R stored = co_await pending;
    if (!self)
        co_return stored;
    // The opening ran before this write: its list comes first.
    finishOpening();
    if (!stored) {
        reportWriteFailure(stored.error());
        co_return stored;
    }
    setErrorMessage({});
    m_detailed = stored.value();
    const SavedAppProfile listed = stored.value().summary();
    const qsizetype index = indexOf(listed.dedupKey());
    if (index >= 0 && m_savedApps.at(index).addedAt == listed.addedAt) {
        // A refresh: the store kept its added date, so it keeps its place.
        m_savedApps[index] = listed;
        emit rowReplaced(int(index));
        emit savedAppsChanged();
        co_return stored;
    }
    if (index >= 0) {
        m_lookup.remove(m_savedApps.at(index));
        m_savedApps.removeAt(index);
        emit rowRemoved(int(index));
    }
    // Into its place in workspace order; a new app goes last, as a rule.
    const auto place = std::upper_bound(m_savedApps.begin(), m_savedApps.end(), listed, SavedAppProfile::precedes);
    const int row = int(place - m_savedApps.begin());
    m_savedApps.insert(place, listed);
    m_lookup.add(listed);
    emit rowInserted(row);
    emit savedAppsChanged();
    co_return stored;
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

namespace {
// Finds a profile by its dedup key field by field: making every profile's key
// costs a string per row, too much in a list of many thousands.
class KeyMatch {
public:
    explicit KeyMatch(const QString& key)
        : m_key(key)
    {
        const QList<QStringView> parts = QStringView(key).split(u'#');
        if (parts.size() == 3) {
            m_id = parts.at(0).toLongLong();
            m_storefront = parts.at(1).toString();
            m_platform = appPlatformFromRawValue(parts.at(2).toString());
        }
    }
    bool operator()(const SavedAppProfile& profile) const
    {
        return m_platform && profile.appId() == m_id && profile.platform() == *m_platform
            && (profile.storefront == m_storefront || profile.dedupKey() == m_key);
    }

private:
    QString m_key;
    qint64 m_id = 0;
    QString m_storefront;
    std::optional<AppPlatform> m_platform;
};
} // namespace

qsizetype SavedAppsViewModel::indexOf(const QString& dedupKey) const
{
    if (!isSaved(dedupKey))
        return -1;
    const auto it = std::find_if(m_savedApps.cbegin(), m_savedApps.cend(), KeyMatch(dedupKey));
    return it == m_savedApps.cend() ? -1 : it - m_savedApps.cbegin();
}

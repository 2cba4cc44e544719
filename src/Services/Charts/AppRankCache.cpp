#include "Services/Charts/AppRankCache.h"

AppRankCache& AppRankCache::shared()
{
    static AppRankCache cache;
    return cache;
}

QString AppRankCache::key(qint64 appID, const QString& countryCode, const std::optional<QString>& genreID)
{
    const QString genre = genreID && !genreID->isEmpty() ? *genreID : QStringLiteral("all");
    return QStringLiteral("%1#%2#%3").arg(appID).arg(countryCode.trimmed().toUpper(), genre);
}

std::optional<AppRankCountryResult> AppRankCache::freshResult(const QString& key)
{
    const auto it = m_entries.constFind(key);
    if (it == m_entries.constEnd())
        return std::nullopt;
    const qint64 ageMs = it->storedAt.msecsTo(now());
    if (ageMs < std::chrono::duration_cast<std::chrono::milliseconds>(kMaxAge).count())
        return it->result;
    m_entries.erase(it);
    return std::nullopt;
}

void AppRankCache::store(const QString& key, const AppRankCountryResult& result)
{
    m_entries.insert(key, Entry{result, now()});
}

void AppRankCache::clear()
{
    m_entries.clear();
}

QDateTime AppRankCache::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTimeUtc();
}

void AppRankCache::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

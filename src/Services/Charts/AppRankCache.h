#pragma once

#include "models/AppRankCountryResult.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

// The rank monitor's process-wide memory of country checks, so that returning
// to the page within twenty minutes costs no requests. Main thread only.
class AppRankCache {
public:
    using Clock = std::function<QDateTime()>;
    static constexpr std::chrono::seconds kMaxAge{1200};

    static AppRankCache& shared();

    // "<app id>#<upper-case code>#<genre id or all>".
    static QString key(qint64 appID, const QString& countryCode, const std::optional<QString>& genreID);

    // The entry under `key` when it is younger than kMaxAge.
    std::optional<AppRankCountryResult> freshResult(const QString& key);
    void store(const QString& key, const AppRankCountryResult& result);
    void clear();
    int size() const { return static_cast<int>(m_entries.size()); }

    QDateTime now() const;
    // Tests age entries by moving this clock; an empty function restores the system clock.
    void setClock(Clock clock);

private:
    struct Entry {
        AppRankCountryResult result;
        QDateTime storedAt;
    };
    QHash<QString, Entry> m_entries;
    Clock m_clock;
};

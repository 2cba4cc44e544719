#pragma once

#include "models/AppRanking.h"
#include "models/ChartFeed.h"
#include "platform/LatestRequest.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class AppRankingService;

// State of the top-charts tab: one chart of one storefront, feed and
// category. Changing any of the three reloads the chart.
class AppRankingViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<AppRanking> rankings READ rankings NOTIFY rankingsChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(ChartFeed::Feed selectedFeed READ selectedFeed WRITE setSelectedFeed NOTIFY selectedFeedChanged)
    Q_PROPERTY(QString selectedStorefront READ selectedStorefront WRITE setSelectedStorefront NOTIFY
                   selectedStorefrontChanged)
    Q_PROPERTY(std::optional<ChartGenre> selectedGenre READ selectedGenre WRITE setSelectedGenre NOTIFY
                   selectedGenreChanged)
public:
    using Feed = ChartFeed::Feed;
    using Genre = ChartGenre;

    static constexpr int kDefaultLimit = 50;
    static inline const QString kDefaultStorefront = QStringLiteral("US");

    // Starts no load. Without a genre list the default 27-row table is used;
    // the first genre is selected.
    explicit AppRankingViewModel(AppRankingService service,
                                 const QString& storefront = kDefaultStorefront, int limit = kDefaultLimit,
                                 std::optional<QList<Genre>> genres = std::nullopt, QObject* parent = nullptr);
    ~AppRankingViewModel() override;

    const QList<AppRanking>& rankings() const { return m_rankings; }
    bool isLoading() const { return m_isLoading; }
    // Empty when there is nothing to report.
    QString errorMessage() const { return m_errorMessage; }
    Feed selectedFeed() const { return m_selectedFeed; }
    QString selectedStorefront() const { return m_selectedStorefront; }
    std::optional<Genre> selectedGenre() const { return m_selectedGenre; }

    const AppRankingService& service() const { return *m_service; }
    int limit() const { return m_limit; }
    const QList<Genre>& genres() const { return m_genres; }

    // Each setter reloads when the value really changes.
    void setSelectedFeed(Feed feed);
    void setSelectedStorefront(const QString& storefront);
    void setSelectedGenre(const std::optional<Genre>& genre);

    // Loads the chart of the current selection. A newer load supersedes this
    // one: its request is aborted and its answer dropped.
    QCoro::Task<> loadRankings();

signals:
    void rankingsChanged();
    void isLoadingChanged();
    void errorMessageChanged();
    void selectedFeedChanged();
    void selectedStorefrontChanged();
    void selectedGenreChanged();

private:
    void setRankings(QList<AppRanking> rankings);
    void setIsLoading(bool loading);
    void setErrorMessage(const QString& message);

    std::unique_ptr<AppRankingService> m_service;
    int m_limit;
    QList<Genre> m_genres;
    QList<AppRanking> m_rankings;
    bool m_isLoading = false;
    QString m_errorMessage;
    Feed m_selectedFeed = Feed::topFree;
    QString m_selectedStorefront;
    std::optional<Genre> m_selectedGenre;
    LatestRequest m_requests;
};

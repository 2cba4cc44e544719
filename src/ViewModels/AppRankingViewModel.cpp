#include "ViewModels/AppRankingViewModel.h"

#include "Services/Charts/AppRankingService.h"
#include "Services/Log.h"

#include "platform/PropertySetter.h"

AppRankingViewModel::AppRankingViewModel(AppRankingService service, const QString& storefront, int limit,
                                         std::optional<QList<Genre>> genres, QObject* parent)
    : QObject(parent)
    , m_service(std::make_unique<AppRankingService>(std::move(service)))
    , m_limit(limit)
    , m_genres(genres ? std::move(*genres) : AppRankingService::genres())
    , m_selectedStorefront(storefront.toUpper())
{
    if (!m_genres.isEmpty())
        m_selectedGenre = m_genres.first();
}

AppRankingViewModel::~AppRankingViewModel() = default; // m_requests cancels a load still in flight

void AppRankingViewModel::setSelectedFeed(AppRankingService::Feed feed)
{
    if (assignAndNotify(this, m_selectedFeed, feed, &AppRankingViewModel::selectedFeedChanged))
        loadRankings();
}

void AppRankingViewModel::setSelectedStorefront(const QString& storefront)
{
    if (assignAndNotify(this, m_selectedStorefront, storefront, &AppRankingViewModel::selectedStorefrontChanged))
        loadRankings();
}

void AppRankingViewModel::setSelectedGenre(const std::optional<Genre>& genre)
{
    if (assignAndNotify(this, m_selectedGenre, genre, &AppRankingViewModel::selectedGenreChanged))
        loadRankings();
}

QCoro::Task<> AppRankingViewModel::loadRankings()
{
    // Superseding aborts the request of the previous load.
    const LatestRequest::Ticket ticket = m_requests.begin();
    setIsLoading(true);
    setErrorMessage({});

    const QString storefront = m_selectedStorefront;
    const AppRankingService::Feed feed = m_selectedFeed;
    const QString genreID = m_selectedGenre ? m_selectedGenre->id : QString();
    const QString selection = QStringLiteral("%1 %2 %3")
                                  .arg(storefront, AppRankingService::feedName(feed),
                                       genreID.isEmpty() ? QStringLiteral("all") : genreID);
    const AppRankingService service = *m_service;
    const auto outcome = co_await service.fetchTopCharts(storefront, feed, m_limit, genreID, ticket.token());
    if (!ticket.isCurrent()) // superseded, or this view model is gone
        co_return;

    if (outcome) {
        Log::debug(QStringLiteral("Loaded %1 rankings for %2").arg(outcome.value().size()).arg(selection));
        setRankings(outcome.value());
        setErrorMessage(outcome.value().isEmpty() ? tr("No rankings available for this selection.") : QString());
    } else if (outcome.error().isCancelled()) {
        Log::debug(QStringLiteral("Loading rankings for %1 was cancelled").arg(selection));
    } else {
        const QString description = outcome.error().localizedDescription();
        Log::debug(QStringLiteral("Failed to load rankings for %1: %2").arg(selection, description));
        setRankings({});
        setErrorMessage(description);
    }
    setIsLoading(false);
}

void AppRankingViewModel::setRankings(QList<AppRanking> rankings)
{
    assignAndNotify(this, m_rankings, std::move(rankings), &AppRankingViewModel::rankingsChanged);
}

void AppRankingViewModel::setIsLoading(bool loading)
{
    assignAndNotify(this, m_isLoading, loading, &AppRankingViewModel::isLoadingChanged);
}

void AppRankingViewModel::setErrorMessage(const QString& message)
{
    assignAndNotify(this, m_errorMessage, message, &AppRankingViewModel::errorMessageChanged);
}

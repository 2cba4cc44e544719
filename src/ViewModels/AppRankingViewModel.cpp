#include "ViewModels/AppRankingViewModel.h"

#include "Services/Log.h"

#include <QPointer>

AppRankingViewModel::AppRankingViewModel(AppRankingService service, const QString& storefront, int limit,
                                         std::optional<QList<Genre>> genres, QObject* parent)
    : QObject(parent)
    , m_service(std::move(service))
    , m_limit(limit)
    , m_genres(genres ? std::move(*genres) : AppRankingService::genres())
    , m_selectedStorefront(storefront.toUpper())
{
    if (!m_genres.isEmpty())
        m_selectedGenre = m_genres.first();
}

AppRankingViewModel::~AppRankingViewModel() = default; // m_running cancels a load still in flight

void AppRankingViewModel::setSelectedFeed(AppRankingService::Feed feed)
{
    if (feed == m_selectedFeed)
        return;
    m_selectedFeed = feed;
    emit selectedFeedChanged();
    loadRankings();
}

void AppRankingViewModel::setSelectedStorefront(const QString& storefront)
{
    if (storefront == m_selectedStorefront)
        return;
    m_selectedStorefront = storefront;
    emit selectedStorefrontChanged();
    loadRankings();
}

void AppRankingViewModel::setSelectedGenre(const std::optional<Genre>& genre)
{
    if (genre == m_selectedGenre)
        return;
    m_selectedGenre = genre;
    emit selectedGenreChanged();
    loadRankings();
}

QCoro::Task<> AppRankingViewModel::loadRankings()
{
    const quint64 requestID = ++m_requestID;
    CancellationSource source;
    m_running = TaskHandle(source); // aborts the request of the load this one supersedes
    setIsLoading(true);
    setErrorMessage({});

    const QString storefront = m_selectedStorefront;
    const AppRankingService::Feed feed = m_selectedFeed;
    const QString genreID = m_selectedGenre ? m_selectedGenre->id : QString();
    const QString selection = QStringLiteral("%1 %2 %3")
                                  .arg(storefront, AppRankingService::feedName(feed),
                                       genreID.isEmpty() ? QStringLiteral("all") : genreID);
    QPointer<AppRankingViewModel> self(this);
    const AppRankingService service = m_service;
    const auto outcome = co_await service.fetchTopCharts(storefront, feed, m_limit, genreID, source.token());
    if (!self || requestID != self->m_requestID)
        co_return;

    if (outcome) {
        Log::debug(QStringLiteral("Loaded %1 rankings for %2").arg(outcome.value().size()).arg(selection));
        self->setRankings(outcome.value());
        self->setErrorMessage(outcome.value().isEmpty() ? tr("No rankings available for this selection.") : QString());
    } else if (outcome.error().kind == AppRankingService::ServiceError::Cancelled) {
        Log::debug(QStringLiteral("Loading rankings for %1 was cancelled").arg(selection));
    } else {
        const QString description = outcome.error().localizedDescription();
        Log::debug(QStringLiteral("Failed to load rankings for %1: %2").arg(selection, description));
        self->setRankings({});
        self->setErrorMessage(description);
    }
    self->setIsLoading(false);
}

void AppRankingViewModel::setRankings(QList<AppRanking> rankings)
{
    if (rankings == m_rankings)
        return;
    m_rankings = std::move(rankings);
    emit rankingsChanged();
}

void AppRankingViewModel::setIsLoading(bool loading)
{
    if (loading == m_isLoading)
        return;
    m_isLoading = loading;
    emit isLoadingChanged();
}

void AppRankingViewModel::setErrorMessage(const QString& message)
{
    if (message == m_errorMessage)
        return;
    m_errorMessage = message;
    emit errorMessageChanged();
}

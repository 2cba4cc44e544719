#include "ViewModels/AppSearchViewModel.h"

#include "Services/Catalogue/AppSearchService.h"
#include "platform/PropertySetter.h"

AppSearchViewModel::AppSearchViewModel(AppSearchService service, QObject* parent)
    : QObject(parent)
    , m_service(std::make_unique<AppSearchService>(std::move(service)))
{
}

AppSearchViewModel::~AppSearchViewModel() = default;

QCoro::Task<> AppSearchViewModel::search(QString term, AppPlatform platform, QString storefront)
{
    const LatestRequest::Ticket ticket = m_requests.begin(); // aborts the previous request
    setIsLoading(true);
    setErrorMessage({});

    const AppSearchService service = *m_service;
    const auto outcome = co_await service.search(term, platform, storefront,
                                                 AppSearchService::kDefaultSearchLimit, ticket.token());
    if (!ticket.isCurrent()) // superseded, cancelled, or this view model is gone
        co_return;
    if (outcome) {
        setResults(outcome.value());
    } else if (!outcome.error().isCancelled()) {
        setErrorMessage(outcome.error().localizedDescription());
    }
    setIsLoading(false);
}

void AppSearchViewModel::cancel()
{
    m_requests.cancel();
    setIsLoading(false);
}

void AppSearchViewModel::clear()
{
    cancel();
    setResults({});
    setErrorMessage({});
}

void AppSearchViewModel::setResults(QList<AppInfo> results)
{
    assignAndNotify(this, m_results, std::move(results), &AppSearchViewModel::resultsChanged);
}

void AppSearchViewModel::setIsLoading(bool loading)
{
    assignAndNotify(this, m_isLoading, loading, &AppSearchViewModel::isLoadingChanged);
}

void AppSearchViewModel::setErrorMessage(const QString& message)
{
    assignAndNotify(this, m_errorMessage, message, &AppSearchViewModel::errorMessageChanged);
}

#include "ViewModels/AppSearchViewModel.h"

#include <QPointer>

AppSearchViewModel::AppSearchViewModel(AppSearchService service, QObject* parent)
    : QObject(parent)
    , m_service(std::move(service))
{
}

QCoro::Task<> AppSearchViewModel::search(QString term, AppPlatform platform, QString storefront)
{
    const quint64 requestID = ++m_requestID;
    CancellationSource source;
    m_running = TaskHandle(source); // aborts the previous request
    setIsLoading(true);
    setErrorMessage({});

    QPointer<AppSearchViewModel> self(this);
    const AppSearchService service = m_service;
    const auto outcome = co_await service.search(term, platform, storefront,
                                                 AppSearchService::kDefaultSearchLimit, source.token());
    if (!self || requestID != self->m_requestID)
        co_return;
    if (outcome) {
        self->setResults(outcome.value());
    } else if (outcome.error().kind != AppSearchService::ServiceError::Cancelled) {
        self->setErrorMessage(outcome.error().localizedDescription());
    }
    self->setIsLoading(false);
}

void AppSearchViewModel::cancel()
{
    ++m_requestID;
    m_running.cancel();
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
    if (results == m_results)
        return;
    m_results = std::move(results);
    emit resultsChanged();
}

void AppSearchViewModel::setIsLoading(bool loading)
{
    if (loading == m_isLoading)
        return;
    m_isLoading = loading;
    emit isLoadingChanged();
}

void AppSearchViewModel::setErrorMessage(const QString& message)
{
    if (message == m_errorMessage)
        return;
    m_errorMessage = message;
    emit errorMessageChanged();
}

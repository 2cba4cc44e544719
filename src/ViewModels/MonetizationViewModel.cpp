#include "ViewModels/MonetizationViewModel.h"

#include "Services/Estimates/SensorTowerService.h"
#include "Services/Log.h"

#include "platform/PropertySetter.h"

MonetizationViewModel::MonetizationViewModel(SensorTowerService service, QObject* parent)
    : QObject(parent)
    , m_service(std::make_unique<SensorTowerService>(std::move(service)))
{
}

MonetizationViewModel::~MonetizationViewModel() = default; // m_requests aborts a load in flight

QCoro::Task<> MonetizationViewModel::loadMonetization(qint64 appID)
{
    if (m_isLoading && appID == m_loadingAppID)
        co_return;
    // Superseding aborts the request for the previous app, if any.
    const LatestRequest::Ticket ticket = m_requests.begin();
    m_loadingAppID = appID;
    setIsLoading(true);
    setErrorMessage({});

    const SensorTowerService service = *m_service;
    const SensorTowerService::Outcome outcome = co_await service.fetchMonetization(appID, ticket.token());
    if (!ticket.isCurrent()) // superseded, or this view model is gone
        co_return;

    if (outcome) {
        setMonetization(outcome.value());
        setErrorMessage({});
    } else if (!outcome.error().isCancelled()) {
        const QString description = outcome.error().localizedDescription();
        setErrorMessage(description);
        setMonetization(std::nullopt);
        Log::debug(QStringLiteral("Failed to load monetization data: %1").arg(description));
    }
    setIsLoading(false);
}

void MonetizationViewModel::setMonetization(const std::optional<AppMonetization>& monetization)
{
    assignAndNotify(this, m_monetization, monetization, &MonetizationViewModel::monetizationChanged);
}

void MonetizationViewModel::setIsLoading(bool loading)
{
    assignAndNotify(this, m_isLoading, loading, &MonetizationViewModel::isLoadingChanged);
}

void MonetizationViewModel::setErrorMessage(const QString& message)
{
    assignAndNotify(this, m_errorMessage, message, &MonetizationViewModel::errorMessageChanged);
}

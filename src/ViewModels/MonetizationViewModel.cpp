#include "ViewModels/MonetizationViewModel.h"

#include "Services/Log.h"

#include <QPointer>

MonetizationViewModel::MonetizationViewModel(SensorTowerService service, QObject* parent)
    : QObject(parent)
    , m_service(std::move(service))
{
}

MonetizationViewModel::~MonetizationViewModel() = default; // m_running aborts a load in flight

QCoro::Task<> MonetizationViewModel::loadMonetization(qint64 appID)
{
    if (m_isLoading && appID == m_loadingAppID)
        co_return;
    const quint64 requestID = ++m_requestID;
    CancellationSource source;
    m_running = TaskHandle(source); // aborts the request for the previous app, if any
    m_loadingAppID = appID;
    setIsLoading(true);
    setErrorMessage({});

    QPointer<MonetizationViewModel> self(this);
    const SensorTowerService service = m_service;
    const SensorTowerService::Outcome outcome = co_await service.fetchMonetization(appID, source.token());
    if (!self || requestID != self->m_requestID)
        co_return;

    if (outcome) {
        self->setMonetization(outcome.value());
        self->setErrorMessage({});
    } else if (outcome.error().kind != SensorTowerService::ServiceError::Cancelled) {
        const QString description = outcome.error().localizedDescription();
        self->setErrorMessage(description);
        self->setMonetization(std::nullopt);
        Log::debug(QStringLiteral("Failed to load monetization data: %1").arg(description));
    }
    self->setIsLoading(false);
}

void MonetizationViewModel::setMonetization(const std::optional<AppMonetization>& monetization)
{
    if (monetization == m_monetization)
        return;
    m_monetization = monetization;
    emit monetizationChanged();
}

void MonetizationViewModel::setIsLoading(bool loading)
{
    if (loading == m_isLoading)
        return;
    m_isLoading = loading;
    emit isLoadingChanged();
}

void MonetizationViewModel::setErrorMessage(const QString& message)
{
    if (message == m_errorMessage)
        return;
    m_errorMessage = message;
    emit errorMessageChanged();
}

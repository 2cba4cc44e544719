#pragma once

#include "models/AppMonetization.h"
#include "platform/LatestRequest.h"

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class SensorTowerService;

// State of the monetization tab: the estimates of one app.
class MonetizationViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::optional<AppMonetization> monetization READ monetization WRITE setMonetization NOTIFY
                   monetizationChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorMessageChanged)
public:
    explicit MonetizationViewModel(SensorTowerService service, QObject* parent = nullptr);
    ~MonetizationViewModel() override;

    std::optional<AppMonetization> monetization() const { return m_monetization; }
    bool isLoading() const { return m_isLoading; }
    // Empty when there is nothing to report.
    QString errorMessage() const { return m_errorMessage; }
    const SensorTowerService& service() const { return *m_service; }

    // The tab clears the shown figures before a reload.
    void setMonetization(const std::optional<AppMonetization>& monetization);

    // Loads the estimates of `appID`. While a load of the same app runs this
    // returns at once; a load of another app supersedes the running one, whose
    // answer is then dropped, so one app's figures never show under another.
    QCoro::Task<> loadMonetization(qint64 appID);

signals:
    void monetizationChanged();
    void isLoadingChanged();
    void errorMessageChanged();

private:
    void setIsLoading(bool loading);
    void setErrorMessage(const QString& message);

    std::unique_ptr<SensorTowerService> m_service;
    std::optional<AppMonetization> m_monetization;
    bool m_isLoading = false;
    QString m_errorMessage;
    qint64 m_loadingAppID = 0;
    LatestRequest m_requests;
};

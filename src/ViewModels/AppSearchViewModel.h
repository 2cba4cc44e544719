#pragma once

#include "models/AppInfo.h"
#include "platform/LatestRequest.h"

#include <QCoroTask>
#include <QObject>

#include <memory>

class AppSearchService;

// State of the search overlay: the results of the latest search of the
// catalogue for one platform and storefront.
class AppSearchViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<AppInfo> results READ results NOTIFY resultsChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorMessageChanged)
public:
    explicit AppSearchViewModel(AppSearchService service, QObject* parent = nullptr);
    ~AppSearchViewModel() override;

    const QList<AppInfo>& results() const { return m_results; }
    bool isLoading() const { return m_isLoading; }
    QString errorMessage() const { return m_errorMessage; }

    // Searches; a newer search supersedes a running one, whose answer is then
    // dropped. A failure keeps the previous results on screen.
    QCoro::Task<> search(QString term, AppPlatform platform, QString storefront);
    void cancel();
    void clear();

signals:
    void resultsChanged();
    void isLoadingChanged();
    void errorMessageChanged();

private:
    void setResults(QList<AppInfo> results);
    void setIsLoading(bool loading);
    void setErrorMessage(const QString& message);

    std::unique_ptr<AppSearchService> m_service;
    QList<AppInfo> m_results;
    bool m_isLoading = false;
    QString m_errorMessage;
    LatestRequest m_requests;
};

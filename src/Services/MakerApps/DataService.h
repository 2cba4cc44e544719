#pragma once

#include "models/AppData.h"
#include "Services/Web/WebClient.h"

#include <QCoroTask>
#include <QList>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <source_location>

// Client of the maker's published list of apps. Used on the main thread; it
// keeps nothing of the list, so every call fetches it again.
class DataService {
public:
    using Completion = std::function<void(QList<AppData::Application>)>;

    struct Options {
        qint64 maxAnswerBytes = 1024 * 1024;
        std::chrono::milliseconds deadline{std::chrono::seconds(15)}; // for the whole transfer
    };

    explicit DataService(std::shared_ptr<HttpSession> session = HttpSession::shared());
    DataService(std::shared_ptr<HttpSession> session, Options options);

    // The list's address: PLOVERA_MAKER_URL when set (read now), else the
    // maker's site, with the list's path.
    static QString defaultAppsListURL();

    // Fetches and decodes the list at `appsUrl` (http or https). `completion`
    // is called exactly once, always later on the main thread and never
    // before this returns, with the apps in document order, or with an empty
    // list after any failure, which is logged. The request is never answered
    // from the session's cache and leaves nothing in it.
    void getAppsData(const QString& appsUrl, Completion completion) const;

private:
    // `caller` names getAppsData in every log line, wherever the line is written.
    static QCoro::Task<> fetch(WebClient client, QUrl url, QString appsUrl, std::chrono::milliseconds deadline,
                               Completion completion, std::source_location caller);

    WebClient m_client;
    Options m_options;
};

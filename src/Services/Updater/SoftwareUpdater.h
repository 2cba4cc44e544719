#pragma once

#include "Services/Updater/UpdateCheckOutcome.h"
#include "Services/Updater/UpdateUserDriver.h"
#include "platform/HttpSession.h"
#include "platform/LatestRequest.h"

#include <QCoroTask>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

// Our own updater: checks the maker's update feed when asked and tells the
// person what it found. It never downloads or runs anything, and it sends no
// request until a check is asked for.
class SoftwareUpdater : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
public:
    struct Options {
        QUrl feedURL = defaultFeedURL();
        QString currentVersion = runningVersion();
        qint64 maxFeedBytes = 1024 * 1024;
        std::chrono::milliseconds deadline{std::chrono::seconds(20)};
    };

    SoftwareUpdater(std::shared_ptr<HttpSession> session, Options options, std::shared_ptr<UpdateUserDriver> driver,
                    QObject* parent = nullptr);
    ~SoftwareUpdater() override;

    // PLOVERA_UPDATES_URL when set (read now), else the maker's site, with the feed's path.
    static QUrl defaultFeedURL();
    // The application's version, else the one it was built as.
    static QString runningVersion();

    // Allows checks from now on; sends nothing.
    void start();

    // True once started and while no check is under way or its outcome shown.
    bool canCheckForUpdates() const { return m_started && !m_checkInProgress; }

    // Calls `observer` at once with the current value and then with every
    // change, until `receiver` goes.
    QMetaObject::Connection observeCanCheckForUpdates(QObject* receiver, std::function<void(bool)> observer);

    // A check the person asked for; ignored while checks are not allowed.
    // The driver shows that it runs, with a way to cancel it.
    void checkForUpdates();
    // Ends the running check as cancelled; nothing more is shown of it, and
    // checks are allowed again. Does nothing when no transfer is under way.
    void cancelCheck();

    // The check itself, without showing anything.
    static QCoro::Task<UpdateCheckOutcome> check(std::shared_ptr<HttpSession> session, Options options,
                                                 CancellationToken token = {});

signals:
    void canCheckForUpdatesChanged(bool canCheckForUpdates);

private:
    QCoro::Task<> runCheck();
    void setCheckInProgress(bool inProgress);

    std::shared_ptr<HttpSession> m_session;
    Options m_options;
    std::shared_ptr<UpdateUserDriver> m_driver;
    bool m_started = false;
    bool m_checkInProgress = false;
    LatestRequest m_transfer; // the feed's transfer while it runs
};

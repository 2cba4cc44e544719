#include "Services/Updater/SoftwareUpdater.h"

#include "Services/Log.h"
#include "Services/Updater/Appcast.h"
#include "Services/Web/WebClient.h"
#include "models/MakerInfo.h"

#include <QCoreApplication>
#include <QPointer>

namespace {
QString tr(const char* source)
{
    return QCoreApplication::translate("SoftwareUpdater", source);
}

// The reason a feed could not be had, in plain words for people; the
// transfer's own detail goes to the log.
QString transferSentence(HttpResponse::JsonProblem problem)
{
    using Problem = HttpResponse::JsonProblem;
    switch (problem) {
    case Problem::BadStatus:
        return tr("The update server answered with an error.");
    case Problem::InvalidUrl:
        return tr("The update address is not valid.");
    case Problem::TooLarge:
        return tr("The update information is too large.");
    case Problem::Cancelled:
        return tr("The update check was cancelled.");
    case Problem::Timeout:
        return tr("The update server did not answer in time.");
    case Problem::None:
    case Problem::NotJson:
    case Problem::Network:
        break;
    }
    return tr("The update server could not be reached.");
}
} // namespace

SoftwareUpdater::SoftwareUpdater(std::shared_ptr<HttpSession> session, Options options,
                                 std::shared_ptr<UpdateUserDriver> driver, QObject* parent)
    : QObject(parent)
    , m_session(std::move(session))
    , m_options(std::move(options))
    , m_driver(std::move(driver))
{
}

SoftwareUpdater::~SoftwareUpdater()
{
    // m_transfer aborts a check in flight; its window must not stay behind.
    if (m_driver && m_transfer.isRunning())
        m_driver->dismissCheckInProgress();
}

QUrl SoftwareUpdater::defaultFeedURL()
{
    const QUrl base = WebClient::baseURL("PLOVERA_UPDATES_URL", MakerInfo::kWebsite);
    // The feed's path is a fixed text, already fit to stand in an address.
    return WebClient::appendPath(base, {QByteArray(MakerInfo::kAppcastPath).mid(1)});
}

QString SoftwareUpdater::runningVersion()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral(PLOVERA_VERSION) : version;
}

void SoftwareUpdater::start()
{
    if (m_started)
        return;
    m_started = true;
    emit canCheckForUpdatesChanged(canCheckForUpdates());
}

QMetaObject::Connection SoftwareUpdater::observeCanCheckForUpdates(QObject* receiver, std::function<void(bool)> observer)
{
    observer(canCheckForUpdates());
    return connect(this, &SoftwareUpdater::canCheckForUpdatesChanged, receiver, std::move(observer));
}

void SoftwareUpdater::setCheckInProgress(bool inProgress)
{
    const bool before = canCheckForUpdates();
    m_checkInProgress = inProgress;
    if (canCheckForUpdates() != before)
        emit canCheckForUpdatesChanged(canCheckForUpdates());
}

void SoftwareUpdater::checkForUpdates()
{
    if (!canCheckForUpdates())
        return;
    setCheckInProgress(true);
    runCheck();
}

void SoftwareUpdater::cancelCheck()
{
    if (!m_transfer.isRunning())
        return;
    // The transfer ends as cancelled; its outcome is dropped, as the person
    // has already said what they want of it.
    m_transfer.cancel();
    if (m_driver)
        m_driver->dismissCheckInProgress();
    setCheckInProgress(false);
}

QCoro::Task<> SoftwareUpdater::runCheck()
{
    const LatestRequest::Ticket ticket = m_transfer.begin();
    if (m_driver) {
        QPointer<SoftwareUpdater> self(this);
        m_driver->showCheckInProgress([self] {
            if (self)
                self->cancelCheck();
        });
    }
    const UpdateCheckOutcome outcome = co_await check(m_session, m_options, ticket.token());
    if (!ticket.isCurrent()) // cancelled, or this updater is gone
        co_return;
    m_transfer.cancel(); // over: a Cancel from now on has nothing to end
    if (!m_driver) {
        setCheckInProgress(false);
        co_return;
    }
    m_driver->dismissCheckInProgress();
    // A second check waits until the person has seen this one's outcome.
    QPointer<SoftwareUpdater> self(this);
    m_driver->showOutcome(outcome, [self] {
        if (self)
            self->setCheckInProgress(false);
    });
}

QCoro::Task<UpdateCheckOutcome> SoftwareUpdater::check(std::shared_ptr<HttpSession> session, Options options,
                                                       CancellationToken token)
{
    UpdateCheckOutcome outcome;
    outcome.currentVersion = options.currentVersion;
    const QString address = options.feedURL.toString(QUrl::FullyEncoded);
    // People are told the plain sentence; the log line also keeps the detail.
    auto failed = [&outcome, &address](const QString& reason, const QString& detail = {}) {
        const QString logged = detail.isEmpty() ? reason : reason + QStringLiteral(" [") + detail + QLatin1Char(']');
        Log::error(QStringLiteral("Update check failed: %1 (%2)").arg(logged, address));
        outcome.kind = UpdateCheckOutcome::Kind::Failed;
        outcome.failureReason = reason;
        return outcome;
    };

    const auto current = SoftwareVersion::parse(options.currentVersion);
    if (!current)
        co_return failed(tr("The running version (%1) cannot be compared.").arg(options.currentVersion));
    if (!session)
        co_return failed(tr("The update server could not be reached."));

    const WebClient client(std::move(session), options.maxFeedBytes);
    const WebClient::Answer answer =
        co_await client.getBody(options.feedURL, std::move(token), QDeadlineTimer(options.deadline));
    if (!answer) {
        // A check the person cancelled has not failed: they asked it to stop.
        if (answer.error().problem == HttpResponse::JsonProblem::Cancelled) {
            Log::info(QStringLiteral("Update check cancelled (%1)").arg(address));
            outcome.failureReason = transferSentence(answer.error().problem);
            co_return outcome;
        }
        co_return failed(transferSentence(answer.error().problem), answer.error().detail);
    }

    const auto appcast = Appcast::parse(answer.value());
    if (!appcast)
        co_return failed(appcast.error().sentence, appcast.error().detail);
    const auto newest = appcast.value().newest();
    if (!newest)
        co_return failed(tr("The update information names no version."));

    outcome.latestVersion = newest->version;
    if (SoftwareVersion::parse(newest->version)->compare(*current) > 0) {
        outcome.kind = UpdateCheckOutcome::Kind::UpdateAvailable;
        outcome.releasePage = newest->releasePage;
    } else {
        outcome.kind = UpdateCheckOutcome::Kind::UpToDate;
    }
    Log::info(QStringLiteral("Update check: running %1, newest %2").arg(outcome.currentVersion, outcome.latestVersion));
    co_return outcome;
}

#include "Services/Updater/SoftwareUpdater.h"

#include "Services/Log.h"
#include "Services/Updater/Appcast.h"
#include "models/MakerInfo.h"

#include <QCoreApplication>
#include <QPointer>

namespace {
QString tr(const char* source)
{
    return QCoreApplication::translate("SoftwareUpdater", source);
}

QString transferProblem(const HttpResponse& response)
{
    switch (response.failure) {
    case HttpResponse::Failure::None:
        return tr("The update server answered with an error (status %1).").arg(response.status);
    case HttpResponse::Failure::InvalidUrl:
        return tr("The update address is not valid.");
    case HttpResponse::Failure::TooLarge:
        return tr("The update information is too large.");
    case HttpResponse::Failure::Cancelled:
        return tr("The update check was cancelled.");
    case HttpResponse::Failure::Timeout:
        return tr("The update server did not answer in time.");
    case HttpResponse::Failure::Network:
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

SoftwareUpdater::~SoftwareUpdater() = default;

QUrl SoftwareUpdater::defaultFeedURL()
{
    QString base = qEnvironmentVariable("PLOVERA_UPDATES_URL");
    if (base.isEmpty())
        base = QString::fromLatin1(MakerInfo::kWebsite);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return QUrl(base + QLatin1String(MakerInfo::kAppcastPath));
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

QCoro::Task<> SoftwareUpdater::runCheck()
{
    QPointer<SoftwareUpdater> self(this);
    const UpdateCheckOutcome outcome = co_await check(m_session, m_options);
    if (!self)
        co_return;
    if (!m_driver) {
        setCheckInProgress(false);
        co_return;
    }
    // A second check waits until the person has seen this one's outcome.
    m_driver->showOutcome(outcome, [self] {
        if (self)
            self->setCheckInProgress(false);
    });
}

QCoro::Task<UpdateCheckOutcome> SoftwareUpdater::check(std::shared_ptr<HttpSession> session, Options options)
{
    UpdateCheckOutcome outcome;
    outcome.currentVersion = options.currentVersion;
    const QString address = options.feedURL.toString(QUrl::FullyEncoded);
    auto failed = [&outcome, &address](const QString& reason) {
        Log::error(QStringLiteral("Update check failed: %1 (%2)").arg(reason, address));
        outcome.kind = UpdateCheckOutcome::Kind::Failed;
        outcome.failureReason = reason;
        return outcome;
    };

    const auto current = SoftwareVersion::parse(options.currentVersion);
    if (!current)
        co_return failed(tr("The running version (%1) cannot be compared.").arg(options.currentVersion));
    if (!session)
        co_return failed(tr("The update server could not be reached."));

    Log::info(QStringLiteral("GET %1").arg(address));
    const HttpResponse response =
        co_await session->get(options.feedURL, {}, options.maxFeedBytes, QDeadlineTimer(options.deadline));
    if (!response.isSuccess())
        co_return failed(transferProblem(response));

    const auto appcast = Appcast::parse(response.body);
    if (!appcast)
        co_return failed(appcast.error());
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

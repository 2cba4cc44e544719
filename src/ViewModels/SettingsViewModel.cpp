#include "ViewModels/SettingsViewModel.h"

#include "Services/Log.h"
#include "Services/MakerApps/DataService.h"
#include "Services/Support/EmailService.h"
#include "Services/Support/MailComposer.h"
#include "Services/Web/WebClient.h"
#include "models/MakerInfo.h"
#include "models/Utility.h"
#include "platform/LinkOpener.h"
#include "platform/PropertySetter.h"

#include <QLocale>
#include <QSysInfo>

// The sheet's disappear action; the log line names the view's body, as every
// other line names the function that writes it.
static void body()
{
    Log::info(QStringLiteral("SettingsView disappeared"));
}

SettingsViewModel::SettingsViewModel(QObject* parent)
    : SettingsViewModel(DataService(), parent)
{
}

SettingsViewModel::SettingsViewModel(DataService dataService, QObject* parent)
    : QObject(parent)
    , m_dataService(std::make_unique<DataService>(std::move(dataService)))
{
}

SettingsViewModel::~SettingsViewModel() = default; // m_fetch drops a list on its way

void SettingsViewModel::appeared()
{
    const LatestRequest::Ticket ticket = m_fetch.begin();
    m_dataService->getAppsData(DataService::defaultAppsListURL(), [this, ticket](QList<AppData::Application> apps) {
        // A list for an earlier showing, or for a sheet that has gone, is dropped;
        // a current ticket means this object is still there.
        if (ticket.isCurrent())
            setApps(std::move(apps));
    });
}

void SettingsViewModel::disappeared()
{
    m_fetch.cancel();
    body();
}

void SettingsViewModel::setApps(QList<AppData::Application> apps)
{
    assignAndNotify(this, m_apps, std::move(apps), &SettingsViewModel::appsChanged);
}

void SettingsViewModel::setShowToastEmailCompleted(bool show)
{
    assignAndNotify(this, m_showToastEmailCompleted, show, &SettingsViewModel::showToastEmailCompletedChanged);
}

void SettingsViewModel::setShowToastEmailError(bool show)
{
    assignAndNotify(this, m_showToastEmailError, show, &SettingsViewModel::showToastEmailErrorChanged);
}

QUrl SettingsViewModel::linkURL(int row) const
{
    return row >= 0 && row < m_apps.size() ? JsonFields::webAddress(m_apps.at(row).link) : QUrl();
}

void SettingsViewModel::openApp(int row) const
{
    const QUrl url = linkURL(row);
    if (!url.isEmpty())
        openLink(url);
}

void SettingsViewModel::sendSupportEmail()
{
    EmailService::shared();
    // A desktop without a mail program is told so, like every other failure,
    // instead of the button doing nothing.
    const std::optional<EmailService::EmailError> error = MailComposer::compose(
        QString::fromLatin1(MakerInfo::kSupportAddress), QStringLiteral("Support"), supportEmailBody());
    // Set, never flipped: a second outcome while its toast is up raises the
    // toast again instead of hiding the first.
    if (!error) {
        raiseFlag(&SettingsViewModel::setShowToastEmailCompleted, m_showToastEmailCompleted);
        return;
    }
    raiseFlag(&SettingsViewModel::setShowToastEmailError, m_showToastEmailError);
    Log::error(QStringLiteral("Error sending email: ") + EmailService::description(*error));
}

void SettingsViewModel::raiseFlag(void (SettingsViewModel::*setter)(bool), bool isOn)
{
    if (isOn)
        (this->*setter)(false);
    (this->*setter)(true);
}

QString SettingsViewModel::supportEmailBody()
{
    const QString system = QSysInfo::prettyProductName() + QStringLiteral("  Version ")
        + QSysInfo::productVersion() + QStringLiteral(" (Kernel ") + QSysInfo::kernelVersion()
        + QLatin1Char(')');
    return supportEmailBody(Utility::appNameAndVersion(), Utility::deviceModelIdentifier(), system,
                            QLocale::system().uiLanguages(), QLocale::system().name());
}

QString SettingsViewModel::supportEmailBody(const QString& appNameAndVersion, const QString& device,
                                            const QString& system, const QStringList& preferredLanguages,
                                            const QString& localeName)
{
    const QString language = preferredLanguages.isEmpty() ? localeName : preferredLanguages.first();
    return QStringLiteral("App: ") + appNameAndVersion + QStringLiteral("\nDevice: ") + device
        + QStringLiteral("\nOS: ") + system + QStringLiteral("\nLocale: ") + language;
}

#include "Services/Support/EmailService.h"

EmailService* EmailService::shared()
{
    // Never destroyed: it must outlive every window that touches it.
    static EmailService* const instance = new EmailService;
    return instance;
}

QString EmailService::description(EmailError error)
{
    switch (error) {
    case EmailError::emailNotAvailable:
        return QStringLiteral("no mail program is set up on this computer");
    case EmailError::noViewControllerAvailable:
        return QStringLiteral("no window is available to show the mail");
    case EmailError::cannotPerformEmail:
        return QStringLiteral("the mail program could not be opened with the message");
    }
    return {};
}

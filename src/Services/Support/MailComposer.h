#pragma once

#include "Services/Support/EmailService.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// Hands a message to the desktop's mail program as a mailto: address. The
// lookup of the program and the opening go through one seam, so tests can
// stand in for a desktop with no mail program, with one, or with one that
// will not open.
class MailComposer {
public:
    // "mailto:<recipient>?subject=...&body=..." with subject and body
    // percent-encoded (line breaks become %0A).
    static QUrl mailtoURL(const QString& recipient, const QString& subject, const QString& body);

    // Whether the desktop has a program for mailto: addresses. On Linux the
    // one that `xdg-mime query default x-scheme-handler/mailto` names.
    static bool hasMailProgram();

    // Nothing when the message reached the mail program; else why not.
    static std::optional<EmailService::EmailError> compose(const QString& recipient, const QString& subject,
                                                           const QString& body);

    struct Desktop {
        std::function<bool()> hasMailProgram;
        std::function<bool(const QUrl&)> open;
    };
    // Replaces the desktop; std::nullopt restores it.
    static void setDesktopForTesting(std::optional<Desktop> desktop);
};

#pragma once

#include <QObject>
#include <QString>

// The mail service. Its one instance exists from its first use to the end of
// the program; it has no operations of its own.
class EmailService : public QObject {
    Q_OBJECT
public:
    enum class EmailError {
        emailNotAvailable,         // the desktop has no program to write mail with
        noViewControllerAvailable, // nowhere to show the mail
        cannotPerformEmail,        // the mail program would not take the message
    };

    static EmailService* shared();

    // A short description of the error for the log.
    static QString description(EmailError error);

private:
    EmailService() = default;
};

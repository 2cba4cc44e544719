#include "Services/Support/MailComposer.h"

#include "platform/LinkOpener.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

std::optional<MailComposer::Desktop>& testDesktop()
{
    static std::optional<MailComposer::Desktop> desktop;
    return desktop;
}

bool desktopHasMailProgram()
{
#if defined(Q_OS_LINUX)
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return false;
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/mailto")});
    // A shell script that reads a few files; it answers at once or not at all.
    if (!query.waitForFinished(2000)) {
        query.kill();
        query.waitForFinished(500);
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0
        && !query.readAllStandardOutput().trimmed().isEmpty();
#else
    // Elsewhere the desktop only tells when asked to open the address.
    return true;
#endif
}

} // namespace

QUrl MailComposer::mailtoURL(const QString& recipient, const QString& subject, const QString& body)
{
    const QByteArray encoded = "mailto:" + QUrl::toPercentEncoding(recipient, "@") + "?subject="
        + QUrl::toPercentEncoding(subject) + "&body=" + QUrl::toPercentEncoding(body);
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

bool MailComposer::hasMailProgram()
{
    if (testDesktop())
        return testDesktop()->hasMailProgram();
    return desktopHasMailProgram();
}

std::optional<EmailService::EmailError> MailComposer::compose(const QString& recipient, const QString& subject,
                                                              const QString& body)
{
    if (!hasMailProgram())
        return EmailService::EmailError::emailNotAvailable;
    const QUrl url = mailtoURL(recipient, subject, body);
    const bool opened = testDesktop() ? testDesktop()->open(url) : openLink(url);
    if (!opened)
        return EmailService::EmailError::cannotPerformEmail;
    return std::nullopt;
}

void MailComposer::setDesktopForTesting(std::optional<Desktop> desktop)
{
    testDesktop() = std::move(desktop);
}

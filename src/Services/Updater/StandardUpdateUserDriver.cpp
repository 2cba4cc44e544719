#include "Services/Updater/UpdateUserDriver.h"

#include "platform/LinkOpener.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
QString tr(const char* source)
{
    return QCoreApplication::translate("StandardUpdateUserDriver", source);
}
} // namespace

void StandardUpdateUserDriver::showOutcome(const UpdateCheckOutcome& outcome, std::function<void()> acknowledged)
{
    QWidget* parent = QApplication::activeWindow();
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("UpdateCheckOutcome"));
    box->setWindowTitle(tr("Software Update"));
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);

    QPushButton* releasePageButton = nullptr;
    switch (outcome.kind) {
    case UpdateCheckOutcome::Kind::UpToDate:
        box->setIcon(QMessageBox::Information);
        box->setText(tr("You're up to date."));
        box->setInformativeText(tr("Plovera %1 is the newest version.").arg(outcome.currentVersion));
        box->addButton(QMessageBox::Ok);
        break;
    case UpdateCheckOutcome::Kind::UpdateAvailable:
        box->setIcon(QMessageBox::Information);
        box->setText(tr("A new version of Plovera is available."));
        box->setInformativeText(
            tr("Plovera %1 is available. You have %2.").arg(outcome.latestVersion, outcome.currentVersion));
        if (isOpenableLink(outcome.releasePage) && outcome.releasePage.scheme().startsWith(QLatin1String("http"))) {
            releasePageButton = box->addButton(tr("View Release Page"), QMessageBox::AcceptRole);
            box->addButton(tr("Not Now"), QMessageBox::RejectRole);
        } else {
            box->addButton(QMessageBox::Ok);
        }
        break;
    case UpdateCheckOutcome::Kind::Failed:
        box->setIcon(QMessageBox::Warning);
        box->setText(tr("The update check failed."));
        box->setInformativeText(outcome.failureReason);
        box->addButton(QMessageBox::Ok);
        break;
    }

    // Once, whether the box is answered or goes with its window unanswered:
    // otherwise the updater would wait for it for good.
    auto pending = std::make_shared<std::function<void()>>(std::move(acknowledged));
    auto acknowledgeOnce = [pending] {
        if (auto action = std::exchange(*pending, nullptr))
            action();
    };
    const QUrl page = outcome.releasePage;
    QObject::connect(box, &QMessageBox::finished, box, [box, releasePageButton, page, acknowledgeOnce] {
        if (releasePageButton && box->clickedButton() == releasePageButton)
            openLink(page);
        acknowledgeOnce();
    });
    QObject::connect(box, &QObject::destroyed, acknowledgeOnce);
    box->open();
}

#include "Services/Updater/UpdateUserDriver.h"

#include "platform/LinkOpener.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QString tr(const char* source)
{
    return QCoreApplication::translate("StandardUpdateUserDriver", source);
}
// A message box wraps its text into a narrow column of its own choosing;
// this widens it to carry each sentence on one line where the screen allows.
void fitBoxToText(QMessageBox* box)
{
    auto* grid = qobject_cast<QGridLayout*>(box->layout());
    if (!grid)
        return;
    const QFontMetrics metrics(box->font());
    int textWidth = 0;
    for (const QString& text : {box->text(), box->informativeText()})
        textWidth = std::max(textWidth, metrics.horizontalAdvance(text));
    const QScreen* screen = box->screen();
    const int limit = screen ? screen->availableGeometry().width() * 2 / 3 : 600;
    // Room beside the text for the icon column and the margins.
    const int width = std::min(textWidth + 120, limit);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}
// A version as the box shows it: whatever a feed names, it cannot widen the
// box or run out of it (a feed's version is bounded, but one word of digits
// does not wrap).
QString shownVersion(const QString& version, const QFontMetrics& metrics)
{
    return metrics.elidedText(version, Qt::ElideMiddle, metrics.horizontalAdvance(QString(24, QLatin1Char('0'))));
}
} // namespace

StandardUpdateUserDriver::~StandardUpdateUserDriver()
{
    dismissCheckInProgress();
}

void StandardUpdateUserDriver::showCheckInProgress(std::function<void()> cancel)
{
    dismissCheckInProgress();
    QWidget* parent = QApplication::activeWindow();
    auto* window = new QDialog(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QStringLiteral("CheckingForUpdates"));
    window->setWindowTitle(tr("Software Update"));
    window->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);

    auto* label = new QLabel(tr("Checking for updates\u2026"), window);
    auto* bar = new QProgressBar(window);
    bar->setRange(0, 0); // indeterminate: nothing says how long the server takes
    bar->setTextVisible(false);
    bar->setMinimumWidth(260);
    auto* cancelButton = new QPushButton(tr("Cancel"), window);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(window);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(label);
    layout->addWidget(bar);
    layout->addLayout(buttons);

    // The button, Escape and the window's close button all end the check.
    // Only the person's own close counts: a dismissal once the check is over
    // finds the action already spent.
    auto pending = std::make_shared<std::function<void()>>(std::move(cancel));
    QObject::connect(window, &QDialog::rejected, window, [pending] {
        if (auto action = std::exchange(*pending, nullptr))
            action();
    });
    QObject::connect(cancelButton, &QPushButton::clicked, window, &QDialog::reject);
    m_progress = window;
    m_pendingCancel = pending;
    window->open();
}

void StandardUpdateUserDriver::dismissCheckInProgress()
{
    if (auto pending = m_pendingCancel.lock())
        *pending = nullptr;
    if (QDialog* window = m_progress.data()) {
        m_progress = nullptr;
        window->close();
    }
}

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
        box->setInformativeText(
            tr("Plovera %1 is the newest version.").arg(shownVersion(outcome.currentVersion, box->fontMetrics())));
        box->addButton(QMessageBox::Ok);
        break;
    case UpdateCheckOutcome::Kind::UpdateAvailable:
        box->setIcon(QMessageBox::Information);
        box->setText(tr("A new version of Plovera is available."));
        box->setInformativeText(
            tr("Plovera %1 is available. You have %2.")
                .arg(shownVersion(outcome.latestVersion, box->fontMetrics()),
                     shownVersion(outcome.currentVersion, box->fontMetrics())));
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
    fitBoxToText(box);
    box->open();
}

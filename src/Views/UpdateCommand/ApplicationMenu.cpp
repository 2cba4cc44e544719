#include "Views/UpdateCommand/ApplicationMenu.h"

#include "Views/UpdateCommand/CheckForUpdatesView.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

namespace {
QString tr(const char* source)
{
    return QCoreApplication::translate("ApplicationMenu", source);
}

void showAbout(QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("AboutPlovera"));
    box->setWindowTitle(tr("About Plovera"));
    box->setText(tr("Plovera %1").arg(QCoreApplication::applicationVersion()));
    box->addButton(QMessageBox::Ok);
    box->open();
}
} // namespace

QMenu* installApplicationMenu(QMainWindow* window, SoftwareUpdater* updater)
{
    QMenu* menu = window->menuBar()->addMenu(tr("Plovera"));
    menu->setObjectName(QStringLiteral("ApplicationMenu"));

    QAction* about = menu->addAction(tr("About Plovera"));
    about->setMenuRole(QAction::AboutRole);
    QObject::connect(about, &QAction::triggered, window, [window] { showAbout(window); });

    menu->addAction(new CheckForUpdatesView(updater, menu));
    menu->addSeparator();

    QAction* quit = menu->addAction(tr("Quit"));
    quit->setMenuRole(QAction::QuitRole);
    quit->setShortcut(QKeySequence::Quit);
    QObject::connect(quit, &QAction::triggered, window, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    return menu;
}

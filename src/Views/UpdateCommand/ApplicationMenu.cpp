#include "Views/UpdateCommand/ApplicationMenu.h"

#include "Views/UpdateCommand/CheckForUpdatesView.h"
#include "platform/ApplicationEventRelay.h"

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
    // Ctrl+Q (Command-Q on the Mac) also where the desktop's key scheme has no
    // quit key of its own.
    const QList<QKeySequence> quitKeys = QKeySequence::keyBindings(QKeySequence::Quit);
    quit->setShortcuts(quitKeys.isEmpty() ? QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Q)} : quitKeys);
    // Ends the loop outright: quit() first asks every window to close, and the
    // onboarding sheet refuses every close but its own Continue.
    QObject::connect(quit, &QAction::triggered, window, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    // A sheet or alert blocks the window, and with it the menu bar's
    // shortcuts: each of the window's own windows carries Quit as well, so
    // that it ends the application from there (the sheet closes with it).
    QObject::connect(ApplicationEventRelay::instance(), &ApplicationEventRelay::windowDidBecomeKey, quit,
                     [window, quit](QWidget* key) {
                         if (key == window || key->actions().contains(quit))
                             return;
                         for (QWidget* owner = key->parentWidget(); owner; owner = owner->parentWidget()) {
                             if (owner == window) {
                                 key->addAction(quit);
                                 return;
                             }
                         }
                     });
    return menu;
}

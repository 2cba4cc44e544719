#pragma once

class QMainWindow;
class QMenu;
class SoftwareUpdater;

// Gives `window` a menu bar with the application menu: "About Plovera",
// "Check for Updates..." (driving `updater`) and "Quit". Returns the menu.
QMenu* installApplicationMenu(QMainWindow* window, SoftwareUpdater* updater);

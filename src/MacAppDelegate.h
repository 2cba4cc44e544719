#pragma once

#include <QObject>

class QApplication;

// The application's delegate: the process-wide set-up that belongs to the
// application rather than to a window, done once when the application object
// is made.
class MacAppDelegate : public QObject {
    Q_OBJECT
public:
    explicit MacAppDelegate(QObject* parent = nullptr);

    // Names the application (settings, window title, support texts) and
    // chooses the icon theme the symbols come from.
    void applicationWillFinishLaunching();
};

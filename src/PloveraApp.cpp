#include "PloveraApp.h"

#include <QApplication>
#include <QWidget>

int PloveraApp::run(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1280, 860);
    window.show();
    return app.exec();
}

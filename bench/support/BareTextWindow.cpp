// The fair yardstick for start-up: a bare Qt window of the application's
// default size that shows text the way a real window does (a menu bar, a
// label, a line edit and a 20-row list) and quits right after its first paint.
//
// Built a second time with PLOVERA_SAME_LIBRARIES, it is linked against every
// library the application links and loads the plugins the application has
// loaded by its first frame, the way it does: the floor of the application's
// own start-up, where the loader's work is the same.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

#ifdef PLOVERA_SAME_LIBRARIES
#include <QLibraryInfo>
#include <QPluginLoader>

#include <thread>
#endif

namespace {
class QuitAfterFirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, qApp, [] {
                std::fputs("first frame painted\n", stdout);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_painted = false;
};
} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
#ifdef PLOVERA_SAME_LIBRARIES
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath);
    // The workspace store's thread loads the SQLite driver; the window's
    // symbols load the icon engine.
    std::thread store([plugins] { QPluginLoader(plugins + QStringLiteral("/sqldrivers/libqsqlite.so")).load(); });
    QPluginLoader(plugins + QStringLiteral("/iconengines/libqsvgicon.so")).load();
#endif
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Quit"));
    window.menuBar()->addMenu(QStringLiteral("Help"))->addAction(QStringLiteral("About"));

    auto* content = new QWidget(&window);
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(new QLabel(QStringLiteral("Saved Apps — Übersicht, 日本語"), content));
    layout->addWidget(new QLineEdit(QStringLiteral("Search the App Store"), content));
    auto* list = new QListWidget(content);
    for (int row = 1; row <= 20; ++row)
        list->addItem(QStringLiteral("Row %1 · Größe Ωμέγα").arg(row));
    layout->addWidget(list, 1);
    window.setCentralWidget(content);

    window.resize(1280, 860);
    window.installEventFilter(new QuitAfterFirstPaint(&window));
    window.show();
    const int result = QApplication::exec();
#ifdef PLOVERA_SAME_LIBRARIES
    store.join();
#endif
    return result;
}

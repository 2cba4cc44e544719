#include "PloveraApp.h"

#include "Services/Log.h"
#include "MacAppDelegate.h"
#include "Services/Updater/StandardUpdaterController.h"
#include "Views/UpdateCommand/ApplicationMenu.h"
#include "Views/MainWindow/MainView.h"
#include "Views/MainWindow/StorefrontListModel.h"
#include "Views/Onboarding/OnboardingView.h"
#include "ViewModels/MainViewModel.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "platform/BlockedWindowClose.h"
#include "platform/RemoteImageCache.h"
#include "platform/TerminationSignals.h"
#include "Services/Settings/AppSettings.h"
#include "models/LocalizedString.h"
#include "toasts/values/ToastStringTable.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

Result<std::unique_ptr<PloveraApp>, QString> PloveraApp::create(Options options)
{
    using R = Result<std::unique_ptr<PloveraApp>, QString>;
    std::unique_ptr<PloveraApp> app(new PloveraApp);
    app->m_terminationSignals = std::make_unique<TerminationSignals>();
    // Quit's own road: the loop ends, and the destructor finishes the rest.
    connect(app->m_terminationSignals.get(), &TerminationSignals::received, app.get(),
            [] { QCoreApplication::exit(0); });
    app->m_imageCache = RemoteImageCache::makeShared();
    // Toast titles and buttons made from keys read this application's string
    // table, as its screens do.
    ToastStringTable::setLookup(localizedString);

    app->m_delegate = new MacAppDelegate(app.get());
    app->m_delegate->applicationWillFinishLaunching();

    connect(AppSettings::shared(), &AppSettings::isFirstTimeChanged, app.get(), [raw = app.get()] {
        // Queued: the onboarding that wrote the flag is still on the stack.
        QTimer::singleShot(0, raw, [raw] { raw->updateWindowContent(); });
    });

    // The workspace opens and is read on a thread of its own while the window
    // is built, and the country menu's order is worked out on another; the
    // menu waits for it if it comes first.
    app->m_savedApps = SavedAppsViewModel::openInBackground(options.databasePath);
    app->m_storefrontSorter = std::thread([] { StorefrontListModel::codesByRegionName(); });

    // The updater is started now; it sends nothing until a check is asked for.
    app->m_updaterController = new StandardUpdaterController(true, app.get());

    app->m_window = new QMainWindow;
    app->m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    app->m_window->setWindowTitle(QStringLiteral("Plovera"));
    app->m_window->resize(kDefaultWidth, kDefaultHeight);
    installApplicationMenu(app->m_window, app->m_updaterController->updater());
    // The window's close control while a sheet is up ends the application,
    // as Quit does, instead of being dropped.
    connect(BlockedWindowClose::instance(), &BlockedWindowClose::closeRequested, app->m_window,
            [window = app->m_window](QWidget* closing) {
                if (closing == window)
                    QCoreApplication::exit(0);
            });
    app->updateWindowContent();
    if (options.waitForWorkspace) {
        if (const auto error = app->m_savedApps->waitUntilOpen())
            return R::failure(workspaceFailure(*error));
    }
    return R(std::move(app));
}

QString PloveraApp::workspaceFailure(const QString& reason)
{
    return QStringLiteral("Failed to initialize ModelContainer: ") + reason;
}

PloveraApp::~PloveraApp()
{
    delete m_window;
    // The views that asked the icon cache for images are gone with the
    // window; its network manager's thread stops now, not as a child of the
    // Qt application object after that has let go of its events.
    m_imageCache.reset();
    if (m_storefrontSorter.joinable())
        m_storefrontSorter.join();
    // The store then runs the writes still queued and closes (m_savedApps).
}

MainView* PloveraApp::mainView() const
{
    return m_mainView;
}

OnboardingView* PloveraApp::onboardingView() const
{
    return m_onboarding;
}

bool PloveraApp::isFirstTime() const
{
    return AppSettings::shared()->isFirstTime();
}

void PloveraApp::updateWindowContent()
{
    if (!m_window)
        return;
    if (isFirstTime()) {
        if (m_onboarding)
            return;
        m_onboarding = new OnboardingView(
            defaultOnboardingFeatures(),
            Binding<bool>::of(AppSettings::shared(), &AppSettings::isFirstTime, &AppSettings::setIsFirstTime), QColor());
        m_window->setCentralWidget(m_onboarding);
        return;
    }
    if (m_mainView)
        return;
    // The onboarding goes for good once the flag is cleared.
    if (QWidget* old = m_window->takeCentralWidget())
        old->deleteLater();
    m_mainView = new MainView(new MainViewModel(m_savedApps.get(), AppSearchService()));
    m_window->setCentralWidget(m_mainView);
    if (m_window->isVisible())
        m_mainView->show();
}

namespace {
void reportStartFailure(const QString& message)
{
    Log::error(message);
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        QMessageBox::critical(nullptr, QStringLiteral("Plovera"), message);
}
} // namespace

int PloveraApp::run(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The window shows while the workspace opens; a workspace that cannot be
    // opened still stops the program, before anything could be saved.
    Options options;
    options.waitForWorkspace = false;
    auto app = create(options);
    if (!app) {
        reportStartFailure(app.error());
        return 1;
    }
    QMainWindow* window = app.value()->window();
    connect(app.value()->savedApps(), &SavedAppsViewModel::openFailed, window, [window](const QString& reason) {
        window->hide();
        reportStartFailure(workspaceFailure(reason));
        QCoreApplication::exit(1);
    });
    if (qEnvironmentVariableIsSet("PLOVERA_QUIT_AFTER_FIRST_PAINT"))
        quitAfterFirstPaint(window);
    window->show();
    return QApplication::exec();
}

namespace {
// Ends the program once the window's first frame has been painted, for timing
// start-up from outside. Saved apps already read are in that frame; a larger
// workspace still being read fills the sidebar's blank list later, and nothing
// else in the window moves when it does.
class FirstPaintQuitter : public QObject {
public:
    explicit FirstPaintQuitter(QWidget* window)
        : QObject(window)
        , m_window(window)
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_done && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window() == m_window) {
            m_done = true;
            // After the paint has gone through, so the whole frame is counted;
            // the line tells a timing parent the frame is out, before the exit.
            // The loop ends outright, as Quit does: quit() would first ask the
            // window to close, and the onboarding of a first run refuses.
            QTimer::singleShot(0, qApp, [] {
                std::fputs("first frame painted\n", stdout);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_window;
    bool m_done = false;
};
} // namespace

void PloveraApp::quitAfterFirstPaint(QWidget* window)
{
    new FirstPaintQuitter(window);
}

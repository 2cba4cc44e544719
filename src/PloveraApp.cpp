#include "PloveraApp.h"

#include "Services/Log.h"
#include "MacAppDelegate.h"
#include "Services/Updater/StandardUpdaterController.h"
#include "Views/ApplicationMenu.h"
#include "Views/MainView.h"
#include "Views/OnboardingView.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "models/SettingsKeys.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

Result<std::unique_ptr<PloveraApp>, QString> PloveraApp::create(Options options)
{
    using R = Result<std::unique_ptr<PloveraApp>, QString>;
    std::unique_ptr<PloveraApp> app(new PloveraApp);

    app->m_delegate = new MacAppDelegate(app.get());
    app->m_delegate->applicationWillFinishLaunching();

    UserDefaults* settings = UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName));
    connect(settings, &UserDefaults::valueChanged, app.get(), [raw = app.get()](const QString& key) {
        // Queued: the onboarding that wrote the flag is still on the stack.
        if (key == QLatin1String(kIsFirstTimeKey))
            QTimer::singleShot(0, raw, [raw] { raw->updateWindowContent(); });
    });

    auto savedApps = SavedAppsViewModel::create(options.databasePath);
    if (!savedApps)
        return R::failure(QStringLiteral("Failed to initialize ModelContainer: ") + savedApps.error());
    app->m_savedApps = std::move(savedApps.value());

    // The updater is started now; it sends nothing until a check is asked for.
    app->m_updaterController = new StandardUpdaterController(true, app.get());

    app->m_window = new QMainWindow;
    app->m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    app->m_window->setWindowTitle(QStringLiteral("Plovera"));
    app->m_window->resize(kDefaultWidth, kDefaultHeight);
    installApplicationMenu(app->m_window, app->m_updaterController->updater());
    app->updateWindowContent();
    return R(std::move(app));
}

PloveraApp::~PloveraApp()
{
    delete m_window;
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
    return UserDefaults::suite(QString::fromLatin1(kSettingsSuiteName))->boolValue(QString::fromLatin1(kIsFirstTimeKey), true);
}

void PloveraApp::updateWindowContent()
{
    if (!m_window)
        return;
    if (isFirstTime()) {
        if (m_onboarding)
            return;
        m_onboarding = new OnboardingView(defaultOnboardingFeatures(), QColor());
        m_window->setCentralWidget(m_onboarding);
        return;
    }
    if (m_mainView)
        return;
    // The onboarding goes for good once the flag is cleared.
    if (QWidget* old = m_window->takeCentralWidget())
        old->deleteLater();
    m_mainView = new MainView(m_savedApps.get(), AppSearchService());
    m_window->setCentralWidget(m_mainView);
    if (m_window->isVisible())
        m_mainView->show();
}

int PloveraApp::run(int argc, char* argv[])
{
    QApplication application(argc, argv);
    auto app = create();
    if (!app) {
        const QString message = app.error();
        Log::error(message);
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QMessageBox::critical(nullptr, QStringLiteral("Plovera"), message);
        return 1;
    }
    app.value()->window()->show();
    return QApplication::exec();
}

#pragma once

#include "Services/Catalogue/AppSearchService.h"
#include "platform/Result.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <thread>
#include <optional>

class MacAppDelegate;
class MainView;
class OnboardingView;
class QMainWindow;
class QWidget;
class RemoteImageCache;
class SavedAppsViewModel;
class StandardUpdaterController;
class TerminationSignals;

// The application object: makes the delegate, binds the first-launch flag,
// owns the one workspace view model for the life of the application and the
// one window, which shows the onboarding until it is done, then MainView.
//
// Everything that runs a thread (the workspace store, the icon cache's network
// manager, the storefront sorter) belongs to this object and is ended in its
// destructor, while the Qt application object is still there. SIGTERM, SIGINT
// and SIGHUP end the event loop as Quit does, so queued writes still finish.
class PloveraApp : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 1280;
    static constexpr int kDefaultHeight = 860;

    struct Options {
        std::optional<QString> databasePath; // the user's data folder when absent
        // create() waits for the workspace to open, so that its failure comes
        // back from create(). The program does not: it builds and shows its
        // window meanwhile, and stops when the workspace fails (workspaceFailed).
        bool waitForWorkspace = true;
    };

    // Fails with "Failed to initialize ModelContainer: " and the reason when
    // the workspace cannot be opened.
    static Result<std::unique_ptr<PloveraApp>, QString> create(Options options);
    static Result<std::unique_ptr<PloveraApp>, QString> create() { return create(Options()); }
    static QString workspaceFailure(const QString& reason);
    ~PloveraApp() override;

    // Runs the whole program: the entry point hands over to this. With
    // PLOVERA_QUIT_AFTER_FIRST_PAINT set it quits once the window's first
    // complete frame is painted.
    static int run(int argc, char* argv[]);
    // Quits the application right after `window` is first painted; saved apps
    // still being read arrive after that frame.
    static void quitAfterFirstPaint(QWidget* window);

    QMainWindow* window() const { return m_window; }
    bool isFirstTime() const;
    SavedAppsViewModel* savedApps() const { return m_savedApps.get(); }
    MainView* mainView() const;
    OnboardingView* onboardingView() const;
    StandardUpdaterController* updaterController() const { return m_updaterController; }

private:
    PloveraApp() = default;
    void updateWindowContent();

    // First in, last out: a signal during the shut-down finds the quit
    // already under way instead of cutting the store's last writes short.
    std::unique_ptr<TerminationSignals> m_terminationSignals;
    // Sorts the storefronts for the country menu while the window is built.
    std::thread m_storefrontSorter;
    std::unique_ptr<RemoteImageCache> m_imageCache;
    MacAppDelegate* m_delegate = nullptr;
    std::unique_ptr<SavedAppsViewModel> m_savedApps;
    QMainWindow* m_window = nullptr;
    QPointer<MainView> m_mainView;
    QPointer<OnboardingView> m_onboarding;
    StandardUpdaterController* m_updaterController = nullptr; // a child: lives as long as the application
};

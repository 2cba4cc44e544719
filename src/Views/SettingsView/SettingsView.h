#pragma once

#include "models/AppData.h"
#include "platform/SheetDialog.h"
#include "Services/DataService.h"
#include "Services/EmailService.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

class AdaptiveGridLayout;
class AppInfoSectionView;
class LinkRow;
class ProgressIndicator;
class QScrollArea;
class SettingsCard;

// The settings sheet of the main window: support actions, the maker's site
// and the maker's other apps. It edits and keeps nothing; every showing
// fetches the apps list again. Made anew for each presentation.
class SettingsView : public SheetDialog {
    Q_OBJECT
    Q_PROPERTY(bool showingAlert READ isShowingAlert WRITE setShowingAlert NOTIFY showingAlertChanged)
    Q_PROPERTY(bool showToastEmailCompleted READ showToastEmailCompleted WRITE setShowToastEmailCompleted NOTIFY
                   showToastEmailCompletedChanged)
    Q_PROPERTY(bool showToastEmailError READ showToastEmailError WRITE setShowToastEmailError NOTIFY
                   showToastEmailErrorChanged)

public:
    static constexpr int horizontalInset = 28;
    static constexpr int sectionSpacing = 24;
    static constexpr int cardCornerRadius = 24;
    static constexpr int appIconSize = 110;
    static constexpr int minimumCellWidth = 140;
    static constexpr int cellSpacing = 20;

    explicit SettingsView(QWidget* owner);
    ~SettingsView() override;

    const QList<AppData::Application>& apps() const { return m_apps; }

    bool isShowingAlert() const { return m_showingAlert; }
    void setShowingAlert(bool showing);
    bool showToastEmailCompleted() const { return m_showToastEmailCompleted; }
    void setShowToastEmailCompleted(bool show);
    bool showToastEmailError() const { return m_showToastEmailError; }
    void setShowToastEmailError(bool show);

    // The support actions.
    void openReviewPage();
    void sendSupportEmail();
    void openMakerWebsite();
    // The feedback mail's body: the app, the machine, the system and the
    // user's language, one per line.
    static QString supportEmailBody();
    // The same from given facts; an empty language list falls back to the locale.
    static QString supportEmailBody(const QString& appNameAndVersion, const QString& device, const QString& system,
                                    const QStringList& preferredLanguages, const QString& localeName);
    // The store's page for writing a review of this app.
    static QUrl reviewPageURL();

    // Parts of the page, for tests and the toasts placed over it.
    QList<SettingsCard*> sections() const { return m_sections; }
    QList<LinkRow*> supportRows() const { return m_supportRows; }
    LinkRow* makerRow() const { return m_makerRow; }
    ProgressIndicator* appsProgress() const { return m_progress; }
    QWidget* appsGrid() const { return m_grid; }
    AdaptiveGridLayout* appsGridLayout() const { return m_gridLayout; }
    QList<AppInfoSectionView*> appCells() const { return m_cells; }
    QScrollArea* scrollArea() const { return m_scroll; }
    // The Terms of Service alert while it is shown.
    QMessageBox* termsAlert() const { return m_alert; }

signals:
    void appsChanged();
    void showingAlertChanged(bool showing);
    void showToastEmailCompletedChanged(bool show);
    void showToastEmailErrorChanged(bool show);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildPage();
    SettingsCard* settingsSection(const QString& titleKey, QWidget* content);
    LinkRow* linkRow(const QString& systemImage, const QString& titleKey);
    QWidget* buildAppsGrid();
    void setApps(QList<AppData::Application> apps);
    // Turns a toast flag on, off first when it already is, so its toast is raised anew.
    void raiseFlag(void (SettingsView::*setter)(bool), bool isOn);
    void fetchApps();
    void applyColors();

    DataService m_dataService;
    QList<AppData::Application> m_apps;
    bool m_showingAlert = false;
    bool m_showToastEmailCompleted = false;
    bool m_showToastEmailError = false;
    // Identifies the showing a fetch belongs to; a hide makes every fetch stale.
    quint64 m_fetchTicket = 0;

    QScrollArea* m_scroll = nullptr;
    QWidget* m_page = nullptr;
    QList<SettingsCard*> m_sections;
    QList<LinkRow*> m_supportRows;
    LinkRow* m_makerRow = nullptr;
    QWidget* m_progressRow = nullptr;
    ProgressIndicator* m_progress = nullptr;
    QWidget* m_grid = nullptr;
    AdaptiveGridLayout* m_gridLayout = nullptr;
    QList<AppInfoSectionView*> m_cells;
    QPointer<QMessageBox> m_alert;
};

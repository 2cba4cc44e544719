#pragma once

#include "platform/SheetDialog.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>

class AppsGridView;
class AppsListModel;
class LinkRow;
class PageScrollArea;
class ProgressIndicator;
class SettingsCard;
class SettingsViewModel;

// The settings sheet of the main window: support actions, the maker's site
// and the maker's other apps. It edits and keeps nothing; every showing
// fetches the apps list again through its view model. Made anew for each
// presentation.
class SettingsView : public SheetDialog {
    Q_OBJECT
    Q_PROPERTY(bool showingAlert READ isShowingAlert WRITE setShowingAlert NOTIFY showingAlertChanged)

public:
    static constexpr int horizontalInset = 28;
    static constexpr int sectionSpacing = 24;
    static constexpr int cardCornerRadius = 24;
    static constexpr int appIconSize = 110;
    static constexpr int minimumCellWidth = 140;
    static constexpr int cellSpacing = 20;

    explicit SettingsView(QWidget* owner);
    ~SettingsView() override;

    SettingsViewModel* viewModel() const { return m_viewModel; }

    bool isShowingAlert() const { return m_showingAlert; }
    void setShowingAlert(bool showing);

    // The support actions that lead to the web.
    void openReviewPage();
    void openMakerWebsite();
    // The store's page for writing a review of this app.
    static QUrl reviewPageURL();

    // Parts of the page, for tests and the toasts placed over it.
    QList<SettingsCard*> sections() const { return m_sections; }
    QList<LinkRow*> supportRows() const { return m_supportRows; }
    LinkRow* makerRow() const { return m_makerRow; }
    ProgressIndicator* appsProgress() const { return m_progress; }
    AppsGridView* appsGrid() const { return m_grid; }
    AppsListModel* appsModel() const { return m_appsModel; }
    PageScrollArea* scrollArea() const { return m_scroll; }
    // The Terms of Service alert while it is shown.
    QMessageBox* termsAlert() const { return m_alert; }

signals:
    void showingAlertChanged(bool showing);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildPage();
    // `bleed`: see SettingsCard::addContent.
    SettingsCard* settingsSection(const QString& titleKey, QWidget* content, int bleed = 0);
    LinkRow* linkRow(const QString& systemImage, const QString& titleKey);
    QWidget* buildAppsGrid();
    void showApps();
    void applyColors();

    SettingsViewModel* m_viewModel;
    bool m_showingAlert = false;

    PageScrollArea* m_scroll = nullptr;
    QWidget* m_page = nullptr;
    QList<SettingsCard*> m_sections;
    QList<LinkRow*> m_supportRows;
    LinkRow* m_makerRow = nullptr;
    QWidget* m_progressRow = nullptr;
    ProgressIndicator* m_progress = nullptr;
    AppsListModel* m_appsModel = nullptr;
    AppsGridView* m_grid = nullptr;
    QPointer<QMessageBox> m_alert;
};

#pragma once

#include "models/AppData.h"
#include "platform/LatestRequest.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

class DataService;

// State of the settings sheet: the maker's apps, fetched anew for every
// showing, and the outcome of the feedback mail. Made with each sheet and
// gone with it; nothing is kept between showings.
class SettingsViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool showToastEmailCompleted READ showToastEmailCompleted WRITE setShowToastEmailCompleted NOTIFY
                   showToastEmailCompletedChanged)
    Q_PROPERTY(bool showToastEmailError READ showToastEmailError WRITE setShowToastEmailError NOTIFY
                   showToastEmailErrorChanged)
public:
    // With the client of the published list.
    explicit SettingsViewModel(QObject* parent = nullptr);
    explicit SettingsViewModel(DataService dataService, QObject* parent = nullptr);
    ~SettingsViewModel() override;

    // The maker's apps in the order of the published list; empty until one arrives.
    const QList<AppData::Application>& apps() const { return m_apps; }

    bool showToastEmailCompleted() const { return m_showToastEmailCompleted; }
    void setShowToastEmailCompleted(bool show);
    bool showToastEmailError() const { return m_showToastEmailError; }
    void setShowToastEmailError(bool show);

    // The sheet came on screen: the list is asked for again and replaces
    // what was there when it arrives.
    void appeared();
    // The sheet left the screen: a list still on its way is dropped.
    void disappeared();

    // Hands the feedback mail to the desktop's mail program and raises the
    // toast of its outcome; a failure is logged.
    void sendSupportEmail();
    // The feedback mail's body: the app, the machine, the system and the
    // user's language, one per line.
    static QString supportEmailBody();
    // The same from given facts; an empty language list falls back to the locale.
    static QString supportEmailBody(const QString& appNameAndVersion, const QString& device, const QString& system,
                                    const QStringList& preferredLanguages, const QString& localeName);

    // The address the app at `row` opens: its link when that is a web
    // address, else empty (the cell is inert). The list comes from the
    // network, so nothing else is ever opened.
    QUrl linkURL(int row) const;
    // Opens linkURL(row) when there is one.
    void openApp(int row) const;

signals:
    void appsChanged();
    void showToastEmailCompletedChanged();
    void showToastEmailErrorChanged();

private:
    void setApps(QList<AppData::Application> apps);
    // Turns a toast flag on, off first when it already is, so its toast is raised anew.
    void raiseFlag(void (SettingsViewModel::*setter)(bool), bool isOn);

    std::unique_ptr<DataService> m_dataService;
    QList<AppData::Application> m_apps;
    bool m_showToastEmailCompleted = false;
    bool m_showToastEmailError = false;
    LatestRequest m_fetch; // the showing a list belongs to
};

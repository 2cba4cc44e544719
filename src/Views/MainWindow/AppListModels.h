#pragma once

#include "models/AppInfo.h"
#include "models/SavedAppProfile.h"
#include "ViewModels/MainViewModel.h"
#include "Views/Shared/KeyedListModel.h"

#include <QPointer>

class AppSearchViewModel;
class SavedAppsViewModel;

// Roles the app lists share; the display role is the app's name and the
// decoration role its icon (a QImage once downloaded).
namespace AppListRole {
enum : int {
    Key = Qt::UserRole + 1,
    Developer,
    AddState, // MainViewModel::AddState, search results only
    Storefront,
    IconPhase, // RemoteImageView::Phase of the decoration
};
}

// The saved apps of the workspace, row for row as SavedAppsViewModel lists
// them. The rows are read from its list rather than copied: a copy of a large
// workspace would cost the GUI thread a pass over every app whenever one is
// added. The model follows each added, refreshed or removed row as it is told.
class SavedAppsListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit SavedAppsListModel(SavedAppsViewModel* savedApps, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_count; }
    QVariant data(const QModelIndex& index, int role) const override;
    int rowOfKey(const QString& key) const;

private:
    void reload();

    QPointer<SavedAppsViewModel> m_savedApps;
    // The rows announced so far; the view model's list may be a row ahead
    // while a change is being announced.
    int m_count = 0;
    // The last change came row by row; the whole list need not be announced.
    bool m_followed = false;
    mutable IconLoadStates m_icons;
};

// The results of the latest search with whether each can still be added.
class SearchResultsModel : public KeyedListModel<AppInfo> {
    Q_OBJECT
public:
    explicit SearchResultsModel(MainViewModel* main, QObject* parent = nullptr);
    QVariant data(const QModelIndex& index, int role) const override;
    MainViewModel::AddState addState(int row) const;
    // What a row's add button says in each state; also the row's accessible description.
    static QString addStateText(MainViewModel::AddState state);

private:
    QString keyOf(const AppInfo& app) const override;
    void reload();
    void refreshStates();

    QPointer<MainViewModel> m_main;
    QList<MainViewModel::AddState> m_states;
};

#pragma once

#include "models/AppData.h"
#include "Views/Shared/IconLoadStates.h"

#include <QAbstractListModel>
#include <QImage>
#include <QList>
#include <QUrl>

// The maker's apps as the settings grid shows them: the display role is the
// app's name, the decoration role its icon once downloaded. Icons are asked
// for only when a cell asks for its decoration, so a long list downloads only
// what is drawn.
class AppsListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit AppsListModel(QObject* parent = nullptr);

    // Replaces every row: a new list is a new page of cells.
    void setApps(const QList<AppData::Application>& apps);
    const QList<AppData::Application>& apps() const { return m_apps; }

    // The icon's address when it is a web address, else empty (a placeholder shows).
    QUrl iconURL(int row) const;
    // The downloaded icon of `row`; a null image until it has arrived, and for good
    // when it cannot be had. Starts the download on first asking.
    QImage icon(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QList<AppData::Application> m_apps;
    mutable IconLoadStates m_icons;
};

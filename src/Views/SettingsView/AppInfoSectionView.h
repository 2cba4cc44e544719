#pragma once

#include "models/AppData.h"

#include <QAbstractButton>
#include <QUrl>

class QLabel;
class RemoteImageView;

// One cell of the maker's apps: the app's icon over its name. A click opens
// the app's link. The list comes from the network, so only web links are
// opened and only web icons are loaded; anything else leaves the cell inert
// or its icon a placeholder.
class AppInfoSectionView : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kIconCornerRadius = 20;

    AppInfoSectionView(const AppData::Application& app, int iconSize, QWidget* parent = nullptr);

    const AppData::Application& app() const { return m_app; }
    void setApp(const AppData::Application& app);

    // The address a click opens; empty when the link is not a web address.
    QUrl linkURL() const;
    // The address the icon is loaded from; empty when it is not a web address.
    QUrl iconURL() const;
    QLabel* nameLabel() const { return m_name; }
    RemoteImageView* iconView() const { return m_icon; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void open();
    void applyNameColor();

    AppData::Application m_app;
    RemoteImageView* m_icon;
    QLabel* m_name;
};

#pragma once

#include <QComboBox>

// A menu of countries, each with its flag. Its popup is as wide as the
// longest name with its flag, however narrow the closed menu, and lays its
// rows out at one height instead of measuring each of them. Closed, it shows
// the chosen name whole where it fits, else cut with "…".
class CountryComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    // The width the open menu takes: every name whole beside its flag.
    int popupWidthHint() const;

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

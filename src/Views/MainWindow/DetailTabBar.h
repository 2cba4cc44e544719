#pragma once

#include <QTabBar>

// The detail area's tabs. Keyboard focus shows as the accent ring around the
// current tab, the look every control has; the style's own focus mark, which
// it would draw after a click too, is left out.
class DetailTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit DetailTabBar(QWidget* parent = nullptr);

    // The ring around the current tab is on show.
    bool showsFocusRing() const;

protected:
    void initStyleOption(QStyleOptionTab* option, int tabIndex) const override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_keyboardFocus = false;
};

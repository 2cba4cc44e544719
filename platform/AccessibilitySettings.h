#pragma once

#include <QObject>

#include <optional>

// The user's wish for less motion and less transparency. Read from the
// desktop where it says (KDE's animation speed of 0, GTK's animations switched
// off, or PLOVERA_REDUCE_MOTION / PLOVERA_REDUCE_TRANSPARENCY set to 1), and
// overridable, which tests use. Main thread only.
class AccessibilitySettings : public QObject {
    Q_OBJECT
public:
    static AccessibilitySettings* instance();

    bool reduceMotion() const;
    bool reduceTransparency() const;

    // An override wins over the desktop until cleared with std::nullopt.
    void setReduceMotionOverride(std::optional<bool> value);
    void setReduceTransparencyOverride(std::optional<bool> value);

    // What the desktop says, read afresh.
    static bool desktopReducesMotion();
    static bool desktopReducesTransparency();

signals:
    void changed();

private:
    explicit AccessibilitySettings(QObject* parent);

    std::optional<bool> m_reduceMotion;
    std::optional<bool> m_reduceTransparency;
};

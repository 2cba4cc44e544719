#pragma once

#include "platform/SemanticColors.h"

#include <QObject>

#include <functional>
#include <optional>

class QWidget;

// Calls a widget's colour routine now and again whenever the colour scheme it
// is drawn in changes: a new application or window palette, a desktop theme
// change, or the test override. The routine runs only when the scheme really
// differs from the one it last ran for, so it may set palettes and style
// sheets on the widget without calling itself again.
class ColorSchemeWatcher : public QObject {
    Q_OBJECT
public:
    using Apply = std::function<void(ColorScheme)>;

    ColorSchemeWatcher(QWidget* target, Apply apply);

    ColorScheme scheme() const;
    // Runs the routine if the scheme differs from the last one it ran for.
    void recheck();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_target;
    Apply m_apply;
    std::optional<ColorScheme> m_applied;
    bool m_applying = false;
    bool m_recheckQueued = false;
};

// Attaches a watcher to `target` (owned by it) and runs `apply` once at once.
ColorSchemeWatcher* onColorSchemeChange(QWidget* target, ColorSchemeWatcher::Apply apply);

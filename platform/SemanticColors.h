#pragma once

#include <QColor>
#include <QObject>

#include <optional>

class QWidget;

enum class ColorScheme { Light, Dark };

// Whether a widget is drawn in the dark scheme: a test override when one is
// set, else the lightness of the widget's (or the application's) window colour.
bool isDarkScheme(const QWidget* widget = nullptr);
ColorScheme colorScheme(const QWidget* widget = nullptr);

// A process-wide override so that tests can render either scheme on any desktop.
void setColorSchemeOverride(std::optional<ColorScheme> scheme);
std::optional<ColorScheme> colorSchemeOverride();

// Tells views that the override changed; palette changes reach them as
// ordinary palette-change events.
class ColorSchemeNotifier : public QObject {
    Q_OBJECT
public:
    static ColorSchemeNotifier* instance();

signals:
    void schemeOverrideChanged();

private:
    ColorSchemeNotifier() = default;
};

// The desktop's semantic colours in their light and dark values.
namespace SemanticColors {
QColor accent(ColorScheme scheme);
QColor primary(ColorScheme scheme);
QColor secondary(ColorScheme scheme);
QColor tertiary(ColorScheme scheme);
QColor windowBackground(ColorScheme scheme);
QColor controlBackground(ColorScheme scheme);
QColor separator(ColorScheme scheme);
// A faint fill for placeholders and wells.
QColor secondaryFill(ColorScheme scheme);

QColor blue(ColorScheme scheme);
QColor yellow(ColorScheme scheme);
QColor green(ColorScheme scheme);
QColor orange(ColorScheme scheme);
QColor red(ColorScheme scheme);
QColor gray(ColorScheme scheme);
} // namespace SemanticColors

// The colour as a style-sheet value, "rgba(r, g, b, a)", alpha included.
QString styleSheetColor(const QColor& color);

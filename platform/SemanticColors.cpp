#include "platform/SemanticColors.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace {
std::optional<ColorScheme>& overrideSlot()
{
    static std::optional<ColorScheme> slot;
    return slot;
}

bool dark(ColorScheme scheme) { return scheme == ColorScheme::Dark; }

QColor pick(ColorScheme scheme, QColor light, QColor darkValue)
{
    return dark(scheme) ? darkValue : light;
}

QColor withAlpha(int red, int green, int blue, qreal alpha)
{
    QColor color(red, green, blue);
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}
} // namespace

ColorSchemeNotifier* ColorSchemeNotifier::instance()
{
    static auto* notifier = new ColorSchemeNotifier;
    return notifier;
}

void setColorSchemeOverride(std::optional<ColorScheme> scheme)
{
    if (overrideSlot() == scheme)
        return;
    overrideSlot() = scheme;
    emit ColorSchemeNotifier::instance()->schemeOverrideChanged();
}

std::optional<ColorScheme> colorSchemeOverride() { return overrideSlot(); }

bool isDarkScheme(const QWidget* widget)
{
    if (const auto forced = overrideSlot())
        return *forced == ColorScheme::Dark;
    // The window decides: styled children (a transparent list, say) carry
    // palettes that say nothing about the scheme.
    const QPalette palette = widget ? widget->window()->palette() : QApplication::palette();
    return palette.color(QPalette::Window).lightness() < 128;
}

ColorScheme colorScheme(const QWidget* widget)
{
    return isDarkScheme(widget) ? ColorScheme::Dark : ColorScheme::Light;
}

namespace SemanticColors {
QColor accent(ColorScheme scheme) { return blue(scheme); }

QColor primary(ColorScheme scheme)
{
    return dark(scheme) ? withAlpha(255, 255, 255, 0.85) : withAlpha(0, 0, 0, 0.85);
}

QColor secondary(ColorScheme scheme)
{
    return dark(scheme) ? withAlpha(255, 255, 255, 0.55) : withAlpha(0, 0, 0, 0.50);
}

QColor tertiary(ColorScheme scheme)
{
    return dark(scheme) ? withAlpha(255, 255, 255, 0.25) : withAlpha(0, 0, 0, 0.26);
}

QColor windowBackground(ColorScheme scheme)
{
    return pick(scheme, QColor(236, 236, 236), QColor(50, 50, 50));
}

QColor controlBackground(ColorScheme scheme)
{
    return pick(scheme, QColor(255, 255, 255), QColor(30, 30, 30));
}

QColor separator(ColorScheme scheme)
{
    return dark(scheme) ? withAlpha(255, 255, 255, 0.10) : withAlpha(0, 0, 0, 0.10);
}

QColor secondaryFill(ColorScheme scheme)
{
    return dark(scheme) ? withAlpha(255, 255, 255, 0.10) : withAlpha(0, 0, 0, 0.08);
}

QColor blue(ColorScheme scheme) { return pick(scheme, QColor(0, 122, 255), QColor(10, 132, 255)); }
QColor yellow(ColorScheme scheme) { return pick(scheme, QColor(255, 204, 0), QColor(255, 214, 10)); }
QColor green(ColorScheme scheme) { return pick(scheme, QColor(40, 205, 65), QColor(50, 215, 75)); }
QColor orange(ColorScheme scheme) { return pick(scheme, QColor(255, 149, 0), QColor(255, 159, 10)); }
QColor red(ColorScheme scheme) { return pick(scheme, QColor(255, 59, 48), QColor(255, 69, 58)); }
QColor gray(ColorScheme scheme) { return pick(scheme, QColor(142, 142, 147), QColor(152, 152, 157)); }
} // namespace SemanticColors

QString styleSheetColor(const QColor& color)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

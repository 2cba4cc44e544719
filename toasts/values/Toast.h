#pragma once

#include "toasts/values/ToastConfiguration.h"
#include "toasts/values/ToastImageResource.h"
#include "toasts/values/ToastStringResource.h"

#include <QString>

#include <optional>

// A transient notice: what it shows, its role and its duration. A plain value
// whose content is shared by its copies; its look is decided where it is
// displayed, by the style in that place's environment (for a scheduled toast,
// the style captured when it was scheduled).
struct Toast {
    ToastConfiguration configuration;

    Toast() = default;
    explicit Toast(ToastConfiguration configuration)
        : configuration(std::move(configuration))
    {
    }

    // A title shown verbatim.
    static Toast verbatim(const QString& title, ToastRole role, ToastDuration duration);
    // A title made from a key looked up in the application's string table
    // (ToastStringTable), the key itself where it has no text.
    static Toast localized(const char* key, ToastRole role, ToastDuration duration);
    static Toast localized(const ToastStringResource& title, ToastRole role, ToastDuration duration);

    // Labels: a title (verbatim, a key looked up as above, or a string
    // resource) with an icon: a system symbol, an image named in the
    // application's resources, or an image resource. A missing image leaves
    // the title on its own.
    static Toast withSymbol(const QString& title, const QString& symbol, ToastRole role, ToastDuration duration);
    static Toast localizedWithSymbol(const char* key, const QString& symbol, ToastRole role, ToastDuration duration);
    static Toast withSymbol(
        const ToastStringResource& title, const QString& symbol, ToastRole role, ToastDuration duration);
    static Toast withImage(const QString& title, const QString& image, ToastRole role, ToastDuration duration);
    static Toast localizedWithImage(const char* key, const QString& image, ToastRole role, ToastDuration duration);
    static Toast withImage(
        const ToastStringResource& title, const QString& image, ToastRole role, ToastDuration duration);
    static Toast withImage(
        const QString& title, const ToastImageResource& image, ToastRole role, ToastDuration duration);
    static Toast localizedWithImage(
        const char* key, const ToastImageResource& image, ToastRole role, ToastDuration duration);
    static Toast withImage(
        const ToastStringResource& title, const ToastImageResource& image, ToastRole role, ToastDuration duration);

    // A label whose icon is an indeterminate progress indicator beside the
    // title, shown verbatim.
    static Toast withProgressIndicator(const QString& title, ToastRole role, ToastDuration duration);

    static Toast labeledContent(const QString& title, const QString& subtitle, ToastRole role, ToastDuration duration);
    // Widgets of the caller's own, built by the host each time it shows the toast.
    static Toast custom(ToastRole role, ToastDuration duration, ToastContent::Factory factory);
};

// Composes an optional toast from conditional code: the last component of a
// block wins, even when it is empty; a false condition gives an empty one.
namespace ToastBuilder {
using IntermediateResult = std::optional<Toast>;
inline IntermediateResult buildExpression(Toast toast)
{
    return toast;
}
inline IntermediateResult buildOptional(const std::optional<IntermediateResult>& component)
{
    return component ? *component : std::nullopt;
}
inline IntermediateResult buildBlock(std::initializer_list<IntermediateResult> components)
{
    return components.size() ? *(components.end() - 1) : std::nullopt;
}
inline std::optional<Toast> buildFinalResult(IntermediateResult result)
{
    return result;
}
} // namespace ToastBuilder

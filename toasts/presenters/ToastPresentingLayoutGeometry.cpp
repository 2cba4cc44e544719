#include "toasts/presenters/ToastPresentingLayoutGeometry.h"

size_t qHash(const ToastPresentingLayoutGeometry& geometry, size_t seed)
{
    for (const QRectF& rect : {geometry.frame, geometry.windowFrame}) {
        const QRectF r = rect.normalized();
        for (double v : {r.x(), r.y(), r.width(), r.height()})
            seed = qHashMulti(seed, v == 0 ? 0.0 : v); // -0 hashes as 0
    }
    return seed;
}

const EnvironmentKey<std::optional<ToastPresentingLayoutGeometry>>& ToastPresentingLayoutGeometryEnvironmentKey::key()
{
    static const EnvironmentKey<std::optional<ToastPresentingLayoutGeometry>> key{
        "toastPresentingLayoutGeometry", [] { return std::optional<ToastPresentingLayoutGeometry>(); }};
    return key;
}

void ToastPresentingLayoutGeometryPreferenceKey::reduce(
    std::optional<ToastPresentingLayoutGeometry>& value, const std::optional<ToastPresentingLayoutGeometry>& next)
{
    if (!value)
        value = next;
}

const PreferenceKey<std::optional<ToastPresentingLayoutGeometry>>& ToastPresentingLayoutGeometryPreferenceKey::key()
{
    static const PreferenceKey<std::optional<ToastPresentingLayoutGeometry>> key{
        "toastPresentingLayoutGeometry", [] { return std::optional<ToastPresentingLayoutGeometry>(); }, &reduce};
    return key;
}

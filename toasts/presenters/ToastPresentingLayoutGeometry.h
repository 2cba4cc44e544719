#pragma once

#include "platform/Environment.h"
#include "platform/Preference.h"

#include <QHashFunctions>
#include <QRectF>

#include <optional>

// Where an in-layout presenter sits: its frame in global coordinates and
// its window's frame. Rectangles compare exactly.
struct ToastPresentingLayoutGeometry {
    QRectF frame;
    QRectF windowFrame;

    friend bool operator==(const ToastPresentingLayoutGeometry& a, const ToastPresentingLayoutGeometry& b)
    {
        auto same = [](const QRectF& x, const QRectF& y) {
            return x.x() == y.x() && x.y() == y.y() && x.width() == y.width() && x.height() == y.height();
        };
        return same(a.frame, b.frame) && same(a.windowFrame, b.windowFrame);
    }
};

size_t qHash(const ToastPresentingLayoutGeometry& geometry, size_t seed = 0);

struct ToastPresentingLayoutGeometryEnvironmentKey {
    static const EnvironmentKey<std::optional<ToastPresentingLayoutGeometry>>& key();
};

// Reported up by in-layout presenters; the first present geometry wins.
struct ToastPresentingLayoutGeometryPreferenceKey {
    static const PreferenceKey<std::optional<ToastPresentingLayoutGeometry>>& key();
    static void reduce(std::optional<ToastPresentingLayoutGeometry>& value,
                       const std::optional<ToastPresentingLayoutGeometry>& next);
};

#include "toasts/animation/TransformInterpolation.h"

#include <algorithm>

namespace {
double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

bool sameKind(const TransformOperation& a, const TransformOperation& b)
{
    if (a.kind != b.kind)
        return false;
    return a.kind != TransformOperation::Kind::rotate || a.axes == b.axes;
}

TransformOperation blend(const TransformOperation& a, const TransformOperation& b, double t)
{
    if (a.kind == TransformOperation::Kind::rotate)
        return TransformOperation::rotate(Angle::fromRadians(lerp(a.angle.radians, b.angle.radians, t)), a.axes);
    TransformOperation result = a;
    result.x = lerp(a.x, b.x, t);
    result.y = lerp(a.y, b.y, t);
    result.z = lerp(a.z, b.z, t);
    return result;
}

TransformOperations blendAll(const TransformOperations& from, const TransformOperations& to, double t)
{
    TransformOperations result;
    result.reserve(from.size());
    for (size_t i = 0; i < from.size(); ++i)
        result.push_back(blend(from[i], to[i], t));
    return result;
}
} // namespace

TransformOperation identityLike(const TransformOperation& op)
{
    switch (op.kind) {
    case TransformOperation::Kind::scale:
        return TransformOperation::scale(1, 1, 1);
    case TransformOperation::Kind::translate:
        return TransformOperation::translate(0, 0, 0);
    case TransformOperation::Kind::rotate:
        return TransformOperation::rotate(Angle::fromRadians(0), op.axes);
    }
    return TransformOperation::translate(0, 0, 0);
}

TransformOperations interpolateTransform(const TransformOperations& from, const TransformOperations& to, double progress)
{
    TransformOperations a = from;
    TransformOperations b = to;
    while (a.size() < b.size())
        a.push_back(identityLike(b[a.size()]));
    while (b.size() < a.size())
        b.push_back(identityLike(a[b.size()]));
    bool matches = true;
    for (size_t i = 0; i < a.size() && matches; ++i)
        matches = sameKind(a[i], b[i]);
    if (matches)
        return blendAll(a, b, progress);

    TransformOperations chainedFrom = from;
    TransformOperations chainedTo;
    for (const TransformOperation& op : from)
        chainedTo.push_back(identityLike(op));
    for (const TransformOperation& op : to) {
        chainedFrom.push_back(identityLike(op));
        chainedTo.push_back(op);
    }
    return blendAll(chainedFrom, chainedTo, progress);
}

#pragma once

#include "toasts/animation/AnimatableProperty.h"

// The transform list a fraction `progress` of the way from `from` to `to`,
// interpolated operation by operation rather than matrix element by element,
// so that a half-turn stays a rotation instead of collapsing through a
// squashed matrix. The shorter list is padded with identity operations of the
// other list's kinds; when the kinds differ at some position, the lists are
// chained instead (`from` then the identity of `to`, against the identity of
// `from` then `to`), which meets both ends exactly. Progress past 0...1 (a
// spring's overshoot) extrapolates.
TransformOperations interpolateTransform(const TransformOperations& from, const TransformOperations& to, double progress);

// The operation that changes nothing, of the same kind (and axes) as `op`.
TransformOperation identityLike(const TransformOperation& op);

#pragma once

#include <utility>

// The body of a notifying property setter: assigns `value` to `field` and emits
// `changed` on `owner`, but only when the value really differs, so bound views
// never re-render for a no-op. Returns whether the value changed.
//
//     void setIsLoading(bool loading) { assignAndNotify(this, m_isLoading, loading, &Self::isLoadingChanged); }
template <typename Owner, typename Field, typename Value, typename Signal>
bool assignAndNotify(Owner* owner, Field& field, Value&& value, Signal changed)
{
    if (field == value)
        return false;
    field = std::forward<Value>(value);
    (owner->*changed)();
    return true;
}

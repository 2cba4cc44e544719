#pragma once

#include <type_traits>
#include <utility>
#include <variant>

// A value or the error that kept it from being made. Expected failures travel
// as these, never as exceptions across a suspension.
template <typename T, typename E>
class Result {
public:
    // Needed by awaiting helpers that construct the result before assigning it.
    Result()
        requires std::is_default_constructible_v<T>
    = default;
    Result(T value)
        : m_storage(std::in_place_index<0>, std::move(value))
    {
    }
    static Result failure(E error) { return Result(std::in_place_index<1>, std::move(error)); }

    bool hasValue() const { return m_storage.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    const T& value() const& { return std::get<0>(m_storage); }
    T& value() & { return std::get<0>(m_storage); }
    T&& value() && { return std::get<0>(std::move(m_storage)); }
    const E& error() const { return std::get<1>(m_storage); }

private:
    template <std::size_t I, typename V>
    Result(std::in_place_index_t<I> index, V&& v)
        : m_storage(index, std::forward<V>(v))
    {
    }
    std::variant<T, E> m_storage;
};

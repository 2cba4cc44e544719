#pragma once

#include "platform/Environment.h"

#include <QHashFunctions>
#include <QtGlobal>

// The family of device a presenter runs on, handed to the context selector
// and to transitions. This desktop is always 6.
class PlatformIdiom {
public:
    constexpr explicit PlatformIdiom(qint64 rawValue)
        : m_rawValue(rawValue)
    {
    }
    constexpr qint64 rawValue() const { return m_rawValue; }

    static constexpr PlatformIdiom current() { return desktop(); }
    static constexpr PlatformIdiom phone() { return PlatformIdiom(1); }
    static constexpr PlatformIdiom tablet() { return PlatformIdiom(2); }
    static constexpr PlatformIdiom television() { return PlatformIdiom(3); }
    static constexpr PlatformIdiom car() { return PlatformIdiom(4); }
    static constexpr PlatformIdiom watch() { return PlatformIdiom(5); }
    static constexpr PlatformIdiom desktop() { return PlatformIdiom(6); }
    static constexpr PlatformIdiom headset() { return PlatformIdiom(7); }
    static constexpr PlatformIdiom unspecified() { return PlatformIdiom(0); }

    friend constexpr bool operator==(PlatformIdiom a, PlatformIdiom b) { return a.m_rawValue == b.m_rawValue; }
    friend size_t qHash(PlatformIdiom idiom, size_t seed = 0) { return qHash(idiom.m_rawValue, seed); }

private:
    qint64 m_rawValue;
};

// The environment value `platformIdiom`; its default is the running platform's.
inline const EnvironmentKey<PlatformIdiom> platformIdiomEnvironmentKey{
    "platformIdiom", [] { return PlatformIdiom::current(); }};

#pragma once

#include "toasts/values/Edge.h"

#include <QHashFunctions>
#include <QString>

// Where a toast sits in its presenting area: the set of edges it is pinned
// to. An empty set centres it on both axes.
class ToastAlignment {
public:
    constexpr ToastAlignment() = default;
    constexpr explicit ToastAlignment(EdgeSet edges)
        : m_rawValue(edges)
    {
    }

    constexpr EdgeSet rawValue() const { return m_rawValue; }
    constexpr bool contains(Edge edge) const { return m_rawValue.testFlag(edge); }

    static constexpr ToastAlignment topLeading() { return ToastAlignment(Edge::top | Edge::leading); }
    static constexpr ToastAlignment top() { return ToastAlignment(Edge::top); }
    static constexpr ToastAlignment topTrailing() { return ToastAlignment(Edge::top | Edge::trailing); }
    static constexpr ToastAlignment leading() { return ToastAlignment(Edge::leading); }
    static constexpr ToastAlignment center() { return ToastAlignment(); }
    static constexpr ToastAlignment trailing() { return ToastAlignment(Edge::trailing); }
    static constexpr ToastAlignment bottomLeading() { return ToastAlignment(Edge::bottom | Edge::leading); }
    static constexpr ToastAlignment bottom() { return ToastAlignment(Edge::bottom); }
    static constexpr ToastAlignment bottomTrailing() { return ToastAlignment(Edge::bottom | Edge::trailing); }

    // The name of the named alignment with this edge set, else
    // "custom(" + the edge set's description + ")".
    QString description() const;

    friend constexpr bool operator==(ToastAlignment a, ToastAlignment b) { return a.m_rawValue == b.m_rawValue; }
    friend size_t qHash(ToastAlignment alignment, size_t seed = 0)
    {
        return qHashMulti(seed, alignment.contains(Edge::top), alignment.contains(Edge::trailing),
            alignment.contains(Edge::bottom), alignment.contains(Edge::leading));
    }

private:
    EdgeSet m_rawValue;
};

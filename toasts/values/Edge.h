#pragma once

#include <QFlags>
#include <QString>

#include <array>

// An edge of a rectangle in layout terms: leading and trailing follow the
// reading direction. The raw values are the bits of an edge set.
enum class Edge : quint8 {
    top = 1,
    leading = 2,
    bottom = 4,
    trailing = 8,
};
Q_DECLARE_FLAGS(EdgeSet, Edge)
Q_DECLARE_OPERATORS_FOR_FLAGS(EdgeSet)

namespace Edges {

// The four edges in their declaration order.
inline constexpr std::array<Edge, 4> all{Edge::top, Edge::leading, Edge::bottom, Edge::trailing};

inline constexpr Edge opposite(Edge edge)
{
    switch (edge) {
    case Edge::top:
        return Edge::bottom;
    case Edge::leading:
        return Edge::trailing;
    case Edge::bottom:
        return Edge::top;
    case Edge::trailing:
        return Edge::leading;
    }
    return edge;
}

inline constexpr bool isHorizontal(Edge edge)
{
    return edge == Edge::leading || edge == Edge::trailing;
}

// The two edges at right angles to `edge`.
inline constexpr std::array<Edge, 2> perpendicular(Edge edge)
{
    return isHorizontal(edge) ? std::array<Edge, 2>{Edge::top, Edge::bottom}
                              : std::array<Edge, 2>{Edge::leading, Edge::trailing};
}

QString name(Edge edge);
// "[top, leading]": the names of the edges present, in declaration order.
QString description(EdgeSet edges);

} // namespace Edges

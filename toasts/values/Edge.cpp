#include "toasts/values/Edge.h"

#include <QStringList>

namespace Edges {

QString name(Edge edge)
{
    switch (edge) {
    case Edge::top:
        return QStringLiteral("top");
    case Edge::leading:
        return QStringLiteral("leading");
    case Edge::bottom:
        return QStringLiteral("bottom");
    case Edge::trailing:
        return QStringLiteral("trailing");
    }
    return {};
}

QString description(EdgeSet edges)
{
    QStringList names;
    for (Edge edge : all) {
        if (edges.testFlag(edge))
            names.append(name(edge));
    }
    return QLatin1Char('[') + names.join(QStringLiteral(", ")) + QLatin1Char(']');
}

} // namespace Edges

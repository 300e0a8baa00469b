#pragma once

// GCC sees a false "maybe uninitialized" inside the library's node storage.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <lemon/network_simplex.h>
#include <lemon/smart_graph.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "workspace/Workspace.h"

// The optimum cost by an independent network simplex, or nothing when no
// feasible circulation exists.
inline std::optional<int64_t> SimplexOptimum(const kav::Workspace& ws) {
    lemon::SmartDigraph graph;
    std::vector<lemon::SmartDigraph::Node> nodes;
    for (int32_t n = 0; n < ws.NodeCount; ++n)
        nodes.push_back(graph.addNode());
    lemon::SmartDigraph::ArcMap<long long> lower(graph), upper(graph), cost(graph);
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        const auto arc = graph.addArc(nodes[static_cast<std::size_t>(ws.LinkOrigin[k] - 1)],
                                      nodes[static_cast<std::size_t>(ws.LinkDest[k] - 1)]);
        lower[arc] = ws.LinkLower[k];
        upper[arc] = ws.LinkUpper[k];
        cost[arc] = ws.LinkCost[k];
    }
    lemon::NetworkSimplex<lemon::SmartDigraph, long long, long long> simplex(graph);
    simplex.lowerMap(lower).upperMap(upper).costMap(cost);
    if (simplex.run() != decltype(simplex)::OPTIMAL)
        return std::nullopt;
    return simplex.totalCost();
}

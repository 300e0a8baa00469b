#pragma once

// Sparse test problems in the style of the classic network generators: a ring
// through every node in random order with wide links (every node is an origin
// and a destination, and any flow can come back round), supply and demand
// nodes fed from a source and drained into a sink whose return link must carry
// the whole supply, and random links with capacities of tens to a thousand,
// costs of both signs and, on some links, a lower bound.

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "support/ProblemBuilder.h"
#include "workspace/Workspace.h"

struct SparseProblemShape {
    int32_t nodes = 2000;
    int32_t links = 19500;
    int32_t supplyNodes = 40;
    int32_t demandNodes = 40;
    int32_t supplyEach = 800;
    int32_t lowerPercent = 8;
    int32_t minCost = -20;
    int32_t maxCost = 100;
    uint32_t seed = 1;
};

inline void MakeSparseProblem(kav::Workspace& ws, const SparseProblemShape& shape) {
    std::mt19937 rng(shape.seed);
    auto draw = [&rng](int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(rng);
    };
    const int32_t n = shape.nodes;
    const int32_t source = n - 1, sink = n;
    ProblemBuilder build(ws);
    build.Nodes(n);
    SetNodeName(ws, source, "SOURCE");
    SetNodeName(ws, sink, "SINK");

    std::vector<int32_t> ring(static_cast<std::size_t>(n));
    std::iota(ring.begin(), ring.end(), 1);
    std::shuffle(ring.begin(), ring.end(), rng);
    const int32_t total = shape.supplyNodes * shape.supplyEach;
    for (std::size_t k = 0; k < ring.size(); ++k) {
        build.Link(ring[k], ring[(k + 1) % ring.size()], 0, 4 * total, draw(50, 150));
    }
    const int32_t transshipment = n - 2;
    for (int32_t k = 1; k <= shape.supplyNodes; ++k) {
        build.Link(source, draw(1, transshipment), 0, shape.supplyEach, 0);
    }
    for (int32_t k = 1; k <= shape.demandNodes; ++k) {
        build.Link(draw(1, transshipment), sink, 0, 2 * total / shape.demandNodes, 0);
    }
    build.Link(sink, source, total, total, 0);
    while (ws.LinkCount < shape.links) {
        const int32_t o = draw(1, transshipment);
        int32_t d = draw(1, transshipment - 1);
        d += d >= o;
        const int32_t upper = draw(10, 1000);
        const int32_t lower = draw(0, 99) < shape.lowerPercent ? draw(1, upper / 2) : 0;
        build.Link(o, d, lower, upper, draw(shape.minCost, shape.maxCost));
    }
}

#pragma once

#include <algorithm>
#include <random>
#include <vector>

#include "support/ProblemBuilder.h"

// Random problems for the solver's tests: every node is the origin and the
// destination of at least one link (a ring through all nodes), then random
// links with small bounds, some lower bounds and mixed-sign costs, so that
// ties between reduced costs are frequent and some problems are infeasible.
struct RandomProblemShape {
    int minNodes = 2;
    int maxNodes = 40;
    int linksPerNode = 4;
    int costRange = 10;     // costs in -costRange..costRange
    int lowerPercent = 20;  // links with a positive lower bound
    int maxUpper = 12;
};

inline void MakeRandomProblem(kav::Workspace& ws, std::mt19937& rng,
                              const RandomProblemShape& shape = {}) {
    auto draw = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    ProblemBuilder builder(ws);
    const int n = draw(shape.minNodes, shape.maxNodes);
    builder.Nodes(n);
    const int extra = draw(0, shape.linksPerNode * n);
    // Shuffle the ring's links in among the others so that orders by origin
    // and by destination are not trivially sorted.
    std::vector<int> kinds(static_cast<std::size_t>(n + extra), 0);
    for (int k = 0; k < n; ++k)
        kinds[static_cast<std::size_t>(k)] = k + 1;
    std::shuffle(kinds.begin(), kinds.end(), rng);
    for (int kind : kinds) {
        const int origin = kind > 0 ? kind : draw(1, n);
        const int dest = kind > 0 ? kind % n + 1 : draw(1, n);
        const int upper = draw(0, shape.maxUpper);
        const int lower = draw(0, 99) < shape.lowerPercent ? draw(0, upper) : 0;
        builder.Link(origin, dest, lower, upper, draw(-shape.costRange, shape.costRange));
    }
}

// Arbitrary flows (unbalanced, some outside their bounds) and potentials, as
// a run after edits may start from.
inline void ScrambleFlowsAndPotentials(kav::Workspace& ws, std::mt19937& rng) {
    std::uniform_int_distribution<int32_t> small(-8, 20);
    std::vector<int32_t> flows(static_cast<std::size_t>(ws.LinkCount) + 1);
    std::vector<int32_t> potentials(static_cast<std::size_t>(ws.NodeCount) + 1);
    for (std::size_t k = 1; k < flows.size(); ++k)
        flows[k] = small(rng);
    for (std::size_t n = 1; n < potentials.size(); ++n)
        potentials[n] = small(rng);
    kav::SetSolution(ws, flows, potentials);
}

// A transportation problem shaped like the generator's: every origin to every
// destination with capacity 0..9 and cost 0..24, a source feeding the origins,
// a sink draining the destinations, and a return link that must carry half
// the capacity. Costs this small make ties between reduced costs common.
inline void MakeTransportProblem(kav::Workspace& ws, std::mt19937& rng, int origins,
                                 int destinations) {
    auto draw = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    ProblemBuilder builder(ws);
    builder.Nodes(origins + destinations + 2);
    const int source = origins + destinations + 1, sink = source + 1;
    int capacity = 0;
    for (int i = 1; i <= origins; ++i) {
        for (int j = 1; j <= destinations; ++j) {
            const int upper = draw(0, 9);
            capacity += upper;
            builder.Link(i, origins + j, 0, upper, draw(0, 24));
        }
    }
    for (int i = 1; i <= origins; ++i)
        builder.Link(source, i, 0, 10 * destinations, 0);
    for (int j = 1; j <= destinations; ++j)
        builder.Link(origins + j, sink, 0, 10 * origins, 0);
    builder.Link(sink, source, capacity / 2, capacity, 0);
}

#pragma once

#include <algorithm>
#include <random>
#include <vector>

#include "ProblemBuilder.h"

// Random problems for the solver's tests: every node is the origin and the
// destination of at least one link (a ring through all nodes), then random
// links with small bounds, some lower bounds and mixed-sign costs, so that
// ties between reduced costs are frequent and some problems are infeasible.
struct RandomProblemSpec {
    int minNodes = 2;
    int maxNodes = 40;
    int linksPerNode = 4;
    int costRange = 10;     // costs in -costRange..costRange
    int lowerPercent = 20;  // links with a positive lower bound
    int maxUpper = 12;
};

inline void MakeRandomProblem(kav::Workspace& ws, std::mt19937& rng,
                              const RandomProblemSpec& spec = {}) {
    auto draw = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    ProblemBuilder builder(ws);
    const int n = draw(spec.minNodes, spec.maxNodes);
    builder.Nodes(n);
    const int extra = draw(0, spec.linksPerNode * n);
    // Shuffle the ring's links in among the others so that orders by origin
    // and by destination are not trivially sorted.
    std::vector<int> kinds(static_cast<std::size_t>(n + extra), 0);
    for (int k = 0; k < n; ++k)
        kinds[static_cast<std::size_t>(k)] = k + 1;
    std::shuffle(kinds.begin(), kinds.end(), rng);
    for (int kind : kinds) {
        const int origin = kind > 0 ? kind : draw(1, n);
        const int dest = kind > 0 ? kind % n + 1 : draw(1, n);
        const int upper = draw(0, spec.maxUpper);
        const int lower = draw(0, 99) < spec.lowerPercent ? draw(0, upper) : 0;
        builder.Link(origin, dest, lower, upper, draw(-spec.costRange, spec.costRange));
    }
}

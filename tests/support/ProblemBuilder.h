#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "workspace/Workspace.h"

// Fills a Workspace by hand for tests: it starts empty, then takes nodes by
// name (with a potential, 0 unless given) and links in order (with a flow, 0
// unless given).
struct ProblemBuilder {
    kav::Workspace& ws;

    explicit ProblemBuilder(kav::Workspace& workspace) : ws(workspace) { ws.Reset(); }
    ProblemBuilder& Node(const std::string& name, int32_t potential = 0) {
        const int32_t n = ++ws.NodeCount;
        ws.NodeName[n] = name;
        ws.NodePotential[n] = potential;
        return *this;
    }
    ProblemBuilder& Nodes(int count) {
        for (int n = 1; n <= count; ++n)
            Node("N" + std::to_string(ws.NodeCount + 1));
        return *this;
    }
    ProblemBuilder& Link(int32_t origin, int32_t dest, int32_t lower, int32_t upper, int32_t cost,
                         int32_t flow = 0) {
        const int32_t k = ++ws.LinkCount;
        ws.LinkOrigin[k] = origin;
        ws.LinkDest[k] = dest;
        ws.LinkLower[k] = lower;
        ws.LinkUpper[k] = upper;
        ws.LinkCost[k] = cost;
        ws.LinkFlow[k] = flow;
        return *this;
    }
};

// What flows into each node minus what flows out of it (element 0 unused):
// all zero when the flows form a circulation.
inline std::vector<int64_t> NodeBalances(const kav::Workspace& ws) {
    std::vector<int64_t> balance(static_cast<std::size_t>(ws.NodeCount) + 1, 0);
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        balance[static_cast<std::size_t>(ws.LinkOrigin[k])] -= ws.LinkFlow[k];
        balance[static_cast<std::size_t>(ws.LinkDest[k])] += ws.LinkFlow[k];
    }
    return balance;
}

#pragma once

#include <cstdint>
#include <string>

#include "workspace/Workspace.h"

// Fills a Workspace by hand for the solver's tests: nodes by name, then links
// in order, flows and potentials zero.
struct ProblemBuilder {
    kav::Workspace& ws;

    explicit ProblemBuilder(kav::Workspace& workspace) : ws(workspace) { ws.Reset(); }
    ProblemBuilder& Node(const std::string& name) {
        ws.NodeName[++ws.NodeCount] = name;
        return *this;
    }
    ProblemBuilder& Nodes(int count) {
        for (int n = 1; n <= count; ++n)
            Node("N" + std::to_string(ws.NodeCount + 1));
        return *this;
    }
    ProblemBuilder& Link(int32_t origin, int32_t dest, int32_t lower, int32_t upper, int32_t cost) {
        const int32_t k = ++ws.LinkCount;
        ws.LinkOrigin[k] = origin;
        ws.LinkDest[k] = dest;
        ws.LinkLower[k] = lower;
        ws.LinkUpper[k] = upper;
        ws.LinkCost[k] = cost;
        ws.LinkFlow[k] = 0;
        return *this;
    }
};

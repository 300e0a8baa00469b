#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "workspace/Workspace.h"

// Fills a Workspace for tests through its operations: it starts empty, then
// takes nodes by name (with a potential, 0 unless given) and links in order
// (with a flow, 0 unless given).
struct ProblemBuilder {
    kav::Workspace& ws;

    explicit ProblemBuilder(kav::Workspace& workspace) : ws(workspace) { ws.Reset(); }
    ProblemBuilder& Node(const std::string& name, int32_t potential = 0);
    ProblemBuilder& Nodes(int count) {
        for (int n = 1; n <= count; ++n)
            Node("N" + std::to_string(ws.NodeCount + 1));
        return *this;
    }
    ProblemBuilder& Link(int32_t origin, int32_t dest, int32_t lower, int32_t upper, int32_t cost,
                         int32_t flow = 0);
};

// One flow or potential changed, the others kept, through SetSolution. An
// entry above the problem's counts (a leftover) is reached by raising the
// count for the while (SetProblemSize, a new revision).
inline void SetFlow(kav::Workspace& ws, int32_t link, int32_t flow) {
    const int32_t links = ws.LinkCount;
    if (link > links)
        kav::SetProblemSize(ws, link, ws.NodeCount);
    std::vector<int32_t> flows(ws.LinkFlow.data(), ws.LinkFlow.data() + ws.LinkCount + 1);
    flows.at(static_cast<std::size_t>(link)) = flow;
    kav::SetSolution(ws, flows, {});
    if (link > links)
        kav::SetProblemSize(ws, links, ws.NodeCount);
}
inline void SetPotential(kav::Workspace& ws, int32_t node, int32_t potential) {
    const int32_t nodes = ws.NodeCount;
    if (node > nodes)
        kav::SetProblemSize(ws, ws.LinkCount, node);
    std::vector<int32_t> potentials(ws.NodePotential.data(),
                                    ws.NodePotential.data() + ws.NodeCount + 1);
    potentials.at(static_cast<std::size_t>(node)) = potential;
    kav::SetSolution(ws, {}, potentials);
    if (node > nodes)
        kav::SetProblemSize(ws, ws.LinkCount, nodes);
}

// Unsaved, results unseen and the flows no longer fitting: a solve, then a
// link added.
inline void SetAllPending(kav::Workspace& ws) {
    kav::NoteSolved(ws, false);
    kav::NoteLinkAdded(ws);
}

// Gives TotalCost a value that the problem's costs and flows do not give (as
// a total computed before an edit), so that a test sees whether anything
// rewrites it: link 1 costs 1 more and carries 1 more for the while.
inline double LeaveStaleTotalCost(kav::Workspace& ws) {
    const kav::LinkData link = kav::GetLink(ws, 1);
    const int32_t flow = ws.LinkFlow[1];
    kav::LinkData changed = link;
    ++changed.Cost;
    kav::SetLink(ws, 1, changed);
    SetFlow(ws, 1, flow + 1);
    kav::ComputeTotalCost(ws);
    kav::SetLink(ws, 1, link);
    SetFlow(ws, 1, flow);
    return ws.TotalCost;
}

// One of link's ends, bounds or cost changed (SetLink), e.g.
// ChangeLink(ws, 2, &kav::LinkData::Lower, 5).
inline void ChangeLink(kav::Workspace& ws, int32_t link, int32_t kav::LinkData::*part,
                       int32_t value) {
    kav::LinkData data = kav::GetLink(ws, link);
    data.*part = value;
    kav::SetLink(ws, link, data);
}

inline ProblemBuilder& ProblemBuilder::Node(const std::string& name, int32_t potential) {
    const int32_t n = kav::AppendNode(ws, name);
    if (potential != 0)
        SetPotential(ws, n, potential);
    return *this;
}

inline ProblemBuilder& ProblemBuilder::Link(int32_t origin, int32_t dest, int32_t lower,
                                            int32_t upper, int32_t cost, int32_t flow) {
    const int32_t k = kav::AppendLink(ws, kav::LinkData{origin, dest, lower, upper, cost});
    if (flow != 0)
        SetFlow(ws, k, flow);
    return *this;
}

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

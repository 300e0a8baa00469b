#pragma once

#include <cstdint>
#include <vector>

#include "solver/KiltSolve.h"
#include "workspace/Workspace.h"

namespace kav {

// Checks of a solve's answer that share nothing with the solver: they read the
// problem, the flows and the potentials, and sum in wide integers.

struct CutSums {
    int64_t Need = 0;  // lower bounds of the links into the set
    int64_t Room = 0;  // upper bounds of the links out of it
    // Need > Room: no flow can balance the set, so no feasible flow exists.
    bool ProvesInfeasible() const { return Need > Room; }
};

// The sums across the boundary of the node set `nodes` (node numbers).
CutSums SumAcrossCut(const Workspace& ws, const std::vector<int32_t>& nodes);

// Every link within its bounds, flow balanced at every node, and every link
// in kilter under the potentials: together they prove the flows optimal.
OptimalityCertificate CheckOptimality(const Workspace& ws);

}  // namespace kav

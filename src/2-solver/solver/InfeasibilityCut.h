#pragma once

#include <cstdint>
#include <vector>

#include "solver/KiltSolve.h"
#include "workspace/Workspace.h"

namespace kav {

// The set that every output shows for an infeasible run, made from the nodes
// the solver had labelled when it gave up on failedLink: made as small as the
// greedy pass of TrimCutNodes can prove, then described by DescribeCut.
InfeasibilityCut MakeInfeasibilityCut(const Workspace& ws, int32_t failedLink,
                                      std::vector<int32_t> labelledNodes, bool confirmed);

// Drops nodes from `nodes` one at a time while the remaining set still takes
// in more than it can pass on (Need > Room) and failedLink still crosses its
// boundary, until no single node can be dropped. A set that does not prove
// the infeasibility, or that failedLink does not cross, is returned as it is.
// The result is sorted by node number and never larger than `nodes`.
std::vector<int32_t> TrimCutNodes(const Workspace& ws, int32_t failedLink,
                                  std::vector<int32_t> nodes);

// Need, Room and the links across the boundary of cut.Nodes (sorted by node
// number): into the set by lower bound, largest first; out of it by upper
// bound, smallest first; ties by link number.
void DescribeCut(const Workspace& ws, InfeasibilityCut& cut);

}  // namespace kav

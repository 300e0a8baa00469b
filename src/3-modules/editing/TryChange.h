#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editing/EditingOps.h"
#include "solver/KiltSolve.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace kav {

// What "Try..." found: the change solved on a private copy of the problem.
struct TriedChange {
    bool accepted = false;  // the value passed the change window's checks
    bool feasible = false;  // the copy has a feasible flow after the change
    __int128 total = 0;     // its optimal total (feasible only)
    InfeasibilityCut cut;   // why not (infeasible only)
    struct FlowChange {
        int32_t link = 0;
        int32_t before = 0;
        int32_t after = 0;
    };
    std::vector<FlowChange> flows;  // the links whose flow changes
};

// Validates text as the change window does (messages in the report), applies
// it to a copy of ws and solves the copy from ws's flows and potentials, as
// the solve run would after that change; ws itself is not touched.
Reported<TriedChange> TryLinkChange(const Workspace& ws, int32_t link, LinkField field,
                                    const std::string& text);

}  // namespace kav

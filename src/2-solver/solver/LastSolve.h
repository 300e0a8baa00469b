#pragma once

#include <memory>

#include "solver/KiltSolve.h"
#include "workspace/Workspace.h"

namespace kav {

// The outcome of the last solve, kept beside the program-wide Workspace for the
// windows that explain it. It belongs to the Workspace and revision it was made
// for: any edit of the problem or clearing of its solution makes it stale.
// asSolved is the problem as the solve received it: links, bounds, costs,
// names, and the flows and potentials the run started from (null: unknown).
void RecordLastSolve(const Workspace& ws, const SolveStatus& status,
                     std::shared_ptr<const Workspace> asSolved = nullptr);
// The last solve's status while it still describes the Workspace's data, or null.
const SolveStatus* LastSolve(const Workspace& ws);
// The problem as the last solve received it, while that solve is current, or null.
const Workspace* ProblemAsSolved(const Workspace& ws);
// Forgets the last solve (a solve that stopped, or the start of a new one).
void ForgetLastSolve();

}  // namespace kav

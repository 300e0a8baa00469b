#pragma once

#include "solver/KiltSolve.h"
#include "workspace/Workspace.h"

namespace kav {

// The outcome of the last solve, kept beside the program-wide Workspace for the
// windows that explain it. It belongs to the Workspace and revision it was made
// for: any edit of the problem or clearing of its solution makes it stale.
void RecordLastSolve(const Workspace& ws, const SolveStatus& status);
// The last solve's status while it still describes the Workspace's data, or null.
const SolveStatus* LastSolve(const Workspace& ws);
// Forgets the last solve (a solve that stopped, or the start of a new one).
void ForgetLastSolve();

}  // namespace kav

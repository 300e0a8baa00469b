#pragma once

#include <cstdint>
#include <string>

#include "workspace/Errors.h"
#include "workspace/Workspace.h"

namespace kav {

struct KilterInfo {
    bool InKilter = true;
    int32_t KilterNumber = 0;
};

// Cost plus origin potential minus destination potential; the origin's sign is
// ignored, so a link marked for removal (negative origin) has one too.
// Throws IntegerOverflow when the value does not fit in 32 bits.
int32_t ReducedCost(const Workspace& ws, int32_t link);
// The same value formed in 64 bits, for showing it whatever the potentials.
int64_t WideReducedCost(const Workspace& ws, int32_t link);
// Throws IntegerOverflow when the kilter number does not fit in 32 bits.
KilterInfo KilterState(const Workspace& ws, int32_t link);

// Receives the progress report after every link that is in kilter.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void ReportProgress(int32_t link, int32_t linkCount) = 0;
    // The run is over (solved or infeasible): whatever is shown must now be
    // the last report, since the run's messages appear over it.
    virtual void RunFinished() {}
};

// The solve was stopped because potentials, reduced costs or kilter numbers
// would leave the 32-bit range, or because the problem breaks what the solver
// needs (a link naming a missing node, a lower bound above its upper bound).
// Every value in the Workspace is still a valid 32-bit number.
class SolveStopped : public CheckedError {
  public:
    using CheckedError::CheckedError;
};

// The out-of-kilter algorithm over the Workspace, from its current flows and
// potentials. Sets ws.Infeasible; returns the link it failed on (meaningful
// only when Infeasible). progress may be null. Throws SolveStopped (before
// changing anything when the problem itself is unfit for solving).
int32_t RunOutOfKilter(Workspace& ws, ProgressSink* progress);

}  // namespace kav

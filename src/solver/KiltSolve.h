#pragma once

#include <cstdint>

#include "workspace/Workspace.h"

namespace kav {

struct KilterInfo {
    bool InKilter = true;
    int32_t KilterNumber = 0;
};

// Cost plus origin potential minus destination potential; the origin's sign is
// ignored, so a link marked for removal (negative origin) has one too.
int32_t ReducedCost(const Workspace& ws, int32_t link);
KilterInfo KilterState(const Workspace& ws, int32_t link);

// Receives the progress report after every link that is in kilter.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void ReportProgress(int32_t link, int32_t linkCount) = 0;
};

// The out-of-kilter algorithm over the Workspace, from its current flows and
// potentials. Sets ws.Infeasible; returns the link it failed on (meaningful
// only when Infeasible). progress may be null.
int32_t RunOutOfKilter(Workspace& ws, ProgressSink* progress);

}  // namespace kav

#pragma once

#include <cstdint>
#include <string>

#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace kav {

enum class GenerateOutcome { Written, Refused, FileError };

// How a generation ended; its report is the error box the window shows when
// nothing was written: why the counts were refused, or the input/output error
// report ("File not found", "File access denied", "Disk full", "I/O error N").
struct GenerateResult : Reported<GenerateOutcome> {
    // FileError: the file that failed and the system's reason (the command
    // line says it instead of the box).
    std::string failure;
};

// Builds a random transportation problem with `origins` origins and
// `destinations` destinations in the Workspace and writes RANPRB1.NDE and
// RANPRB1.LIN into `directory`. Counts outside the Workspace's capacity are
// refused before the Workspace is touched. Flows and potentials are cleared in
// every case that builds the problem; when a file cannot be written the
// problem stays in the Workspace, marked as not saved. The costs and
// capacities are drawn from the sequence whose state is seed (DrawBelow).
GenerateResult GenerateProblem(Workspace& ws, int32_t origins, int32_t destinations,
                               const std::string& directory, uint32_t& seed);

// The next value in 0..limit-1 (limit >= 1) of the pseudo-random sequence
// whose state is seed, which moves on. A session's sequence starts from 0
// and is never reseeded, so successive generations continue it; the command
// line's --seed starts it elsewhere.
int32_t DrawBelow(uint32_t& seed, int32_t limit);

}  // namespace kav

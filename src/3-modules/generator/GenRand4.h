#pragma once

#include <cstdint>
#include <string>

#include "workspace/Workspace.h"

namespace kav {

enum class GenerateOutcome { Written, Refused, FileError };

struct GenerateResult {
    GenerateOutcome outcome = GenerateOutcome::Refused;
    // Refused: why the counts were refused; FileError: the input/output error
    // report ("File not found", "File access denied", "Disk full", "I/O error
    // N"); empty when Written.
    std::string message;
    // FileError: the file that failed and the system's reason.
    std::string detail;
};

// Builds a random transportation problem with `origins` origins and
// `destinations` destinations in the Workspace and writes RANPRB1.NDE and
// RANPRB1.LIN into `directory`. Counts outside the Workspace's capacity are
// refused before the Workspace is touched. Flows and potentials are cleared in
// every case that builds the problem; when a file cannot be written the
// problem stays in the Workspace, marked as not saved.
GenerateResult GenerateProblem(Workspace& ws, int32_t origins, int32_t destinations,
                               const std::string& directory);

// The program-wide pseudo-random sequence: a value in 0..limit-1 (limit >= 1).
// It starts from seed 0 when the program starts and is never reseeded, so
// successive generations continue it.
int32_t DrawBelow(int32_t limit);

// Puts the sequence back to a given state (0 is the state at program start):
// for tests, and for the command line's --seed.
void SetRandomSeed(uint32_t seed);

}  // namespace kav

// Feeds arbitrary bytes to the DIMACS reader. Besides the sanitizers' checks:
// a refused input leaves the Workspace as it was, a problem that loads keeps
// the Workspace's invariants and passes the connectivity check, and the
// program's own DIMACS text of it reads back to the same problem.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "solver/CheckProblem.h"
#include "workspace/DimacsFormat.h"
#include "workspace/ProblemWriter.h"

namespace {

std::string Problem(const kav::Workspace& ws) {
    return kav::FormatLinkFile(ws, kav::LinkFieldWidth) + kav::FormatNodeFile(ws);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static kav::Workspace& ws = *new kav::Workspace;
    static kav::Workspace& again = *new kav::Workspace;
    kav::SilentPrompts prompts;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string before = Problem(ws);
    switch (kav::ReadDimacsText(ws, text, "fuzz.min").ShowTo(prompts)) {
        case kav::LoadOutcome::Refused:
            Require(Problem(ws) == before);
            break;
        case kav::LoadOutcome::Loaded:
            CheckLoadedProblem(ws);
            for (const std::string& line : kav::CheckProblem(ws))
                Require(line.find("is never used") == std::string::npos);
            Require(kav::ReadDimacsText(again, kav::FormatDimacsProblem(ws), "again.min")
                        .ShowTo(prompts) == kav::LoadOutcome::Loaded);
            Require(Problem(again) == Problem(ws));
            break;
        case kav::LoadOutcome::Failed:
        case kav::LoadOutcome::Cancelled:
            std::abort();
    }
    return 0;
}

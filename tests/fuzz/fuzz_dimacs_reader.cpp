// Feeds arbitrary bytes to the DIMACS reader. Besides the sanitizers' checks:
// a refused input leaves the Workspace as it was, a problem that loads keeps
// the Workspace's invariants, and the program's own DIMACS text of it reads
// back to the same problem.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "workspace/DimacsFormat.h"
#include "workspace/ProblemWriter.h"

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

std::string Problem(const kav::Workspace& ws) {
    return kav::FormatLinkFile(ws, kav::LinkFieldWidth) + kav::FormatNodeFile(ws);
}

void CheckLoadedProblem(const kav::Workspace& ws) {
    Require(ws.LinkCount >= 0 && ws.LinkCount <= kav::MaxLinks);
    Require(ws.NodeCount >= 0 && ws.NodeCount <= kav::MaxNodes);
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        Require(ws.LinkOrigin[k] >= 1 && ws.LinkOrigin[k] <= ws.NodeCount);
        Require(ws.LinkDest[k] >= 1 && ws.LinkDest[k] <= ws.NodeCount);
    }
    for (int32_t k = 1; k <= ws.NodeCount; ++k) {
        const std::string& name = ws.NodeName[k];
        Require(name.size() <= kav::MaxNameLength);
        Require(name.find_first_of("\r\n\x1A") == std::string::npos);
    }
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

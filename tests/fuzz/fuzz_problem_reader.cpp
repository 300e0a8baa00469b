// Feeds arbitrary bytes to the problem reader as a link file and a node file.
// Input layout: the link file, the marker "#NDE#", then the node file; without
// the marker the whole input is the link file and the node file is empty.
//
// Besides the sanitizers' checks, every input is read twice (in one piece and
// in pieces of three bytes, which must agree, messages included), and a problem that loads must
// satisfy the Workspace's invariants and come back unchanged after being
// written and read again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzChecks.h"
#include "workspace/ProblemReader.h"
#include "workspace/ProblemWriter.h"

namespace {

// Keeps every message text, so that two reads can be compared word for word
// (the fatal read warning names the line where reading stopped).
class RecordingPrompts : public kav::SilentPrompts {
  public:
    kav::Answer Message(kav::MsgKind kind, kav::MsgButtons buttons,
                        const std::string& text) override {
        shown += text;
        shown += '\n';
        return SilentPrompts::Message(kind, buttons, text);
    }
    std::string shown;
};

kav::LoadOutcome Read(kav::Workspace& ws, std::string_view links, std::string_view nodes,
                      std::size_t chunk, RecordingPrompts& prompts) {
    kav::MemorySource linkSource(links, chunk);
    kav::MemorySource nodeSource(nodes, chunk);
    kav::TextReader linkReader(linkSource);
    kav::TextReader nodeReader(nodeSource);
    return kav::ReadProblemText(ws, linkReader, nodeReader).ShowTo(prompts);
}

bool SameProblem(const kav::Workspace& a, const kav::Workspace& b) {
    if (a.LinkCount != b.LinkCount || a.NodeCount != b.NodeCount)
        return false;
    for (int32_t k = 1; k <= a.LinkCount; ++k) {
        if (a.LinkOrigin[k] != b.LinkOrigin[k] || a.LinkDest[k] != b.LinkDest[k] ||
            a.LinkLower[k] != b.LinkLower[k] || a.LinkUpper[k] != b.LinkUpper[k] ||
            a.LinkCost[k] != b.LinkCost[k]) {
            return false;
        }
    }
    for (int32_t k = 1; k <= a.NodeCount; ++k) {
        if (a.NodeName[k] != b.NodeName[k])
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static kav::Workspace& whole = *new kav::Workspace;
    static kav::Workspace& pieces = *new kav::Workspace;
    static kav::Workspace& again = *new kav::Workspace;

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t marker = input.find("#NDE#");
    const std::string_view links = input.substr(0, marker);
    const std::string_view nodes =
        marker == std::string_view::npos ? std::string_view() : input.substr(marker + 5);

    const int32_t linksBefore = whole.LinkCount;
    const int32_t nodesBefore = whole.NodeCount;
    RecordingPrompts wholeMessages;
    RecordingPrompts pieceMessages;
    const kav::LoadOutcome outcome = Read(whole, links, nodes, SIZE_MAX, wholeMessages);
    Require(Read(pieces, links, nodes, 3, pieceMessages) == outcome);
    Require(wholeMessages.shown == pieceMessages.shown);

    switch (outcome) {
        case kav::LoadOutcome::Refused:
            Require(whole.LinkCount == linksBefore && whole.NodeCount == nodesBefore);
            break;
        case kav::LoadOutcome::Failed:
            Require(whole.LinkCount == 0 && whole.NodeCount == 0);
            break;
        case kav::LoadOutcome::Loaded: {
            CheckLoadedProblem(whole);
            for (int32_t k = 1; k <= whole.NodeCount; ++k)  // and no name starts with a space
                Require(whole.NodeName[k].empty() || whole.NodeName[k][0] != ' ');
            Require(SameProblem(whole, pieces));
            const std::string linkFile = kav::FormatLinkFile(whole, kav::LinkFieldWidth);
            const std::string nodeFile = kav::FormatNodeFile(whole);
            RecordingPrompts quiet;
            Require(Read(again, linkFile, nodeFile, SIZE_MAX, quiet) == kav::LoadOutcome::Loaded);
            Require(SameProblem(whole, again));
            break;
        }
        case kav::LoadOutcome::Cancelled:
            std::abort();
    }
    // Keep the refused-header case meaningful: the next input starts from the
    // problem this one left, which is always within the capacities.
    Require(whole.LinkCount <= kav::MaxLinks && whole.NodeCount <= kav::MaxNodes);
    return 0;
}

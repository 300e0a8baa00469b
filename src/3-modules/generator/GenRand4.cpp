#include "generator/GenRand4.h"

#include <cerrno>

#include "workspace/ProblemFiles.h"

namespace kav {
namespace {

constexpr const char* NodeFileName = "RANPRB1.NDE";
constexpr const char* LinkFileName = "RANPRB1.LIN";

// The input/output error report in the platform's words.
std::string InputOutputErrorText(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
        case ENOTDIR:
            return "File not found";
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY:
            return "File access denied";
        case ENOSPC:
        case EDQUOT:
            return "Disk full";
        default:
            return "I/O error " + std::to_string(errorNumber);
    }
}

bool CountsFit(int32_t origins, int32_t destinations) {
    if (origins < 0 || destinations < 0)
        return false;
    const int64_t o = origins, d = destinations;
    return o + d + 2 <= MaxNodes && o * d + o + d + 1 <= MaxLinks;
}

std::string InFolder(const std::string& directory, const char* name) {
    if (directory.empty())
        return name;
    if (directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

// Origins 1..O, destinations O+1..O+D, then the source and the sink; a link
// from every origin to every destination with a random capacity and cost, a
// link from the source to every origin, one from every destination to the
// sink, and the return link whose lower bound forces half the capacity round.
void BuildProblem(Workspace& ws, int32_t o, int32_t d, uint32_t& seed) {
    const int32_t source = o + d + 1;
    const int32_t sink = o + d + 2;
    for (int32_t i = 1; i <= o; ++i)
        SetNodeName(ws, i, "OR " + std::to_string(i));
    for (int32_t j = 1; j <= d; ++j)
        SetNodeName(ws, o + j, "DE " + std::to_string(j));
    SetNodeName(ws, source, "SOURCE");
    SetNodeName(ws, sink, "SINK");

    int32_t k = 0;
    int32_t capacity = 0;
    for (int32_t i = 1; i <= o; ++i) {
        for (int32_t j = 1; j <= d; ++j) {
            const int32_t upper = DrawBelow(seed, 10);
            const int32_t cost = DrawBelow(seed, 25);
            SetLink(ws, ++k, LinkData{i, o + j, 0, upper, cost});
            capacity += upper;
        }
    }
    for (int32_t i = 1; i <= o; ++i)
        SetLink(ws, ++k, LinkData{source, i, 0, 10 * d, 0});
    for (int32_t j = 1; j <= d; ++j)
        SetLink(ws, ++k, LinkData{o + j, sink, 0, 10 * o, 0});
    SetLink(ws, ++k, LinkData{sink, source, capacity / 2, capacity, 0});

    SetProblemSize(ws, k, sink);
}

}  // namespace

int32_t DrawBelow(uint32_t& seed, int32_t limit) {
    seed = seed * 134775813u + 1u;
    return static_cast<int32_t>((uint64_t{seed} * static_cast<uint32_t>(limit)) >> 32);
}

GenerateResult GenerateProblem(Workspace& ws, int32_t origins, int32_t destinations,
                               const std::string& directory, uint32_t& seed) {
    GenerateResult result;
    if (!CountsFit(origins, destinations)) {
        result.outcome = GenerateOutcome::Refused;
        result.report.Box(
            MsgKind::Error,
            "The numbers of origins and destinations must not be negative, and they must "
            "give at most " +
                std::to_string(MaxNodes) + " nodes (origins + destinations + 2) and at most " +
                std::to_string(MaxLinks) +
                " links (origins x destinations + origins + destinations + 1).");
        return result;
    }
    BuildProblem(ws, origins, destinations, seed);
    // The solution of the old problem means nothing for the new one, whether
    // or not the files can be written.
    NoteNewProblem(ws, false);
    const std::string nodeFile = InFolder(directory, NodeFileName);
    const std::string linkFile = InFolder(directory, LinkFileName);
    const WriteResult written = WriteProblemFiles(ws, nodeFile, linkFile, GeneratorFieldWidth);
    if (!written) {
        result.outcome = GenerateOutcome::FileError;
        result.report.Box(MsgKind::Error, InputOutputErrorText(written.SystemError));
        result.failure = written.FailureText();
        return result;
    }
    NoteSaved(ws);
    result.outcome = GenerateOutcome::Written;
    return result;
}

}  // namespace kav

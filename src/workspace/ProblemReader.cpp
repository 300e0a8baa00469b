#include "workspace/ProblemReader.h"

#include <string>

namespace kav {
namespace {

const char* const FatalReadText =
    "<<< FATAL ERROR READING DATA ... WARNING ... >>>\r"
    "<<<     DATA MATRICES BEING SET TO ZERO      >>>";

std::string TooManyText(const char* what, int32_t maximum) {
    return std::string("File contains too many ") + what + "...\rMaximum number allowed is " +
           std::to_string(maximum) + "\rTry another file ... SORRY";
}

struct Header {
    int32_t links = 0;
    int32_t nodes = 0;
};

bool ReadHeader(TextReader& file, Header& header) {
    if (file.AtEnd())
        return false;
    const bool read = file.ReadInteger(header.links) && file.ReadInteger(header.nodes);
    file.SkipLine();
    return read;
}

// Shows the capacity messages (links first) and tells whether the header asks
// for more than the Workspace holds.
bool RefuseHeader(const Header& header, Prompts& prompts) {
    const bool tooManyLinks = header.links > MaxLinks;
    const bool tooManyNodes = header.nodes > MaxNodes;
    if (tooManyLinks) {
        prompts.Message(MsgKind::Warning, MsgButtons::Ok, TooManyText("links", MaxLinks));
    }
    if (tooManyNodes) {
        prompts.Message(MsgKind::Warning, MsgButtons::Ok, TooManyText("nodes", MaxNodes));
    }
    return tooManyLinks || tooManyNodes;
}

bool IsNodeNumber(int32_t node, int32_t nodeCount) {
    return node >= 1 && node <= nodeCount;
}

bool ReadLinks(Workspace& ws, TextReader& file, const Header& header) {
    for (int32_t k = 1; k <= header.links; ++k) {
        if (file.AtEnd())
            return false;
        int32_t origin = 0, dest = 0, lower = 0, upper = 0, cost = 0;
        if (!file.ReadInteger(origin) || !file.ReadInteger(dest) || !file.ReadInteger(lower) ||
            !file.ReadInteger(upper) || !file.ReadInteger(cost)) {
            return false;
        }
        // Every later module indexes the node arrays with these numbers.
        if (!IsNodeNumber(origin, header.nodes) || !IsNodeNumber(dest, header.nodes))
            return false;
        ws.LinkOrigin[k] = origin;
        ws.LinkDest[k] = dest;
        ws.LinkLower[k] = lower;
        ws.LinkUpper[k] = upper;
        ws.LinkCost[k] = cost;
        file.SkipLine();
    }
    return true;
}

std::string WithoutLeadingBlanks(std::string name) {
    const std::size_t first = name.find_first_not_of(' ');
    name.erase(0, first == std::string::npos ? name.size() : first);
    return name;
}

bool ReadNames(Workspace& ws, TextReader& file, int32_t nodeCount) {
    for (int32_t k = 1; k <= nodeCount; ++k) {
        if (file.AtEnd())
            return false;
        ws.NodeName[k] = WithoutLeadingBlanks(file.ReadLineStart(MaxNameLength));
    }
    return true;
}

}  // namespace

LoadOutcome ReadProblemText(Workspace& ws, Prompts& prompts, TextReader& linkFile,
                            TextReader& nodeFile) {
    Header header;
    bool complete = ReadHeader(linkFile, header);
    if (complete && RefuseHeader(header, prompts))
        return LoadOutcome::Refused;
    complete = complete && header.links >= 0 && header.nodes >= 0 &&
               ReadLinks(ws, linkFile, header) && ReadNames(ws, nodeFile, header.nodes) &&
               !linkFile.Failed() && !nodeFile.Failed();

    LoadOutcome outcome = LoadOutcome::Loaded;
    if (complete) {
        ws.LinkCount = header.links;
        ws.NodeCount = header.nodes;
    } else {
        prompts.Message(MsgKind::Warning, MsgButtons::Ok, FatalReadText);
        ws.LinkCount = 0;
        ws.NodeCount = 0;
        prompts.Beep(BeepFileError);
        outcome = LoadOutcome::Failed;
    }
    ws.ClearSolution();
    ws.NetworkChanged = false;
    ws.DataNotSaved = false;
    ws.ResultsNotShown = false;
    return outcome;
}

}  // namespace kav

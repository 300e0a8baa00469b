#include "solver/CheckProblem.h"

#include <cstdint>

#include "solver/PadText.h"

namespace kav {
namespace {

// Per-node tallies of one check. The sums are 64-bit: 2010 nodes times 20000
// links of 32-bit bounds cannot leave that range, so no sum can overflow.
struct NodeTally {
    bool noOrigin = true;
    bool noDest = true;
    int64_t minOut = 0;
    int64_t maxOut = 0;
    int64_t minIn = 0;
    int64_t maxIn = 0;
};

std::string ConnectivityLine(const std::string& name, const NodeTally& tally) {
    if (tally.noOrigin && tally.noDest)
        return "Node <" + name + "> is never used...FATAL ERROR...";
    if (tally.noOrigin)
        return "Node <" + name + "> is never used as an origin...FATAL ERROR...";
    if (tally.noDest)
        return "Node <" + name + "> is never used as a destination...FATAL ERROR...";
    return {};
}

std::string LinkEndsLine(int32_t link, int32_t origin, int32_t dest) {
    return "Link <" + std::to_string(link) + "> runs from node " + std::to_string(origin) +
           " to node " + std::to_string(dest) + ", which is not a node of the problem" +
           "...FATAL ERROR...";
}

std::string LinkBoundsLine(int32_t link, int32_t lower, int32_t upper) {
    return "Link <" + std::to_string(link) + "> has lower bound (" + PadNumber(lower, 7) +
           ") above upper bound (" + PadNumber(upper, 7) + ")...FATAL ERROR...";
}

}  // namespace

std::vector<std::string> CheckProblem(Workspace& ws) {
    std::vector<std::string> lines;
    std::vector<std::string> linkEndLines;
    std::vector<std::string> linkBoundLines;
    std::vector<NodeTally> tally(static_cast<std::size_t>(ws.NodeCount) + 1);

    // One pass over the links gathers everything the node lines need.
    for (int32_t link = 1; link <= ws.LinkCount; ++link) {
        const int32_t origin = ws.LinkOrigin[link];
        const int32_t dest = ws.LinkDest[link];
        const int32_t lower = ws.LinkLower[link];
        const int32_t upper = ws.LinkUpper[link];
        if (IsNode(ws, origin)) {
            NodeTally& node = tally[static_cast<std::size_t>(origin)];
            node.noOrigin = false;
            node.minOut += lower;
            node.maxOut += upper;
        }
        if (IsNode(ws, dest)) {
            NodeTally& node = tally[static_cast<std::size_t>(dest)];
            node.noDest = false;
            node.minIn += lower;
            node.maxIn += upper;
        }
        if (!IsNode(ws, origin) || !IsNode(ws, dest)) {
            linkEndLines.push_back(LinkEndsLine(link, origin, dest));
        }
        if (lower > upper)
            linkBoundLines.push_back(LinkBoundsLine(link, lower, upper));
    }

    bool oneWayNode = false;  // a node that only sends or only receives
    for (int32_t n = 1; n <= ws.NodeCount; ++n) {
        const NodeTally& node = tally[static_cast<std::size_t>(n)];
        std::string line = ConnectivityLine(ws.NodeName[n], node);
        if (!line.empty())
            lines.push_back(std::move(line));
        oneWayNode = oneWayNode || node.noOrigin != node.noDest;
    }
    lines.insert(lines.end(), linkEndLines.begin(), linkEndLines.end());

    bool boundsFailed = false;
    for (int32_t n = 1; n <= ws.NodeCount; ++n) {
        const NodeTally& node = tally[static_cast<std::size_t>(n)];
        const std::string& name = ws.NodeName[n];
        if (node.minIn > node.maxOut) {
            lines.push_back("Minimum flow (" + PadNumber(node.minIn, 7) + ") into <" + name +
                            ">  exceeds  maximum flow out (" + PadNumber(node.maxOut, 7) + ")");
            boundsFailed = true;
        }
        if (node.maxIn < node.minOut) {
            lines.push_back("Maximum flow (" + PadNumber(node.maxIn, 7) + ") into <" + name +
                            "> less than minimum flow out (" + PadNumber(node.minOut, 7) + ")");
            boundsFailed = true;
        }
    }
    lines.insert(lines.end(), linkBoundLines.begin(), linkBoundLines.end());
    if (boundsFailed || !linkBoundLines.empty()) {
        lines.push_back("<<< FATAL BOUND ERRORS FOUND ABOVE ... UNABLE TO SOLVE THE PROBLEM >>>");
    }

    // The usual cause is a supply or demand modelled without a way back; the
    // guide shows how to close the circulation.
    if (oneWayNode)
        lines.push_back(ReturnLinkHint);

    NoteChecked(ws, lines.empty());
    return lines;
}

}  // namespace kav

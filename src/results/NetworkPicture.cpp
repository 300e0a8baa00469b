#include "results/NetworkPicture.h"

#include <algorithm>
#include <cstdlib>

#include "results/ResultLines.h"

namespace kav {

namespace {

constexpr double ThinWidth = 1.0;
constexpr double WidthRange = 5.0;

bool Solved(const Workspace& ws) {
    return !ws.NetworkChanged;
}

// Nodes and links of the kept set, in number order, with widths scaled to
// the largest flow among them.
PictureGraph BuildGraph(const Workspace& ws, const std::vector<char>& kept) {
    PictureGraph graph;
    graph.solved = Solved(ws);
    for (int32_t n = 1; n <= ws.NodeCount; ++n) {
        if (kept[static_cast<std::size_t>(n)])
            graph.nodes.push_back({n, ws.NodeName[n]});
    }
    int64_t largest = 0;
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        const int32_t origin = ws.LinkOrigin[k];
        const int32_t dest = ws.LinkDest[k];
        if (!IsNode(ws, origin) || !IsNode(ws, dest))
            continue;
        if (!kept[static_cast<std::size_t>(origin)] || !kept[static_cast<std::size_t>(dest)])
            continue;
        graph.links.push_back({k, origin, dest, PictureLinkState(ws, k, graph.solved), ThinWidth});
        if (graph.solved)
            largest = std::max(largest, std::abs(static_cast<int64_t>(ws.LinkFlow[k])));
    }
    if (largest > 0) {
        for (PictureLink& link : graph.links) {
            const auto flow = std::abs(static_cast<int64_t>(ws.LinkFlow[link.link]));
            link.width =
                ThinWidth + WidthRange * static_cast<double>(flow) / static_cast<double>(largest);
        }
    }
    return graph;
}

}  // namespace

LinkState PictureLinkState(const Workspace& ws, int32_t link, bool solved) {
    if (!solved)
        return LinkState::NoSolution;
    if (!LinkInKilter(ws, link))
        return LinkState::OutOfKilter;
    const int32_t flow = ws.LinkFlow[link];
    if (flow == ws.LinkUpper[link])
        return LinkState::AtUpper;
    if (flow == ws.LinkLower[link])
        return LinkState::AtLower;
    return LinkState::Between;
}

PictureGraph WholeNetwork(const Workspace& ws) {
    std::vector<char> kept(static_cast<std::size_t>(ws.NodeCount) + 1, 1);
    kept[0] = 0;
    return BuildGraph(ws, kept);
}

// Breadth-first over the links, `steps` rounds; links whose end nodes are out
// of range (never in a valid problem) are skipped.
PictureGraph Neighbourhood(const Workspace& ws, int32_t node, int steps) {
    std::vector<char> kept(static_cast<std::size_t>(ws.NodeCount) + 1, 0);
    if (IsNode(ws, node))
        kept[static_cast<std::size_t>(node)] = 1;
    for (int step = 0; step < steps; ++step) {
        std::vector<char> next = kept;
        for (int32_t k = 1; k <= ws.LinkCount; ++k) {
            const int32_t origin = ws.LinkOrigin[k];
            const int32_t dest = ws.LinkDest[k];
            if (!IsNode(ws, origin) || !IsNode(ws, dest))
                continue;
            if (kept[static_cast<std::size_t>(origin)])
                next[static_cast<std::size_t>(dest)] = 1;
            if (kept[static_cast<std::size_t>(dest)])
                next[static_cast<std::size_t>(origin)] = 1;
        }
        kept.swap(next);
    }
    return BuildGraph(ws, kept);
}

bool PictureTooLarge(const Workspace& ws) {
    return ws.NodeCount > WholePictureMaxNodes || ws.LinkCount > WholePictureMaxLinks;
}

}  // namespace kav

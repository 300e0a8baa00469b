#include "results/NetworkPicture.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "results/ResultLines.h"
#include "solver/LastSolve.h"

namespace kav {

namespace {

constexpr double ThinWidth = 1.0;
constexpr double WidthRange = 5.0;

bool Solved(const Workspace& ws) {
    return FlowsStand(ws);
}

// The kept nodes and links, in number order, with widths scaled to the
// largest flow among them.
PictureGraph BuildGraph(const Workspace& ws, const std::vector<char>& keptNodes,
                        const std::vector<char>& keptLinks) {
    PictureGraph graph;
    graph.solved = Solved(ws);
    for (int32_t n = 1; n <= ws.NodeCount; ++n) {
        if (keptNodes[static_cast<std::size_t>(n)])
            graph.nodes.push_back({n, ws.NodeName[n]});
    }
    int64_t largest = 0;
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        if (!keptLinks[static_cast<std::size_t>(k)])
            continue;
        PictureLink link;
        link.link = k;
        link.origin = ws.LinkOrigin[k];
        link.dest = ws.LinkDest[k];
        link.state = PictureLinkState(ws, k, graph.solved);
        graph.links.push_back(std::move(link));
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
    MarkReturningLinks(graph);
    return graph;
}

bool ValidLink(const Workspace& ws, int32_t k) {
    return IsNode(ws, ws.LinkOrigin[k]) && IsNode(ws, ws.LinkDest[k]);
}

// The links of a neighbourhood by number (1 kept). Rings: 0 the centre, 1 its
// neighbours, -1 any other node.
std::vector<char> NeighbourhoodLinks(const Workspace& ws, int32_t node, int steps) {
    std::vector<char> links(static_cast<std::size_t>(ws.LinkCount) + 1, 0);
    if (!IsNode(ws, node))
        return links;
    std::vector<int8_t> ring(static_cast<std::size_t>(ws.NodeCount) + 1, -1);
    ring[static_cast<std::size_t>(node)] = 0;
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        if (!ValidLink(ws, k))
            continue;
        if (ws.LinkOrigin[k] == node && ws.LinkDest[k] != node)
            ring[static_cast<std::size_t>(ws.LinkDest[k])] = 1;
        if (ws.LinkDest[k] == node && ws.LinkOrigin[k] != node)
            ring[static_cast<std::size_t>(ws.LinkOrigin[k])] = 1;
    }
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        if (!ValidLink(ws, k))
            continue;
        const bool originNear = ring[static_cast<std::size_t>(ws.LinkOrigin[k])] >= 0;
        const bool destNear = ring[static_cast<std::size_t>(ws.LinkDest[k])] >= 0;
        if (steps >= 2 ? (originNear || destNear) : (originNear && destNear))
            links[static_cast<std::size_t>(k)] = 1;
    }
    return links;
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
    std::vector<char> nodes(static_cast<std::size_t>(ws.NodeCount) + 1, 1);
    nodes[0] = 0;
    std::vector<char> links(static_cast<std::size_t>(ws.LinkCount) + 1, 0);
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        links[static_cast<std::size_t>(k)] = ValidLink(ws, k) ? 1 : 0;
    return BuildGraph(ws, nodes, links);
}

PictureGraph Neighbourhood(const Workspace& ws, int32_t node, int steps, int32_t maxLinks) {
    std::vector<char> links = NeighbourhoodLinks(ws, node, steps);
    if (maxLinks > 0) {
        std::vector<int32_t> chosen;
        for (int32_t k = 1; k <= ws.LinkCount; ++k) {
            if (links[static_cast<std::size_t>(k)])
                chosen.push_back(k);
        }
        if (chosen.size() > static_cast<std::size_t>(maxLinks)) {
            const bool flows = Solved(ws);
            auto flow = [&ws, flows](int32_t k) {
                return flows ? std::abs(static_cast<int64_t>(ws.LinkFlow[k])) : int64_t{0};
            };
            std::stable_sort(chosen.begin(), chosen.end(),
                             [&flow](int32_t a, int32_t b) { return flow(a) > flow(b); });
            for (std::size_t i = static_cast<std::size_t>(maxLinks); i < chosen.size(); ++i)
                links[static_cast<std::size_t>(chosen[i])] = 0;
        }
    }
    std::vector<char> nodes(static_cast<std::size_t>(ws.NodeCount) + 1, 0);
    if (IsNode(ws, node))
        nodes[static_cast<std::size_t>(node)] = 1;
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        if (links[static_cast<std::size_t>(k)]) {
            nodes[static_cast<std::size_t>(ws.LinkOrigin[k])] = 1;
            nodes[static_cast<std::size_t>(ws.LinkDest[k])] = 1;
        }
    }
    return BuildGraph(ws, nodes, links);
}

int32_t NeighbourhoodLinkCount(const Workspace& ws, int32_t node, int steps) {
    const std::vector<char> links = NeighbourhoodLinks(ws, node, steps);
    return static_cast<int32_t>(std::count(links.begin(), links.end(), 1));
}

namespace {

// The links of a graph by node positions, self-loops left out.
struct LinkEnds {
    std::vector<std::vector<std::size_t>> out, in;  // link indices per node position
    std::vector<int32_t> origin, dest;              // node positions per link, -1: none
};

// Greedy: sinks go to the back of the line, sources to the front; otherwise
// the node with the largest surplus of links out over links in goes next,
// first the node `first` when it is not -1. Returns each node's place.
std::vector<int64_t> LineUp(const LinkEnds& ends, int64_t first) {
    const std::size_t count = ends.out.size();
    std::vector<int32_t> outLeft(count), inLeft(count);
    for (std::size_t i = 0; i < count; ++i) {
        outLeft[i] = static_cast<int32_t>(ends.out[i].size());
        inLeft[i] = static_cast<int32_t>(ends.in[i].size());
    }
    std::vector<int64_t> place(count, -1);
    int64_t front = 0;
    auto back = static_cast<int64_t>(count) - 1;
    for (std::size_t left = count; left > 0; --left) {
        std::size_t best = count;
        bool sink = false;
        if (first >= 0) {
            best = static_cast<std::size_t>(first);
            first = -1;
        } else {
            for (std::size_t i = 0; i < count && !sink; ++i) {
                if (place[i] >= 0)
                    continue;
                if (outLeft[i] == 0) {
                    best = i;
                    sink = true;
                } else if (inLeft[i] == 0) {
                    if (best == count || inLeft[best] != 0)
                        best = i;
                } else if (best == count ||
                           (inLeft[best] != 0 &&
                            outLeft[i] - inLeft[i] > outLeft[best] - inLeft[best])) {
                    best = i;
                }
            }
        }
        place[best] = sink ? back-- : front++;
        for (std::size_t l : ends.out[best])
            --inLeft[static_cast<std::size_t>(ends.dest[l])];
        for (std::size_t l : ends.in[best])
            --outLeft[static_cast<std::size_t>(ends.origin[l])];
    }
    return place;
}

std::size_t BackwardLinks(const LinkEnds& ends, const std::vector<int64_t>& place) {
    std::size_t backward = 0;
    for (std::size_t l = 0; l < ends.origin.size(); ++l) {
        if (ends.origin[l] >= 0 && place[static_cast<std::size_t>(ends.origin[l])] >
                                       place[static_cast<std::size_t>(ends.dest[l])])
            ++backward;
    }
    return backward;
}

// Up to this many nodes every node is tried first. The node with the largest
// surplus is not always the right start: in a transportation problem each
// plant sends more links than the source does, yet the source leads.
constexpr std::size_t TriedStartsMax = 100;

}  // namespace

// The greedy line, started from each node in turn (on small graphs): the line with the fewest links
// running back wins, the first tried on a tie.
void MarkReturningLinks(PictureGraph& graph) {
    const std::size_t count = graph.nodes.size();
    std::vector<int32_t> index;  // node number -> position in graph.nodes, or -1
    for (std::size_t i = 0; i < count; ++i) {
        const auto n = static_cast<std::size_t>(graph.nodes[i].node);
        if (index.size() <= n)
            index.resize(n + 1, -1);
        index[n] = static_cast<int32_t>(i);
    }
    auto at = [&index](int32_t node) -> int32_t {
        return node >= 0 && static_cast<std::size_t>(node) < index.size()
                   ? index[static_cast<std::size_t>(node)]
                   : -1;
    };
    LinkEnds ends;
    ends.out.resize(count);
    ends.in.resize(count);
    for (std::size_t l = 0; l < graph.links.size(); ++l) {
        int32_t o = at(graph.links[l].origin), d = at(graph.links[l].dest);
        if (o < 0 || d < 0 || o == d)
            o = d = -1;
        ends.origin.push_back(o);
        ends.dest.push_back(d);
        if (o < 0)
            continue;
        ends.out[static_cast<std::size_t>(o)].push_back(l);
        ends.in[static_cast<std::size_t>(d)].push_back(l);
    }
    std::vector<int64_t> place = LineUp(ends, -1);
    if (count <= TriedStartsMax) {
        std::size_t fewest = BackwardLinks(ends, place);
        for (std::size_t i = 0; i < count && fewest > 0; ++i) {
            if (ends.in[i].empty())
                continue;  // comes first in every line anyway
            std::vector<int64_t> tried = LineUp(ends, static_cast<int64_t>(i));
            const std::size_t backward = BackwardLinks(ends, tried);
            if (backward < fewest) {
                fewest = backward;
                place = std::move(tried);
            }
        }
    }
    for (std::size_t l = 0; l < graph.links.size(); ++l) {
        graph.links[l].returning =
            ends.origin[l] >= 0 && place[static_cast<std::size_t>(ends.origin[l])] >
                                       place[static_cast<std::size_t>(ends.dest[l])];
    }
}

std::string FlowLabelText(const Workspace& ws, int32_t link) {
    const std::string flow = std::to_string(ws.LinkFlow[link]);
    const std::string upper = std::to_string(ws.LinkUpper[link]);
    if (ws.LinkLower[link] == 0)
        return flow + "/" + upper;
    return flow + " in " + std::to_string(ws.LinkLower[link]) + ".." + upper;
}

void LabelLinks(PictureGraph& graph, const Workspace& ws, bool on) {
    for (PictureLink& link : graph.links)
        link.label = on && graph.solved ? FlowLabelText(ws, link.link) : std::string();
}

bool PictureTooLarge(const Workspace& ws) {
    return ws.NodeCount > WholePictureMaxNodes || ws.LinkCount > WholePictureMaxLinks;
}

bool PictureTooLarge(const PictureGraph& graph) {
    return graph.nodes.size() > static_cast<std::size_t>(WholePictureMaxNodes) ||
           graph.links.size() > static_cast<std::size_t>(WholePictureMaxLinks);
}

}  // namespace kav

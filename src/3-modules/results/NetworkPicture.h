#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "workspace/Workspace.h"

namespace kav {

// How a link stands after a solve, as the network picture colours it.
enum class LinkState {
    NoSolution,   // the network changed since the solve: no flows shown
    AtLower,      // in kilter, flow at the lower bound
    Between,      // in kilter, flow strictly between the bounds
    AtUpper,      // in kilter, flow at the upper bound (saturated)
    OutOfKilter,  // marked with an asterisk in the lists
};

struct PictureNode {
    int32_t node = 0;
    std::string name;
};

struct PictureLink {
    int32_t link = 0;
    int32_t origin = 0;
    int32_t dest = 0;
    LinkState state = LinkState::NoSolution;
    // Line width in points: 1 with no flow, up to 6 for the largest flow.
    double width = 1.0;
    // Closes a cycle against the network's main direction (the return link
    // from a sink to a source): it takes no part in ranking the nodes.
    bool returning = false;
    // The flow label (LabelLinks), laid out with the link; empty: none.
    std::string label;
};

// What the picture draws: nodes and links in number order, so that the same
// problem always gives Graphviz the same input and the same layout.
struct PictureGraph {
    std::vector<PictureNode> nodes;
    std::vector<PictureLink> links;
    bool solved = false;
};

// A link's state; with solved false always NoSolution.
LinkState PictureLinkState(const Workspace& ws, int32_t link, bool solved);

// The whole network. Flows count only when the network has not changed since
// the solve (the lists then show no flows either).
PictureGraph WholeNetwork(const Workspace& ws);

// The node itself, its neighbours (either direction) and the links that touch
// the node or a neighbour; at two steps also the nodes those links reach (the
// links between two of them stay out). maxLinks 0 keeps every such link;
// otherwise only the maxLinks of them with the largest flows (ties: the lower
// number) and the nodes they join.
PictureGraph Neighbourhood(const Workspace& ws, int32_t node, int steps, int32_t maxLinks = 0);

// How many links Neighbourhood(ws, node, steps) holds.
int32_t NeighbourhoodLinkCount(const Workspace& ws, int32_t node, int steps);

// Marks the links that close a cycle against the main direction: the nodes
// are put in a line that sources start and sinks end, each next node the one
// with the most links out over links in among those left, and a link that
// runs back along that line is returning.
void MarkReturningLinks(PictureGraph& graph);

// The link's label after a solve: FLOW/UPPER, or FLOW in LOWER..UPPER when
// the lower bound is not 0.
std::string FlowLabelText(const Workspace& ws, int32_t link);

// Gives every link of a solved graph its flow label (on), or takes them away.
void LabelLinks(PictureGraph& graph, const Workspace& ws, bool on);

// Flow labels are shown by default on pictures of up to this many links.
constexpr std::size_t LabelledLinksMax = 60;

// Above these sizes the picture starts from one node's neighbourhood.
constexpr int32_t WholePictureMaxNodes = 300;
constexpr int32_t WholePictureMaxLinks = 3000;
bool PictureTooLarge(const Workspace& ws);
bool PictureTooLarge(const PictureGraph& graph);

}  // namespace kav

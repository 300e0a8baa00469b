#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "results/NetworkPicture.h"

namespace kav {

// A point of the laid-out picture, in points (1/72 inch), y growing downward.
struct LayoutPoint {
    double x = 0.0;
    double y = 0.0;
};

struct NodePlace {
    int32_t node = 0;
    LayoutPoint centre;
    double width = 0.0;
    double height = 0.0;
};

struct LinkRoute {
    int32_t link = 0;
    // Cubic Bezier control points: start, then three per segment. Empty when
    // Graphviz gave no route (the picture then draws a straight line).
    std::vector<LayoutPoint> curve;
    // Where the arrow head ends, at the destination's border.
    bool hasArrow = false;
    LayoutPoint arrowTip;
    // Where Graphviz put the link's label, when it has one.
    bool hasLabel = false;
    LayoutPoint labelCentre;
};

struct GraphLayout {
    std::vector<NodePlace> nodes;  // in the graph's node order
    std::vector<LinkRoute> links;  // in the graph's link order
    double width = 0.0;
    double height = 0.0;
};

// Up to this many nodes the layered "dot" layout, above it "sfdp".
constexpr std::size_t DotMaxNodes = 100;

// The font the picture's node names are measured and drawn in.
inline constexpr char PictureFontFamily[] = "DejaVu Sans";

// Lays the graph out with Graphviz. Graphviz keeps global state and is not
// thread-safe: the program calls this from one thread only, one call at a
// time. Throws std::runtime_error when Graphviz fails.
GraphLayout LayOutGraph(const PictureGraph& graph);

}  // namespace kav

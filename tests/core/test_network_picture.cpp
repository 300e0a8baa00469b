#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>

#include "results/GraphLayout.h"
#include "results/NetworkPicture.h"
#include "support/PictureProblems.h"
#include "support/ProblemBuilder.h"
#include "workspace/Workspace.h"

using namespace kav;

namespace {

std::unique_ptr<Workspace> LinksAtEveryState() {
    auto ws = std::make_unique<Workspace>();
    FillLinksAtEveryState(*ws);
    return ws;
}

std::unique_ptr<Workspace> Ring(int count) {
    auto ws = std::make_unique<Workspace>();
    FillRing(*ws, count);
    return ws;
}

std::set<int32_t> NodesOf(const PictureGraph& graph) {
    std::set<int32_t> nodes;
    for (const PictureNode& node : graph.nodes)
        nodes.insert(node.node);
    return nodes;
}

void ExpectSameLayout(const GraphLayout& a, const GraphLayout& b) {
    ASSERT_EQ(a.nodes.size(), b.nodes.size());
    for (std::size_t i = 0; i < a.nodes.size(); ++i) {
        EXPECT_EQ(a.nodes[i].centre.x, b.nodes[i].centre.x);
        EXPECT_EQ(a.nodes[i].centre.y, b.nodes[i].centre.y);
    }
    ASSERT_EQ(a.links.size(), b.links.size());
    for (std::size_t i = 0; i < a.links.size(); ++i)
        EXPECT_EQ(a.links[i].curve.size(), b.links[i].curve.size());
}

}  // namespace

TEST(NetworkPicture, LinkStatesFollowTheKilterStates) {
    auto ws = LinksAtEveryState();
    const PictureGraph graph = WholeNetwork(*ws);
    ASSERT_TRUE(graph.solved);
    ASSERT_EQ(graph.links.size(), 5u);
    EXPECT_EQ(graph.links[0].state, LinkState::AtLower);
    EXPECT_EQ(graph.links[1].state, LinkState::Between);
    EXPECT_EQ(graph.links[2].state, LinkState::AtUpper);
    EXPECT_EQ(graph.links[3].state, LinkState::OutOfKilter);
    EXPECT_EQ(graph.links[4].state, LinkState::AtUpper);
    // Widths grow with the flow: none is thinner than a link without flow.
    EXPECT_DOUBLE_EQ(graph.links[0].width, 1.0);
    EXPECT_LT(graph.links[1].width, graph.links[2].width);
    EXPECT_DOUBLE_EQ(graph.links[3].width, 6.0);
}

// Bounds edited after a solve can put a kilter number beyond 32 bits: the
// picture marks the link as the lists do instead of failing.
TEST(NetworkPicture, AKilterNumberBeyondThirtyTwoBitsIsOutOfKilter) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 2, -2000000000, 2000000000, -1, -2000000000);
    EXPECT_EQ(WholeNetwork(ws).links.at(0).state, LinkState::OutOfKilter);
}

TEST(NetworkPicture, AChangedNetworkShowsNoFlows) {
    auto ws = LinksAtEveryState();
    ws->NetworkChanged = true;
    const PictureGraph graph = WholeNetwork(*ws);
    EXPECT_FALSE(graph.solved);
    for (const PictureLink& link : graph.links) {
        EXPECT_EQ(link.state, LinkState::NoSolution);
        EXPECT_DOUBLE_EQ(link.width, 1.0);
    }
}

TEST(NetworkPicture, NeighbourhoodHoldsExactlyTheNeighbours) {
    auto ws = Ring(20);
    // Node 5 reaches 6 and 8 and is reached from 4 and 2.
    const PictureGraph one = Neighbourhood(*ws, 5, 1);
    EXPECT_EQ(NodesOf(one), (std::set<int32_t>{2, 4, 5, 6, 8}));
    for (const PictureLink& link : one.links) {
        EXPECT_TRUE(NodesOf(one).count(link.origin) && NodesOf(one).count(link.dest));
    }
    // 2->5, 4->5, 5->6 and 5->8; 4->7 and 6->7 leave the neighbourhood.
    EXPECT_EQ(one.links.size(), 4u);
    const PictureGraph two = Neighbourhood(*ws, 5, 2);
    EXPECT_EQ(NodesOf(two), (std::set<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 19}));
    EXPECT_TRUE(Neighbourhood(*ws, 99, 1).nodes.empty());
}

TEST(GraphLayout, EveryNodeAndLinkIsPlacedAndNoTwoNodesShareASpot) {
    auto ring = Ring(12);
    const PictureGraph graph = WholeNetwork(*ring);
    const GraphLayout layout = LayOutGraph(graph);
    ASSERT_EQ(layout.nodes.size(), 12u);
    ASSERT_EQ(layout.links.size(), 24u);
    std::set<std::pair<double, double>> spots;
    for (std::size_t i = 0; i < layout.nodes.size(); ++i) {
        const NodePlace& place = layout.nodes[i];
        EXPECT_EQ(place.node, graph.nodes[i].node);
        EXPECT_GT(place.width, 0.0);
        EXPECT_GE(place.centre.x, 0.0);
        EXPECT_LE(place.centre.x, layout.width);
        EXPECT_GE(place.centre.y, 0.0);
        EXPECT_LE(place.centre.y, layout.height);
        spots.insert({place.centre.x, place.centre.y});
    }
    EXPECT_EQ(spots.size(), 12u);
    for (const LinkRoute& route : layout.links) {
        EXPECT_GE(route.curve.size(), 4u) << "link " << route.link;
        EXPECT_TRUE(route.hasArrow) << "link " << route.link;
    }
}

TEST(GraphLayout, TheSameProblemGivesTheSamePicture) {
    auto small = Ring(12);
    ExpectSameLayout(LayOutGraph(WholeNetwork(*small)), LayOutGraph(WholeNetwork(*small)));
    // Above 100 nodes the other engine takes over; it must repeat too.
    auto large = Ring(150);
    const GraphLayout first = LayOutGraph(WholeNetwork(*large));
    ExpectSameLayout(first, LayOutGraph(WholeNetwork(*large)));
    std::set<std::pair<double, double>> spots;
    for (const NodePlace& place : first.nodes)
        spots.insert({place.centre.x, place.centre.y});
    EXPECT_EQ(spots.size(), 150u);
}

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

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
    NoteLinkRerouted(*ws);
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

// A hub joined to every other node (links 1..N-1, flow n on 1 -> n) and a
// path 2 -> 3 -> ... -> N through the others.
std::unique_ptr<Workspace> Hub(int count) {
    auto ws = std::make_unique<Workspace>();
    ProblemBuilder builder(*ws);
    builder.Nodes(count);
    for (int32_t n = 2; n <= count; ++n)
        builder.Link(1, n, 0, 1000, 1, n);
    for (int32_t n = 2; n < count; ++n)
        builder.Link(n, n + 1, 0, 1000, 1);
    return ws;
}

// Only links that touch the centre or a neighbour come in; at two steps the
// links between two second-ring nodes stay out; a limit keeps the links with
// the largest flows.
TEST(NetworkPicture, NeighbourhoodsAreBounded) {
    auto ws = Hub(50);
    struct Case {
        int32_t node;
        int steps;
        int32_t most;
        std::size_t nodes;
        std::size_t links;
    } cases[] = {
        {1, 1, 0, 50, 49 + 48},  // every node is the hub's neighbour
        {5, 1, 0, 4, 3 + 2},     // 1, 4, 6: the hub links to them and 4 -> 5 -> 6
        {5, 2, 0, 50, 49 + 4},   // the hub's links, 3 -> 4 ... 6 -> 7; not 10 -> 11
        {1, 1, 3, 4, 3},         // 1 -> 50, 1 -> 49, 1 -> 48
    };
    for (const Case& c : cases) {
        const PictureGraph graph = Neighbourhood(*ws, c.node, c.steps, c.most);
        EXPECT_EQ(graph.nodes.size(), c.nodes) << c.node << " " << c.steps;
        EXPECT_EQ(graph.links.size(), c.links) << c.node << " " << c.steps;
        if (c.most == 0) {
            EXPECT_EQ(NeighbourhoodLinkCount(*ws, c.node, c.steps), static_cast<int32_t>(c.links));
        }
    }
    EXPECT_EQ(NodesOf(Neighbourhood(*ws, 1, 1, 3)), (std::set<int32_t>{1, 48, 49, 50}));
}

// Only the link that closes the cycle against the main direction is
// returning: it must not pull the sink back in front of the source.
TEST(NetworkPicture, ReturnLinksDoNotRankTheNodes) {
    struct Case {
        std::vector<std::pair<int32_t, int32_t>> links;
        std::vector<int32_t> returning;  // link numbers
    } cases[] = {
        // Origins 1, 2, destinations 3, 4, source 5, sink 6.
        {{{1, 3}, {1, 4}, {2, 3}, {2, 4}, {5, 1}, {5, 2}, {3, 6}, {4, 6}, {6, 5}}, {9}},
        // The same with the return link first: numbers do not decide it.
        {{{6, 5}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {5, 1}, {5, 2}, {3, 6}, {4, 6}}, {1}},
        // Plants 1-3 send to more cities (4-7) than the source 8 feeds plants:
        // the source still leads and only the sink 9's return link runs back.
        {{{1, 4}, {1, 5}, {1, 6}, {1, 7}, {2, 4}, {2, 5}, {2, 6}, {2, 7}, {3, 4}, {3, 5},
          {3, 6}, {3, 7}, {8, 1}, {8, 2}, {8, 3}, {4, 9}, {5, 9}, {6, 9}, {7, 9}, {9, 8}},
         {20}},
        {{{1, 2}, {2, 3}, {3, 1}}, {3}},  // a plain ring: one link closes it
        {{{1, 2}, {2, 3}, {1, 3}}, {}},   // no cycle
    };
    for (const Case& c : cases) {
        Workspace ws;
        ProblemBuilder builder(ws);
        builder.Nodes(9);
        for (const auto& [origin, dest] : c.links)
            builder.Link(origin, dest, 0, 5, 1);
        std::vector<int32_t> returning;
        for (const PictureLink& link : WholeNetwork(ws).links) {
            if (link.returning)
                returning.push_back(link.link);
        }
        EXPECT_EQ(returning, c.returning) << c.links.size();
    }
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

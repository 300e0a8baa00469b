#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "solver/CheckProblem.h"
#include "support/ProblemBuilder.h"

using namespace kav;
using Lines = std::vector<std::string>;

namespace {
const std::string Closing =
    "<<< FATAL BOUND ERRORS FOUND ABOVE ... UNABLE TO SOLVE THE PROBLEM >>>";
}

TEST(CheckProblem, SoundProblemPassesWithNoLines) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 2, 0, 5, 1).Link(2, 1, 0, 5, 1);
    SetFlow(ws, 1, 77);  // flows and potentials are not looked at
    EXPECT_TRUE(CheckProblem(ws).empty());
    EXPECT_TRUE(ws.ChecksPassed);
    EXPECT_EQ(ws.LinkFlow[1], 77);
}

TEST(CheckProblem, ConnectivityLinesNameEachNodeOnce) {
    Workspace ws;
    ProblemBuilder(ws)
        .Node("A")
        .Node("NOOUT")
        .Node("NOIN")
        .Node("ALONE")
        .Node("TWELVECHARSX")
        .Link(1, 2, 0, 1, 0)
        .Link(3, 1, 0, 1, 0);
    NoteChecked(ws, true);
    EXPECT_EQ(CheckProblem(ws), (Lines{
                                    "Node <NOOUT> is never used as an origin...FATAL ERROR...",
                                    "Node <NOIN> is never used as a destination...FATAL ERROR...",
                                    "Node <ALONE> is never used...FATAL ERROR...",
                                    "Node <TWELVECHARSX> is never used...FATAL ERROR...",
                                    ReturnLinkHint,
                                }));
    EXPECT_FALSE(ws.ChecksPassed);
}

TEST(CheckProblem, BoundLinesFollowInNodeOrderWithTheClosingLine) {
    Workspace ws;
    // DEPOT: 120 must come in, at most 80 can leave; SHOP: at most 3 can come
    // in, at least 12345678 must leave.
    ProblemBuilder(ws)
        .Node("DEPOT")
        .Node("SHOP")
        .Node("X")
        .Link(3, 1, 120, 200, 0)
        .Link(1, 2, 0, 80, 0)
        .Link(2, 3, 12345678, 12345678, 0)
        .Link(3, 2, -5, 3, 0);
    EXPECT_EQ(CheckProblem(ws),
              (Lines{
                  "Minimum flow (    120) into <DEPOT>  exceeds  maximum flow out (     80)",
                  "Maximum flow (     83) into <SHOP> less than minimum flow out (12345678)",
                  "Minimum flow (12345678) into <X>  exceeds  maximum flow out (    203)",
                  Closing,
              }));
    EXPECT_FALSE(ws.ChecksPassed);
}

TEST(CheckProblem, NegativeSumsKeepTheirSign) {
    Workspace ws;
    ProblemBuilder(ws).Node("P").Node("Q").Link(1, 2, -5, 3, 0).Link(2, 1, -10, -10, 0);
    EXPECT_EQ(CheckProblem(ws),
              (Lines{
                  "Maximum flow (    -10) into <P> less than minimum flow out (     -5)",
                  "Minimum flow (     -5) into <Q>  exceeds  maximum flow out (    -10)",
                  Closing,
              }));
}

TEST(CheckProblem, EqualSumsPass) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 2, 7, 7, 0).Link(2, 1, 7, 7, 0);
    EXPECT_TRUE(CheckProblem(ws).empty());
    EXPECT_TRUE(ws.ChecksPassed);
}

TEST(CheckProblem, BothBoundLinesForOneNodeMinimumFirst) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 2, 10, 10, 0).Link(2, 1, 0, 5, 0).Link(2, 1, 20, 20, 0);
    // Node 2: in 10..10, out 20..25 -> Max in 10 < min out 20.
    // Node 1: in 20..25, out 10..10 -> Min in 20 > max out 10.
    EXPECT_EQ(CheckProblem(ws),
              (Lines{
                  "Minimum flow (     20) into <N1>  exceeds  maximum flow out (     10)",
                  "Maximum flow (     10) into <N2> less than minimum flow out (     20)",
                  Closing,
              }));
}

TEST(CheckProblem, LargeBoundsDoNotOverflowTheSums) {
    Workspace ws;
    ProblemBuilder(ws)
        .Nodes(2)
        .Link(1, 2, 0, 2147483647, 0)
        .Link(1, 2, 0, 2147483647, 0)
        .Link(2, 1, -2147483647 - 1, 2147483647, 0)
        .Link(2, 1, -2147483647 - 1, 2147483647, 0);
    EXPECT_TRUE(CheckProblem(ws).empty());
    EXPECT_TRUE(ws.ChecksPassed);

    for (int32_t link : {1, 2})
        ChangeLink(ws, link, &LinkData::Lower, 2147483647);
    for (int32_t link : {3, 4})
        ChangeLink(ws, link, &LinkData::Upper, 2000000000);
    EXPECT_EQ(CheckProblem(ws),
              (Lines{
                  "Maximum flow (4000000000) into <N1> less than minimum flow out (4294967294)",
                  "Minimum flow (4294967294) into <N2>  exceeds  maximum flow out (4000000000)",
                  Closing,
              }));
}

TEST(CheckProblem, LinkWithLowerAboveUpperIsReported) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 2, 5, 9, 0).Link(2, 1, 8, 4, 0).Link(2, 1, 0, 9, 0);
    EXPECT_EQ(CheckProblem(ws),
              (Lines{
                  "Link <2> has lower bound (      8) above upper bound (      4)...FATAL ERROR...",
                  Closing,
              }));
    EXPECT_FALSE(ws.ChecksPassed);
}

TEST(CheckProblem, LinkNamingAMissingNodeIsReported) {
    Workspace ws;
    ProblemBuilder(ws)
        .Nodes(2)
        .Link(1, 2, 0, 1, 0)
        .Link(2, 1, 0, 1, 0)
        .Link(2, 3, 0, 1, 0)
        .Link(0, 1, 0, 1, 0);
    EXPECT_EQ(CheckProblem(ws),
              (Lines{
                  "Link <3> runs from node 2 to node 3, which is not a node of the problem"
                  "...FATAL ERROR...",
                  "Link <4> runs from node 0 to node 1, which is not a node of the problem"
                  "...FATAL ERROR...",
              }));
    EXPECT_FALSE(ws.ChecksPassed);
}

TEST(CheckProblem, ConnectivityThenLinkEndsThenBoundLines) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(3).Link(1, 2, 5, 5, 0).Link(2, 1, 0, 1, 0).Link(1, 9, 3, 2, 0);
    const Lines lines = CheckProblem(ws);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Node <N3> is never used...FATAL ERROR...");
    EXPECT_EQ(lines[1].rfind("Link <3> runs from node 1 to node 9", 0), 0u);
    EXPECT_EQ(lines[2].rfind("Maximum flow (      1) into <N1>", 0), 0u);
    EXPECT_EQ(lines[3].rfind("Minimum flow (      5) into <N2>", 0), 0u);
    EXPECT_EQ(lines[4].rfind("Link <3> has lower bound", 0), 0u);
    EXPECT_EQ(lines[5], Closing);
}

// The hint closes the list exactly when some node only sends or only receives.
TEST(CheckProblem, ReturnLinkHintOnlyForOneWayNodes) {
    struct Case {
        const char* what;
        std::vector<std::array<int32_t, 4>> links;  // origin, dest, lower, upper
        std::size_t lineCount;
        bool hint;
    };
    const Case cases[] = {
        {"transportation without return", {{1, 2, 0, 5}, {1, 3, 0, 5}}, 4, true},
        {"only receives", {{1, 2, 0, 5}, {2, 1, 0, 5}, {1, 3, 0, 5}}, 2, true},
        {"isolated node only", {{1, 2, 0, 5}, {2, 1, 0, 5}}, 1, false},
        {"bounds only", {{1, 2, 5, 5}, {2, 1, 0, 1}, {1, 3, 0, 1}, {3, 1, 0, 1}}, 3, false},
        {"closed circulation", {{1, 2, 0, 5}, {2, 3, 0, 5}, {3, 1, 0, 5}}, 0, false},
    };
    for (const Case& c : cases) {
        Workspace ws;
        ProblemBuilder builder(ws);
        builder.Nodes(3);
        for (const auto& l : c.links)
            builder.Link(l[0], l[1], l[2], l[3], 0);
        const Lines lines = CheckProblem(ws);
        EXPECT_EQ(lines.size(), c.lineCount) << c.what;
        EXPECT_EQ(!lines.empty() && lines.back() == ReturnLinkHint, c.hint) << c.what;
        EXPECT_EQ(ws.ChecksPassed, lines.empty()) << c.what;
    }
}

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "ExampleProblems.h"
#include "RandomProblems.h"
#include "ReferenceKilter.h"
#include "solver/KiltSolve.h"
#include "support/ProblemBuilder.h"

using namespace kav;

namespace {

struct RecordingSink : ProgressSink {
    std::vector<int32_t> links;
    void ReportProgress(int32_t link, int32_t linkCount) override {
        links.push_back(link);
        EXPECT_GE(linkCount, link);
    }
};

std::vector<int32_t> Flows(const Workspace& ws) {
    std::vector<int32_t> flows;
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        flows.push_back(ws.LinkFlow[k]);
    return flows;
}

std::vector<int32_t> Potentials(const Workspace& ws) {
    std::vector<int32_t> potentials;
    for (int32_t n = 1; n <= ws.NodeCount; ++n)
        potentials.push_back(ws.NodePotential[n]);
    return potentials;
}

using Values = std::vector<int32_t>;

// Solves ws with solver, and a copy of it the plain way: the outcome, the
// failing link, the flows, the potentials and the progress reports must agree. The callers keep one
// solver for all their problems, so that anything a solve left in its scratch would show in the
// next one.
void ExpectSameAsPlainRun(KilterSolver& solver, Workspace& ws, bool* infeasible = nullptr) {
    Workspace plain = ws;
    const reference::ReferenceResult expected = reference::ReferenceKilter(plain).Run();
    RecordingSink sink;
    const SolveStatus status = solver.Solve(ws, &sink);
    ASSERT_EQ(status.IsInfeasible(), expected.infeasible);
    if (expected.infeasible) {
        ASSERT_EQ(status.Cut.FailedLink, expected.failedLink);
    }
    ASSERT_EQ(Flows(ws), Flows(plain));
    ASSERT_EQ(Potentials(ws), Potentials(plain));
    ASSERT_EQ(sink.links, expected.progress);
    if (infeasible)
        *infeasible = expected.infeasible;
}

}  // namespace

TEST(KilterState, FollowsTheSignOfTheReducedCost) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 2, 2, 8, 5);
    auto state = [&](int32_t flow) {
        SetFlow(ws, 1, flow);
        return KilterState(ws, 1);
    };
    // r > 0: only at the lower bound.
    EXPECT_TRUE(state(2).InKilter);
    EXPECT_EQ(state(5).KilterNumber, -3);
    EXPECT_EQ(state(0).KilterNumber, 2);
    // r < 0: only at the upper bound.
    SetPotential(ws, 2, 9);
    EXPECT_EQ(ReducedCost(ws, 1), -4);
    EXPECT_TRUE(state(8).InKilter);
    EXPECT_EQ(state(5).KilterNumber, 3);
    EXPECT_EQ(state(10).KilterNumber, -2);
    // r = 0: anywhere between the bounds.
    SetPotential(ws, 2, 5);
    EXPECT_TRUE(state(2).InKilter);
    EXPECT_TRUE(state(8).InKilter);
    EXPECT_EQ(state(1).KilterNumber, 1);
    EXPECT_EQ(state(9).KilterNumber, -1);
    EXPECT_FALSE(state(9).InKilter);
}

TEST(KilterState, MarkedLinkUsesTheOriginsMagnitude) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(-1, 2, 0, 5, 3);
    SetPotential(ws, 1, 10);
    EXPECT_EQ(ReducedCost(ws, 1), 13);
    ChangeLink(ws, 1, &kav::LinkData::Origin, INT32_MIN);  // a damaged file: no such node
    EXPECT_THROW(ReducedCost(ws, 1), RangeError);
}

TEST(KilterState, ValuesBeyond32BitsAreOverflowErrors) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 2, 0, 5, 2147483647);
    SetPotential(ws, 1, 1);
    EXPECT_THROW(ReducedCost(ws, 1), IntegerOverflow);
    EXPECT_EQ(WideReducedCost(ws, 1), 2147483648LL);
    ChangeLink(ws, 1, &kav::LinkData::Lower, 2147483647);
    SetFlow(ws, 1, -5);
    EXPECT_EQ(KilterState(ws, 1).KilterNumber, 2147483652LL);
}

TEST(RunOutOfKilter, ThreeNodeExampleReachesTheOptimum) {
    Workspace ws;
    ThreeNodeExample(ws);
    RecordingSink sink;
    EXPECT_TRUE(RunOutOfKilter(ws, &sink).IsFeasible());
    EXPECT_EQ(Flows(ws), (Values{2, 2, 6, 4}));
    EXPECT_EQ(Potentials(ws), (Values{0, 3, 2}));
    EXPECT_EQ(sink.links, (Values{1, 2, 3, 4}));
}

TEST(RunOutOfKilter, SecondRunFromTheOptimumChangesNothing) {
    Workspace ws;
    ThreeNodeExample(ws);
    RunOutOfKilter(ws, nullptr);
    RecordingSink sink;
    EXPECT_TRUE(RunOutOfKilter(ws, &sink).IsFeasible());
    EXPECT_EQ(Flows(ws), (Values{2, 2, 6, 4}));
    EXPECT_EQ(Potentials(ws), (Values{0, 3, 2}));
    EXPECT_EQ(sink.links, (Values{1, 2, 3, 4}));
}

TEST(RunOutOfKilter, InfeasibleProblemStopsOnTheFailingLink) {
    Workspace ws;
    InfeasibleExample(ws);
    RecordingSink sink;
    const SolveStatus status = RunOutOfKilter(ws, &sink);
    EXPECT_TRUE(status.IsInfeasible());
    EXPECT_EQ(status.Cut.FailedLink, 3);
    EXPECT_EQ(sink.links, (Values{1, 2}));
    for (int32_t k = 1; k <= 2; ++k)
        EXPECT_TRUE(KilterState(ws, k).InKilter);
}

TEST(RunOutOfKilter, EmptyProblemReturnsAtOnce) {
    Workspace ws;
    RecordingSink sink;
    EXPECT_TRUE(RunOutOfKilter(ws, &sink).IsFeasible());
    EXPECT_TRUE(sink.links.empty());
}

TEST(RunOutOfKilter, MatchesThePlainRunOnRandomProblems) {
    // The plain run decides every tie by the rules as written (lowest link
    // number, forward before backward, first zero-cost link at once); small
    // costs make such ties frequent.
    std::mt19937 rng(20261207);
    Workspace ws;
    KilterSolver solver;
    int infeasible = 0;
    for (int trial = 0; trial < 400; ++trial) {
        MakeRandomProblem(ws, rng);
        if (trial % 4 == 3)
            ScrambleFlowsAndPotentials(ws, rng);
        bool plainInfeasible = false;
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsPlainRun(solver, ws, &plainInfeasible))
            << "trial " << trial;
        infeasible += plainInfeasible ? 1 : 0;
    }
    EXPECT_GT(infeasible, 10);
    EXPECT_LT(infeasible, 390);
}

TEST(RunOutOfKilter, MatchesThePlainRunOnLargerProblems) {
    std::mt19937 rng(424242);
    // 150 to 250 nodes, 6 links a node, costs -60..60, 4% lower bounds, upper to 300.
    const RandomProblemShape shape{150, 250, 6, 60, 4, 300};
    Workspace ws;
    KilterSolver solver;
    for (int trial = 0; trial < 8; ++trial) {
        if (trial % 2 == 0) {
            MakeRandomProblem(ws, rng, shape);
        } else {
            MakeTransportProblem(ws, rng, 10 + trial, 25 - trial);
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsPlainRun(solver, ws)) << "trial " << trial;
    }
}

TEST(RunOutOfKilter, RestartsFromAChangedOptimumLikeThePlainRun) {
    std::mt19937 rng(7);
    Workspace ws;
    KilterSolver solver;
    for (int trial = 0; trial < 150; ++trial) {
        MakeRandomProblem(ws, rng);
        if (RunOutOfKilter(ws, nullptr).IsInfeasible())
            continue;
        // Change bounds and costs only, as the change window does, and go on
        // from the stored flows and potentials.
        for (int32_t k = 1; k <= ws.LinkCount; k += 3) {
            ChangeLink(ws, k, &kav::LinkData::Cost, -ws.LinkCost[k] + 1);
            ChangeLink(ws, k, &kav::LinkData::Upper,
                       ws.LinkLower[k] + (ws.LinkUpper[k] - ws.LinkLower[k]) / 2);
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsPlainRun(solver, ws)) << "trial " << trial;
    }
}

// Link 1 must carry one unit from node 4 to node 1. Node 1 reaches node 2 at
// zero cost; both then face a link to node 3 of reduced cost `cost`, the one
// from node 2 having the lower number, so the flow shows which one the
// potential change chose.
void TieProblem(Workspace& ws, int32_t cost, bool withBackwardCandidate) {
    ProblemBuilder builder(ws);
    builder.Nodes(4)
        .Link(4, 1, 1, 1, 0)
        .Link(2, 3, 0, 1, cost)
        .Link(1, 3, 0, 1, cost)
        .Link(1, 2, 0, 5, 0)
        .Link(3, 4, 0, 5, 0);
    if (withBackwardCandidate)
        builder.Link(3, 1, 0, 1, -cost);  // reduced cost -cost into node 1
}

TEST(RunOutOfKilter, EqualForwardCandidatesGoToTheLowestLinkNumber) {
    Workspace ws;
    TieProblem(ws, 5, false);
    RunOutOfKilter(ws, nullptr);
    EXPECT_EQ(Flows(ws), (Values{1, 1, 0, 1, 1}));
    EXPECT_EQ(Potentials(ws), (Values{0, 0, 5, 5}));
}

TEST(RunOutOfKilter, ForwardCandidateBeatsAnEqualBackwardOne) {
    // The backward candidate (link 6, reduced cost -4) would restart the
    // labelling at node 1 and send the unit through link 3 instead.
    Workspace ws;
    TieProblem(ws, 4, true);
    RunOutOfKilter(ws, nullptr);
    EXPECT_EQ(Flows(ws), (Values{1, 1, 0, 1, 1, 0}));
    EXPECT_EQ(Potentials(ws), (Values{0, 0, 4, 4}));
}

TEST(RunOutOfKilter, UnbalancedStartingFlowsKeepTheirImbalance) {
    Workspace ws;
    ThreeNodeExample(ws);
    SetFlow(ws, 1, 3);  // node 1 sends 3 more than it receives
    RunOutOfKilter(ws, nullptr);
    EXPECT_EQ(NodeBalances(ws), (std::vector<int64_t>{0, -3, 3, 0}));
}

TEST(RunOutOfKilter, LinkLoopGoesStraightToItsBound) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 1, 0, 7, -3).Link(1, 2, 0, 1, 0).Link(2, 1, 0, 1, 0);
    EXPECT_TRUE(RunOutOfKilter(ws, nullptr).IsFeasible());
    EXPECT_EQ(ws.LinkFlow[1], 7);
}

TEST(RunOutOfKilter, UnfitProblemIsRefusedBeforeAnythingChanges) {
    Workspace ws;
    ThreeNodeExample(ws);
    ChangeLink(ws, 2, &kav::LinkData::Lower, 11);  // above its upper bound
    EXPECT_TRUE(RunOutOfKilter(ws, nullptr).IsStopped());
    EXPECT_EQ(Flows(ws), (Values{0, 0, 0, 0}));

    ThreeNodeExample(ws);
    ChangeLink(ws, 4, &kav::LinkData::Dest, 4);  // no such node
    EXPECT_TRUE(RunOutOfKilter(ws, nullptr).IsStopped());
    ChangeLink(ws, 4, &kav::LinkData::Dest, 0);
    EXPECT_TRUE(RunOutOfKilter(ws, nullptr).IsStopped());
}

TEST(RunOutOfKilter, GrowingPotentialsStopTheSolveWithValidNumbers) {
    Workspace ws;
    CostlyChain(ws, 1000000000);
    const SolveStatus status = RunOutOfKilter(ws, nullptr);
    ASSERT_TRUE(status.IsStopped());
    EXPECT_NE(status.StopReason.find("beyond the range of the solver"), std::string::npos);
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        EXPECT_GE(ws.LinkFlow[k], 0);
        EXPECT_LE(ws.LinkFlow[k], 1);
    }
    // Potentials stayed within range and reduced costs are still defined.
    for (int32_t n = 1; n <= ws.NodeCount; ++n)
        EXPECT_GE(ws.NodePotential[n], 0);

    // The same chain with smaller costs solves.
    CostlyChain(ws, 700000000);
    EXPECT_TRUE(RunOutOfKilter(ws, nullptr).IsFeasible());
    EXPECT_EQ(Flows(ws), (Values{1, 1, 1, 1}));
}

// In each problem the first potential change meets the end of the 32-bit
// range: its only candidate has the largest reduced cost (a wider type would
// have used it, so the problem is not shown infeasible), or the raise would
// carry a crossing link's reduced cost above or below the range.
TEST(RunOutOfKilter, PotentialChangesAtTheEndOfTheRangeStopTheSolve) {
    Workspace onlyCandidate, above, below;
    ProblemBuilder(onlyCandidate).Nodes(2).Link(1, 2, 1, 1, 0).Link(2, 1, 0, 1, INT32_MAX);
    ProblemBuilder(above)
        .Nodes(2)
        .Link(1, 2, 1, 1, 0)
        .Link(2, 1, 0, 1, 10)
        .Link(1, 2, 0, 1, INT32_MAX - 5);
    ProblemBuilder(below)
        .Nodes(2)
        .Link(1, 2, 1, 1, 0)
        .Link(2, 1, 0, 1, 10)
        .Link(2, 1, 0, 0, INT32_MIN + 5);
    for (Workspace* ws : {&onlyCandidate, &above, &below}) {
        const SolveStatus status = RunOutOfKilter(*ws, nullptr);
        EXPECT_TRUE(status.IsStopped()) << "link count " << ws->LinkCount;
    }
}

// A raise of 10 lifts the unconnected node 3 with the unlabelled node 1: it
// may end exactly at 2147483647, never one above.
TEST(RunOutOfKilter, ARaiseMayReachTheTopOfTheRangeButNotPassIt) {
    for (const auto& [start, stopped] : {std::pair{INT32_MAX - 10, false}, {INT32_MAX - 9, true}}) {
        Workspace ws;
        ProblemBuilder(ws).Nodes(3).Link(1, 2, 1, 1, 0).Link(2, 1, 0, 1, 10).Link(3, 3, 0, 1, 0);
        SetPotential(ws, 3, start);
        EXPECT_EQ(RunOutOfKilter(ws, nullptr).IsStopped(), stopped) << start;
        EXPECT_EQ(ws.NodePotential[3], stopped ? start : INT32_MAX);
    }
}

TEST(RunOutOfKilter, StartingReducedCostsBeyondRangeAreRefused) {
    Workspace ws;
    ThreeNodeExample(ws);
    SetPotential(ws, 1, 2147483647);
    SetPotential(ws, 2, -5);
    EXPECT_TRUE(RunOutOfKilter(ws, nullptr).IsStopped());
    EXPECT_EQ(ws.NodePotential[1], 2147483647);
}

TEST(RunOutOfKilter, LongChainLabelsWithoutDeepRecursion) {
    Workspace ws;
    ProblemBuilder builder(ws);
    const int32_t n = MaxNodes;
    builder.Nodes(n);
    builder.Link(n, 1, 1, 1, 0);
    for (int32_t k = 1; k < n; ++k)
        builder.Link(k, k + 1, 0, 1, 1);
    EXPECT_TRUE(RunOutOfKilter(ws, nullptr).IsFeasible());
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        EXPECT_EQ(ws.LinkFlow[k], 1);
}

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <vector>

#include "ExampleProblems.h"
#include "RandomProblems.h"
#include "solver/InfeasibilityCut.h"
#include "solver/LastSolve.h"
#include "solver/Session.h"
#include "solver/SolutionChecks.h"
#include "solver/SolveRun.h"

using namespace kav;

namespace {

using Numbers = std::vector<int32_t>;

// The solver's cut must be a proof by the independent sums, agree with them,
// and have the failed link across its boundary.
void ExpectVerifiedCut(const Workspace& ws, const SolveStatus& status) {
    const InfeasibilityCut& cut = status.Cut;
    ASSERT_TRUE(cut.Confirmed);
    const CutSums sums = SumAcrossCut(ws, cut.Nodes);
    EXPECT_TRUE(sums.ProvesInfeasible());
    EXPECT_EQ(sums.Need, cut.Need);
    EXPECT_EQ(sums.Room, cut.Room);
    const Numbers& in = cut.LinksIn;
    const Numbers& out = cut.LinksOut;
    const int32_t failed = status.Cut.FailedLink;
    EXPECT_TRUE(
        std::count(in.begin(), in.end(), failed) + std::count(out.begin(), out.end(), failed) == 1);
}

}  // namespace

TEST(InfeasibilityCut, FourNodeExampleIsCutAroundCAndD) {
    Workspace ws;
    InfeasibleExample(ws);
    const SolveStatus status = RunOutOfKilter(ws, nullptr);
    ASSERT_TRUE(status.IsInfeasible());
    EXPECT_EQ(status.Cut.Nodes, (Numbers{3, 4}));
    EXPECT_EQ(status.Cut.Need, 5);
    EXPECT_EQ(status.Cut.Room, 1);
    EXPECT_EQ(status.Cut.LinksIn, (Numbers{3}));
    EXPECT_EQ(status.Cut.LinksOut, (Numbers{6}));
    ExpectVerifiedCut(ws, status);
}

// Parallel links in both directions: each counts, in the order of the list
// (into the set by lower bound largest first, out of it by upper bound
// smallest first, ties by number).
TEST(InfeasibilityCut, ParallelLinksAreEachCountedAndOrdered) {
    Workspace ws;
    ProblemBuilder(ws)
        .Nodes(2)
        .Link(1, 2, 3, 4, 0)
        .Link(1, 2, 2, 9, 1)
        .Link(1, 2, 4, 4, 0)
        .Link(1, 2, 3, 3, -1)
        .Link(2, 1, 0, 5, 0)
        .Link(2, 1, 0, 1, 2)
        .Link(2, 1, 0, 5, 0);
    const SolveStatus status = RunOutOfKilter(ws, nullptr);
    ASSERT_TRUE(status.IsInfeasible());
    EXPECT_EQ(status.Cut.Nodes, (Numbers{2}));
    EXPECT_EQ(status.Cut.Need, 12);
    EXPECT_EQ(status.Cut.Room, 11);
    EXPECT_EQ(status.Cut.LinksIn, (Numbers{3, 1, 4, 2}));
    EXPECT_EQ(status.Cut.LinksOut, (Numbers{6, 5, 7}));
    ExpectVerifiedCut(ws, status);
}

// A ring of 300 nodes that must take in 100 units and can pass on only 50.
TEST(InfeasibilityCut, LargeSetOfNodes) {
    Workspace ws;
    ProblemBuilder builder(ws);
    builder.Nodes(302);
    for (int32_t n = 1; n <= 300; ++n)
        builder.Link(n, n % 300 + 1, 0, 1000, (n * 7) % 5 - 2);
    builder.Link(301, 1, 100, 100, 3).Link(300, 302, 0, 50, 1).Link(302, 301, 0, 1000, 0);
    const SolveStatus status = RunOutOfKilter(ws, nullptr);
    ASSERT_TRUE(status.IsInfeasible());
    ASSERT_EQ(status.Cut.Nodes.size(), 300u);
    EXPECT_EQ(status.Cut.Nodes.back(), 300);
    EXPECT_EQ(status.Cut.Need, 100);
    EXPECT_EQ(status.Cut.Room, 50);
    ExpectVerifiedCut(ws, status);
}

// Flows that do not balance when the run starts: the set proves nothing, and
// the solver must not claim it does.
TEST(InfeasibilityCut, RunFromUnbalancedFlowsIsNotConfirmed) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 2, 0, 2, 0, 2).Link(2, 1, 2, 2, 0, 0);
    const SolveStatus status = RunOutOfKilter(ws, nullptr);
    ASSERT_TRUE(status.IsInfeasible());
    EXPECT_FALSE(status.Cut.Confirmed);
    EXPECT_FALSE(SumAcrossCut(ws, status.Cut.Nodes).ProvesInfeasible());
}

// The node of the failed link inside the set.
int32_t InsideEnd(const Workspace& ws, const InfeasibilityCut& cut) {
    const auto inside = [&](int32_t n) {
        return std::binary_search(cut.Nodes.begin(), cut.Nodes.end(), n);
    };
    return inside(ws.LinkOrigin[cut.FailedLink]) ? ws.LinkOrigin[cut.FailedLink]
                                                 : ws.LinkDest[cut.FailedLink];
}

// No node but the failed link's inside end can leave the set without the
// independent sums losing the proof.
void ExpectNoNodeCanBeDropped(const Workspace& ws, const InfeasibilityCut& cut) {
    const int32_t anchor = InsideEnd(ws, cut);
    for (int32_t node : cut.Nodes) {
        if (node == anchor)
            continue;
        Numbers smaller;
        std::copy_if(cut.Nodes.begin(), cut.Nodes.end(), std::back_inserter(smaller),
                     [node](int32_t n) { return n != node; });
        EXPECT_FALSE(SumAcrossCut(ws, smaller).ProvesInfeasible()) << "node " << node;
    }
}

// TrimCutNodes on sets given by hand. Problems as links {origin, dest,
// lower, upper}, all of cost 0.
TEST(InfeasibilityCut, TrimmingKeepsTheProofAndTheFailedLinkAcross) {
    using Links = std::vector<std::array<int32_t, 4>>;
    // The four-node example; then with E hanging off C by two links of room 1.
    const Links example = {{1, 2, 0, 10}, {2, 1, 0, 10}, {1, 3, 5, 5},
                           {3, 4, 0, 10}, {4, 3, 0, 10}, {4, 2, 0, 1}};
    Links withE = example;
    withE.insert(withE.end(), {{3, 5, 0, 1}, {5, 3, 0, 1}});
    // Link 1 must bring 5 into 2, which must pass 5 on to 3, which can send
    // out at most 1: 3 alone proves it, but link 1 crosses only at 2.
    const Links chain = {{1, 2, 5, 5}, {2, 3, 5, 10}, {3, 1, 0, 1}};
    // Node 3 can go only after node 4 has gone: a second pass is needed.
    const Links twoPasses = {{1, 2, 5, 5}, {3, 1, 0, 3}, {4, 1, 0, 1}, {4, 3, 0, 4}};
    const struct {
        const char* what;
        const Links& links;
        Numbers nodes;
        int32_t failedLink;
        Numbers trimmed;
    } cases[] = {
        {"minimal set kept", example, {3, 4}, 3, {3, 4}},
        {"node that only adds room dropped", withE, {5, 3, 4}, 3, {3, 4}},
        {"failed link's end kept", chain, {2, 3}, 1, {2, 3}},
        {"set the failed link does not cross kept", chain, {3}, 1, {3}},
        {"set that proves nothing kept", example, {4, 2, 3}, 3, {2, 3, 4}},
        {"no failed link: kept", example, {3, 4}, 0, {3, 4}},
        {"dropping one node lets another go", twoPasses, {2, 3, 4}, 1, {2}},
    };
    for (const auto& c : cases) {
        Workspace ws;
        ProblemBuilder builder(ws);
        builder.Nodes(5);
        for (const auto& link : c.links)
            builder.Link(link[0], link[1], link[2], link[3], 0);
        EXPECT_EQ(TrimCutNodes(ws, c.failedLink, c.nodes), c.trimmed) << c.what;
    }
}

// On random infeasible problems the set every output shows still proves the
// infeasibility and no node of it can go; trimming a larger proving set (the
// cut with random nodes added) keeps the proof, never grows, and often shrinks.
TEST(InfeasibilityCut, TrimmedCutsOfRandomProblemsAreSmallestByOneNodeAndStillProofs) {
    std::mt19937 rng(2121);
    Workspace ws;
    int infeasible = 0, shrunk = 0;
    for (int trial = 0; trial < 300; ++trial) {
        RandomProblemShape shape;
        shape.lowerPercent = 45;
        MakeRandomProblem(ws, rng, shape);
        const SolveStatus status = RunOutOfKilter(ws, nullptr);
        if (!status.IsInfeasible())
            continue;
        ++infeasible;
        const InfeasibilityCut& cut = status.Cut;
        ASSERT_EQ(cut.FailedLink, status.Cut.FailedLink);
        ASSERT_NO_FATAL_FAILURE(ExpectVerifiedCut(ws, status)) << "trial " << trial;
        ExpectNoNodeCanBeDropped(ws, cut);
        Numbers larger = cut.Nodes;
        for (int32_t n = 1; n <= ws.NodeCount; ++n) {
            if (std::uniform_int_distribution<int>(0, 2)(rng) == 0)
                larger.push_back(n);
        }
        std::sort(larger.begin(), larger.end());
        larger.erase(std::unique(larger.begin(), larger.end()), larger.end());
        const int32_t anchor = InsideEnd(ws, cut);
        const bool crosses =
            std::binary_search(larger.begin(), larger.end(), ws.LinkOrigin[cut.FailedLink]) !=
            std::binary_search(larger.begin(), larger.end(), ws.LinkDest[cut.FailedLink]);
        if (!crosses || !SumAcrossCut(ws, larger).ProvesInfeasible())
            continue;
        const Numbers trimmed = TrimCutNodes(ws, cut.FailedLink, larger);
        EXPECT_LE(trimmed.size(), larger.size());
        EXPECT_TRUE(SumAcrossCut(ws, trimmed).ProvesInfeasible()) << "trial " << trial;
        EXPECT_TRUE(std::binary_search(trimmed.begin(), trimmed.end(), anchor));
        shrunk += trimmed.size() < larger.size();
    }
    EXPECT_GT(infeasible, 50);
    EXPECT_GT(shrunk, 10);
}

TEST(SolutionChecks, EveryRandomRunIsCertifiedOrComesWithAVerifiedCut) {
    std::mt19937 rng(1414);
    Workspace ws;
    int feasible = 0, infeasible = 0;
    for (int trial = 0; trial < 400; ++trial) {
        RandomProblemShape shape;
        shape.lowerPercent = trial % 2 == 0 ? 20 : 45;
        MakeRandomProblem(ws, rng, shape);
        const SolveStatus status = RunOutOfKilter(ws, nullptr);
        ASSERT_FALSE(status.IsStopped());
        if (status.IsInfeasible()) {
            ++infeasible;
            ASSERT_NO_FATAL_FAILURE(ExpectVerifiedCut(ws, status)) << "trial " << trial;
        } else {
            ++feasible;
            const OptimalityCertificate certificate = CheckOptimality(ws);
            ASSERT_TRUE(certificate.Ok) << "trial " << trial << ": " << certificate.Failure;
            EXPECT_EQ(certificate.Links, ws.LinkCount);
        }
    }
    EXPECT_GT(feasible, 50);
    EXPECT_GT(infeasible, 50);
}

// Each kind of fault in an optimal solution is caught and named.
TEST(SolutionChecks, CertificateNamesWhatFails) {
    Workspace ws;
    ThreeNodeExample(ws);
    RunOutOfKilter(ws, nullptr);
    ASSERT_TRUE(CheckOptimality(ws).Ok);

    Workspace tooLow = ws, tooHigh = ws, outOfKilter = ws, unbalanced = ws;
    SetFlow(tooLow, 2, 1);  // below its lower bound 2
    EXPECT_EQ(CheckOptimality(tooLow).Failure, "link 2 carries less than its lower bound");
    SetFlow(tooHigh, 4, 5);  // above its upper bound 4
    EXPECT_EQ(CheckOptimality(tooHigh).Failure, "link 4 carries more than its upper bound");
    SetPotential(outOfKilter, 2, outOfKilter.NodePotential[2] + 5);
    EXPECT_EQ(CheckOptimality(outOfKilter).Failure, "link 1 is out of kilter");
    // Flow 2 to 3 on link 1 keeps it in kilter (reduced cost 0) but breaks
    // the balance at nodes 1 and 2.
    SetFlow(unbalanced, 1, 3);
    EXPECT_EQ(CheckOptimality(unbalanced).Failure, "node 1 is not balanced");
}

TEST(LastSolve, BelongsToTheDataItWasMadeFor) {
    Workspace ws;
    LastSolveRecord record;
    ThreeNodeExample(ws);
    const SolveStatus status = RunOutOfKilter(ws, nullptr);
    record.Record(ws, status);
    ASSERT_NE(record.StatusFor(ws), nullptr);
    NoteSolved(ws, false);
    NoteResultsShown(ws);
    EXPECT_NE(record.StatusFor(ws), nullptr);
    NoteLinkValuesEdited(ws);
    EXPECT_EQ(record.StatusFor(ws), nullptr);

    record.Record(ws, status);
    ws.ClearSolution();
    EXPECT_EQ(record.StatusFor(ws), nullptr);
    record.Record(ws, status);
    SetLink(ws, 1, GetLink(ws, 1));
    EXPECT_EQ(record.StatusFor(ws), nullptr);
    Workspace other = ws;
    record.Record(ws, status);
    EXPECT_EQ(record.StatusFor(other), nullptr);
}

// Each session keeps its own last solve: a solve in one says nothing about
// the other's problem, even when both hold the same data at the same revision.
TEST(LastSolve, SessionsShareNone) {
    SilentPrompts prompts;
    std::optional<Session> first(std::in_place, prompts);
    Session second(prompts);
    ThreeNodeExample(first->ws);
    ThreeNodeExample(second.ws);
    ASSERT_EQ(second.ws.Revision, first->ws.Revision);
    SolveStatus status = RunOutOfKilter(first->ws, nullptr);
    RecordSolveOutcome(first->ws, first->lastSolve, status);
    const uint64_t solvedAt = first->ws.Revision;
    EXPECT_TRUE(CurrentSolution(*first).Feasible());
    EXPECT_FALSE(CurrentSolution(second).Solved());
    // A fresh session in the same place, with the same problem at the same
    // revision, has solved nothing yet.
    first.emplace(prompts);
    ThreeNodeExample(first->ws);
    while (first->ws.Revision < solvedAt)
        NoteLinkValuesEdited(first->ws);
    ASSERT_EQ(first->ws.Revision, solvedAt);
    EXPECT_FALSE(CurrentSolution(*first).Solved());
}

// One answer to "is there a current solution, and what is its total, its
// certificate, its cut" through a solve and the edits after it.
TEST(CurrentSolution, FollowsTheSolveAndTheEditsAfterIt) {
    enum class After { Nothing, Solve, ValuesEdited, Rerouted, Cleared };
    struct Case {
        const char* name;
        bool infeasible;
        After after;
        bool flowsStand, solved, certificate, cut;
    };
    const std::vector<Case> cases = {
        {"not solved", false, After::Nothing, true, false, false, false},
        {"feasible", false, After::Solve, true, true, true, false},
        {"infeasible", true, After::Solve, true, true, false, true},
        {"bounds edited", false, After::ValuesEdited, true, false, false, false},
        {"link rerouted", false, After::Rerouted, false, false, false, false},
        {"cut gone with a reroute", true, After::Rerouted, false, false, false, false},
        {"solution cleared", false, After::Cleared, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SilentPrompts prompts;
        Session session(prompts);
        Workspace& ws = session.ws;
        (c.infeasible ? InfeasibleExample : ThreeNodeExample)(ws);
        if (c.after != After::Nothing) {
            SolveStatus status = RunOutOfKilter(ws, nullptr);
            RecordSolveOutcome(ws, session.lastSolve, status);
        }
        if (c.after == After::ValuesEdited)
            NoteLinkValuesEdited(ws);
        if (c.after == After::Rerouted)
            NoteLinkRerouted(ws);
        if (c.after == After::Cleared)
            ws.ClearSolution();
        const SolutionState now = CurrentSolution(session);
        EXPECT_EQ(now.flowsStand, c.flowsStand);
        EXPECT_EQ(now.Solved(), c.solved);
        EXPECT_EQ(now.Certificate() != nullptr, c.certificate);
        EXPECT_EQ(now.Cut() != nullptr, c.cut);
        EXPECT_EQ(now.total, c.flowsStand ? ExactTotalCostOf(ws) : 0);
        if (c.certificate) {
            EXPECT_TRUE(now.Certificate()->Ok);
        }
    }
}

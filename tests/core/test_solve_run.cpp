#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "ExampleProblems.h"
#include "solver/LastSolve.h"
#include "solver/SolveRun.h"
#include "support/ProblemBuilder.h"
#include "support/ScriptedPrompts.h"
#include "workspace/NumberFormat.h"

using namespace kav;

namespace {

// Records what the solve run asks of the windows, interleaved with the
// messages, so that the order can be checked.
struct FakeView : SolveRunView, ProgressSink {
    std::vector<std::string>& events;
    Prompts& prompts;
    std::vector<std::string> errorLines;
    int progressReports = 0;

    FakeView(std::vector<std::string>& log, Prompts& shown) : events(log), prompts(shown) {}
    void Tell(const Report& report) override { report.ShowTo(prompts); }
    void ShowCheckErrors(const std::vector<std::string>& lines) override {
        errorLines = lines;
        events.push_back("errors");
    }
    void ShowProgressWindow() override { events.push_back("show progress"); }
    void HideProgressWindow() override { events.push_back("hide progress"); }
    ProgressSink* Progress() override { return this; }
    void ReportProgress(int32_t, int32_t) override { ++progressReports; }
    void RunFinished() override { events.push_back("run finished"); }
};

// Prompts that log into the same event list as the view.
struct LoggingPrompts : ScriptedPrompts {
    std::vector<std::string> log;
    kav::Answer Message(kav::MsgKind kind, kav::MsgButtons buttons,
                        const std::string& text) override {
        log.push_back("message " + text);
        return ScriptedPrompts::Message(kind, buttons, text);
    }
};

struct SolveRunTest : ::testing::Test {
    Workspace ws;
    LoggingPrompts prompts;
    FakeView view{prompts.log, prompts};
    LastSolveRecord lastSolve;
    std::deque<double> times{100.0, 100.25};

    SolveRunOutcome Run() {
        return RunSolve(ws, lastSolve, NumberSeparators(), view, [this] {
            const double t = times.front();
            times.pop_front();
            return t;
        });
    }
};

const std::string InfeasibleText =
    "<<< INFEASIBLE SOLUTION FOUND...WORKING ON LINK 3 >>>\r"
    "<<<          FATAL ERROR ... SORRY         >>>\r"
    "<<< CHECK COMPATABILITY OF BOUNDS ON LINKS >>>";
const std::string SevereText = "Inputs yield infeasible solution...\rSEVERE WARNING...";

}  // namespace

TEST_F(SolveRunTest, EmptyProblemDoesNothing) {
    NoteLinkRerouted(ws);
    EXPECT_EQ(Run().end, SolveRunEnd::NoLinks);
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_TRUE(ws.NetworkChanged);
    EXPECT_FALSE(ws.ResultsNotShown);
    EXPECT_EQ(times.size(), 2u);
}

TEST_F(SolveRunTest, FeasibleRunShowsTheTimeAndSetsTheFlags) {
    ThreeNodeExample(ws);
    NoteLinkRerouted(ws);
    SetFlow(ws, 1, 99);  // stale: cleared because the network changed
    const SolveRunOutcome run = Run();
    ASSERT_TRUE(run.SolverRan());
    EXPECT_TRUE(run.status.IsFeasible());
    EXPECT_EQ(prompts.log, (std::vector<std::string>{
                               "show progress",
                               "run finished",
                               "message ...Problem is solved...\rSolution Time = 0.250 seconds",
                               "hide progress",
                           }));
    EXPECT_EQ(prompts.messages[0].kind, MsgKind::Information);
    EXPECT_EQ(view.progressReports, 4);
    EXPECT_EQ(ws.LinkFlow[1], 2);
    EXPECT_DOUBLE_EQ(ws.TotalCost, 0.0);  // 2*3 + 2*1 - 6*2 + 4*1
    EXPECT_FALSE(ws.NetworkChanged);
    EXPECT_TRUE(ws.ResultsNotShown);
    EXPECT_FALSE(ws.Infeasible);
}

TEST_F(SolveRunTest, FailedChecksShowTheErrorListAndChangeNothingElse) {
    ProblemBuilder(ws).Nodes(3).Link(1, 2, 0, 1, 0).Link(2, 1, 0, 1, 0);
    NoteLinkRerouted(ws);
    SetFlow(ws, 1, 5);
    const double stale = LeaveStaleTotalCost(ws);
    EXPECT_EQ(Run().end, SolveRunEnd::ChecksFailed);
    EXPECT_EQ(prompts.log, (std::vector<std::string>{"errors"}));
    EXPECT_EQ(view.errorLines,
              (std::vector<std::string>{"Node <N3> is never used...FATAL ERROR..."}));
    EXPECT_FALSE(ws.ChecksPassed);
    EXPECT_TRUE(ws.NetworkChanged);
    EXPECT_FALSE(ws.ResultsNotShown);
    EXPECT_EQ(ws.LinkFlow[1], 5);
    EXPECT_EQ(ws.TotalCost, stale);
}

TEST_F(SolveRunTest, InfeasibleRunShowsThreeBoxesInOrder) {
    InfeasibleExample(ws);
    const double stale = LeaveStaleTotalCost(ws);
    const SolveRunOutcome run = Run();
    ASSERT_TRUE(run.SolverRan());
    EXPECT_TRUE(run.status.IsInfeasible());
    EXPECT_EQ(run.status.Cut.FailedLink, 3);
    EXPECT_EQ(prompts.log, (std::vector<std::string>{
                               "show progress",
                               "run finished",
                               "message " + InfeasibleText,
                               "message ...Problem is solved...\rSolution Time = 0.250 seconds",
                               "hide progress",
                               "message " + SevereText,
                           }));
    EXPECT_EQ(prompts.messages[0].kind, MsgKind::Warning);
    EXPECT_EQ(prompts.messages[1].kind, MsgKind::Information);
    EXPECT_EQ(prompts.messages[2].kind, MsgKind::Warning);
    EXPECT_TRUE(ws.Infeasible);
    EXPECT_EQ(ws.TotalCost, stale);
    EXPECT_FALSE(ws.NetworkChanged);
    EXPECT_TRUE(ws.ResultsNotShown);
}

TEST_F(SolveRunTest, RunAfterAnInfeasibleOneStartsFromZero) {
    InfeasibleExample(ws);
    Run();
    ChangeLink(ws, 3, &LinkData::Lower, 1);  // now feasible
    ChangeLink(ws, 3, &LinkData::Upper, 1);
    SetFlow(ws, 2, 3);  // would unbalance the start if kept
    times = {1.0, 2.0};
    Run();
    EXPECT_FALSE(ws.Infeasible);
    EXPECT_EQ(NodeBalances(ws), (std::vector<int64_t>{0, 0, 0, 0, 0}));
}

TEST_F(SolveRunTest, UnchangedNetworkStartsFromTheStoredSolution) {
    ThreeNodeExample(ws);
    Run();
    ChangeLink(ws, 4, &kav::LinkData::Cost, 5);  // a cost change keeps flows and potentials
    SetFlow(ws, 2, 3);  // unbalanced on purpose: kept, so the imbalance shows
    times = {1.0, 2.0};
    Run();
    EXPECT_EQ(NodeBalances(ws)[2], -1);
}

// The step-through replays a solve from the problem as it was handed over.
TEST_F(SolveRunTest, KeepsTheProblemAsSolvedWhileTheSolveIsCurrent) {
    ThreeNodeExample(ws);
    Run();
    ChangeLink(ws, 4, &kav::LinkData::Cost, 5);
    SetFlow(ws, 2, 3);
    times = {1.0, 2.0};
    Run();
    const Workspace* asSolved = lastSolve.ProblemAsSolvedFor(ws);
    ASSERT_NE(asSolved, nullptr);
    EXPECT_EQ(asSolved->LinkCost[4], 5);
    EXPECT_EQ(asSolved->LinkFlow[2], 3);
    EXPECT_NE(ws.LinkFlow[2], 3);
    NoteLinkValuesEdited(ws);
    EXPECT_EQ(lastSolve.ProblemAsSolvedFor(ws), nullptr);
}

TEST_F(SolveRunTest, ElapsedTimeWrapsAtMidnightAndGroupsThousands) {
    ThreeNodeExample(ws);
    times = {86399.9, 0.1};
    Run();
    EXPECT_EQ(prompts.messages.back().text,
              "...Problem is solved...\rSolution Time = 0.200 seconds");

    times = {10.0, 1244.5};
    NoteLinkRerouted(ws);
    Run();
    EXPECT_EQ(prompts.messages.back().text,
              "...Problem is solved...\rSolution Time = 1,234.500 seconds");
}

TEST_F(SolveRunTest, StoppedSolveBringsTheMainMenuBackAndClearsTheSolution) {
    CostlyChain(ws, 1000000000);
    NoteSolved(ws, true);  // from an earlier run: a stop leaves no solution at all
    const SolveRunOutcome run = Run();
    ASSERT_TRUE(run.SolverRan() && run.status.IsStopped());
    EXPECT_EQ(run.status.StopReason.rfind("Numbers in this problem grow beyond", 0), 0u);
    EXPECT_EQ(prompts.log, (std::vector<std::string>{"show progress", "hide progress"}));
    EXPECT_FALSE(ws.Infeasible);
    for (int32_t n = 1; n <= ws.NodeCount; ++n)
        EXPECT_EQ(ws.NodePotential[n], 0);
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        EXPECT_EQ(ws.LinkFlow[k], 0);
}

TEST(ComputeTotalCost, IsTheExactSumRoundedOnce) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 2, 0, 0, 100000000).Link(2, 1, 0, 0, -3);
    SetFlow(ws, 1, 2147483647);
    SetFlow(ws, 2, 5);
    ComputeTotalCost(ws);
    EXPECT_EQ(ws.TotalCost, 214748364700000000.0 - 15.0);
    // 2^53 + 1 + 1: rounding after each link would lose both ones.
    Workspace big;
    ProblemBuilder(big).Nodes(2).Link(1, 2, 0, 0, 8388608).Link(1, 2, 0, 0, 1).Link(1, 2, 0, 0, 1);
    SetFlow(big, 1, 1073741824);
    SetFlow(big, 2, 1);
    SetFlow(big, 3, 1);
    ComputeTotalCost(big);
    EXPECT_EQ(big.TotalCost, 9007199254740994.0);
    EXPECT_EQ(WideDecimal(ExactTotalCostOf(big)), "9007199254740994");
    SetProblemSize(ws, 0, ws.NodeCount);
    ComputeTotalCost(ws);
    EXPECT_EQ(ws.TotalCost, 0.0);
}

TEST(SecondsOfDay, IsATimeOfDay) {
    const double now = SecondsOfDay();
    EXPECT_GE(now, 0.0);
    EXPECT_LT(now, 86400.0);
}

// A cut is claimed only when the solver found it from balanced flows and the
// independent sums across it prove the infeasibility.
TEST(RecordSolveOutcome, ClaimsOnlyACutTheSumsProve) {
    struct Case {
        std::vector<int32_t> nodes;
        bool foundConfirmed;
        bool claimed;
    };
    const std::vector<Case> cases = {
        {{3, 4}, true, true},    // 5 must enter C and D, 1 can leave
        {{1, 2}, true, false},   // nothing must enter A and B
        {{3, 4}, false, false},  // the solver could not vouch for it
    };
    for (const Case& c : cases) {
        Workspace ws;
        InfeasibleExample(ws);
        SolveStatus status;
        status.Outcome = SolveOutcome::Infeasible;
        status.Cut.Nodes = c.nodes;
        status.Cut.Confirmed = c.foundConfirmed;
        LastSolveRecord lastSolve;
        RecordSolveOutcome(ws, lastSolve, status);
        EXPECT_EQ(status.Cut.Confirmed, c.claimed) << c.nodes[0] << " " << c.foundConfirmed;
    }
}

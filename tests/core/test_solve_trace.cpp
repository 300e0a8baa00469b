#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ExampleProblems.h"
#include "RandomProblems.h"
#include "ReferenceKilter.h"
#include "solver/KiltSolve.h"
#include "solver/SolveRun.h"
#include "solver/SolveTrace.h"
#include "support/ProblemBuilder.h"
#include "workspace/Workspace.h"

using namespace kav;

namespace {

struct Recorder : SolveObserver {
    std::vector<SolveEvent> events;
    std::vector<std::string> lines;
    void Observe(const SolveEvent& event) override {
        events.push_back(event);
        lines.push_back(TraceLine(event));
    }
};

std::vector<int32_t> Flows(const Workspace& ws) {
    return std::vector<int32_t>(ws.LinkFlow.data() + 1, ws.LinkFlow.data() + 1 + ws.LinkCount);
}

std::vector<int32_t> Potentials(const Workspace& ws) {
    return std::vector<int32_t>(ws.NodePotential.data() + 1,
                                ws.NodePotential.data() + 1 + ws.NodeCount);
}

// Replays only the flow and potential changes from the start event.
void Replay(const std::vector<SolveEvent>& events, std::vector<int32_t>& flows,
            std::vector<int32_t>& potentials) {
    ASSERT_FALSE(events.empty());
    ASSERT_EQ(events.front().Kind, SolveEventKind::Start);
    flows = events.front().Flows;
    potentials = events.front().NodePotentials;
    for (const SolveEvent& e : events) {
        if (e.Kind == SolveEventKind::Augment) {
            ASSERT_GE(e.Amount, 1);
            for (const auto& [link, sign] : e.Cycle)
                flows.at(static_cast<std::size_t>(link - 1)) +=
                    static_cast<int32_t>(sign * e.Amount);
        } else if (e.Kind == SolveEventKind::Potentials) {
            ASSERT_GE(e.Delta, 1);
            ASSERT_FALSE(e.Nodes.empty());
            for (const int32_t n : e.Nodes)
                potentials.at(static_cast<std::size_t>(n - 1)) += static_cast<int32_t>(e.Delta);
        }
    }
}

// The solver's trace of ws against the plain run's: line for line the same;
// watching changes nothing; the replay gives the end state; an infeasible
// trace ends with the failed link and the cut the cut window shows.
void ExpectTraceOfPlainRun(KilterSolver& solver, const Workspace& problem) {
    Workspace plain = problem, watched = problem, unwatched = problem;
    Recorder expected, traced;
    reference::ReferenceKilter(plain, &expected).Run();
    SolveStatus status = solver.Solve(watched, nullptr, &traced);
    ASSERT_EQ(traced.lines, expected.lines);

    const SolveStatus quiet = solver.Solve(unwatched, nullptr);
    ASSERT_EQ(Flows(watched), Flows(unwatched));
    ASSERT_EQ(Potentials(watched), Potentials(unwatched));
    ASSERT_EQ(status.Cut.FailedLink, quiet.Cut.FailedLink);

    std::vector<int32_t> flows, potentials;
    ASSERT_NO_FATAL_FAILURE(Replay(traced.events, flows, potentials));
    ASSERT_EQ(flows, Flows(watched));
    ASSERT_EQ(potentials, Potentials(watched));

    const SolveEvent& last = traced.events.back();
    if (status.IsInfeasible()) {
        LastSolveRecord lastSolve;
        RecordSolveOutcome(watched, lastSolve, status);
        ASSERT_EQ(last.Kind, SolveEventKind::Infeasible);
        EXPECT_EQ(last.Link, status.Cut.FailedLink);
        EXPECT_EQ(last.Nodes, status.Cut.Nodes);
        EXPECT_EQ(last.Need, status.Cut.Need);
        EXPECT_EQ(last.Room, status.Cut.Room);
    } else {
        ASSERT_EQ(last.Kind, SolveEventKind::Done);
    }
}

TEST(SolveTrace, EqualsThePlainRunOnRandomProblems) {
    std::mt19937 rng(23);
    Workspace ws;
    KilterSolver solver;
    int infeasible = 0, feasible = 0;
    for (int trial = 0; trial < 400; ++trial) {
        MakeRandomProblem(ws, rng);
        if (trial % 4 == 3)
            ScrambleFlowsAndPotentials(ws, rng);
        ASSERT_NO_FATAL_FAILURE(ExpectTraceOfPlainRun(solver, ws)) << "trial " << trial;
        Workspace copy = ws;
        (RunOutOfKilter(copy, nullptr).IsInfeasible() ? infeasible : feasible) += 1;
    }
    EXPECT_GT(infeasible, 10);
    EXPECT_GT(feasible, 10);
}

TEST(SolveTrace, EqualsThePlainRunOnTheExamples) {
    Workspace ws;
    KilterSolver solver;
    std::mt19937 rng(5);
    for (int example = 0; example < 4; ++example) {
        if (example == 0)
            ThreeNodeExample(ws);
        else if (example == 1)
            InfeasibleExample(ws);
        else if (example == 2)
            MakeTransportProblem(ws, rng, 5, 4);
        else
            ProblemBuilder(ws).Nodes(2);  // no links
        ASSERT_NO_FATAL_FAILURE(ExpectTraceOfPlainRun(solver, ws)) << "example " << example;
    }
}

// The worked examples, traced by hand. Three nodes: link 2 comes into kilter
// by a raise decided by forward link 1 and a flow change; link 3 by a flow
// change, then a raise in which backward link 3 (reduced cost -1) beats
// forward link 2 (3), with no flow change. Four nodes: link 3 must carry 5
// units out of {A, B}; one comes back through D -> B, then nothing more can.
TEST(SolveTrace, WorkedExamplesStepByStep) {
    const struct {
        void (*build)(Workspace&);
        std::vector<std::string> lines;
    } cases[] = {
        {ThreeNodeExample,
         {
             R"({"event":"start","links":4,"nodes":3,"flows":[0,0,0,0],"potentials":[0,0,0]})",
             R"({"event":"link","link":2,"kilter":2,"flow":0,"lower":2,"upper":10,"reduced_cost":1})",
             R"({"event":"pass","link":2,"start":3,"target":2,"amount":2})",
             R"({"event":"label","node":1,"via":3,"amount":2})",
             R"({"event":"potentials","delta":3,"nodes":[2],"link":1,"start":1})",
             R"({"event":"label","node":2,"via":1,"amount":2})",
             R"({"event":"augment","amount":2,"links":[[2,1],[3,1],[1,1]]})",
             R"({"event":"in_kilter","link":2})",
             R"({"event":"link","link":3,"kilter":8,"flow":2,"lower":0,"upper":10,"reduced_cost":-2})",
             R"({"event":"pass","link":3,"start":1,"target":3,"amount":8})",
             R"({"event":"label","node":2,"via":1,"amount":8})",
             R"({"event":"potentials","delta":1,"nodes":[3],"link":4,"start":1})",
             R"({"event":"label","node":3,"via":4,"amount":4})",
             R"({"event":"augment","amount":4,"links":[[3,1],[4,1]]})",
             R"({"event":"pass","link":3,"start":1,"target":3,"amount":4})",
             R"({"event":"label","node":2,"via":1,"amount":4})",
             R"({"event":"potentials","delta":1,"nodes":[3],"link":3,"start":1})",
             R"({"event":"in_kilter","link":3})",
             R"({"event":"done","total_cost":0})",
         }},
        {InfeasibleExample,
         {
             R"({"event":"start","links":6,"nodes":4,"flows":[0,0,0,0,0,0],"potentials":[0,0,0,0]})",
             R"({"event":"link","link":3,"kilter":5,"flow":0,"lower":5,"upper":5,"reduced_cost":0})",
             R"({"event":"pass","link":3,"start":3,"target":1,"amount":5})",
             R"({"event":"label","node":4,"via":4,"amount":5})",
             R"({"event":"label","node":2,"via":6,"amount":1})",
             R"({"event":"label","node":1,"via":2,"amount":1})",
             R"({"event":"augment","amount":1,"links":[[3,1],[4,1],[6,1],[2,1]]})",
             R"({"event":"pass","link":3,"start":3,"target":1,"amount":4})",
             R"({"event":"label","node":4,"via":4,"amount":4})",
             R"({"event":"infeasible","link":3,"labelled":[3,4],"nodes":[3,4],"need":5,"room":1})",
         }},
    };
    for (const auto& c : cases) {
        Workspace ws;
        c.build(ws);
        Recorder trace;
        RunOutOfKilter(ws, nullptr, &trace);
        EXPECT_EQ(trace.lines, c.lines);
    }
}

TEST(SolveTrace, StoppedRunEndsWithItsReasonAndReplaysToItsLastValues) {
    Workspace ws;
    CostlyChain(ws, 1000000000);
    Recorder trace;
    ASSERT_TRUE(RunOutOfKilter(ws, nullptr, &trace).IsStopped());
    ASSERT_EQ(trace.events.back().Kind, SolveEventKind::Stopped);
    EXPECT_NE(trace.lines.back().find("beyond the range of the solver"), std::string::npos);
    std::vector<int32_t> flows, potentials;
    ASSERT_NO_FATAL_FAILURE(Replay(trace.events, flows, potentials));
    EXPECT_EQ(flows, Flows(ws));
    EXPECT_EQ(potentials, Potentials(ws));
}

TEST(SolveTrace, LinesAreJson) {
    SolveEvent stopped;
    stopped.Kind = SolveEventKind::Stopped;
    stopped.Reason = "a \"quote\", a \\ and a\nline";
    SolveEvent potentials;
    potentials.Kind = SolveEventKind::Potentials;
    potentials.Delta = 2;
    potentials.Nodes = {2, 4};
    potentials.Link = 6;
    potentials.Start = 1;
    const struct {
        SolveEvent event;
        std::string line;
    } cases[] = {
        {stopped, R"({"event":"stopped","reason":"a \"quote\", a \\ and a\u000aline"})"},
        {potentials, R"({"event":"potentials","delta":2,"nodes":[2,4],"link":6,"start":1})"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TraceLine(c.event), c.line);
}

// The start names what the trace numbers: names in UTF-8 and escaped, each
// link's origin, destination, bounds and cost.
TEST(SolveTrace, StartNamesTheNodesAndTheLinks) {
    Workspace ws;
    ProblemBuilder(ws).Node("A\"q").Node("Z\xE9").Link(2, 1, -3, 7, -5);
    SolveEvent start;
    start.Flows = {0};
    start.NodePotentials = {0, 0};
    EXPECT_EQ(TraceLine(start, &ws),
              R"({"event":"start","links":1,"nodes":2,"flows":[0],"potentials":[0,0],)"
              R"("names":["A\"q",)"
              "\"Z\xC3\xA9\"],\"link_data\":[[2,1,-3,7,-5]]}");
}

}  // namespace

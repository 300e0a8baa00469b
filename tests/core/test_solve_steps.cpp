#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ExampleProblems.h"
#include "RandomProblems.h"
#include "results/SolveSteps.h"
#include "results/StepMarks.h"
#include "results/StepTexts.h"
#include "solver/KiltSolve.h"

using namespace kav;

namespace {

// Every state met going forward one step at a time from the first.
std::vector<StepState> Forward(SolveSteps& steps) {
    std::vector<StepState> states;
    steps.GoTo(1);
    states.push_back(steps.State());
    while (!steps.AtEnd()) {
        steps.Step();
        states.push_back(steps.State());
    }
    return states;
}

// Back one step at a time, jumps both ways and Next Link all meet the states
// of a fresh forward walk; the last state holds the solver's own results.
TEST(SolveSteps, BackAndJumpsGiveTheStatesOfAForwardWalk) {
    std::mt19937 rng(2323);
    for (int problem = 0; problem < 60; ++problem) {
        Workspace ws;
        MakeRandomProblem(ws, rng);
        SolveSteps steps(ws, 1 + problem % 7);  // spacings 1..7, snapshots met often
        const std::vector<StepState> states = Forward(steps);
        ASSERT_EQ(states.size(), steps.Count());
        for (std::size_t n = states.size(); n >= 1; --n) {
            ASSERT_EQ(steps.State(), states[n - 1]) << "problem " << problem << ", back to " << n;
            steps.Back();
        }
        std::uniform_int_distribution<std::size_t> any(1, steps.Count());
        for (int jump = 0; jump < 20; ++jump) {
            const std::size_t n = any(rng);
            steps.GoTo(n);
            ASSERT_EQ(steps.State(), states[n - 1]) << "problem " << problem << ", jump to " << n;
        }
        steps.GoTo(1);
        while (!steps.AtEnd()) {
            steps.NextLink();
            const SolveEventKind kind = steps.Current().Kind;
            ASSERT_TRUE(kind == SolveEventKind::Link || steps.AtEnd());
            ASSERT_EQ(steps.State(), states[steps.State().applied - 1]);
        }

        Workspace solved = ws;
        const SolveStatus status = RunOutOfKilter(solved, nullptr);
        ASSERT_EQ(static_cast<int>(steps.Status().Outcome), static_cast<int>(status.Outcome));
        Workspace last = ws;
        SolveSteps::ApplyTo(states.back(), last);
        for (int32_t k = 1; k <= ws.LinkCount; ++k)
            ASSERT_EQ(last.LinkFlow[k], solved.LinkFlow[k]) << "problem " << problem;
        for (int32_t n = 1; n <= ws.NodeCount; ++n)
            ASSERT_EQ(last.NodePotential[n], solved.NodePotential[n]) << "problem " << problem;
    }
}

// Each step keeps what its kind names and no more: the solver hands over one
// event object for all its steps, the lists of earlier steps still in it.
TEST(SolveSteps, EachStepKeepsWhatItsKindNamesAndNoMore) {
    struct Lines : SolveObserver {
        std::vector<std::string> lines;
        void Observe(const SolveEvent& event) override { lines.push_back(TraceLine(event)); }
    };
    std::mt19937 rng(77);
    for (int problem = 0; problem < 20; ++problem) {
        Workspace ws;
        MakeRandomProblem(ws, rng);
        SolveSteps steps(ws);
        Workspace solved = ws;
        Lines trace;
        RunOutOfKilter(solved, nullptr, &trace);
        ASSERT_EQ(steps.Count(), trace.lines.size());
        for (std::size_t i = 0; i < steps.Count(); ++i) {
            const SolveEvent e = steps.Event(i);
            ASSERT_EQ(TraceLine(e), trace.lines[i]) << "problem " << problem << ", step " << i;
            const SolveEventKind kind = e.Kind;
            ASSERT_TRUE(kind == SolveEventKind::Start ||
                        (e.Flows.empty() && e.NodePotentials.empty()));
            ASSERT_TRUE(kind == SolveEventKind::Augment || e.Cycle.empty());
            ASSERT_TRUE(kind == SolveEventKind::Potentials || kind == SolveEventKind::Infeasible ||
                        e.Nodes.empty());
        }
    }
}

// The replay works on its own copy: the problem handed over stays as it was.
TEST(SolveSteps, InfeasibleRunEndsWithTheFailedLinkAndTheCutOfTheSolve) {
    Workspace ws;
    InfeasibleExample(ws);
    const Workspace before = ws;
    SolveSteps steps(ws);
    Workspace solved = ws;
    const SolveStatus status = RunOutOfKilter(solved, nullptr);
    ASSERT_TRUE(status.IsInfeasible());
    steps.GoTo(steps.Count());
    const SolveEvent last = steps.Current();
    ASSERT_EQ(last.Kind, SolveEventKind::Infeasible);
    EXPECT_EQ(last.Link, status.Cut.FailedLink);
    EXPECT_EQ(last.Nodes, status.Cut.Nodes);
    EXPECT_EQ(last.Need, status.Cut.Need);
    EXPECT_EQ(last.Room, status.Cut.Room);
    EXPECT_EQ(steps.State().link, status.Cut.FailedLink);
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        EXPECT_EQ(ws.LinkFlow[k], before.LinkFlow[k]);
}

// Back at the first step, or a jump before it, stays at the first step.
TEST(SolveSteps, BackAtTheStartStaysAtTheFirstStep) {
    Workspace ws;
    ThreeNodeExample(ws);
    SolveSteps steps(ws);
    const StepState first = steps.State();
    for (const bool back : {true, false}) {
        steps.GoTo(3);
        steps.GoTo(1);
        back ? steps.Back() : steps.GoTo(0);
        ASSERT_EQ(steps.State(), first) << (back ? "Back" : "GoTo(0)");
        EXPECT_TRUE(steps.AtStart());
        EXPECT_EQ(steps.Current().Kind, SolveEventKind::Start);
    }
}

// What a step highlights, on runs followed by hand: the link being brought
// in, the labels' tree, a flow change's cycle, a potential change's raised
// nodes and the link it made usable, and the cut at the end.
TEST(StepMarks, EachStepMarksWhatItDid) {
    using Numbers = std::vector<int32_t>;
    struct Case {
        bool infeasible;
        std::size_t step;
        int32_t current, usable, start;
        Numbers tree, cycle, labelled, raised, cut, onTop;
        std::optional<int64_t> flowChange;
        int64_t rise;
    };
    const Case cases[] = {
        {false, 1, 0, 0, 0, {}, {}, {}, {}, {}, {}, {}, 0},               // the start
        {false, 5, 2, 1, 3, {3}, {}, {1, 3}, {2}, {}, {1, 2, 3}, {}, 3},  // potentials rise
        {false, 7, 2, 0, 3, {1, 3}, {1, 2, 3}, {1, 2, 3}, {}, {}, {1, 2, 3}, 2, 0},  // augment
        {false, 8, 2, 0, 0, {}, {}, {}, {}, {}, {2, 3}, {}, 0},  // in kilter: labels gone
        {false, 19, 0, 0, 0, {}, {}, {}, {}, {}, {}, {}, 0},     // done
        {true, 10, 3, 0, 3, {4}, {}, {3, 4}, {}, {3, 4}, {1, 3, 4}, {}, 0},  // the cut
    };
    for (const Case& c : cases) {
        Workspace ws;
        c.infeasible ? InfeasibleExample(ws) : ThreeNodeExample(ws);
        SolveSteps steps(ws);
        steps.GoTo(c.step);
        const StepMarks m = MarksOfStep(steps.Problem(), steps.State(), steps.Current());
        const std::string where = TraceLine(steps.Current());
        EXPECT_EQ(m.current, c.current) << where;
        EXPECT_EQ(m.usable, c.usable) << where;
        EXPECT_EQ(m.start, c.start) << where;
        EXPECT_EQ(m.treeLinks, c.tree) << where;
        EXPECT_EQ(m.cycleLinks, c.cycle) << where;
        EXPECT_EQ(m.labelledNodes, c.labelled) << where;
        EXPECT_EQ(m.raisedNodes, c.raised) << where;
        EXPECT_EQ(m.cutNodes, c.cut) << where;
        EXPECT_EQ(m.nodesOnTop, c.onTop) << where;
        EXPECT_EQ(m.flowChange, c.flowChange) << where;
        EXPECT_EQ(m.rise, c.rise) << where;
    }
}

SolveEvent Event(SolveEventKind kind) {
    SolveEvent e;
    e.Kind = kind;
    return e;
}

TEST(StepTexts, EachKindOfStepInPlainWords) {
    Workspace ws;
    InfeasibleExample(ws);  // A..D; link 3 is A -> C (5..5), link 6 D -> B
    SetNodeName(ws, 4, "  D ");
    SolveEvent pass = Event(SolveEventKind::Pass);
    pass.Link = 3, pass.Start = 3, pass.Target = 1, pass.Amount = 5;
    auto link = [](int32_t flow, int32_t lower, int32_t upper, int64_t reduced) {
        SolveEvent e = Event(SolveEventKind::Link);
        e.Link = 3, e.Flow = flow, e.Lower = lower, e.Upper = upper, e.ReducedCost = reduced;
        return e;
    };
    SolveEvent start = Event(SolveEventKind::Start);
    start.Flows = {0, 0, 0, 0, 0, 0};
    start.NodePotentials = {0, 0, 0, 0};
    SolveEvent warm = start;
    warm.NodePotentials[2] = 4;
    SolveEvent forward = Event(SolveEventKind::Label);
    forward.Node = 4, forward.Via = 4, forward.Amount = 5;
    SolveEvent backward = Event(SolveEventKind::Label);
    backward.Node = 4, backward.Via = -6, backward.Amount = 1;
    SolveEvent augment = Event(SolveEventKind::Augment);
    augment.Amount = 4, augment.Cycle = {{3, 1}, {4, 1}, {6, 1}, {2, 1}};
    SolveEvent backCycle = augment;
    backCycle.Amount = 1, backCycle.Cycle = {{3, -1}, {1, 1}, {6, -1}, {4, -1}};
    SolveEvent raise = Event(SolveEventKind::Potentials);
    raise.Delta = 2, raise.Link = 6, raise.Start = 4, raise.Nodes = {2, 4};
    SolveEvent raiseOne = raise;
    raiseOne.Nodes = {1};
    SolveEvent resume = Event(SolveEventKind::Resume);
    resume.Link = 6, resume.Start = 4;
    SolveEvent inKilter = Event(SolveEventKind::InKilter);
    inKilter.Link = 3;
    SolveEvent done = Event(SolveEventKind::Done);
    done.TotalCost = "12345678901234567890";
    SolveEvent infeasible = Event(SolveEventKind::Infeasible);
    infeasible.Link = 3, infeasible.Nodes = {1, 2}, infeasible.Need = 5, infeasible.Room = 1;
    SolveEvent stopped = Event(SolveEventKind::Stopped);
    stopped.Reason = "Potentials would pass 2147483647.";

    struct Case {
        SolveEvent event;
        const SolveEvent* next;
        std::string text;
    };
    const Case cases[] = {
        {start, nullptr, "The solve starts with every flow and every potential at 0."},
        {warm, nullptr, "The solve starts from the flows and potentials of the last solution."},
        {link(0, 5, 5, 0), &pass,
         "Link 3 (A -> C) is out of kilter: its flow 0 is below its lower bound 5. Labelling "
         "starts at C."},
        {link(7, 5, 5, 0), nullptr,
         "Link 3 (A -> C) is out of kilter: its flow 7 is above its upper bound 5."},
        {link(1, 0, 5, -2), nullptr,
         "Link 3 (A -> C) is out of kilter: its reduced cost -2 is negative, so its flow 1 should "
         "rise to its upper bound 5."},
        {link(1, 0, 5, 3), nullptr,
         "Link 3 (A -> C) is out of kilter: its reduced cost 3 is positive, so its flow 1 should "
         "fall to its lower bound 0."},
        {pass, nullptr, "Labelling starts at C and looks for a way to A for up to 5 units."},
        {forward, nullptr,
         "D is labelled from C through link 4 (C -> D), whose flow can rise: up to 5 units can "
         "reach it."},
        {backward, nullptr,
         "D is labelled from B back through link 6 (D -> B), whose flow can fall: up to 1 unit "
         "can reach it."},
        {augment, nullptr, "Breakthrough: 4 more units go round A -> C -> D -> B -> A."},
        {backCycle, nullptr, "Breakthrough: 1 more unit goes round C -> A -> B -> D -> C."},
        {raise, nullptr,
         "No way through: the potentials of B and D rise by 2; link 6 (D -> B) becomes usable. "
         "Labelling goes on from D."},
        {raiseOne, nullptr,
         "No way through: the potential of A rises by 2; link 6 (D -> B) becomes usable. "
         "Labelling goes on from D."},
        {resume, nullptr,
         "No potential needs to change: link 6 (D -> B) can already carry more. Labelling goes on "
         "from D."},
        {inKilter, nullptr, "Link 3 (A -> C) is in kilter now."},
        {done, nullptr,
         "Every link is in kilter: the flows are optimal, at a total cost of "
         "12345678901234567890."},
        {infeasible, nullptr,
         "No feasible flow: link 3 (A -> C) cannot be brought into kilter. The nodes A and B must "
         "take in at least 5 but can pass on at most 1."},
        {stopped, nullptr, "The solve stopped: Potentials would pass 2147483647."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StepText(ws, c.event, c.next), c.text);
    // A long list names six nodes and counts the rest.
    Workspace big;
    ProblemBuilder(big).Nodes(9);
    raise.Nodes = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    raise.Link = 0;
    EXPECT_NE(StepText(big, raise).find("of N1, N2, N3, N4, N5, N6 and 3 more rise by 2"),
              std::string::npos);
    EXPECT_EQ(StepCounter(5, 40, 3, 6), "Step 5 of 40, link 3 of 6");
}

}  // namespace

#include <gtest/gtest.h>

#include <map>
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
#include "support/StepClaims.h"

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
        for (const SolveEventKind kind :
             {SolveEventKind::Link, SolveEventKind::Augment, SolveEventKind::Potentials}) {
            steps.GoTo(1);
            while (!steps.AtEnd()) {
                steps.GoToNext(kind);
                ASSERT_TRUE(steps.Current().Kind == kind || steps.AtEnd());
                ASSERT_EQ(steps.State(), states[steps.State().applied - 1]);
            }
            while (!steps.AtStart()) {
                steps.GoToPrevious(kind);
                ASSERT_TRUE(steps.Current().Kind == kind || steps.AtStart());
                ASSERT_EQ(steps.State(), states[steps.State().applied - 1]);
            }
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

// The kilter diagram's path starts where the run found the link and ends at
// the state on show; the step log lists every step once, labels in runs.
TEST(SolveSteps, KilterPathAndLogFollowTheRun) {
    std::mt19937 rng(4242);
    for (int problem = 0; problem < 60; ++problem) {
        Workspace ws;
        MakeRandomProblem(ws, rng);
        SolveSteps steps(ws, 1 + problem % 5);
        SolveEvent found;
        for (steps.GoTo(1);; steps.Step()) {
            const StepState& state = steps.State();
            if (steps.Current().Kind == SolveEventKind::Link)
                found = steps.Current();
            using Point = std::pair<int64_t, int64_t>;
            const std::vector<Point> path = steps.KilterPath();
            if (state.link > 0) {
                const Point reached{found.Flow, found.ReducedCost};
                const Point now{state.flows[state.link], StateReducedCost(ws, state, state.link)};
                ASSERT_EQ(path.front(), reached)
                    << "problem " << problem << ", step " << state.applied;
                ASSERT_EQ(path.back(), now);
            }
            if (steps.AtEnd())
                break;
        }
        std::size_t next = 1;
        for (const SolveSteps::LogEntry& entry : steps.Log()) {
            ASSERT_EQ(entry.first, next);
            for (std::size_t i = entry.first; i < entry.last; ++i)
                ASSERT_EQ(steps.Event(i - 1).Kind, SolveEventKind::Label);
            next = entry.last + 1;
        }
        ASSERT_EQ(next, steps.Count() + 1);
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
        const SolveEvent next = steps.AtEnd() ? SolveEvent() : steps.Event(c.step);
        const StepMarks m = MarksOfStep(steps.Problem(), steps.State(), steps.Current(),
                                        steps.AtEnd() ? nullptr : &next);
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

// The steps whose words do not depend on the state, with made-up events.
TEST(StepTexts, EachKindOfStepInPlainWords) {
    Workspace ws;
    InfeasibleExample(ws);  // A..D; link 3 is A -> C (5..5), link 6 D -> B
    SetNodeName(ws, 4, "  D ");
    const StepState state = FirstState(ws);
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
    SolveEvent backCycle = Event(SolveEventKind::Augment);
    backCycle.Amount = 1, backCycle.Cycle = {{3, -1}, {1, 1}, {6, -1}, {4, -1}};
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
        {backCycle, nullptr,
         "Breakthrough: 1 more unit goes round the cycle through C, A, B and D. The flow rises by "
         "1 on link 1 (A -> B); it falls by 1 on link 3 (A -> C), link 4 (C -> D) and link 6 "
         "(D -> B)."},
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
        EXPECT_EQ(StepText(ws, state, c.event, c.next), c.text);
}

// The potential changes of the three-node example, whose words the window
// once got wrong: the third one brings link 3 into kilter by itself.
TEST(StepTexts, PotentialChangesSayWhatFollows) {
    Workspace ws;
    ThreeNodeExample(ws);
    SolveSteps steps(ws);
    std::vector<std::string> rises;
    for (steps.GoTo(1); !steps.AtEnd();) {
        steps.Step();
        const SolveEvent e = steps.Current();
        const SolveEvent next = steps.AtEnd() ? SolveEvent() : steps.Event(steps.State().applied);
        if (e.Kind == SolveEventKind::Potentials || e.Kind == SolveEventKind::Resume)
            rises.push_back(StepText(steps.Problem(), steps.State(), e, &next));
    }
    const std::vector<std::string> expected = {
        "No way through: the potential of N2 rises by 3, which brings the reduced cost of link 1 "
        "(N1 -> N2) to 0. Labelling goes on from N1, where the flow can rise on link 1 (N1 -> "
        "N2).",
        "No way through: the potential of N3 rises by 1, which brings the reduced cost of link 4 "
        "(N1 -> N3) to 0. Labelling goes on from N1, where the flow can rise on link 4 (N1 -> "
        "N3).",
        "No way through: the potential of N3 rises by 1, which brings the reduced cost of link 3 "
        "(N3 -> N1) to 0. That brings link 3 (N3 -> N1) into kilter, so this pass ends without a "
        "flow change.",
    };
    EXPECT_EQ(rises, expected);
}

// The counter says how far the run has got, at its first step, while a link
// is worked on, once it is in kilter, and at the end.
TEST(StepTexts, LabelsAsATextbookWritesThem) {
    StepState state;
    state.labels = {0, StartLabel, 4, -7, 0};
    state.reach = {0, 10, 10, 3, 0};
    const std::string tags[] = {"", "[start, 10]", "[+4, 10]", "[-7, 3]", ""};
    for (int32_t n = 0; n <= 4; ++n)
        EXPECT_EQ(LabelTag(state, n), tags[n]);
}

TEST(StepTexts, CounterSaysHowFarTheRunHasGot) {
    Workspace ws;
    ThreeNodeExample(ws);
    SolveSteps steps(ws);
    auto counter = [&](std::size_t n) {
        steps.GoTo(n);
        return StepCounter(steps.Problem(), steps.State(), steps.Count(), steps.Current().Kind);
    };
    const std::string count = std::to_string(steps.Count());
    EXPECT_EQ(counter(1), "Step 1 of " + count + ", before link 1 of 4");
    EXPECT_EQ(counter(2), "Step 2 of " + count + ", bringing link 2 of 4 into kilter");
    EXPECT_EQ(counter(steps.Count()), "Step " + count + " of " + count + ", all 4 links in kilter");
    Workspace none;
    ProblemBuilder(none).Nodes(2);
    SolveSteps empty(none);
    empty.GoTo(empty.Count());
    EXPECT_EQ(StepCounter(none, empty.State(), empty.Count(), empty.Current().Kind),
              "Step 2 of 2, no links");
}

// Every sentence's claims hold in the states around it, on random problems
// (some started from scrambled flows and potentials), transportation
// problems with many ties, and the infeasible example; each kind of claim is
// met. The sentences the narrator hands over are the window's.
TEST(StepTexts, EverySentenceClaimsOnlyWhatTheStatesShow) {
    std::mt19937 rng(3030);
    std::map<std::string, int> met;
    const char* kinds[] = {"into kilter, so this pass ends",
                           "Labelling goes on from",
                           "From the other labelled nodes",
                           "so the potentials change again",
                           "none is left that a rise",
                           "No potential needs to change",
                           "; it falls by",
                           "bringing link"};
    for (int problem = 0; problem < 340; ++problem) {
        Workspace ws;
        if (problem < 300)
            MakeRandomProblem(ws, rng);
        else if (problem < 330)
            MakeTransportProblem(ws, rng, 2 + problem % 4, 2 + problem % 5);
        else
            InfeasibleExample(ws);
        if (problem % 5 == 4)
            ScrambleFlowsAndPotentials(ws, rng);
        SolveSteps steps(ws);
        std::vector<std::string> narrated;
        Workspace solved = ws;
        StepNarrator narrator(solved, [&](std::size_t n, const std::string& text) {
            ASSERT_EQ(n, narrated.size() + 1);
            narrated.push_back(text);
        });
        RunOutOfKilter(solved, nullptr, &narrator);
        narrator.Finish();
        ASSERT_EQ(narrated.size(), steps.Count());
        stepclaims::Checker checker(steps.Problem());
        steps.GoTo(1);
        for (std::size_t n = 1; n <= steps.Count(); ++n) {
            const StepState before = steps.State();
            steps.GoTo(n);
            const SolveEvent e = steps.Current();
            const SolveEvent next = steps.AtEnd() ? SolveEvent() : steps.Event(n);
            const SolveEvent* following = steps.AtEnd() ? nullptr : &next;
            const std::string text = StepText(steps.Problem(), steps.State(), e, following);
            const std::string counter =
                StepCounter(steps.Problem(), steps.State(), steps.Count(), e.Kind);
            ASSERT_EQ(text, narrated[n - 1]);
            const std::string wrong =
                checker.Check(before, steps.State(), e, following, text, counter);
            ASSERT_EQ(wrong, "") << "problem " << problem << ", step " << n << ": " << text << " ["
                                 << counter << "]";
            for (const char* kind : kinds)
                met[kind] += (text + counter).find(kind) != std::string::npos;
        }
    }
    for (const char* kind : kinds)
        EXPECT_GT(met[kind], 0) << kind;
}

}  // namespace

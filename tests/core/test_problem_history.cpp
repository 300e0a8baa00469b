#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "editing/EditingOps.h"
#include "support/ProblemBuilder.h"
#include "workspace/ProblemHistory.h"

using namespace kav;

namespace {

// A solved circulation, as loaded from files and listed: nodes A, D, B, C (D
// unused, so a removal renumbers the links' ends), links 1-3 round A B C with
// flow 5, link 4 from A to C with none.
void LoadSolvedProblem(Workspace& ws) {
    ProblemBuilder(ws).Node("A", 1).Node("D", 7).Node("B", 2).Node("C", 3);
    AppendLink(ws, {1, 3, 0, 10, 2});
    AppendLink(ws, {3, 4, 0, 10, 3});
    AppendLink(ws, {4, 1, 5, 10, 4});
    AppendLink(ws, {1, 4, 0, 3, 9});
    SetFileNames(ws, "/p/X.NDE", "/p/X.LIN");
    NoteLoaded(ws);
    SetSolution(ws, {0, 5, 5, 5, 0}, {0, 1, 7, 2, 3});
    NoteSolved(ws, false);
    NoteResultsShown(ws);
}

std::vector<int32_t> Flows(const Workspace& ws) {
    return {ws.LinkFlow.begin(), ws.LinkFlow.begin() + ws.LinkCount};
}

// The change window's visit: its edits, then its close.
void Visit(Workspace& ws, const std::function<void()>& edits) {
    edits();
    RemoveMarkedLinks(ws);
    NoteChangesCommitted(ws);
}

struct Flags {
    bool unsaved;
    bool networkChanged;
};

struct Case {
    const char* name;
    StepKind kind;
    std::function<void(Workspace&)> edit;
    Flags afterUndo;
    std::vector<int32_t> flowsAfterUndo;  // empty: not checked (stale)
    Flags afterRedo;
    std::vector<int32_t> flowsAfterRedo;
};

const std::vector<Case> Cases = {
    {"add node",
     StepKind::Edit,
     [](Workspace& ws) { AddNode(ws, "E"); },
     {false, false},
     {5, 5, 5, 0},
     {true, false},
     {5, 5, 5, 0}},
    {"remove node",
     StepKind::Edit,
     [](Workspace& ws) { RemoveNode(ws, 2); },
     {false, false},
     {5, 5, 5, 0},
     {true, false},
     {5, 5, 5, 0}},
    // The added link carried nothing: taking it away keeps the flows, but
    // adding it had already made them stale.
    {"add link",
     StepKind::Edit,
     [](Workspace& ws) {
         AddLink(ws, {3, 1, 0, 4, 1});
     },
     {false, true},
     {},
     {true, true},
     {}},
    // Redone, the removal takes a link without flow away and keeps the others'.
    {"remove a link without flow",
     StepKind::Edit,
     [](Workspace& ws) { RemoveLink(ws, 4); },
     {false, true},
     {},
     {true, true},
     {5, 5, 5}},
    {"remove a link with flow",
     StepKind::Edit,
     [](Workspace& ws) { RemoveLink(ws, 1); },
     {false, true},
     {},
     {true, true},
     {}},
    {"change a cost and a bound",
     StepKind::Edit,
     [](Workspace& ws) {
         Visit(ws, [&] {
             CommitLinkField(ws, 1, LinkField::Cost, "6");
             CommitLinkField(ws, 3, LinkField::Upper, "12");
         });
     },
     {false, false},
     {5, 5, 5, 0},
     {true, false},
     {5, 5, 5, 0}},
    {"re-route a link",
     StepKind::Edit,
     [](Workspace& ws) { Visit(ws, [&] { RerouteDest(ws, 4, 3); }); },
     {false, true},
     {},
     {true, true},
     {}},
    {"remove marked links",
     StepKind::Edit,
     [](Workspace& ws) {
         Visit(ws, [&] {
             ToggleRemovalMark(ws, 2);
             ToggleRemovalMark(ws, 4);
         });
     },
     {false, true},
     {},
     {true, true},
     {}},
    // A whole problem comes back without its solution; an empty one is never
    // unsaved.
    {"zero",
     StepKind::NewProblem,
     [](Workspace& ws) { ws.Empty(); },
     {false, false},
     {0, 0, 0, 0},
     {false, false},
     {}},
};

}  // namespace

TEST(ProblemHistory, UndoAndRedoPutTheProblemAndItsFlagsBack) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        Workspace ws;
        LoadSolvedProblem(ws);
        ProblemHistory history;
        const ProblemCopy before = CopyProblem(ws);
        history.Begin(ws);
        c.edit(ws);
        ASSERT_TRUE(history.Commit(ws, c.name, c.kind));
        const ProblemCopy after = CopyProblem(ws);

        EXPECT_EQ(history.Undo(ws), std::string(c.name));
        EXPECT_TRUE(SameProblem(CopyProblem(ws), before));
        EXPECT_EQ(ws.DataNotSaved, c.afterUndo.unsaved);
        EXPECT_EQ(ws.NetworkChanged, c.afterUndo.networkChanged);
        if (!c.flowsAfterUndo.empty()) {
            EXPECT_EQ(Flows(ws), c.flowsAfterUndo);
        }
        if (c.kind == StepKind::NewProblem) {
            EXPECT_FALSE(ws.ResultsNotShown);
        }
        EXPECT_FALSE(history.CanUndo());

        EXPECT_EQ(history.Redo(ws), std::string(c.name));
        EXPECT_TRUE(SameProblem(CopyProblem(ws), after));
        EXPECT_EQ(ws.DataNotSaved, c.afterRedo.unsaved);
        EXPECT_EQ(ws.NetworkChanged, c.afterRedo.networkChanged);
        if (!c.flowsAfterRedo.empty()) {
            EXPECT_EQ(Flows(ws), c.flowsAfterRedo);
        }
        EXPECT_FALSE(history.CanRedo());
    }
}

TEST(ProblemHistory, NodeUndoKeepsEachPotentialWithItsNode) {
    Workspace ws;
    LoadSolvedProblem(ws);
    ProblemHistory history;
    history.Begin(ws);
    RemoveNode(ws, 2);
    history.Commit(ws, "remove node D");
    history.Undo(ws);
    EXPECT_EQ(ws.NodePotential[3], 2);
    EXPECT_EQ(ws.NodePotential[4], 3);
    EXPECT_EQ(ws.LinkOrigin[2], 3);
}

// A save between the edit and its undo moves what counts as saved; a save
// does not clear the history.
TEST(ProblemHistory, UnsavedFollowsTheProblemLastSaved) {
    Workspace ws;
    LoadSolvedProblem(ws);
    ProblemHistory history;
    history.Begin(ws);
    AddNode(ws, "E");
    history.Commit(ws, "add node E");
    NoteSaved(ws);
    history.Undo(ws);
    EXPECT_TRUE(ws.DataNotSaved);
    history.Redo(ws);
    EXPECT_FALSE(ws.DataNotSaved);
}

TEST(ProblemHistory, LoadUndonePutsThePreviousFileNamesBack) {
    Workspace ws;
    LoadSolvedProblem(ws);
    ProblemHistory history;
    history.Begin(ws);
    ProblemBuilder(ws).Node("P").Node("Q");
    SetFileNames(ws, "/q/Y.NDE", "/q/Y.LIN");
    NoteLoaded(ws);
    history.Commit(ws, "load Y.NDE", StepKind::NewProblem);
    history.Undo(ws);
    EXPECT_EQ(std::string(ws.NodeFileName), "/p/X.NDE");
    EXPECT_EQ(std::string(ws.LinkFileName), "/p/X.LIN");
    EXPECT_EQ(ws.NodeCount, 4);
    EXPECT_TRUE(ws.DataNotSaved);  // the last loaded is Y
}

TEST(ProblemHistory, KeepsTheLastHundredStepsAndANewEditDropsTheRedoSteps) {
    Workspace ws;
    ProblemHistory history;
    for (std::size_t k = 0; k < ProblemHistory::MaxSteps + 5; ++k) {
        history.Begin(ws);
        AddNode(ws, "N" + std::to_string(k));
        history.Commit(ws, "add");
    }
    std::size_t undone = 0;
    while (history.Undo(ws))
        ++undone;
    EXPECT_EQ(undone, ProblemHistory::MaxSteps);
    EXPECT_EQ(ws.NodeCount, 5);
    history.Begin(ws);
    AddNode(ws, "Z");
    history.Commit(ws, "add");
    EXPECT_FALSE(history.CanRedo());
    // A change that changes nothing is no step.
    history.Begin(ws);
    EXPECT_FALSE(history.Commit(ws, "nothing"));
}

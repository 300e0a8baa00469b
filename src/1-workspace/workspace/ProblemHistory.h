#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "workspace/Workspace.h"

namespace kav {

// What defines a problem: its nodes' names, its links and the files it came
// from. Flows and potentials are the solver's and are not part of it.
struct ProblemCopy {
    std::vector<std::string> names;  // node k at [k - 1]
    std::vector<LinkData> links;     // link k at [k - 1]
    std::string nodeFile;
    std::string linkFile;
};

ProblemCopy CopyProblem(const Workspace& ws);
bool SameProblem(const ProblemCopy& a, const ProblemCopy& b);

// How a step put back undoes or redoes what it changed.
enum class StepKind {
    Edit,        // nodes or links edited: the flows follow what changes
    NewProblem,  // a load, Zero or a generated problem: the file names come back, no solution
};

// The undo and redo history of the problem for the run of the program. Each
// step keeps a copy of the problem on its other side, so an undo or redo puts
// the problem back exactly; a save does not clear the history.
//
// DataNotSaved after an undo or redo is true exactly when the problem differs
// from the one last loaded or saved, and is not empty (Zero leaves nothing
// unsaved). That problem is the one in memory whenever DataNotSaved is false
// and nodes or links exist, and every change is recorded from Begin on, so
// the history takes its copy there and at each undo and redo.
class ProblemHistory {
  public:
    // The oldest steps are forgotten beyond this many.
    static constexpr std::size_t MaxSteps = 100;

    // Before a change: remembers the problem as it stands.
    void Begin(const Workspace& ws);
    // The problem as Begin saw it, while a change is pending.
    const ProblemCopy* BeforeChange() const { return pending_ ? &*pending_ : nullptr; }
    // After the change: a step named name when the problem now differs from
    // the one Begin saw (the redo steps are dropped then). True when recorded.
    bool Commit(const Workspace& ws, std::string name, StepKind kind = StepKind::Edit);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // The name of the step undone or redone, or nothing when there is none.
    std::optional<std::string> Undo(Workspace& ws);
    std::optional<std::string> Redo(Workspace& ws);

  private:
    struct Step {
        std::string name;
        StepKind kind;
        ProblemCopy problem;  // the problem on the step's other side
    };
    std::optional<std::string> Move(Workspace& ws, std::deque<Step>& from, std::deque<Step>& to);
    void NoteSavedProblem(const Workspace& ws);

    std::deque<Step> undo_;
    std::deque<Step> redo_;
    std::optional<ProblemCopy> pending_;
    std::optional<ProblemCopy> saved_;
};

// Puts problem back into ws as an undo or redo of a step of kind does, and
// sets the flags (see NoteProblemPutBack): unsaved unless the result equals
// saved or is empty. An edit keeps the file names and its flows follow what changes:
// bounds, costs and node changes keep them, links taken away take their flows
// along (the network changes only when one carried flow), links put back or
// re-routed make them stale.
void PutProblemBack(Workspace& ws, const ProblemCopy& problem, StepKind kind,
                    const ProblemCopy* saved);

}  // namespace kav

#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "solver/KiltSolve.h"
#include "workspace/Workspace.h"

namespace kav {

// The outcome of a session's last solve, for the windows that explain it. It
// belongs to the Workspace and revision it was made for: any edit of the
// problem or clearing of its solution makes it stale. asSolved is the problem
// as the solve received it: links, bounds, costs, names, and the flows and
// potentials the run started from (null: unknown).
class LastSolveRecord {
  public:
    void Record(const Workspace& ws, const SolveStatus& status,
                std::shared_ptr<const Workspace> asSolved = nullptr);
    // Forgets the last solve (a solve that stopped, or the start of a new one).
    void Forget() { record_.reset(); }
    // The status while it still describes ws's data, or null.
    const SolveStatus* StatusFor(const Workspace& ws) const;
    // The problem as the solve received it, while that solve is current, or null.
    const Workspace* ProblemAsSolvedFor(const Workspace& ws) const;

  private:
    struct Entry {
        const Workspace* ws = nullptr;
        uint64_t revision = 0;
        SolveStatus status;
        std::shared_ptr<const Workspace> asSolved;
    };
    const Entry* Current(const Workspace& ws) const;
    std::optional<Entry> record_;
};

// Whether the stored flows and potentials are a solution of the network as it
// stands: the network has not changed since they were solved (or cleared).
// Bounds or costs edited since leave them standing, though no longer proved.
bool FlowsStand(const Workspace& ws);

// Is there a current solution, feasible or infeasible, and what is its total,
// its certificate, its cut: one answer for every window, the printing and
// the command line.
struct SolutionState {
    // The stored flows are a solution of this network (FlowsStand); the lists
    // and the picture show them.
    bool flowsStand = false;
    // The solve that made them, while nothing has been edited since; null
    // otherwise (then there is no total, certificate or cut to claim).
    const SolveStatus* solve = nullptr;
    // The problem as that solve received it, or null.
    const Workspace* asSolved = nullptr;
    // The exact total cost of the flows while they stand (ExactTotalCostOf),
    // 0 otherwise: the total every output after a solve shows.
    __int128 total = 0;

    bool Solved() const { return solve != nullptr; }
    bool Feasible() const { return solve && solve->IsFeasible(); }
    bool Infeasible() const { return solve && solve->IsInfeasible(); }
    // The feasible solve's optimality certificate, or null.
    const OptimalityCertificate* Certificate() const {
        return Feasible() ? &solve->Certificate : nullptr;
    }
    // The infeasible solve's cut, or null.
    const InfeasibilityCut* Cut() const { return Infeasible() ? &solve->Cut : nullptr; }
};

// The current solution of ws given the record of its last solve.
SolutionState CurrentSolution(const Workspace& ws, const LastSolveRecord& record);

}  // namespace kav

#include "solver/LastSolve.h"

#include <utility>

namespace kav {

void LastSolveRecord::Record(const Workspace& ws, const SolveStatus& status,
                             std::shared_ptr<const Workspace> asSolved) {
    record_ = Entry{&ws, ws.Revision, status, std::move(asSolved)};
}

const LastSolveRecord::Entry* LastSolveRecord::Current(const Workspace& ws) const {
    if (!record_ || record_->ws != &ws || record_->revision != ws.Revision)
        return nullptr;
    return &*record_;
}

const SolveStatus* LastSolveRecord::StatusFor(const Workspace& ws) const {
    const Entry* entry = Current(ws);
    return entry ? &entry->status : nullptr;
}

const Workspace* LastSolveRecord::ProblemAsSolvedFor(const Workspace& ws) const {
    const Entry* entry = Current(ws);
    return entry ? entry->asSolved.get() : nullptr;
}

bool FlowsStand(const Workspace& ws) {
    return !ws.NetworkChanged;
}

SolutionState CurrentSolution(const Workspace& ws, const LastSolveRecord& record) {
    SolutionState state;
    state.flowsStand = FlowsStand(ws);
    state.solve = record.StatusFor(ws);
    state.asSolved = record.ProblemAsSolvedFor(ws);
    if (state.flowsStand)
        state.total = ExactTotalCostOf(ws);
    return state;
}

}  // namespace kav

#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "results/SolveSteps.h"
#include "solver/SolveTrace.h"
#include "workspace/Workspace.h"

namespace kav {

// What one step of a solve highlights on the picture, as link and node
// numbers (every list ascending). The Step Through window draws these marks
// and decides none of them.
struct StepMarks {
    int32_t current = 0;  // the link being brought into kilter (0: none)
    // After a potential change, the link the next label goes through (0: none).
    int32_t usable = 0;
    int32_t start = 0;                  // the labelling's start node (0: none)
    std::vector<int32_t> treeLinks;     // the links the labels came through
    std::vector<int32_t> cycleLinks;    // the cycle of a flow change
    std::vector<int32_t> fallingLinks;  // those of them whose flow falls
    std::optional<int64_t> flowChange;  // how much more goes round that cycle
    std::vector<int32_t> labelledNodes;
    std::vector<int32_t> raisedNodes;  // the nodes whose potentials rise
    int64_t rise = 0;                  // by how much
    std::vector<int32_t> cutNodes;     // the cut an infeasible solve ends with
    // The nodes drawn again over the links' marks: the labelled ones, the
    // cut's, and the ends of the links being worked on, labelled through or
    // on the cycle.
    std::vector<int32_t> nodesOnTop;
};

// The marks of the step just applied (event) on the state it led to; next,
// when not null, is the step after it.
StepMarks MarksOfStep(const Workspace& problem, const StepState& state, const SolveEvent& event,
                      const SolveEvent* next = nullptr);

// Whether an ascending list of numbers holds number.
bool Holds(const std::vector<int32_t>& ascending, int32_t number);

}  // namespace kav

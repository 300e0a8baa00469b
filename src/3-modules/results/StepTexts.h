#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "results/SolveSteps.h"
#include "solver/SolveTrace.h"
#include "workspace/Workspace.h"

namespace kav {

// A step of a solve in plain words, with the problem's node names (bytes as
// the Workspace holds them, never markup). event is the step just applied,
// after the state it led to, and next, when not null, the step after it. Each
// sentence says what is true of that state: a potential change says whether
// it brought the current link into kilter and which links can now carry a
// change, a flow change which links gain and which lose.
std::string StepText(const Workspace& problem, const StepState& after, const SolveEvent& event,
                     const SolveEvent* next = nullptr);

// "Step n of count, ..." with how far the run has got through the links,
// true of the state after the step (last the kind of that step).
std::string StepCounter(const Workspace& problem, const StepState& after, std::size_t count,
                        SolveEventKind last);

// A node's label as a textbook writes it: "[+4, 10]" reached forward
// through link 4 with up to 10 units, "[-4, 10]" backward, "[start, 10]";
// empty for an unlabelled node.
std::string LabelTag(const StepState& state, int32_t node);

// Why delta: at a potential change (or where a run found none), one line per
// link across the labelled set before the change, with its reduced cost, flow
// and bounds and whether it is a forward or backward candidate, the one that
// decided delta marked; first a line that says what the lines show. Empty for
// other steps.
std::vector<std::string> CandidateLines(const Workspace& problem, const StepState& after,
                                        const SolveEvent& event);

// The step log's line for steps first..last (1-based): one step, or a run of
// labels (event the first of them).
std::string LogLine(const Workspace& problem, std::size_t first, std::size_t last,
                    const SolveEvent& event);

// Follows a solve as it runs and hands over each step's sentence, numbered
// from 1, once the step after it is known; Finish hands over the last one.
// problem holds the links and names; its flows may change under the run.
class StepNarrator : public SolveObserver {
  public:
    using Sink = std::function<void(std::size_t step, const std::string& text)>;
    StepNarrator(const Workspace& problem, Sink sink);
    void Observe(const SolveEvent& event) override;
    void Finish();

  private:
    const Workspace& problem_;
    Sink sink_;
    StepState state_;
    SolveEvent pending_;
    bool hasPending_ = false;
};

}  // namespace kav

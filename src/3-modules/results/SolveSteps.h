#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "solver/KiltSolve.h"
#include "solver/SolveTrace.h"
#include "workspace/Workspace.h"

namespace kav {

// What a solve has done after its first steps: the flows and potentials, the
// labels of the pass under way and the link being brought into kilter.
struct StepState {
    std::size_t applied = 0;          // how many steps (the start is the first)
    std::vector<int32_t> flows;       // by link number; [0] unused
    std::vector<int32_t> potentials;  // by node number; [0] unused
    // Labels by node number: 0 unlabelled, +m reached forward through link m,
    // -m backward, StartLabel for the pass's start node.
    std::vector<int32_t> labels;
    // By node number: how much can reach a labelled node (0 when unlabelled).
    std::vector<int64_t> reach;
    int32_t link = 0;   // the link being brought into kilter (0: none)
    int32_t start = 0;  // the current pass's start node and target
    int32_t target = 0;
    bool operator==(const StepState& other) const;
};

constexpr int32_t StartLabel = INT32_MAX;

// The state before the first step: the flows and potentials of ws.
StepState FirstState(const Workspace& ws);
// The fields of the event that its kind names: the solver hands over one
// event object for every step, the lists of earlier steps still in it.
SolveEvent KindFields(const SolveEvent& event);
// Applies one step to state, as the solver made it.
void ApplyStep(const SolveEvent& event, StepState& state);

// Link k's reduced cost and kilter number with the state's flows and
// potentials (64-bit, so whatever the state holds).
int64_t StateReducedCost(const Workspace& problem, const StepState& state, int32_t link);
KilterInfo StateKilter(const Workspace& problem, const StepState& state, int32_t link);

// A link between a labelled and an unlabelled node, seen from the labelled
// side: forward when its origin is labelled (a change there raises its flow),
// backward when its destination is (a change lowers it).
struct CrossingLink {
    int32_t link = 0;
    bool forward = true;
    int64_t reducedCost = 0;
    int32_t flow = 0;
    // It can decide the next potential change: forward with a positive reduced
    // cost, backward with a negative one, and its flow within its bounds.
    bool candidate = false;
    // It can carry a change from the labelled side now.
    bool carries = false;
};

// Every link across the state's labelled set, by link number.
std::vector<CrossingLink> LinksAcross(const Workspace& problem, const StepState& state);

// A solve replayed on a copy of the problem as it was solved, kept step by
// step so that it can be walked forward and back. Back replays from the
// nearest kept state (one every SnapshotSpacing steps), so every state is
// exact whichever way it was reached.
class SolveSteps {
  public:
    static constexpr std::size_t DefaultSpacing = 1024;

    explicit SolveSteps(const Workspace& asSolved, std::size_t spacing = DefaultSpacing);
    ~SolveSteps();
    SolveSteps(const SolveSteps&) = delete;
    SolveSteps& operator=(const SolveSteps&) = delete;

    // The problem (links, bounds, costs, names); its flows and potentials are
    // the solve's last ones, not the current step's.
    const Workspace& Problem() const { return *problem_; }
    const SolveStatus& Status() const { return status_; }

    std::size_t Count() const { return entries_.size(); }
    SolveEvent Event(std::size_t index) const;  // 0-based
    // The step last applied (State().applied - 1).
    SolveEvent Current() const { return Event(state_.applied - 1); }
    const StepState& State() const { return state_; }

    // To the state after the first `applied` steps (1..Count()).
    void GoTo(std::size_t applied);
    void Step() { GoTo(state_.applied + 1); }
    void Back() { GoTo(state_.applied - 1); }
    // On to the next link found out of kilter, or to the end.
    void NextLink() { GoToNext(SolveEventKind::Link); }
    // To the next step of this kind (or the end), or the previous one (or
    // the first step).
    void GoToNext(SolveEventKind kind);
    void GoToPrevious(SolveEventKind kind);
    // The current link's flow and reduced cost at each step since the run
    // reached it, oldest first, the current step's last (empty: no link).
    std::vector<std::pair<int64_t, int64_t>> KilterPath() const;
    // The steps as the step log lists them: each step but the labels alone,
    // and each run of labels as one entry.
    struct LogEntry {
        std::size_t first = 0;  // 1-based, as State().applied counts
        std::size_t last = 0;
    };
    std::vector<LogEntry> Log() const;
    bool AtStart() const { return state_.applied <= 1; }
    bool AtEnd() const { return state_.applied >= Count(); }

    // Writes the state's flows and potentials into ws (a copy of Problem()).
    static void ApplyTo(const StepState& state, Workspace& ws);

  private:
    struct Entry {
        SolveEventKind kind = SolveEventKind::Start;
        int32_t node = 0;   // Label
        int32_t via = 0;    // Label
        int32_t full = -1;  // index into full_ for every other kind
        int64_t amount = 0;
    };
    // The steps in blocks of a fixed size: a solve of millions of steps is
    // recorded without copying what it has recorded, nor keeping room unused.
    class Entries {
      public:
        std::size_t size() const { return size_; }
        const Entry& operator[](std::size_t i) const { return blocks_[i / Block][i % Block]; }
        const Entry& at(std::size_t i) const;
        void push_back(const Entry& entry);

      private:
        static constexpr std::size_t Block = 4096;
        std::vector<std::unique_ptr<Entry[]>> blocks_;
        std::size_t size_ = 0;
    };
    class Recorder;
    void Apply(std::size_t index, StepState& state) const;

    std::unique_ptr<Workspace> problem_;
    SolveStatus status_;
    Entries entries_;
    std::vector<SolveEvent> full_;  // every step but the labels, in order
    std::size_t spacing_;
    std::vector<StepState> kept_;  // kept_[j]: the state after j * spacing_ steps
    StepState state_;
};

}  // namespace kav

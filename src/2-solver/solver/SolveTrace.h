#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kav {

// The steps of a solve, in the order they happen.
enum class SolveEventKind {
    Start,       // the flows and potentials the run starts from
    Link,        // a link found out of kilter when the run reaches it
    Pass,        // a labelling pass for that link; its start label
    Label,       // one node labelled
    Augment,     // a flow change around a cycle
    Potentials,  // a potential change that raised the unlabelled nodes
    Resume,      // a potential change that found a usable link at once
    InKilter,    // the link of the last Link event is now in kilter
    Done,        // every link is in kilter
    Infeasible,  // no feasible flow exists
    Stopped,     // numbers left the 32-bit range, or the problem is unfit
};

// One step of a solve. Only the fields its kind names mean anything; node and
// link numbers are the Workspace's.
struct SolveEvent {
    SolveEventKind Kind = SolveEventKind::Start;
    int32_t Link = 0;    // Link, Pass, Potentials, Resume, InKilter, Infeasible
    int32_t Node = 0;    // Label
    int32_t Via = 0;     // Label: +m reached forward through link m, -m backward
    int32_t Start = 0;   // Pass, Potentials, Resume: where labelling (re)starts
    int32_t Target = 0;  // Pass
    int64_t Amount = 0;  // Pass, Label, Augment
    int64_t Delta = 0;   // Potentials
    // Link: the link's state when the run reached it.
    int32_t Kilter = 0;
    int32_t Flow = 0;
    int32_t Lower = 0;
    int32_t Upper = 0;
    int64_t ReducedCost = 0;
    // Start: links 1..LinkCount and nodes 1..NodeCount in number order.
    std::vector<int32_t> Flows;
    std::vector<int32_t> NodePotentials;
    // Augment: the link being brought into kilter, then the label path from
    // the start node to the target; +1 where the flow rises, -1 where it falls.
    std::vector<std::pair<int32_t, int32_t>> Cycle;
    // Potentials: the nodes raised, ascending. Infeasible: the trimmed cut.
    std::vector<int32_t> Nodes;
    // Infeasible: every node labelled when the run gave up, ascending, and
    // what the cut must take in and can pass on.
    std::vector<int32_t> Labelled;
    int64_t Need = 0;
    int64_t Room = 0;
    std::string TotalCost;  // Done: the exact integer total (ExactTotalCostOf)
    std::string Reason;     // Stopped
};

// Receives every step of a solve. Watching changes nothing in the run: the
// order of work, the flows and the potentials are those of a run unwatched.
class SolveObserver {
  public:
    virtual ~SolveObserver() = default;
    virtual void Observe(const SolveEvent& event) = 0;
};

struct Workspace;

// The event as one line of JSON (no line end), as the trace file holds it.
// With the problem, the start also names what the trace numbers: each node's
// name (UTF-8) and each link's origin, destination, bounds and cost.
std::string TraceLine(const SolveEvent& event, const Workspace* problem = nullptr);

}  // namespace kav

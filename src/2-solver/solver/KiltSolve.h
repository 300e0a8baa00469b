#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "solver/SolveTrace.h"
#include "workspace/Errors.h"
#include "workspace/Workspace.h"

namespace kav {

struct KilterInfo {
    bool InKilter = true;
    int64_t KilterNumber = 0;
};

// Cost plus origin potential minus destination potential; the origin's sign is
// ignored, so a link marked for removal (negative origin) has one too.
// Throws IntegerOverflow when the value does not fit in 32 bits.
int32_t ReducedCost(const Workspace& ws, int32_t link);
// The same value formed in 64 bits, for showing it whatever the potentials.
int64_t WideReducedCost(const Workspace& ws, int32_t link);
// The link's kilter number, formed in 64 bits from WideReducedCost, for
// showing it whatever the potentials.
KilterInfo KilterState(const Workspace& ws, int32_t link);

// Receives the progress report after every link that is in kilter.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void ReportProgress(int32_t link, int32_t linkCount) = 0;
    // The run is over (solved or infeasible): whatever is shown must now be
    // the last report, since the run's messages appear over it.
    virtual void RunFinished() {}
};

// How a solve ended. A stopped solve leaves no solution; the figures of the
// other outcomes are the ones the run can give. A solve is stopped because
// potentials, reduced costs or kilter numbers would leave the 32-bit range, or
// because the problem breaks what the solver needs (a link naming a missing
// node, a lower bound above its upper bound); every value in the Workspace is
// then still a valid 32-bit number, and StopReason says why.
enum class SolveOutcome { Feasible, Infeasible, Stopped };

// Why an infeasible run gave up (no potential change could make progress): a
// set of nodes, the labelled ones trimmed as far as the proof allows
// (solver/InfeasibilityCut.h), with what crosses their boundary. Need > Room
// proves that no feasible flow exists: the links into the set must bring at
// least Need, the links out of it can take at most Room.
struct InfeasibilityCut {
    // The run started from flows balanced at every node, so the set is a proof.
    // A run from unbalanced flows (possible only in data built by code) gives a
    // set that is not confirmed.
    bool Confirmed = false;
    std::vector<int32_t> Nodes;  // by node number
    int64_t Need = 0;            // lower bounds of the links into the set
    int64_t Room = 0;            // upper bounds of the links out of it
    // Into the set by lower bound, largest first; out of it by upper bound,
    // smallest first; ties by link number.
    std::vector<int32_t> LinksIn;
    std::vector<int32_t> LinksOut;
    // The link the run was bringing into kilter when it gave up; it crosses
    // the boundary. The one record of the failed link (0 for a run that did
    // not fail).
    int32_t FailedLink = 0;
};

// The outcome of the independent optimality check of a feasible solve.
struct OptimalityCertificate {
    bool Checked = false;
    bool Ok = false;
    std::string Failure;  // what failed, when not Ok
    int32_t Links = 0;
    int32_t Nodes = 0;
};

struct SolveStatus {
    SolveOutcome Outcome = SolveOutcome::Feasible;
    // The set that shows why no feasible flow exists, with the link the run
    // failed on (Infeasible only).
    InfeasibilityCut Cut;
    // Why the solve was stopped (Stopped only).
    std::string StopReason;
    // Filled by the solve run for a feasible solve.
    OptimalityCertificate Certificate;

    bool IsFeasible() const { return Outcome == SolveOutcome::Feasible; }
    bool IsInfeasible() const { return Outcome == SolveOutcome::Infeasible; }
    bool IsStopped() const { return Outcome == SolveOutcome::Stopped; }
};

struct KilterScratch;

// The out-of-kilter algorithm with its scratch (link orders, labels, the
// eligibility bits), allocated at full size once per solver and rebuilt at the
// start of every solve, so nothing carries from one solve to the next.
class KilterSolver {
  public:
    KilterSolver();
    ~KilterSolver();
    KilterSolver(const KilterSolver&) = delete;
    KilterSolver& operator=(const KilterSolver&) = delete;

    // Solves the Workspace's problem from its current flows and potentials,
    // which it changes in place; the returned status is the only word on how
    // the run ended (the solve run records it in the flags). A problem unfit
    // for solving (a link naming a missing node, a lower bound above its upper
    // bound, numbers beyond 32 bits) is Stopped before anything changes;
    // numbers that outgrow 32 bits during the run stop it with every value
    // still a valid 32-bit number. progress may be null. observer, when not
    // null, receives every step (solver/SolveTrace.h); without one the run
    // does no work for it at all.
    SolveStatus Solve(Workspace& ws, ProgressSink* progress, SolveObserver* observer = nullptr);

  private:
    std::unique_ptr<KilterScratch> scratch_;
};

// One solve with a solver of its own.
SolveStatus RunOutOfKilter(Workspace& ws, ProgressSink* progress,
                           SolveObserver* observer = nullptr);

}  // namespace kav

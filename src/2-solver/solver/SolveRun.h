#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "solver/KiltSolve.h"
#include "solver/LastSolve.h"
#include "workspace/NumberFormat.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace kav {

// What the solve run needs from the windows. The main menu implements it.
class SolveRunView {
  public:
    virtual ~SolveRunView() = default;
    // Checks failed: fill the error list, hide the main menu, show the list.
    virtual void ShowCheckErrors(const std::vector<std::string>& lines) = 0;
    // Show the percent-complete window and hide the main menu.
    virtual void ShowProgressWindow() = 0;
    // Hide the percent-complete window and show the main menu.
    virtual void HideProgressWindow() = 0;
    // Where the algorithm reports progress (the percent window), or null.
    virtual ProgressSink* Progress() = 0;
    // Shows what the run has to tell at this point of it (message boxes).
    virtual void Tell(const Report& report) = 0;
};

// The local time of day in seconds, with millisecond resolution.
double SecondsOfDay();

// Where a Run ended: before the solver, with no links to solve or with the
// checks failed (their list shown), or in the solver, whose status says how.
enum class SolveRunEnd { NoLinks, ChecksFailed, SolverRan };

struct SolveRunOutcome {
    SolveRunEnd end = SolveRunEnd::NoLinks;
    // How the solver ended (SolverRan only).
    SolveStatus status;

    bool SolverRan() const { return end == SolveRunEnd::SolverRan; }
};

// The Run button: checks, clearing of a stale solution, the timed run behind
// the percent window, the messages in their order (told to the view),
// TotalCost and the flags.
// A stopped solve clears the partial solution and is returned for the caller
// to show its reason as the standard error report. The outcome is recorded as
// lastSolve; the time is shown with separators. clock defaults to SecondsOfDay
// (tests pass their own).
SolveRunOutcome RunSolve(Workspace& ws, LastSolveRecord& lastSolve,
                         const NumberSeparators& separators, SolveRunView& view,
                         const std::function<double()>& clock = SecondsOfDay);

// The warning an infeasible solve gives the moment the solver stops, naming
// the link it failed on; the windows show it, the command line prints it.
Report InfeasibleSolveWarning(int32_t failedLink);

// What every finished solve records: the cut confirmed by the independent sums
// (infeasible), or TotalCost and the optimality certificate (feasible); then
// the solved flags and the last solve's status in lastSolve, with the problem
// as it was solved (asSolved, taken before the run).
void RecordSolveOutcome(Workspace& ws, LastSolveRecord& lastSolve, SolveStatus& status,
                        std::shared_ptr<const Workspace> asSolved = nullptr);

}  // namespace kav

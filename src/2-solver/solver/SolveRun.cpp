#include "solver/SolveRun.h"

#include <chrono>
#include <ctime>
#include <utility>

#include "solver/CheckProblem.h"
#include "solver/LastSolve.h"
#include "solver/SolutionChecks.h"
#include "workspace/NumberFormat.h"

namespace kav {
namespace {

constexpr double SecondsPerDay = 86400.0;

// Runs the algorithm between two readings of the clock and tells the messages
// that belong to the run itself (none for a stopped run).
SolveStatus TimedRun(Workspace& ws, const NumberSeparators& separators, SolveRunView& view,
                     const std::function<double()>& clock) {
    KilterSolver solver;
    const double startTime = clock();
    SolveStatus status = solver.Solve(ws, view.Progress());
    const double stopTime = clock();
    if (status.IsStopped())
        return status;
    if (ProgressSink* progress = view.Progress())
        progress->RunFinished();
    Report report;
    if (status.IsInfeasible())
        report.Append(InfeasibleSolveWarning(status.Cut.FailedLink));
    double elapsed = stopTime - startTime;
    if (elapsed < 0)
        elapsed += SecondsPerDay;  // the run crossed midnight
    report.Box(MsgKind::Information, "...Problem is solved...\rSolution Time = " +
                                         FormatGrouped(elapsed, 3, separators) + " seconds");
    view.Tell(report);
    return status;
}

}  // namespace

double SecondsOfDay() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto millisecond = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + millisecond * 0.001;
}

Report InfeasibleSolveWarning(int32_t failedLink) {
    Report report;
    report.Box(MsgKind::Warning, "<<< INFEASIBLE SOLUTION FOUND...WORKING ON LINK " +
                                     std::to_string(failedLink) +
                                     " >>>\r"
                                     "<<<          FATAL ERROR ... SORRY         >>>\r"
                                     "<<< CHECK COMPATABILITY OF BOUNDS ON LINKS >>>");
    return report;
}

SolveRunOutcome RunSolve(Workspace& ws, LastSolveRecord& lastSolve,
                         const NumberSeparators& separators, SolveRunView& view,
                         const std::function<double()>& clock) {
    if (ws.LinkCount <= 0)
        return {SolveRunEnd::NoLinks, {}};
    const std::vector<std::string> errors = CheckProblem(ws);
    if (!ws.ChecksPassed) {
        view.ShowCheckErrors(errors);
        return {SolveRunEnd::ChecksFailed, {}};
    }
    ClearStaleSolution(ws, SolutionUse::NextSolve);
    lastSolve.Forget();
    auto asSolved = std::make_shared<const Workspace>(ws);

    view.ShowProgressWindow();
    SolveStatus status;
    try {
        status = TimedRun(ws, separators, view, clock);
    } catch (...) {
        view.HideProgressWindow();
        throw;
    }
    view.HideProgressWindow();
    if (status.IsStopped()) {
        // The partial flows and potentials are no solution; the next solve and
        // the results window start again from zero.
        NoteSolveStopped(ws);
        return {SolveRunEnd::SolverRan, std::move(status)};
    }

    if (status.IsInfeasible()) {
        Report report;
        report.Box(MsgKind::Warning, "Inputs yield infeasible solution...\rSEVERE WARNING...");
        view.Tell(report);
    }
    RecordSolveOutcome(ws, lastSolve, status, std::move(asSolved));
    return {SolveRunEnd::SolverRan, std::move(status)};
}

void RecordSolveOutcome(Workspace& ws, LastSolveRecord& lastSolve, SolveStatus& status,
                        std::shared_ptr<const Workspace> asSolved) {
    if (status.IsInfeasible()) {
        // Claim the cut only when the independent sums agree that it proves it.
        status.Cut.Confirmed =
            status.Cut.Confirmed && SumAcrossCut(ws, status.Cut.Nodes).ProvesInfeasible();
    } else {
        ComputeTotalCost(ws);
        status.Certificate = CheckOptimality(ws);
    }
    NoteSolved(ws, status.IsInfeasible());
    lastSolve.Record(ws, status, std::move(asSolved));
}

}  // namespace kav

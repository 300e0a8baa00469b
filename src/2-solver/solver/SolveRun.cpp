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

// Runs the algorithm between two readings of the clock and shows the messages
// that belong to the run itself.
// A stopped run throws SolveStopped with its reason, for the application's
// standard error report.
SolveStatus TimedRun(Workspace& ws, Prompts& prompts, const NumberSeparators& separators,
                     SolveRunView& view, const std::function<double()>& clock) {
    KilterSolver solver;
    const double startTime = clock();
    SolveStatus status = solver.Solve(ws, view.Progress());
    const double stopTime = clock();
    if (status.IsStopped())
        throw SolveStopped(status.StopReason);
    if (ProgressSink* progress = view.Progress())
        progress->RunFinished();
    if (status.IsInfeasible()) {
        prompts.Message(MsgKind::Warning, MsgButtons::Ok,
                        "<<< INFEASIBLE SOLUTION FOUND...WORKING ON LINK " +
                            std::to_string(status.FailedLink) +
                            " >>>\r"
                            "<<<          FATAL ERROR ... SORRY         >>>\r"
                            "<<< CHECK COMPATABILITY OF BOUNDS ON LINKS >>>");
    }
    double elapsed = stopTime - startTime;
    if (elapsed < 0)
        elapsed += SecondsPerDay;  // the run crossed midnight
    prompts.Message(MsgKind::Information, MsgButtons::Ok,
                    "...Problem is solved...\rSolution Time = " +
                        FormatGrouped(elapsed, 3, separators) + " seconds");
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

void ComputeTotalCost(Workspace& ws) {
    ws.TotalCost = static_cast<double>(ExactTotalCostOf(ws));
}

std::optional<SolveStatus> RunSolve(Workspace& ws, Prompts& prompts, LastSolveRecord& lastSolve,
                                    const NumberSeparators& separators, SolveRunView& view,
                                    const std::function<double()>& clock) {
    if (ws.LinkCount <= 0)
        return std::nullopt;
    const std::vector<std::string> errors = CheckProblem(ws);
    if (!ws.ChecksPassed) {
        view.ShowCheckErrors(errors);
        return std::nullopt;
    }
    ClearStaleSolution(ws, SolutionUse::NextSolve);
    ForgetLastSolve(lastSolve);
    auto asSolved = std::make_shared<const Workspace>(ws);

    view.ShowProgressWindow();
    SolveStatus status;
    try {
        status = TimedRun(ws, prompts, separators, view, clock);
    } catch (const SolveStopped&) {
        // The partial flows and potentials are no solution; the next solve and
        // the results window start again from zero.
        view.HideProgressWindow();
        ws.ClearSolution();
        throw;
    } catch (...) {
        view.HideProgressWindow();
        throw;
    }
    view.HideProgressWindow();

    if (status.IsInfeasible())
        prompts.Message(MsgKind::Warning, MsgButtons::Ok,
                        "Inputs yield infeasible solution...\rSEVERE WARNING...");
    RecordSolveOutcome(ws, lastSolve, status, std::move(asSolved));
    return status;
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
    NoteSolved(ws);
    RecordLastSolve(lastSolve, ws, status, std::move(asSolved));
}

}  // namespace kav

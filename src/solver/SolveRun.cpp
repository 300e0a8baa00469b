#include "solver/SolveRun.h"

namespace kav {

double SecondsOfDay() { return 0.0; }
void ComputeTotalCost(Workspace& ws) { ws.TotalCost = 0.0; }
void RunSolve(Workspace&, Prompts&, SolveRunView&, const std::function<double()>&) {}

}  // namespace kav

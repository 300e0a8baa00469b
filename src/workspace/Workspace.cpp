#include "workspace/Workspace.h"

namespace kav {

void Workspace::ClearSolution() {
    NodePotential.fill(0);
    LinkFlow.fill(0);
    NetworkChanged = false;
}

void Workspace::Empty() {
    LinkCount = 0;
    NodeCount = 0;
    DataNotSaved = false;
    ResultsNotShown = false;
    NetworkChanged = false;
}

void Workspace::Reset() {
    LinkCount = 0;
    NodeCount = 0;
    for (auto* links : {&LinkOrigin, &LinkDest, &LinkLower, &LinkUpper, &LinkCost, &LinkFlow}) {
        links->fill(0);
    }
    NodeName.fill(std::string());
    NodePotential.fill(0);
    TotalCost = 0.0;
    DataNotSaved = ResultsNotShown = NetworkChanged = Infeasible = ChecksPassed = false;
    NodeFileName.clear();
    LinkFileName.clear();
}

Workspace& TheWorkspace() {
    static Workspace workspace;
    return workspace;
}

}  // namespace kav

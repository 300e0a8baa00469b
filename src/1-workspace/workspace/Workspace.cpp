#include "workspace/Workspace.h"

namespace kav {

void Workspace::ClearSolution() {
    NodePotential.fill(0);
    LinkFlow.fill(0);
    NetworkChanged = false;
    ++Revision;
}

void Workspace::Empty() {
    ++Revision;
    LinkCount = 0;
    NodeCount = 0;
    DataNotSaved = false;
    ResultsNotShown = false;
    NetworkChanged = false;
}

void Workspace::Reset() {
    ++Revision;
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

bool IsNode(const Workspace& ws, int32_t node) {
    return NodeInRange(node, ws.NodeCount);
}

LinkData GetLink(const Workspace& ws, int32_t link) {
    return LinkData{ws.LinkOrigin[link], ws.LinkDest[link], ws.LinkLower[link], ws.LinkUpper[link],
                    ws.LinkCost[link]};
}

void SetLink(Workspace& ws, int32_t link, const LinkData& data) {
    ws.LinkOrigin[link] = data.Origin;
    ws.LinkDest[link] = data.Dest;
    ws.LinkLower[link] = data.Lower;
    ws.LinkUpper[link] = data.Upper;
    ws.LinkCost[link] = data.Cost;
    ++ws.Revision;
}

void MoveLink(Workspace& ws, int32_t from, int32_t to) {
    SetLink(ws, to, GetLink(ws, from));
    ws.LinkFlow[to] = ws.LinkFlow[from];
}

void NoteNodesEdited(Workspace& ws) {
    ++ws.Revision;
    ws.DataNotSaved = true;
}

void NoteLinkAdded(Workspace& ws) {
    ++ws.Revision;
    ws.DataNotSaved = true;
    ws.NetworkChanged = true;
}

void NoteLinkRemoved(Workspace& ws, bool carriedFlow) {
    ++ws.Revision;
    ws.DataNotSaved = true;
    if (carriedFlow)
        ws.NetworkChanged = true;
}

void NoteLinkRerouted(Workspace& ws) {
    ++ws.Revision;
    ws.NetworkChanged = true;
}

void NoteLinkValuesEdited(Workspace& ws) {
    ++ws.Revision;
}

void NoteChangesCommitted(Workspace& ws) {
    ++ws.Revision;
    ws.DataNotSaved = true;
}

void NoteSolved(Workspace& ws) {
    ws.NetworkChanged = false;
    ws.ResultsNotShown = true;
}

void NoteResultsShown(Workspace& ws) {
    ws.ResultsNotShown = false;
}

void NoteLoaded(Workspace& ws) {
    ws.ClearSolution();
    ws.DataNotSaved = false;
    ws.ResultsNotShown = false;
}

void NoteSaved(Workspace& ws) {
    ws.DataNotSaved = false;
}

void NoteNewProblem(Workspace& ws, bool inFiles) {
    ws.ClearSolution();
    ws.DataNotSaved = !inFiles;
    ws.ResultsNotShown = false;
}

void ClearStaleSolution(Workspace& ws, SolutionUse use) {
    if (ws.NetworkChanged || (use == SolutionUse::NextSolve && ws.Infeasible))
        ws.ClearSolution();
}

__int128 ExactTotalCostOf(const Workspace& ws) {
    __int128 sum = 0;
    for (int32_t link = 1; link <= ws.LinkCount; ++link)
        sum += static_cast<int64_t>(ws.LinkCost[link]) * ws.LinkFlow[link];
    return sum;
}

}  // namespace kav

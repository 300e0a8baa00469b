#include "workspace/Workspace.h"

#include <algorithm>

#include <utility>

namespace kav {
namespace {

// Node numbers above removed move down by one; the sign (a removal mark) stays.
int32_t LowerAbove(int32_t number, int32_t removed) {
    if (number > removed)
        return number - 1;
    if (number < -removed)
        return number + 1;
    return number;
}

}  // namespace

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

int32_t AppendNode(Workspace& ws, const std::string& name) {
    const int32_t node = ws.NodeCount + 1;
    ws.NodeName[node] = name;
    ws.NodePotential[node] = 0;
    ws.NodeCount = node;
    ++ws.Revision;
    return node;
}

void SetNodeName(Workspace& ws, int32_t node, const std::string& name) {
    ws.NodeName[node] = name;
    ++ws.Revision;
}

void RemoveNodeAt(Workspace& ws, int32_t node) {
    for (int32_t j = node; j < ws.NodeCount; ++j) {
        ws.NodeName[j] = ws.NodeName[j + 1];
        ws.NodePotential[j] = ws.NodePotential[j + 1];
    }
    --ws.NodeCount;
    for (int32_t j = 1; j <= ws.LinkCount; ++j) {
        ws.LinkOrigin[j] = LowerAbove(ws.LinkOrigin[j], node);
        ws.LinkDest[j] = LowerAbove(ws.LinkDest[j], node);
    }
    ++ws.Revision;
}

int32_t AppendLink(Workspace& ws, const LinkData& data) {
    const int32_t link = ws.LinkCount + 1;
    SetLink(ws, link, data);
    ws.LinkFlow[link] = 0;
    ws.LinkCount = link;
    return link;
}

void RemoveLinks(Workspace& ws, const std::function<bool(int32_t)>& drop, FlowsOnRemoval flows) {
    int32_t kept = 0;
    for (int32_t j = 1; j <= ws.LinkCount; ++j) {
        if (drop(j))
            continue;
        ++kept;
        if (flows == FlowsOnRemoval::MoveAlong)
            MoveLink(ws, j, kept);
        else
            SetLink(ws, kept, GetLink(ws, j));
    }
    ws.LinkCount = kept;
    ++ws.Revision;
}

void SetProblemSize(Workspace& ws, int32_t links, int32_t nodes) {
    ws.LinkCount = links;
    ws.NodeCount = nodes;
    ++ws.Revision;
}

void SetFileNames(Workspace& ws, std::string nodeFile, std::string linkFile) {
    ws.NodeFileName = std::move(nodeFile);
    ws.LinkFileName = std::move(linkFile);
}

SolutionArrays SolutionToImprove(Workspace& ws) {
    return SolutionArrays{ws.LinkFlow.data(), ws.NodePotential.data()};
}

void SetSolution(Workspace& ws, const std::vector<int32_t>& flows,
                 const std::vector<int32_t>& potentials) {
    const auto links =
        std::min<std::size_t>(flows.size(), static_cast<std::size_t>(ws.LinkCount) + 1);
    for (std::size_t k = 1; k < links; ++k)
        ws.LinkFlow[static_cast<int64_t>(k)] = flows[k];
    const auto nodes =
        std::min<std::size_t>(potentials.size(), static_cast<std::size_t>(ws.NodeCount) + 1);
    for (std::size_t n = 1; n < nodes; ++n)
        ws.NodePotential[static_cast<int64_t>(n)] = potentials[n];
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

void NoteChecked(Workspace& ws, bool passed) {
    ws.ChecksPassed = passed;
}

void NoteSolved(Workspace& ws, bool infeasible) {
    ws.Infeasible = infeasible;
    ws.NetworkChanged = false;
    ws.ResultsNotShown = true;
}

void NoteSolveStopped(Workspace& ws) {
    ws.ClearSolution();
    ws.Infeasible = false;
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

void ComputeTotalCost(Workspace& ws) {
    ws.TotalCost = static_cast<double>(ExactTotalCostOf(ws));
}

}  // namespace kav

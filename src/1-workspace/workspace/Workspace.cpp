#include "workspace/Workspace.h"

#include <algorithm>

#include <utility>

namespace kav {

// The writing side of the Workspace's members: this file is the one that
// defines it, so the operations below are the only writers.
struct WorkspaceWrites {
    template <class T>
    static T& Of(ReadOnly<T>& member) {
        return member.value_;
    }
    static std::string& Of(ReadOnlyText& member) { return member.value_; }
    template <class T>
    static T& Of(CheckedArray<T>& array, int64_t k) {
        return array.element(k);
    }
    template <class T>
    static void Fill(CheckedArray<T>& array, const T& value) {
        array.fill(value);
    }
    template <class T>
    static T* Data(CheckedArray<T>& array) {
        return array.items_.data();
    }
};

namespace {

template <class Member>
auto& Write(Member& member) {
    return WorkspaceWrites::Of(member);
}
template <class T>
T& Write(CheckedArray<T>& array, int64_t k) {
    return WorkspaceWrites::Of(array, k);
}
template <class T>
void Fill(CheckedArray<T>& array, const T& value) {
    WorkspaceWrites::Fill(array, value);
}

// Node numbers above removed move down by one; the sign (a removal mark) stays.
int32_t LowerAbove(int32_t number, int32_t removed) {
    if (number > removed)
        return number - 1;
    if (number < -removed)
        return number + 1;
    return number;
}

// Node numbers from inserted on move up by one; the sign stays.
int32_t RaiseFrom(int32_t number, int32_t inserted) {
    if (number >= inserted)
        return number + 1;
    if (number <= -inserted)
        return number - 1;
    return number;
}

}  // namespace

void Workspace::ClearSolution() {
    Fill(NodePotential, 0);
    Fill(LinkFlow, 0);
    Write(NetworkChanged) = false;
    ++Write(Revision);
}

void Workspace::Empty() {
    ++Write(Revision);
    Write(LinkCount) = 0;
    Write(NodeCount) = 0;
    Write(DataNotSaved) = false;
    Write(ResultsNotShown) = false;
    Write(NetworkChanged) = false;
}

void Workspace::Reset() {
    ++Write(Revision);
    Write(LinkCount) = 0;
    Write(NodeCount) = 0;
    for (auto* links : {&LinkOrigin, &LinkDest, &LinkLower, &LinkUpper, &LinkCost, &LinkFlow}) {
        Fill(*links, 0);
    }
    Fill(NodeName, std::string());
    Fill(NodePotential, 0);
    Write(TotalCost) = 0.0;
    for (auto* flag :
         {&DataNotSaved, &ResultsNotShown, &NetworkChanged, &Infeasible, &ChecksPassed})
        Write(*flag) = false;
    Write(NodeFileName).clear();
    Write(LinkFileName).clear();
}

bool IsNode(const Workspace& ws, int32_t node) {
    return NodeInRange(node, ws.NodeCount);
}

LinkData GetLink(const Workspace& ws, int32_t link) {
    return LinkData{ws.LinkOrigin[link], ws.LinkDest[link], ws.LinkLower[link], ws.LinkUpper[link],
                    ws.LinkCost[link]};
}

void SetLink(Workspace& ws, int32_t link, const LinkData& data) {
    Write(ws.LinkOrigin, link) = data.Origin;
    Write(ws.LinkDest, link) = data.Dest;
    Write(ws.LinkLower, link) = data.Lower;
    Write(ws.LinkUpper, link) = data.Upper;
    Write(ws.LinkCost, link) = data.Cost;
    ++Write(ws.Revision);
}

void MoveLink(Workspace& ws, int32_t from, int32_t to) {
    SetLink(ws, to, GetLink(ws, from));
    Write(ws.LinkFlow, to) = ws.LinkFlow[from];
}

int32_t AppendNode(Workspace& ws, const std::string& name) {
    const int32_t node = ws.NodeCount + 1;
    Write(ws.NodeName, node) = name;
    Write(ws.NodePotential, node) = 0;
    Write(ws.NodeCount) = node;
    ++Write(ws.Revision);
    return node;
}

void SetNodeName(Workspace& ws, int32_t node, const std::string& name) {
    Write(ws.NodeName, node) = name;
    ++Write(ws.Revision);
}

void RemoveNodeAt(Workspace& ws, int32_t node) {
    for (int32_t j = node; j < ws.NodeCount; ++j) {
        Write(ws.NodeName, j) = ws.NodeName[j + 1];
        Write(ws.NodePotential, j) = ws.NodePotential[j + 1];
    }
    --Write(ws.NodeCount);
    for (int32_t j = 1; j <= ws.LinkCount; ++j) {
        Write(ws.LinkOrigin, j) = LowerAbove(ws.LinkOrigin[j], node);
        Write(ws.LinkDest, j) = LowerAbove(ws.LinkDest[j], node);
    }
    ++Write(ws.Revision);
}

void InsertNodeAt(Workspace& ws, int32_t node, const std::string& name) {
    for (int32_t j = ws.NodeCount + 1; j > node; --j) {
        Write(ws.NodeName, j) = ws.NodeName[j - 1];
        Write(ws.NodePotential, j) = ws.NodePotential[j - 1];
    }
    Write(ws.NodeName, node) = name;
    Write(ws.NodePotential, node) = 0;
    ++Write(ws.NodeCount);
    for (int32_t j = 1; j <= ws.LinkCount; ++j) {
        Write(ws.LinkOrigin, j) = RaiseFrom(ws.LinkOrigin[j], node);
        Write(ws.LinkDest, j) = RaiseFrom(ws.LinkDest[j], node);
    }
    ++Write(ws.Revision);
}

int32_t AppendLink(Workspace& ws, const LinkData& data) {
    const int32_t link = ws.LinkCount + 1;
    SetLink(ws, link, data);
    Write(ws.LinkFlow, link) = 0;
    Write(ws.LinkCount) = link;
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
    Write(ws.LinkCount) = kept;
    ++Write(ws.Revision);
}

void SetProblemSize(Workspace& ws, int32_t links, int32_t nodes) {
    Write(ws.LinkCount) = links;
    Write(ws.NodeCount) = nodes;
    ++Write(ws.Revision);
}

void SetFileNames(Workspace& ws, std::string nodeFile, std::string linkFile) {
    Write(ws.NodeFileName) = std::move(nodeFile);
    Write(ws.LinkFileName) = std::move(linkFile);
}

SolutionArrays SolutionToImprove(Workspace& ws) {
    return SolutionArrays{WorkspaceWrites::Data(ws.LinkFlow),
                          WorkspaceWrites::Data(ws.NodePotential)};
}

void SetSolution(Workspace& ws, const std::vector<int32_t>& flows,
                 const std::vector<int32_t>& potentials) {
    const auto links =
        std::min<std::size_t>(flows.size(), static_cast<std::size_t>(ws.LinkCount) + 1);
    for (std::size_t k = 1; k < links; ++k)
        Write(ws.LinkFlow, static_cast<int64_t>(k)) = flows[k];
    const auto nodes =
        std::min<std::size_t>(potentials.size(), static_cast<std::size_t>(ws.NodeCount) + 1);
    for (std::size_t n = 1; n < nodes; ++n)
        Write(ws.NodePotential, static_cast<int64_t>(n)) = potentials[n];
}

void NoteNodesEdited(Workspace& ws) {
    ++Write(ws.Revision);
    Write(ws.DataNotSaved) = true;
}

void NoteLinkAdded(Workspace& ws) {
    ++Write(ws.Revision);
    Write(ws.DataNotSaved) = true;
    Write(ws.NetworkChanged) = true;
}

void NoteLinkRemoved(Workspace& ws, bool carriedFlow) {
    ++Write(ws.Revision);
    Write(ws.DataNotSaved) = true;
    if (carriedFlow)
        Write(ws.NetworkChanged) = true;
}

void NoteLinkRerouted(Workspace& ws) {
    ++Write(ws.Revision);
    Write(ws.NetworkChanged) = true;
}

void NoteLinkValuesEdited(Workspace& ws) {
    ++Write(ws.Revision);
}

void NoteChangesCommitted(Workspace& ws) {
    ++Write(ws.Revision);
    Write(ws.DataNotSaved) = true;
}

void NoteChecked(Workspace& ws, bool passed) {
    Write(ws.ChecksPassed) = passed;
}

void NoteSolved(Workspace& ws, bool infeasible) {
    Write(ws.Infeasible) = infeasible;
    Write(ws.NetworkChanged) = false;
    Write(ws.ResultsNotShown) = true;
}

void NoteSolveStopped(Workspace& ws) {
    ws.ClearSolution();
    Write(ws.Infeasible) = false;
}

void NoteResultsShown(Workspace& ws) {
    Write(ws.ResultsNotShown) = false;
}

void NoteLoaded(Workspace& ws) {
    ws.ClearSolution();
    Write(ws.DataNotSaved) = false;
    Write(ws.ResultsNotShown) = false;
}

void NoteSaved(Workspace& ws) {
    Write(ws.DataNotSaved) = false;
}

void NoteNewProblem(Workspace& ws, bool inFiles) {
    ws.ClearSolution();
    Write(ws.DataNotSaved) = !inFiles;
    Write(ws.ResultsNotShown) = false;
}

void NoteProblemPutBack(Workspace& ws, bool unsaved, SolutionPutBack solution) {
    if (solution == SolutionPutBack::Cleared) {
        ws.ClearSolution();
        Write(ws.ResultsNotShown) = false;
    } else if (solution == SolutionPutBack::Stale) {
        Write(ws.NetworkChanged) = true;
    }
    Write(ws.DataNotSaved) = unsaved;
    ++Write(ws.Revision);
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
    Write(ws.TotalCost) = static_cast<double>(ExactTotalCostOf(ws));
}

}  // namespace kav

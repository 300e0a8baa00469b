#include "workspace/ProblemHistory.h"

#include <cstdlib>
#include <utility>

namespace kav {
namespace {

bool SameEnds(const LinkData& a, const LinkData& b) {
    return a.Origin == b.Origin && a.Dest == b.Dest;
}

bool SameLink(const LinkData& a, const LinkData& b) {
    return SameEnds(a, b) && a.Lower == b.Lower && a.Upper == b.Upper && a.Cost == b.Cost;
}

// Zero leaves nothing unsaved: an empty problem has nothing to lose.
bool IsEmpty(const Workspace& ws) {
    return ws.NodeCount == 0 && ws.LinkCount == 0;
}

int32_t CountOf(std::size_t size) {
    return static_cast<int32_t>(size);
}

void WriteLinks(Workspace& ws, const std::vector<LinkData>& links) {
    for (std::size_t k = 0; k < links.size(); ++k)
        SetLink(ws, CountOf(k + 1), links[k]);
}

// Names and links written over whatever ws holds.
void WriteWhole(Workspace& ws, const ProblemCopy& problem) {
    for (std::size_t k = 0; k < problem.names.size(); ++k)
        SetNodeName(ws, CountOf(k + 1), problem.names[k]);
    WriteLinks(ws, problem.links);
    SetProblemSize(ws, CountOf(problem.links.size()), CountOf(problem.names.size()));
}

bool SameNames(const Workspace& ws, const std::vector<std::string>& names) {
    if (ws.NodeCount != CountOf(names.size()))
        return false;
    for (int32_t k = 1; k <= ws.NodeCount; ++k) {
        if (ws.NodeName[k] != names[static_cast<std::size_t>(k - 1)])
            return false;
    }
    return true;
}

// One node added or removed is put back by the converse operation, which
// keeps every link at its named ends and every potential with its node.
// False when the nodes differ otherwise.
bool PutNodeBack(Workspace& ws, const std::vector<std::string>& names) {
    const int32_t target = CountOf(names.size());
    if (std::abs(target - ws.NodeCount) != 1)
        return false;
    int32_t node = 1;
    while (node <= ws.NodeCount && node <= target &&
           ws.NodeName[node] == names[static_cast<std::size_t>(node - 1)])
        ++node;
    if (target > ws.NodeCount)
        InsertNodeAt(ws, node, names[static_cast<std::size_t>(node - 1)]);
    else
        RemoveNodeAt(ws, node);
    return SameNames(ws, names);
}

// Marks in drop (link k at [k]) the links of ws to take away so that the
// ends of the rest are those of target in order; false when no such links
// exist (links would have to come back or be re-routed).
bool LinksToDrop(const Workspace& ws, const std::vector<LinkData>& target,
                 std::vector<bool>& drop) {
    drop.assign(static_cast<std::size_t>(ws.LinkCount) + 1, true);
    std::size_t next = 0;
    for (int32_t j = 1; j <= ws.LinkCount && next < target.size(); ++j) {
        if (SameEnds(GetLink(ws, j), target[next])) {
            drop[static_cast<std::size_t>(j)] = false;
            ++next;
        }
    }
    return next == target.size();
}

SolutionPutBack PutLinksBack(Workspace& ws, const std::vector<LinkData>& target) {
    std::vector<bool> drop;
    if (!LinksToDrop(ws, target, drop)) {
        WriteLinks(ws, target);
        SetProblemSize(ws, CountOf(target.size()), ws.NodeCount);
        return SolutionPutBack::Stale;
    }
    bool carriedFlow = false;
    for (int32_t j = 1; j <= ws.LinkCount; ++j)
        carriedFlow = carriedFlow || (drop[static_cast<std::size_t>(j)] && ws.LinkFlow[j] != 0);
    if (CountOf(target.size()) != ws.LinkCount) {
        RemoveLinks(
            ws, [&drop](int32_t j) { return drop[static_cast<std::size_t>(j)]; },
            FlowsOnRemoval::MoveAlong);
    }
    WriteLinks(ws, target);
    return carriedFlow ? SolutionPutBack::Stale : SolutionPutBack::Kept;
}

SolutionPutBack PutEditBack(Workspace& ws, const ProblemCopy& problem) {
    if (!SameNames(ws, problem.names) && !PutNodeBack(ws, problem.names)) {
        WriteWhole(ws, problem);
        return SolutionPutBack::Stale;
    }
    return PutLinksBack(ws, problem.links);
}

}  // namespace

ProblemCopy CopyProblem(const Workspace& ws) {
    ProblemCopy copy;
    copy.names.reserve(static_cast<std::size_t>(ws.NodeCount));
    for (int32_t k = 1; k <= ws.NodeCount; ++k)
        copy.names.push_back(ws.NodeName[k]);
    copy.links.reserve(static_cast<std::size_t>(ws.LinkCount));
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        copy.links.push_back(GetLink(ws, k));
    copy.nodeFile = ws.NodeFileName;
    copy.linkFile = ws.LinkFileName;
    return copy;
}

bool SameProblem(const ProblemCopy& a, const ProblemCopy& b) {
    if (a.names != b.names || a.links.size() != b.links.size() || a.nodeFile != b.nodeFile ||
        a.linkFile != b.linkFile)
        return false;
    for (std::size_t k = 0; k < a.links.size(); ++k) {
        if (!SameLink(a.links[k], b.links[k]))
            return false;
    }
    return true;
}

void PutProblemBack(Workspace& ws, const ProblemCopy& problem, StepKind kind,
                    const ProblemCopy* saved) {
    SolutionPutBack solution = SolutionPutBack::Cleared;
    if (kind == StepKind::NewProblem) {
        WriteWhole(ws, problem);
        SetFileNames(ws, problem.nodeFile, problem.linkFile);
    } else {
        solution = PutEditBack(ws, problem);
    }
    const bool unsaved =
        !IsEmpty(ws) && (saved == nullptr || !SameProblem(CopyProblem(ws), *saved));
    NoteProblemPutBack(ws, unsaved, solution);
}

void ProblemHistory::Begin(const Workspace& ws) {
    NoteSavedProblem(ws);
    pending_ = CopyProblem(ws);
}

bool ProblemHistory::Commit(const Workspace& ws, std::string name, StepKind kind) {
    if (!pending_)
        return false;
    ProblemCopy before = std::move(*pending_);
    pending_.reset();
    if (SameProblem(before, CopyProblem(ws)))
        return false;
    undo_.push_back(Step{std::move(name), kind, std::move(before)});
    if (undo_.size() > MaxSteps)
        undo_.pop_front();
    redo_.clear();
    return true;
}

std::optional<std::string> ProblemHistory::Undo(Workspace& ws) {
    return Move(ws, undo_, redo_);
}

std::optional<std::string> ProblemHistory::Redo(Workspace& ws) {
    return Move(ws, redo_, undo_);
}

std::optional<std::string> ProblemHistory::Move(Workspace& ws, std::deque<Step>& from,
                                                std::deque<Step>& to) {
    if (from.empty())
        return std::nullopt;
    NoteSavedProblem(ws);
    Step step = std::move(from.back());
    from.pop_back();
    ProblemCopy now = CopyProblem(ws);
    PutProblemBack(ws, step.problem, step.kind, saved_ ? &*saved_ : nullptr);
    to.push_back(Step{step.name, step.kind, std::move(now)});
    return step.name;
}

void ProblemHistory::NoteSavedProblem(const Workspace& ws) {
    if (!ws.DataNotSaved && !IsEmpty(ws))
        saved_ = CopyProblem(ws);
}

}  // namespace kav

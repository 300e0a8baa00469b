#include "results/StepMarks.h"

#include <algorithm>
#include <cstdlib>

namespace kav {

namespace {

void SortUnique(std::vector<int32_t>& numbers) {
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
}

// The numbers of 1..count among numbers, ascending and each once.
std::vector<int32_t> InRange(const std::vector<int32_t>& numbers, int32_t count) {
    std::vector<int32_t> kept;
    for (const int32_t n : numbers) {
        if (n >= 1 && n <= count)
            kept.push_back(n);
    }
    SortUnique(kept);
    return kept;
}

// The labelled nodes and the links their labels came through.
void MarkLabels(const Workspace& problem, const StepState& state, StepMarks& marks) {
    const auto nodes =
        std::min<std::size_t>(state.labels.size(), static_cast<std::size_t>(problem.NodeCount) + 1);
    for (std::size_t n = 1; n < nodes; ++n) {
        const int32_t via = state.labels[n];
        if (via == 0)
            continue;
        marks.labelledNodes.push_back(static_cast<int32_t>(n));
        if (via != StartLabel && std::abs(via) <= problem.LinkCount)
            marks.treeLinks.push_back(std::abs(via));
    }
    SortUnique(marks.treeLinks);
}

void MarkNodesOnTop(const Workspace& problem, StepMarks& marks) {
    std::vector<int32_t>& top = marks.nodesOnTop;
    top = marks.labelledNodes;
    top.insert(top.end(), marks.cutNodes.begin(), marks.cutNodes.end());
    for (int32_t k = 1; k <= problem.LinkCount; ++k) {
        if (k == marks.current || Holds(marks.treeLinks, k) || Holds(marks.cycleLinks, k)) {
            top.push_back(problem.LinkOrigin[k]);
            top.push_back(problem.LinkDest[k]);
        }
    }
    top = InRange(top, problem.NodeCount);
}

}  // namespace

bool Holds(const std::vector<int32_t>& ascending, int32_t number) {
    return std::binary_search(ascending.begin(), ascending.end(), number);
}

StepMarks MarksOfStep(const Workspace& problem, const StepState& state, const SolveEvent& event,
                      const SolveEvent* next) {
    StepMarks marks;
    // Once every link is in kilter none is being brought in.
    marks.current = event.Kind == SolveEventKind::Done ? 0 : state.link;
    marks.start = state.start;
    MarkLabels(problem, state, marks);
    switch (event.Kind) {
        case SolveEventKind::Augment: {
            std::vector<int32_t> links, falling;
            for (const auto& [link, sign] : event.Cycle)
                (sign < 0 ? falling : links).push_back(link);
            marks.fallingLinks = InRange(falling, problem.LinkCount);
            links.insert(links.end(), falling.begin(), falling.end());
            marks.cycleLinks = InRange(links, problem.LinkCount);
            marks.flowChange = event.Amount;
            break;
        }
        case SolveEventKind::Potentials:
        case SolveEventKind::Resume:
            if (next != nullptr && next->Kind == SolveEventKind::Label &&
                std::abs(next->Via) <= problem.LinkCount)
                marks.usable = std::abs(next->Via);
            if (event.Kind == SolveEventKind::Resume)
                break;
            marks.raisedNodes = InRange(event.Nodes, problem.NodeCount);
            marks.rise = event.Delta;
            break;
        case SolveEventKind::Infeasible:
            marks.cutNodes = InRange(event.Nodes, problem.NodeCount);
            break;
        default:
            break;
    }
    MarkNodesOnTop(problem, marks);
    return marks;
}

}  // namespace kav

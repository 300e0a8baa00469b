#include "results/SolveSteps.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace kav {

bool StepState::operator==(const StepState& other) const {
    return applied == other.applied && flows == other.flows && potentials == other.potentials &&
           labels == other.labels && reach == other.reach && link == other.link &&
           start == other.start && target == other.target;
}

// The fields the event's kind names. The solver hands over one event object
// for every step, so the lists of earlier steps (the start's flows, the last
// cycle, the last nodes raised) are still in it: kept whole, every step would
// hold a copy of them.
SolveEvent KindFields(const SolveEvent& event) {
    SolveEvent kept;
    kept.Kind = event.Kind;
    kept.Link = event.Link;
    kept.Node = event.Node;
    kept.Via = event.Via;
    kept.Start = event.Start;
    kept.Target = event.Target;
    kept.Amount = event.Amount;
    kept.Delta = event.Delta;
    kept.Kilter = event.Kilter;
    kept.Flow = event.Flow;
    kept.Lower = event.Lower;
    kept.Upper = event.Upper;
    kept.ReducedCost = event.ReducedCost;
    kept.Need = event.Need;
    kept.Room = event.Room;
    switch (event.Kind) {
        case SolveEventKind::Start:
            kept.Flows = event.Flows;
            kept.NodePotentials = event.NodePotentials;
            break;
        case SolveEventKind::Augment:
            kept.Cycle = event.Cycle;
            break;
        case SolveEventKind::Potentials:
            kept.Nodes = event.Nodes;
            break;
        case SolveEventKind::Infeasible:
            kept.Nodes = event.Nodes;
            kept.Labelled = event.Labelled;
            break;
        case SolveEventKind::Done:
            kept.TotalCost = event.TotalCost;
            break;
        case SolveEventKind::Stopped:
            kept.Reason = event.Reason;
            break;
        case SolveEventKind::Link:
        case SolveEventKind::Pass:
        case SolveEventKind::Label:
        case SolveEventKind::Resume:
        case SolveEventKind::InKilter:
            break;
    }
    return kept;
}

const SolveSteps::Entry& SolveSteps::Entries::at(std::size_t i) const {
    if (i >= size_)
        throw std::out_of_range("no such step");
    return (*this)[i];
}

void SolveSteps::Entries::push_back(const Entry& entry) {
    if (size_ % Block == 0)
        blocks_.push_back(std::make_unique<Entry[]>(Block));
    blocks_.back()[size_ % Block] = entry;
    ++size_;
}

// Keeps every step; labels, by far the most of them, in a few bytes each.
class SolveSteps::Recorder : public SolveObserver {
  public:
    explicit Recorder(SolveSteps& steps) : steps_(steps) {}
    void Observe(const SolveEvent& event) override {
        Entry entry;
        entry.kind = event.Kind;
        if (event.Kind == SolveEventKind::Label) {
            entry.node = event.Node;
            entry.via = event.Via;
            entry.amount = event.Amount;
        } else {
            entry.full = static_cast<int32_t>(steps_.full_.size());
            steps_.full_.push_back(KindFields(event));
        }
        steps_.entries_.push_back(entry);
    }

  private:
    SolveSteps& steps_;
};

SolveSteps::SolveSteps(const Workspace& asSolved, std::size_t spacing)
    : problem_(std::make_unique<Workspace>(asSolved)), spacing_(std::max<std::size_t>(spacing, 1)) {
    Recorder recorder(*this);
    status_ = RunOutOfKilter(*problem_, nullptr, &recorder);
    // Kept while the window is open: without the room the growth left.
    full_.shrink_to_fit();
    // Before the first step: the problem as it was handed over.
    StepState state = FirstState(asSolved);
    kept_.push_back(state);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Apply(i, state);
        if (state.applied % spacing_ == 0)
            kept_.push_back(state);
    }
    state_ = kept_.front();
    GoTo(1);
}

SolveSteps::~SolveSteps() = default;

SolveEvent SolveSteps::Event(std::size_t index) const {
    const Entry& entry = entries_.at(index);
    if (entry.full >= 0)
        return full_[static_cast<std::size_t>(entry.full)];
    SolveEvent event;
    event.Kind = entry.kind;
    event.Node = entry.node;
    event.Via = entry.via;
    event.Amount = entry.amount;
    return event;
}

void SolveSteps::GoTo(std::size_t applied) {
    applied = std::clamp<std::size_t>(applied, std::min<std::size_t>(1, Count()), Count());
    if (applied < state_.applied || applied - state_.applied > spacing_)
        state_ = kept_[applied / spacing_];
    while (state_.applied < applied)
        Apply(state_.applied, state_);
}

void SolveSteps::GoToNext(SolveEventKind kind) {
    std::size_t i = state_.applied;
    while (i < Count() && entries_[i].kind != kind)
        ++i;
    GoTo(i + 1);
}

void SolveSteps::GoToPrevious(SolveEventKind kind) {
    // entries_[applied - 1] is the step on show.
    std::size_t i = state_.applied > 1 ? state_.applied - 1 : 0;
    while (i > 0 && entries_[i - 1].kind != kind)
        --i;
    GoTo(i);
}

// Walked back from the state on show: a flow change moves the link's flow, a
// potential change its reduced cost when it raised one end only.
std::vector<std::pair<int64_t, int64_t>> SolveSteps::KilterPath() const {
    std::vector<std::pair<int64_t, int64_t>> path;
    const int32_t link = state_.link;
    if (link < 1 || link > problem_->LinkCount)
        return path;
    int64_t flow = state_.flows[static_cast<std::size_t>(link)];
    int64_t cost = StateReducedCost(*problem_, state_, link);
    path.emplace_back(flow, cost);
    const int32_t origin = std::abs(problem_->LinkOrigin[link]), dest = problem_->LinkDest[link];
    for (std::size_t i = state_.applied; i > 0; --i) {
        const Entry& entry = entries_[i - 1];
        if (entry.kind == SolveEventKind::Link)
            break;
        if (entry.full < 0)
            continue;
        const SolveEvent& e = full_[static_cast<std::size_t>(entry.full)];
        if (e.Kind == SolveEventKind::Augment) {
            for (const auto& [k, sign] : e.Cycle)
                flow -= k == link ? sign * e.Amount : 0;
        } else if (e.Kind == SolveEventKind::Potentials) {
            const bool o = std::binary_search(e.Nodes.begin(), e.Nodes.end(), origin);
            const bool d = std::binary_search(e.Nodes.begin(), e.Nodes.end(), dest);
            cost -= (o ? e.Delta : 0) - (d ? e.Delta : 0);
        } else {
            continue;
        }
        if (path.back() != std::make_pair(flow, cost))
            path.emplace_back(flow, cost);
    }
    std::reverse(path.begin(), path.end());
    return path;
}

std::vector<SolveSteps::LogEntry> SolveSteps::Log() const {
    std::vector<LogEntry> log;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const bool label = entries_[i].kind == SolveEventKind::Label;
        if (label && !log.empty() && log.back().last == i &&
            entries_[log.back().first - 1].kind == SolveEventKind::Label)
            log.back().last = i + 1;
        else
            log.push_back({i + 1, i + 1});
    }
    return log;
}

namespace {

void ClearLabels(StepState& state) {
    std::fill(state.labels.begin(), state.labels.end(), 0);
    std::fill(state.reach.begin(), state.reach.end(), 0);
}

void SetLabel(StepState& state, int32_t node, int32_t via, int64_t amount) {
    if (node < 1 || static_cast<std::size_t>(node) >= state.labels.size())
        return;
    state.labels[static_cast<std::size_t>(node)] = via;
    if (static_cast<std::size_t>(node) < state.reach.size())
        state.reach[static_cast<std::size_t>(node)] = amount;
}

bool IsIndex(const std::vector<int32_t>& values, int32_t index) {
    return index >= 1 && static_cast<std::size_t>(index) < values.size();
}

void Add(std::vector<int32_t>& values, int32_t index, int64_t amount) {
    if (IsIndex(values, index))
        values[static_cast<std::size_t>(index)] =
            static_cast<int32_t>(values[static_cast<std::size_t>(index)] + amount);
}

}  // namespace

StepState FirstState(const Workspace& ws) {
    StepState state;
    state.flows.assign(static_cast<std::size_t>(ws.LinkCount) + 1, 0);
    state.potentials.assign(static_cast<std::size_t>(ws.NodeCount) + 1, 0);
    state.labels.assign(static_cast<std::size_t>(ws.NodeCount) + 1, 0);
    state.reach.assign(static_cast<std::size_t>(ws.NodeCount) + 1, 0);
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        state.flows[static_cast<std::size_t>(k)] = ws.LinkFlow[k];
    for (int32_t n = 1; n <= ws.NodeCount; ++n)
        state.potentials[static_cast<std::size_t>(n)] = ws.NodePotential[n];
    return state;
}

// The flows and potentials change exactly as the solver changed them; the
// labels of a pass stay on show through its flow or potential change and go
// with the next pass.
void ApplyStep(const SolveEvent& e, StepState& state) {
    ++state.applied;
    switch (e.Kind) {
        case SolveEventKind::Start:
            for (std::size_t k = 0; k < e.Flows.size() && k + 1 < state.flows.size(); ++k)
                state.flows[k + 1] = e.Flows[k];
            for (std::size_t n = 0; n < e.NodePotentials.size() && n + 1 < state.potentials.size();
                 ++n)
                state.potentials[n + 1] = e.NodePotentials[n];
            break;
        case SolveEventKind::Link:
            state.link = e.Link;
            state.start = state.target = 0;
            ClearLabels(state);
            break;
        case SolveEventKind::Pass:
            ClearLabels(state);
            state.start = e.Start;
            state.target = e.Target;
            SetLabel(state, e.Start, StartLabel, e.Amount);
            break;
        case SolveEventKind::Label:
            SetLabel(state, e.Node, e.Via, e.Amount);
            break;
        case SolveEventKind::Augment:
            for (const auto& [link, sign] : e.Cycle)
                Add(state.flows, link, sign * e.Amount);
            break;
        case SolveEventKind::Potentials:
            for (const int32_t node : e.Nodes)
                Add(state.potentials, node, e.Delta);
            break;
        case SolveEventKind::InKilter:
        case SolveEventKind::Done:
        case SolveEventKind::Stopped:
            state.start = state.target = 0;
            ClearLabels(state);
            break;
        case SolveEventKind::Resume:
        case SolveEventKind::Infeasible:
            break;
    }
}

void SolveSteps::Apply(std::size_t index, StepState& state) const {
    const Entry& entry = entries_[index];
    if (entry.full < 0) {
        ++state.applied;
        SetLabel(state, entry.node, entry.via, entry.amount);
        return;
    }
    ApplyStep(full_[static_cast<std::size_t>(entry.full)], state);
}

namespace {

int64_t At(const std::vector<int32_t>& values, int32_t index) {
    return IsIndex(values, index) ? values[static_cast<std::size_t>(index)] : 0;
}

bool IsLabelled(const StepState& state, int32_t node) {
    return At(state.labels, node) != 0;
}

}  // namespace

int64_t StateReducedCost(const Workspace& problem, const StepState& state, int32_t link) {
    return static_cast<int64_t>(problem.LinkCost[link]) +
           At(state.potentials, std::abs(problem.LinkOrigin[link])) -
           At(state.potentials, problem.LinkDest[link]);
}

KilterInfo StateKilter(const Workspace& problem, const StepState& state, int32_t link) {
    const int64_t r = StateReducedCost(problem, state, link);
    const int64_t x = At(state.flows, link);
    const int64_t lo = problem.LinkLower[link], up = problem.LinkUpper[link];
    KilterInfo info;
    if (r > 0 || (r == 0 && x < lo))
        info.KilterNumber = lo - x;
    else if (r < 0 || x > up)
        info.KilterNumber = up - x;
    info.InKilter = info.KilterNumber == 0;
    return info;
}

std::vector<CrossingLink> LinksAcross(const Workspace& problem, const StepState& state) {
    std::vector<CrossingLink> across;
    for (int32_t k = 1; k <= problem.LinkCount; ++k) {
        const bool fromLabelled = IsLabelled(state, std::abs(problem.LinkOrigin[k]));
        if (fromLabelled == IsLabelled(state, problem.LinkDest[k]))
            continue;
        CrossingLink c;
        c.link = k;
        c.forward = fromLabelled;
        c.reducedCost = StateReducedCost(problem, state, k);
        c.flow = static_cast<int32_t>(At(state.flows, k));
        const int32_t lo = problem.LinkLower[k], up = problem.LinkUpper[k];
        const bool within = lo <= c.flow && c.flow <= up;
        const int64_t r = c.reducedCost;
        c.candidate = within && (c.forward ? r > 0 : r < 0);
        if (c.forward)
            c.carries = r > 0 ? c.flow < lo : c.flow < up;
        else
            c.carries = r < 0 ? c.flow > up : c.flow > lo;
        across.push_back(c);
    }
    return across;
}

void SolveSteps::ApplyTo(const StepState& state, Workspace& ws) {
    SetSolution(ws, state.flows, state.potentials);
}

}  // namespace kav

#include "results/StepTexts.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "workspace/NodeNames.h"

namespace kav {

namespace {

// Lists of more nodes than this name the first ones and count the rest.
constexpr std::size_t NamedNodesMax = 6;
// The candidate panel lists at most this many links.
constexpr std::size_t CandidateLinesMax = 200;

std::string Num(int64_t value) {
    return std::to_string(value);
}

std::string NodeName(const Workspace& ws, int32_t node) {
    if (node < 1 || node > ws.NodeCount)
        return "node " + Num(node);
    std::string name = TrimmedName(ws.NodeName[node]);
    return name.empty() ? "node " + Num(node) : name;
}

bool IsLink(const Workspace& ws, int32_t link) {
    return link >= 1 && link <= ws.LinkCount;
}

std::string LinkName(const Workspace& ws, int32_t link) {
    std::string text = "link " + Num(link);
    if (IsLink(ws, link))
        text += " (" + NodeName(ws, ws.LinkOrigin[link]) + " -> " +
                NodeName(ws, ws.LinkDest[link]) + ")";
    return text;
}

std::string Capital(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// "A", "A and B", "A, B and C", "A, B, C, D, E, F and 2 more".
std::string NodeList(const Workspace& ws, const std::vector<int32_t>& nodes) {
    const std::size_t named = std::min(nodes.size(), NamedNodesMax);
    std::string text;
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0)
            text += i + 1 == named && named == nodes.size() ? " and " : ", ";
        text += NodeName(ws, nodes[i]);
    }
    if (named < nodes.size())
        text += " and " + Num(static_cast<int64_t>(nodes.size() - named)) + " more";
    return text;
}

std::string Units(int64_t amount) {
    return Num(amount) + (amount == 1 ? " unit" : " units");
}

std::string WhyOutOfKilter(const SolveEvent& e) {
    if (e.Flow < e.Lower)
        return "its flow " + Num(e.Flow) + " is below its lower bound " + Num(e.Lower) + ".";
    if (e.Flow > e.Upper)
        return "its flow " + Num(e.Flow) + " is above its upper bound " + Num(e.Upper) + ".";
    if (e.ReducedCost < 0)
        return "its reduced cost " + Num(e.ReducedCost) + " is negative, so its flow " +
               Num(e.Flow) + " should rise to its upper bound " + Num(e.Upper) + ".";
    return "its reduced cost " + Num(e.ReducedCost) + " is positive, so its flow " + Num(e.Flow) +
           " should fall to its lower bound " + Num(e.Lower) + ".";
}

// "link 4 (A -> B)", "link 4 (A -> B) and link 7 (B -> C)", the first six
// named and the rest counted.
std::string LinkList(const Workspace& ws, const std::vector<int32_t>& links) {
    const std::size_t named = std::min(links.size(), NamedNodesMax);
    std::string text;
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0)
            text += i + 1 == named && named == links.size() ? " and " : ", ";
        text += LinkName(ws, links[i]);
    }
    if (named < links.size())
        text += " and " + Num(static_cast<int64_t>(links.size() - named)) + " more links";
    return text;
}

// The nodes of the cycle in the order the flow goes round, then the links
// whose flow rises and those whose flow falls.
std::string CycleText(const Workspace& ws, const SolveEvent& e) {
    std::vector<int32_t> nodes, rising, falling;
    for (const auto& [link, sign] : e.Cycle) {
        if (!IsLink(ws, link))
            continue;
        nodes.push_back(sign > 0 ? ws.LinkOrigin[link] : ws.LinkDest[link]);
        (sign > 0 ? rising : falling).push_back(link);
    }
    std::sort(rising.begin(), rising.end());
    std::sort(falling.begin(), falling.end());
    std::string text = "the cycle through " + NodeList(ws, nodes) + ". The flow ";
    if (!rising.empty())
        text += "rises by " + Num(e.Amount) + " on " + LinkList(ws, rising);
    if (!rising.empty() && !falling.empty())
        text += "; it ";
    if (!falling.empty())
        text += "falls by " + Num(e.Amount) + " on " + LinkList(ws, falling);
    return text + ".";
}

bool AllZero(const std::vector<int32_t>& values) {
    return std::all_of(values.begin(), values.end(), [](int32_t v) { return v == 0; });
}

// "the flow can rise on link 4 (A -> B) and fall on link 6 (D -> B)".
std::string CarryText(const Workspace& ws, const std::vector<CrossingLink>& links) {
    std::vector<int32_t> rising, falling;
    for (const CrossingLink& c : links)
        (c.forward ? rising : falling).push_back(c.link);
    std::string text = "the flow can ";
    if (!rising.empty())
        text += "rise on " + LinkList(ws, rising);
    if (!rising.empty() && !falling.empty())
        text += " and ";
    if (!falling.empty())
        text += "fall on " + LinkList(ws, falling);
    return text;
}

int32_t LabelledEnd(const Workspace& ws, const CrossingLink& c) {
    return c.forward ? ws.LinkOrigin[c.link] : ws.LinkDest[c.link];
}

// Why the link that decided the rise cannot carry a change: its flow is
// already at the bound the change would pass.
std::string WhyNotCarried(const Workspace& ws, const std::vector<CrossingLink>& across,
                          int32_t decided) {
    for (const CrossingLink& c : across) {
        if (c.link != decided || c.carries)
            continue;
        return " " + Capital(LinkName(ws, c.link)) + " cannot carry it: its flow " + Num(c.flow) +
               " is at its " +
               (c.forward ? "upper bound " + Num(ws.LinkUpper[c.link])
                          : "lower bound " + Num(ws.LinkLower[c.link])) +
               ".";
    }
    return std::string();
}

// What follows a potential change, read from the state it led to.
std::string AfterRise(const Workspace& ws, const StepState& after, const SolveEvent& e) {
    if (IsLink(ws, after.link) && StateKilter(ws, after, after.link).InKilter)
        return " That brings " + LinkName(ws, after.link) +
               " into kilter, so this pass ends without a flow change.";
    const std::vector<CrossingLink> across = LinksAcross(ws, after);
    std::vector<CrossingLink> here, elsewhere;
    bool candidates = false;
    for (const CrossingLink& c : across) {
        candidates = candidates || c.candidate;
        if (c.carries)
            (LabelledEnd(ws, c) == e.Start ? here : elsewhere).push_back(c);
    }
    if (!here.empty())
        return " Labelling goes on from " + NodeName(ws, e.Start) + ", where " +
               CarryText(ws, here) + ".";
    if (!elsewhere.empty())
        return " From the other labelled nodes " + CarryText(ws, elsewhere) +
               ": the next look across the labelled set finds it.";
    return WhyNotCarried(ws, across, e.Link) +
           " No link across the labelled set can carry a change yet" +
           (candidates ? ", so the potentials change again."
                       : ", and none is left that a rise could make usable.");
}

std::string RiseText(const Workspace& ws, const StepState& after, const SolveEvent& e) {
    const bool one = e.Nodes.size() == 1;
    std::string text = "No way through: the " +
                       std::string(one ? "potential of " : "potentials of ") +
                       NodeList(ws, e.Nodes) + (one ? " rises" : " rise") + " by " + Num(e.Delta);
    if (IsLink(ws, e.Link))
        text += ", which brings the reduced cost of " + LinkName(ws, e.Link) + " to 0";
    return text + "." + AfterRise(ws, after, e);
}

std::string ResumeText(const Workspace& ws, const StepState& after, const SolveEvent& e) {
    for (const CrossingLink& c : LinksAcross(ws, after)) {
        if (c.link == e.Link)
            return "No potential needs to change: " + CarryText(ws, {c}) +
                   ", whose reduced cost is 0. Labelling goes on from " + NodeName(ws, e.Start) +
                   ".";
    }
    return "No potential needs to change: labelling goes on from " + NodeName(ws, e.Start) + ".";
}

std::string Of(int64_t n, int64_t count) {
    return Num(n) + " of " + Num(count);
}

}  // namespace

std::string StepText(const Workspace& ws, const StepState& after, const SolveEvent& e,
                     const SolveEvent* next) {
    switch (e.Kind) {
        case SolveEventKind::Start:
            if (AllZero(e.Flows) && AllZero(e.NodePotentials))
                return "The solve starts with every flow and every potential at 0.";
            return "The solve starts from the flows and potentials of the last solution.";
        case SolveEventKind::Link: {
            std::string text =
                Capital(LinkName(ws, e.Link)) + " is out of kilter: " + WhyOutOfKilter(e);
            if (next != nullptr && next->Kind == SolveEventKind::Pass)
                text += " Labelling starts at " + NodeName(ws, next->Start) + ".";
            return text;
        }
        case SolveEventKind::Pass:
            return "Labelling starts at " + NodeName(ws, e.Start) + " and looks for a way to " +
                   NodeName(ws, e.Target) + " for up to " + Units(e.Amount) + ".";
        case SolveEventKind::Label: {
            const int32_t link = std::abs(e.Via);
            if (!IsLink(ws, link))
                return NodeName(ws, e.Node) + " is labelled.";
            const bool forward = e.Via > 0;
            const int32_t from = forward ? ws.LinkOrigin[link] : ws.LinkDest[link];
            return NodeName(ws, e.Node) + " is labelled from " + NodeName(ws, from) +
                   (forward ? " through " : " back through ") + LinkName(ws, link) +
                   (forward ? ", whose flow can rise" : ", whose flow can fall") + ": up to " +
                   Units(e.Amount) + " can reach it.";
        }
        case SolveEventKind::Augment:
            return "Breakthrough: " + Num(e.Amount) + " more " +
                   (e.Amount == 1 ? "unit goes" : "units go") + " round " + CycleText(ws, e);
        case SolveEventKind::Potentials:
            return RiseText(ws, after, e);
        case SolveEventKind::Resume:
            return ResumeText(ws, after, e);
        case SolveEventKind::InKilter:
            return Capital(LinkName(ws, e.Link)) + " is in kilter now.";
        case SolveEventKind::Done:
            return "Every link is in kilter: the flows are optimal, at a total cost of " +
                   e.TotalCost + ".";
        case SolveEventKind::Infeasible: {
            std::string text =
                "No feasible flow: " + LinkName(ws, e.Link) + " cannot be brought into kilter.";
            if (!e.Nodes.empty())
                text += (e.Nodes.size() == 1 ? " Node " : " The nodes ") + NodeList(ws, e.Nodes) +
                        " must take in at least " + Num(e.Need) + " but can pass on at most " +
                        Num(e.Room) + ".";
            return text;
        }
        case SolveEventKind::Stopped:
            return "The solve stopped: " + e.Reason;
    }
    return std::string();
}

// Links before the one being worked on are in kilter, and stay so.
std::string StepCounter(const Workspace& ws, const StepState& after, std::size_t count,
                        SolveEventKind last) {
    const int64_t links = ws.LinkCount, link = after.link;
    std::string text =
        "Step " + Of(static_cast<int64_t>(after.applied), static_cast<int64_t>(count)) + ", ";
    if (links == 0)
        return text + "no links";
    if (last == SolveEventKind::Done)
        return text + "all " + Num(links) + (links == 1 ? " link" : " links") + " in kilter";
    if (last == SolveEventKind::Infeasible || last == SolveEventKind::Stopped)
        return text + (link == 0 ? "stopped before link 1 of " + Num(links)
                                 : "stopped at link " + Of(link, links));
    if (link == 0)
        return text + "before link " + Of(1, links);
    if (StateKilter(ws, after, after.link).InKilter)
        return text + (link == 1 ? "link 1" : "links 1 to " + Num(link)) + " of " + Num(links) +
               " in kilter";
    return text + "bringing link " + Of(link, links) + " into kilter";
}

std::string LabelTag(const StepState& state, int32_t node) {
    if (node < 1 || static_cast<std::size_t>(node) >= state.labels.size() ||
        state.labels[static_cast<std::size_t>(node)] == 0)
        return std::string();
    const int32_t via = state.labels[static_cast<std::size_t>(node)];
    const int64_t reach = static_cast<std::size_t>(node) < state.reach.size()
                              ? state.reach[static_cast<std::size_t>(node)]
                              : 0;
    const std::string from = via == StartLabel ? "start" : (via > 0 ? "+" : "") + Num(via);
    return "[" + from + ", " + Num(reach) + "]";
}

namespace {

// Before a potential change every link from a labelled to an unlabelled node
// had a reduced cost delta higher, every link the other way delta lower.
int64_t CostBefore(const CrossingLink& c, const SolveEvent& e) {
    if (e.Kind != SolveEventKind::Potentials)
        return c.reducedCost;
    return c.forward ? c.reducedCost + e.Delta : c.reducedCost - e.Delta;
}

std::string CandidateLine(const Workspace& ws, const CrossingLink& c, int64_t cost, bool decided) {
    const int32_t lo = ws.LinkLower[c.link], up = ws.LinkUpper[c.link];
    const bool within = lo <= c.flow && c.flow <= up;
    const bool candidate = within && (c.forward ? cost > 0 : cost < 0);
    std::string text = LinkName(ws, c.link) + ": rc " + Num(cost) + ", flow " + Num(c.flow) +
                       " in " + Num(lo) + ".." + Num(up) + ", " +
                       (c.forward ? "forward" : "backward");
    if (candidate)
        text += decided ? " candidate: decided delta" : " candidate";
    else if (!within)
        text += ", not a candidate: its flow is outside its bounds";
    else
        text += ", not a candidate: its reduced cost is " +
                std::string(cost == 0 ? "0" : (cost > 0 ? "positive" : "negative"));
    return text;
}

}  // namespace

std::vector<std::string> CandidateLines(const Workspace& ws, const StepState& after,
                                        const SolveEvent& e) {
    std::vector<std::string> lines;
    if (e.Kind == SolveEventKind::Potentials)
        lines.push_back("Why delta is " + Num(e.Delta) +
                        ": the smallest reduced cost, in absolute value, of a candidate across "
                        "the labelled set (ties: the lowest link number, forward before "
                        "backward). Before the change:");
    else if (e.Kind == SolveEventKind::Infeasible)
        lines.push_back(
            "No candidate across the labelled set: no forward link with a positive "
            "reduced cost and no backward link with a negative one has its flow "
            "within its bounds, so no potential change can help and the problem is "
            "infeasible.");
    else
        return lines;
    const std::vector<CrossingLink> across = LinksAcross(ws, after);
    if (across.empty())
        lines.push_back("No link crosses the labelled set.");
    for (std::size_t i = 0; i < across.size() && i < CandidateLinesMax; ++i) {
        const CrossingLink& c = across[i];
        lines.push_back(CandidateLine(ws, c, CostBefore(c, e),
                                      e.Kind == SolveEventKind::Potentials && c.link == e.Link));
    }
    if (across.size() > CandidateLinesMax)
        lines.push_back("and " + Num(static_cast<int64_t>(across.size() - CandidateLinesMax)) +
                        " more links");
    return lines;
}

std::string LogLine(const Workspace& ws, std::size_t first, std::size_t last, const SolveEvent& e) {
    const std::string steps = Num(static_cast<int64_t>(first)) +
                              (last > first ? "-" + Num(static_cast<int64_t>(last)) : "") + "  ";
    switch (e.Kind) {
        case SolveEventKind::Start:
            return steps + "start";
        case SolveEventKind::Link:
            return steps + Capital(LinkName(ws, e.Link)) + " out of kilter";
        case SolveEventKind::Pass:
            return steps + "Pass from " + NodeName(ws, e.Start) + " to " + NodeName(ws, e.Target);
        case SolveEventKind::Label:
            return steps + Num(static_cast<int64_t>(last - first + 1)) +
                   (last > first ? " labels" : " label");
        case SolveEventKind::Augment:
            return steps + "Breakthrough: " + Num(e.Amount) + " more " +
                   (e.Amount == 1 ? "unit" : "units") + " round the cycle";
        case SolveEventKind::Potentials:
            return steps + "Potentials rise by " + Num(e.Delta);
        case SolveEventKind::Resume:
            return steps + "Labelling goes on";
        case SolveEventKind::InKilter:
            return steps + Capital(LinkName(ws, e.Link)) + " in kilter";
        case SolveEventKind::Done:
            return steps + "Every link in kilter";
        case SolveEventKind::Infeasible:
            return steps + "No feasible flow";
        case SolveEventKind::Stopped:
            return steps + "Stopped";
    }
    return steps;
}

StepNarrator::StepNarrator(const Workspace& problem, Sink sink)
    : problem_(problem), sink_(std::move(sink)), state_(FirstState(problem)) {}

void StepNarrator::Observe(const SolveEvent& event) {
    if (hasPending_) {
        const SolveEvent next = KindFields(event);
        sink_(state_.applied, StepText(problem_, state_, pending_, &next));
        pending_ = next;
    } else {
        pending_ = KindFields(event);
        hasPending_ = true;
    }
    ApplyStep(pending_, state_);
}

void StepNarrator::Finish() {
    if (hasPending_)
        sink_(state_.applied, StepText(problem_, state_, pending_, nullptr));
    hasPending_ = false;
}

}  // namespace kav

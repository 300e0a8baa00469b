#include "results/StepTexts.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "workspace/NodeNames.h"

namespace kav {

namespace {

// Lists of more nodes than this name the first ones and count the rest.
constexpr std::size_t NamedNodesMax = 6;

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

// The nodes of the cycle in the order the flow goes round.
std::string CycleText(const Workspace& ws, const SolveEvent& e) {
    std::string text;
    for (const auto& [link, sign] : e.Cycle) {
        if (!IsLink(ws, link))
            continue;
        const int32_t from = sign > 0 ? ws.LinkOrigin[link] : ws.LinkDest[link];
        const int32_t to = sign > 0 ? ws.LinkDest[link] : ws.LinkOrigin[link];
        if (text.empty())
            text = NodeName(ws, from);
        text += " -> " + NodeName(ws, to);
    }
    return text;
}

bool AllZero(const std::vector<int32_t>& values) {
    return std::all_of(values.begin(), values.end(), [](int32_t v) { return v == 0; });
}

}  // namespace

std::string StepText(const Workspace& ws, const SolveEvent& e, const SolveEvent* next) {
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
                   (e.Amount == 1 ? "unit goes" : "units go") + " round " + CycleText(ws, e) + ".";
        case SolveEventKind::Potentials: {
            const bool one = e.Nodes.size() == 1;
            return "No way through: the " + std::string(one ? "potential of " : "potentials of ") +
                   NodeList(ws, e.Nodes) + (one ? " rises" : " rise") + " by " + Num(e.Delta) +
                   "; " + LinkName(ws, e.Link) + " becomes usable. Labelling goes on from " +
                   NodeName(ws, e.Start) + ".";
        }
        case SolveEventKind::Resume:
            return "No potential needs to change: " + LinkName(ws, e.Link) +
                   " can already carry more. Labelling goes on from " + NodeName(ws, e.Start) + ".";
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

std::string StepCounter(std::size_t n, std::size_t count, int32_t link, int32_t linkCount) {
    return "Step " + Num(static_cast<int64_t>(n)) + " of " + Num(static_cast<int64_t>(count)) +
           ", link " + Num(link) + " of " + Num(linkCount);
}

}  // namespace kav

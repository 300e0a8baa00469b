#include "results/ResultLines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "results/Quickie.h"
#include "solver/KiltSolve.h"
#include "solver/LastSolve.h"
#include "solver/PadText.h"
#include "workspace/NodeNames.h"
#include "workspace/NumberFormat.h"

namespace kav {
namespace {

// Totals with more digits than this before the decimal point are written in
// scientific notation: beyond it a double no longer holds every digit.
constexpr std::size_t MaxFixedDigits = 15;

// Mantissa with up to 15 significant digits, trailing zeros dropped, and the
// exponent after an E: 2.147483647E17.
std::string Scientific(double value, const NumberSeparators& separators) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    std::string text(buffer);
    const std::string::size_type e = text.find('e');
    std::string mantissa = text.substr(0, e);
    const int exponent = std::atoi(text.c_str() + e + 1);
    const std::string::size_type point = mantissa.find('.');
    if (point != std::string::npos) {
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        if (mantissa.back() == '.') {
            mantissa.pop_back();
        } else {
            mantissa.replace(point, 1, separators.decimal);
        }
    }
    return mantissa + "E" + std::to_string(exponent);
}

std::size_t DigitsBeforePoint(double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.0f", std::fabs(value));
    return std::string(buffer).size();
}

}  // namespace

bool LinkInKilter(const Workspace& ws, int32_t link) {
    return KilterState(ws, link).InKilter;
}

std::string LinkLine(const Workspace& ws, int32_t link, bool inKilter, int64_t reducedCost) {
    std::string line = PadNumber(link, 4);
    line += inKilter ? ' ' : '*';
    line += ' ';
    line += PadText(ws.NodeName[ws.LinkOrigin[link]], 10) + ' ';
    line += PadText(ws.NodeName[ws.LinkDest[link]], 10) + ' ';
    line += PadNumber(ws.LinkLower[link], 5) + "   ";
    line += PadNumber(ws.LinkFlow[link], 6) + "   ";
    line += PadNumber(ws.LinkUpper[link], 5) + "  ";
    line += PadNumber(ws.LinkCost[link], 8) + "   ";
    line += PadNumber(reducedCost, 10);
    return line;
}

std::string NodeLine(const Workspace& ws, int32_t node) {
    return PadText(ws.NodeName[node], 10) + "     " + PadNumber(ws.NodePotential[node], 10);
}

std::string SpokenLinkLine(const Workspace& ws, int32_t link) {
    std::string line = "link " + std::to_string(link);
    line += ", origin " + ws.NodeName[ws.LinkOrigin[link]];
    line += ", destination " + ws.NodeName[ws.LinkDest[link]];
    line += ", lower " + std::to_string(ws.LinkLower[link]);
    line += ", flow " + std::to_string(ws.LinkFlow[link]);
    line += ", upper " + std::to_string(ws.LinkUpper[link]);
    line += ", cost " + std::to_string(ws.LinkCost[link]);
    line += ", reduced cost " + std::to_string(WideReducedCost(ws, link));
    if (!LinkInKilter(ws, link))
        line += ", out of kilter";
    return line;
}

std::string SpokenNodeLine(const Workspace& ws, int32_t node) {
    return "node " + ws.NodeName[node] + ", potential " + std::to_string(ws.NodePotential[node]);
}

std::string FormatTotalCost(double totalCost, const NumberSeparators& separators) {
    if (totalCost == 0.0)
        totalCost = 0.0;  // no "-0"
    if (DigitsBeforePoint(totalCost) > MaxFixedDigits)
        return Scientific(totalCost, separators);
    return FormatGrouped(totalCost, 0, separators);
}

std::string TotalCostText(double totalCost, const NumberSeparators& separators) {
    return "TOTAL COST = " + FormatTotalCost(totalCost, separators);
}

OptimalityLine OptimalityClaim(const SolutionState& solution) {
    const OptimalityCertificate* checked = solution.Certificate();
    if (checked == nullptr || !checked->Checked)
        return {};
    const OptimalityCertificate& certificate = *checked;
    if (!certificate.Ok)
        return {"Optimality check failed: " + certificate.Failure, true};
    return {"Optimal: checked on " + std::to_string(certificate.Links) + " links and " +
                std::to_string(certificate.Nodes) + " nodes",
            false};
}

namespace {

// A labelled list of crossing links under the cut's link heading.
void AddCutLinks(const Workspace& ws, const std::string& label, const std::vector<int32_t>& links,
                 std::vector<std::string>& lines) {
    lines.emplace_back();
    lines.push_back(label);
    lines.emplace_back(CutLinkHeading);
    if (links.empty())
        lines.emplace_back("  none");
    for (int32_t link : links)
        lines.push_back(LinkLine(ws, link, LinkInKilter(ws, link), WideReducedCost(ws, link)));
}

}  // namespace

std::vector<std::string> CutLines(const Workspace& ws, const InfeasibilityCut& cut) {
    constexpr std::size_t NamesPerLine = 6;
    std::vector<std::string> lines;
    const std::size_t count = cut.Nodes.size();
    const int32_t failed = cut.FailedLink;
    std::string first =
        "No feasible flow exists: the solver was working on link " + std::to_string(failed);
    if (failed >= 1 && failed <= ws.LinkCount && NodeInRange(ws.LinkOrigin[failed], ws.NodeCount) &&
        NodeInRange(ws.LinkDest[failed], ws.NodeCount)) {
        first += " (" + TrimmedName(ws.NodeName[ws.LinkOrigin[failed]]) + " -> " +
                 TrimmedName(ws.NodeName[ws.LinkDest[failed]]) + ")";
    }
    lines.push_back(first + ".");
    if (!cut.Confirmed) {
        lines.emplace_back("NOT CONFIRMED: the solve started from flows that do not balance,");
        lines.emplace_back("so these nodes do not prove that no feasible flow exists.");
    }
    // The sums are of the whole set: no single node need be at fault.
    lines.push_back((count == 1 ? std::string("This node")
                                : "These " + std::to_string(count) + " nodes together") +
                    " must receive at least " + std::to_string(cut.Need) + " from outside");
    std::string room = (cut.Need > cut.Room ? "but" : "and") +
                       std::string(" can send out at most ") + std::to_string(cut.Room);
    if (cut.Need > cut.Room)
        room += ": short by " + std::to_string(cut.Need - cut.Room);
    lines.push_back(room);
    AddCutLinks(ws,
                "Links into the set, which must carry at least " + std::to_string(cut.Need) + ":",
                cut.LinksIn, lines);
    AddCutLinks(ws,
                "Links out of the set, which can carry at most " + std::to_string(cut.Room) + ":",
                cut.LinksOut, lines);
    lines.emplace_back();
    lines.push_back(count == 1 ? std::string("The node of the set:")
                               : "The " + std::to_string(count) + " nodes of the set:");
    std::string names;
    for (std::size_t k = 0; k < count; ++k) {
        names += "  " + PadText(ws.NodeName[cut.Nodes[k]], 10);
        if ((k + 1) % NamesPerLine == 0 || k + 1 == count) {
            lines.push_back(names);
            names.clear();
        }
    }
    return lines;
}

ResultListBuilder::ResultListBuilder()
    : nameOrder_(MaxLinks + 1, 0),
      groupStart_(MaxNodes + 2, 0),
      groupFill_(MaxNodes + 2, 0),
      grouped_(MaxLinks, 0) {}

void ResultListBuilder::Build(Workspace& ws, LinkOrder order, bool showAllLinks,
                              ResultLists& lists) {
    ClearStaleSolution(ws, SolutionUse::Listing);
    lists.links.clear();
    lists.nodes.clear();
    lists.linkNumbers.clear();
    lists.nodeNumbers.clear();
    lists.outOfKilterCount = 0;
    SortNames(ws);

    if (order == LinkOrder::Input) {
        AddLinksInInputOrder(ws, showAllLinks, lists);
    } else if (order == LinkOrder::Dest) {
        AddLinksGrouped(ws, ws.LinkDest.data(), showAllLinks, lists);
    } else {
        AddLinksGrouped(ws, ws.LinkOrigin.data(), showAllLinks, lists);
    }

    if (lists.links.empty()) {
        lists.links.emplace_back(NoLinksLine);
        for (int32_t k = 1; k <= ws.LinkCount; ++k) {
            if (!LinkInKilter(ws, k))
                ++lists.outOfKilterCount;
        }
    }
    AddNodes(ws, order, lists);
}

void ResultListBuilder::SortNames(const Workspace& ws) {
    QuickieNames(1, static_cast<uint16_t>(ws.NodeCount), ws.NodeName.data(), nameOrder_.data());
}

void ResultListBuilder::AddLink(const Workspace& ws, int32_t link, ResultLists& lists) const {
    const bool inKilter = LinkInKilter(ws, link);
    if (!inKilter)
        ++lists.outOfKilterCount;
    lists.links.push_back(LinkLine(ws, link, inKilter, WideReducedCost(ws, link)));
    lists.linkNumbers.push_back(link);
}

void ResultListBuilder::AddLinksInInputOrder(const Workspace& ws, bool showAllLinks,
                                             ResultLists& lists) const {
    const int32_t* flow = ws.LinkFlow.data();
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        if (showAllLinks || flow[k] != 0)
            AddLink(ws, k, lists);
    }
}

// Groups the qualifying links by their node (a counting sort that keeps
// ascending link numbers inside each group), then lists the groups in name
// order. Links whose node lies outside 1..NodeCount belong to no group.
void ResultListBuilder::AddLinksGrouped(const Workspace& ws, const int32_t* groupNode,
                                        bool showAllLinks, ResultLists& lists) {
    const int32_t nodeCount = ws.NodeCount;
    const int32_t* flow = ws.LinkFlow.data();
    auto qualifies = [&](int32_t k) {
        const int32_t n = groupNode[k];
        return NodeInRange(n, nodeCount) && (showAllLinks || flow[k] != 0);
    };

    std::fill(groupStart_.begin(), groupStart_.begin() + nodeCount + 2, 0);
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        if (qualifies(k))
            ++groupStart_[groupNode[k] + 1];
    }
    for (int32_t n = 1; n <= nodeCount; ++n)
        groupStart_[n + 1] += groupStart_[n];
    std::copy(groupStart_.begin(), groupStart_.begin() + nodeCount + 1, groupFill_.begin());
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        if (qualifies(k))
            grouped_[groupFill_[groupNode[k]]++] = static_cast<uint16_t>(k);
    }

    for (int32_t s = 1; s <= nodeCount; ++s) {
        const int32_t n = nameOrder_[s];
        for (int32_t p = groupStart_[n]; p < groupStart_[n + 1]; ++p)
            AddLink(ws, grouped_[p], lists);
    }
}

void ResultListBuilder::AddNodes(const Workspace& ws, LinkOrder order, ResultLists& lists) const {
    for (int32_t s = 1; s <= ws.NodeCount; ++s) {
        const int32_t node = order == LinkOrder::Input ? s : nameOrder_[s];
        lists.nodes.push_back(NodeLine(ws, node));
        lists.nodeNumbers.push_back(node);
    }
}

}  // namespace kav

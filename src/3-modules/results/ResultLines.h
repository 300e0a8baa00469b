#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "solver/KiltSolve.h"
#include "solver/LastSolve.h"
#include "workspace/NumberFormat.h"
#include "workspace/Workspace.h"

namespace kav {

// Column headings and fixed texts of the results lists.
inline constexpr char LinkHeading[] =
    "Node #    Origin       Dest. MinFlow  ActFlow  MaxFlow  Cost        RedCost  ";
// The same columns under the cut window's lists, which start with link numbers.
inline constexpr char CutLinkHeading[] =
    "Link #    Origin       Dest. MinFlow  ActFlow  MaxFlow  Cost        RedCost  ";
inline constexpr char NodeHeading[] = "Node #               Pi-value";
inline constexpr char NoLinksLine[] = "<<< NO LINKS >>>";
inline constexpr char OutOfKilterNote[] = "Out of Kilter links shown with an asterisk (*) above";
inline constexpr char KilterWarningText[] = "SOLUTION NOT IN KILTER... WARNING...";

// Link orders of the results lists: input order, or grouped by origin or by
// destination name.
enum class LinkOrder { Input, Origin, Dest };

// Whether a link is in kilter; one whose kilter number leaves 32 bits is not.
bool LinkInKilter(const Workspace& ws, int32_t link);

// One link: number, kilter mark, origin and destination names, lower bound,
// flow, upper bound, cost and reduced cost, each right-aligned in its column
// and never cut (a longer value pushes the rest of the line to the right). The
// reduced cost is taken whole, even beyond 32 bits.
std::string LinkLine(const Workspace& ws, int32_t link, bool inKilter, int64_t reducedCost);

// One node: its name and its potential.
std::string NodeLine(const Workspace& ws, int32_t node);

// The same link and node as a screen reader speaks them, each value after the
// name of its column: "link 16, origin CITY1, destination SINK, lower 45, flow
// 45, upper 45, cost 0, reduced cost -4", with ", out of kilter" at the end of
// a link that is not.
std::string SpokenLinkLine(const Workspace& ws, int32_t link);
std::string SpokenNodeLine(const Workspace& ws, int32_t node);

// The total cost with no decimals and the locale's thousands separator; a total
// with more than 15 digits before the decimal point in scientific notation.
std::string FormatTotalCost(double totalCost,
                            const NumberSeparators& separators = NumberSeparators());

// "TOTAL COST = " and the formatted total.
std::string TotalCostText(double totalCost,
                          const NumberSeparators& separators = NumberSeparators());

// What the optimality check of the current solution says, for the line under
// the total: empty when there is nothing to claim (no feasible solve, or one
// that no longer describes the Workspace's data).
struct OptimalityLine {
    std::string text;
    bool failed = false;
};
OptimalityLine OptimalityClaim(const SolutionState& solution);

// The window that explains an infeasible solve, what a user needs first: the
// link the solver was working on, what the set as a whole must receive and can
// send out with the shortfall, then the links into the set and out of it as
// two labelled lists under CutLinkHeading (in the results list's line format),
// then the names of the set's nodes. A set from a run that started with
// unbalanced flows is said to be not confirmed.
std::vector<std::string> CutLines(const Workspace& ws, const InfeasibilityCut& cut);

// What the results window lists for one order and link selection.
struct ResultLists {
    std::vector<std::string> links;
    std::vector<std::string> nodes;
    // The number of the link or node of each line.
    std::vector<int32_t> linkNumbers;
    std::vector<int32_t> nodeNumbers;
    // Listed links that are out of kilter; over all links when none is listed.
    int32_t outOfKilterCount = 0;

    bool WarningsShown() const { return outOfKilterCount > 0; }
};

// Builds the results lists from the Workspace. Holds the name order and the
// grouping scratch at full size, so that a rebuild allocates nothing but the
// line texts.
class ResultListBuilder {
  public:
    ResultListBuilder();

    // Clears a stale solution first (NetworkChanged), sorts the node names,
    // then lists the qualifying links (every link, or only those with a
    // non-zero flow) in input order, or grouped by origin or destination in
    // name order with ascending link numbers inside a group; then every node,
    // in number order for input order and in name order otherwise.
    void Build(Workspace& ws, LinkOrder order, bool showAllLinks, ResultLists& lists);

  private:
    void SortNames(const Workspace& ws);
    void AddLink(const Workspace& ws, int32_t link, ResultLists& lists) const;
    void AddLinksInInputOrder(const Workspace& ws, bool showAllLinks, ResultLists& lists) const;
    void AddLinksGrouped(const Workspace& ws, const int32_t* groupNode, bool showAllLinks,
                         ResultLists& lists);
    void AddNodes(const Workspace& ws, LinkOrder order, ResultLists& lists) const;

    std::vector<uint16_t> nameOrder_;  // positions 0..MaxLinks
    std::vector<int32_t> groupStart_;  // per node 1..MaxNodes+1, into grouped_
    std::vector<int32_t> groupFill_;   // per node, next free slot while grouping
    std::vector<uint16_t> grouped_;    // qualifying link numbers grouped by node
};

}  // namespace kav

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "workspace/Workspace.h"

namespace kav {

// An optimal solution as the sensitivity figures need it, copied out of the
// Workspace so that the figures can be computed on another thread. Element
// k at [k], [0] unused.
struct OptimalSolution {
    int32_t linkCount = 0;
    int32_t nodeCount = 0;
    std::vector<int32_t> origin, dest, lower, upper, cost, flow;
    std::vector<int32_t> potential;
};

// The flows and potentials of ws when they are an optimal circulation (within
// the bounds, balanced at every node, every link in kilter); nothing
// otherwise. Callers ask only while CurrentSolution says the solve is current
// and feasible; this check keeps the figures from resting on anything else.
std::optional<OptimalSolution> OptimalSolutionOf(const Workspace& ws);

// What one unit's move of a link's bounds does to the optimal total.
struct BoundValue {
    enum class Kind {
        NotPossible,  // the move crosses the other bound or leaves 0..2147483647
        Infeasible,   // no feasible flow after the move
        Change,       // the optimal total changes by `change`
    };
    Kind kind = Kind::NotPossible;
    int64_t change = 0;
    // A move of k units changes the total by k * change for every k up to
    // this many (at least); nothing: for every k the move allows.
    std::optional<int64_t> units;
};

// The exact sensitivity of the optimum to one link's cost and bounds.
struct LinkSensitivity {
    int32_t link = 0;
    // The costs for which the flows shown stay optimal, all else fixed;
    // nothing: unlimited that way. The ends may lie beyond 32 bits.
    std::optional<int64_t> costLow, costHigh;
    BoundValue upperPlus, upperMinus, lowerPlus, lowerMinus;
    // Both bounds moved together by one unit (for a fixed link: its flow
    // forced one unit up or down).
    BoundValue flowPlus, flowMinus;
};

// The figures of one link (1..linkCount) from the residual network of the
// optimal flow: two shortest-path searches from the link's ends.
LinkSensitivity SensitivityOfLink(const OptimalSolution& solution, int32_t link);

// The figures of every link in link-number order: one search from every node,
// and two more for each link strictly between its bounds.
std::vector<LinkSensitivity> SensitivityTable(const OptimalSolution& solution);

// The header row of the sensitivity table.
inline constexpr char SensitivityCsvHeader[] =
    "link,origin,destination,cost,flow,cost_low,cost_high,upper_plus_1,upper_plus_units,"
    "upper_minus_1,upper_minus_units,lower_plus_1,lower_plus_units,lower_minus_1,"
    "lower_minus_units,flow_plus_1,flow_plus_units,flow_minus_1,flow_minus_units";

// The table as RFC 4180 CSV in UTF-8 with CR LF line ends, one row per entry
// of table (names from ws, taken as Latin-1): a figure's column holds the
// signed change, "infeasible", or nothing when the move is not possible; an
// unlimited end or unit count is empty.
std::string FormatSensitivityCsv(const Workspace& ws, const std::vector<LinkSensitivity>& table);

// The link's figures as members of its JSON object: "cost_range":[low,high]
// (null for unlimited) and "bound_values" with upper_plus, upper_minus,
// lower_plus, lower_minus, flow_plus and flow_minus, each {"change":N or
// "infeasible" or null where the move is not possible, "units":N or null for
// unlimited}.
std::string SensitivityJsonFields(const LinkSensitivity& figures);

// A figure as the window and the CSV write it: the signed change,
// "infeasible", or empty when the move is not possible.
std::string BoundValueText(const BoundValue& value);

}  // namespace kav

namespace kav {

// One plain sentence about a link's figures, for the What If window.
std::string SensitivitySentence(const Workspace& ws, const LinkSensitivity& figures);

}  // namespace kav

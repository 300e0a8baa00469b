#include "results/Sensitivity.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <queue>
#include <thread>
#include <utility>

#include "results/ResultCsv.h"

namespace kav {
namespace {

constexpr int64_t Infinite = std::numeric_limits<int64_t>::max();
constexpr int64_t LargestBound = std::numeric_limits<int32_t>::max();

std::size_t At(int32_t index) {
    return static_cast<std::size_t>(index);
}

int64_t ReducedCostOf(const OptimalSolution& s, int32_t k) {
    return int64_t{s.cost[At(k)]} + s.potential[At(s.origin[At(k)])] -
           s.potential[At(s.dest[At(k)])];
}

// The residual network of the optimal flow with the reduced costs as lengths
// (never negative at an optimum), the arcs of each node together.
struct ResidualArc {
    int32_t to = 0;
    int32_t link = 0;
    int64_t length = 0;
    int64_t room = 0;
};

class ResidualNetwork {
  public:
    explicit ResidualNetwork(const OptimalSolution& s) : first_(At(s.nodeCount) + 2, 0) {
        std::vector<std::pair<int32_t, ResidualArc>> arcs;
        for (int32_t k = 1; k <= s.linkCount; ++k) {
            const int64_t r = ReducedCostOf(s, k), x = s.flow[At(k)];
            const int32_t o = s.origin[At(k)], t = s.dest[At(k)];
            if (x < s.upper[At(k)])
                arcs.push_back({o, {t, k, r, s.upper[At(k)] - x}});
            if (x > s.lower[At(k)])
                arcs.push_back({t, {o, k, -r, x - s.lower[At(k)]}});
        }
        for (const auto& arc : arcs)
            ++first_[At(arc.first) + 1];
        for (std::size_t n = 1; n < first_.size(); ++n)
            first_[n] += first_[n - 1];
        arcs_.resize(arcs.size());
        std::vector<std::size_t> next(first_.begin(), first_.end() - 1);
        for (const auto& arc : arcs)
            arcs_[next[At(arc.first)]++] = arc.second;
    }
    const ResidualArc* begin(int32_t node) const { return arcs_.data() + first_[At(node)]; }
    const ResidualArc* end(int32_t node) const { return arcs_.data() + first_[At(node) + 1]; }

  private:
    std::vector<std::size_t> first_;
    std::vector<ResidualArc> arcs_;
};

// Shortest distances from one node, each with the smallest room on the path
// the search found (Infinite for the source itself).
class ShortestPaths {
  public:
    explicit ShortestPaths(const ResidualNetwork& network, int32_t nodeCount)
        : network_(network), distance_(At(nodeCount) + 1), room_(At(nodeCount) + 1) {}

    // From source, leaving out the arcs of link `without` (0: none); stops
    // once `target` is settled (0: never).
    void Search(int32_t source, int32_t without = 0, int32_t target = 0) {
        std::fill(distance_.begin(), distance_.end(), Infinite);
        using Entry = std::pair<int64_t, int32_t>;
        std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
        distance_[At(source)] = 0;
        room_[At(source)] = Infinite;
        queue.push({0, source});
        while (!queue.empty()) {
            const auto [distance, node] = queue.top();
            queue.pop();
            if (distance > distance_[At(node)])
                continue;
            if (node == target)
                return;
            for (const ResidualArc* arc = network_.begin(node); arc != network_.end(node); ++arc) {
                const int64_t reached = distance + arc->length;
                if (arc->link == without || reached >= distance_[At(arc->to)])
                    continue;
                distance_[At(arc->to)] = reached;
                room_[At(arc->to)] = std::min(room_[At(node)], arc->room);
                queue.push({reached, arc->to});
            }
        }
    }
    int64_t Distance(int32_t node) const { return distance_[At(node)]; }
    int64_t Room(int32_t node) const { return room_[At(node)]; }

  private:
    const ResidualNetwork& network_;
    std::vector<int64_t> distance_;
    std::vector<int64_t> room_;
};

// The cheapest way to carry one more unit through a link (round a cycle that
// goes forward through it), or one unit less (backward): its cost, exact, and
// the smallest room on the rest of that cycle. Unreachable: no such cycle.
struct Marginal {
    int64_t cost = Infinite;
    int64_t room = Infinite;
    bool Reachable() const { return cost != Infinite; }
};

struct LinkMarginals {
    Marginal up;    // forcing one more unit through the link
    Marginal down;  // one unit less
};

Marginal MarginalFrom(int64_t reducedCost, const ShortestPaths& paths, int32_t to) {
    if (paths.Distance(to) == Infinite)
        return {};
    return {reducedCost + paths.Distance(to), paths.Room(to)};
}

std::optional<int64_t> Limited(int64_t units) {
    return units == Infinite ? std::nullopt : std::optional<int64_t>(units);
}

BoundValue Forced(const Marginal& marginal, int64_t ownRoom) {
    BoundValue value;
    if (!marginal.Reachable()) {
        value.kind = BoundValue::Kind::Infeasible;
        return value;
    }
    value.kind = BoundValue::Kind::Change;
    value.change = marginal.cost;
    value.units = Limited(std::min(marginal.room, ownRoom));
    return value;
}

// The figure of a move of the link's lower bound by stepLower and its upper
// bound by stepUpper per unit (each -1, 0 or 1). F(v), the optimum with the
// link's flow held at v, is convex with slopes up.cost above the flow and
// -down.cost below it, so the new optimum lies at the flow or one unit off.
BoundValue MoveBounds(const OptimalSolution& s, int32_t k, const LinkMarginals& m, int stepLower,
                      int stepUpper) {
    const int64_t lower = s.lower[At(k)], upper = s.upper[At(k)], x = s.flow[At(k)];
    const int64_t newLower = lower + stepLower, newUpper = upper + stepUpper;
    if (newLower > newUpper || newLower < 0 || newUpper > LargestBound)
        return {};
    if (x > newUpper)
        return Forced(m.down, stepLower < 0 ? Infinite : x - lower);
    if (x < newLower)
        return Forced(m.up, stepUpper > 0 ? Infinite : upper - x);
    if (newUpper > x && m.up.Reachable() && m.up.cost < 0)
        return Forced(m.up, Infinite);
    if (newLower < x && m.down.Reachable() && m.down.cost < 0)
        return Forced(m.down, Infinite);
    // The flow stays feasible and nothing cheaper opens up, for as long as
    // the moving bounds leave it inside.
    BoundValue value;
    value.kind = BoundValue::Kind::Change;
    const int64_t aboveLower = stepLower > 0 ? x - lower : Infinite;
    const int64_t belowUpper = stepUpper < 0 ? upper - x : Infinite;
    value.units = Limited(std::min(aboveLower, belowUpper));
    return value;
}

LinkSensitivity FiguresOf(const OptimalSolution& s, int32_t k, const LinkMarginals& m) {
    LinkSensitivity figures;
    figures.link = k;
    const int64_t x = s.flow[At(k)], cost = s.cost[At(k)];
    if (x < s.upper[At(k)] && m.up.Reachable())
        figures.costLow = cost - m.up.cost;
    if (x > s.lower[At(k)] && m.down.Reachable())
        figures.costHigh = cost + m.down.cost;
    figures.upperPlus = MoveBounds(s, k, m, 0, 1);
    figures.upperMinus = MoveBounds(s, k, m, 0, -1);
    figures.lowerPlus = MoveBounds(s, k, m, 1, 0);
    figures.lowerMinus = MoveBounds(s, k, m, -1, 0);
    figures.flowPlus = MoveBounds(s, k, m, 1, 1);
    figures.flowMinus = MoveBounds(s, k, m, -1, -1);
    return figures;
}

bool StrictlyBetweenBounds(const OptimalSolution& s, int32_t k) {
    return s.lower[At(k)] < s.flow[At(k)] && s.flow[At(k)] < s.upper[At(k)];
}

// Both marginals of link k by searches that leave out the link's own arcs,
// stopping at the other end.
LinkMarginals MarginalsWithout(const OptimalSolution& s, int32_t k, ShortestPaths& paths) {
    const int64_t r = ReducedCostOf(s, k);
    const int32_t o = s.origin[At(k)], t = s.dest[At(k)];
    LinkMarginals m;
    paths.Search(t, k, o);
    m.up = MarginalFrom(r, paths, o);
    paths.Search(o, k, t);
    m.down = MarginalFrom(-r, paths, t);
    return m;
}

}  // namespace

std::optional<OptimalSolution> OptimalSolutionOf(const Workspace& ws) {
    OptimalSolution s;
    s.linkCount = ws.LinkCount;
    s.nodeCount = ws.NodeCount;
    const auto copy = [](const auto& array, int32_t count) {
        return std::vector<int32_t>(array.data(), array.data() + count + 1);
    };
    s.origin = copy(ws.LinkOrigin, s.linkCount);
    s.dest = copy(ws.LinkDest, s.linkCount);
    s.lower = copy(ws.LinkLower, s.linkCount);
    s.upper = copy(ws.LinkUpper, s.linkCount);
    s.cost = copy(ws.LinkCost, s.linkCount);
    s.flow = copy(ws.LinkFlow, s.linkCount);
    s.potential = copy(ws.NodePotential, s.nodeCount);
    std::vector<int64_t> balance(At(s.nodeCount) + 1, 0);
    for (int32_t k = 1; k <= s.linkCount; ++k) {
        const int32_t o = s.origin[At(k)], t = s.dest[At(k)], x = s.flow[At(k)];
        if (!NodeInRange(o, s.nodeCount) || !NodeInRange(t, s.nodeCount) || x < s.lower[At(k)] ||
            x > s.upper[At(k)])
            return std::nullopt;
        const int64_t r = ReducedCostOf(s, k);
        if ((r > 0 && x != s.lower[At(k)]) || (r < 0 && x != s.upper[At(k)]))
            return std::nullopt;
        balance[At(o)] -= x;
        balance[At(t)] += x;
    }
    if (std::any_of(balance.begin(), balance.end(), [](int64_t b) { return b != 0; }))
        return std::nullopt;
    return s;
}

LinkSensitivity SensitivityOfLink(const OptimalSolution& s, int32_t link) {
    const ResidualNetwork network(s);
    ShortestPaths paths(network, s.nodeCount);
    return FiguresOf(s, link, MarginalsWithout(s, link, paths));
}

std::vector<LinkSensitivity> SensitivityTable(const OptimalSolution& s) {
    const ResidualNetwork network(s);
    std::vector<LinkMarginals> marginals(At(s.linkCount) + 1);
    // The links by each end, to read their distances off each node's search.
    std::vector<std::vector<int32_t>> byOrigin(At(s.nodeCount) + 1), byDest(At(s.nodeCount) + 1);
    for (int32_t k = 1; k <= s.linkCount; ++k) {
        byOrigin[At(s.origin[At(k)])].push_back(k);
        byDest[At(s.dest[At(k)])].push_back(k);
    }
    // Each worker takes every workers-th node and link; a link's two
    // marginals are written by the searches of its two ends, never both by
    // two workers at once.
    const auto work = [&](int32_t first, int32_t step) {
        ShortestPaths paths(network, s.nodeCount);
        // A link at a bound has at most one arc, which no shortest path
        // between its own ends uses, so the ordinary distances are the ones
        // wanted.
        for (int32_t n = first; n <= s.nodeCount; n += step) {
            if (byOrigin[At(n)].empty() && byDest[At(n)].empty())
                continue;
            paths.Search(n);
            for (const int32_t k : byDest[At(n)]) {
                if (!StrictlyBetweenBounds(s, k))
                    marginals[At(k)].up = MarginalFrom(ReducedCostOf(s, k), paths, s.origin[At(k)]);
            }
            for (const int32_t k : byOrigin[At(n)]) {
                if (!StrictlyBetweenBounds(s, k))
                    marginals[At(k)].down =
                        MarginalFrom(-ReducedCostOf(s, k), paths, s.dest[At(k)]);
            }
        }
        for (int32_t k = first; k <= s.linkCount; k += step) {
            if (StrictlyBetweenBounds(s, k))
                marginals[At(k)] = MarginalsWithout(s, k, paths);
        }
    };
    const int32_t workers =
        static_cast<int32_t>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    std::vector<std::thread> threads;
    for (int32_t w = 2; w <= workers; ++w)
        threads.emplace_back(work, w, workers);
    work(1, workers);
    for (std::thread& thread : threads)
        thread.join();
    std::vector<LinkSensitivity> table;
    table.reserve(At(s.linkCount));
    for (int32_t k = 1; k <= s.linkCount; ++k)
        table.push_back(FiguresOf(s, k, marginals[At(k)]));
    return table;
}

namespace {

std::string JsonNumberOrNull(const std::optional<int64_t>& value) {
    return value ? std::to_string(*value) : "null";
}

std::string BoundValueJson(const BoundValue& value) {
    std::string change = "null";
    if (value.kind == BoundValue::Kind::Infeasible)
        change = "\"infeasible\"";
    else if (value.kind == BoundValue::Kind::Change)
        change = std::to_string(value.change);
    const std::string units =
        value.kind == BoundValue::Kind::Change ? JsonNumberOrNull(value.units) : "null";
    return "{\"change\":" + change + ",\"units\":" + units + "}";
}

}  // namespace

std::string SensitivityJsonFields(const LinkSensitivity& figures) {
    const std::pair<const char*, const BoundValue*> values[] = {
        {"upper_plus", &figures.upperPlus}, {"upper_minus", &figures.upperMinus},
        {"lower_plus", &figures.lowerPlus}, {"lower_minus", &figures.lowerMinus},
        {"flow_plus", &figures.flowPlus},   {"flow_minus", &figures.flowMinus}};
    std::string json = "\"cost_range\":[" + JsonNumberOrNull(figures.costLow) + "," +
                       JsonNumberOrNull(figures.costHigh) + "],\"bound_values\":{";
    for (const auto& [name, value] : values) {
        if (json.back() != '{')
            json += ',';
        json += std::string("\"") + name + "\":" + BoundValueJson(*value);
    }
    return json + "}";
}

std::string BoundValueText(const BoundValue& value) {
    switch (value.kind) {
        case BoundValue::Kind::NotPossible:
            return "";
        case BoundValue::Kind::Infeasible:
            return "infeasible";
        case BoundValue::Kind::Change:
            break;
    }
    return std::to_string(value.change);
}

namespace {

std::string OptionalText(const std::optional<int64_t>& number) {
    return number ? std::to_string(*number) : std::string();
}

std::string UnitsText(const BoundValue& value) {
    return value.kind == BoundValue::Kind::Change ? OptionalText(value.units) : std::string();
}

}  // namespace

std::string FormatSensitivityCsv(const Workspace& ws, const std::vector<LinkSensitivity>& table) {
    std::string csv = std::string(SensitivityCsvHeader) + "\r\n";
    for (const LinkSensitivity& row : table) {
        const int32_t k = row.link;
        csv += std::to_string(k) + "," + CsvNameOf(ws, ws.LinkOrigin[k]) + "," +
               CsvNameOf(ws, ws.LinkDest[k]) + "," + std::to_string(ws.LinkCost[k]) + "," +
               std::to_string(ws.LinkFlow[k]) + "," + OptionalText(row.costLow) + "," +
               OptionalText(row.costHigh);
        for (const BoundValue* value : {&row.upperPlus, &row.upperMinus, &row.lowerPlus,
                                        &row.lowerMinus, &row.flowPlus, &row.flowMinus})
            csv += "," + BoundValueText(*value) + "," + UnitsText(*value);
        csv += "\r\n";
    }
    return csv;
}

namespace {

std::string CostClause(const LinkSensitivity& f) {
    const std::string low = f.costLow ? std::to_string(*f.costLow) : "";
    const std::string high = f.costHigh ? std::to_string(*f.costHigh) : "";
    std::string text;
    if (f.costLow && f.costHigh)
        text = "keeps this plan for any cost from " + low + " to " + high;
    else if (f.costLow)
        text = "keeps this plan for any cost of " + low + " or more";
    else if (f.costHigh)
        text = "keeps this plan for any cost up to " + high;
    else
        return "keeps this plan whatever its cost";
    if (f.costLow)
        text += "; below " + low + " more flow goes this way";
    if (f.costHigh)
        text += "; above " + high + " less flow goes this way";
    return text;
}

std::string UnitsClause(const BoundValue& value) {
    return value.units ? " (for at least " + std::to_string(*value.units) + " units)" : "";
}

std::string UpperClause(const BoundValue& value, bool full) {
    if (value.kind == BoundValue::Kind::NotPossible)
        return "its upper bound cannot rise";
    if (value.change == 0)
        return full ? "raising its upper bound saves nothing"
                    : "raising its upper bound saves nothing: it is not full";
    return "raising its upper bound by one saves " + std::to_string(-value.change) + " a unit" +
           UnitsClause(value);
}

std::string LowerClause(const BoundValue& value) {
    if (value.kind == BoundValue::Kind::NotPossible)
        return "its lower bound cannot rise";
    if (value.kind == BoundValue::Kind::Infeasible)
        return "raising its lower bound by one leaves no feasible flow";
    if (value.change == 0)
        return "raising its lower bound by one costs nothing" + UnitsClause(value);
    return "raising its lower bound by one costs " + std::to_string(value.change) + " a unit" +
           UnitsClause(value);
}

}  // namespace

std::string SensitivitySentence(const Workspace& ws, const LinkSensitivity& f) {
    const int32_t k = f.link;
    return "Link " + std::to_string(k) + " (" + ws.NodeName[ws.LinkOrigin[k]] + " -> " +
           ws.NodeName[ws.LinkDest[k]] + ") " + CostClause(f) + "; " +
           UpperClause(f.upperPlus, ws.LinkFlow[k] >= ws.LinkUpper[k]) + "; " +
           LowerClause(f.lowerPlus) + ".";
}

}  // namespace kav

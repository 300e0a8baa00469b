#include "solver/InfeasibilityCut.h"

#include <algorithm>

namespace kav {
namespace {

// Which nodes are in a set. A link end outside 1..NodeCount is never inside.
class NodeMarks {
  public:
    NodeMarks(const Workspace& ws, const std::vector<int32_t>& nodes)
        : nodeCount_(std::max<int32_t>(ws.NodeCount, 0)),
          inside_(static_cast<std::size_t>(nodeCount_) + 1, false) {
        for (int32_t n : nodes) {
            if (NodeInRange(n, nodeCount_))
                inside_[static_cast<std::size_t>(n)] = true;
        }
    }
    bool Inside(int32_t n) const {
        return NodeInRange(n, nodeCount_) && inside_[static_cast<std::size_t>(n)];
    }
    void Drop(int32_t n) { inside_[static_cast<std::size_t>(n)] = false; }
    std::vector<int32_t> Members() const {
        std::vector<int32_t> nodes;
        for (int32_t n = 1; n <= nodeCount_; ++n) {
            if (inside_[static_cast<std::size_t>(n)])
                nodes.push_back(n);
        }
        return nodes;
    }

  private:
    int32_t nodeCount_;
    std::vector<bool> inside_;
};

struct Sums {
    int64_t need = 0;
    int64_t room = 0;
};

// Calls cross(k, into) for every link k across the boundary of set, in link
// order: into says whether it enters the set.
template <class Cross>
void ForEachCrossing(const Workspace& ws, const NodeMarks& set, Cross&& cross) {
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        const bool from = set.Inside(ws.LinkOrigin[k]);
        if (from != set.Inside(ws.LinkDest[k]))
            cross(k, !from);
    }
}

// The cut's one sum of what must enter the set and what can leave it (the
// solution checks keep their own, independent one).
Sums SumAcross(const Workspace& ws, const NodeMarks& set) {
    Sums sums;
    ForEachCrossing(ws, set, [&](int32_t k, bool into) {
        if (into)
            sums.need += ws.LinkLower[k];
        else
            sums.room += ws.LinkUpper[k];
    });
    return sums;
}

// The links that touch each node, self-loops left out (they never cross).
class Incidence {
  public:
    explicit Incidence(const Workspace& ws)
        : first_(static_cast<std::size_t>(std::max<int32_t>(ws.NodeCount, 0)) + 2, 0) {
        const int32_t nodeCount = std::max<int32_t>(ws.NodeCount, 0);
        const auto forEachEnd = [&](auto&& visit) {
            for (int32_t k = 1; k <= ws.LinkCount; ++k) {
                const int32_t o = ws.LinkOrigin[k], d = ws.LinkDest[k];
                if (o == d)
                    continue;
                if (NodeInRange(o, nodeCount))
                    visit(o, k);
                if (NodeInRange(d, nodeCount))
                    visit(d, k);
            }
        };
        forEachEnd([&](int32_t n, int32_t) { ++first_[static_cast<std::size_t>(n) + 1]; });
        for (std::size_t n = 1; n < first_.size(); ++n)
            first_[n] += first_[n - 1];
        links_.resize(static_cast<std::size_t>(first_.back()));
        std::vector<int32_t> fill(first_.begin(), first_.end() - 1);
        forEachEnd([&](int32_t n, int32_t k) {
            links_[static_cast<std::size_t>(fill[static_cast<std::size_t>(n)]++)] = k;
        });
    }
    const int32_t* begin(int32_t n) const {
        return links_.data() + first_[static_cast<std::size_t>(n)];
    }
    const int32_t* end(int32_t n) const {
        return links_.data() + first_[static_cast<std::size_t>(n) + 1];
    }

  private:
    std::vector<int32_t> first_;
    std::vector<int32_t> links_;
};

}  // namespace

// Why a trimmed set is still a proof: summing conservation over the nodes of
// any set, what enters the set equals what leaves it. The links into the set
// carry at least their lower bounds (Need in all) and the links out of it at
// most their upper bounds (Room), so a feasible flow would need Need <= Room.
// Any set with Need > Room therefore proves that no feasible flow exists,
// however it was found. Each drop below is made only when the smaller set
// still has Need > Room, summed exactly in 64 bits, so the result proves it as
// the solver's set did. Keeping the failed link across the boundary keeps the
// set an explanation of the link the solver stopped on.
std::vector<int32_t> TrimCutNodes(const Workspace& ws, int32_t failedLink,
                                  std::vector<int32_t> nodes) {
    std::sort(nodes.begin(), nodes.end());
    nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
    if (failedLink < 1 || failedLink > ws.LinkCount)
        return nodes;
    for (int32_t n : nodes) {
        if (!NodeInRange(n, ws.NodeCount))
            return nodes;
    }
    NodeMarks set(ws, nodes);
    const int32_t failedOrigin = ws.LinkOrigin[failedLink];
    const int32_t failedDest = ws.LinkDest[failedLink];
    if (set.Inside(failedOrigin) == set.Inside(failedDest))
        return nodes;
    // The failed link's end inside the set stays; dropping any other node
    // leaves the link crossing.
    const int32_t anchor = set.Inside(failedOrigin) ? failedOrigin : failedDest;
    Sums sums = SumAcross(ws, set);
    if (sums.need <= sums.room)
        return nodes;

    const Incidence touching(ws);
    bool dropped = true;
    while (dropped) {
        dropped = false;
        for (int32_t v : nodes) {
            if (v == anchor || !set.Inside(v))
                continue;
            // With v outside, its links to the set start crossing and its
            // links to the outside stop.
            Sums without = sums;
            for (const int32_t* k = touching.begin(v); k != touching.end(v); ++k) {
                if (ws.LinkOrigin[*k] == v) {
                    if (set.Inside(ws.LinkDest[*k]))
                        without.need += ws.LinkLower[*k];
                    else
                        without.room -= ws.LinkUpper[*k];
                } else if (set.Inside(ws.LinkOrigin[*k])) {
                    without.room += ws.LinkUpper[*k];
                } else {
                    without.need -= ws.LinkLower[*k];
                }
            }
            if (without.need > without.room) {
                set.Drop(v);
                sums = without;
                dropped = true;
            }
        }
    }
    return set.Members();
}

void DescribeCut(const Workspace& ws, InfeasibilityCut& cut) {
    std::sort(cut.Nodes.begin(), cut.Nodes.end());
    cut.Nodes.erase(std::unique(cut.Nodes.begin(), cut.Nodes.end()), cut.Nodes.end());
    const NodeMarks set(ws, cut.Nodes);
    const Sums sums = SumAcross(ws, set);
    cut.Need = sums.need;
    cut.Room = sums.room;
    cut.LinksIn.clear();
    cut.LinksOut.clear();
    ForEachCrossing(
        ws, set, [&](int32_t k, bool into) { (into ? cut.LinksIn : cut.LinksOut).push_back(k); });
    const auto& lower = ws.LinkLower;
    const auto& upper = ws.LinkUpper;
    std::sort(cut.LinksIn.begin(), cut.LinksIn.end(), [&](int32_t a, int32_t b) {
        return lower[a] != lower[b] ? lower[a] > lower[b] : a < b;
    });
    std::sort(cut.LinksOut.begin(), cut.LinksOut.end(), [&](int32_t a, int32_t b) {
        return upper[a] != upper[b] ? upper[a] < upper[b] : a < b;
    });
}

InfeasibilityCut MakeInfeasibilityCut(const Workspace& ws, int32_t failedLink,
                                      std::vector<int32_t> labelledNodes, bool confirmed) {
    InfeasibilityCut cut;
    cut.Confirmed = confirmed;
    cut.FailedLink = failedLink;
    cut.Nodes = TrimCutNodes(ws, failedLink, std::move(labelledNodes));
    DescribeCut(ws, cut);
    return cut;
}

}  // namespace kav

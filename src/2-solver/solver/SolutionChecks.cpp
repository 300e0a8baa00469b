#include "solver/SolutionChecks.h"

#include <algorithm>
#include <string>

namespace kav {
namespace {

OptimalityCertificate Failed(OptimalityCertificate certificate, std::string what) {
    certificate.Ok = false;
    certificate.Failure = std::move(what);
    return certificate;
}

}  // namespace

CutSums SumAcrossCut(const Workspace& ws, const std::vector<int32_t>& nodes) {
    std::vector<bool> inside(static_cast<std::size_t>(std::max<int32_t>(ws.NodeCount, 0)) + 1,
                             false);
    for (int32_t n : nodes) {
        if (NodeInRange(n, ws.NodeCount))
            inside[static_cast<std::size_t>(n)] = true;
    }
    const auto isInside = [&](int32_t n) {
        return NodeInRange(n, ws.NodeCount) && inside[static_cast<std::size_t>(n)];
    };
    CutSums sums;
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        const bool from = isInside(ws.LinkOrigin[k]);
        const bool to = isInside(ws.LinkDest[k]);
        if (to && !from)
            sums.Need += ws.LinkLower[k];
        else if (from && !to)
            sums.Room += ws.LinkUpper[k];
    }
    return sums;
}

OptimalityCertificate CheckOptimality(const Workspace& ws) {
    OptimalityCertificate certificate;
    certificate.Checked = true;
    certificate.Links = ws.LinkCount;
    certificate.Nodes = ws.NodeCount;
    std::vector<int64_t> balance(static_cast<std::size_t>(std::max<int32_t>(ws.NodeCount, 0)) + 1,
                                 0);
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        const int32_t o = ws.LinkOrigin[k], d = ws.LinkDest[k];
        const std::string name = "link " + std::to_string(k);
        if (!NodeInRange(o, ws.NodeCount) || !NodeInRange(d, ws.NodeCount))
            return Failed(certificate, name + " names a node that does not exist");
        const int64_t x = ws.LinkFlow[k], lower = ws.LinkLower[k], upper = ws.LinkUpper[k];
        if (x < lower)
            return Failed(certificate, name + " carries less than its lower bound");
        if (x > upper)
            return Failed(certificate, name + " carries more than its upper bound");
        const int64_t reduced = int64_t{ws.LinkCost[k]} + ws.NodePotential[o] - ws.NodePotential[d];
        if ((reduced > 0 && x != lower) || (reduced < 0 && x != upper))
            return Failed(certificate, name + " is out of kilter");
        balance[static_cast<std::size_t>(o)] -= x;
        balance[static_cast<std::size_t>(d)] += x;
    }
    for (int32_t n = 1; n <= ws.NodeCount; ++n) {
        if (balance[static_cast<std::size_t>(n)] != 0)
            return Failed(certificate, "node " + std::to_string(n) + " is not balanced");
    }
    // Bounds, kilter and balance are the whole proof. The dual objective
    // needs no comparison of its own: with every node balanced the cost
    // sum(c x) equals sum(reduced x), and in kilter each term is reduced x
    // lower (reduced > 0) or reduced x upper (reduced < 0), which is the dual
    // objective term for term; in exact arithmetic the two cannot differ.
    certificate.Ok = true;
    return certificate;
}

}  // namespace kav

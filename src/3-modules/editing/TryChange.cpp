#include "editing/TryChange.h"

namespace kav {

Reported<TriedChange> TryLinkChange(const Workspace& ws, int32_t link, LinkField field,
                                    const std::string& text) {
    Reported<TriedChange> tried;
    Workspace copy(ws);
    const Reported<bool> committed = CommitLinkField(copy, link, field, text);
    tried.report = committed.report;
    tried.outcome.accepted = committed.outcome;
    if (!committed.outcome)
        return tried;
    const SolveStatus status = RunOutOfKilter(copy, nullptr);
    tried.outcome.feasible = status.IsFeasible();
    if (status.IsInfeasible())
        tried.outcome.cut = status.Cut;
    if (!status.IsFeasible())
        return tried;
    tried.outcome.total = ExactTotalCostOf(copy);
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        if (copy.LinkFlow[k] != ws.LinkFlow[k])
            tried.outcome.flows.push_back({k, ws.LinkFlow[k], copy.LinkFlow[k]});
    }
    return tried;
}

}  // namespace kav

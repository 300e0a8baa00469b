#pragma once

// A plain, step-by-step out-of-kilter run kept only for the tests: recursive
// labelling, a potential change that looks at every link and raises every
// unlabelled node. The solver must reach exactly the same flows, potentials
// and outcome. Values are formed in 64 bits; a value that leaves the 32-bit
// range throws ReferenceOverflow, so tests compare only problems that fit.

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <vector>

#include "solver/InfeasibilityCut.h"
#include "solver/SolveTrace.h"
#include "solver/SortOkf.h"
#include "workspace/NumberFormat.h"
#include "workspace/Workspace.h"

namespace reference {

struct ReferenceOverflow : std::runtime_error {
    ReferenceOverflow() : std::runtime_error("reference value beyond 32 bits") {}
};

struct ReferenceResult {
    bool infeasible = false;
    int32_t failedLink = 0;
    std::vector<int32_t> progress;  // links reported, in order
};

class ReferenceKilter {
  public:
    // observer, when given, receives every step as the solver reports it.
    explicit ReferenceKilter(kav::Workspace& ws, kav::SolveObserver* observer = nullptr)
        : ws(ws),
          observer(observer),
          flow(kav::SolutionToImprove(ws).Flow),
          potential(kav::SolutionToImprove(ws).Potential) {}

    ReferenceResult Run() {
        ReferenceResult result;
        const int32_t L = ws.LinkCount;
        if (observer) {
            kav::SolveEvent e;
            e.Kind = kav::SolveEventKind::Start;
            e.Flows.assign(ws.LinkFlow.data() + 1, ws.LinkFlow.data() + 1 + L);
            e.NodePotentials.assign(ws.NodePotential.data() + 1,
                                    ws.NodePotential.data() + 1 + ws.NodeCount);
            observer->Observe(e);
        }
        if (L == 0) {
            EmitDone();
            return result;
        }
        BuildOrders();
        for (int32_t l = 1; l <= L; ++l) {
            int64_t k = KilterNumber(l);
            if (observer && k != 0) {
                kav::SolveEvent e;
                e.Kind = kav::SolveEventKind::Link;
                e.Link = l;
                e.Kilter = Fit(k);
                e.Flow = ws.LinkFlow[l];
                e.Lower = ws.LinkLower[l];
                e.Upper = ws.LinkUpper[l];
                e.ReducedCost = Reduced(l);
                observer->Observe(e);
            }
            const bool outOfKilter = k != 0;
            while (k != 0) {
                ClearLabels();
                int32_t start;
                if (k > 0) {
                    start = ws.LinkDest[l];
                    SetLabel(start, true, l, Fit(k));
                    target = ws.LinkOrigin[l];
                } else {
                    start = ws.LinkOrigin[l];
                    SetLabel(start, true, -l, Fit(-k));
                    target = ws.LinkDest[l];
                }
                if (observer) {
                    kav::SolveEvent e;
                    e.Kind = kav::SolveEventKind::Pass;
                    e.Link = l;
                    e.Start = start;
                    e.Target = target;
                    e.Amount = amount[start];
                    observer->Observe(e);
                }
                do {
                    LabelFrom(start);
                    if (!labelled[target]) {
                        start = ChangePotentials();
                        if (start == 0) {
                            EmitInfeasible(l);
                            result.infeasible = true;
                            result.failedLink = l;
                            return result;
                        }
                        k = KilterNumber(l);
                    }
                } while (!labelled[target] && k != 0);
                if (k != 0)
                    ChangeFlow(target);
                k = KilterNumber(l);
            }
            if (observer && outOfKilter) {
                kav::SolveEvent e;
                e.Kind = kav::SolveEventKind::InKilter;
                e.Link = l;
                observer->Observe(e);
            }
            result.progress.push_back(l);
        }
        EmitDone();
        return result;
    }

  private:
    void EmitDone() {
        if (!observer)
            return;
        kav::SolveEvent e;
        e.Kind = kav::SolveEventKind::Done;
        e.TotalCost = kav::WideDecimal(kav::ExactTotalCostOf(ws));
        observer->Observe(e);
    }
    // The labelled nodes, and the cut every output makes of them.
    void EmitInfeasible(int32_t l) {
        if (!observer)
            return;
        kav::SolveEvent e;
        e.Kind = kav::SolveEventKind::Infeasible;
        e.Link = l;
        for (int32_t n = 1; n <= ws.NodeCount; ++n) {
            if (labelled[n])
                e.Labelled.push_back(n);
        }
        const kav::InfeasibilityCut cut = kav::MakeInfeasibilityCut(ws, l, e.Labelled, true);
        e.Nodes = cut.Nodes;
        e.Need = cut.Need;
        e.Room = cut.Room;
        observer->Observe(e);
    }
    void EmitLabel(int32_t n) {
        if (!observer)
            return;
        kav::SolveEvent e;
        e.Kind = kav::SolveEventKind::Label;
        e.Node = n;
        e.Via = pred[n];
        e.Amount = amount[n];
        observer->Observe(e);
    }

    static int32_t Fit(int64_t v) {
        if (v < INT32_MIN || v > INT32_MAX)
            throw ReferenceOverflow();
        return static_cast<int32_t>(v);
    }

    int64_t Reduced(int32_t m) const {
        return Fit(int64_t{ws.LinkCost[m]} + ws.NodePotential[ws.LinkOrigin[m]] -
                   ws.NodePotential[ws.LinkDest[m]]);
    }
    int64_t KilterNumber(int32_t m) const {
        const int64_t r = Reduced(m), x = ws.LinkFlow[m], lo = ws.LinkLower[m],
                      up = ws.LinkUpper[m];
        if (r > 0)
            return lo - x;
        if (r < 0)
            return up - x;
        if (x < lo)
            return lo - x;
        if (x > up)
            return up - x;
        return 0;
    }
    bool CanIncrease(int32_t m) const {
        const int64_t r = Reduced(m);
        return ws.LinkFlow[m] < (r > 0 ? ws.LinkLower[m] : ws.LinkUpper[m]);
    }
    int64_t IncreaseRoom(int32_t m) const {
        const int64_t r = Reduced(m);
        return int64_t{r > 0 ? ws.LinkLower[m] : ws.LinkUpper[m]} - ws.LinkFlow[m];
    }
    bool CanDecrease(int32_t m) const {
        const int64_t r = Reduced(m);
        return ws.LinkFlow[m] > (r < 0 ? ws.LinkUpper[m] : ws.LinkLower[m]);
    }
    int64_t DecreaseRoom(int32_t m) const {
        const int64_t r = Reduced(m);
        return int64_t{ws.LinkFlow[m]} - (r < 0 ? ws.LinkUpper[m] : ws.LinkLower[m]);
    }

    void BuildOrders() {
        const int32_t L = ws.LinkCount, N = ws.NodeCount;
        outOrder.assign(L + 1, 0);
        inOrder.assign(L + 1, 0);
        kav::SortOkfIntegers(1, static_cast<uint16_t>(L), ws.LinkOrigin.data() + 1,
                             outOrder.data() + 1);
        kav::SortOkfIntegers(1, static_cast<uint16_t>(L), ws.LinkDest.data() + 1,
                             inOrder.data() + 1);
        Fill(outOrder, ws.LinkOrigin.data(), firstOut, L, N);
        Fill(inOrder, ws.LinkDest.data(), firstIn, L, N);
        labelled.assign(N + 1, false);
        pred.assign(N + 1, 0);
        amount.assign(N + 1, 0);
    }
    static void Fill(const std::vector<uint16_t>& order, const int32_t* end,
                     std::vector<int32_t>& first, int32_t L, int32_t N) {
        first.assign(N + 2, 0);
        int32_t remembered = 0;
        for (int32_t i = 1; i <= L; ++i) {
            const int32_t n = end[order[i]];
            if (n != remembered) {
                first[n] = i;
                remembered = n;
            }
        }
        first[N + 1] = L + 1;
    }

    void ClearLabels() {
        for (int32_t n = 1; n <= ws.NodeCount; ++n)
            SetLabel(n, false, 0, 0);
    }
    void SetLabel(int32_t n, bool isLabelled, int32_t predLink, int32_t a) {
        labelled[n] = isLabelled;
        pred[n] = predLink;
        amount[n] = a;
    }

    void LabelFrom(int32_t n) {
        for (int32_t i = firstOut[n]; i < firstOut[n + 1] && !labelled[target]; ++i) {
            const int32_t m = outOrder[i];
            const int32_t d = ws.LinkDest[m];
            if (CanIncrease(m) && !labelled[d]) {
                const int64_t room = IncreaseRoom(m);
                SetLabel(d, true, m, Fit(room < amount[n] ? room : amount[n]));
                EmitLabel(d);
                LabelFrom(d);
            }
        }
        for (int32_t i = firstIn[n]; i < firstIn[n + 1] && !labelled[target]; ++i) {
            const int32_t m = inOrder[i];
            const int32_t o = ws.LinkOrigin[m];
            if (CanDecrease(m) && !labelled[o]) {
                const int64_t room = DecreaseRoom(m);
                SetLabel(o, true, -m, Fit(room < amount[n] ? room : amount[n]));
                EmitLabel(o);
                LabelFrom(o);
            }
        }
    }

    void ChangeFlow(int32_t t) {
        const int32_t a = std::abs(amount[t]);
        if (observer) {
            // The path from the start node to t, found by walking back from t.
            std::vector<std::pair<int32_t, int32_t>> back;
            int32_t v = t;
            do {
                const int32_t p = pred[v];
                back.emplace_back(p > 0 ? p : -p, p > 0 ? 1 : -1);
                v = p > 0 ? ws.LinkOrigin[p] : ws.LinkDest[-p];
            } while (v != t);
            kav::SolveEvent e;
            e.Kind = kav::SolveEventKind::Augment;
            e.Amount = a;
            e.Cycle.push_back(back.back());
            for (std::size_t i = back.size() - 1; i-- > 0;)
                e.Cycle.push_back(back[i]);
            observer->Observe(e);
        }
        int32_t v = t;
        do {
            const int32_t p = pred[v];
            if (p > 0) {
                flow[p] = Fit(int64_t{ws.LinkFlow[p]} + a);
                v = ws.LinkOrigin[p];
            } else {
                flow[-p] = Fit(int64_t{ws.LinkFlow[-p]} - a);
                v = ws.LinkDest[-p];
            }
        } while (v != t);
    }

    int32_t ChangePotentials() {
        int64_t minPos = INT32_MAX, maxNeg = -INT32_MAX;
        int32_t posLink = 0, negLink = 0;
        for (int32_t m = 1; m <= ws.LinkCount; ++m) {
            const int32_t o = ws.LinkOrigin[m], d = ws.LinkDest[m];
            const int32_t x = ws.LinkFlow[m], lo = ws.LinkLower[m], up = ws.LinkUpper[m];
            const int64_t r = Reduced(m);
            if (labelled[o] && !labelled[d]) {
                if (r > 0 && lo <= x && x <= up && r < minPos) {
                    minPos = r;
                    posLink = m;
                }
                if (r == 0 && lo <= x && x < up)
                    return Resume(m, o);
            } else if (!labelled[o] && labelled[d]) {
                if (r < 0 && lo <= x && x <= up && r > maxNeg) {
                    maxNeg = r;
                    negLink = m;
                }
                if (r == 0 && lo < x && x <= up)
                    return Resume(m, d);
            }
        }
        if (posLink == 0 && negLink == 0)
            return 0;
        int32_t start = 0, decided = 0;
        int64_t delta = INT32_MAX;
        if (minPos < delta) {
            start = ws.LinkOrigin[posLink];
            decided = posLink;
            delta = minPos;
        }
        if (-maxNeg < delta) {
            start = ws.LinkDest[negLink];
            decided = negLink;
            delta = -maxNeg;
        }
        kav::SolveEvent e;
        e.Kind = kav::SolveEventKind::Potentials;
        e.Delta = delta;
        e.Link = decided;
        e.Start = start;
        for (int32_t n = 1; n <= ws.NodeCount; ++n) {
            if (!labelled[n]) {
                potential[n] = Fit(ws.NodePotential[n] + delta);
                e.Nodes.push_back(n);
            }
        }
        if (observer)
            observer->Observe(e);
        return start;
    }

    int32_t Resume(int32_t m, int32_t start) {
        if (observer) {
            kav::SolveEvent e;
            e.Kind = kav::SolveEventKind::Resume;
            e.Link = m;
            e.Start = start;
            observer->Observe(e);
        }
        return start;
    }

    kav::Workspace& ws;
    kav::SolveObserver* observer;
    // What it improves, as the solver does.
    int32_t* flow;
    int32_t* potential;
    std::vector<uint16_t> outOrder, inOrder;
    std::vector<int32_t> firstOut, firstIn, pred, amount;
    std::vector<bool> labelled;
    int32_t target = 0;
};

}  // namespace reference

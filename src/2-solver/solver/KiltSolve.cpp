#include "solver/KiltSolve.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "solver/InfeasibilityCut.h"
#include "solver/SortOkf.h"
#include "workspace/NumberFormat.h"

namespace kav {
namespace {

constexpr int64_t Int32Max = INT32_MAX;
constexpr int64_t Int32Min = INT32_MIN;

bool FitsInt32(int64_t value) {
    return value >= Int32Min && value <= Int32Max;
}

// Kilter number of a link from its flow, bounds and the sign of its reduced cost.
int64_t KilterNumberOf(int64_t reduced, int64_t x, int64_t lower, int64_t upper) {
    if (reduced > 0)
        return lower - x;
    if (reduced < 0)
        return upper - x;
    if (x < lower)
        return lower - x;
    if (x > upper)
        return upper - x;
    return 0;
}

const char* const RangeText =
    "Numbers in this problem grow beyond the range of the solver (2147483647): "
    "potentials, reduced costs or flow changes would overflow ... the solve was stopped";

}  // namespace

// The solver's scratch, allocated once at full size and rebuilt by every run.
struct KilterScratch {
    static constexpr std::size_t BitWords = MaxLinks / 64 + 2;

    std::vector<uint16_t> outOrder = std::vector<uint16_t>(MaxLinks + 1);
    std::vector<uint16_t> inOrder = std::vector<uint16_t>(MaxLinks + 1);
    // The links, their far ends and their costs in the order of each list, so
    // that a scan reads them one after another; and where each link stands.
    std::vector<int32_t> outLink = std::vector<int32_t>(MaxLinks + 1);
    std::vector<int32_t> outDest = std::vector<int32_t>(MaxLinks + 1);
    std::vector<int32_t> outCost = std::vector<int32_t>(MaxLinks + 1);
    std::vector<int32_t> inLink = std::vector<int32_t>(MaxLinks + 1);
    std::vector<int32_t> inOrigin = std::vector<int32_t>(MaxLinks + 1);
    std::vector<int32_t> inCost = std::vector<int32_t>(MaxLinks + 1);
    std::vector<int32_t> outPosOf = std::vector<int32_t>(MaxLinks + 1);
    std::vector<int32_t> inPosOf = std::vector<int32_t>(MaxLinks + 1);
    // One bit per list position: the link's flow may rise (out list) or fall
    // (in list) under the current potentials.
    std::vector<uint64_t> canIncrease = std::vector<uint64_t>(BitWords);
    std::vector<uint64_t> canDecrease = std::vector<uint64_t>(BitWords);
    std::vector<int32_t> firstOut = std::vector<int32_t>(MaxNodes + 2);
    std::vector<int32_t> firstIn = std::vector<int32_t>(MaxNodes + 2);
    // A node is labelled in the current pass when its stamp equals the pass
    // number, so forgetting all labels is one increment. Each run starts the
    // count again from zero stamps.
    std::vector<uint32_t> labelStamp = std::vector<uint32_t>(MaxNodes + 1);
    std::vector<int32_t> predLink = std::vector<int32_t>(MaxNodes + 1);
    std::vector<int32_t> amount = std::vector<int32_t>(MaxNodes + 1);
    std::vector<int32_t> labelledNodes = std::vector<int32_t>(MaxNodes + 1);
    // The links a potential change crosses (+m from a labelled node, -m into
    // one) with their reduced costs before the change.
    std::vector<int32_t> crossingLinks = std::vector<int32_t>(MaxLinks + 1);
    std::vector<int32_t> crossingReduced = std::vector<int32_t>(MaxLinks + 1);
    struct Frame {
        int32_t node;
        int32_t outPos;
        int32_t inPos;
    };
    std::vector<Frame> stack = std::vector<Frame>(MaxNodes + 1);
    // Flow in minus flow out per node, to see whether the flows are balanced.
    std::vector<int64_t> balance = std::vector<int64_t>(MaxNodes + 1);
};

namespace {

void SetBit(uint64_t* bits, int32_t position, bool value) {
    const uint64_t mask = uint64_t{1} << (position & 63);
    if (value) {
        bits[position >> 6] |= mask;
    } else {
        bits[position >> 6] &= ~mask;
    }
}

// The first set position in from..end-1 for which accept(position) holds, or
// end. Walks the set bits a word at a time.
template <class Accept>
inline int32_t FindSet(const uint64_t* bits, int32_t from, int32_t end, Accept&& accept) {
    if (from >= end)
        return end;
    int32_t word = from >> 6;
    uint64_t pending = bits[word] & (~uint64_t{0} << (from & 63));
    while (true) {
        while (pending != 0) {
            const int32_t position = (word << 6) + __builtin_ctzll(pending);
            if (position >= end)
                return end;
            if (accept(position))
                return position;
            pending &= pending - 1;
        }
        if ((++word << 6) >= end)
            return end;
        pending = bits[word];
    }
}

// One run of the algorithm over the Workspace arrays.
//
// The order of work is that of the plain method: links in number order,
// depth-first labelling that tries a node's outgoing links before its incoming
// ones in list order, and potential changes with their tie-breaks. Three
// devices make it fast without changing any result:
//
// - Potentials of the nodes that the current labelling pass has not reached
//   are raised together: the raise is kept in offset_ and added to such a
//   node's stored potential when the node is labelled or when the pass ends.
//   The actual potential of node n is pot_[n] while n is labelled and
//   pot_[n] + offset_ while it is not.
// - A potential change looks only at the links between labelled and
//   unlabelled nodes, found through the labelled nodes' own lists; among
//   equal candidates the lowest link number still wins.
// - Whether a link's flow may rise or fall is kept as one bit per list
//   position, so a labelling scan skips the links that cannot be used. The
//   bits change only with a link's flow or with the reduced cost of a link
//   that a potential change crosses, and are updated right there.
//
// Every reduced cost stays within 32 bits during a run: that is checked for all
// links at the start, and a potential raise changes only the reduced costs of
// the crossing links, which the raise itself checks.
//
// Traced runs report every step to an observer; the untraced instance has no
// trace of that work in its loops.
template <bool Traced>
class KilterRun {
  public:
    KilterRun(Workspace& ws, ProgressSink* progress, SolveObserver* observer,
              KilterScratch& scratch, InfeasibilityCut& cut)
        : ws_(ws),
          cut_(cut),
          progress_(progress),
          observer_(observer),
          s_(scratch),
          linkCount_(ws.LinkCount),
          nodeCount_(ws.NodeCount),
          origin_(ws.LinkOrigin.data()),
          dest_(ws.LinkDest.data()),
          lower_(ws.LinkLower.data()),
          upper_(ws.LinkUpper.data()),
          cost_(ws.LinkCost.data()),
          flow_(SolutionToImprove(ws).Flow),
          pot_(SolutionToImprove(ws).Potential),
          labelStamp_(s_.labelStamp.data()),
          labelledNodes_(s_.labelledNodes.data()),
          stack_(s_.stack.data()),
          outPosOf_(s_.outPosOf.data()),
          inPosOf_(s_.inPosOf.data()),
          crossingLinks_(s_.crossingLinks.data()),
          crossingReduced_(s_.crossingReduced.data()),
          predLink_(s_.predLink.data()),
          amount_(s_.amount.data()),
          outLink_(s_.outLink.data()),
          outDest_(s_.outDest.data()),
          outCost_(s_.outCost.data()),
          inLink_(s_.inLink.data()),
          inOrigin_(s_.inOrigin.data()),
          inCost_(s_.inCost.data()),
          canIncrease_(s_.canIncrease.data()),
          canDecrease_(s_.canDecrease.data()),
          firstOut_(s_.firstOut.data()),
          firstIn_(s_.firstIn.data()) {}

    // Returns the link the run failed on, or 0 when every link is in kilter or
    // the run was stopped (Stopped).
    int32_t Run() {
        if constexpr (Traced) {
            if (CountsFit())
                EmitStart();
        }
        if (!CheckProblemFits())
            return 0;
        if (linkCount_ == 0) {
            if constexpr (Traced)
                EmitDone();
            return 0;
        }
        BuildLists();
        std::fill(s_.labelStamp.begin(), s_.labelStamp.end(), 0);
        ResetLabels();
        for (int32_t m = 1; m <= linkCount_; ++m)
            NoteEligibility(m);
        for (int32_t l = 1; l <= linkCount_; ++l) {
            if (!BringIntoKilter(l)) {
                if (stopped_)
                    return 0;
                return l;
            }
            if (progress_)
                progress_->ReportProgress(l, linkCount_);
        }
        if constexpr (Traced)
            EmitDone();
        return 0;
    }

    // Whether the run was stopped, and why.
    bool Stopped() const { return stopped_; }
    const std::string& StopReason() const { return stopReason_; }

  private:
    // --- Preconditions -------------------------------------------------------

    // Whether the counts fit the arrays; nothing else can be read before.
    bool CountsFit() const {
        return linkCount_ >= 0 && linkCount_ <= MaxLinks && nodeCount_ >= 0 &&
               nodeCount_ <= MaxNodes;
    }

    // False (stopped) when the problem is unfit for solving.
    bool CheckProblemFits() {
        if (!CountsFit()) {
            return StopWith(
                "The problem's counts are outside the workspace ... the solve was "
                "stopped");
        }
        for (int32_t m = 1; m <= linkCount_; ++m) {
            if (!IsNode(ws_, origin_[m]) || !IsNode(ws_, dest_[m])) {
                return StopWith("Link <" + std::to_string(m) +
                                "> names a node that does not exist ... the solve was stopped");
            }
            if (lower_[m] > upper_[m]) {
                return StopWith("Link <" + std::to_string(m) +
                                "> has its lower bound above its upper bound ... the solve "
                                "was stopped");
            }
            if (!FitsInt32(int64_t{cost_[m]} + pot_[origin_[m]] - pot_[dest_[m]]))
                return StopWith(RangeText);
        }
        maxStored_ = Int32Min;
        for (int32_t n = 1; n <= nodeCount_; ++n)
            maxStored_ = std::max<int64_t>(maxStored_, pot_[n]);
        return true;
    }

    // Whether flow in equals flow out at every node. Flow changes go round
    // cycles and keep every node's balance, so the flows at the end of a run
    // are balanced exactly when those it started from were.
    bool FlowsBalanced() const {
        int64_t* balance = s_.balance.data();
        std::fill(balance, balance + nodeCount_ + 1, 0);
        for (int32_t m = 1; m <= linkCount_; ++m) {
            balance[dest_[m]] += flow_[m];
            balance[origin_[m]] -= flow_[m];
        }
        return std::all_of(balance + 1, balance + nodeCount_ + 1, [](int64_t b) { return b == 0; });
    }

    // --- Lists by origin and by destination ---------------------------------

    void BuildLists() {
        uint16_t* outOrder = s_.outOrder.data();
        uint16_t* inOrder = s_.inOrder.data();
        SortOkfIntegers(1, static_cast<uint16_t>(linkCount_), origin_ + 1, outOrder + 1);
        SortOkfIntegers(1, static_cast<uint16_t>(linkCount_), dest_ + 1, inOrder + 1);
        BuildFirst(outOrder, origin_, firstOut_);
        BuildFirst(inOrder, dest_, firstIn_);
        for (int32_t i = 1; i <= linkCount_; ++i) {
            const int32_t out = outOrder[i];
            outLink_[i] = out;
            outDest_[i] = dest_[out];
            outCost_[i] = cost_[out];
            outPosOf_[out] = i;
            const int32_t in = inOrder[i];
            inLink_[i] = in;
            inOrigin_[i] = origin_[in];
            inCost_[i] = cost_[in];
            inPosOf_[in] = i;
        }
    }

    // first[n] is the position of node n's first link in order; a node without
    // links gets an empty run that starts where the next node's begins.
    void BuildFirst(const uint16_t* order, const int32_t* end, int32_t* first) const {
        std::fill(first, first + nodeCount_ + 2, 0);
        int32_t remembered = 0;
        for (int32_t i = 1; i <= linkCount_; ++i) {
            const int32_t n = end[order[i]];
            if (n != remembered) {
                first[n] = i;
                remembered = n;
            }
        }
        first[nodeCount_ + 1] = linkCount_ + 1;
        for (int32_t n = nodeCount_; n >= 1; --n) {
            if (first[n] == 0)
                first[n] = first[n + 1];
        }
    }

    // --- Potentials, reduced costs, eligibility -----------------------------

    bool Labelled(int32_t n) const { return labelStamp_[n] == pass_; }

    int64_t Potential(int32_t n) const { return pot_[n] + (Labelled(n) ? 0 : offset_); }

    int64_t Reduced(int32_t m) const {
        return cost_[m] + Potential(origin_[m]) - Potential(dest_[m]);
    }

    // Signed kilter number of link m under the current potentials; its size
    // must fit the label amounts, else the run stops (0).
    int32_t Kilter(int32_t m) {
        const int64_t k = KilterNumberOf(Reduced(m), flow_[m], lower_[m], upper_[m]);
        if (k > Int32Max || k < -Int32Max) {
            Stop();
            return 0;
        }
        return static_cast<int32_t>(k);
    }

    // Recomputes whether link m's flow may rise and fall.
    void NoteEligibility(int32_t m) { NoteEligibility(m, Reduced(m)); }

    void NoteEligibility(int32_t m, int64_t r) {
        const int32_t x = flow_[m];
        SetBit(canIncrease_, outPosOf_[m], x < (r > 0 ? lower_[m] : upper_[m]));
        SetBit(canDecrease_, inPosOf_[m], x > (r < 0 ? upper_[m] : lower_[m]));
    }

    // Adds the pending raise to every unlabelled node and forgets the labels.
    void EndPass() {
        if (offset_ != 0) {
            for (int32_t n = 1; n <= nodeCount_; ++n) {
                if (!Labelled(n))
                    Materialize(n);
            }
            offset_ = 0;
        }
        ResetLabels();
    }

    void Materialize(int32_t n) {
        pot_[n] = static_cast<int32_t>(pot_[n] + offset_);
        maxStored_ = std::max<int64_t>(maxStored_, pot_[n]);
    }

    // Stops the run with every value a valid 32-bit number.
    void Stop() {
        EndPass();
        StopWith(RangeText);
    }

    bool StopWith(std::string reason) {
        stopped_ = true;
        stopReason_ = std::move(reason);
        return false;
    }

    // --- Labels --------------------------------------------------------------

    void ResetLabels() {
        if (++pass_ == 0) {
            std::fill(s_.labelStamp.begin(), s_.labelStamp.end(), 0);
            pass_ = 1;
        }
        labelledCount_ = 0;
    }

    void SetLabel(int32_t n, int32_t pred, int32_t amount) {
        if (offset_ != 0)
            Materialize(n);  // its actual potential now lives in pot_ alone
        labelStamp_[n] = pass_;
        predLink_[n] = pred;
        amount_[n] = amount;
        labelledNodes_[labelledCount_++] = n;
    }

    // Depth-first labelling from node `start`: a node's outgoing links are
    // tried before its incoming ones, each list in its order, and the search
    // descends into every newly labelled node at once. An explicit stack keeps
    // that order without deep recursion.
    void LabelFrom(int32_t start) {
        if (Labelled(target_))
            return;  // a link from a node to itself: its start is its target
        int32_t depth = 0;
        Push(start, depth);
        while (depth > 0) {
            KilterScratch::Frame& frame = stack_[depth - 1];
            if (ScanOut(frame, depth) || ScanIn(frame, depth)) {
                if (Labelled(target_))
                    return;
            } else {
                --depth;
            }
        }
    }

    // Goes on through the outgoing links of the frame's node; labels the far
    // end of the first link whose flow may rise and descends into it.
    bool ScanOut(KilterScratch::Frame& frame, int32_t& depth) {
        const int32_t n = frame.node;
        const int32_t end = firstOut_[n + 1];
        const int32_t i = FindSet(canIncrease_, frame.outPos, end,
                                  [this](int32_t p) { return !Labelled(outDest_[p]); });
        frame.outPos = i < end ? i + 1 : end;
        if (i == end)
            return false;
        const int32_t d = outDest_[i];
        const int32_t m = outLink_[i];
        const int64_t r = outCost_[i] + pot_[n] - (pot_[d] + offset_);  // d is not labelled yet
        const int32_t bound = r > 0 ? lower_[m] : upper_[m];
        SetLabel(d, m,
                 static_cast<int32_t>(std::min<int64_t>(int64_t{bound} - flow_[m], amount_[n])));
        if constexpr (Traced)
            EmitLabel(d);
        Push(d, depth);
        return true;
    }

    // The same through the incoming links, for flows that may fall.
    bool ScanIn(KilterScratch::Frame& frame, int32_t& depth) {
        const int32_t n = frame.node;
        const int32_t end = firstIn_[n + 1];
        const int32_t i = FindSet(canDecrease_, frame.inPos, end,
                                  [this](int32_t p) { return !Labelled(inOrigin_[p]); });
        frame.inPos = i < end ? i + 1 : end;
        if (i == end)
            return false;
        const int32_t o = inOrigin_[i];
        const int32_t m = inLink_[i];
        const int64_t r = inCost_[i] + (pot_[o] + offset_) - pot_[n];  // o is not labelled yet
        const int32_t bound = r < 0 ? upper_[m] : lower_[m];
        SetLabel(o, -m,
                 static_cast<int32_t>(std::min<int64_t>(int64_t{flow_[m]} - bound, amount_[n])));
        if constexpr (Traced)
            EmitLabel(o);
        Push(o, depth);
        return true;
    }

    void Push(int32_t n, int32_t& depth) {
        stack_[depth++] = KilterScratch::Frame{n, firstOut_[n], firstIn_[n]};
    }

    // --- Flow change around the cycle ---------------------------------------

    void ChangeFlow() {
        const int32_t a = std::abs(amount_[target_]);
        if constexpr (Traced)
            EmitAugment(a);
        int32_t v = target_;
        do {
            const int32_t p = predLink_[v];
            const int32_t m = p > 0 ? p : -p;
            if (p > 0) {
                flow_[m] += a;
                v = origin_[m];
            } else {
                flow_[m] -= a;
                v = dest_[m];
            }
            NoteEligibility(m);
        } while (v != target_);
    }

    // --- Potential change ----------------------------------------------------

    // Looks at the links between labelled and unlabelled nodes (found through
    // the labelled nodes' own lists). Returns the node to go on labelling
    // from, 0 when nothing can change (no feasible flow exists), or -1 when
    // the run stopped.
    int32_t ChangePotentials() {
        int32_t zeroLink = INT32_MAX, zeroNode = 0;
        int64_t minPos = Int32Max, maxNeg = -Int32Max;
        int32_t posLink = 0, negLink = 0;
        int64_t lowestForward = Int32Max, highestBackward = Int32Min;
        bool outOfRangeCandidate = false;
        int32_t crossing = 0;

        for (int32_t k = 0; k < labelledCount_; ++k) {
            const int32_t u = labelledNodes_[k];
            const int64_t potU = pot_[u];
            for (int32_t i = firstOut_[u], end = firstOut_[u + 1]; i < end; ++i) {
                const int32_t d = outDest_[i];
                if (Labelled(d))
                    continue;
                const int32_t m = outLink_[i];
                const int64_t r = outCost_[i] + potU - pot_[d] - offset_;
                crossingLinks_[crossing] = m;
                crossingReduced_[crossing++] = static_cast<int32_t>(r);
                const int32_t x = flow_[m];
                lowestForward = std::min(lowestForward, r);
                if (x < lower_[m] || x > upper_[m])
                    continue;
                if (r > 0) {
                    if (r < minPos || (r == minPos && m < posLink)) {
                        minPos = r;
                        posLink = m;
                    }
                    if (r == Int32Max)
                        outOfRangeCandidate = true;
                } else if (r == 0 && x < upper_[m] && m < zeroLink) {
                    zeroLink = m;
                    zeroNode = u;
                }
            }
            for (int32_t i = firstIn_[u], end = firstIn_[u + 1]; i < end; ++i) {
                const int32_t o = inOrigin_[i];
                if (Labelled(o))
                    continue;
                const int32_t m = inLink_[i];
                const int64_t r = inCost_[i] + pot_[o] + offset_ - potU;
                crossingLinks_[crossing] = -m;
                crossingReduced_[crossing++] = static_cast<int32_t>(r);
                const int32_t x = flow_[m];
                highestBackward = std::max(highestBackward, r);
                if (x < lower_[m] || x > upper_[m])
                    continue;
                if (r < 0) {
                    if (r > maxNeg || (r == maxNeg && m < negLink)) {
                        maxNeg = r;
                        negLink = m;
                    }
                    if (r <= -Int32Max)
                        outOfRangeCandidate = true;
                } else if (r == 0 && x > lower_[m] && m < zeroLink) {
                    zeroLink = m;
                    zeroNode = u;
                }
            }
        }
        if (zeroNode != 0) {
            if constexpr (Traced)
                EmitResume(zeroLink, zeroNode);
            return zeroNode;
        }
        if (posLink == 0 && negLink == 0) {
            // A link whose reduced cost is at the end of the range could have
            // been used with a wider number type: not a true infeasibility.
            if (outOfRangeCandidate) {
                Stop();
                return -1;
            }
            return 0;
        }

        int32_t startNode = 0, decidingLink = 0;
        int64_t delta = Int32Max;
        if (minPos < delta) {
            startNode = origin_[posLink];
            decidingLink = posLink;
            delta = minPos;
        }
        if (-maxNeg < delta) {
            startNode = dest_[negLink];
            decidingLink = negLink;
            delta = -maxNeg;
        }
        if (lowestForward - delta < Int32Min || highestBackward + delta > Int32Max ||
            !UnlabelledCanRise(delta)) {
            Stop();
            return -1;
        }
        offset_ += delta;
        // The raise lowers the reduced cost of every link out of the labelled
        // nodes by delta and raises that of every link into them.
        for (int32_t k = 0; k < crossing; ++k) {
            const int32_t link = crossingLinks_[k];
            const int64_t r = crossingReduced_[k];
            if (link > 0) {
                NoteEligibility(link, r - delta);
            } else {
                NoteEligibility(-link, r + delta);
            }
        }
        if constexpr (Traced)
            EmitPotentials(delta, decidingLink, startNode);
        else
            (void)decidingLink;
        return startNode;
    }

    // Whether every unlabelled node's potential can rise by delta. The highest
    // stored potential bounds them all; only near the limit are they looked at.
    bool UnlabelledCanRise(int64_t delta) const {
        if (maxStored_ + offset_ + delta <= Int32Max)
            return true;
        for (int32_t n = 1; n <= nodeCount_; ++n) {
            if (!Labelled(n) && pot_[n] + offset_ + delta > Int32Max)
                return false;
        }
        return true;
    }

    // --- The set that shows the infeasibility --------------------------------

    // Called once, when no potential change can make progress on link l: the
    // labelled nodes, trimmed and described as every output shows them.
    void RecordCut(int32_t l) {
        cut_ = MakeInfeasibilityCut(
            ws_, l, std::vector<int32_t>(labelledNodes_, labelledNodes_ + labelledCount_),
            FlowsBalanced());
    }

    // --- Main loop step for one link -----------------------------------------

    // Brings link l into kilter; false when no feasible flow exists or the
    // run stopped.
    bool BringIntoKilter(int32_t l) {
        int32_t k = Kilter(l);
        if (stopped_)
            return false;
        const bool outOfKilter = k != 0;
        if constexpr (Traced) {
            if (outOfKilter)
                EmitLink(l, k);
        }
        while (k != 0) {
            int32_t startNode;
            if (k > 0) {
                startNode = dest_[l];
                SetLabel(startNode, l, k);
                target_ = origin_[l];
            } else {
                startNode = origin_[l];
                SetLabel(startNode, -l, -k);
                target_ = dest_[l];
            }
            if constexpr (Traced)
                EmitPass(l, startNode);
            while (true) {
                LabelFrom(startNode);
                if (Labelled(target_))
                    break;
                startNode = ChangePotentials();
                if (startNode < 0)
                    return false;
                if (startNode == 0) {
                    RecordCut(l);
                    if constexpr (Traced)
                        EmitInfeasible(l);
                    EndPass();
                    return false;
                }
                k = Kilter(l);
                if (stopped_)
                    return false;
                if (k == 0)
                    break;
            }
            if (k != 0)
                ChangeFlow();
            EndPass();
            k = Kilter(l);
            if (stopped_)
                return false;
        }
        if constexpr (Traced) {
            if (outOfKilter)
                EmitInKilter(l);
        }
        return true;
    }

    // --- The steps, for the observer of a traced run ---------------------------

    void Emit(SolveEventKind kind) {
        event_.Kind = kind;
        observer_->Observe(event_);
    }

    void EmitStart() {
        event_.Flows.assign(flow_ + 1, flow_ + 1 + linkCount_);
        event_.NodePotentials.assign(pot_ + 1, pot_ + 1 + nodeCount_);
        Emit(SolveEventKind::Start);
    }

    void EmitLink(int32_t l, int32_t k) {
        event_.Link = l;
        event_.Kilter = k;
        event_.Flow = flow_[l];
        event_.Lower = lower_[l];
        event_.Upper = upper_[l];
        event_.ReducedCost = Reduced(l);
        Emit(SolveEventKind::Link);
    }

    void EmitPass(int32_t l, int32_t startNode) {
        event_.Link = l;
        event_.Start = startNode;
        event_.Target = target_;
        event_.Amount = amount_[startNode];
        Emit(SolveEventKind::Pass);
    }

    void EmitLabel(int32_t n) {
        event_.Node = n;
        event_.Via = predLink_[n];
        event_.Amount = amount_[n];
        Emit(SolveEventKind::Label);
    }

    // The cycle as the start label closes it: the link first, then the label
    // path from the start node to the target (read back from the target).
    void EmitAugment(int32_t a) {
        event_.Amount = a;
        event_.Cycle.clear();
        int32_t v = target_;
        do {
            const int32_t p = predLink_[v];
            event_.Cycle.emplace_back(p > 0 ? p : -p, p > 0 ? 1 : -1);
            v = p > 0 ? origin_[p] : dest_[-p];
        } while (v != target_);
        std::reverse(event_.Cycle.begin(), event_.Cycle.end() - 1);
        std::rotate(event_.Cycle.begin(), event_.Cycle.end() - 1, event_.Cycle.end());
        Emit(SolveEventKind::Augment);
    }

    void EmitPotentials(int64_t delta, int32_t link, int32_t startNode) {
        event_.Delta = delta;
        event_.Link = link;
        event_.Start = startNode;
        event_.Nodes.clear();
        for (int32_t n = 1; n <= nodeCount_; ++n) {
            if (!Labelled(n))
                event_.Nodes.push_back(n);
        }
        Emit(SolveEventKind::Potentials);
    }

    void EmitResume(int32_t link, int32_t startNode) {
        event_.Link = link;
        event_.Start = startNode;
        Emit(SolveEventKind::Resume);
    }

    void EmitInKilter(int32_t l) {
        event_.Link = l;
        Emit(SolveEventKind::InKilter);
    }

    void EmitInfeasible(int32_t l) {
        event_.Link = l;
        event_.Labelled.assign(labelledNodes_, labelledNodes_ + labelledCount_);
        std::sort(event_.Labelled.begin(), event_.Labelled.end());
        event_.Nodes = cut_.Nodes;
        event_.Need = cut_.Need;
        event_.Room = cut_.Room;
        Emit(SolveEventKind::Infeasible);
    }

    // The solve is not yet recorded as the session's last, so CurrentSolution
    // has no total to give here.
    void EmitDone() {
        event_.TotalCost = WideDecimal(ExactTotalCostOf(ws_));
        Emit(SolveEventKind::Done);
    }

    const Workspace& ws_;
    InfeasibilityCut& cut_;
    ProgressSink* progress_;
    SolveObserver* observer_;
    SolveEvent event_;
    KilterScratch& s_;
    const int32_t linkCount_;
    const int32_t nodeCount_;
    const int32_t* origin_;
    const int32_t* dest_;
    const int32_t* lower_;
    const int32_t* upper_;
    const int32_t* cost_;
    int32_t* flow_;
    int32_t* pot_;
    uint32_t* labelStamp_;
    int32_t* labelledNodes_;
    KilterScratch::Frame* stack_;
    int32_t* outPosOf_;
    int32_t* inPosOf_;
    int32_t* crossingLinks_;
    int32_t* crossingReduced_;
    int32_t* predLink_;
    int32_t* amount_;
    int32_t* outLink_;
    int32_t* outDest_;
    int32_t* outCost_;
    int32_t* inLink_;
    int32_t* inOrigin_;
    int32_t* inCost_;
    uint64_t* canIncrease_;
    uint64_t* canDecrease_;
    int32_t* firstOut_;
    int32_t* firstIn_;

    uint32_t pass_ = 0;
    int32_t target_ = 0;
    int32_t labelledCount_ = 0;
    int64_t offset_ = 0;
    int64_t maxStored_ = 0;
    bool stopped_ = false;
    std::string stopReason_;
};

// One run of the algorithm, its outcome told in the status.
template <bool Traced>
void RunInto(Workspace& ws, ProgressSink* progress, SolveObserver* observer, KilterScratch& scratch,
             SolveStatus& status) {
    KilterRun<Traced> run(ws, progress, observer, scratch, status.Cut);
    const int32_t failedLink = run.Run();
    if (run.Stopped()) {
        status.Outcome = SolveOutcome::Stopped;
        status.StopReason = run.StopReason();
    } else if (failedLink != 0) {
        status.Outcome = SolveOutcome::Infeasible;
    }
}

}  // namespace

int64_t WideReducedCost(const Workspace& ws, int32_t link) {
    const int32_t origin = ws.LinkOrigin[link];
    const int64_t o = origin < 0 ? -int64_t{origin} : origin;
    return int64_t{ws.LinkCost[link]} + ws.NodePotential[o] - ws.NodePotential[ws.LinkDest[link]];
}

int32_t ReducedCost(const Workspace& ws, int32_t link) {
    return CheckedNarrow(WideReducedCost(ws, link));
}

KilterInfo KilterState(const Workspace& ws, int32_t link) {
    const int64_t k = KilterNumberOf(WideReducedCost(ws, link), ws.LinkFlow[link],
                                     ws.LinkLower[link], ws.LinkUpper[link]);
    return KilterInfo{k == 0, k};
}

KilterSolver::KilterSolver() : scratch_(std::make_unique<KilterScratch>()) {}

KilterSolver::~KilterSolver() = default;

SolveStatus KilterSolver::Solve(Workspace& ws, ProgressSink* progress, SolveObserver* observer) {
    SolveStatus status;
    if (observer != nullptr)
        RunInto<true>(ws, progress, observer, *scratch_, status);
    else
        RunInto<false>(ws, progress, nullptr, *scratch_, status);
    if (status.IsStopped() && observer != nullptr) {
        SolveEvent stopped;
        stopped.Kind = SolveEventKind::Stopped;
        stopped.Reason = status.StopReason;
        observer->Observe(stopped);
    }
    return status;
}

SolveStatus RunOutOfKilter(Workspace& ws, ProgressSink* progress, SolveObserver* observer) {
    return KilterSolver().Solve(ws, progress, observer);
}

}  // namespace kav

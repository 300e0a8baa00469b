#pragma once

#include <cstdint>
#include <string>

#include "workspace/CheckedArray.h"

namespace kav {

constexpr int32_t MaxLinks = 20000;
constexpr int32_t MaxNodes = 2010;
// Longest node name a file can give; names typed by hand keep at most 10.
constexpr std::size_t MaxNameLength = 12;

// The one problem the program holds: nodes, links, the solver's answer and the
// state flags. Arrays are numbered 1..capacity and allocated once; entries above
// LinkCount / NodeCount are leftovers that are never read. Names are raw bytes
// (shown as Latin-1 by the windows).
struct Workspace {
    int32_t LinkCount = 0;
    int32_t NodeCount = 0;

    CheckedArray<int32_t> LinkOrigin{MaxLinks};
    CheckedArray<int32_t> LinkDest{MaxLinks};
    CheckedArray<int32_t> LinkLower{MaxLinks};
    CheckedArray<int32_t> LinkUpper{MaxLinks};
    CheckedArray<int32_t> LinkCost{MaxLinks};
    CheckedArray<int32_t> LinkFlow{MaxLinks};

    CheckedArray<std::string> NodeName{MaxNodes};
    CheckedArray<int32_t> NodePotential{MaxNodes};

    double TotalCost = 0.0;

    bool DataNotSaved = false;
    bool ResultsNotShown = false;
    bool NetworkChanged = false;
    bool Infeasible = false;
    bool ChecksPassed = false;

    std::string NodeFileName;
    std::string LinkFileName;

    // Counts the edits of the problem and the clearings of its solution. What a
    // solve found out (its cut or its certificate) belongs to the revision it
    // was made at and is stale as soon as the count moves on.
    uint64_t Revision = 0;

    // Zeroes every potential and every flow (whole arrays, leftovers included)
    // and clears NetworkChanged (a new revision).
    void ClearSolution();

    // The Zero button: no links, no nodes, no pending flags. Arrays keep their
    // leftovers.
    void Empty();

    // Back to the state at program start (all zero, empty names, flags false).
    void Reset();
};

// ---- The problem's rules --------------------------------------------------

// Whether node is a number in 1..nodeCount. Every link's two ends must be such
// a node; IsNode asks it of the Workspace's own count.
constexpr bool NodeInRange(int32_t node, int32_t nodeCount) {
    return node >= 1 && node <= nodeCount;
}
bool IsNode(const Workspace& ws, int32_t node);

// What defines one link (its flow is the solver's).
struct LinkData {
    int32_t Origin = 0;
    int32_t Dest = 0;
    int32_t Lower = 0;
    int32_t Upper = 0;
    int32_t Cost = 0;
};

LinkData GetLink(const Workspace& ws, int32_t link);
// Writes link's ends, bounds and cost; its flow is left as it is. Like every
// edit, a new revision.
void SetLink(Workspace& ws, int32_t link, const LinkData& data);
// Link from takes the number to, flow included (links close a gap this way).
void MoveLink(Workspace& ws, int32_t from, int32_t to);

// ---- State changes --------------------------------------------------------
//
// Each event that changes the problem or its solution sets the flags here, so
// that the rules of DataNotSaved, ResultsNotShown and NetworkChanged live in one
// place. Changes of a link's bounds or cost set no flag when they are made:
// the stored flows and potentials stay the next solve's start, and the change
// window marks the problem unsaved when it closes (NoteChangesCommitted).

// A node was added or removed: the problem is unsaved.
void NoteNodesEdited(Workspace& ws);
// A link was added by the link window: unsaved, and the flows no longer fit.
void NoteLinkAdded(Workspace& ws);
// A link was removed by the link window. The later links took their flows
// along; without a link that carried flow the others no longer balance at its
// ends, so they are no solution and no start for the next solve.
void NoteLinkRemoved(Workspace& ws, bool carriedFlow);
// A link was re-routed, or marked or unmarked for removal, in the change
// window: the flows no longer fit (unsaved is noted when the window closes).
void NoteLinkRerouted(Workspace& ws);
// A link's bounds or cost changed in the change window: no flag, but what the
// last solve found out no longer holds.
void NoteLinkValuesEdited(Workspace& ws);
// The change window closed after committing something.
void NoteChangesCommitted(Workspace& ws);
// A solve reached the solver and ended (feasible or not): its results are unseen.
void NoteSolved(Workspace& ws);
// The results window showed the results.
void NoteResultsShown(Workspace& ws);
// A load got past the header check (whether it then succeeded or failed): no
// solution, nothing unsaved, nothing unseen.
void NoteLoaded(Workspace& ws);
// The problem was written to files without an error.
void NoteSaved(Workspace& ws);
// A new problem replaces the old one's solution (the Gen Rand button and the
// random-problem run): no solution, nothing unseen; inFiles says whether the
// problem in memory is also in files.
void NoteNewProblem(Workspace& ws, bool inFiles);

// Who is about to use the stored flows and potentials.
enum class SolutionUse {
    Listing,    // the results list them, also those of an infeasible run
    NextSolve,  // a solve starts from them, but not from an infeasible run's
};
// Zeroes flows and potentials that are stale for that use (ClearSolution).
void ClearStaleSolution(Workspace& ws, SolutionUse use);

// The total cost: cost times flow summed over the links, exactly (a 32-bit
// cost times a 32-bit flow, summed over at most 2^31 links, fits 128 bits).
// The one place the total is computed; TotalCost holds it rounded to double.
__int128 ExactTotalCostOf(const Workspace& ws);

}  // namespace kav

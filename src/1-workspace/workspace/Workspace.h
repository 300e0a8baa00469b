#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "workspace/ReadOnly.h"

namespace kav {

constexpr int32_t MaxLinks = 20000;
constexpr int32_t MaxNodes = 2010;
// Longest node name a file can give; names typed by hand keep at most 10.
constexpr std::size_t MaxNameLength = 12;

// The one problem the program holds: nodes, links, the solver's answer and the
// state flags. Arrays are numbered 1..capacity and allocated once; entries above
// LinkCount / NodeCount are leftovers that are never read. Names are raw bytes
// (shown as Latin-1 by the windows).
//
// Everyone reads the members directly, with the syntax of the plain values
// (ws.LinkCount, ws.LinkFlow[k], ws.NodeFileName.empty()). Each member is a
// read-only wrapper whose writing side only workspace/Workspace.cpp reaches,
// so the compiler refuses any other write: the program changes the problem
// only through the operations below (edits, loads, the Note* state changes and
// the solve's SolutionToImprove), and each rule about what an edit does to the
// flags and the revision lives in one place. A copy is a new Workspace;
// assigning over one would write it and is refused.
struct Workspace {
    ReadOnly<int32_t> LinkCount;
    ReadOnly<int32_t> NodeCount;

    CheckedArray<int32_t> LinkOrigin{MaxLinks};
    CheckedArray<int32_t> LinkDest{MaxLinks};
    CheckedArray<int32_t> LinkLower{MaxLinks};
    CheckedArray<int32_t> LinkUpper{MaxLinks};
    CheckedArray<int32_t> LinkCost{MaxLinks};
    CheckedArray<int32_t> LinkFlow{MaxLinks};

    CheckedArray<std::string> NodeName{MaxNodes};
    CheckedArray<int32_t> NodePotential{MaxNodes};

    ReadOnly<double> TotalCost;

    ReadOnly<bool> DataNotSaved;
    ReadOnly<bool> ResultsNotShown;
    ReadOnly<bool> NetworkChanged;
    ReadOnly<bool> Infeasible;
    ReadOnly<bool> ChecksPassed;

    ReadOnlyText NodeFileName;
    ReadOnlyText LinkFileName;

    // Counts the edits of the problem and the clearings of its solution. What a
    // solve found out (its cut or its certificate) belongs to the revision it
    // was made at and is stale as soon as the count moves on.
    ReadOnly<uint64_t> Revision;

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

// ---- Edits ----------------------------------------------------------------
//
// Each is a new revision; the flags are the Note* functions' business.

// Appends a node named name with potential 0 and returns its number. Throws
// RangeError when the node table is full.
int32_t AppendNode(Workspace& ws, const std::string& name);
void SetNodeName(Workspace& ws, int32_t node, const std::string& name);
// Removes node: the later names and potentials move down, and so do the node
// numbers in the links' ends (a removal mark, the origin's sign, stays), so
// each link keeps its two named ends.
void RemoveNodeAt(Workspace& ws, int32_t node);
// The converse of RemoveNodeAt: node becomes a new node named name with
// potential 0, the later names and potentials move up, and so do the node
// numbers in the links' ends. Throws RangeError when the node table is full.
void InsertNodeAt(Workspace& ws, int32_t node, const std::string& name);

// Appends a link with flow 0 and returns its number. Throws RangeError when
// the link table is full.
int32_t AppendLink(Workspace& ws, const LinkData& data);

// Whether the flows of the links that close a gap go along with them.
enum class FlowsOnRemoval {
    MoveAlong,    // each link keeps its flow
    StayInPlace,  // the flows stay at their numbers (a discarded solution)
};
// Drops every link for which drop(link) is true; the others keep their order
// and are renumbered from 1.
void RemoveLinks(Workspace& ws, const std::function<bool(int32_t)>& drop, FlowsOnRemoval flows);

// The problem now has links links and nodes nodes: the loads and the
// generator write entries 1..links and 1..nodes first, then set the counts.
void SetProblemSize(Workspace& ws, int32_t links, int32_t nodes);

// The files the problem was loaded from or is saved to.
void SetFileNames(Workspace& ws, std::string nodeFile, std::string linkFile);

// The arrays a solve improves in place, element k at [k]. The solver is their
// only writer through these; its loops index them directly.
struct SolutionArrays {
    int32_t* Flow;
    int32_t* Potential;
};
SolutionArrays SolutionToImprove(Workspace& ws);
// Puts flows and potentials in place, element k at [k] (element 0 unused), as
// far as both the vectors and the problem reach; the rest stay as they are.
void SetSolution(Workspace& ws, const std::vector<int32_t>& flows,
                 const std::vector<int32_t>& potentials);

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
// The problem's checks ran: whether they found nothing.
void NoteChecked(Workspace& ws, bool passed);
// A solve reached the solver and ended, feasible or not (infeasible): its
// results are unseen. The solve's status is the one source of Infeasible.
void NoteSolved(Workspace& ws, bool infeasible);
// A solve was stopped: its partial flows and potentials are no solution, and
// the next solve and the results start again from zero.
void NoteSolveStopped(Workspace& ws);
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

// What an undo or redo that put a recorded problem back did to the solution.
enum class SolutionPutBack {
    Kept,     // the network is as it was: flows and potentials stand
    Stale,    // links came back or were re-routed: the flows no longer fit
    Cleared,  // a whole problem came back (a load or Zero undone): no solution, nothing unseen
};
// An undo or redo put a recorded problem back; unsaved: it differs from the
// problem last loaded or saved.
void NoteProblemPutBack(Workspace& ws, bool unsaved, SolutionPutBack solution);

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

// TotalCost := the exact total cost (ExactTotalCostOf), rounded to double.
void ComputeTotalCost(Workspace& ws);

}  // namespace kav

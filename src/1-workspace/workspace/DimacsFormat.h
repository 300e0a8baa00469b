#pragma once

#include <string>

#include "workspace/ProblemFiles.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace kav {

// The DIMACS minimum-cost flow format: "p min NODES ARCS", "n ID SUPPLY",
// "a FROM TO LOW CAP COST" and comment lines "c". Node names travel in comment
// lines "c name ID NAME", which other readers skip.

// The name of the node added when a problem has supplies and demands.
inline const char* const SupplyNodeName = "SUPPLY";

// Reads a DIMACS problem into the Workspace. A problem with supplies becomes a
// circulation through one extra node SUPPLY: a link SUPPLY->node with lower =
// upper = supply for each supply, node->SUPPLY with lower = upper = demand for
// each demand. A node that then still has no leaving or no entering link gets
// SUPPLY->node and node->SUPPLY with bounds 0..0 and cost 0 after them (SUPPLY
// is added for these too), told in one information line. Nodes without a name
// line are named by their number; "c name" before a word that is not a
// number is a comment. Any fault
// (unknown line, missing or repeated problem line, a number outside 32 bits, an
// arc end outside 1..NODES, arc count unlike the problem line, supplies that do
// not sum to 0, more links or nodes than the Workspace holds) leaves the
// Workspace as it was (Refused) and gives a report that the caller shows: one
// warning naming the line, and a beep. A
// successful read replaces the problem, clears the solution and the flags and
// stores fileName as ws.NodeFileName (ws.LinkFileName becomes empty).
LoadResult ReadDimacsText(Workspace& ws, const std::string& text, const std::string& fileName);
// The same for a file; an unreadable file is refused with its name.
LoadResult ReadDimacsFile(Workspace& ws, const std::string& fileName);

// The problem as a DIMACS circulation (no "n" lines), with a "c name" line for
// every node. Lines end LF.
std::string FormatDimacsProblem(const Workspace& ws);

// The solution lines: "s COST" with the current solution's exact total (a sum
// that may exceed 64 bits) and one "f FROM TO FLOW" per link in link order.
std::string FormatDimacsSolution(const Workspace& ws, __int128 total);

// Whether a file reads as DIMACS: its first line that is neither blank nor a
// comment ("c") is a problem line "p min ..." (a CR before the LF does not
// count; a line longer than the reader takes says no).
bool HasDimacsContent(const std::string& fileName);

// Reads a DIMACS problem from standard input (named "-" in messages).
LoadResult ReadDimacsStandardInput(Workspace& ws);

// Whether a file name ends ".min" (any case).
bool IsDimacsFileName(const std::string& fileName);

}  // namespace kav

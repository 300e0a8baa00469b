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

    // Zeroes every potential and every flow (whole arrays, leftovers included)
    // and clears NetworkChanged.
    void ClearSolution();

    // The Zero button: no links, no nodes, no pending flags. Arrays keep their
    // leftovers.
    void Empty();

    // Back to the state at program start (all zero, empty names, flags false).
    void Reset();
};

// The program-wide Workspace.
Workspace& TheWorkspace();

}  // namespace kav

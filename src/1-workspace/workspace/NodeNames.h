#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workspace/Workspace.h"

namespace kav {

// A node name or a typed name without the blanks (code 32) at either end, as
// the texts that name a node show it; tabs stay.
std::string TrimmedName(std::string_view name);

// A name read from a node file loses its leading blanks only.
std::string WithoutLeadingBlanks(std::string_view name);

// What a search for a node outside the editing windows found.
struct NodeSearch {
    int32_t node = 0;  // 0: none
    // The nodes sharing a name that found no node: more than one has it.
    std::vector<int32_t> namesakes;
};

// The one rule for finding a node by what a user typed (the picture window's
// node search, the command line's --around): the text and the names are
// compared trimmed, byte for byte; a name only one node has finds it;
// otherwise a whole number 1..NodeCount finds the node of that number;
// otherwise several nodes of that name are reported with their numbers. The
// editing windows find a name exactly as typed (FindNodeByName) instead.
NodeSearch FindNodeByNameOrNumber(const Workspace& ws, std::string_view typed);

// "2 nodes are named C (3 and 4)", in the name's own bytes.
std::string NamesakesText(std::string_view typed, const std::vector<int32_t>& namesakes);

}  // namespace kav

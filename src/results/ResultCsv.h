#pragma once

#include <string>

#include "results/ResultLines.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace kav {

// The header row of the results table.
inline constexpr char ResultCsvHeader[] =
    "row,number,origin,destination,lower,upper,cost,flow,reduced_cost,out_of_kilter,name,"
    "potential";

// The listed links and nodes as one RFC 4180 table in UTF-8 (names are taken
// as Latin-1), CR LF line ends: the header row, one "link" row per listed link
// (number, origin and destination names, lower, upper, cost, flow, reduced
// cost, "*" when out of kilter) and one "node" row per listed node (number,
// name, potential), in the order of the lists.
std::string FormatResultsCsv(const Workspace& ws, const ResultLists& lists);

// The results window's Export: asks for a file in a save dialog (again after
// the user declines to replace an existing one; the question's default is
// No), writes the table of the listed lines through a ReplacementFile and
// says where it went or why it failed. Nothing happens when the dialog is
// cancelled.
void ExportResults(const Workspace& ws, const ResultLists& lists, Prompts& prompts);

}  // namespace kav

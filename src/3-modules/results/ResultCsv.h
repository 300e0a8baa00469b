#pragma once

#include <string>
#include <vector>

#include "results/ResultLines.h"
#include "solver/LastSolve.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace kav {

// The header row of the results table.
inline constexpr char ResultCsvHeader[] =
    "row,number,origin,destination,lower,upper,cost,flow,reduced_cost,out_of_kilter,name,"
    "potential,origin_number,destination_number";

// One CSV field: a name (Latin-1) in UTF-8, with a leading ' when it starts
// like a formula, quoted when it holds a comma, a quote, a line break or a
// blank at either end.
std::string CsvField(const std::string& text);
// Node's name as a CSV field; empty for a number that is no node.
std::string CsvNameOf(const Workspace& ws, int32_t node);

// The listed links and nodes as one RFC 4180 table in UTF-8 (names are taken
// as Latin-1), CR LF line ends: the header row, one "link" row per listed link
// (number, origin and destination names, lower, upper, cost, flow, reduced
// cost, "*" when out of kilter, origin and destination numbers) and one
// "node" row per listed node (number, name, potential), in the order of the
// lists; then a "total" row with the solution's exact total and a "status" row
// naming the outcome (optimal or infeasible). Every row has the header's 14
// fields. A name that starts with =, +, -, @, a tab or a CR gets a leading
// ' so that spreadsheets do not run it as a formula.
std::string FormatResultsCsv(const Workspace& ws, const ResultLists& lists,
                             const SolutionState& solution);

// The results window's Export: asks for a file (ChooseFileToWrite, the
// problem's own files, protectedFiles, refused), writes the table of the
// listed lines through WriteFile and gives the message saying where it went or
// why it failed. Nothing to tell when the dialog is cancelled.
Report ExportResults(const Workspace& ws, const ResultLists& lists, const SolutionState& solution,
                     const std::vector<std::string>& protectedFiles, FileQuestions& questions);

}  // namespace kav

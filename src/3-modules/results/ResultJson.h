#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "results/ResultLines.h"
#include "solver/LastSolve.h"
#include "workspace/Workspace.h"

namespace kav {

// The results of a solve as one JSON object for scripts, in UTF-8 (names are
// taken as Latin-1), ending with a line break. Every number is an exact JSON
// integer, the total too (it may pass 2^63).
//
//   status       "optimal" or "infeasible"
//   total_cost   the solution's exact total
//   certificate  (optimal) {"checked", "optimal", "links", "nodes"} and
//                "failure" when the check failed
//   infeasible   (infeasible) {"failed_link", "cut"}; cut is {"nodes" (their
//                numbers), "need", "room"}, or null for a set that proves
//                nothing
//   links        the listed links in the lists' order: number, origin,
//                origin_name, destination, destination_name, lower, upper,
//                cost, flow, reduced_cost, in_kilter, kilter_number, then
//                whatever `moreLinkFields` gives
//   nodes        the listed nodes: number, name, potential
//
// moreLinkFields, when set, gives further members of a link's object, each
// written `"name":value` and separated by commas (the what-if figures of a
// link go here).
using JsonLinkFields = std::function<std::string(int32_t link)>;
std::string FormatResultsJson(const Workspace& ws, const ResultLists& lists,
                              const SolutionState& solution,
                              const JsonLinkFields& moreLinkFields = {});

// A run that has no results: {"status": status, key: the text} for one
// reason, or with a list of texts (the failed checks, one a line).
std::string FormatUnsolvedJson(const std::string& status, const std::string& key,
                               const std::string& text);
std::string FormatUnsolvedJson(const std::string& status, const std::string& key,
                               const std::vector<std::string>& texts);

// A text as a JSON string, quotes included. The text must be UTF-8; a byte
// that is not is written as the characters \xNN.
std::string JsonString(const std::string& utf8);

}  // namespace kav

#pragma once

#include <string>
#include <vector>

#include "results/ResultLines.h"

namespace kav {

// The type size and weight of one report line.
enum class ReportStyle {
    Title,    // 18 points
    Body,     // 10 points
    Heading,  // 10 points, bold
    Large,    // 12 points (the kilter texts and the total)
};

struct ReportLine {
    std::string text;
    ReportStyle style = ReportStyle::Body;
};

// What one report shows: the column headings, the listed lines, the kilter
// note and warning (empty when not shown), the total cost text and the
// optimality line (empty when the shown solution is not the last solve's).
// A report with a list title is that one titled list alone.
struct ReportContent {
    std::string listTitle;
    std::string linkHeading = LinkHeading;
    std::vector<std::string> linkLines;
    std::string nodeHeading = NodeHeading;
    std::vector<std::string> nodeLines;
    std::string outOfKilterNote;
    std::string kilterWarning;
    std::string totalCost;
    std::string optimality;
};

// The report's lines in order, empty lines included: link list, node list,
// the kilter warning when shown, the total cost, then the optimality line. The printed report and
// the command line's text output both come from here.
std::vector<ReportLine> BuildReportLines(const ReportContent& content);

// The report's content for lists built from the Workspace (what the results
// window shows for the same order and selection).
ReportContent ReportContentOf(const ResultLists& lists, double totalCost);
// The same with the current solution's total (rounded to double, as the
// results window shows TotalCost) and its optimality line.
ReportContent ReportContentOf(const ResultLists& lists, const SolutionState& solution);

}  // namespace kav

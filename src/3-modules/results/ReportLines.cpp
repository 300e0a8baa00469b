#include "results/ReportLines.h"

namespace kav {
namespace {

void AddListSection(std::vector<ReportLine>& lines, const std::string& title,
                    const std::string& heading, const std::vector<std::string>& listed) {
    lines.push_back({title, ReportStyle::Title});
    lines.push_back({"", ReportStyle::Body});
    lines.push_back({"", ReportStyle::Body});
    lines.push_back({heading, ReportStyle::Heading});
    lines.push_back({"", ReportStyle::Body});
    for (const std::string& line : listed)
        lines.push_back({line, ReportStyle::Body});
}

}  // namespace

std::vector<ReportLine> BuildReportLines(const ReportContent& content) {
    std::vector<ReportLine> lines;
    lines.reserve(content.linkLines.size() + content.nodeLines.size() + 24);
    if (!content.listTitle.empty()) {
        AddListSection(lines, content.listTitle, content.linkHeading, content.linkLines);
        return lines;
    }
    AddListSection(lines, "LINK LIST", content.linkHeading, content.linkLines);
    if (!content.outOfKilterNote.empty()) {
        lines.push_back({"", ReportStyle::Body});
        lines.push_back({content.outOfKilterNote, ReportStyle::Large});
    }
    lines.push_back({"", ReportStyle::Body});
    lines.push_back({"", ReportStyle::Body});
    AddListSection(lines, "NODE LIST", content.nodeHeading, content.nodeLines);
    lines.push_back({"", ReportStyle::Body});
    lines.push_back({"", ReportStyle::Body});
    if (!content.kilterWarning.empty()) {
        lines.push_back({"", ReportStyle::Large});
        lines.push_back({content.kilterWarning, ReportStyle::Large});
    }
    lines.push_back({content.totalCost, ReportStyle::Large});
    if (!content.optimality.empty())
        lines.push_back({content.optimality, ReportStyle::Large});
    return lines;
}

ReportContent ReportContentOf(const ResultLists& lists, double totalCost) {
    ReportContent content;
    content.linkLines = lists.links;
    content.nodeLines = lists.nodes;
    if (lists.WarningsShown()) {
        content.outOfKilterNote = OutOfKilterNote;
        content.kilterWarning = KilterWarningText;
    }
    content.totalCost = TotalCostText(totalCost);
    return content;
}

ReportContent ReportContentOf(const ResultLists& lists, const SolutionState& solution) {
    ReportContent content = ReportContentOf(lists, static_cast<double>(solution.total));
    content.optimality = OptimalityClaim(solution).text;
    return content;
}

}  // namespace kav

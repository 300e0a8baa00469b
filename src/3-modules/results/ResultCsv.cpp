#include "results/ResultCsv.h"

#include "solver/KiltSolve.h"
#include "workspace/FileChoice.h"
#include "workspace/NumberFormat.h"
#include "workspace/ProblemWriter.h"
#include "workspace/TextEncoding.h"

namespace kav {

// A field quoted when it holds a comma, a quote, a line break or a blank at
// either end (which some readers would drop).
std::string CsvField(const std::string& text) {
    // A name that starts like a formula would be run by a spreadsheet.
    const bool formula =
        !text.empty() && std::string("=+-@\t\r").find(text.front()) != std::string::npos;
    const std::string utf8 = (formula ? "'" : "") + Latin1ToUtf8(text);
    const bool quote = utf8.find_first_of(",\"\r\n") != std::string::npos ||
                       (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' '));
    if (!quote)
        return utf8;
    std::string quoted = "\"";
    for (const char c : utf8) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvNameOf(const Workspace& ws, int32_t node) {
    return IsNode(ws, node) ? CsvField(ws.NodeName[node]) : std::string();
}

std::string FormatResultsCsv(const Workspace& ws, const ResultLists& lists,
                             const SolutionState& solution) {
    std::string csv = std::string(ResultCsvHeader) + "\r\n";
    for (const int32_t k : lists.linkNumbers) {
        csv += "link," + std::to_string(k) + "," + CsvNameOf(ws, ws.LinkOrigin[k]) + "," +
               CsvNameOf(ws, ws.LinkDest[k]) + "," + std::to_string(ws.LinkLower[k]) + "," +
               std::to_string(ws.LinkUpper[k]) + "," + std::to_string(ws.LinkCost[k]) + "," +
               std::to_string(ws.LinkFlow[k]) + "," + std::to_string(WideReducedCost(ws, k)) + "," +
               (LinkInKilter(ws, k) ? "" : "*") + ",,," + std::to_string(ws.LinkOrigin[k]) + "," +
               std::to_string(ws.LinkDest[k]) + "\r\n";
    }
    for (const int32_t n : lists.nodeNumbers) {
        csv += "node," + std::to_string(n) + ",,,,,,,,," + CsvField(ws.NodeName[n]) + "," +
               std::to_string(ws.NodePotential[n]) + ",,\r\n";
    }
    csv += "total,,,,,," + WideDecimal(solution.total) + ",,,,,,,\r\n";
    csv += std::string("status,,,,,,,,,,") + (ws.Infeasible ? "infeasible" : "optimal") + ",,,\r\n";
    return csv;
}

Report ExportResults(const Workspace& ws, const ResultLists& lists, const SolutionState& solution,
                     const std::vector<std::string>& protectedFiles, FileQuestions& questions) {
    FileToWrite request;
    request.dialog = [] {
        return FileDialogRequest{
            "Export the results", {{"CSV files", "*.csv"}, {"All Files", "*.*"}}, ""};
    };
    request.protectedFiles = protectedFiles;
    Report report;
    const std::string fileName = ChooseFileToWrite(questions, request);
    if (fileName.empty())
        return report;
    const WriteResult written =
        WriteFile(fileName, FormatResultsCsv(ws, lists, solution), request.protectedFiles);
    if (written)
        report.Box(MsgKind::Information, "The results were written to\r" + fileName);
    else
        report.Box(MsgKind::Error, "The results could not be written to\r" + fileName + "\r(" +
                                       written.Reason() + ")");
    return report;
}

}  // namespace kav

#include "results/ResultJson.h"

#include <cstdio>

#include "solver/KiltSolve.h"
#include "workspace/NumberFormat.h"
#include "workspace/TextEncoding.h"

namespace kav {
namespace {

std::string Hex(const char* format, unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// "name":value
std::string Member(const std::string& name, const std::string& value) {
    return JsonString(name) + ":" + value;
}

std::string Number(int64_t value) {
    return std::to_string(value);
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

std::string NameOf(const Workspace& ws, int32_t node) {
    return IsNode(ws, node) ? JsonString(Latin1ToUtf8(ws.NodeName[node])) : "null";
}

std::string LinkObject(const Workspace& ws, int32_t k, const JsonLinkFields& more) {
    const KilterInfo kilter = KilterState(ws, k);
    std::string object =
        "{" + Member("number", Number(k)) + "," + Member("origin", Number(ws.LinkOrigin[k])) + "," +
        Member("origin_name", NameOf(ws, ws.LinkOrigin[k])) + "," +
        Member("destination", Number(ws.LinkDest[k])) + "," +
        Member("destination_name", NameOf(ws, ws.LinkDest[k])) + "," +
        Member("lower", Number(ws.LinkLower[k])) + "," + Member("upper", Number(ws.LinkUpper[k])) +
        "," + Member("cost", Number(ws.LinkCost[k])) + "," +
        Member("flow", Number(ws.LinkFlow[k])) + "," +
        Member("reduced_cost", Number(WideReducedCost(ws, k))) + "," +
        Member("in_kilter", Bool(kilter.InKilter)) + "," +
        Member("kilter_number", Number(kilter.KilterNumber));
    if (more) {
        if (const std::string fields = more(k); !fields.empty())
            object += "," + fields;
    }
    return object + "}";
}

std::string NodeObject(const Workspace& ws, int32_t n) {
    return "{" + Member("number", Number(n)) + "," +
           Member("name", JsonString(Latin1ToUtf8(ws.NodeName[n]))) + "," +
           Member("potential", Number(ws.NodePotential[n])) + "}";
}

// One element a line, so that the file also reads well by eye.
template <class Element>
std::string Array(const std::vector<int32_t>& numbers, Element&& element) {
    if (numbers.empty())
        return "[]";
    std::string array = "[\n";
    for (std::size_t i = 0; i < numbers.size(); ++i)
        array += "  " + element(numbers[i]) + (i + 1 < numbers.size() ? ",\n" : "\n");
    return array + "]";
}

std::string CertificateObject(const OptimalityCertificate& certificate) {
    std::string object = "{" + Member("checked", Bool(certificate.Checked)) + "," +
                         Member("optimal", Bool(certificate.Ok)) + "," +
                         Member("links", Number(certificate.Links)) + "," +
                         Member("nodes", Number(certificate.Nodes));
    if (!certificate.Ok)
        object += "," + Member("failure", JsonString(Latin1ToUtf8(certificate.Failure)));
    return object + "}";
}

std::string InfeasibleObject(const InfeasibilityCut& cut) {
    std::string cutObject = "null";
    if (cut.Confirmed) {
        std::string nodes;
        for (const int32_t node : cut.Nodes)
            nodes += (nodes.empty() ? "" : ",") + Number(node);
        cutObject = "{" + Member("nodes", "[" + nodes + "]") + "," +
                    Member("need", Number(cut.Need)) + "," + Member("room", Number(cut.Room)) + "}";
    }
    return "{" + Member("failed_link", Number(cut.FailedLink)) + "," + Member("cut", cutObject) +
           "}";
}

}  // namespace

std::string JsonString(const std::string& utf8) {
    std::string json = "\"";
    DecodeUtf8(
        utf8,
        [&](uint32_t code, const std::string& character) {
            if (code == '"' || code == '\\')
                json += '\\' + character;
            else if (code == '\n')
                json += "\\n";
            else if (code < 0x20)
                json += Hex("\\u%04x", code);
            else
                json += character;
        },
        [&](unsigned char byte) { json += Hex("\\\\x%02X", byte); });
    return json + "\"";
}

std::string FormatResultsJson(const Workspace& ws, const ResultLists& lists,
                              const SolutionState& solution, const JsonLinkFields& moreLinkFields) {
    std::string json = "{" + Member("status", JsonString(ws.Infeasible ? "infeasible" : "optimal"));
    json += ",\n" + Member("total_cost", WideDecimal(solution.total));
    if (const OptimalityCertificate* certificate = solution.Certificate())
        json += ",\n" + Member("certificate", CertificateObject(*certificate));
    if (const InfeasibilityCut* cut = solution.Cut())
        json += ",\n" + Member("infeasible", InfeasibleObject(*cut));
    json += ",\n" + Member("links", Array(lists.linkNumbers, [&](int32_t k) {
                               return LinkObject(ws, k, moreLinkFields);
                           }));
    json += ",\n" +
            Member("nodes", Array(lists.nodeNumbers, [&](int32_t n) { return NodeObject(ws, n); }));
    return json + "}\n";
}

std::string FormatUnsolvedJson(const std::string& status, const std::string& key,
                               const std::string& text) {
    return "{" + Member("status", JsonString(status)) + ",\n" + Member(key, JsonString(text)) +
           "}\n";
}

std::string FormatUnsolvedJson(const std::string& status, const std::string& key,
                               const std::vector<std::string>& texts) {
    std::string list;
    for (const std::string& text : texts)
        list += (list.empty() ? "" : ",") + JsonString(text);
    return "{" + Member("status", JsonString(status)) + ",\n" + Member(key, "[" + list + "]") +
           "}\n";
}

}  // namespace kav

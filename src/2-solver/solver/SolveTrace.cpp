#include "solver/SolveTrace.h"

#include <cstdio>

#include "workspace/NodeNames.h"
#include "workspace/TextEncoding.h"
#include "workspace/Workspace.h"

namespace kav {
namespace {

void Key(std::string& out, const char* key) {
    out += ",\"";
    out += key;
    out += "\":";
}

void Number(std::string& out, const char* key, int64_t value) {
    Key(out, key);
    out += std::to_string(value);
}

void List(std::string& out, const char* key, const std::vector<int32_t>& values) {
    Key(out, key);
    out += '[';
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += ',';
        out += std::to_string(values[i]);
    }
    out += ']';
}

// text as a JSON string.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

void Text(std::string& out, const char* key, const std::string& text) {
    Key(out, key);
    out += Quoted(text);
}

const char* NameOf(SolveEventKind kind) {
    switch (kind) {
        case SolveEventKind::Start:
            return "start";
        case SolveEventKind::Link:
            return "link";
        case SolveEventKind::Pass:
            return "pass";
        case SolveEventKind::Label:
            return "label";
        case SolveEventKind::Augment:
            return "augment";
        case SolveEventKind::Potentials:
            return "potentials";
        case SolveEventKind::Resume:
            return "resume";
        case SolveEventKind::InKilter:
            return "in_kilter";
        case SolveEventKind::Done:
            return "done";
        case SolveEventKind::Infeasible:
            return "infeasible";
        case SolveEventKind::Stopped:
            return "stopped";
    }
    return "unknown";
}

// "names" and "link_data" of the start.
void ProblemData(std::string& out, const Workspace& ws) {
    Key(out, "names");
    out += '[';
    for (int32_t n = 1; n <= ws.NodeCount; ++n) {
        out += (n > 1 ? "," : "") + Quoted(Latin1ToUtf8(TrimmedName(ws.NodeName[n])));
    }
    out += ']';
    Key(out, "link_data");
    out += '[';
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        out += k > 1 ? ",[" : "[";
        for (const int64_t value :
             {static_cast<int64_t>(ws.LinkOrigin[k]), static_cast<int64_t>(ws.LinkDest[k]),
              static_cast<int64_t>(ws.LinkLower[k]), static_cast<int64_t>(ws.LinkUpper[k]),
              static_cast<int64_t>(ws.LinkCost[k])})
            out += std::to_string(value) + ',';
        out.back() = ']';
    }
    out += ']';
}

}  // namespace

std::string TraceLine(const SolveEvent& e, const Workspace* problem) {
    std::string out = "{\"event\":\"";
    out += NameOf(e.Kind);
    out += '"';
    switch (e.Kind) {
        case SolveEventKind::Start:
            Number(out, "links", static_cast<int64_t>(e.Flows.size()));
            Number(out, "nodes", static_cast<int64_t>(e.NodePotentials.size()));
            List(out, "flows", e.Flows);
            List(out, "potentials", e.NodePotentials);
            if (problem != nullptr)
                ProblemData(out, *problem);
            break;
        case SolveEventKind::Link:
            Number(out, "link", e.Link);
            Number(out, "kilter", e.Kilter);
            Number(out, "flow", e.Flow);
            Number(out, "lower", e.Lower);
            Number(out, "upper", e.Upper);
            Number(out, "reduced_cost", e.ReducedCost);
            break;
        case SolveEventKind::Pass:
            Number(out, "link", e.Link);
            Number(out, "start", e.Start);
            Number(out, "target", e.Target);
            Number(out, "amount", e.Amount);
            break;
        case SolveEventKind::Label:
            Number(out, "node", e.Node);
            Number(out, "via", e.Via);
            Number(out, "amount", e.Amount);
            break;
        case SolveEventKind::Augment:
            Number(out, "amount", e.Amount);
            Key(out, "links");
            out += '[';
            for (std::size_t i = 0; i < e.Cycle.size(); ++i) {
                if (i > 0)
                    out += ',';
                out += '[' + std::to_string(e.Cycle[i].first) + ',' +
                       std::to_string(e.Cycle[i].second) + ']';
            }
            out += ']';
            break;
        case SolveEventKind::Potentials:
            Number(out, "delta", e.Delta);
            List(out, "nodes", e.Nodes);
            Number(out, "link", e.Link);
            Number(out, "start", e.Start);
            break;
        case SolveEventKind::Resume:
            Number(out, "link", e.Link);
            Number(out, "start", e.Start);
            break;
        case SolveEventKind::InKilter:
            Number(out, "link", e.Link);
            break;
        case SolveEventKind::Done:
            Key(out, "total_cost");
            out += e.TotalCost;
            break;
        case SolveEventKind::Infeasible:
            Number(out, "link", e.Link);
            List(out, "labelled", e.Labelled);
            List(out, "nodes", e.Nodes);
            Number(out, "need", e.Need);
            Number(out, "room", e.Room);
            break;
        case SolveEventKind::Stopped:
            Text(out, "reason", e.Reason);
            break;
    }
    out += '}';
    return out;
}

}  // namespace kav

#include "editing/StepNames.h"

#include <cstdlib>

#include "editing/EditingLines.h"

namespace kav {
namespace {

std::string LinkEnds(const Workspace& ws, int32_t origin, int32_t dest) {
    return EndName(ws, origin) + " to " + EndName(ws, dest);
}

// "link 5" for one, "3 links" for more.
std::string Links(int32_t count, int32_t link) {
    return count == 1 ? "link " + std::to_string(link) : std::to_string(count) + " links";
}

}  // namespace

const char* const ZeroStep = "zero all data";
const char* const GenerateStep = "generate a random problem";

std::string AddNodeStep(const std::string& name) {
    return "add node " + name;
}

std::string RemoveNodeStep(const Workspace& ws, int32_t node) {
    return "remove node " + (IsNode(ws, node) ? std::string(ws.NodeName[node]) : std::string());
}

std::string AddLinkStep(const Workspace& ws, const NewLink& link) {
    return "add link " + LinkEnds(ws, link.origin, link.dest);
}

std::string RemoveLinkStep(const Workspace& ws, int32_t link) {
    if (link < 1 || link > ws.LinkCount)
        return "remove link";
    return "remove link " + std::to_string(link) + " (" +
           LinkEnds(ws, OriginNode(ws, link), ws.LinkDest[link]) + ")";
}

std::string ChangeVisitStep(const ProblemCopy& before, const Workspace& ws) {
    int32_t changed = 0;
    int32_t lastChanged = 0;
    int32_t removed = 0;
    int32_t lastRemoved = 0;
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        if (IsMarked(ws, k)) {
            ++removed;
            lastRemoved = k;
            continue;
        }
        const LinkData now = GetLink(ws, k);
        const bool known = static_cast<std::size_t>(k) <= before.links.size();
        const LinkData was = known ? before.links[static_cast<std::size_t>(k - 1)] : LinkData{};
        if (!known || now.Origin != was.Origin || now.Dest != was.Dest || now.Lower != was.Lower ||
            now.Upper != was.Upper || now.Cost != was.Cost) {
            ++changed;
            lastChanged = k;
        }
    }
    std::string name;
    if (changed > 0)
        name = "change " + Links(changed, lastChanged);
    if (removed > 0)
        name += (name.empty() ? "remove " : ", remove ") + Links(removed, lastRemoved);
    return name.empty() ? "change links" : name;
}

std::string LoadStep(const Workspace& ws) {
    const std::string& file = ws.NodeFileName;
    return "load " + file.substr(file.find_last_of('/') + 1);
}

std::string UndoneText(const std::string* step) {
    return step ? "Undone: " + *step : "Nothing to undo";
}

std::string RedoneText(const std::string* step) {
    return step ? "Redone: " + *step : "Nothing to redo";
}

}  // namespace kav

#include "editing/EditingLines.h"

#include "editing/EditingOps.h"
#include "solver/PadText.h"

namespace kav {

std::string EndName(const Workspace& ws, int32_t node) {
    if (IsNode(ws, node))
        return ws.NodeName[node];
    return "#" + std::to_string(node);
}

std::string NodeListLine(const Workspace& ws, int32_t node) {
    return PadNumber(node, 4) + "   " + ws.NodeName[node];
}

std::string NodeCountText(int32_t count) {
    return std::to_string(count) + " Nodes have been specified";
}

std::string LinkTableLine(const Workspace& ws, int32_t link) {
    return PadNumber(link, 4) + "  " + PadText(EndName(ws, ws.LinkOrigin[link]), 10) + "  " +
           PadText(EndName(ws, ws.LinkDest[link]), 10) + "  " + PadNumber(ws.LinkLower[link], 5) +
           "  " + PadNumber(ws.LinkUpper[link], 5) + "  " + PadNumber(ws.LinkCost[link], 8);
}

std::string SpokenLinkTableLine(const Workspace& ws, int32_t link) {
    return "link " + std::to_string(link) + ", origin " + EndName(ws, ws.LinkOrigin[link]) +
           ", destination " + EndName(ws, ws.LinkDest[link]) + ", lower " +
           std::to_string(ws.LinkLower[link]) + ", upper " + std::to_string(ws.LinkUpper[link]) +
           ", cost " + std::to_string(ws.LinkCost[link]);
}

std::string ChangeListLine(const Workspace& ws, int32_t link) {
    const int64_t shownNumber = IsMarked(ws, link) ? -int64_t{link} : link;
    return PadNumber(shownNumber, 4) + " " + PadText(EndName(ws, OriginNode(ws, link)), 10) + " " +
           PadText(EndName(ws, ws.LinkDest[link]), 10) + " " + PadNumber(ws.LinkLower[link], 5) +
           "      " + PadNumber(ws.LinkUpper[link], 5) + "  " + PadNumber(ws.LinkCost[link], 8);
}

std::string ChangeListHeader() {
    return "Link #     Orig       Dest   MinFlow   MaxFlow   UnitCost";
}

std::string RemovalCountText(int32_t marked) {
    return std::to_string(marked) + " Links Designated for Removal";
}

}  // namespace kav

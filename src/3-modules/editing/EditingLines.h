#pragma once

#include <cstdint>
#include <string>

#include "workspace/Workspace.h"

namespace kav {

// Lines of the editing windows' lists, shown in a fixed-pitch font.

// The name of a link's end node. A number that names no node (a hand-edited
// link file can hold one) shows as '#' and the number, so that the link can
// still be listed and re-routed.
std::string EndName(const Workspace& ws, int32_t node);

// Node list of the node window and the two node lists of the link window.
std::string NodeListLine(const Workspace& ws, int32_t node);
// "<count> Nodes have been specified"
std::string NodeCountText(int32_t count);

// The link table of the link window.
std::string LinkTableLine(const Workspace& ws, int32_t link);
// The same line as a screen reader speaks it, each value after its column's name.
std::string SpokenLinkTableLine(const Workspace& ws, int32_t link);

// The link list of the change window; a link marked for removal shows its
// number negative.
std::string ChangeListLine(const Workspace& ws, int32_t link);
std::string ChangeListHeader();
// "<count> Links Designated for Removal"
std::string RemovalCountText(int32_t marked);

}  // namespace kav

#pragma once

#include <cstdint>
#include <string>

#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace kav {

// Names typed by hand keep at most this many characters.
constexpr std::size_t TypedNameLength = 10;

// ---- Nodes ----

// The smallest node number whose name equals name (cut to 12 characters) byte
// for byte, or 0 when there is none.
int32_t FindNodeByName(const Workspace& ws, const std::string& name);

// The operations below that can be refused give their messages (warnings,
// the field's beep) in their result, for the window to show.

// Appends a node named name. An empty name adds nothing and says nothing; a
// name in use or a full node table is refused with a warning. True when added.
Reported<bool> AddNode(Workspace& ws, const std::string& name);

// How many links start or end at node.
int32_t LinksUsingNode(const Workspace& ws, int32_t node);

// Removes node (0, or a number that is no node: nothing selected, which is
// reported). A node that links still use is refused, since those links would
// silently move to another node. Removing an unused node moves the later names
// and potentials down and lowers the node numbers in the links to match, so
// each link keeps its two named ends. True when removed.
Reported<bool> RemoveNode(Workspace& ws, int32_t node);

// ---- Links ----

struct NewLink {
    int32_t origin = 0;  // 0: none selected
    int32_t dest = 0;
    int32_t lower = 0;
    int32_t upper = 0;
    int32_t cost = 0;
};

// Appends a link after its checks (the first failing one is reported and adds
// nothing). True when added.
Reported<bool> AddLink(Workspace& ws, const NewLink& link);

// Removes link (0, or a number that is no link: nothing selected, which is
// reported); later links move down with their flows. Removing a link that
// carried flow sets NetworkChanged. True when removed.
Reported<bool> RemoveLink(Workspace& ws, int32_t link);

// ---- Marks for removal (negative origins while the change window is open) ----

bool IsMarked(const Workspace& ws, int32_t link);
// The origin's node number whether or not the link is marked.
int32_t OriginNode(const Workspace& ws, int32_t link);
int32_t MarkedLinkCount(const Workspace& ws);
void ToggleRemovalMark(Workspace& ws, int32_t link);
// Drops the marked links; the others keep their order and are renumbered from
// 1. Flows are not moved: marking set NetworkChanged, which discards them.
void RemoveMarkedLinks(Workspace& ws);

// Re-routing keeps a marked link marked. Both set NetworkChanged.
void RerouteOrigin(Workspace& ws, int32_t link, int32_t node);
void RerouteDest(Workspace& ws, int32_t link, int32_t node);

// ---- Bound and cost editors of the change window ----

enum class LinkField { Lower, Upper, Cost };

// Validates text against the link's stored value and the field's range, checks
// the bounds against each other and stores the value. True when the link was
// written (also with an unchanged value); false when a bound check refused it.
Reported<bool> CommitLinkField(Workspace& ws, int32_t link, LinkField field,
                               const std::string& text);

}  // namespace kav

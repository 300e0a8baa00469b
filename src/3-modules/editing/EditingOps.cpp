#include "editing/EditingOps.h"

#include "editing/ValidateIntegerField.h"
#include "workspace/Errors.h"
#include "workspace/TextEncoding.h"

namespace kav {
namespace {

// A refusal with its warning.
Reported<bool> Refused(const std::string& text, MsgKind kind = MsgKind::Warning) {
    Reported<bool> result{false, {}};
    result.report.Box(kind, text);
    return result;
}

Reported<bool> Done() {
    return {true, {}};
}

}  // namespace

int32_t FindNodeByName(const Workspace& ws, const std::string& name) {
    const std::string key = name.substr(0, MaxNameLength);
    for (int32_t k = 1; k <= ws.NodeCount; ++k) {
        if (ws.NodeName[k] == key)
            return k;
    }
    return 0;
}

Reported<bool> AddNode(Workspace& ws, const std::string& name) {
    if (name.empty())
        return {};
    if (FindNodeByName(ws, name) != 0) {
        return Refused("Node [" + Latin1ToUtf8(name) +
                       " ] already exists... TRY AGAIN...\r"
                       "Note that names are only unique up to the first 10 characters");
    }
    if (ws.NodeCount >= MaxNodes) {
        return Refused("Too many nodes...Only " + std::to_string(MaxNodes) +
                       " are permitted...WARNING...TRY AGAIN");
    }
    AppendNode(ws, name);
    NoteNodesEdited(ws);
    return Done();
}

int32_t LinksUsingNode(const Workspace& ws, int32_t node) {
    int32_t count = 0;
    for (int32_t j = 1; j <= ws.LinkCount; ++j) {
        if (OriginNode(ws, j) == node || ws.LinkDest[j] == node)
            ++count;
    }
    return count;
}

Reported<bool> RemoveNode(Workspace& ws, int32_t node) {
    if (!IsNode(ws, node))
        return Refused("You must select a node from the list to remove a node",
                       MsgKind::Information);
    const int32_t users = LinksUsingNode(ws, node);
    if (users > 0) {
        const bool one = users == 1;
        return Refused("Node [" + Latin1ToUtf8(ws.NodeName[node]) + " ] is used by " +
                       std::to_string(users) + (one ? " link" : " links") +
                       " and was not removed\rRemove or re-route " +
                       (one ? "that link" : "those links") + " first");
    }
    RemoveNodeAt(ws, node);
    NoteNodesEdited(ws);
    return Done();
}

Reported<bool> AddLink(Workspace& ws, const NewLink& link) {
    if (link.origin < 1)
        return Refused("You must select an origin node for the link to add");
    if (link.dest < 1)
        return Refused("You must select a destination node for the link to add");
    if (link.origin == link.dest)
        return Refused("The origin and destination nodes must differ ... TRY AGAIN ... ");
    if (link.lower > link.upper) {
        return Refused("Upper bound (" + std::to_string(link.upper) +
                       ") must be greater than or equal to the lower bound (" +
                       std::to_string(link.lower) + ")\rTRY AGAIN ... ");
    }
    if (link.lower < 0)
        return Refused("Lower bound must be greater than or equal to 0");
    if (link.upper < 0)
        return Refused("Upper bound must be greater than or equal to 0");
    if (ws.LinkCount >= MaxLinks)
        return Refused(
            "The number of links is already equal to the maximum number allowed ... SORRY");
    AppendLink(ws, LinkData{link.origin, link.dest, link.lower, link.upper, link.cost});
    NoteLinkAdded(ws);
    return Done();
}

Reported<bool> RemoveLink(Workspace& ws, int32_t link) {
    if (link < 1 || link > ws.LinkCount)
        return Refused("You must select a link from the list to remove");
    const bool carriedFlow = ws.LinkFlow[link] != 0;
    RemoveLinks(
        ws, [link](int32_t j) { return j == link; }, FlowsOnRemoval::MoveAlong);
    NoteLinkRemoved(ws, carriedFlow);
    return Done();
}

bool IsMarked(const Workspace& ws, int32_t link) {
    return ws.LinkOrigin[link] < 0;
}

int32_t OriginNode(const Workspace& ws, int32_t link) {
    const int32_t origin = ws.LinkOrigin[link];
    return origin < 0 ? CheckedNarrow(-int64_t{origin}) : origin;
}

int32_t MarkedLinkCount(const Workspace& ws) {
    int32_t count = 0;
    for (int32_t j = 1; j <= ws.LinkCount; ++j) {
        if (IsMarked(ws, j))
            ++count;
    }
    return count;
}

void ToggleRemovalMark(Workspace& ws, int32_t link) {
    LinkData data = GetLink(ws, link);
    data.Origin = CheckedNarrow(-int64_t{data.Origin});
    SetLink(ws, link, data);
    NoteLinkRerouted(ws);
}

void RemoveMarkedLinks(Workspace& ws) {
    RemoveLinks(
        ws, [&ws](int32_t j) { return IsMarked(ws, j); }, FlowsOnRemoval::StayInPlace);
}

void RerouteOrigin(Workspace& ws, int32_t link, int32_t node) {
    LinkData data = GetLink(ws, link);
    data.Origin = IsMarked(ws, link) ? -node : node;
    SetLink(ws, link, data);
    NoteLinkRerouted(ws);
}

void RerouteDest(Workspace& ws, int32_t link, int32_t node) {
    LinkData data = GetLink(ws, link);
    data.Dest = node;
    SetLink(ws, link, data);
    NoteLinkRerouted(ws);
}

Reported<bool> CommitLinkField(Workspace& ws, int32_t link, LinkField field,
                               const std::string& text) {
    Reported<bool> result;
    // The field's own messages come first.
    const auto checked = [&](int32_t current, int32_t low, int32_t high) {
        const Reported<FieldValue> value = ValidateIntegerField(text, current, low, high);
        result.report.Append(value.report);
        return value.outcome.value;
    };
    LinkData data = GetLink(ws, link);
    switch (field) {
        case LinkField::Lower:
            data.Lower = checked(data.Lower, BoundLow, BoundHigh);
            if (data.Lower > data.Upper) {
                result.report.Box(
                    MsgKind::Warning,
                    "Lower bound must not exceed upper bound.\rNO CHANGE WILL BE MADE ... WARNING");
                return result;
            }
            break;
        case LinkField::Upper:
            data.Upper = checked(data.Upper, BoundLow, BoundHigh);
            if (data.Upper < data.Lower) {
                result.report.Box(MsgKind::Warning,
                                  "Upper bound must not be less than lower bound.\r"
                                  "NO CHANGE WILL BE MADE ... WARNING");
                return result;
            }
            break;
        case LinkField::Cost:
            data.Cost = checked(data.Cost, CostLow, CostHigh);
            break;
    }
    SetLink(ws, link, data);
    NoteLinkValuesEdited(ws);
    result.outcome = true;
    return result;
}

}  // namespace kav

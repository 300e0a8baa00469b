#include "editing/EditingOps.h"

#include "editing/ValidateIntegerField.h"
#include "workspace/Errors.h"
#include "workspace/TextEncoding.h"

namespace kav {
namespace {

void Warn(Prompts& prompts, const std::string& text) {
    prompts.Message(MsgKind::Warning, MsgButtons::Ok, text);
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

bool AddNode(Workspace& ws, const std::string& name, Prompts& prompts) {
    if (name.empty())
        return false;
    if (FindNodeByName(ws, name) != 0) {
        Warn(prompts, "Node [" + Latin1ToUtf8(name) +
                          " ] already exists... TRY AGAIN...\r"
                          "Note that names are only unique up to the first 10 characters");
        return false;
    }
    if (ws.NodeCount >= MaxNodes) {
        Warn(prompts, "Too many nodes...Only " + std::to_string(MaxNodes) +
                          " are permitted...WARNING...TRY AGAIN");
        return false;
    }
    AppendNode(ws, name);
    NoteNodesEdited(ws);
    return true;
}

int32_t LinksUsingNode(const Workspace& ws, int32_t node) {
    int32_t count = 0;
    for (int32_t j = 1; j <= ws.LinkCount; ++j) {
        if (OriginNode(ws, j) == node || ws.LinkDest[j] == node)
            ++count;
    }
    return count;
}

bool RemoveNode(Workspace& ws, int32_t node, Prompts& prompts) {
    if (!IsNode(ws, node)) {
        prompts.Message(MsgKind::Information, MsgButtons::Ok,
                        "You must select a node from the list to remove a node");
        return false;
    }
    const int32_t users = LinksUsingNode(ws, node);
    if (users > 0) {
        const bool one = users == 1;
        Warn(prompts, "Node [" + Latin1ToUtf8(ws.NodeName[node]) + " ] is used by " +
                          std::to_string(users) + (one ? " link" : " links") +
                          " and was not removed\rRemove or re-route " +
                          (one ? "that link" : "those links") + " first");
        return false;
    }
    RemoveNodeAt(ws, node);
    NoteNodesEdited(ws);
    return true;
}

bool AddLink(Workspace& ws, const NewLink& link, Prompts& prompts) {
    if (link.origin < 1) {
        Warn(prompts, "You must select an origin node for the link to add");
    } else if (link.dest < 1) {
        Warn(prompts, "You must select a destination node for the link to add");
    } else if (link.origin == link.dest) {
        Warn(prompts, "The origin and destination nodes must differ ... TRY AGAIN ... ");
    } else if (link.lower > link.upper) {
        Warn(prompts, "Upper bound (" + std::to_string(link.upper) +
                          ") must be greater than or equal to the lower bound (" +
                          std::to_string(link.lower) + ")\rTRY AGAIN ... ");
    } else if (link.lower < 0) {
        Warn(prompts, "Lower bound must be greater than or equal to 0");
    } else if (link.upper < 0) {
        Warn(prompts, "Upper bound must be greater than or equal to 0");
    } else if (ws.LinkCount >= MaxLinks) {
        Warn(prompts,
             "The number of links is already equal to the maximum number allowed ... SORRY");
    } else {
        AppendLink(ws, LinkData{link.origin, link.dest, link.lower, link.upper, link.cost});
        NoteLinkAdded(ws);
        return true;
    }
    return false;
}

bool RemoveLink(Workspace& ws, int32_t link, Prompts& prompts) {
    if (link < 1 || link > ws.LinkCount) {
        Warn(prompts, "You must select a link from the list to remove");
        return false;
    }
    const bool carriedFlow = ws.LinkFlow[link] != 0;
    RemoveLinks(
        ws, [link](int32_t j) { return j == link; }, FlowsOnRemoval::MoveAlong);
    NoteLinkRemoved(ws, carriedFlow);
    return true;
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

bool CommitLinkField(Workspace& ws, int32_t link, LinkField field, const std::string& text,
                     Prompts& prompts) {
    switch (field) {
        case LinkField::Lower: {
            const int32_t v =
                ValidateIntegerField(text, ws.LinkLower[link], BoundLow, BoundHigh, prompts).value;
            if (v > ws.LinkUpper[link]) {
                Warn(
                    prompts,
                    "Lower bound must not exceed upper bound.\rNO CHANGE WILL BE MADE ... WARNING");
                return false;
            }
            LinkData data = GetLink(ws, link);
            data.Lower = v;
            SetLink(ws, link, data);
            NoteLinkValuesEdited(ws);
            return true;
        }
        case LinkField::Upper: {
            const int32_t v =
                ValidateIntegerField(text, ws.LinkUpper[link], BoundLow, BoundHigh, prompts).value;
            if (v < ws.LinkLower[link]) {
                Warn(prompts,
                     "Upper bound must not be less than lower bound.\r"
                     "NO CHANGE WILL BE MADE ... WARNING");
                return false;
            }
            LinkData data = GetLink(ws, link);
            data.Upper = v;
            SetLink(ws, link, data);
            NoteLinkValuesEdited(ws);
            return true;
        }
        case LinkField::Cost: {
            LinkData data = GetLink(ws, link);
            data.Cost = ValidateIntegerField(text, data.Cost, CostLow, CostHigh, prompts).value;
            SetLink(ws, link, data);
            NoteLinkValuesEdited(ws);
            return true;
        }
    }
    return false;
}

}  // namespace kav

// Writes the Workspace behind its operations' back, each way the
// workspace_writes check must refuse (the planted_workspace_write test).
#include "workspace/Workspace.h"

template <class State, class Session>
void PlantedWrites(kav::Workspace& ws, State* state, Session& session) {
    ws.LinkFlow[ws.LinkCount] = 0;
    ++ws.NodeCount;
    state->workspace->DataNotSaved = true;
    ws.NodeFileName.clear();
    session.Workspace().NetworkChanged = false;
}

// Writes the Workspace behind its operations' back, each way the
// workspace_writes check must refuse (the planted_workspace_write test).
#include "workspace/Workspace.h"

void PlantedWrites(kav::Workspace& ws) {
    ws.LinkFlow[ws.LinkCount] = 0;
    ++ws.NodeCount;
    kav::TheWorkspace().DataNotSaved = true;
    ws.NodeFileName.clear();
}

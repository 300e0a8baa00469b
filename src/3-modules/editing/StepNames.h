#pragma once

#include <cstdint>
#include <string>

#include "editing/EditingOps.h"
#include "workspace/ProblemHistory.h"
#include "workspace/Workspace.h"

namespace kav {

// What each step of the undo history is called where an undo or redo names
// it ("Undone: remove node PLANT2"). Names are the nodes' bytes.

std::string AddNodeStep(const std::string& name);
// Before the removal.
std::string RemoveNodeStep(const Workspace& ws, int32_t node);
std::string AddLinkStep(const Workspace& ws, const NewLink& link);
// Before the removal.
std::string RemoveLinkStep(const Workspace& ws, int32_t link);
// A visit of the change window, while its marks stand (before RemoveMarkedLinks):
// "change link 3", "change 2 links, remove link 5", "remove 3 links".
std::string ChangeVisitStep(const ProblemCopy& before, const Workspace& ws);
// After the load, from the node file's name.
std::string LoadStep(const Workspace& ws);
extern const char* const ZeroStep;
extern const char* const GenerateStep;

// What the status line says after an undo or redo: the step's name, or that
// there was none.
std::string UndoneText(const std::string* step);
std::string RedoneText(const std::string* step);

}  // namespace kav

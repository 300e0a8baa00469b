#pragma once

#include <string>
#include <vector>

#include "workspace/Workspace.h"

namespace kav {

// The pre-solve checks: returns the error lines in the order they are listed
// (connectivity lines, bound lines, closing line) and sets ws.ChecksPassed to
// whether there were none. Changes nothing else in the Workspace.
std::vector<std::string> CheckProblem(Workspace& ws);

}  // namespace kav

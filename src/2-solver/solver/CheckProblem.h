#pragma once

#include <string>
#include <vector>

#include "workspace/Workspace.h"

namespace kav {

// Follows the error lines when a node is used only as an origin or only as a
// destination.
inline const char* const ReturnLinkHint =
    "A node that only sends or only receives needs a return link: see the guide (F1 in any "
    "window), \"Supplies and demands\".";

// The pre-solve checks: returns the error lines in the order they are listed
// (connectivity lines, bound lines, closing line, then ReturnLinkHint when it
// applies) and sets ws.ChecksPassed to whether there were none. Changes
// nothing else in the Workspace.
std::vector<std::string> CheckProblem(Workspace& ws);

}  // namespace kav

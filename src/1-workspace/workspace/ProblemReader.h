#pragma once

#include "workspace/ProblemFiles.h"
#include "workspace/TextReader.h"

namespace kav {

// Reads a link file and a node file into the Workspace; every message of a
// load is in the report it returns, which the caller shows. A header asking
// for more than the Workspace holds is refused and leaves the previous problem
// whole; any other fault (unreadable file, a field that is not a 32-bit
// integer, a negative count, a link end outside 1..NodeCount, a file shorter
// than its counts) empties the Workspace and reports the fatal read warning.
// Every read that gets past the header clears the solution and the flags. The
// fatal read warning gets one more line naming the file (as ws.LinkFileName or
// ws.NodeFileName), the line where reading stopped and what was expected
// there. ReadProblem and the fuzzer both come through here.
LoadResult ReadProblemText(Workspace& ws, TextReader& linkFile, TextReader& nodeFile);

}  // namespace kav

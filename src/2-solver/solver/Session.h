#pragma once

#include <cstdint>

#include "solver/LastSolve.h"
#include "workspace/NumberFormat.h"
#include "workspace/ProblemFiles.h"
#include "workspace/ProblemHistory.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace kav {

// What one run of the program works with, owned by main and handed by the
// program's start to every window, reader, writer, solve run and the command
// line (each takes the part it needs). Nothing of it is program-wide: two
// sessions share nothing but the prompts they were given.
class Session {
  public:
    explicit Session(Prompts& prompts) : prompts_(&prompts) {}

    // Every message box, beep and file dialog of this session.
    Prompts& prompts() const { return *prompts_; }

    Workspace ws;
    // The files ws was last loaded from or saved to: no output goes over them.
    ProtectedFiles protectedFiles;
    // The undo and redo history of the changes the windows made to ws.
    ProblemHistory history;
    // The last solve, while it describes ws (see CurrentSolution).
    LastSolveRecord lastSolve;
    // The names the save dialogs offer next.
    SaveDialogMemory saveDialogs;
    // The separators of the number texts the windows show (the user's locale).
    NumberSeparators separators;
    // What Printer Setup chose, for Print Lists.
    PrintSetup printSetup;
    // The random problem generator's sequence: 0 at the start, never reseeded
    // by the program, so that successive generations continue it.
    uint32_t randomSeed = 0;

  private:
    Prompts* prompts_;
};

// Is there a current solution, feasible or infeasible, and what is its total,
// its certificate, its cut (see SolutionState).
inline SolutionState CurrentSolution(const Session& session) {
    return CurrentSolution(session.ws, session.lastSolve);
}

}  // namespace kav

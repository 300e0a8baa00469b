#pragma once

#include <string>
#include <vector>

#include "workspace/FileChoice.h"
#include "workspace/ProblemWriter.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace kav {

enum class LoadOutcome { Cancelled, Refused, Failed, Loaded };
enum class SaveOutcome { Cancelled, Failed, Saved };

// How a load ended and what it has to tell the user (the messages and beeps of
// a refused or failed read, the warning of a load that changed names).
using LoadResult = Reported<LoadOutcome>;
// How a save ended and what it has to tell the user (that nothing was saved,
// or the write error with its beep).
using SaveResult = Reported<SaveOutcome>;

// Width of a number field in the link file: 10 for problems the user saves,
// 12 for the random generator's files.
constexpr int LinkFieldWidth = 10;
constexpr int GeneratorFieldWidth = 12;

// The save dialogs show the name chosen in them the time before, like a dialog
// object that lives as long as the session.
struct SaveDialogMemory {
    std::string nodeName;
    std::string linkName = "*.LIN";
};

// The files the problem in memory was last loaded from or successfully saved
// to: no output goes over them. Unlike ws.NodeFileName and ws.LinkFileName,
// which a save sets before it writes (and a cancelled one empties), they
// change only when a load or a save succeeds.
class ProtectedFiles {
  public:
    const std::vector<std::string>& Names() const { return names_; }
    // A load or a save of ws succeeded: the files it names now.
    void NoteLoadedOrSaved(const Workspace& ws) { names_ = FileNamesOf(ws); }

  private:
    std::vector<std::string> names_;
};

// Load Data: asks for the node file (and the link file when the one of the same
// name is missing), telling of a name that does not exist, and reads both; the
// reading's messages are in the result. A successful load notes its files in
// `loaded`.
LoadResult LoadProblem(Workspace& ws, ProtectedFiles& loaded, FileQuestions& questions);

// Save: asks for the files (ChooseFileToWrite; two names of one file are
// refused there and bring the node file's dialog back), writes both (see
// WriteProblemFiles); the outcome's messages are in the result. The dialogs
// start from the names chosen in them the time before. A successful save
// notes its files in `saved`.
SaveResult SaveProblem(Workspace& ws, ProtectedFiles& saved, FileQuestions& questions,
                       SaveDialogMemory& dialogs);

// The reading steps of LoadProblem once both names are known (they are stored
// in ws.NodeFileName / ws.LinkFileName): header check, links, names, flags,
// with the same messages. Two names of one file are refused with a message
// before anything is read. Used by LoadProblem and by the benchmark.
LoadResult ReadProblem(Workspace& ws, const std::string& nodeFile, const std::string& linkFile);

// Whether a file to load is a DIMACS file: by the file type chosen in the
// dialog, else by its content (HasDimacsContent), else by its ".min"
// extension.
bool IsDimacsToLoad(const std::string& fileName, const std::string& chosenFilter);

// Loads a named problem without a dialog (the program's start and its command
// line): a DIMACS file (IsDimacsToLoad), otherwise a node file with the
// link file that goes with it. A missing file gets Load Data's message and
// reads nothing (Cancelled). A successful load notes its files in `loaded`.
LoadResult LoadProblemFile(Workspace& ws, ProtectedFiles& loaded, const std::string& fileName);

// The DIMACS file type in the load and save dialogs ("... (*.min)").
inline constexpr char DimacsFilterName[] = "DIMACS min-cost files";

// Writes the two files as one write (WriteFiles): an error found before the
// commits leaves the old files as they were. Two names of one file write
// nothing (WriteFailure::SameFile).
WriteResult WriteProblemFiles(const Workspace& ws, const std::string& nodeFile,
                              const std::string& linkFile, int fieldWidth = LinkFieldWidth);

// Writes the problem as one DIMACS file (WriteFile).
WriteResult WriteDimacsFile(const Workspace& ws, const std::string& fileName);

// The link file's name: the node file's name with its last three characters
// replaced by "LIN".
std::string DeriveLinkFileName(const std::string& nodeFileName);

// The link file that goes with a node file: the derived name, or, where no
// such file exists, the one file in the same folder whose name differs from it
// only in the case of its last three characters ("prob.lin" for "prob.nde").
// Names are case-sensitive here, but pairs are often saved elsewhere.
std::string MatchingLinkFile(const std::string& nodeFileName);

}  // namespace kav

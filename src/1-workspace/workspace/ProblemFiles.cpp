#include "workspace/ProblemFiles.h"

#include <cerrno>
#include <filesystem>
#include <optional>

#include "workspace/DimacsFormat.h"
#include "workspace/FileChoice.h"
#include "workspace/FilePaths.h"
#include "workspace/ProblemReader.h"
#include "workspace/ProblemWriter.h"
#include "workspace/TextReader.h"

namespace kav {
namespace {

const char* const NotSavedText = "Files will not be saved ... WARNING";
const char* const WriteErrorFirstLine = "<<< Error Writing File ... File Not Saved >>>";
const char* const PartialWriteLines =
    "<<<  FILES MAY BE PARTIALLY WRITTEN, BUT  >>>\r"
    "<<<  THEY SHOULD BE IGNORED AND DELETED.  >>>";

bool FileExists(const std::string& name);

// The save-failure box: which file failed and why, then what each file of the
// save now holds. Only where a file may really be partial is the user told to
// ignore and delete the files.
std::string WriteErrorText(const WriteResult& result) {
    std::string text = WriteErrorFirstLine;
    if (result.AnyPartial())
        text += std::string("\r") + PartialWriteLines;
    text += "\r" + result.FailureText();
    for (const auto& [name, state] : result.States) {
        switch (state) {
            case FileState::Old:
                text += "\r[" + name + "] " +
                        (FileExists(name) ? "still holds its old content." : "was not written.");
                break;
            case FileState::New:
                text += "\r[" + name + "] holds the new content.";
                break;
            case FileState::Partial:
                text += "\r[" + name + "] may be partially written.";
                break;
        }
    }
    return text;
}

std::string SameFileSaveText(const std::string& name) {
    return "File [" + name +
           "] cannot hold both the NODE and the LINK information... Choose another name.";
}

std::string SameFileLoadText(const std::string& name) {
    return "File [" + name + "] cannot be both the NODE file and the LINK file... Try again.";
}

// Only a regular file counts: a folder of that name cannot be read or replaced.
bool FileExists(const std::string& name) {
    std::error_code error;
    return !name.empty() && std::filesystem::is_regular_file(name, error);
}

FileDialogRequest GetNodeName() {
    return {"Input the name of the file with the NODE information",
            {{"Node Files", "*.NDE"}, {"All Files", "*.*"}, {DimacsFilterName, "*.min"}},
            ""};
}

FileDialogRequest GetLinkName() {
    return {"Input the name of the file with LINK information",
            {{"Link Data Files", "*.LIN"}, {"All Files", "*.*"}},
            ""};
}

FileDialogRequest SaveNodeData(const std::string& lastName) {
    return {"Specify the file in which to store the NODE information",
            {{"Node Data Files", "*.NDE"}, {"All Files", "*.*"}, {DimacsFilterName, "*.min"}},
            lastName};
}

FileDialogRequest SaveLinkData(const std::string& lastName) {
    return {"Specify the file in which to store the LINK information",
            {{"Link Data Files", "*.LIN"}, {"All Files", "*.*"}},
            lastName};
}

std::string MissingFileText(const std::string& name) {
    return "File [" + name + "] does not exist... Try again.";
}

LoadResult NoteIfLoaded(const Workspace& ws, ProtectedFiles& loaded, LoadResult result) {
    if (result.outcome == LoadOutcome::Loaded)
        loaded.NoteLoadedOrSaved(ws);
    return result;
}

// nodeFile: the node file whose link file `name` is missing, if it is one.
LoadResult MissingFile(const std::string& name, const std::string& nodeFile = "") {
    LoadResult result;
    result.report.Box(MsgKind::Error, MissingFileText(name),
                      nodeFile.empty() ? "[" + name + "] does not exist."
                                       : "[" + name + "] does not exist: the node file [" +
                                             nodeFile + "] needs its link file beside it.");
    return result;
}

// The open dialog until the user names a file that exists or cancels (an
// empty name).
ChosenFile ChooseFileToLoad(FileQuestions& questions, const FileDialogRequest& dialog) {
    for (;;) {
        const ChosenFile chosen = questions.AskFileToOpen(dialog).value_or(ChosenFile{});
        if (chosen.name.empty() || FileExists(chosen.name))
            return chosen;
        questions.TellNameRefused(MissingFileText(chosen.name));
    }
}

// Also gives the file type chosen with it (the DIMACS type decides the load).
std::string ChooseNodeFileToLoad(Workspace& ws, FileQuestions& questions) {
    const ChosenFile chosen = ChooseFileToLoad(questions, GetNodeName());
    SetFileNames(ws, chosen.name, ws.LinkFileName);
    return chosen.type;
}

// The link file of the same name is taken without asking when it exists.
void ChooseLinkFileToLoad(Workspace& ws, FileQuestions& questions) {
    std::string name = MatchingLinkFile(ws.NodeFileName);
    if (!FileExists(name))
        name = ChooseFileToLoad(questions, GetLinkName()).name;
    SetFileNames(ws, ws.NodeFileName, name);
}

// Whether a file name has an extension (a dot in its last part).
bool HasExtension(const std::string& name) {
    return std::filesystem::path(name).filename().string().find('.') != std::string::npos;
}

// Shows the save dialog until the user names a new file, agrees to replace an
// existing one, or cancels (empty name); the dialog remembers a confirmed
// name for its next showing. Under the DIMACS file type a name without an
// extension gets ".min", and `dimacs` says whether that type was chosen.
std::string ChooseFileToSave(FileQuestions& questions,
                             FileDialogRequest (*dialog)(const std::string&), std::string& memory,
                             bool* dimacs = nullptr) {
    FileToWrite request;
    request.dialog = [dialog, &memory] { return dialog(memory); };
    request.adjust = [&](const ChosenFile& chosen) {
        memory = chosen.name;
        const bool dimacsChosen = chosen.type == DimacsFilterName;
        if (dimacs != nullptr)
            *dimacs = dimacsChosen;
        return dimacsChosen && !HasExtension(chosen.name) ? chosen.name + ".min" : chosen.name;
    };
    return ChooseFileToWrite(questions, request);
}

// ASCII only: the locale must not decide which names match.
char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameExceptCaseOfLastThree(const std::string& name, const std::string& wanted) {
    if (name.size() != wanted.size() || name.size() < 3)
        return false;
    const std::size_t stem = name.size() - 3;
    if (name.compare(0, stem, wanted, 0, stem) != 0)
        return false;
    for (std::size_t i = stem; i < name.size(); ++i) {
        if (AsciiLower(name[i]) != AsciiLower(wanted[i]))
            return false;
    }
    return true;
}

// Both names of a save: the node file, then its link file (asked for only
// when the one of the same name exists). Empty names when the user cancelled.
bool ChooseFilesToSave(Workspace& ws, FileQuestions& questions, SaveDialogMemory& memory) {
    bool dimacsChosen = false;
    const std::string nodeFile =
        ChooseFileToSave(questions, SaveNodeData, memory.nodeName, &dimacsChosen);
    SetFileNames(ws, nodeFile, ws.LinkFileName);
    if (nodeFile.empty())
        return false;
    // A DIMACS file holds the whole problem: there is no link file. The
    // chosen file type decides, else the name's extension.
    if (dimacsChosen || IsDimacsFileName(nodeFile)) {
        SetFileNames(ws, nodeFile, "");
        return true;
    }
    std::string linkFile = MatchingLinkFile(nodeFile);
    if (FileExists(linkFile)) {
        linkFile = ChooseFileToSave(questions, SaveLinkData, memory.linkName);
    }
    SetFileNames(ws, nodeFile, linkFile);
    return !linkFile.empty();
}

}  // namespace

std::string DeriveLinkFileName(const std::string& nodeFileName) {
    if (nodeFileName.size() < 3)
        return "LIN";
    return nodeFileName.substr(0, nodeFileName.size() - 3) + "LIN";
}

std::string MatchingLinkFile(const std::string& nodeFileName) {
    namespace fs = std::filesystem;
    const std::string derived = DeriveLinkFileName(nodeFileName);
    if (FileExists(derived))
        return derived;
    const std::string wanted = fs::path(derived).filename().string();
    const std::string folder = derived.substr(0, derived.size() - wanted.size());
    std::string found;
    int matches = 0;
    std::error_code error;
    for (fs::directory_iterator entry(folder.empty() ? "." : folder, error), end;
         !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (SameExceptCaseOfLastThree(name, wanted) && FileExists(folder + name)) {
            ++matches;
            found = folder + name;
        }
    }
    return matches == 1 ? found : derived;
}

bool IsDimacsToLoad(const std::string& fileName, const std::string& chosenFilter) {
    return chosenFilter == DimacsFilterName || HasDimacsContent(fileName) ||
           IsDimacsFileName(fileName);
}

LoadResult LoadProblemFile(Workspace& ws, ProtectedFiles& loaded, const std::string& fileName) {
    if (!FileExists(fileName))
        return MissingFile(fileName);
    if (IsDimacsToLoad(fileName, ""))
        return NoteIfLoaded(ws, loaded, ReadDimacsFile(ws, fileName));
    const std::string linkFile = MatchingLinkFile(fileName);
    if (!FileExists(linkFile))
        return MissingFile(linkFile, fileName);
    return NoteIfLoaded(ws, loaded, ReadProblem(ws, fileName, linkFile));
}

WriteResult WriteDimacsFile(const Workspace& ws, const std::string& fileName) {
    return WriteFile(fileName, FormatDimacsProblem(ws));
}

LoadResult ReadProblem(Workspace& ws, const std::string& nodeFile, const std::string& linkFile) {
    if (SameFile(nodeFile, linkFile)) {
        LoadResult result;
        result.outcome = LoadOutcome::Refused;
        result.report.Box(MsgKind::Error, SameFileLoadText(nodeFile));
        return result;
    }
    FileSource linkSource(linkFile);
    FileSource nodeSource(nodeFile);
    TextReader links(linkSource);
    TextReader nodes(nodeSource);
    SetFileNames(ws, nodeFile, linkFile);
    return ReadProblemText(ws, links, nodes);
}

LoadResult LoadProblem(Workspace& ws, ProtectedFiles& loaded, FileQuestions& questions) {
    const std::string chosenType = ChooseNodeFileToLoad(ws, questions);
    if (ws.NodeFileName.empty())
        return {};
    if (IsDimacsToLoad(ws.NodeFileName, chosenType))
        return NoteIfLoaded(ws, loaded, ReadDimacsFile(ws, ws.NodeFileName));
    ChooseLinkFileToLoad(ws, questions);
    if (ws.LinkFileName.empty())
        return {};
    const std::string nodeFile = ws.NodeFileName;
    const std::string linkFile = ws.LinkFileName;
    return NoteIfLoaded(ws, loaded, ReadProblem(ws, nodeFile, linkFile));
}

SaveResult SaveProblem(Workspace& ws, ProtectedFiles& saved, FileQuestions& questions,
                       SaveDialogMemory& dialogs) {
    SaveResult result;
    for (;;) {
        if (!ChooseFilesToSave(ws, questions, dialogs)) {
            result.report.Box(MsgKind::Warning, NotSavedText);
            result.outcome = SaveOutcome::Cancelled;
            return result;
        }
        const WriteResult written = ws.LinkFileName.empty()
                                        ? WriteDimacsFile(ws, ws.NodeFileName)
                                        : WriteProblemFiles(ws, ws.NodeFileName, ws.LinkFileName);
        if (written) {
            NoteSaved(ws);
            saved.NoteLoadedOrSaved(ws);
            result.outcome = SaveOutcome::Saved;
            return result;
        }
        if (written.Failure != WriteFailure::SameFile) {
            result.report.Beep(BeepFileError);
            result.report.Box(MsgKind::Warning, WriteErrorText(written));
            result.outcome = SaveOutcome::Failed;
            return result;
        }
        // Nothing was written; the node file's dialog comes back.
        questions.TellNameRefused(SameFileSaveText(ws.NodeFileName));
    }
}

}  // namespace kav

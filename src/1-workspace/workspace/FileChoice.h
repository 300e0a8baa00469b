#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "workspace/Prompts.h"

namespace kav {

// Whether a name is taken by something that writing it would replace: a file
// (or a device), not a folder, which cannot be replaced; its write says why.
bool FileToReplaceExists(const std::string& name);

// How a file the user names for writing is chosen and checked.
struct FileToWrite {
    // The save dialog, made afresh each time it is shown (so that it can start
    // from the name chosen the time before).
    std::function<FileDialogRequest()> dialog;
    // Files that must not be written over (the problem's own): refused with
    // ProtectedFileText, and the dialog comes back.
    std::vector<std::string> protectedFiles;
    // The name as the messages show it; none: as it is.
    std::function<std::string(const std::string&)> shown;
    // What a chosen file becomes before it is checked (an extension added);
    // none: its name.
    std::function<std::string(const ChosenFile&)> adjust;
};

// What must happen before a name may be written.
enum class WriteCheck {
    Free,       // nothing is there: write it
    Replace,    // a file is there: only after a Yes to the replace question
    Protected,  // one of the protected files: refused (ProtectedFileText)
};
WriteCheck CheckFileToWrite(const std::string& fileName,
                            const std::vector<std::string>& protectedFiles);

// Whether fileName may be written (CheckFileToWrite): a protected file is
// refused with its box, an existing one is written only after a Yes.
bool MayWriteFile(FileQuestions& questions, const std::string& fileName, const FileToWrite& rules);

// The one way a file to write is chosen: the save dialog until the user names
// a file that may be written (MayWriteFile), or cancels (empty name).
std::string ChooseFileToWrite(FileQuestions& questions, const FileToWrite& request);

}  // namespace kav

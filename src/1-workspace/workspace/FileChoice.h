#pragma once

#include <functional>
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
    // What a chosen name becomes before it is checked (an extension added);
    // none: itself.
    std::function<std::string(const std::string&)> adjust;
};

// Whether fileName may be written: one of the protected files is refused with
// an error box; a file that exists (FileToReplaceExists) is written only
// after a Yes to the replace question.
bool MayWriteFile(Prompts& prompts, const std::string& fileName, const FileToWrite& rules);

// The one way a file to write is chosen: the save dialog until the user names
// a file that may be written (MayWriteFile), or cancels (empty name).
std::string ChooseFileToWrite(Prompts& prompts, const FileToWrite& request);

}  // namespace kav

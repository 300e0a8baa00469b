#include "workspace/FileChoice.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "workspace/ProblemWriter.h"

namespace kav {

bool FileToReplaceExists(const std::string& name) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(name, error);
    return !name.empty() && std::filesystem::exists(status) &&
           !std::filesystem::is_directory(status);
}

WriteCheck CheckFileToWrite(const std::string& fileName,
                            const std::vector<std::string>& protectedFiles) {
    if (IsProtectedFile(fileName, protectedFiles))
        return WriteCheck::Protected;
    return FileToReplaceExists(fileName) ? WriteCheck::Replace : WriteCheck::Free;
}

bool MayWriteFile(FileQuestions& questions, const std::string& fileName, const FileToWrite& rules) {
    const std::string shown = rules.shown ? rules.shown(fileName) : fileName;
    switch (CheckFileToWrite(fileName, rules.protectedFiles)) {
        case WriteCheck::Protected:
            questions.TellNameRefused(ProtectedFileText(shown));
            return false;
        case WriteCheck::Replace:
            return questions.AskReplace(shown);
        case WriteCheck::Free:
            break;
    }
    return true;
}

std::string ChooseFileToWrite(FileQuestions& questions, const FileToWrite& request) {
    for (;;) {
        const std::optional<ChosenFile> chosen = questions.AskFileToSave(request.dialog());
        if (!chosen || chosen->name.empty())
            return {};
        const std::string name = request.adjust ? request.adjust(*chosen) : chosen->name;
        if (MayWriteFile(questions, name, request))
            return name;
    }
}

}  // namespace kav

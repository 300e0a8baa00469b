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

bool MayWriteFile(Prompts& prompts, const std::string& fileName, const FileToWrite& rules) {
    const std::string shown = rules.shown ? rules.shown(fileName) : fileName;
    if (IsOneOfFiles(fileName, rules.protectedFiles)) {
        prompts.Message(MsgKind::Error, MsgButtons::Ok, ProtectedFileText(shown));
        return false;
    }
    return !FileToReplaceExists(fileName) || ConfirmReplace(prompts, shown);
}

std::string ChooseFileToWrite(Prompts& prompts, const FileToWrite& request) {
    for (;;) {
        const std::optional<std::string> chosen = prompts.SaveFile(request.dialog());
        if (!chosen || chosen->empty())
            return {};
        const std::string name = request.adjust ? request.adjust(*chosen) : *chosen;
        if (MayWriteFile(prompts, name, request))
            return name;
    }
}

}  // namespace kav

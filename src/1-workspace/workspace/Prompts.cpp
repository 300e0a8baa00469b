#include "workspace/Prompts.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kav {

Answer SilentPrompts::Message(MsgKind, MsgButtons buttons, const std::string&) {
    return buttons == MsgButtons::Ok ? Answer::Ok : Answer::No;
}

void SilentPrompts::Beep(unsigned) {}

std::optional<std::string> SilentPrompts::OpenFile(const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> SilentPrompts::SaveFile(const FileDialogRequest&) {
    return std::nullopt;
}

bool SilentPrompts::PrinterSetup(PrinterSetupChoice&, const PagePreview&) {
    return false;
}

void SilentPrompts::Fatal(MsgKind, const std::string& text) {
    std::fflush(stdout);  // keep what a headless program printed before
    std::fprintf(stderr, "%s\n", text.c_str());
    std::_Exit(EXIT_FAILURE);
}

namespace {
Prompts* fatalErrorPrompts = nullptr;
}  // namespace

void SetFatalErrorPrompts(Prompts* prompts) {
    fatalErrorPrompts = prompts;
}

void FatalError(MsgKind kind, const std::string& text) {
    static SilentPrompts silent;
    (fatalErrorPrompts ? *fatalErrorPrompts : silent).Fatal(kind, text);
    std::_Exit(EXIT_FAILURE);  // no implementation returns
}

void ShowStandardErrorReport(Prompts& prompts, const std::string& text) {
    prompts.Message(MsgKind::Error, MsgButtons::Ok, text);
}

bool ConfirmReplace(Prompts& prompts, const std::string& shownName) {
    return prompts.Message(MsgKind::Confirmation, MsgButtons::YesNo,
                           "File [" + shownName + "] exists.... Do you want to replace it?") ==
           Answer::Yes;
}

std::optional<ChosenFile> FileQuestionsThrough::AskFileToOpen(const FileDialogRequest& dialog) {
    const std::optional<std::string> name = prompts_.OpenFile(dialog);
    if (!name)
        return std::nullopt;
    return ChosenFile{*name, prompts_.ChosenFilter()};
}

std::optional<ChosenFile> FileQuestionsThrough::AskFileToSave(const FileDialogRequest& dialog) {
    const std::optional<std::string> name = prompts_.SaveFile(dialog);
    if (!name)
        return std::nullopt;
    return ChosenFile{*name, prompts_.ChosenFilter()};
}

void FileQuestionsThrough::TellNameRefused(const std::string& text) {
    prompts_.Message(MsgKind::Error, MsgButtons::Ok, text);
}

bool FileQuestionsThrough::AskReplace(const std::string& shownName) {
    return ConfirmReplace(prompts_, shownName);
}

void Report::Box(MsgKind kind, std::string text, std::string commandLineText) {
    notices_.push_back({kind, std::move(text), 0, std::move(commandLineText)});
}

void Report::Beep(unsigned value) {
    notices_.push_back({MsgKind::Warning, std::string(), value, std::string()});
}

void Report::Append(const Report& other) {
    notices_.insert(notices_.end(), other.notices_.begin(), other.notices_.end());
}

void Report::ShowTo(Prompts& prompts) const {
    for (const Notice& notice : notices_) {
        if (notice.IsBeep())
            prompts.Beep(notice.beep);
        else
            prompts.Message(notice.kind, MsgButtons::Ok, notice.text);
    }
}

}  // namespace kav

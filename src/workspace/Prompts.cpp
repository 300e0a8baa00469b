#include "workspace/Prompts.h"

#include <cstdio>
#include <cstdlib>

namespace kav {
namespace {

class SilentPrompts : public Prompts {
public:
    Answer Message(MsgKind, MsgButtons buttons, const std::string&) override {
        return buttons == MsgButtons::Ok ? Answer::Ok : Answer::No;
    }
    void Beep(unsigned) override {}
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
    [[noreturn]] void Fatal(MsgKind, const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::_Exit(EXIT_FAILURE);
    }
};

Prompts* installed = nullptr;

}  // namespace

Prompts& ThePrompts() {
    static SilentPrompts silent;
    return installed ? *installed : silent;
}

void InstallPrompts(Prompts* prompts) { installed = prompts; }

void ShowStandardErrorReport(const std::string& text) {
    ThePrompts().Message(MsgKind::Error, MsgButtons::Ok, text);
}

}  // namespace kav

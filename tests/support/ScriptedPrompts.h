#pragma once

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "workspace/Prompts.h"

// A scripted stand-in for every message box, beep and file dialog. It records
// what the program showed, in order, and answers from the queues the test
// filled. Unscripted questions answer No and unscripted dialogs cancel, and
// both are counted so that a test can fail on them.
class ScriptedPrompts : public kav::Prompts {
  public:
    struct Shown {
        kav::MsgKind kind;
        kav::MsgButtons buttons;
        std::string text;
    };
    struct FatalShown : std::runtime_error {
        explicit FatalShown(const std::string& text) : std::runtime_error(text) {}
    };

    std::vector<Shown> messages;
    std::vector<unsigned> beeps;
    std::vector<kav::FileDialogRequest> openDialogs;
    std::vector<kav::FileDialogRequest> saveDialogs;
    std::vector<kav::PrinterSetupChoice> printerSetups;  // the choice each setup started from
    // Every event in order: "beep 8", "message <text>", "open <title>", "save <title>",
    // "printer setup".
    std::vector<std::string> events;

    std::deque<kav::Answer> answers;               // for Yes/No questions
    std::deque<std::optional<std::string>> files;  // for open and save dialogs, in order
    // The filter each open or save dialog is confirmed with, in order; none:
    // no filter chosen.
    std::deque<std::string> filters;
    std::string chosenFilter;
    // For printer setups: the choice confirmed, or nullopt to cancel.
    std::deque<std::optional<kav::PrinterSetupChoice>> setupChoices;
    int unscripted = 0;

    kav::Answer Message(kav::MsgKind kind, kav::MsgButtons buttons,
                        const std::string& text) override {
        messages.push_back({kind, buttons, text});
        events.push_back("message " + text);
        if (buttons == kav::MsgButtons::Ok)
            return kav::Answer::Ok;
        return NextAnswer();
    }
    void Beep(unsigned value) override {
        beeps.push_back(value);
        events.push_back("beep " + std::to_string(value));
    }
    std::optional<std::string> OpenFile(const kav::FileDialogRequest& dialog) override {
        openDialogs.push_back(dialog);
        events.push_back("open " + dialog.title);
        NextFilter();
        return NextFile();
    }
    std::optional<std::string> SaveFile(const kav::FileDialogRequest& dialog) override {
        saveDialogs.push_back(dialog);
        events.push_back("save " + dialog.title);
        NextFilter();
        return NextFile();
    }
    std::string ChosenFilter() const override { return chosenFilter; }
    void NextFilter() {
        chosenFilter.clear();
        if (!filters.empty()) {
            chosenFilter = filters.front();
            filters.pop_front();
        }
    }
    bool PrinterSetup(kav::PrinterSetupChoice& choice, const kav::PagePreview&) override {
        printerSetups.push_back(choice);
        events.push_back("printer setup");
        if (setupChoices.empty()) {
            ++unscripted;
            return false;
        }
        const std::optional<kav::PrinterSetupChoice> chosen = setupChoices.front();
        setupChoices.pop_front();
        if (chosen)
            choice = *chosen;
        return chosen.has_value();
    }
    [[noreturn]] void Fatal(kav::MsgKind kind, const std::string& text) override {
        messages.push_back({kind, kav::MsgButtons::Ok, text});
        events.push_back("fatal " + text);
        throw FatalShown(text);
    }

    void Clear() { *this = ScriptedPrompts(); }

  private:
    kav::Answer NextAnswer() {
        if (answers.empty()) {
            ++unscripted;
            return kav::Answer::No;
        }
        kav::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> NextFile() {
        if (files.empty()) {
            ++unscripted;
            return std::nullopt;
        }
        std::optional<std::string> file = files.front();
        files.pop_front();
        return file;
    }
};

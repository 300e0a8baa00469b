#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kav {

enum class MsgKind { Warning, Error, Information, Confirmation };
enum class MsgButtons { Ok, YesNo };
enum class Answer { Ok, Yes, No, Closed };

// Values of the platform message beep.
constexpr unsigned BeepDefault = 0;        // a rejected key
constexpr unsigned BeepFileError = 8;      // after file errors
constexpr unsigned BeepCriticalStop = 16;  // before the discard and exit questions
constexpr unsigned BeepQuestion = 64;      // before the conversion warning

// One file dialog: its title, its filter list as (description, pattern) pairs
// and the text its file-name box starts with.
struct FileDialogRequest {
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters;
    std::string fileName;
};

// The copies and sides chosen for one printer; 0 and empty: the options the
// user saved for it.
struct JobChoice {
    int copies = 0;
    std::string sides;
};

// What the printer setup dialog chooses: the printer and the page. Lengths
// are in millimetres.
struct PrinterSetupChoice {
    // An installed printer's name; empty for a PDF file.
    std::string printer;
    // The paper by name, with the width and height of its upright side; no
    // name: the printer's own default paper (A4 for a PDF file).
    std::string paperName;
    double paperWidth = 0;
    double paperHeight = 0;
    bool landscape = false;
    // Left, top, right and bottom margins; none: the report's default margins.
    std::optional<std::array<double, 4>> margins;
    // The report's pages firstPage to lastPage (0: to its last one), still
    // numbered out of the whole report.
    int firstPage = 1;
    int lastPage = 0;
    // What the user changed in this run, per printer.
    std::map<std::string, JobChoice> jobs;
};

// What Printer Setup chose, held for the session only; Print Lists prints with
// it.
struct PrintSetup {
    // Printer Setup has been confirmed at least once in this session.
    bool chosen = false;
    // The printer (none: a PDF file) and the page.
    PrinterSetupChoice choice;
    // The PDF file that Printer Setup asked for when the choice is a PDF file.
    std::string pdfFile;
};

// Shows the pages of a report as they would print with a choice.
using PagePreview = std::function<void(const PrinterSetupChoice&)>;

// Every modal message box, beep and file dialog of the program goes through
// this interface: the windows install the Qt implementation, tests a scripted
// fake. Texts use '\r' as the line break, exactly as the program words them.
class Prompts {
  public:
    virtual ~Prompts() = default;

    virtual Answer Message(MsgKind kind, MsgButtons buttons, const std::string& text) = 0;
    virtual void Beep(unsigned value) = 0;
    // The chosen file's full name, or nullopt when the dialog was cancelled.
    virtual std::optional<std::string> OpenFile(const FileDialogRequest& dialog) = 0;
    virtual std::optional<std::string> SaveFile(const FileDialogRequest& dialog) = 0;
    // The description of the filter (file type) chosen in the last file
    // dialog that was confirmed; empty where no filter was chosen.
    virtual std::string ChosenFilter() const { return {}; }
    // The printer setup dialog, starting from `choice`; true when confirmed,
    // with `choice` then holding what the user chose. With `preview`, the
    // dialog offers the report's preview.
    virtual bool PrinterSetup(PrinterSetupChoice& choice, const PagePreview& preview = {}) = 0;
    // Shows a fatal programming error and ends the program; the fake records it
    // and throws instead so that tests can see it.
    [[noreturn]] virtual void Fatal(MsgKind kind, const std::string& text) = 0;
};

// Prompts for code without windows: every box answers OK (a question No),
// beeps make no sound, file and printer dialogs are cancelled, and a fatal error is written
// to standard error before the program ends. Headless programs derive from it
// to show or record the message texts.
class SilentPrompts : public Prompts {
  public:
    Answer Message(MsgKind kind, MsgButtons buttons, const std::string& text) override;
    void Beep(unsigned value) override;
    std::optional<std::string> OpenFile(const FileDialogRequest& dialog) override;
    std::optional<std::string> SaveFile(const FileDialogRequest& dialog) override;
    bool PrinterSetup(PrinterSetupChoice& choice, const PagePreview& preview) override;
    [[noreturn]] void Fatal(MsgKind kind, const std::string& text) override;
};

// A fatal programming error ends the whole process, whichever session runs,
// from deep inside code that has no prompts of its own (the sort's fatal
// exit): the program's start names the prompts that show it. Until then a
// SilentPrompts writes it to standard error.
void SetFatalErrorPrompts(Prompts* prompts);
[[noreturn]] void FatalError(MsgKind kind, const std::string& text);

// Runs one event handler's work; a checked integer or index error (or any
// other exception) that escapes it is shown in one error box, the standard
// error report, and the program goes on. Returns false when it caught one.
template <class Work>
bool GuardHandler(Prompts& prompts, Work&& work);

void ShowStandardErrorReport(Prompts& prompts, const std::string& text);

// One thing to tell the user: a message box (its kind and text) or, with no
// text, a beep.
struct Notice {
    MsgKind kind = MsgKind::Warning;
    std::string text;
    unsigned beep = 0;
    // The same in the command line's words, where the window's text does not
    // fit a shell (it speaks of the problem in memory or says "Try again");
    // empty: the text.
    std::string commandLineText;
    bool IsBeep() const { return text.empty(); }
    const std::string& CommandLineText() const {
        return commandLineText.empty() ? text : commandLineText;
    }
};

// What a reader, a writer or an exporter has to tell the user, in its order.
// It never shows anything itself: the window shows it through its prompts
// (ShowTo), the command line prints it.
class Report {
  public:
    void Box(MsgKind kind, std::string text, std::string commandLineText = {});
    void Beep(unsigned value);
    // Adds what another report has to tell after this one's notices.
    void Append(const Report& other);
    const std::vector<Notice>& Notices() const { return notices_; }
    bool Empty() const { return notices_.empty(); }
    // Every box with an OK button, every beep, in order.
    void ShowTo(Prompts& prompts) const;

  private:
    std::vector<Notice> notices_;
};

// How an operation ended and what it has to tell the user.
template <class Outcome>
struct Reported {
    Outcome outcome{};
    Report report;
    // Shows the report through prompts and gives the outcome.
    Outcome ShowTo(Prompts& prompts) const {
        report.ShowTo(prompts);
        return outcome;
    }
};

// Asks whether the existing file `shownName` (as the user reads it) may be
// replaced; true on Yes.
bool ConfirmReplace(Prompts& prompts, const std::string& shownName);

// A file chosen in a file dialog and the file type (filter) chosen with it.
struct ChosenFile {
    std::string name;
    std::string type;
};

// The questions Load Data, Save and the exports ask in the middle of their
// sequence (a dialog, a check, a box, the dialog again): too many to hand back
// to the window one by one, so the workspace asks them here and the window
// answers them (FileQuestionsThrough: through its prompts). Nothing else in
// the workspace asks the user anything.
class FileQuestions {
  public:
    virtual ~FileQuestions() = default;
    // The open dialog; none when it was cancelled.
    virtual std::optional<ChosenFile> AskFileToOpen(const FileDialogRequest& dialog) = 0;
    // The save dialog; none when it was cancelled.
    virtual std::optional<ChosenFile> AskFileToSave(const FileDialogRequest& dialog) = 0;
    // An error box (OK) saying why the name just chosen will not do (a
    // dialog then comes back, where there was one).
    virtual void TellNameRefused(const std::string& text) = 0;
    // Whether the existing file `shownName` (as the user reads it) may be
    // replaced.
    virtual bool AskReplace(const std::string& shownName) = 0;
};

// The questions asked through prompts: its dialogs, an error box, the replace
// question (ConfirmReplace).
class FileQuestionsThrough : public FileQuestions {
  public:
    explicit FileQuestionsThrough(Prompts& prompts) : prompts_(prompts) {}
    std::optional<ChosenFile> AskFileToOpen(const FileDialogRequest& dialog) override;
    std::optional<ChosenFile> AskFileToSave(const FileDialogRequest& dialog) override;
    void TellNameRefused(const std::string& text) override;
    bool AskReplace(const std::string& shownName) override;

  private:
    Prompts& prompts_;
};

template <class Work>
bool GuardHandler(Prompts& prompts, Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        ShowStandardErrorReport(prompts, error.what());
    } catch (...) {
        ShowStandardErrorReport(prompts, "Unknown error");
    }
    return false;
}

}  // namespace kav

#pragma once

#include <QString>
#include <QStringList>

#include "workspace/Prompts.h"

class QWidget;

// The program's message boxes, beeps and file dialogs on Qt. Every box and
// dialog belongs to the program window that asked for it (PromptOwner): it
// opens centred over that window and stays above it. Texts arrive as UTF-8;
// file names as the file system's bytes.
class QtPrompts : public kav::Prompts {
  public:
    // Starts following which program window is in front (needs the application).
    QtPrompts();

    kav::Answer Message(kav::MsgKind kind, kav::MsgButtons buttons,
                        const std::string& text) override;
    void Beep(unsigned value) override;
    std::optional<std::string> OpenFile(const kav::FileDialogRequest& dialog) override;
    std::optional<std::string> SaveFile(const kav::FileDialogRequest& dialog) override;
    std::string ChosenFilter() const override { return chosenFilter_; }
    [[noreturn]] void Fatal(kav::MsgKind kind, const std::string& text) override;
    bool PrinterSetup(kav::PrinterSetupChoice& choice,
                      const kav::PagePreview& preview = {}) override;

  private:
    std::optional<std::string> RunFileDialog(const kav::FileDialogRequest& dialog, bool forSaving);

    // The folder the user last chose a file in; the next dialog starts there.
    QString lastDirectory_;
    std::string chosenFilter_;
};

// The window a box or dialog asked for now belongs to: an open modal box, else
// the active program window, else the program window most recently shown or
// made active that is still on screen, else the main menu.
QWidget* PromptOwner();

// Message text (UTF-8) with the program's '\r' line breaks turned into newlines.
QString MessageText(const std::string& text);

// The extension of the dialog's first filter ("NDE" for "*.NDE"), or nothing.
QString DefaultSuffix(const kav::FileDialogRequest& dialog);

// The dialog's filter list: "Node Files (*.NDE)", "All Files (*.*)", ...
QStringList FileFilters(const kav::FileDialogRequest& dialog);

#pragma once

#include <QString>
#include <QStringList>

#include "workspace/Prompts.h"

// The program's message boxes, beeps and file dialogs on Qt.
class QtPrompts : public kav::Prompts {
  public:
    kav::Answer Message(kav::MsgKind kind, kav::MsgButtons buttons,
                        const std::string& text) override;
    void Beep(unsigned value) override;
    std::optional<std::string> OpenFile(const kav::FileDialogRequest& dialog) override;
    std::optional<std::string> SaveFile(const kav::FileDialogRequest& dialog) override;
    [[noreturn]] void Fatal(kav::MsgKind kind, const std::string& text) override;
    kav::Answer QuestionDefaultNo(kav::MsgKind kind, const std::string& text) override;
    bool PrinterSetup(kav::PrinterSetupChoice& choice) override;

  private:
    std::optional<std::string> RunFileDialog(const kav::FileDialogRequest& dialog, bool forSaving);

    // The folder the user last chose a file in; the next dialog starts there.
    QString lastDirectory_;
};

// Message text with the program's '\r' line breaks turned into newlines.
QString MessageText(const std::string& text);

// The extension of the dialog's first filter ("NDE" for "*.NDE"), or nothing.
QString DefaultSuffix(const kav::FileDialogRequest& dialog);

// The dialog's filter list: "Node Files (*.NDE)", "All Files (*.*)", ...
QStringList FileFilters(const kav::FileDialogRequest& dialog);

#pragma once

#include <QDialog>
#include <QStringList>

#include "workspace/Prompts.h"

class QComboBox;
class QLabel;

// The printer setup dialog: the printer (an installed one or a PDF file), and
// through Qt's page setup dialog the paper, its orientation and the margins.
// OK confirms; nothing is printed here.
class PrinterSetupDialog : public QDialog {
    Q_OBJECT
  public:
    PrinterSetupDialog(const kav::PrinterSetupChoice& choice, QWidget* parent);

    // The choice as the dialog stands.
    kav::PrinterSetupChoice Choice() const;

  private slots:
    void PrinterChoiceChange();
    void PageButtonClick();

  private:
    void ShowPageSummary();

    kav::PrinterSetupChoice choice_;
    QStringList installed_;
    // Why the print system cannot be reached; empty when it can.
    QString unreachable_;
    QComboBox* printerChoice_ = nullptr;
    QLabel* printerNote_ = nullptr;
    QLabel* pageSummary_ = nullptr;
};

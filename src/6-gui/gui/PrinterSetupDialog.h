#pragma once

#include <QDialog>

#include "gui/PrintQueues.h"
#include "workspace/Prompts.h"

class QComboBox;
class QLabel;

// The printer setup dialog: the printer (an installed one or a PDF file), and
// through its own page dialog the paper, its orientation and the margins.
// The printers come from one answer of the print system, each shown with its
// state. OK confirms; nothing is printed here.
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
    PrintQueues queues_;
    QComboBox* printerChoice_ = nullptr;
    QLabel* printerNote_ = nullptr;
    QLabel* pageSummary_ = nullptr;
};

// What a queue's state says to the user ("Paused: out of paper"); empty for
// a queue that prints.
QString QueueStateNote(const PrintQueue& queue);

#pragma once

#include <QDialog>

#include "gui/PrintQueues.h"
#include "workspace/Prompts.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
struct PrinterPage;

// The printer setup dialog: the printer (an installed one or a PDF file),
// through its own page dialog the paper, its orientation and the margins, the
// report's pages to print, and for a printer the copies and, where it prints
// on both sides, the sides. Copies and sides start from the options the user
// saved for the printer; only what is changed here is held, per printer.
// Pre&view shows the report's pages as chosen, when a report is at hand.
// The printers come from one answer of the print system, each shown with its
// state. OK confirms; nothing is printed here.
class PrinterSetupDialog : public QDialog {
    Q_OBJECT
  public:
    PrinterSetupDialog(const kav::PrinterSetupChoice& choice, QWidget* parent,
                       kav::PagePreview preview = {});

    // The choice as the dialog stands.
    kav::PrinterSetupChoice Choice() const;

  private slots:
    void PrinterChoiceChange();
    void PageButtonClick();
    void JobChoiceChange();
    void PageRangeChange();

  private:
    void ShowPageSummary();
    void ShowJobChoices(const PrinterPage& page);

    kav::PrinterSetupChoice choice_;
    const kav::PagePreview preview_;
    PrintQueues queues_;
    QComboBox* printerChoice_ = nullptr;
    QLabel* printerNote_ = nullptr;
    QLabel* pageSummary_ = nullptr;
    QSpinBox* copies_ = nullptr;
    QComboBox* sides_ = nullptr;
    QSpinBox* firstPage_ = nullptr;
    QSpinBox* lastPage_ = nullptr;
};

// What a queue's state says to the user ("Paused: out of paper"); empty for
// a queue that prints.
QString QueueStateNote(const PrintQueue& queue);

#pragma once

#include <QDialog>
#include <QImage>
#include <QMarginsF>

#include "results/ReportPrinting.h"

class QLabel;
class QPushButton;

// The report's pages as they will print: on the paper, orientation and
// margins of a choice, within what its printer can print (shown dashed), drawn
// by the code that draws the job, one page at a time.
class ReportPreviewDialog : public QDialog {
    Q_OBJECT
  public:
    // `choice.printer`: the printer the report would go to; empty: a PDF file.
    ReportPreviewDialog(const ReportText& report, const kav::PrinterSetupChoice& choice,
                        QWidget* parent);

    // The report's page shown (numbered in the whole report) and how many it has.
    int Page() const { return page_; }
    int PageTotal() const { return total_; }
    // The sheet of the page shown, the printer's printable area dashed on it.
    const QImage& PageImage() const { return image_; }

  private slots:
    void PreviousButtonClick();
    void NextButtonClick();

  private:
    void ShowPage(int page);
    void resizeEvent(QResizeEvent* event) override;
    void ShowImage();

    const ReportText report_;
    kav::PrinterSetupChoice pageChoice_;
    QMarginsF minimum_;
    int first_ = 1;
    int last_ = 1;
    int page_ = 0;
    int total_ = 0;
    QImage image_;
    QLabel* sheet_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QLabel* paperLabel_ = nullptr;
    QPushButton* previousButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
};

// Pre&view of a window: the report with the session's Printer Setup, on the
// printer the report would go to (the chosen one, else the default one).
void PreviewReport(const ReportText& report, const kav::PrintSetup& setup, QWidget* parent);

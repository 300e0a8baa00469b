#include "results/ReportPreview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/GuiCommon.h"
#include "gui/Placement.h"
#include "gui/ProgramPrinter.h"

namespace {

// Pixels per dot of the report's layout: a sheet about 1100 pixels tall.
constexpr double PreviewScale = 1100.0 / (297.0 / 25.4 * ReportResolution);

// The printer's minimum margins on the page as the preview shows it, turned
// with a landscape page as the margins are.
QMarginsF OnPage(const QMarginsF& portrait, bool landscape) {
    return landscape
               ? QMarginsF(portrait.bottom(), portrait.left(), portrait.top(), portrait.right())
               : portrait;
}

}  // namespace

ReportPreviewDialog::ReportPreviewDialog(const ReportText& report,
                                         const kav::PrinterSetupChoice& choice, QWidget* parent)
    : QDialog(parent), report_(report) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    const PrinterPage printerPage = PageOnPrinter(choice);
    pageChoice_ = printerPage.page;
    minimum_ = printerPage.queue.trouble.Any() ? QMarginsF() : printerPage.minimum;
    first_ = std::max(choice.firstPage, 1);

    sheet_ = new QLabel(this);
    sheet_->setObjectName(QStringLiteral("PreviewSheet"));
    sheet_->setAlignment(Qt::AlignCenter);
    sheet_->setMinimumSize(200, 200);
    sheet_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    sheet_->setStyleSheet(QStringLiteral("background: gray"));
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("PreviewPage"));
    paperLabel_ = new QLabel(this);
    paperLabel_->setObjectName(QStringLiteral("PreviewPaper"));
    paperLabel_->setWordWrap(true);
    paperLabel_->setText(
        QStringLiteral("%1\nDashed: where %2 can print.")
            .arg(PageSummary(pageChoice_, minimum_),
                 choice.printer.empty()
                     ? QStringLiteral("a PDF file")
                     : QStringLiteral("printer %1").arg(QString::fromStdString(choice.printer))));
    previousButton_ = NewButton(QStringLiteral("&Previous"), QStringLiteral("The page before"),
                                QStringLiteral("PreviousButton"), this);
    nextButton_ = NewButton(QStringLiteral("&Next"), QStringLiteral("The page after"),
                            QStringLiteral("NextButton"), this);
    auto* closeButton = NewButton(QStringLiteral("&Close"), QStringLiteral("Close the preview"),
                                  QStringLiteral("CloseButton"), this);
    previousButton_->setAccessibleName(QStringLiteral("Previous"));
    nextButton_->setAccessibleName(QStringLiteral("Next"));
    closeButton->setAccessibleName(QStringLiteral("Close"));

    auto* row = new QHBoxLayout;
    row->addWidget(pageLabel_, 1);
    row->addWidget(previousButton_);
    row->addWidget(nextButton_);
    row->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sheet_, 1);
    layout->addWidget(paperLabel_);
    layout->addLayout(row);
    connect(previousButton_, &QPushButton::clicked, this,
            &ReportPreviewDialog::PreviousButtonClick);
    connect(nextButton_, &QPushButton::clicked, this, &ReportPreviewDialog::NextButtonClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    ShowPage(first_);
    last_ = choice.lastPage > 0 ? std::min(choice.lastPage, total_) : total_;
    ShowPage(first_);
}

void ReportPreviewDialog::PreviousButtonClick() {
    ShowPage(page_ - 1);
}

void ReportPreviewDialog::NextButtonClick() {
    ShowPage(page_ + 1);
}

// Only the page shown is drawn: a long report's pages are not all held.
void ReportPreviewDialog::ShowPage(int page) {
    kav::PrinterSetupChoice one = pageChoice_;
    one.firstPage = one.lastPage = page;
    const QList<QImage> images = RenderReportPages(report_, one, minimum_, PreviewScale, &total_);
    page_ = page;
    image_ = images.isEmpty() ? QImage() : images.first();
    if (!image_.isNull()) {
        QPainter painter(&image_);
        const double perPoint = PreviewScale * ReportResolution / 72;
        const QMarginsF m = OnPage(minimum_, pageChoice_.landscape) * perPoint;
        QPen dashed(Qt::red, 1, Qt::DashLine);
        painter.setPen(dashed);
        painter.drawRect(QRectF(image_.rect()).marginsRemoved(m).adjusted(0, 0, -1, -1));
    }
    pageLabel_->setText(image_.isNull()
                            ? QStringLiteral("The report has only %1 pages.").arg(total_)
                            : QStringLiteral("page %1 of %2").arg(page).arg(total_));
    previousButton_->setEnabled(page > first_);
    nextButton_->setEnabled(page < last_);
    ShowImage();
}

void ReportPreviewDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ShowImage();
}

void ReportPreviewDialog::ShowImage() {
    if (image_.isNull()) {
        sheet_->clear();
        return;
    }
    sheet_->setPixmap(QPixmap::fromImage(image_.scaled(
        sheet_->size() - QSize(8, 8), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void PreviewReport(const ReportText& report, const kav::PrintSetup& setup, QWidget* parent) {
    kav::PrinterSetupChoice choice = setup.choice;
    choice.printer = PrinterToOffer(setup);
    ReportPreviewDialog dialog(report, choice, parent);
    dialog.resize(FitOnScreen(QSize(700, 900)));
    dialog.exec();
}

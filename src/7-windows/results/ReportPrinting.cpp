#include "results/ReportPrinting.h"

#include <QApplication>
#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <string>
#include <system_error>
#include <vector>

#include "gui/GuiCommon.h"
#include "gui/Placement.h"
#include "gui/PrintQueues.h"
#include "gui/ProgramPrinter.h"
#include "results/PrinterTextStream.h"
#include "results/ReportLines.h"
#include "results/ReportPreview.h"
#include "workspace/ProblemWriter.h"
#include "workspace/Workspace.h"

namespace {

void Tell(kav::Prompts& prompts, kav::MsgKind kind, const QString& text) {
    prompts.Message(kind, kav::MsgButtons::Ok, text.toUtf8().toStdString());
}

bool Ask(kav::Prompts& prompts, const QString& question) {
    return prompts.Message(kav::MsgKind::Confirmation, kav::MsgButtons::YesNo,
                           question.toUtf8().toStdString()) == kav::Answer::Yes;
}

QString Either(const QString& first, const QString& second) {
    return first.isEmpty() ? second : first;
}

// A list's title, its column heading and its lines.
std::vector<std::string> ToStdLines(const QStringList& lines) {
    std::vector<std::string> converted;
    converted.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines)
        converted.push_back(line.toStdString());
    return converted;
}

QFont StyleFont(kav::ReportStyle style) {
    switch (style) {
        case kav::ReportStyle::Title:
            return ReportFont(18);
        case kav::ReportStyle::Heading:
            return ReportFont(10, true);
        case kav::ReportStyle::Large:
            return ReportFont(12);
        case kav::ReportStyle::Body:
            break;
    }
    return ReportFont(10);
}

// Without a file named in Printer Setup: a save dialog, beside the node file,
// until the user names a new file, agrees to replace one, or cancels (empty).
std::string AskForPdfFile(kav::Prompts& prompts, const kav::Session& session,
                          const ReportKind& kind) {
    const std::string start = PdfBesideNodeFile(session.ws.NodeFileName);
    kav::FileQuestionsThrough questions(prompts);
    return kav::ChooseFileToWrite(questions, WindowFileToWrite(session.protectedFiles.Names(),
                                                               PdfFileDialog(start, kind.what)));
}

JobRequest JobFor(const PrinterPage& page) {
    JobRequest job;
    job.media = page.queue.media;
    const auto chosen = page.page.jobs.find(page.page.printer);
    if (chosen != page.page.jobs.end()) {
        job.copies = chosen->second.copies;
        job.sides = QString::fromStdString(chosen->second.sides);
    }
    return job;
}

// The report is drawn as a PDF document here, on the paper the queue will
// print, landscape turned onto upright pages, and handed to the print system
// as one job, so that the job's number and fate can be told.
void PrintOnPrinter(const ReportText& report, kav::PrinterSetupChoice page,
                    const QString& printerName, const ReportKind& kind, kav::Prompts& prompts) {
    page.printer = printerName.toStdString();
    const PrinterPage printerPage = PageOnPrinter(page);
    const PrintSystemTrouble& trouble = printerPage.queue.trouble;
    QByteArray pdf;
    PrintJobOutcome outcome;
    int pages = 0;
    if (trouble.cancelled)
        return;
    if (trouble.Any())
        outcome.reason = trouble.problem;
    else if (RenderReportPdf(report, printerPage.page, pdf, &pages, printerPage.minimum,
                             kind.jobTitle, true))
        outcome = SendPdfToPrinter(printerName, kind.jobTitle, pdf, JobFor(printerPage));
    else
        outcome.reason = NotDrawnReason(page, pages);
    if (outcome.trouble.cancelled)
        return;
    if (!outcome.accepted) {
        Tell(prompts, kav::MsgKind::Error,
             QStringLiteral("The printer %1 could not print %2.\r(%3)")
                 .arg(printerName, QString::fromStdString(kind.what),
                      Either(outcome.trouble.problem, outcome.reason)));
        return;
    }
    QString sent = QStringLiteral("%1 sent to printer %2 (job %3)")
                       .arg(kind.sent, printerName)
                       .arg(outcome.job);
    if (outcome.paused)
        sent += QStringLiteral(", but the printer is paused: %1").arg(outcome.reason);
    Tell(prompts, kav::MsgKind::Information, sent + QLatin1Char('.'));
}

void WritePdfFile(const ReportText& report, const kav::PrinterSetupChoice& page,
                  const std::string& fileName, const ReportKind& kind, kav::Prompts& prompts,
                  const std::vector<std::string>& protectedFiles) {
    QByteArray pdf;
    int pages = 0;
    const bool drawn = RenderReportPdf(report, page, pdf, &pages, {}, kind.jobTitle);
    QString reason = NotDrawnReason(page, pages);
    if (drawn) {
        const kav::WriteResult written = kav::WriteFile(
            fileName, std::string(pdf.constData(), static_cast<std::size_t>(pdf.size())),
            protectedFiles);
        if (written) {
            Tell(prompts, kav::MsgKind::Information,
                 QStringLiteral("%1 written to\r%2").arg(kind.sent, ShownFileName(fileName)));
            return;
        }
        reason = QString::fromStdString(written.Reason());
    }
    Tell(prompts, kav::MsgKind::Error,
         QStringLiteral("%1 could not be written to\r%2\r(%3)")
             .arg(kind.subject, ShownFileName(fileName), reason));
}

}  // namespace

void WriteReport(PrinterTextStream& stream, const ReportText& report) {
    kav::ReportContent content;
    content.listTitle = report.listTitle.toStdString();
    content.linkHeading = report.linkHeading.toStdString();
    content.linkLines = ToStdLines(report.linkLines);
    content.nodeHeading = report.nodeHeading.toStdString();
    content.nodeLines = ToStdLines(report.nodeLines);
    content.outOfKilterNote = report.outOfKilterNote.toStdString();
    content.kilterWarning = report.kilterWarning.toStdString();
    content.totalCost = report.totalCost.toStdString();
    content.optimality = report.optimality.toStdString();
    bool first = true;
    kav::ReportStyle current = kav::ReportStyle::Body;
    for (const kav::ReportLine& line : kav::BuildReportLines(content)) {
        if (first || line.style != current)
            stream.SetFont(StyleFont(line.style));
        first = false;
        current = line.style;
        stream.WriteLine(QString::fromStdString(line.text));
    }
}

namespace {

// Lays the report out on the writer's page and draws the choice's pages, on
// the writer or, for a preview, on images; `pages` receives the whole
// report's number of pages.
bool DrawReport(QPdfWriter& writer, const ReportText& report, const kav::PrinterSetupChoice& page,
                bool turned, int* pages, QList<QImage>* images = nullptr, double scale = 1) {
    // The pages are counted first, for the page numbers.
    PrinterTextStream measure(writer, PrinterTextStream::Mode::Measure, 0, turned);
    measure.Open();
    WriteReport(measure, report);
    measure.Close();
    if (pages)
        *pages = measure.PageCount();

    PrinterTextStream stream(writer, PrinterTextStream::Mode::Draw, measure.PageCount(), turned,
                             {page.firstPage, page.lastPage});
    if (images)
        stream.DrawOnImages(images, scale);
    if (stream.Open())
        WriteReport(stream, report);
    return stream.Close();
}

}  // namespace

bool RenderReportPdf(const ReportText& report, const kav::PrinterSetupChoice& page, QByteArray& pdf,
                     int* pages, const QMarginsF& portraitMinimum, const QString& title,
                     bool turned) {
    pdf.clear();
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly))
        return false;
    QPdfWriter writer(&buffer);
    writer.setResolution(ReportResolution);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Kavrilon"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    SetUpPage(writer, page, portraitMinimum, turned);
    const bool drawn = DrawReport(writer, report, page, turned && page.landscape, pages);
    return drawn && !pdf.isEmpty();
}

QList<QImage> RenderReportPages(const ReportText& report, const kav::PrinterSetupChoice& page,
                                const QMarginsF& portraitMinimum, double scale, int* pages) {
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter writer(&nowhere);
    writer.setResolution(ReportResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    SetUpPage(writer, page, portraitMinimum);
    QList<QImage> images;
    DrawReport(writer, report, page, false, pages, &images, scale);
    return images;
}

QString NotDrawnReason(const kav::PrinterSetupChoice& page, int pages) {
    if (pages > 0 && page.firstPage > pages)
        return QStringLiteral("the report has only %1 page%2")
            .arg(pages)
            .arg(pages == 1 ? "" : "s");
    return QStringLiteral("the report could not be drawn");
}

void PrintReport(const ReportText& report, kav::Prompts& prompts, kav::Session& session,
                 const ReportKind& kind) {
    const kav::Workspace& ws = session.ws;
    PrintSetup& printSetup = session.printSetup;
    const std::vector<std::string>& protectedFiles = session.protectedFiles.Names();
    const kav::PagePreview preview = [&report](const kav::PrinterSetupChoice& choice) {
        ReportPreviewDialog dialog(report, choice, QApplication::activeModalWidget());
        dialog.resize(FitOnScreen(QSize(700, 900)));
        dialog.exec();
    };
    // Each pass ends in a report printed or written, or in nothing at the
    // user's word; another pass follows only a confirmed Printer Setup.
    for (;;) {
        const PrintSetup& setup = printSetup;
        const bool toPdfFile = setup.chosen && setup.choice.printer.empty();
        QString printer;
        if (!toPdfFile) {
            const PrintQueues queues = ListPrintQueues();
            if (queues.trouble.cancelled)
                return;
            if (setup.chosen) {
                printer = QString::fromStdString(setup.choice.printer);
                const QString problem = !queues.reachable() ? queues.trouble.problem
                                        : !queues.names.contains(printer)
                                            ? QStringLiteral("it is no longer installed")
                                            : QString();
                if (!problem.isEmpty()) {
                    if (!Ask(prompts, QStringLiteral("The printer %1 cannot be used (%2).\r"
                                                     "Choose another printer?")
                                          .arg(printer, problem)) ||
                        !RunPrinterSetup(prompts, printSetup, ws.NodeFileName, preview))
                        return;
                    continue;
                }
            } else if (!queues.reachable() && !queues.trouble.notRunning) {
                // No answer is not "no printers".
                if (!Ask(prompts, QStringLiteral("No printer can be used (%1).\r"
                                                 "Print to a PDF file instead?")
                                      .arg(queues.trouble.problem)))
                    return;
            } else if (queues.names.contains(queues.defaultName)) {
                printer = queues.defaultName;
            } else if (!queues.names.isEmpty()) {
                // Printers but no default: the user chooses, not the list's order.
                Tell(prompts, kav::MsgKind::Information,
                     QStringLiteral("No default printer is set: choose the printer in "
                                    "Printer Setup."));
                if (!RunPrinterSetup(prompts, printSetup, ws.NodeFileName, preview))
                    return;
                continue;
            }
        }
        if (!printer.isEmpty()) {
            PrintOnPrinter(report, setup.choice, printer, kind, prompts);
            return;
        }
        std::string fileName;
        if (toPdfFile && !setup.pdfFile.empty()) {
            if (!MayWriteFile(prompts, protectedFiles, setup.pdfFile))
                return;
            fileName = setup.pdfFile;
        } else {
            fileName = AskForPdfFile(prompts, session, kind);
            if (fileName.empty())
                return;
        }
        WritePdfFile(report, setup.choice, fileName, kind, prompts, protectedFiles);
        return;
    }
}

void PrintListReport(const QString& title, const QString& heading, const QStringList& lines,
                     kav::Prompts& prompts, kav::Session& session, const ReportKind& kind) {
    ReportText report;
    report.listTitle = title;
    report.linkHeading = heading;
    report.linkLines = lines;
    PrintReport(report, prompts, session, kind);
}

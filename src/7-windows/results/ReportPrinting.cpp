#include "results/ReportPrinting.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <string>
#include <system_error>
#include <vector>

#include "gui/GuiCommon.h"
#include "gui/PrintQueues.h"
#include "gui/ProgramPrinter.h"
#include "results/PrinterTextStream.h"
#include "results/ReportLines.h"
#include "workspace/ProblemWriter.h"
#include "workspace/Workspace.h"

namespace {

void Tell(kav::Prompts& prompts, kav::MsgKind kind, const QString& text) {
    prompts.Message(kind, kav::MsgButtons::Ok, text.toUtf8().toStdString());
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

// The report is drawn as a PDF document here and handed to the print system
// as one job, so that the job's number and fate can be told.
void PrintOnPrinter(const ReportText& report, kav::PrinterSetupChoice page,
                    const QString& printerName, const ReportKind& kind, kav::Prompts& prompts) {
    page.printer = printerName.toStdString();
    QByteArray pdf;
    PrintJobOutcome outcome;
    if (RenderReportPdf(report, page, pdf, nullptr, PrinterMinimumMargins(page), kind.jobTitle))
        outcome = SendPdfToPrinter(printerName, kind.jobTitle, pdf);
    else
        outcome.reason = QStringLiteral("the report could not be drawn");
    if (!outcome.accepted) {
        Tell(prompts, kav::MsgKind::Error,
             QStringLiteral("The printer %1 could not print the results.\r(%2)")
                 .arg(printerName, outcome.reason));
        return;
    }
    QString sent = QStringLiteral("The results were sent to printer %1 (job %2)")
                       .arg(printerName)
                       .arg(outcome.job);
    if (outcome.paused)
        sent += QStringLiteral(", but the printer is paused: %1").arg(outcome.reason);
    Tell(prompts, kav::MsgKind::Information, sent + QLatin1Char('.'));
}

void WritePdfFile(const ReportText& report, const kav::PrinterSetupChoice& page,
                  const std::string& fileName, const ReportKind& kind, kav::Prompts& prompts,
                  const std::vector<std::string>& protectedFiles) {
    QByteArray pdf;
    QString reason = QStringLiteral("the report could not be drawn");
    if (RenderReportPdf(report, page, pdf, nullptr, {}, kind.jobTitle)) {
        const kav::WriteResult written = kav::WriteFile(
            fileName, std::string(pdf.constData(), static_cast<std::size_t>(pdf.size())),
            protectedFiles);
        if (written) {
            Tell(prompts, kav::MsgKind::Information,
                 QStringLiteral("The results were written to\r%1").arg(ShownFileName(fileName)));
            return;
        }
        reason = QString::fromStdString(written.Reason());
    }
    Tell(prompts, kav::MsgKind::Error,
         QStringLiteral("The results could not be written to\r%1\r(%2)")
             .arg(ShownFileName(fileName), reason));
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

bool RenderReportPdf(const ReportText& report, const kav::PrinterSetupChoice& page, QByteArray& pdf,
                     int* pages, const QMarginsF& portraitMinimum, const QString& title) {
    pdf.clear();
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly))
        return false;
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Kavrilon"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    SetUpPage(writer, page, portraitMinimum);

    // The pages are counted first, for the page numbers.
    PrinterTextStream measure(writer, PrinterTextStream::Mode::Measure);
    measure.Open();
    WriteReport(measure, report);
    measure.Close();

    PrinterTextStream stream(writer, PrinterTextStream::Mode::Draw, measure.PageCount());
    if (stream.Open())
        WriteReport(stream, report);
    const bool drawn = stream.Close();
    if (pages)
        *pages = stream.PageCount();
    return drawn && !pdf.isEmpty();
}

void PrintReport(const ReportText& report, kav::Prompts& prompts, kav::Session& session,
                 const ReportKind& kind) {
    const kav::Workspace& ws = session.ws;
    PrintSetup& printSetup = session.printSetup;
    const std::vector<std::string>& protectedFiles = session.protectedFiles.Names();
    // Each pass ends in a report printed or written, or in nothing at the
    // user's word; another pass follows only a confirmed Printer Setup.
    for (;;) {
        const PrintSetup& setup = printSetup;
        const bool toPdfFile = setup.chosen && setup.choice.printer.empty();
        QString printer;
        if (!toPdfFile) {
            const PrintQueues queues = ListPrintQueues();
            if (setup.chosen) {
                printer = QString::fromStdString(setup.choice.printer);
                const QString problem = !queues.reachable ? queues.problem
                                        : !queues.names.contains(printer)
                                            ? QStringLiteral("it is no longer installed")
                                            : QString();
                if (!problem.isEmpty()) {
                    const std::string question =
                        QStringLiteral(
                            "The printer %1 cannot be used (%2).\rChoose another printer?")
                            .arg(printer, problem)
                            .toStdString();
                    if (prompts.Message(kav::MsgKind::Confirmation, kav::MsgButtons::YesNo,
                                        question) != kav::Answer::Yes ||
                        !RunPrinterSetup(prompts, printSetup, ws.NodeFileName))
                        return;
                    continue;
                }
            } else if (queues.names.contains(queues.defaultName)) {
                printer = queues.defaultName;
            } else if (!queues.names.isEmpty()) {
                // Printers but no default: the user chooses, not the list's order.
                if (!RunPrinterSetup(prompts, printSetup, ws.NodeFileName))
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

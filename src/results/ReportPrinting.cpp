#include "results/ReportPrinting.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <string>
#include <system_error>
#include <vector>

#include "gui/GuiCommon.h"
#include "gui/ProgramPrinter.h"
#include "results/PrinterTextStream.h"
#include "results/ReportLines.h"
#include "workspace/ProblemWriter.h"
#include "workspace/Workspace.h"

namespace {

const QString JobName = QStringLiteral("KAVRILON Results");

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
std::string AskForPdfFile(kav::Prompts& prompts) {
    const std::string start = PdfBesideNodeFile(kav::TheWorkspace().NodeFileName);
    for (;;) {
        const std::optional<std::string> chosen = prompts.SaveFile(PdfFileDialog(start));
        if (!chosen || chosen->empty())
            return {};
        if (MayWriteFile(prompts, *chosen))
            return *chosen;
    }
}

void PrintOnPrinter(const ReportText& report, kav::PrinterSetupChoice page,
                    const QString& printerName, kav::Prompts& prompts) {
    page.printer = printerName.toStdString();
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, page);
    printer.setDocName(JobName);
    PrinterTextStream stream(printer);
    if (stream.Open())
        WriteReport(stream, report);
    if (!stream.Close() || printer.printerState() == QPrinter::Error) {
        Tell(prompts, kav::MsgKind::Error,
             QStringLiteral("The printer %1 could not print the results.").arg(printerName));
    }
}

void WritePdfFile(const ReportText& report, const kav::PrinterSetupChoice& page,
                  const std::string& fileName, kav::Prompts& prompts) {
    QByteArray pdf;
    QString reason = QStringLiteral("the report could not be drawn");
    if (RenderReportPdf(report, page, pdf)) {
        const kav::WriteResult written = kav::WriteFile(
            fileName, std::string(pdf.constData(), static_cast<std::size_t>(pdf.size())),
            kav::ProblemFilesOf(kav::TheWorkspace()));
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
                     int* pages) {
    pdf.clear();
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly))
        return false;
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    writer.setTitle(JobName);
    writer.setCreator(QStringLiteral("Kavrilon"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    SetUpPage(writer, page);
    PrinterTextStream stream(writer);
    if (stream.Open())
        WriteReport(stream, report);
    const bool drawn = stream.Close();
    if (pages)
        *pages = stream.PageCount();
    return drawn && !pdf.isEmpty();
}

void PrintReport(const ReportText& report, kav::Prompts& prompts) {
    const PrintSetup& setup = ThePrintSetup();
    const bool toNamedFile = setup.chosen && setup.choice.printer.empty() && !setup.pdfFile.empty();
    if (!toNamedFile) {
        const QString printer = PrinterToPrintOn(setup);
        if (!printer.isEmpty()) {
            PrintOnPrinter(report, setup.choice, printer, prompts);
            return;
        }
    }
    std::string fileName;
    if (toNamedFile) {
        if (!MayWriteFile(prompts, setup.pdfFile))
            return;
        fileName = setup.pdfFile;
    } else {
        fileName = AskForPdfFile(prompts);
        if (fileName.empty())
            return;
    }
    WritePdfFile(report, setup.choice, fileName, prompts);
}

void PrintListReport(const QString& title, const QString& heading, const QStringList& lines,
                     kav::Prompts& prompts) {
    ReportText report;
    report.listTitle = title;
    report.linkHeading = heading;
    report.linkLines = lines;
    PrintReport(report, prompts);
}

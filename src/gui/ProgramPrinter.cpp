#include "gui/ProgramPrinter.h"

#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

#include "workspace/Workspace.h"

namespace {

QMarginsF AtLeast(const QMarginsF& wanted, const QMarginsF& minimum) {
    return {std::max(wanted.left(), minimum.left()), std::max(wanted.top(), minimum.top()),
            std::max(wanted.right(), minimum.right()), std::max(wanted.bottom(), minimum.bottom())};
}

double WholePoints(double millimetres) {
    return std::ceil(millimetres * 72 / 25.4 - 1e-9);
}

QPageSize PaperOf(const kav::PrinterSetupChoice& choice) {
    return QPageSize(QSizeF(choice.paperWidth, choice.paperHeight), QPageSize::Millimeter,
                     QString::fromStdString(choice.paperName));
}

QString Millimetres(double value) {
    return QString::number(value, 'g', 3) + QStringLiteral(" mm");
}

}  // namespace

PrintSetup& ThePrintSetup() {
    static PrintSetup setup;
    return setup;
}

QStringList InstalledPrinters() {
    return QPrinterInfo::availablePrinterNames();
}

QString PrinterToPrintOn(const PrintSetup& setup) {
    const QStringList installed = InstalledPrinters();
    const QString chosen = QString::fromStdString(setup.choice.printer);
    if (setup.chosen && installed.contains(chosen))
        return chosen;
    const QString fallback = QPrinterInfo::defaultPrinterName();
    if (installed.contains(fallback))
        return fallback;
    return installed.isEmpty() ? QString() : installed.constFirst();
}

void SetUpPage(QPagedPaintDevice& device, const kav::PrinterSetupChoice& choice) {
    if (!choice.paperName.empty() && choice.paperWidth > 0 && choice.paperHeight > 0)
        device.setPageSize(PaperOf(choice));
    device.setPageOrientation(choice.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);

    // In whole points, rounded up: the PDF engine lays out the page in whole
    // points, and would otherwise round a margin down.
    QPageLayout layout = device.pageLayout();
    layout.setUnits(QPageLayout::Point);
    const double mm = choice.margins ? 0 : DefaultMarginMm;
    const auto& m = choice.margins ? *choice.margins : std::array<double, 4>{mm, mm, mm, mm};
    const QMarginsF wanted(WholePoints(m[0]), WholePoints(m[1]), WholePoints(m[2]),
                           WholePoints(m[3]));
    device.setPageMargins(AtLeast(wanted, layout.minimumMargins()), QPageLayout::Point);
}

void SetUpPrinter(QPrinter& printer, const kav::PrinterSetupChoice& choice) {
    if (choice.printer.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(QString::fromStdString(choice.printer));
    }
    SetUpPage(printer, choice);
}

void TakePageLayout(const QPageLayout& layout, kav::PrinterSetupChoice& choice) {
    const QPageSize paper = layout.pageSize();
    const QSizeF size = paper.size(QPageSize::Millimeter);
    choice.paperName = paper.name().toStdString();
    choice.paperWidth = size.width();
    choice.paperHeight = size.height();
    choice.landscape = layout.orientation() == QPageLayout::Landscape;
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    choice.margins =
        std::array<double, 4>{margins.left(), margins.top(), margins.right(), margins.bottom()};
}

QString PageSummary(const kav::PrinterSetupChoice& choice) {
    const QString paper = choice.paperName.empty()
                              ? (choice.printer.empty() ? QStringLiteral("A4")
                                                        : QStringLiteral("the printer's default"))
                              : QString::fromStdString(choice.paperName);
    QString margins;
    if (!choice.margins) {
        margins = Millimetres(DefaultMarginMm);
    } else {
        const auto& m = *choice.margins;
        margins = m[0] == m[1] && m[1] == m[2] && m[2] == m[3]
                      ? Millimetres(m[0])
                      : QStringLiteral("left %1, top %2, right %3, bottom %4")
                            .arg(Millimetres(m[0]), Millimetres(m[1]), Millimetres(m[2]),
                                 Millimetres(m[3]));
    }
    return QStringLiteral("%1, %2, margins %3")
        .arg(paper, choice.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"),
             margins);
}

std::string PdfBesideNodeFile(const std::string& nodeFileName) {
    const std::size_t slash = nodeFileName.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (nameStart >= nodeFileName.size())
        return nodeFileName + "results.pdf";
    const std::size_t dot = nodeFileName.rfind('.');
    const std::size_t nameEnd =
        dot == std::string::npos || dot <= nameStart ? nodeFileName.size() : dot;
    return nodeFileName.substr(0, nameEnd) + ".pdf";
}

kav::FileDialogRequest PdfFileDialog(const std::string& fileName) {
    return {"Print the results to a PDF file",
            {{"PDF Files", "*.pdf"}, {"All Files", "*.*"}},
            fileName};
}

void RunPrinterSetup(kav::Prompts& prompts) {
    PrintSetup& setup = ThePrintSetup();
    kav::PrinterSetupChoice choice = setup.choice;
    if (!setup.chosen)
        choice.printer = PrinterToPrintOn(setup).toStdString();
    if (!prompts.PrinterSetup(choice))
        return;
    std::string pdfFile;
    if (choice.printer.empty()) {
        const std::string start = setup.pdfFile.empty()
                                      ? PdfBesideNodeFile(kav::TheWorkspace().NodeFileName)
                                      : setup.pdfFile;
        const std::optional<std::string> named = prompts.SaveFile(PdfFileDialog(start));
        if (!named || named->empty())
            return;
        pdfFile = *named;
    }
    setup.chosen = true;
    setup.choice = choice;
    setup.pdfFile = pdfFile;
}

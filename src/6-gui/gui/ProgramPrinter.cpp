#include "gui/ProgramPrinter.h"

#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "gui/PrintQueues.h"
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

// As Qt's page setup dialog shows a length: millimetres with two decimals.
QString Millimetres(double points) {
    return QString::number(points * 25.4 / 72, 'f', 2) + QStringLiteral(" mm");
}

}  // namespace

QStringList InstalledPrinters() {
    return ListPrintQueues().names;
}

std::string PrinterToOffer(const PrintSetup& setup) {
    if (setup.chosen)
        return setup.choice.printer;
    const PrintQueues queues = ListPrintQueues();
    if (!queues.defaultName.isEmpty())
        return queues.defaultName.toStdString();
    return queues.names.isEmpty() ? std::string() : queues.names.constFirst().toStdString();
}

QMarginsF PrinterMinimumMargins(const kav::PrinterSetupChoice& choice) {
    if (choice.printer.empty())
        return {};
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(QString::fromStdString(choice.printer));
    if (printer.outputFormat() != QPrinter::NativeFormat || !printer.isValid())
        return {};
    if (!choice.paperName.empty() && choice.paperWidth > 0 && choice.paperHeight > 0)
        printer.setPageSize(PaperOf(choice));
    printer.setPageOrientation(QPageLayout::Portrait);
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Point);
    return layout.minimumMargins();
}

QMarginsF EffectiveMargins(const kav::PrinterSetupChoice& choice,
                           const QMarginsF& portraitMinimum) {
    const double mm = choice.margins ? 0 : DefaultMarginMm;
    const auto& m = choice.margins ? *choice.margins : std::array<double, 4>{mm, mm, mm, mm};
    // In whole points, rounded up: the PDF engine lays out the page in whole
    // points, and would otherwise round a margin down.
    const QMarginsF wanted(WholePoints(m[0]), WholePoints(m[1]), WholePoints(m[2]),
                           WholePoints(m[3]));
    const QMarginsF& p = portraitMinimum;
    const QMarginsF minimum =
        choice.landscape ? QMarginsF(p.bottom(), p.left(), p.top(), p.right()) : p;
    const QMarginsF whole(
        WholePoints(minimum.left() * 25.4 / 72), WholePoints(minimum.top() * 25.4 / 72),
        WholePoints(minimum.right() * 25.4 / 72), WholePoints(minimum.bottom() * 25.4 / 72));
    return AtLeast(wanted, whole);
}

void SetUpPage(QPagedPaintDevice& device, const kav::PrinterSetupChoice& choice,
               const QMarginsF& portraitMinimum) {
    if (!choice.paperName.empty() && choice.paperWidth > 0 && choice.paperHeight > 0)
        device.setPageSize(PaperOf(choice));
    device.setPageOrientation(choice.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    device.setPageMargins(EffectiveMargins(choice, portraitMinimum), QPageLayout::Point);
}

void SetUpPrinter(QPrinter& printer, const kav::PrinterSetupChoice& choice) {
    if (choice.printer.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(QString::fromStdString(choice.printer));
    }
    SetUpPage(printer, choice, PrinterMinimumMargins(choice));
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

std::optional<std::array<double, 4>> MarginsSetInPageSetup(
    const std::optional<std::array<double, 4>>& wanted, const QMarginsF& shown,
    const QMarginsF& after, const QMarginsF& qtMinimum) {
    const double was[4] = {shown.left(), shown.top(), shown.right(), shown.bottom()};
    const double now[4] = {after.left(), after.top(), after.right(), after.bottom()};
    const double floor[4] = {qtMinimum.left(), qtMinimum.top(), qtMinimum.right(),
                             qtMinimum.bottom()};
    constexpr double Tolerance = 0.01;
    std::array<double, 4> margins = wanted
                                        ? *wanted
                                        : std::array<double, 4>{DefaultMarginMm, DefaultMarginMm,
                                                                DefaultMarginMm, DefaultMarginMm};
    bool set = false;
    for (int side = 0; side < 4; ++side) {
        if (std::abs(now[side] - was[side]) > Tolerance &&
            std::abs(now[side] - floor[side]) > Tolerance) {
            margins[static_cast<std::size_t>(side)] = now[side];
            set = true;
        }
    }
    return set ? std::optional<std::array<double, 4>>(margins) : wanted;
}

QString PageSummary(const kav::PrinterSetupChoice& choice, const QMarginsF& portraitMinimum) {
    const QString paper = choice.paperName.empty()
                              ? (choice.printer.empty() ? QStringLiteral("A4")
                                                        : QStringLiteral("the printer's default"))
                              : QString::fromStdString(choice.paperName);
    const QMarginsF m = EffectiveMargins(choice, portraitMinimum);
    return QStringLiteral("%1, %2\nmargins: left %3, top %4, right %5, bottom %6")
        .arg(paper, choice.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"),
             Millimetres(m.left()), Millimetres(m.top()), Millimetres(m.right()),
             Millimetres(m.bottom()));
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

kav::FileDialogRequest PdfFileDialog(const std::string& fileName, const std::string& what) {
    return {"Print " + what + " to a PDF file",
            {{"PDF Files", "*.pdf"}, {"All Files", "*.*"}},
            fileName};
}

bool RunPrinterSetup(kav::Prompts& prompts, PrintSetup& setup, const std::string& nodeFileName) {
    kav::PrinterSetupChoice choice = setup.choice;
    choice.printer = PrinterToOffer(setup);
    if (!prompts.PrinterSetup(choice))
        return false;
    std::string pdfFile;
    if (choice.printer.empty()) {
        const std::string start =
            setup.pdfFile.empty() ? PdfBesideNodeFile(nodeFileName) : setup.pdfFile;
        const std::optional<std::string> named = prompts.SaveFile(PdfFileDialog(start));
        if (!named || named->empty()) {
            // The page chosen is kept; the printer stays as it was.
            choice.printer = setup.choice.printer;
            setup.choice = choice;
            return false;
        }
        pdfFile = *named;
    }
    setup.chosen = true;
    setup.choice = choice;
    setup.pdfFile = pdfFile;
    return true;
}

#include "gui/ProgramPrinter.h"

#include <QPageSize>
#include <QPagedPaintDevice>
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

std::string PrinterToOffer(const PrintSetup& setup) {
    if (setup.chosen)
        return setup.choice.printer;
    const PrintQueues queues = ListPrintQueues();
    if (!queues.defaultName.isEmpty())
        return queues.defaultName.toStdString();
    return queues.names.isEmpty() ? std::string() : queues.names.constFirst().toStdString();
}

PrinterPage PageOnPrinter(const kav::PrinterSetupChoice& choice) {
    PrinterPage printerPage;
    printerPage.page = choice;
    kav::PrinterSetupChoice& page = printerPage.page;
    const bool paperChosen = !choice.paperName.empty() && choice.paperWidth > 0;
    if (!choice.printer.empty()) {
        printerPage.queue = paperChosen ? AskQueuePaper(QString::fromStdString(choice.printer),
                                                        choice.paperWidth, choice.paperHeight)
                                        : AskQueuePaper(QString::fromStdString(choice.printer));
        printerPage.minimum = printerPage.queue.minimum;
    }
    if (paperChosen)
        return printerPage;
    const QueuePaper& queue = printerPage.queue;
    const QPageSize paper =
        queue.widthMm > 0 ? QPageSize(QSizeF(queue.widthMm, queue.heightMm), QPageSize::Millimeter)
                          : QPageSize(QPageSize::A4);
    const QSizeF size = paper.size(QPageSize::Millimeter);
    page.paperName = paper.name().toStdString();
    page.paperWidth = size.width();
    page.paperHeight = size.height();
    return printerPage;
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
               const QMarginsF& portraitMinimum, bool turned) {
    if (!choice.paperName.empty() && choice.paperWidth > 0 && choice.paperHeight > 0)
        device.setPageSize(PaperOf(choice));
    const QMarginsF m = EffectiveMargins(choice, portraitMinimum);
    if (turned && choice.landscape) {
        device.setPageOrientation(QPageLayout::Portrait);
        device.setPageMargins(QMarginsF(m.top(), m.right(), m.bottom(), m.left()),
                              QPageLayout::Point);
        return;
    }
    device.setPageOrientation(choice.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    device.setPageMargins(m, QPageLayout::Point);
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

bool RunPrinterSetup(kav::Prompts& prompts, PrintSetup& setup, const std::string& nodeFileName,
                     const kav::PagePreview& preview) {
    kav::PrinterSetupChoice choice = setup.choice;
    choice.printer = PrinterToOffer(setup);
    if (!prompts.PrinterSetup(choice, preview))
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

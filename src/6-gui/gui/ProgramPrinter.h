#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string>

#include "gui/PrintQueues.h"
#include "workspace/Prompts.h"

class QPagedPaintDevice;

using kav::PrintSetup;

// How far the report keeps from the paper's edges unless the user sets margins
// (or the printer cannot print that close to an edge).
constexpr double DefaultMarginMm = 10;

// The name under which the printer setup dialog offers a PDF file.
inline const QString PdfFileChoice = QStringLiteral("PDF file");

// The printer Printer Setup starts from: the one chosen before, else the
// system's default printer, else the first installed one; empty ("PDF file")
// only when the user chose a PDF file or no printer is installed.
std::string PrinterToOffer(const PrintSetup& setup);

// The page a report for the choice's printer is drawn on, as the queue
// reports it: the chosen paper, else the queue's default one (the user's
// saved options included), named in `page`; the printer's minimum margins on
// the upright sheet of that paper, in points; and the paper's name for the
// job. For a PDF file: the chosen paper, else A4, without minimum margins.
struct PrinterPage {
    kav::PrinterSetupChoice page;
    QMarginsF minimum;
    QueuePaper queue;
};
PrinterPage PageOnPrinter(const kav::PrinterSetupChoice& choice);

// The margins a report keeps on the page of the choice, in whole points: the
// user's (or the default ones), raised per side to the printer's minimum. A
// landscape page is the upright sheet turned a quarter turn counter-clockwise,
// so its left edge is the sheet's bottom, its top the sheet's left, its right
// the sheet's top and its bottom the sheet's right.
QMarginsF EffectiveMargins(const kav::PrinterSetupChoice& choice, const QMarginsF& portraitMinimum);

// Sets the device's page to the choice: its paper (else the device's own, A4
// for a PDF), its orientation, and the effective margins for a printer with
// the given minimum margins. `turned`: a landscape choice on an upright page
// with the landscape page's margins turned onto it (the report is drawn
// turned), so that the print system has nothing to turn.
void SetUpPage(QPagedPaintDevice& device, const kav::PrinterSetupChoice& choice,
               const QMarginsF& portraitMinimum = {}, bool turned = false);

// The paper, orientation and the four effective margins of a choice in
// words, for the dialog; the margins in millimetres as page setup shows them.
QString PageSummary(const kav::PrinterSetupChoice& choice, const QMarginsF& portraitMinimum);

// The name of the report's PDF file beside the node file: the node file's name
// with ".pdf" for its extension ("results.pdf" without a node file).
std::string PdfBesideNodeFile(const std::string& nodeFileName);

// The save dialog for a report's PDF file, starting with `fileName`; `what`
// names the report ("the results").
kav::FileDialogRequest PdfFileDialog(const std::string& fileName,
                                     const std::string& what = "the results");

// Printer Setup: the printer setup dialog, then, when it chose a PDF file, the
// file's name (first beside nodeFileName). What is confirmed holds for the
// run; cancelling the dialog keeps the setup as it was, cancelling the file's
// name keeps the printer as it was but takes the paper, orientation and
// margins. True when the setup was confirmed.
bool RunPrinterSetup(kav::Prompts& prompts, PrintSetup& setup, const std::string& nodeFileName,
                     const kav::PagePreview& preview = {});

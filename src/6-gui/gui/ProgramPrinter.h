#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string>

#include "workspace/Prompts.h"

class QPagedPaintDevice;
class QPrinter;

using kav::PrintSetup;

// How far the report keeps from the paper's edges unless the user sets margins
// (or the printer cannot print that close to an edge).
constexpr double DefaultMarginMm = 10;

// The name under which the printer setup dialog offers a PDF file.
inline const QString PdfFileChoice = QStringLiteral("PDF file");

// The names of the installed printers.
QStringList InstalledPrinters();

// The printer Printer Setup starts from: the one chosen before, else the
// system's default printer, else the first installed one; empty ("PDF file")
// only when the user chose a PDF file or no printer is installed.
std::string PrinterToOffer(const PrintSetup& setup);

// The minimum margins of the printer named in the choice, in points, as they
// lie on the upright (portrait) sheet of the choice's paper: how close to each
// edge it can print. None for a PDF file.
QMarginsF PrinterMinimumMargins(const kav::PrinterSetupChoice& choice);

// The margins a report keeps on the page of the choice, in whole points: the
// user's (or the default ones), raised per side to the printer's minimum. A
// landscape page is the upright sheet turned a quarter turn counter-clockwise,
// so its left edge is the sheet's bottom, its top the sheet's left, its right
// the sheet's top and its bottom the sheet's right.
QMarginsF EffectiveMargins(const kav::PrinterSetupChoice& choice, const QMarginsF& portraitMinimum);

// Sets the device's page to the choice: its paper (else the device's own, A4
// for a PDF), its orientation, and the effective margins for a printer with
// the given minimum margins.
void SetUpPage(QPagedPaintDevice& device, const kav::PrinterSetupChoice& choice,
               const QMarginsF& portraitMinimum = {});

// Points a printer at the chosen printer (a PDF when the choice names none)
// and sets up its page.
void SetUpPrinter(QPrinter& printer, const kav::PrinterSetupChoice& choice);

// Takes the paper, orientation and margins of a page layout into the choice.
void TakePageLayout(const QPageLayout& layout, kav::PrinterSetupChoice& choice);

// The margins after Qt's page setup, in millimetres (left, top, right,
// bottom; none: the default ones). A side counts as set by the user when it
// differs from what the dialog showed at the start (`shown`), unless it merely
// stands at Qt's idea of the printer's minimum (`qtMinimum`), to which Qt
// raises margins without turning the minimum with the page; other sides keep
// `wanted`.
std::optional<std::array<double, 4>> MarginsSetInPageSetup(
    const std::optional<std::array<double, 4>>& wanted, const QMarginsF& shown,
    const QMarginsF& after, const QMarginsF& qtMinimum);

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
bool RunPrinterSetup(kav::Prompts& prompts, PrintSetup& setup, const std::string& nodeFileName);

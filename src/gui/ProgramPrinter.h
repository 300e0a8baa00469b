#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <string>

#include "workspace/Prompts.h"

class QPagedPaintDevice;
class QPrinter;

// What Printer Setup chose, held for the run only; Print Lists prints with it.
struct PrintSetup {
    // Printer Setup has been confirmed at least once in this run.
    bool chosen = false;
    // The printer (none: a PDF file) and the page.
    kav::PrinterSetupChoice choice;
    // The PDF file that Printer Setup asked for when the choice is a PDF file.
    std::string pdfFile;
};
PrintSetup& ThePrintSetup();

// How far the report keeps from the paper's edges unless the user sets margins
// (or the printer cannot print that close to an edge).
constexpr double DefaultMarginMm = 10;

// The name under which the printer setup dialog offers a PDF file.
inline const QString PdfFileChoice = QStringLiteral("PDF file");

// The names of the installed printers.
QStringList InstalledPrinters();

// The installed printer a report goes to: the chosen one while it is
// installed, otherwise the system's default printer; empty when there is none.
QString PrinterToPrintOn(const PrintSetup& setup);

// Sets the device's page to the choice: its paper (else the device's own, A4
// for a PDF), its orientation, and its margins or the default ones, never
// closer to the edge than the device can print.
void SetUpPage(QPagedPaintDevice& device, const kav::PrinterSetupChoice& choice);

// Points a printer at the chosen printer (a PDF when the choice names none)
// and sets up its page.
void SetUpPrinter(QPrinter& printer, const kav::PrinterSetupChoice& choice);

// Takes the paper, orientation and margins of a page layout into the choice.
void TakePageLayout(const QPageLayout& layout, kav::PrinterSetupChoice& choice);

// The paper, orientation and margins of a choice in words, for the dialog.
QString PageSummary(const kav::PrinterSetupChoice& choice);

// The name of the report's PDF file beside the node file: the node file's name
// with ".pdf" for its extension ("results.pdf" without a node file).
std::string PdfBesideNodeFile(const std::string& nodeFileName);

// The save dialog for the report's PDF file, starting with `fileName`.
kav::FileDialogRequest PdfFileDialog(const std::string& fileName);

// Printer Setup: the printer setup dialog, then, when it chose a PDF file, the
// file's name. What is confirmed holds for the run; cancelling either dialog
// keeps the setup as it was.
void RunPrinterSetup(kav::Prompts& prompts);

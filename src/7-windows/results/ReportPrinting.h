#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QString>
#include <QStringList>
#include <string>

#include "solver/Session.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

class PrinterTextStream;

// The texts of one printed report: what the results window shows.
struct ReportText {
    QString linkHeading;
    QStringList linkLines;
    QString nodeHeading;
    QStringList nodeLines;
    // The note under the link list and the warning before the total; empty
    // when the window does not show them.
    QString outOfKilterNote;
    QString kilterWarning;
    QString totalCost;
    // The optimality line under the total; empty when the window shows none.
    QString optimality;
    // A report of one list instead: this title over linkHeading and linkLines.
    QString listTitle;
};

// Which report is printed: the print job's (and PDF document's) title, how
// the PDF save dialog names the report, and how the messages say where it
// went ("The results were sent ...").
struct ReportKind {
    QString jobTitle;
    std::string what;
    QString subject;
    QString sent;
};
inline const ReportKind ResultsReport{QStringLiteral("KAVRILON Results"), "the results",
                                      QStringLiteral("The results"),
                                      QStringLiteral("The results were")};
inline const ReportKind CutReport{
    QStringLiteral("KAVRILON Infeasibility Explained"), "the explanation of the infeasibility",
    QStringLiteral("The explanation"), QStringLiteral("The explanation was")};

// Writes the report's lines, in the report's fonts, to an open stream.
void WriteReport(PrinterTextStream& stream, const ReportText& report);

// The report as a PDF document on the page of `page`, kept `portraitMinimum`
// (the printer's minimum margins on the upright sheet) from the edges, every
// page numbered; false when it could not be drawn. `pages` receives the
// number of pages of the whole report; only the choice's range of pages is
// drawn. `turned`: a landscape report is drawn turned on upright
// pages, as a printer is sent it.
bool RenderReportPdf(const ReportText& report, const kav::PrinterSetupChoice& page, QByteArray& pdf,
                     int* pages = nullptr, const QMarginsF& portraitMinimum = {},
                     const QString& title = ResultsReport.jobTitle, bool turned = false);

// The dots per inch a report is laid out in.
constexpr int ReportResolution = 1200;

// The report's pages of the choice's range as `RenderReportPdf` draws them
// (a landscape one not turned), each on an image of its whole sheet at `scale`
// pixels per dot; `pages` receives the whole report's number of pages.
QList<QImage> RenderReportPages(const ReportText& report, const kav::PrinterSetupChoice& page,
                                const QMarginsF& portraitMinimum, double scale,
                                int* pages = nullptr);

// Why a report was not drawn: its range starts past its last page, or else
// it could not be.
QString NotDrawnReason(const kav::PrinterSetupChoice& page, int pages);

// Print Lists. The report goes to the printer chosen in Printer Setup while it
// is installed (when it is gone, or the print system cannot be reached, the
// user is asked whether to choose another printer; nothing is ever printed
// elsewhere without asking); with none chosen, to the system's default
// printer, else through Printer Setup when printers exist (saying why), else
// into a PDF file (when the print system answers but not about printers, the
// user is asked first). It is drawn on the paper that will be printed: the
// chosen one, else the printer's default (A4 for a PDF file), within what
// the printer can print on it. A PDF file is the one Printer Setup named,
// otherwise one the user names in a save dialog, every time. An existing file
// is replaced only when the user agrees, and only once the new one is whole on
// disk. Says where the report went (the printer's job number), and what
// failed. The session's protected files are never replaced, and the PDF file
// is offered beside the node file. The session's Printer Setup decides and may
// be run again.
void PrintReport(const ReportText& report, kav::Prompts& prompts, kav::Session& session,
                 const ReportKind& kind = ResultsReport);

// The same for a report of one titled list: its heading and its lines.
void PrintListReport(const QString& title, const QString& heading, const QStringList& lines,
                     kav::Prompts& prompts, kav::Session& session,
                     const ReportKind& kind = ResultsReport);

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "workspace/Prompts.h"

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

// Writes the report's lines, in the report's fonts, to an open stream.
void WriteReport(PrinterTextStream& stream, const ReportText& report);

// The report as a PDF document on the page of `page`; false when it could not
// be drawn. `pages` receives the number of pages.
bool RenderReportPdf(const ReportText& report, const kav::PrinterSetupChoice& page, QByteArray& pdf,
                     int* pages = nullptr);

// Print Lists. The report goes to the printer chosen in Printer Setup (or the
// system's default printer), or into a PDF file: the one Printer Setup named,
// otherwise one the user names in a save dialog, every time. An existing file
// is replaced only when the user agrees, and only once the new one is whole
// on disk. Says where a PDF file went, and what failed.
void PrintReport(const ReportText& report, kav::Prompts& prompts);

// The same for a report of one titled list: its heading and its lines.
void PrintListReport(const QString& title, const QString& heading, const QStringList& lines,
                     kav::Prompts& prompts);

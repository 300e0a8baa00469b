#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The print system (the CUPS scheduler that the user's session uses), asked
// afresh every time: printers come and go while the program runs.

// The printers the scheduler offers.
struct PrintQueues {
    // False when the scheduler could not be reached; `problem` says why.
    bool reachable = false;
    QString problem;
    QStringList names;
    // The user's default printer as CUPS reports it; empty when there is none.
    QString defaultName;
};
PrintQueues ListPrintQueues();

// What became of a document handed to a printer.
struct PrintJobOutcome {
    // The printer took the job: it is waiting, printing or printed.
    bool accepted = false;
    int job = 0;
    // Why the printer refused or cancelled the job; for an accepted job on a
    // paused printer, why it is paused.
    QString reason;
    bool paused = false;
};

// Hands a PDF document to `printer` as one job titled `title`, printed as
// drawn (no scaling), and watches the job until it leaves the waiting state,
// for `waitMs` at most.
PrintJobOutcome SendPdfToPrinter(const QString& printer, const QString& title,
                                 const QByteArray& pdf, int waitMs = 3000);

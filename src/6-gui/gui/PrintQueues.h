#pragma once

#include <QByteArray>
#include <QList>
#include <QMarginsF>
#include <QString>
#include <QStringList>

// The print system (the CUPS scheduler that the user's session uses), asked
// afresh every time: printers come and go while the program runs. Every call
// is made on a thread of its own, so that the window's events go on; it is
// bounded (a scheduler that accepts the connection but never answers is given
// up after a few seconds), and when it lasts more than a moment a window says
// that the program waits, with a Cancel button.

// How long the print system may stay silent before it is given up.
constexpr int PrintSystemPatienceMs = 4000;

// Why the print system could not be asked; empty when it answered.
struct PrintSystemTrouble {
    QString problem;
    // Nothing listens where the print system should be.
    bool notRunning = false;
    // The user pressed Cancel while the program waited.
    bool cancelled = false;
    bool Any() const { return cancelled || !problem.isEmpty(); }
};

// One printer (queue) and how it stands.
struct PrintQueue {
    QString name;
    QString description;
    bool paused = false;
    bool refusing = false;
    // The scheduler's reasons for the state (its message, else its keywords).
    QString why;
};

// The printers the scheduler offers, from one answer of it.
struct PrintQueues {
    PrintSystemTrouble trouble;
    QList<PrintQueue> queues;
    QStringList names;
    // The user's default printer as CUPS reports it; empty when there is none.
    QString defaultName;
    bool reachable() const { return !trouble.Any(); }
    const PrintQueue* Find(const QString& name) const;
};
PrintQueues ListPrintQueues();

// The paper a queue prints on, as the queue reports it: a paper of the given
// size (millimetres; 0: the queue's default paper, with the user's saved
// options), its name for the job's `media`, and how close to each edge of the
// upright sheet the printer prints (in points).
struct QueuePaper {
    PrintSystemTrouble trouble;
    bool found = false;
    QByteArray media;
    double widthMm = 0;
    double heightMm = 0;
    QMarginsF minimum;
    // The `sides` values the queue offers ("one-sided" ...); the user's saved
    // copies and sides (0 and empty: none saved).
    QStringList sidesSupported;
    int savedCopies = 0;
    QString savedSides;
};
QueuePaper AskQueuePaper(const QString& printer, double widthMm = 0, double heightMm = 0);

// What the job asks of the printer beside the document.
struct JobRequest {
    QByteArray media;
    // 0 and empty: the queue's own (the user's saved options).
    int copies = 0;
    QString sides;
};

// What became of a document handed to a printer.
struct PrintJobOutcome {
    PrintSystemTrouble trouble;
    // The printer took the job: it is waiting, printing or printed.
    bool accepted = false;
    int job = 0;
    // Why the printer refused or cancelled the job; for an accepted job on a
    // paused printer, why it is paused.
    QString reason;
    bool paused = false;
};

// Hands a PDF document of upright pages to `printer` as one job titled
// `title`, printed as drawn (no scaling, no turning), with the user's saved
// options for the queue below what `request` sets, and watches the job until
// it leaves the waiting state, for `waitMs` at most.
PrintJobOutcome SendPdfToPrinter(const QString& printer, const QString& title,
                                 const QByteArray& pdf, const JobRequest& request = {},
                                 int waitMs = 3000);

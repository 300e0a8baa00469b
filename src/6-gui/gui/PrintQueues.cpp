#include "gui/PrintQueues.h"

#include <cups/cups.h>

#include <QElapsedTimer>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <memory>

namespace {

struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpClose>;

struct IppDelete {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Response = std::unique_ptr<ipp_t, IppDelete>;

// A connection of our own to the scheduler; null, with `problem` set, when it
// cannot be reached.
Connection Connect(QString& problem) {
    errno = 0;
    Connection http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 5000, nullptr));
    if (!http) {
        const int error = errno;
        problem = QStringLiteral("the print system cannot be reached");
        if (error != 0)
            problem += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
    }
    return http;
}

QString LastError() {
    const char* text = cupsLastErrorString();
    return text && *text ? QString::fromUtf8(text) : QStringLiteral("unknown error");
}

// The printer's state, reasons and message.
struct PrinterState {
    bool found = false;
    bool stopped = false;
    QString message;
    QString reasons;
};

QString Joined(ipp_attribute_t* attribute, const char* skip) {
    QStringList values;
    for (int i = 0; attribute && i < ippGetCount(attribute); ++i) {
        const char* value = ippGetString(attribute, i, nullptr);
        if (value && std::strcmp(value, skip) != 0)
            values << QString::fromUtf8(value);
    }
    return values.join(QStringLiteral(", "));
}

std::string PrinterUri(const QString& printer) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", printer.toUtf8().constData());
    return uri;
}

// Asks the scheduler for three attributes of a printer, or of one of its jobs
// when job is above 0; nothing when it does not answer them.
Response AskAttributes(http_t* http, const QString& printer, int job,
                       const char* const (&wanted)[3]) {
    ipp_t* request =
        ippNewRequest(job > 0 ? IPP_OP_GET_JOB_ATTRIBUTES : IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 PrinterUri(printer).c_str());
    if (job > 0)
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr,
                  wanted);
    Response response(cupsDoRequest(http, request, "/"));
    if (response && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE)
        response.reset();
    return response;
}

PrinterState StateOf(http_t* http, const QString& printer) {
    static const char* const wanted[] = {"printer-state", "printer-state-message",
                                         "printer-state-reasons"};
    const Response response = AskAttributes(http, printer, 0, wanted);
    PrinterState state;
    if (!response)
        return state;
    state.found = true;
    ipp_t* r = response.get();
    state.stopped =
        ippGetInteger(ippFindAttribute(r, "printer-state", IPP_TAG_ENUM), 0) == IPP_PSTATE_STOPPED;
    state.message = QString::fromUtf8(
        ippGetString(ippFindAttribute(r, "printer-state-message", IPP_TAG_TEXT), 0, nullptr));
    state.reasons = Joined(ippFindAttribute(r, "printer-state-reasons", IPP_TAG_KEYWORD), "none");
    return state;
}

// A job's state and what the scheduler says about it.
struct JobState {
    int state = 0;
    QString why;
};

JobState StateOfJob(http_t* http, const QString& printer, int job) {
    static const char* const wanted[] = {"job-state", "job-state-reasons",
                                         "job-printer-state-message"};
    const Response response = AskAttributes(http, printer, job, wanted);
    JobState state;
    if (!response)
        return state;
    ipp_t* r = response.get();
    state.state = ippGetInteger(ippFindAttribute(r, "job-state", IPP_TAG_ENUM), 0);
    state.why = QString::fromUtf8(
        ippGetString(ippFindAttribute(r, "job-printer-state-message", IPP_TAG_TEXT), 0, nullptr));
    const QString reasons =
        Joined(ippFindAttribute(r, "job-state-reasons", IPP_TAG_KEYWORD), "none");
    if (state.why.isEmpty())
        state.why = reasons;
    return state;
}

QString Either(const QString& first, const QString& second) {
    return first.isEmpty() ? second : first;
}

}  // namespace

PrintQueues ListPrintQueues() {
    PrintQueues queues;
    const Connection http = Connect(queues.problem);
    if (!http)
        return queues;
    queues.reachable = true;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http.get(), &dests);
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance != nullptr)
            continue;
        const QString name = QString::fromUtf8(dests[i].name);
        queues.names << name;
        if (dests[i].is_default)
            queues.defaultName = name;
    }
    cupsFreeDests(count, dests);
    return queues;
}

PrintJobOutcome SendPdfToPrinter(const QString& printer, const QString& title,
                                 const QByteArray& pdf, int waitMs) {
    PrintJobOutcome outcome;
    const Connection http = Connect(outcome.reason);
    if (!http)
        return outcome;
    const QByteArray name = printer.toUtf8();
    const QByteArray jobTitle = title.toUtf8();
    // The report is laid out for the page the user chose, margins included:
    // the printer must not scale it to its own printable area.
    cups_option_t* options = nullptr;
    int optionCount = cupsAddOption("print-scaling", "none", 0, &options);
    optionCount = cupsAddOption("fit-to-page", "false", optionCount, &options);
    outcome.job =
        cupsCreateJob(http.get(), name.constData(), jobTitle.constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (outcome.job == 0) {
        outcome.reason = LastError();
        const PrinterState state = StateOf(http.get(), printer);
        if (!state.message.isEmpty() && !outcome.reason.contains(state.message)) {
            if (outcome.reason.endsWith(QLatin1Char('.')))
                outcome.reason.chop(1);
            outcome.reason += QStringLiteral(": ") + state.message;
        }
        return outcome;
    }
    bool sent = cupsStartDocument(http.get(), name.constData(), outcome.job, jobTitle.constData(),
                                  CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE &&
                cupsWriteRequestData(http.get(), pdf.constData(),
                                     static_cast<std::size_t>(pdf.size())) == HTTP_STATUS_CONTINUE;
    // The document must be finished even after a failed write, to read the
    // scheduler's answer.
    sent =
        cupsFinishDocument(http.get(), name.constData()) <= IPP_STATUS_OK_EVENTS_COMPLETE && sent;
    if (!sent) {
        outcome.reason = LastError();
        cupsCancelJob2(http.get(), name.constData(), outcome.job, 0);
        return outcome;
    }

    // A paused printer keeps the job waiting: no use watching it.
    PrinterState printerState = StateOf(http.get(), printer);
    JobState job = StateOfJob(http.get(), printer, outcome.job);
    QElapsedTimer clock;
    clock.start();
    while (!printerState.stopped && job.state == IPP_JSTATE_PENDING && clock.elapsed() < waitMs) {
        QThread::msleep(50);
        job = StateOfJob(http.get(), printer, outcome.job);
        if (job.state == IPP_JSTATE_PENDING)
            printerState = StateOf(http.get(), printer);
    }
    if (job.state == IPP_JSTATE_CANCELED || job.state == IPP_JSTATE_ABORTED) {
        outcome.reason = Either(job.why, QStringLiteral("the job was cancelled"));
        return outcome;
    }
    if (job.state == 0) {
        outcome.reason = LastError();
        return outcome;
    }
    outcome.accepted = true;
    if (printerState.stopped) {
        outcome.paused = true;
        outcome.reason = Either(printerState.message, printerState.reasons);
        if (outcome.reason.isEmpty())
            outcome.reason = QStringLiteral("no reason given");
    }
    return outcome;
}

#include "gui/PrintQueues.h"

#include <cups/cups.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// ---- Waiting for the print system, away from the window's thread ----------

// Shows the waiting window once the call has lasted this long.
constexpr int QuietWaitMs = 300;

// Runs the event loop until `done`; after a moment a window says that the
// program waits for the print system, and its Cancel sets `cancelled`. User
// input waits until that window is shown (it is then modal), so that no other
// button runs meanwhile. False when cancelled.
bool WaitShowingWindow(const std::atomic<bool>& done, std::atomic<bool>& cancelled) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) ||
        QThread::currentThread() != QCoreApplication::instance()->thread()) {
        while (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return true;
    }
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.exit(0);
    });
    poll.start(5);
    QProgressDialog wait(QStringLiteral("Waiting for the print system..."),
                         QStringLiteral("Cancel"), 0, 0, QApplication::activeWindow());
    wait.setObjectName(QStringLiteral("PrintSystemWait"));
    wait.setWindowTitle(QStringLiteral("Printing"));
    wait.setWindowModality(Qt::ApplicationModal);
    wait.setAutoClose(false);
    wait.setAutoReset(false);
    wait.setMinimumDuration(0);
    wait.hide();
    QObject::connect(&wait, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.exit(1);
    });
    QTimer::singleShot(QuietWaitMs, &loop, [&] { loop.exit(2); });
    int how = loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (how == 2 && !done) {
        wait.show();
        how = loop.exec();
    }
    return !cancelled;
}

// Work that may outlive the wait (when the user cancels) keeps its own state.
template <class Result>
struct Shared {
    std::atomic<bool> done{false};
    std::atomic<bool> cancelled{false};
    std::mutex lock;
    Result result;
};

// Runs `work` on a thread of its own (libcups keeps its connection settings
// and last error per thread) while the window waits; none when cancelled.
template <class Result>
std::optional<Result> AwayFromWindow(std::function<Result(const std::atomic<bool>&)> work) {
    auto shared = std::make_shared<Shared<Result>>();
    std::thread([shared, work = std::move(work)] {
        Result result = work(shared->cancelled);
        const std::lock_guard<std::mutex> hold(shared->lock);
        shared->result = std::move(result);
        shared->done = true;
    }).detach();
    if (!WaitShowingWindow(shared->done, shared->cancelled))
        return std::nullopt;
    const std::lock_guard<std::mutex> hold(shared->lock);
    return std::move(shared->result);
}

template <class Result>
Result Cancelled() {
    Result result;
    result.trouble.cancelled = true;
    return result;
}

// ---- Bounded connections ------------------------------------------------------

// Gives a request up once the scheduler has been silent for the whole patience
// or the user cancelled: libcups calls this every quarter second of silence.
struct Patience {
    const std::atomic<bool>* cancelled = nullptr;
    Clock::time_point lastCall{};
    Clock::time_point silentSince{};
    bool gaveUp = false;
};

constexpr double SilenceStepSeconds = 0.25;

int KeepWaiting(http_t*, void* data) {
    auto& patience = *static_cast<Patience*>(data);
    const Clock::time_point now = Clock::now();
    // A gap between two calls means an answer came meanwhile.
    if (now - patience.lastCall > std::chrono::milliseconds(600))
        patience.silentSince = now - std::chrono::milliseconds(250);
    patience.lastCall = now;
    if (*patience.cancelled ||
        now - patience.silentSince >= std::chrono::milliseconds(PrintSystemPatienceMs)) {
        patience.gaveUp = true;
        return 0;
    }
    return 1;
}

struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};

struct IppDelete {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Response = std::unique_ptr<ipp_t, IppDelete>;

// libcups says "host is down" of every connection that failed: the reason is
// read from an attempt of our own, as bounded.
int ConnectionError() {
    const QByteArray port = QByteArray::number(ippPort());
    http_addrlist_t* addresses = httpAddrGetList(cupsServer(), AF_UNSPEC, port.constData());
    if (!addresses)
        return 0;
    const http_addr_t& address = addresses->addr;
    int error = 0;
    const int fd = socket(httpAddrFamily(const_cast<http_addr_t*>(&address)),
                          SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = errno;
    } else if (connect(fd, reinterpret_cast<const sockaddr*>(&address),
                       static_cast<socklen_t>(httpAddrLength(&address))) != 0) {
        error = errno;
        pollfd wait{fd, POLLOUT, 0};
        if (error == EINPROGRESS) {
            socklen_t length = sizeof error;
            if (poll(&wait, 1, PrintSystemPatienceMs) <= 0)
                error = ETIMEDOUT;
            else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
        }
    }
    if (fd >= 0)
        close(fd);
    httpAddrFreeList(addresses);
    return error;
}

// A connection of our own to the scheduler, every wait on it bounded.
class Connection {
  public:
    explicit Connection(const std::atomic<bool>& cancelled) { patience_.cancelled = &cancelled; }

    // False, with `trouble` set, when the scheduler cannot be reached.
    bool Open(PrintSystemTrouble& trouble) {
        // Created unconnected, so that the connection's own error survives
        // the failed attempt (errno does not: the socket is closed after it).
        http_.reset(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 0, nullptr));
        if (!http_) {
            trouble.problem = QStringLiteral("the print system cannot be reached: ") +
                              QString::fromUtf8(cupsLastErrorString());
            return false;
        }
        int cancel = 0;
        if (httpReconnect2(http_.get(), PrintSystemPatienceMs, &cancel) != 0) {
            const int error = ConnectionError();
            Describe(error != 0 ? error : httpError(http_.get()), trouble);
            http_.reset();
            return false;
        }
        httpSetTimeout(http_.get(), SilenceStepSeconds, KeepWaiting, &patience_);
        return true;
    }

    http_t* get() const { return http_.get(); }

    // Why the last request failed: the scheduler's silence, the user's
    // cancel, or what libcups says (read on the thread that made it).
    PrintSystemTrouble Trouble() const {
        PrintSystemTrouble trouble;
        if (*patience_.cancelled)
            trouble.cancelled = true;
        else if (patience_.gaveUp)
            trouble.problem = QStringLiteral("the print system did not answer");
        else
            trouble.problem = LastError();
        return trouble;
    }
    bool GaveUp() const { return patience_.gaveUp; }

    static QString LastError() {
        const char* text = cupsLastErrorString();
        return text && *text ? QString::fromUtf8(text) : QStringLiteral("unknown error");
    }

  private:
    static void Describe(int error, PrintSystemTrouble& trouble) {
        if (error == ECONNREFUSED || error == ENOENT) {
            trouble.notRunning = true;
            trouble.problem = QStringLiteral("the print system is not running");
        } else if (error == ETIMEDOUT) {
            trouble.problem = QStringLiteral("the print system did not answer");
        } else {
            trouble.problem = QStringLiteral("the print system cannot be reached");
            if (error != 0)
                trouble.problem +=
                    QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
        }
    }

    std::unique_ptr<http_t, HttpClose> http_;
    Patience patience_;
};

// ---- Requests -------------------------------------------------------------------

QString Joined(ipp_attribute_t* attribute, const char* skip) {
    QStringList values;
    for (int i = 0; attribute && i < ippGetCount(attribute); ++i) {
        const char* value = ippGetString(attribute, i, nullptr);
        if (value && std::strcmp(value, skip) != 0)
            values << QString::fromUtf8(value);
    }
    return values.join(QStringLiteral(", "));
}

QString Either(const QString& first, const QString& second) {
    return first.isEmpty() ? second : first;
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

// The printer's state, reasons and message.
struct PrinterState {
    bool stopped = false;
    QString message;
    QString reasons;
};

PrinterState StateOf(http_t* http, const QString& printer) {
    static const char* const wanted[] = {"printer-state", "printer-state-message",
                                         "printer-state-reasons"};
    const Response response = AskAttributes(http, printer, 0, wanted);
    PrinterState state;
    if (!response)
        return state;
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
    if (state.why.isEmpty())
        state.why = Joined(ippFindAttribute(r, "job-state-reasons", IPP_TAG_KEYWORD), "none");
    return state;
}

// One printer of the scheduler's list, from its group of attributes.
PrintQueue QueueOf(ipp_t* response, ipp_attribute_t*& attribute) {
    PrintQueue queue;
    QString message, reasons;
    for (; attribute && ippGetGroupTag(attribute) == IPP_TAG_PRINTER;
         attribute = ippNextAttribute(response)) {
        const char* name = ippGetName(attribute);
        if (!name)
            continue;
        const QString value = QString::fromUtf8(ippGetString(attribute, 0, nullptr));
        if (!std::strcmp(name, "printer-name"))
            queue.name = value;
        else if (!std::strcmp(name, "printer-info"))
            queue.description = value;
        else if (!std::strcmp(name, "printer-state"))
            queue.paused = ippGetInteger(attribute, 0) == IPP_PSTATE_STOPPED;
        else if (!std::strcmp(name, "printer-is-accepting-jobs"))
            queue.refusing = !ippGetBoolean(attribute, 0);
        else if (!std::strcmp(name, "printer-state-message"))
            message = value;
        else if (!std::strcmp(name, "printer-state-reasons"))
            reasons = Joined(attribute, "none");
    }
    queue.why = Either(message, reasons);
    return queue;
}

PrintQueues ListNow(const std::atomic<bool>& cancelled) {
    PrintQueues queues;
    Connection http(cancelled);
    if (!http.Open(queues.trouble))
        return queues;
    static const char* const wanted[] = {"printer-name",          "printer-info",
                                         "printer-state",         "printer-state-message",
                                         "printer-state-reasons", "printer-is-accepting-jobs"};
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(wanted)), nullptr, wanted);
    const Response response(cupsDoRequest(http.get(), request, "/"));
    // The scheduler says "not found" when it has no printers; any other
    // failure is no answer about them.
    const ipp_status_t status = cupsLastError();
    if (!response || http.GaveUp() ||
        (status > IPP_STATUS_OK_EVENTS_COMPLETE && status != IPP_STATUS_ERROR_NOT_FOUND)) {
        queues.trouble = http.Trouble();
        return queues;
    }
    ipp_t* r = response.get();
    for (ipp_attribute_t* attribute = ippFirstAttribute(r); attribute;) {
        if (ippGetGroupTag(attribute) != IPP_TAG_PRINTER) {
            attribute = ippNextAttribute(r);
            continue;
        }
        const PrintQueue queue = QueueOf(r, attribute);
        if (!queue.name.isEmpty()) {
            queues.queues << queue;
            queues.names << queue.name;
        }
    }
    // The user's default (LPDEST, PRINTER, lpoptions), else the scheduler's.
    const char* defaultName = cupsGetDefault2(http.get());
    if (http.GaveUp() || cancelled.load()) {
        queues.trouble = http.Trouble();
        return queues;
    }
    queues.defaultName = defaultName ? QString::fromUtf8(defaultName) : QString();
    return queues;
}

struct DestFree {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Destination = std::unique_ptr<cups_dest_t, DestFree>;
struct InfoFree {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};

constexpr double PointsPerHundredthMm = 72 / 2540.0;

void TakeSize(const cups_size_t& size, QueuePaper& paper) {
    paper.media = size.media;
    paper.widthMm = size.width / 100.0;
    paper.heightMm = size.length / 100.0;
    paper.minimum = QMarginsF(size.left, size.top, size.right, size.bottom) * PointsPerHundredthMm;
}

QueuePaper PaperNow(const QString& printer, double widthMm, double heightMm,
                    const std::atomic<bool>& cancelled) {
    QueuePaper paper;
    Connection http(cancelled);
    if (!http.Open(paper.trouble))
        return paper;
    // With the user's saved options (lpoptions), as lp reads them.
    const Destination dest(cupsGetNamedDest(http.get(), printer.toUtf8().constData(), nullptr));
    if (!dest) {
        if (http.GaveUp() || cancelled.load())
            paper.trouble = http.Trouble();
        return paper;
    }
    const std::unique_ptr<cups_dinfo_t, InfoFree> info(cupsCopyDestInfo(http.get(), dest.get()));
    if (!info) {
        paper.trouble = http.Trouble();
        return paper;
    }
    paper.found = true;
    // libcups's own default paper is Letter unless the user saved one: the
    // queue's default comes from its `media-default`.
    cups_size_t size{};
    const char* saved = cupsGetOption("media", dest->num_options, dest->options);
    ipp_attribute_t* queueDefault =
        cupsFindDestDefault(http.get(), dest.get(), info.get(), "media");
    const char* media = saved ? saved : ippGetString(queueDefault, 0, nullptr);
    if ((media && cupsGetDestMediaByName(http.get(), dest.get(), info.get(), media,
                                         CUPS_MEDIA_FLAGS_DEFAULT, &size)) ||
        cupsGetDestMediaDefault(http.get(), dest.get(), info.get(), CUPS_MEDIA_FLAGS_DEFAULT,
                                &size))
        TakeSize(size, paper);
    if (widthMm > 0 && heightMm > 0) {
        const auto hundredths = [](double mm) { return static_cast<int>(std::lround(mm * 100)); };
        if (cupsGetDestMediaBySize(http.get(), dest.get(), info.get(), hundredths(widthMm),
                                   hundredths(heightMm), CUPS_MEDIA_FLAGS_DEFAULT, &size)) {
            TakeSize(size, paper);
        } else {
            // A paper the queue does not list: named by its size, with the
            // margins of the queue's own paper.
            const pwg_media_t* named = pwgMediaForSize(hundredths(widthMm), hundredths(heightMm));
            paper.media = named ? QByteArray(named->pwg) : QByteArray();
            paper.widthMm = widthMm;
            paper.heightMm = heightMm;
        }
    }
    ipp_attribute_t* sides = cupsFindDestSupported(http.get(), dest.get(), info.get(), "sides");
    for (int i = 0; sides && i < ippGetCount(sides); ++i)
        paper.sidesSupported << QString::fromUtf8(ippGetString(sides, i, nullptr));
    paper.savedCopies =
        QByteArray(cupsGetOption("copies", dest->num_options, dest->options)).toInt();
    paper.savedSides = QString::fromUtf8(cupsGetOption("sides", dest->num_options, dest->options));
    if (http.GaveUp() || cancelled.load())
        paper.trouble = http.Trouble();
    return paper;
}

// The job's options: what the report needs, what the user chose in this run,
// then the user's saved options for the queue, as lp sends them.
int JobOptions(http_t* http, const QString& printer, const JobRequest& request,
               cups_option_t** options) {
    // The report is laid out on upright pages of the paper named, margins
    // included: the printer must neither scale nor turn it.
    int count = cupsAddOption("print-scaling", "none", 0, options);
    count = cupsAddOption("fit-to-page", "false", count, options);
    count = cupsAddOption("orientation-requested", "3", count, options);
    if (!request.media.isEmpty())
        count = cupsAddOption("media", request.media.constData(), count, options);
    if (request.copies > 0)
        count = cupsAddIntegerOption("copies", request.copies, count, options);
    if (!request.sides.isEmpty())
        count = cupsAddOption("sides", request.sides.toUtf8().constData(), count, options);
    const Destination dest(cupsGetNamedDest(http, printer.toUtf8().constData(), nullptr));
    for (int i = 0; dest && i < dest->num_options; ++i) {
        const cups_option_t& saved = dest->options[i];
        if (!cupsGetOption(saved.name, count, *options))
            count = cupsAddOption(saved.name, saved.value, count, options);
    }
    return count;
}

// On a connection of its own: the job's may have been given up.
void CancelJob(const QByteArray& printer, int job) {
    const std::atomic<bool> never{false};
    Connection http(never);
    PrintSystemTrouble ignored;
    if (http.Open(ignored))
        cupsCancelJob2(http.get(), printer.constData(), job, 0);
}

PrintJobOutcome SendNow(const QString& printer, const QString& title, const QByteArray& pdf,
                        const JobRequest& request, int waitMs, const std::atomic<bool>& cancelled) {
    PrintJobOutcome outcome;
    Connection connection(cancelled);
    if (!connection.Open(outcome.trouble))
        return outcome;
    http_t* http = connection.get();
    const QByteArray name = printer.toUtf8();
    const QByteArray jobTitle = title.toUtf8();
    cups_option_t* options = nullptr;
    const int optionCount = JobOptions(http, printer, request, &options);
    outcome.job = cancelled.load() ? 0
                                   : cupsCreateJob(http, name.constData(), jobTitle.constData(),
                                                   optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (outcome.job == 0) {
        if (connection.GaveUp() || cancelled.load()) {
            outcome.trouble = connection.Trouble();
            return outcome;
        }
        outcome.reason = Connection::LastError();
        const PrinterState state = StateOf(http, printer);
        if (!state.message.isEmpty() && !outcome.reason.contains(state.message)) {
            if (outcome.reason.endsWith(QLatin1Char('.')))
                outcome.reason.chop(1);
            outcome.reason += QStringLiteral(": ") + state.message;
        }
        return outcome;
    }
    bool sent = cupsStartDocument(http, name.constData(), outcome.job, jobTitle.constData(),
                                  CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE &&
                cupsWriteRequestData(http, pdf.constData(), static_cast<std::size_t>(pdf.size())) ==
                    HTTP_STATUS_CONTINUE;
    // The document must be finished even after a failed write, to read the
    // scheduler's answer.
    sent = cupsFinishDocument(http, name.constData()) <= IPP_STATUS_OK_EVENTS_COMPLETE && sent;
    if (!sent || connection.GaveUp() || cancelled.load()) {
        if (connection.GaveUp() || cancelled.load())
            outcome.trouble = connection.Trouble();
        else
            outcome.reason = Connection::LastError();
        CancelJob(name, outcome.job);
        return outcome;
    }

    // A paused printer keeps the job waiting: no use watching it.
    PrinterState printerState = StateOf(http, printer);
    JobState job = StateOfJob(http, printer, outcome.job);
    QElapsedTimer clock;
    clock.start();
    while (!printerState.stopped && job.state == IPP_JSTATE_PENDING && clock.elapsed() < waitMs &&
           !cancelled.load()) {
        QThread::msleep(50);
        job = StateOfJob(http, printer, outcome.job);
        if (job.state == IPP_JSTATE_PENDING)
            printerState = StateOf(http, printer);
    }
    if (job.state == IPP_JSTATE_CANCELED || job.state == IPP_JSTATE_ABORTED) {
        outcome.reason = Either(job.why, QStringLiteral("the job was cancelled"));
        return outcome;
    }
    if (job.state == 0 && !connection.GaveUp()) {
        outcome.reason = Connection::LastError();
        return outcome;
    }
    outcome.accepted = true;
    if (printerState.stopped) {
        outcome.paused = true;
        outcome.reason = Either(Either(printerState.message, printerState.reasons),
                                QStringLiteral("no reason given"));
    }
    return outcome;
}

}  // namespace

const PrintQueue* PrintQueues::Find(const QString& name) const {
    for (const PrintQueue& queue : queues) {
        if (queue.name == name)
            return &queue;
    }
    return nullptr;
}

PrintQueues ListPrintQueues() {
    return AwayFromWindow<PrintQueues>(ListNow).value_or(Cancelled<PrintQueues>());
}

QueuePaper AskQueuePaper(const QString& printer, double widthMm, double heightMm) {
    return AwayFromWindow<QueuePaper>([=](const std::atomic<bool>& cancelled) {
               return PaperNow(printer, widthMm, heightMm, cancelled);
           })
        .value_or(Cancelled<QueuePaper>());
}

PrintJobOutcome SendPdfToPrinter(const QString& printer, const QString& title,
                                 const QByteArray& pdf, const JobRequest& request, int waitMs) {
    return AwayFromWindow<PrintJobOutcome>([=](const std::atomic<bool>& cancelled) {
               return SendNow(printer, title, pdf, request, waitMs, cancelled);
           })
        .value_or(Cancelled<PrintJobOutcome>());
}

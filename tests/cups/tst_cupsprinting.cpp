// Printing through a real CUPS scheduler: the private one that
// tests/cups/private_cups.sh starts, found through CUPS_SERVER, with its
// CUPS-PDF queues writing into KAVRILON_CUPS_OUT and its driverless printers
// keeping their jobs beside it. Skipped without them.
#include <signal.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <algorithm>

#include "gui/PrintQueues.h"
#include "gui/PrinterSetupDialog.h"
#include "gui/ProgramPrinter.h"
#include "results/ReportPreview.h"
#include "results/ReportPrinting.h"
#include "solver/Session.h"
#include "support/PdfText.h"
#include "support/RenewSession.h"
#include "support/ScriptedPrompts.h"
#include "workspace/Workspace.h"

namespace {

constexpr double PointsPerMm = 72 / 25.4;

// A report long enough for three pages in landscape, with four-digit link
// numbers at the left edge.
ReportText LongReport() {
    ReportText report;
    report.linkHeading = QStringLiteral("LINK   FROM         TO            LOWER   UPPER    FLOW");
    for (int k = 1; k <= 90; ++k) {
        report.linkLines << QStringLiteral("%1   ORIGIN%2   DEST%3   0   9   %4")
                                .arg(1000 + k)
                                .arg(k % 7)
                                .arg(k % 5)
                                .arg(k % 9);
    }
    report.nodeHeading = QStringLiteral("NODE   POTENTIAL");
    report.nodeLines << QStringLiteral("ORIGIN1   0") << QStringLiteral("DEST1   4");
    report.totalCost = QStringLiteral("TOTAL COST = 1,234");
    return report;
}

// The scheduler's jobs, finished or not.
int JobCount() {
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"),
                 {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o")});
    lpstat.waitForFinished(10000);
    return static_cast<int>(lpstat.readAllStandardOutput().count('\n'));
}

// The pages of a PDF as poppler reads them; 0 while it is not whole.
int PagesOf(const QString& file) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {file});
    pdfinfo.waitForFinished(30000);
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                          QRegularExpression::MultilineOption);
    return pages.match(QString::fromLatin1(pdfinfo.readAllStandardOutput())).captured(1).toInt();
}

// The lines of text on the pages: the words of one line lie at the same
// height, or, on a page turned a quarter, at the same left, within less than
// a line's advance (the backend splits a line's letters over fonts whose
// boxes differ by up to 9 points).
int LineCount(const QList<PdfLine>& words, bool turned) {
    QList<QPair<int, double>> places;
    for (const PdfLine& word : words)
        places.append({word.page, turned ? word.left : word.top});
    std::sort(places.begin(), places.end());
    int lines = 0;
    for (int k = 0; k < places.size(); ++k) {
        if (k == 0 || places[k].first != places[k - 1].first ||
            places[k].second - places[k - 1].second > 10)
            ++lines;
    }
    return lines;
}

// The PDF the CUPS-PDF backend wrote for a job, once it is whole; empty when
// none came within a minute.
QString OutputOfJob(int job) {
    const QDir out(qEnvironmentVariable("KAVRILON_CUPS_OUT"));
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000) {
        const QStringList found =
            out.entryList({QStringLiteral("*-job_%1.pdf").arg(job)}, QDir::Files);
        if (!found.isEmpty() && PagesOf(out.filePath(found.first())) > 0)
            return out.filePath(found.first());
        QThread::msleep(200);
    }
    return {};
}

int JobOf(const std::string& message) {
    static const QRegularExpression job(QStringLiteral("\\(job (\\d+)\\)"));
    return job.match(QString::fromStdString(message)).captured(1).toInt();
}

void Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
}

// The report as the program draws it for `printer` (on the queue's paper; a
// landscape one not turned), as a file beside the queues' output.
QString SentReport(const ReportText& report, const QString& printer,
                   kav::PrinterSetupChoice page = {}) {
    page.printer = printer.toStdString();
    QByteArray pdf;
    const PrinterPage printerPage = PageOnPrinter(page);
    RenderReportPdf(report, printerPage.page, pdf, nullptr, printerPage.minimum);
    const QString file = QDir(qEnvironmentVariable("KAVRILON_CUPS_OUT")).filePath("sent.pdf");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size())
        return {};
    return file;
}

// The folder of the private scheduler.
QString Folder() {
    return QFileInfo(qEnvironmentVariable("KAVRILON_CUPS_OUT")).path();
}

QStringList PdfsIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

// The document a driverless printer kept, once whole: the one in its folder
// that was not among `before`; empty when none came within a minute.
QString NewJobIn(const QString& folder, const QStringList& before) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000) {
        for (const QString& name : PdfsIn(folder)) {
            const QString file = QDir(folder).filePath(name);
            if (!before.contains(name) && PagesOf(file) > 0)
                return file;
        }
        QThread::msleep(200);
    }
    return {};
}

// The job's attributes as the driverless printer `name` holds them, for the
// document it kept (named N-TITLE.pdf for job N).
QString JobAttributes(const QString& name, const QString& keptFile) {
    QFile uri(QDir(Folder()).filePath(name + ".uri"));
    if (!uri.open(QIODevice::ReadOnly))
        return {};
    QProcess ipptool;
    ipptool.start(QStringLiteral("ipptool"),
                  {QStringLiteral("-tv"), QStringLiteral("-d"),
                   QStringLiteral("job_id=") + QFileInfo(keptFile).fileName().section('-', 0, 0),
                   QString::fromUtf8(uri.readAll().trimmed()),
                   QStringLiteral(KAVRILON_SOURCE_DIR "/tests/cups/get-job.test")});
    ipptool.waitForFinished(30000);
    return QString::fromUtf8(ipptool.readAllStandardOutput());
}

// The size of every sheet of a PDF, in points, as poppler reads them.
QList<QSizeF> SheetSizes(const QString& file) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                              QStringLiteral("-l"), QStringLiteral("9999"), file});
    pdfinfo.waitForFinished(30000);
    static const QRegularExpression size(
        QStringLiteral("^Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts"),
        QRegularExpression::MultilineOption);
    QList<QSizeF> sizes;
    for (const QRegularExpressionMatch& match :
         size.globalMatch(QString::fromLatin1(pdfinfo.readAllStandardOutput())))
        sizes << QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
    return sizes;
}

// The attributes of the scheduler's job `job` on `queue` (ipptool
// Get-Job-Attributes, through the scheduler's loopback port).
QString SchedulerJobAttributes(const QString& queue, int job) {
    QFile conf(QDir(Folder()).filePath("cupsd.conf"));
    if (!conf.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression listen(QStringLiteral("^Listen (127\\.0\\.0\\.1:\\d+)$"),
                                           QRegularExpression::MultilineOption);
    const QString address = listen.match(QString::fromUtf8(conf.readAll())).captured(1);
    QProcess ipptool;
    ipptool.start(
        QStringLiteral("ipptool"),
        {QStringLiteral("-tv"), QStringLiteral("-d"), QStringLiteral("job_id=%1").arg(job),
         QStringLiteral("ipp://%1/printers/%2").arg(address, queue),
         QStringLiteral(KAVRILON_SOURCE_DIR "/tests/cups/get-job.test")});
    ipptool.waitForFinished(30000);
    return QString::fromUtf8(ipptool.readAllStandardOutput());
}

// The report's title ("LINK LIST", its first line, short) runs across the top
// of the first sheet from its left, or, turned, up the sheet's left edge from
// its bottom. Its words are told by place alone: the backend's fonts may
// hide their letters from pdftotext.
void ExpectTitleRuns(const QString& file, bool turned) {
    const PdfPages pages = ReadPdf(file, true);
    QList<PdfLine> first;
    for (const PdfLine& word : pages.lines) {
        if (word.page == 1)
            first << word;
    }
    QVERIFY(!first.isEmpty());
    const auto edge = [turned](const PdfLine& word) { return turned ? word.left : word.top; };
    const double start =
        edge(*std::min_element(first.begin(), first.end(),
                               [&](const auto& a, const auto& b) { return edge(a) < edge(b); }));
    for (const PdfLine& word : first) {
        if (edge(word) > start + 5)
            continue;
        const bool inPlace = turned ? word.left < pages.width / 4 && word.top > pages.height / 2
                                    : word.top < pages.height / 4 && word.right < pages.width / 2;
        QVERIFY2(inPlace, qPrintable(QStringLiteral("the title's word at %1,%2..%3,%4 pt")
                                         .arg(word.left)
                                         .arg(word.top)
                                         .arg(word.right)
                                         .arg(word.bottom)));
    }
}

// The process id of the scheduler that the tests stop.
pid_t HungScheduler() {
    QFile pid(QDir(Folder()).filePath("hung/cupsd.pid"));
    return pid.open(QIODevice::ReadOnly) ? static_cast<pid_t>(pid.readAll().trimmed().toInt()) : 0;
}

// Every word of the document lies within `inset` points of each edge of its
// upright sheet of `width` by `height` points.
void ExpectWordsInside(const QString& file, double width, double height, const QMarginsF& inset) {
    const PdfPages pages = ReadPdf(file, true);
    QVERIFY(!pages.lines.isEmpty());
    QVERIFY2(
        std::abs(pages.width - width) < 1 && std::abs(pages.height - height) < 1,
        qPrintable(QStringLiteral("a sheet of %1 x %2 pt").arg(pages.width).arg(pages.height)));
    // pdftotext's boxes of the backend's fonts are a little larger than the
    // glyphs, and of turned words only their origins.
    constexpr double slack = 2.5;
    for (const PdfLine& word : pages.lines) {
        QVERIFY2(word.left >= inset.left() - slack && word.top >= inset.top() - slack &&
                     word.right <= width - inset.right() + slack &&
                     word.bottom <= height - inset.bottom() + slack,
                 qPrintable(QStringLiteral("page %1: \"%2\" at %3,%4..%5,%6 pt")
                                .arg(word.page)
                                .arg(word.text)
                                .arg(word.left)
                                .arg(word.top)
                                .arg(word.right)
                                .arg(word.bottom)));
    }
}

}  // namespace

class TestCupsPrinting : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void theReportGoesWhereChosenAndEveryOutcomeIsSaid_data();
    void theReportGoesWhereChosenAndEveryOutcomeIsSaid();
    void everyLineLiesInsideWhatThePrinterCanPrint_data();
    void everyLineLiesInsideWhatThePrinterCanPrint();
    void aSchedulerThatIsNotRunningIsSaidAndNothingPrinted();
    void everyWordLiesInsideThePrintableAreaOfThePaperReceived_data();
    void everyWordLiesInsideThePrintableAreaOfThePaperReceived();
    void aSchedulerThatNeverAnswersIsGivenUpWhileTheWindowRuns_data();
    void aSchedulerThatNeverAnswersIsGivenUpWhileTheWindowRuns();
    void theUsersSavedOptionsReachTheJob_data();
    void theUsersSavedOptionsReachTheJob();
    void aPageRangePrintsThosePagesNumberedInTheWholeReport_data();
    void aPageRangePrintsThosePagesNumberedInTheWholeReport();
    void thePreviewShowsThePagesAsTheyWillPrint();
    void theCutWindowsReportIsCalledTheExplanation();
    void printerSetupSaysWhichQueuesArePausedOrRefuse();

  private:
    ScriptedPrompts prompts_;
    kav::Session session_{prompts_};
};

void TestCupsPrinting::initTestCase() {
    if (qEnvironmentVariableIsEmpty("CUPS_SERVER") ||
        qEnvironmentVariableIsEmpty("KAVRILON_CUPS_OUT"))
        QSKIP("no private CUPS scheduler (tests/cups/private_cups.sh)");
    // The queue that a test deletes, as a user might while the program runs.
    const QStringList queues = ListPrintQueues().names;
    QVERIFY2(queues.contains("kav-plain") && queues.contains("kav-margins"),
             qPrintable(queues.join(' ')));
    if (queues.contains("kav-gone"))
        Run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), QStringLiteral("kav-gone")});
}

void TestCupsPrinting::init() {
    prompts_.Clear();
    RenewSession(session_, prompts_);
    session_.printSetup = PrintSetup();
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
}

void TestCupsPrinting::cleanup() {
    qunsetenv("LPDEST");
    QCOMPARE(prompts_.unscripted, 0);
}

void TestCupsPrinting::theReportGoesWhereChosenAndEveryOutcomeIsSaid_data() {
    QTest::addColumn<QString>("chosen");        // in Printer Setup; empty: nothing chosen
    QTest::addColumn<QString>("defaultQueue");  // the user's default printer
    QTest::addColumn<QList<int>>("answers");    // to the questions, 1 = Yes
    QTest::addColumn<QString>("setupChooses");  // when Printer Setup opens; empty: cancel
    QTest::addColumn<QStringList>("events");    // what the user sees, in order
    QTest::addColumn<QString>("printedOn");     // empty: nothing printed
    QTest::addColumn<bool>("paused");           // the printer paused (cupsdisable) meanwhile

    const QString sent = QStringLiteral("message The results were sent to printer %1 (job ");
    QTest::newRow("the chosen printer")
        << "kav-plain"
        << "kav-margins" << QList<int>{} << QString() << QStringList{sent.arg("kav-plain")}
        << "kav-plain" << false;
    QTest::newRow("nothing chosen: the default printer")
        << QString() << "kav-margins" << QList<int>{} << QString()
        << QStringList{sent.arg("kav-margins")} << "kav-margins" << false;
    const QString noDefault =
        QStringLiteral("message No default printer is set: choose the printer in Printer Setup.");
    QTest::newRow("no default: Printer Setup asks, cancelled")
        << QString() << QString() << QList<int>{} << QString()
        << QStringList{noDefault, "printer setup"} << QString() << false;
    QTest::newRow("no default: Printer Setup asks, answered")
        << QString() << QString() << QList<int>{} << "kav-plain"
        << QStringList{noDefault, "printer setup", sent.arg("kav-plain")} << "kav-plain" << false;
    QTest::newRow("a queue that rejects jobs")
        << "kav-reject"
        << "kav-plain" << QList<int>{} << QString()
        << QStringList{"message The printer kav-reject could not print the results.\r("}
        << QString() << false;
    const QString gone = QStringLiteral(
        "message The printer kav-gone cannot be used (it is no longer installed).\r"
        "Choose another printer?");
    QTest::newRow("a deleted queue, No")
        << "kav-gone"
        << "kav-plain" << QList<int>{0} << QString() << QStringList{gone} << QString() << false;
    QTest::newRow("a deleted queue, Yes and another printer")
        << "kav-gone"
        << "kav-plain" << QList<int>{1} << "kav-margins"
        << QStringList{gone, "printer setup", sent.arg("kav-margins")} << "kav-margins" << false;
    QTest::newRow("a paused printer") << "kav-plain" << QString() << QList<int>{} << QString()
                                      << QStringList{sent.arg("kav-plain")} << "kav-plain" << true;
}

// Where the report goes, and what the user is told, for each way the print
// system may stand; a report printed is read back from the queue's PDF.
void TestCupsPrinting::theReportGoesWhereChosenAndEveryOutcomeIsSaid() {
    QFETCH(QString, chosen);
    QFETCH(QString, defaultQueue);
    QFETCH(QList<int>, answers);
    QFETCH(QString, setupChooses);
    QFETCH(QStringList, events);
    QFETCH(QString, printedOn);
    QFETCH(bool, paused);

    if (paused)
        Run(QStringLiteral("cupsdisable"),
            {QStringLiteral("-r"), QStringLiteral("out of paper"), printedOn});
    if (!chosen.isEmpty()) {
        session_.printSetup.chosen = true;
        session_.printSetup.choice.printer = chosen.toStdString();
    }
    if (!defaultQueue.isEmpty())
        qputenv("LPDEST", defaultQueue.toUtf8());
    for (int answer : answers)
        prompts_.answers.push_back(answer ? kav::Answer::Yes : kav::Answer::No);
    if (!setupChooses.isEmpty() || events.contains("printer setup")) {
        std::optional<kav::PrinterSetupChoice> choice;
        if (!setupChooses.isEmpty()) {
            choice.emplace();
            choice->printer = setupChooses.toStdString();
        }
        prompts_.setupChoices.push_back(choice);
    }
    const int jobsBefore = JobCount();
    const ReportText report = LongReport();
    PrintReport(report, prompts_, session_);
    if (paused) {
        Run(QStringLiteral("cupsenable"), {printedOn});
        QVERIFY2(QString::fromStdString(prompts_.messages.back().text)
                     .endsWith("), but the printer is paused: out of paper."),
                 prompts_.messages.back().text.c_str());
    }

    QCOMPARE(static_cast<int>(prompts_.events.size()), events.size());
    for (int k = 0; k < events.size(); ++k) {
        QVERIFY2(QString::fromStdString(prompts_.events[static_cast<std::size_t>(k)])
                     .startsWith(events[k]),
                 prompts_.events[static_cast<std::size_t>(k)].c_str());
    }
    if (printedOn.isEmpty()) {
        QCOMPARE(JobCount(), jobsBefore);
        return;
    }
    QCOMPARE(JobCount(), jobsBefore + 1);
    QCOMPARE(prompts_.messages.back().kind, kav::MsgKind::Information);
    const QString file = OutputOfJob(JobOf(prompts_.messages.back().text));
    QVERIFY(!file.isEmpty());
    // The queue's PDF has the report's pages and words (the backend's fonts
    // lose the letters, not the words' places).
    const QString sentFile = SentReport(report, printedOn);
    QCOMPARE(PagesOf(file), PagesOf(sentFile));
    QCOMPARE(LineCount(ReadPdf(file, true).lines, false), ReadPdf(sentFile).lines.size());
}

void TestCupsPrinting::everyLineLiesInsideWhatThePrinterCanPrint_data() {
    QTest::addColumn<bool>("landscape");
    QTest::newRow("portrait") << false;
    QTest::newRow("landscape") << true;
}

// On the queue with uneven hardware margins (3.2 mm at the sheet's left, top
// and right, 12.7 mm at its bottom), with 10 mm asked for, every word of the
// printed sheets lies inside both, in either orientation: the print system
// turns a landscape page onto the upright sheet, its left edge to the sheet's
// bottom. Every page of what was sent says "page N of M".
void TestCupsPrinting::everyLineLiesInsideWhatThePrinterCanPrint() {
    QFETCH(bool, landscape);
    session_.printSetup.chosen = true;
    kav::PrinterSetupChoice& choice = session_.printSetup.choice;
    choice.printer = "kav-margins";
    choice.landscape = landscape;
    choice.margins = std::array<double, 4>{10, 10, 10, 10};
    const ReportText report = LongReport();
    PrintReport(report, prompts_, session_);
    QCOMPARE(prompts_.messages.size(), std::size_t{1});
    const QString file = OutputOfJob(JobOf(prompts_.messages[0].text));
    QVERIFY2(!file.isEmpty(), prompts_.messages[0].text.c_str());

    // The sheet is upright; the backend's fonts have boxes a little larger
    // than the glyphs, and rotated words only their origins.
    constexpr double width = 595, height = 842, slack = 2.5;
    const double left = std::max(10.0, 3.2) * PointsPerMm - slack;
    const double top = std::max(10.0, 3.2) * PointsPerMm - slack;
    const double right = width - std::max(10.0, 3.2) * PointsPerMm + slack;
    const double bottom = height - std::max(10.0, 12.7) * PointsPerMm + slack;
    const QList<PdfLine> words = ReadPdf(file, true).lines;
    QVERIFY(!words.isEmpty());
    for (const PdfLine& word : words) {
        QVERIFY2(
            word.left >= left && word.top >= top && word.right <= right && word.bottom <= bottom,
            qPrintable(QStringLiteral("page %1: a word at %2,%3..%4,%5 pt")
                           .arg(word.page)
                           .arg(word.left)
                           .arg(word.top)
                           .arg(word.right)
                           .arg(word.bottom)));
    }

    const QString sentFile = SentReport(report, "kav-margins", choice);
    const PdfPages sent = ReadPdf(sentFile);
    QCOMPARE(LineCount(words, landscape), sent.lines.size());
    QCOMPARE(sent.width > sent.height, landscape);
    int pages = 0;
    QStringList numbers;
    for (const PdfLine& line : sent.lines) {
        pages = std::max(pages, line.page);
        if (line.text.startsWith("page "))
            numbers << line.text;
    }
    QVERIFY(pages >= 2);
    QCOMPARE(PagesOf(file), pages);
    QStringList expected;
    for (int page = 1; page <= pages; ++page)
        expected << QStringLiteral("page %1 of %2").arg(page).arg(pages);
    QCOMPARE(numbers, expected);
}

// With the scheduler not running, the chosen printer cannot be used, and the
// reason says so: the user is asked, and on No nothing is printed and no PDF
// dialog opens.
void TestCupsPrinting::aSchedulerThatIsNotRunningIsSaidAndNothingPrinted() {
    const QByteArray server = qgetenv("CUPS_SERVER");
    session_.printSetup.chosen = true;
    session_.printSetup.choice.printer = "kav-plain";
    prompts_.answers = {kav::Answer::No};
    qputenv("CUPS_SERVER", QDir(Folder()).filePath("dead.sock").toUtf8());
    PrintReport(LongReport(), prompts_, session_);
    qputenv("CUPS_SERVER", server);
    QCOMPARE(prompts_.events,
             std::vector<std::string>{"message The printer kav-plain cannot be used (the print "
                                      "system is not running).\rChoose another printer?"});
    QVERIFY(prompts_.saveDialogs.empty());
}

void TestCupsPrinting::everyWordLiesInsideThePrintableAreaOfThePaperReceived_data() {
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("paper");  // chosen in Printer Setup; empty: the queue's default
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QSizeF>("sheet");         // points
    QTest::addColumn<QMarginsF>("printable");  // the printer's, on the upright sheet, in points
    QTest::addColumn<QString>("media");        // the job's media-size, as the printer holds it

    // The driverless printer prints 3.2 mm from the left, top and right of A4
    // and 12.7 mm from its bottom; Letter it prints borderless.
    const QSizeF a4(595.28, 841.89), letter(612, 792);
    const QMarginsF uneven(9.07, 9.07, 9.07, 36);
    const QString a4Media = "media-size={x-dimension=21000 y-dimension=29700}";
    const QString letterMedia = "media-size={x-dimension=21590 y-dimension=27940}";
    QTest::newRow("IPP Everywhere, its A4, portrait")
        << "kav-everywhere" << QString() << false << a4 << uneven << a4Media;
    QTest::newRow("IPP Everywhere, its A4, landscape")
        << "kav-everywhere" << QString() << true << a4 << uneven << a4Media;
    QTest::newRow("IPP Everywhere, Letter chosen, landscape")
        << "kav-everywhere"
        << "Letter" << true << letter << QMarginsF() << letterMedia;
    QTest::newRow("CUPS-PDF, its Letter, portrait")
        << "kav-letter" << QString() << false << letter << QMarginsF() << QString();
    QTest::newRow("CUPS-PDF, its Letter, landscape")
        << "kav-letter" << QString() << true << letter << QMarginsF() << QString();
    QTest::newRow("CUPS-PDF A4, Letter chosen")
        << "kav-plain"
        << "Letter" << false << letter << QMarginsF() << QString();
}

// The report is drawn on the paper the queue prints (the chosen one, else the
// queue's default), names it in the job, and turns a landscape report onto
// upright pages itself: on the sheets the printer received, every word lies
// inside both the report's 10 mm margins and the printer's printable area.
void TestCupsPrinting::everyWordLiesInsideThePrintableAreaOfThePaperReceived() {
    QFETCH(QString, queue);
    QFETCH(QString, paper);
    QFETCH(bool, landscape);
    QFETCH(QSizeF, sheet);
    QFETCH(QMarginsF, printable);
    QFETCH(QString, media);
    session_.printSetup.chosen = true;
    kav::PrinterSetupChoice& choice = session_.printSetup.choice;
    choice.printer = queue.toStdString();
    choice.landscape = landscape;
    if (paper == "Letter") {
        choice.paperName = "Letter";
        choice.paperWidth = 215.9;
        choice.paperHeight = 279.4;
    }
    const bool driverless = queue == "kav-everywhere";
    const QString kept = QDir(Folder()).filePath("everywhere");
    const QStringList before = PdfsIn(kept);
    // Lines broken at the right edge of the page reach every side of it.
    ReportText report = LongReport();
    report.linkLines << QStringLiteral("WIDE ").repeated(120);
    PrintReport(report, prompts_, session_);
    QCOMPARE(prompts_.messages.size(), std::size_t{1});
    const QString file =
        driverless ? NewJobIn(kept, before) : OutputOfJob(JobOf(prompts_.messages[0].text));
    QVERIFY2(!file.isEmpty(), prompts_.messages[0].text.c_str());

    constexpr double tenMm = 10 * PointsPerMm;
    const QMarginsF inset(std::max(tenMm, printable.left()), std::max(tenMm, printable.top()),
                          std::max(tenMm, printable.right()), std::max(tenMm, printable.bottom()));
    ExpectWordsInside(file, sheet.width(), sheet.height(), inset);
    QVERIFY(PagesOf(file) >= 2);
    // Nothing was left for the print system to turn: the job asks for
    // upright sheets, every sheet received is upright, and a landscape
    // report's words run up them.
    const QString job = SchedulerJobAttributes(queue, JobOf(prompts_.messages[0].text));
    QVERIFY2(job.contains("orientation-requested (enum) = portrait"), qPrintable(job));
    for (const QSizeF& size : SheetSizes(file))
        QVERIFY2(size.width() < size.height(),
                 qPrintable(
                     QStringLiteral("a sheet of %1 x %2 pt").arg(size.width()).arg(size.height())));
    ExpectTitleRuns(file, landscape);
    if (driverless)
        QVERIFY2(JobAttributes("everywhere", file).contains(media), qPrintable(media));
}

void TestCupsPrinting::aSchedulerThatNeverAnswersIsGivenUpWhileTheWindowRuns_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("waited for") << false;
    QTest::newRow("cancelled") << true;
}

// A scheduler that takes the connection but never answers (stopped with
// SIGSTOP) is given up within a few seconds, saying so, and never as "no
// longer installed"; meanwhile the window's events go on, and a window says
// that the program waits, whose Cancel ends the wait at once, without a word.
void TestCupsPrinting::aSchedulerThatNeverAnswersIsGivenUpWhileTheWindowRuns() {
    QFETCH(bool, cancel);
    const pid_t hung = HungScheduler();
    QVERIFY(hung > 0);
    const QByteArray server = qgetenv("CUPS_SERVER");
    qputenv("CUPS_SERVER", QDir(Folder()).filePath("hung.sock").toUtf8());
    QVERIFY(kill(hung, SIGSTOP) == 0);
    session_.printSetup.chosen = true;
    session_.printSetup.choice.printer = "kav-plain";
    prompts_.answers = {kav::Answer::No};

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    bool waitShown = false;
    QTimer look;
    look.setSingleShot(true);
    QObject::connect(&look, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* wait = qobject_cast<QProgressDialog*>(window);
            if (!wait || !wait->isVisible())
                continue;
            waitShown = true;
            wait->grab().save(QDir(Folder()).filePath("waiting-for-the-print-system.png"));
            if (cancel)
                wait->findChild<QPushButton*>()->click();
        }
    });
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    tick.start(5);
    look.start(1000);
    PrintReport(LongReport(), prompts_, session_);
    const qint64 took = clock.elapsed();
    tick.stop();
    kill(hung, SIGCONT);
    qputenv("CUPS_SERVER", server);

    QVERIFY(waitShown);
    QVERIFY2(longestGap < 100, qPrintable(QString::number(longestGap)));
    if (cancel) {
        QVERIFY2(took < 1500, qPrintable(QString::number(took)));
        QVERIFY(prompts_.events.empty());
        prompts_.answers.clear();
        return;
    }
    QVERIFY2(took < PrintSystemPatienceMs + 3000, qPrintable(QString::number(took)));
    QCOMPARE(prompts_.events,
             std::vector<std::string>{"message The printer kav-plain cannot be used (the print "
                                      "system did not answer).\rChoose another printer?"});
}

void TestCupsPrinting::theUsersSavedOptionsReachTheJob_data() {
    QTest::addColumn<int>("copies");  // set in Printer Setup; 0: left as saved
    QTest::addColumn<QString>("sides");
    QTest::addColumn<QString>("expected");
    QTest::newRow("as saved") << 0 << QString()
                              << "copies (integer) = 2|sides (keyword) = two-sided-long-edge";
    QTest::newRow("changed in Printer Setup")
        << 3 << "two-sided-short-edge"
        << "copies (integer) = 3|sides (keyword) = two-sided-short-edge";
}

// The copies and sides the user saved for a queue (lpoptions) reach the
// job's attributes as the printer holds them, as lp sends them, and Printer
// Setup starts from them; what is changed there in the run goes instead.
void TestCupsPrinting::theUsersSavedOptionsReachTheJob() {
    QFETCH(int, copies);
    QFETCH(QString, sides);
    QFETCH(QString, expected);
    const QTemporaryDir home;
    QVERIFY(home.isValid());
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    Run(QStringLiteral("lpoptions"),
        {"-p", "kav-duplex", "-o", "copies=2", "-o", "sides=two-sided-long-edge"});
    kav::PrinterSetupChoice& choice = session_.printSetup.choice;
    choice.printer = "kav-duplex";
    {
        PrinterSetupDialog dialog(choice, nullptr);
        auto* copiesBox = dialog.findChild<QSpinBox*>("Copies");
        auto* sidesBox = dialog.findChild<QComboBox*>("Sides");
        QCOMPARE(copiesBox->value(), 2);
        QCOMPARE(sidesBox->currentData().toString(), QString("two-sided-long-edge"));
        QCOMPARE(sidesBox->count(), 3);
        if (copies > 0) {
            copiesBox->setValue(copies);
            sidesBox->setCurrentIndex(sidesBox->findData(sides));
        }
        QVERIFY(dialog.Choice().jobs.count("kav-duplex") == (copies > 0 ? 1U : 0U));
        choice = dialog.Choice();
    }
    session_.printSetup.chosen = true;
    const QString kept = QDir(Folder()).filePath("duplex");
    const QStringList before = PdfsIn(kept);
    PrintReport(LongReport(), prompts_, session_);
    qputenv("HOME", oldHome);
    const QString file = NewJobIn(kept, before);
    QVERIFY2(!file.isEmpty(), prompts_.messages.at(0).text.c_str());
    const QString attributes = JobAttributes("duplex", file);
    for (const QString& attribute : expected.split('|'))
        QVERIFY2(attributes.contains(attribute), qPrintable(attribute));
}

void TestCupsPrinting::aPageRangePrintsThosePagesNumberedInTheWholeReport_data() {
    QTest::addColumn<QString>("printer");  // empty: a PDF file
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QStringList>("numbers");  // empty: nothing printed
    QTest::newRow("a PDF file, pages 2 to 3")
        << QString() << 2 << 3 << QStringList{"page 2 of 4", "page 3 of 4"};
    QTest::newRow("a PDF file, page 4 to the last")
        << QString() << 4 << 0 << QStringList{"page 4 of 4"};
    QTest::newRow("a printer, pages 2 to 3")
        << "kav-everywhere" << 2 << 3 << QStringList{"page 2 of 4", "page 3 of 4"};
    QTest::newRow("a PDF file, past the end") << QString() << 5 << 0 << QStringList{};
}

// Only the range's pages are printed, each numbered in the whole report (of
// four pages); a range past the end prints nothing and says why.
void TestCupsPrinting::aPageRangePrintsThosePagesNumberedInTheWholeReport() {
    QFETCH(QString, printer);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QStringList, numbers);
    const QTemporaryDir folder;
    session_.printSetup.chosen = true;
    kav::PrinterSetupChoice& choice = session_.printSetup.choice;
    choice.printer = printer.toStdString();
    choice.firstPage = first;
    choice.lastPage = last;
    session_.printSetup.pdfFile = folder.filePath("range.pdf").toStdString();
    const QString kept = QDir(Folder()).filePath("everywhere");
    const QStringList before = PdfsIn(kept);
    ReportText report = LongReport();
    report.linkLines << report.linkLines << report.linkLines.mid(0, 10);
    PrintReport(report, prompts_, session_);
    QCOMPARE(prompts_.messages.size(), std::size_t{1});
    if (numbers.isEmpty()) {
        QVERIFY2(QString::fromStdString(prompts_.messages[0].text)
                     .endsWith("(the report has only 4 pages)"),
                 prompts_.messages[0].text.c_str());
        QVERIFY(!QFile::exists(folder.filePath("range.pdf")));
        return;
    }
    const QString file = printer.isEmpty() ? folder.filePath("range.pdf") : NewJobIn(kept, before);
    QVERIFY2(!file.isEmpty(), prompts_.messages[0].text.c_str());
    QStringList found;
    for (const PdfLine& line : ReadPdf(file).lines) {
        if (line.text.startsWith("page "))
            found << line.text;
    }
    QCOMPARE(found, numbers);
    QCOMPARE(PagesOf(file), numbers.size());
}

// The preview lays the report out as the job is (as many pages), on the
// printer's paper turned as chosen, and every mark of the report lies inside
// the printable area it shows dashed: with no margins asked for, the text
// reaches the printer's uneven edges (12.7 mm at the sheet's bottom, the
// landscape page's left).
void TestCupsPrinting::thePreviewShowsThePagesAsTheyWillPrint() {
    kav::PrinterSetupChoice choice;
    choice.printer = "kav-margins";
    choice.landscape = true;
    choice.margins = std::array<double, 4>{0, 0, 0, 0};
    ReportText report = LongReport();
    report.linkLines << QStringLiteral("WIDE ").repeated(120);
    const PrinterPage printerPage = PageOnPrinter(choice);
    QByteArray pdf;
    int pages = 0;
    QVERIFY(RenderReportPdf(report, printerPage.page, pdf, &pages, printerPage.minimum));

    ReportPreviewDialog preview(report, choice, nullptr);
    QCOMPARE(preview.PageTotal(), pages);
    const QImage sheet = preview.PageImage();
    QVERIFY(sheet.width() > sheet.height());
    const double perMm = sheet.width() / 297.0;
    const QRectF printable =
        QRectF(sheet.rect())
            .marginsRemoved(QMarginsF(12.7 * perMm, 3.2 * perMm, 3.2 * perMm, 3.2 * perMm));
    int marks = 0;
    for (int y = 0; y < sheet.height(); ++y) {
        for (int x = 0; x < sheet.width(); ++x) {
            const QColor pixel = sheet.pixelColor(x, y);
            if (pixel.red() > 200 || qGray(pixel.rgb()) > 160)
                continue;  // paper, or the dashed line
            ++marks;
            QVERIFY2(printable.adjusted(-1, -1, 1, 1).contains(x, y),
                     qPrintable(QStringLiteral("a mark at %1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY(marks > 1000);
    preview.show();
    for (const QSize& screen : {QSize(1280, 1024), QSize(800, 600)}) {
        preview.resize(screen.width() * 6 / 10, screen.height() - 60);
        preview.findChild<QPushButton*>("NextButton")->click();
        preview.grab().save(QDir(Folder()).filePath(
            QStringLiteral("preview-%1x%2.png").arg(screen.width()).arg(screen.height())));
    }
    QCOMPARE(preview.Page(), 3);
}

void TestCupsPrinting::theCutWindowsReportIsCalledTheExplanation() {
    session_.printSetup.chosen = true;
    session_.printSetup.choice.printer = "kav-plain";
    PrintListReport("NO FEASIBLE FLOW", QString(), {"short by 1"}, prompts_, session_, CutReport);
    session_.printSetup.choice.printer = "kav-reject";
    PrintListReport("NO FEASIBLE FLOW", QString(), {"short by 1"}, prompts_, session_, CutReport);
    QCOMPARE(prompts_.messages.size(), std::size_t{2});
    QVERIFY2(QString::fromStdString(prompts_.messages[0].text)
                 .startsWith("The explanation was sent to printer kav-plain (job "),
             prompts_.messages[0].text.c_str());
    QVERIFY2(QString::fromStdString(prompts_.messages[1].text)
                 .startsWith("The printer kav-reject could not print the explanation of the "
                             "infeasibility.\r("),
             prompts_.messages[1].text.c_str());
}

// Printer Setup shows each queue's state beside its description.
void TestCupsPrinting::printerSetupSaysWhichQueuesArePausedOrRefuse() {
    Run(QStringLiteral("cupsdisable"), {"-r", "out of paper", "kav-margins"});
    kav::PrinterSetupChoice choice;
    choice.printer = "kav-reject";
    PrinterSetupDialog dialog(choice, nullptr);
    dialog.show();
    auto* note = dialog.findChild<QLabel*>("PrinterNote");
    const QString refusing = note->text();
    dialog.grab().save(QDir(Folder()).filePath("printer-setup-refusing.png"));
    auto* printers = dialog.findChild<QComboBox*>("PrinterChoice");
    printers->setCurrentIndex(printers->findText("kav-margins"));
    const QString paused = note->text();
    dialog.grab().save(QDir(Folder()).filePath("printer-setup-paused.png"));
    Run(QStringLiteral("cupsenable"), {"kav-margins"});
    QCOMPARE(refusing, QString("kav-reject\nRefuses jobs: refused by the test"));
    QCOMPARE(paused, QString("kav-margins\nPaused: out of paper"));
}

QTEST_MAIN(TestCupsPrinting)
#include "tst_cupsprinting.moc"

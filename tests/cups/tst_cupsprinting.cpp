// Printing through a real CUPS scheduler: the private one that
// tests/cups/private_cups.sh starts, found through CUPS_SERVER, with its
// CUPS-PDF queues writing into KAVRILON_CUPS_OUT. Skipped without them.
#include <cups/cups.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <algorithm>

#include "gui/PrintQueues.h"
#include "gui/ProgramPrinter.h"
#include "results/ReportPrinting.h"
#include "solver/Session.h"
#include "support/PdfText.h"
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

// The report as the program hands it to `printer` (on the default page), as a
// file beside the queues' output.
QString SentReport(const ReportText& report, const QString& printer,
                   kav::PrinterSetupChoice page = {}) {
    page.printer = printer.toStdString();
    QByteArray pdf;
    RenderReportPdf(report, page, pdf, nullptr, PrinterMinimumMargins(page));
    const QString file = QDir(qEnvironmentVariable("KAVRILON_CUPS_OUT")).filePath("sent.pdf");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size())
        return {};
    return file;
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
    void aStoppedSchedulerIsSaidAndNothingPrinted();

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
    session_ = kav::Session(prompts_);
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
    QTest::newRow("no default: Printer Setup asks, cancelled")
        << QString() << QString() << QList<int>{} << QString() << QStringList{"printer setup"}
        << QString() << false;
    QTest::newRow("no default: Printer Setup asks, answered")
        << QString() << QString() << QList<int>{} << "kav-plain"
        << QStringList{"printer setup", sent.arg("kav-plain")} << "kav-plain" << false;
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

// With the scheduler out of reach, the chosen printer cannot be used: the user
// is asked, and on No nothing is printed and no PDF dialog opens.
void TestCupsPrinting::aStoppedSchedulerIsSaidAndNothingPrinted() {
    const QByteArray server = qgetenv("CUPS_SERVER");
    session_.printSetup.chosen = true;
    session_.printSetup.choice.printer = "kav-plain";
    prompts_.answers = {kav::Answer::No};
    // A scheduler that is not there: a socket name in a folder of the test's
    // own, where nobody listens.
    const QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString dead = folder.filePath("no-cups.sock");
    cupsSetServer(dead.toUtf8().constData());
    PrintReport(LongReport(), prompts_, session_);
    cupsSetServer(server.constData());
    QCOMPARE(prompts_.events.size(), std::size_t{1});
    QVERIFY2(QString::fromStdString(prompts_.events[0])
                 .startsWith("message The printer kav-plain cannot be used (the print system "
                             "cannot be reached"),
             prompts_.events[0].c_str());
    QVERIFY(prompts_.saveDialogs.empty());
}

QTEST_MAIN(TestCupsPrinting)
#include "tst_cupsprinting.moc"

#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <functional>
#include <tuple>

#include "gui/AnchorWindow.h"
#include "gui/PrinterSetupDialog.h"
#include "gui/ProgramPrinter.h"
#include "gui/QtPrompts.h"
#include "results/TFMCutForm.h"
#include "results/TFMResultsForm.h"
#include "solver/LastSolve.h"
#include "solver/Session.h"
#include "solver/SolutionChecks.h"
#include "support/PdfText.h"
#include "support/ProblemBuilder.h"
#include "support/RenewSession.h"
#include "support/ScriptedPrompts.h"
#include "support/WhenModalShows.h"
#include "workspace/ProblemWriter.h"
#include "workspace/Workspace.h"

namespace {

constexpr double PointsPerMm = 72 / 25.4;

QString FileText(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? QString::fromLatin1(in.readAll()) : QString();
}

void WriteText(const QString& file, const QByteArray& text) {
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(text);
}

// Printer Setup's choice of a PDF file, with `page` for the page.
void ChoosePdfFile(PrintSetup& setup, const QString& file,
                   const kav::PrinterSetupChoice& page = {}) {
    setup = PrintSetup();
    setup.chosen = true;
    setup.choice = page;
    setup.pdfFile = file.toStdString();
}

}  // namespace

class TestPrinting : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyLineLiesWholeInsideThePrintableArea();
    void afterASolveTheOptimalityLineFollowsTheTotal();
    void theCutWindowPrintsItsLines();
    void anExistingFileIsReplacedOnlyWhenTheUserAgrees();
    void aFailedWriteLeavesTheOldFileUntouched();
    void aReportNeverGoesOverTheProblemsOwnFile();
    void printerSetupChoosesPrinterPaperAndOrientation();
    void theReplaceQuestionDefaultsToNo();
    void marginsFollowThePrintersMinimumTurnedWithThePage_data();
    void marginsFollowThePrintersMinimumTurnedWithThePage();

  private:
    void Print();
    QStringList ExpectedReport() const;
    QStringList Lines(const char* listName) const;

    ScriptedPrompts prompts_;
    kav::Session session_{prompts_};
    QWidget mainMenu_;
    TFMResultsForm* form_ = nullptr;
    QTemporaryDir dir_;
};

void TestPrinting::initTestCase() {
    QVERIFY(dir_.isValid());
    // No print system: never the machine's (tests/cups print through one).
    qputenv("CUPS_SERVER", dir_.filePath("no-print-system.sock").toUtf8());
    SetAnchorWindow(&mainMenu_);
    form_ = new TFMResultsForm(session_);
    connect(form_, &TFMResultsForm::closed, &mainMenu_, &QWidget::show);
}

void TestPrinting::init() {
    prompts_.Clear();
    RenewSession(session_, prompts_);
    session_.printSetup = PrintSetup();
}

void TestPrinting::cleanup() {
    form_->hide();
    QCOMPARE(prompts_.unscripted, 0);
}

void TestPrinting::Print() {
    form_->hide();
    form_->show();  // rebuilds the lists
    QTest::mouseClick(form_->findChild<QPushButton*>("PrintButton"), Qt::LeftButton);
}

QStringList TestPrinting::Lines(const char* listName) const {
    const QAbstractItemModel* model = form_->findChild<QListView*>(listName)->model();
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row)
        lines << model->data(model->index(row, 0)).toString().simplified();
    return lines;
}

// The report's lines, blanks simplified, as the window shows them.
QStringList TestPrinting::ExpectedReport() const {
    auto label = [&](const char* name) {
        return form_->findChild<QLabel*>(name)->text().simplified();
    };
    const bool warnings = form_->findChild<QLabel*>("OutOfKilterLabel")->isVisible();
    QStringList expected = {"LINK LIST", label("LinkInfoLabel")};
    expected << Lines("LinkList");
    if (warnings)
        expected << label("OutOfKilterLabel");
    expected << "NODE LIST" << label("NodeInfoLabel") << Lines("NodeList");
    if (warnings)
        expected << label("KilterWarning");
    expected << label("CostLabel");
    if (form_->findChild<QLabel*>("OptimalityLabel")->isVisible())
        expected << label("OptimalityLabel");
    return expected;
}

// For 1 to 120 links on three nodes (every other problem with the warnings in
// 12 points), every line of the report is there, in order, ending with the
// total cost, and lies wholly inside the default 10 mm margins of an A4 page.
// The reports are read back as one document, each starting on a new page.
void TestPrinting::everyLineLiesWholeInsideThePrintableArea() {
    constexpr int MostLinks = 120;
    QStringList files;
    QList<QStringList> expected;
    for (int links = 1; links <= MostLinks; ++links) {
        RenewSession(session_, prompts_);
        ProblemBuilder problem(session_.ws);
        problem.Node("A").Node("B").Node("C");
        for (int k = 0; k < links; ++k)
            problem.Link(k % 3 + 1, (k + 1) % 3 + 1, k == 0 && links % 2 == 1 ? 1 : 0, 9, 1, 0);
        files << dir_.filePath(QStringLiteral("sweep%1.pdf").arg(links));
        ChoosePdfFile(session_.printSetup, files.last());
        Print();
        expected << ExpectedReport();
    }
    const QString all = dir_.filePath("sweep.pdf");
    QCOMPARE(QProcess::execute("pdfunite", QStringList(files) << all), 0);
    const PdfPages pdf = ReadPdf(all);
    QCOMPARE(qRound(pdf.width), 595);
    QCOMPARE(qRound(pdf.height), 842);

    const double margin = DefaultMarginMm * PointsPerMm;
    const double slack = 0.5;  // pdftotext rounds the font's box
    QList<QStringList> seen;
    QList<QStringList> pageNumbers;
    for (const PdfLine& line : pdf.lines) {
        if (line.text == "LINK LIST") {
            seen.append(QStringList());
            pageNumbers.append(QStringList());
        }
        QVERIFY(!seen.isEmpty());
        (line.text.startsWith("page ") ? pageNumbers.last() : seen.last()) << line.text;
        const bool inside = line.left >= margin - slack && line.top >= margin - slack &&
                            line.right <= pdf.width - margin + slack &&
                            line.bottom <= pdf.height - margin + slack;
        QVERIFY2(inside, qPrintable(QStringLiteral("%1 links: \"%2\" at %3..%4 pt")
                                        .arg(seen.size())
                                        .arg(line.text)
                                        .arg(line.top)
                                        .arg(line.bottom)));
    }
    QCOMPARE(seen.size(), MostLinks);
    for (int k = 0; k < MostLinks; ++k) {
        QCOMPARE(seen[k], expected[k]);
        QVERIFY(seen[k].last().startsWith("TOTAL COST = "));
        // Every page numbered, below its last line (lines are read page by
        // page, top down).
        const int pages = static_cast<int>(pageNumbers[k].size());
        QVERIFY(pages >= 1);
        for (int page = 1; page <= pages; ++page)
            QCOMPARE(pageNumbers[k][page - 1],
                     QStringLiteral("page %1 of %2").arg(page).arg(pages));
    }
    for (int k = 1; k < pdf.lines.size(); ++k) {
        if (pdf.lines[k - 1].page == pdf.lines[k].page)
            QVERIFY(!pdf.lines[k - 1].text.startsWith("page "));
    }
}

// The solve's optimality line is printed after the total cost while the window
// shows it, and not once the problem has been edited.
void TestPrinting::afterASolveTheOptimalityLineFollowsTheTotal() {
    kav::Workspace& ws = session_.ws;
    ProblemBuilder(ws).Node("A").Node("B").Link(1, 2, 2, 5, 3).Link(2, 1, 0, 5, -1);
    kav::SolveStatus status = kav::RunOutOfKilter(ws, nullptr);
    status.Certificate = kav::CheckOptimality(ws);
    session_.lastSolve.Record(ws, status);
    for (bool edited : {false, true}) {
        if (edited)
            kav::NoteLinkValuesEdited(ws);
        const QString file = dir_.filePath(edited ? "edited.pdf" : "solved.pdf");
        ChoosePdfFile(session_.printSetup, file);
        Print();
        QStringList lines;
        for (const PdfLine& line : ReadPdf(file).lines)
            lines << line.text;
        QCOMPARE(lines, ExpectedReport() << "page 1 of 1");
        const QString last = edited ? QStringLiteral("TOTAL COST = 4")
                                    : QStringLiteral("Optimal: checked on 2 links and 2 nodes");
        QCOMPARE(lines.at(lines.size() - 2), last);
    }
}

void TestPrinting::theCutWindowPrintsItsLines() {
    kav::Workspace& ws = session_.ws;
    ProblemBuilder(ws).Node("A").Node("B").Link(1, 2, 3, 3, 0).Link(2, 1, 0, 2, 0);
    session_.lastSolve.Record(ws, kav::RunOutOfKilter(ws, nullptr));
    TFMCutForm cut(session_);
    cut.show();
    // A PDF file chosen in Printer Setup without a name: asked for, under
    // the cut's own title.
    const QString file = dir_.filePath("cut.pdf");
    ChoosePdfFile(session_.printSetup, QString());
    prompts_.files = {file.toStdString()};
    QTest::mouseClick(cut.findChild<QPushButton*>("PrintButton"), Qt::LeftButton);
    QCOMPARE(prompts_.saveDialogs.size(), std::size_t{1});
    QCOMPARE(prompts_.saveDialogs[0].title,
             std::string("Print the explanation of the infeasibility to a PDF file"));
    QStringList lines;
    for (const PdfLine& line : ReadPdf(file).lines)
        lines << line.text;
    lines.replaceInStrings("&gt;", ">");  // the words come as HTML text
    QCOMPARE(lines.mid(0, 4),
             (QStringList{"NO FEASIBLE FLOW",
                          "No feasible flow exists: the solver was working on link 1 (A -> B).",
                          "This node must receive at least 3 from outside",
                          "but can send out at most 2: short by 1"}));
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines[11], QString("B"));
    QCOMPARE(lines.last(), QString("page 1 of 1"));
    QProcess pdfinfo;
    pdfinfo.start("pdfinfo", {file});
    QVERIFY(pdfinfo.waitForFinished(30000));
    QVERIFY(pdfinfo.readAllStandardOutput().contains("KAVRILON Infeasibility Explained"));
}

void TestPrinting::anExistingFileIsReplacedOnlyWhenTheUserAgrees() {
    ProblemBuilder(session_.ws).Node("A").Node("B").Link(1, 2, 0, 5, 1, 0);
    const QString file = dir_.filePath("thesis.pdf");
    WriteText(file, "the user's own file");

    // Named in Printer Setup: asked before every replacement, default No.
    ChoosePdfFile(session_.printSetup, file);
    prompts_.answers = {kav::Answer::No};
    Print();
    QCOMPARE(FileText(file), QString("the user's own file"));
    QCOMPARE(prompts_.messages.size(), std::size_t{1});
    QCOMPARE(prompts_.messages[0].buttons, kav::MsgButtons::YesNo);
    QCOMPARE(prompts_.messages[0].text,
             "File [" + file.toStdString() + "] exists.... Do you want to replace it?");

    // Asked in the save dialog: No shows the dialog again.
    session_.printSetup = PrintSetup();
    prompts_.Clear();
    prompts_.files = {file.toStdString(), std::nullopt};
    prompts_.answers = {kav::Answer::No};
    Print();
    QCOMPARE(prompts_.saveDialogs.size(), std::size_t{2});
    QCOMPARE(FileText(file), QString("the user's own file"));
    ChoosePdfFile(session_.printSetup, file);

    prompts_.Clear();
    prompts_.answers = {kav::Answer::Yes};
    Print();
    QVERIFY(FileText(file).startsWith("%PDF"));
    QCOMPARE(prompts_.messages.back().kind, kav::MsgKind::Information);
    QCOMPARE(prompts_.messages.back().text, "The results were written to\r" + file.toStdString());
}

// A write that fails halfway (here: over the file size limit) reports the
// failure and leaves the old file as it was, with nothing left beside it.
void TestPrinting::aFailedWriteLeavesTheOldFileUntouched() {
    ProblemBuilder(session_.ws).Node("A").Node("B").Link(1, 2, 0, 5, 1, 0);
    QTemporaryDir folder;
    const QString file = folder.filePath("old.pdf");
    WriteText(file, "the last good report");
    ChoosePdfFile(session_.printSetup, file);
    prompts_.answers = {kav::Answer::Yes};

    rlimit limit{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
    const rlimit small{256, limit.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    Print();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(FileText(file), QString("the last good report"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"old.pdf"});
    QCOMPARE(prompts_.messages.back().kind, kav::MsgKind::Error);
    QVERIFY(QString::fromStdString(prompts_.messages.back().text)
                .startsWith("The results could not be written to\r" + file));
}

// The PDF file named in Printer Setup is the problem's own node file: the
// report is refused with a message and the file stays as it was.
void TestPrinting::aReportNeverGoesOverTheProblemsOwnFile() {
    ProblemBuilder(session_.ws).Node("A").Node("B").Link(1, 2, 0, 5, 1, 0);
    const QString nodes = dir_.filePath("P.NDE");
    QVERIFY(kav::WriteProblemFiles(session_.ws, nodes.toStdString(),
                                   dir_.filePath("P.LIN").toStdString()));
    QCOMPARE(
        kav::LoadProblemFile(session_.ws, session_.protectedFiles, nodes.toStdString()).outcome,
        kav::LoadOutcome::Loaded);
    ChoosePdfFile(session_.printSetup, nodes);
    Print();
    QCOMPARE(FileText(nodes), QString("A\r\nB\r\n"));
    QCOMPARE(prompts_.messages.size(), std::size_t{1});
    QCOMPARE(prompts_.messages[0].text, kav::ProtectedFileText(nodes.toStdString()));
}

// The real dialog: the printers of one answer of the print system (here
// none: it is not running) and "PDF file", OK rather than Print, and the
// program's own page dialog for the paper, which prints nothing on standard
// error; what it chooses is the page of the next report.
void TestPrinting::printerSetupChoosesPrinterPaperAndOrientation() {
    QtPrompts qtPrompts;
    kav::PrinterSetupChoice choice;
    choice.printer = "no such printer";
    QStringList entries, buttons;
    QString note;
    bool pageDialogShown = false;
    QStringList warnings;
    static QStringList* collected = nullptr;
    collected = &warnings;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            // The offscreen platform's own note is no word of the dialog's.
            if (!text.contains("propagateSizeHints"))
                *collected << text;
        });
    WhenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<PrinterSetupDialog*>(modal);
        QVERIFY(dialog);
        auto* printers = dialog->findChild<QComboBox*>("PrinterChoice");
        for (int i = 0; i < printers->count(); ++i)
            entries << printers->itemText(i);
        for (auto* button : dialog->findChildren<QPushButton*>())
            buttons << button->text();
        // The printer chosen before is gone: still shown as the choice, and said.
        QCOMPARE(printers->currentText(), QString("no such printer"));
        note = dialog->findChild<QLabel*>("PrinterNote")->text();
        printers->setCurrentIndex(printers->count() - 1);
        WhenModalShows([&](QWidget* pageModal) {
            pageDialogShown = pageModal->objectName() == "PageSetupDialog";
            pageModal->findChild<QRadioButton*>("Landscape")->click();
            static_cast<QDialog*>(pageModal)->accept();
        });
        dialog->findChild<QPushButton*>("PageButton")->click();
        QVERIFY(dialog->findChild<QLabel*>("PageSummary")->text().contains("landscape"));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QVERIFY(qtPrompts.PrinterSetup(choice));
    qInstallMessageHandler(previous);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    QVERIFY(pageDialogShown);
    QCOMPARE(note, QString("This printer cannot be used (the print system is not running)."));
    QCOMPARE(entries, QStringList({"no such printer", PdfFileChoice}));
    QVERIFY(buttons.contains("OK") || buttons.contains("&OK"));
    for (const QString& button : buttons)
        QVERIFY2(!button.contains("Print"), qPrintable(button));
    QVERIFY(choice.printer.empty());
    QVERIFY(choice.landscape);
    QCOMPARE(choice.paperName, std::string("A4"));

    ProblemBuilder(session_.ws).Node("A").Node("B").Link(1, 2, 0, 5, 1, 0);
    const QString file = dir_.filePath("landscape.pdf");
    ChoosePdfFile(session_.printSetup, file, choice);
    Print();
    const PdfPages pdf = ReadPdf(file);
    QCOMPARE(qRound(pdf.width), 842);
    QCOMPARE(qRound(pdf.height), 595);
}

void TestPrinting::theReplaceQuestionDefaultsToNo() {
    QtPrompts qtPrompts;
    bool defaultNo = false;
    WhenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        defaultNo = box->defaultButton() == box->button(QMessageBox::No);
        QTest::keyClick(box, Qt::Key_Return);
    });
    QVERIFY(!kav::ConfirmReplace(qtPrompts, "thesis.pdf"));
    QVERIFY(defaultNo);
}

void TestPrinting::marginsFollowThePrintersMinimumTurnedWithThePage_data() {
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QList<double>>("wanted");  // mm; empty: the default margins
    QTest::addColumn<QString>("summary");
    // A printer that keeps 3.2 mm (9.07 pt) from the sheet's left, top and
    // right and 12.7 mm (36 pt) from its bottom. Margins are whole points:
    // 10 mm is 29 pt, shown as page setup shows it, 10.23 mm.
    QTest::newRow("portrait, default")
        << false << QList<double>{}
        << "A4, portrait\nmargins: left 10.23 mm, top 10.23 mm, right 10.23 mm, bottom 12.70 mm";
    QTest::newRow("landscape, default: the sheet's bottom is the page's left")
        << true << QList<double>{}
        << "A4, landscape\nmargins: left 12.70 mm, top 10.23 mm, right 10.23 mm, bottom 10.23 mm";
    QTest::newRow("landscape, narrow margins raised per side")
        << true << QList<double>{2, 2, 2, 2}
        << "A4, landscape\nmargins: left 12.70 mm, top 3.53 mm, right 3.53 mm, bottom 3.53 mm";
    QTest::newRow("portrait, wide margins kept")
        << false << QList<double>{15.9, 20, 25, 30}
        << "A4, portrait\nmargins: left 16.23 mm, top 20.11 mm, right 25.05 mm, bottom 30.34 mm";
}

void TestPrinting::marginsFollowThePrintersMinimumTurnedWithThePage() {
    QFETCH(bool, landscape);
    QFETCH(QList<double>, wanted);
    QFETCH(QString, summary);
    kav::PrinterSetupChoice choice;
    choice.printer = "inkjet";
    choice.paperName = "A4";
    choice.paperWidth = 210;
    choice.paperHeight = 297;
    choice.landscape = landscape;
    if (!wanted.isEmpty())
        choice.margins = std::array<double, 4>{wanted[0], wanted[1], wanted[2], wanted[3]};
    const QMarginsF inkjet(9.07, 9.07, 9.07, 36);
    QCOMPARE(PageSummary(choice, inkjet), summary);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"

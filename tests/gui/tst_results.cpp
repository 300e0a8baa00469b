#include <QAbstractItemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/LocaleSeparators.h"
#include "gui/AnchorWindow.h"
#include "gui/ProgramPrinter.h"
#include "results/PrinterTextStream.h"
#include "results/TFMResultsForm.h"
#include "solver/Session.h"
#include "support/RenewSession.h"
#include "support/ScriptedPrompts.h"
#include "support/SolvedProblem.h"
#include "support/WindowSystemClose.h"
#include "workspace/Workspace.h"

namespace {

ProblemBuilder LoadSolvedProblem(kav::Workspace& ws) {
    return FillSolvedProblem(ws);
}

const QString Link1NoFlow =
    "   1        beta      Alpha     0        0      10         3            0";

// Enough links and nodes for a printout of three pages; some flows are zero,
// some links are out of kilter.
void LoadLargeProblem(kav::Workspace& ws) {
    ProblemBuilder builder(ws);
    for (int n = 1; n <= 40; ++n)
        builder.Node((n % 3 == 0 ? "node" : "NODE") + std::to_string(100 - n), n);
    for (int k = 1; k <= 130; ++k)
        builder.Link(k % 40 + 1, (k * 7) % 40 + 1, 0, 50, k % 9 - 4, k % 4 == 0 ? 0 : k % 50);
}

// Printer Setup's choice of a PDF file, with the default page.
void PrintToFile(PrintSetup& setup, const QString& file) {
    setup = PrintSetup();
    setup.chosen = true;
    setup.pdfFile = file.toStdString();
}

QStringList Simplified(const QStringList& lines) {
    QStringList result;
    for (const QString& line : lines) {
        const QString simple = line.simplified();
        if (!simple.isEmpty())
            result << simple;
    }
    return result;
}

}  // namespace

class TestResults : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensInOriginOrderAndMarksResultsShown();
    void orderButtonsAndSelectorKeepTheirOrder();
    void showingAgainStartsInOriginOrder();
    void clickingTheChosenSelectionKeepsTheListsPlace();
    void nonZeroFilterListsNegativeFlowsWithWarnings();
    void nothingListedShowsNoLinksAndWarnsForAnyLink();
    void nodesWithoutLinks();
    void changedNetworkListsClearedSolutionAndItsCost();
    void costLabelGroupsThousands();
    void quitGoesBackToTheMainMenu();
    void keyboardAcceleratorsAndFocusOrder();
    void exportWritesTheShownOrderAndSelection();
    void listsKeepTheirShareOfTheHeightAtEverySize();
    void showingAgainStartsAtTheTopOfTheLists();
    void linksOfFiveDigitsAreFollowedBothWays();
    void aNodeIsFollowedByItsNumber();

    void printoutHoldsTheWindowsLinesInOrder();
    void printoutWithoutWarnings();
    void printerFailureIsReportedAndChangesNothing();
    void withoutAnyPrinterTheReportGoesToAPdfFile();
    void longLinesBreakAtThePageEdge();
    void pagesBreakNearTheBottomAndWhereALineWouldNotFit();
    void reportFontSizes();

  private:
    void Open();
    QStringList Lines(const char* listName) const;
    QLabel* Label(const char* name) const;
    void Click(const char* buttonName);
    void Choose(const char* choiceName);
    QStringList PrintToPdf();
    QStringList PdfText(const QString& file) const;

    ScriptedPrompts prompts_;
    kav::Session session_{prompts_};
    QWidget mainMenu_;
    TFMResultsForm* form_ = nullptr;
    QTemporaryDir dir_;
};

void TestResults::initTestCase() {
    QVERIFY(dir_.isValid());
    // No print system: never the machine's.
    qputenv("CUPS_SERVER", dir_.filePath("no-print-system.sock").toUtf8());
    SetAnchorWindow(&mainMenu_);
    form_ = new TFMResultsForm(session_);
    connect(form_, &TFMResultsForm::closed, &mainMenu_, &QWidget::show);
}

void TestResults::init() {
    prompts_.Clear();
    RenewSession(session_, prompts_);
    form_->findChild<QRadioButton*>("AllLinksChoice")->setChecked(true);
    mainMenu_.show();
}

void TestResults::cleanup() {
    form_->hide();
    QCOMPARE(prompts_.unscripted, 0);
}

// The way the main menu's Display button opens the window.
void TestResults::Open() {
    form_->show();
    mainMenu_.hide();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
}

QStringList TestResults::Lines(const char* listName) const {
    const QAbstractItemModel* model = form_->findChild<QListView*>(listName)->model();
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row) {
        lines << model->data(model->index(row, 0)).toString();
    }
    return lines;
}

QLabel* TestResults::Label(const char* name) const {
    return form_->findChild<QLabel*>(name);
}

void TestResults::Click(const char* buttonName) {
    QTest::mouseClick(form_->findChild<QPushButton*>(buttonName), Qt::LeftButton);
}

void TestResults::Choose(const char* choiceName) {
    QTest::mouseClick(form_->findChild<QRadioButton*>(choiceName), Qt::LeftButton);
}

void TestResults::opensInOriginOrderAndMarksResultsShown() {
    LoadSolvedProblem(session_.ws);
    NoteSolved(session_.ws, false);
    Open();
    QCOMPARE(form_->windowTitle(), QString("KAVRILON Results Form"));
    QVERIFY(!mainMenu_.isVisible());
    QCOMPARE(Lines("LinkList"), QStringList({Link2, Link3, Link1, Link4}));
    QCOMPARE(Lines("NodeList"), QStringList({NodeAlpha, NodeGamma, NodeBeta}));
    QCOMPARE(Label("CostLabel")->text(), QString("TOTAL COST = 0"));
    QVERIFY(!Label("KilterWarning")->isVisible());
    QVERIFY(!Label("OutOfKilterLabel")->isVisible());
    QVERIFY(!session_.ws.ResultsNotShown);
}

void TestResults::orderButtonsAndSelectorKeepTheirOrder() {
    LoadSolvedProblem(session_.ws);
    SetFlow(session_.ws, 1, 0);  // in kilter at its lower bound
    Open();
    Click("InputOrderButton");
    QCOMPARE(Lines("LinkList"), QStringList({Link1NoFlow, Link2, Link3, Link4}));
    QCOMPARE(Lines("NodeList"), QStringList({NodeBeta, NodeAlpha, NodeGamma}));

    Click("DestOrderButton");
    QCOMPARE(Lines("LinkList").size(), 4);
    QCOMPARE(Lines("LinkList").mid(1), QStringList({Link2, Link4, Link3}));
    QCOMPARE(Lines("NodeList"), QStringList({NodeAlpha, NodeGamma, NodeBeta}));

    Choose("NonZeroChoice");  // the destination order stays
    QCOMPARE(Lines("LinkList"), QStringList({Link2, Link4, Link3}));
    Choose("AllLinksChoice");
    QCOMPARE(Lines("LinkList").size(), 4);
    QCOMPARE(Lines("LinkList").mid(1), QStringList({Link2, Link4, Link3}));

    Click("OriginOrderButton");
    QCOMPARE(Lines("LinkList").mid(0, 2), QStringList({Link2, Link3}));
}

void TestResults::showingAgainStartsInOriginOrder() {
    LoadSolvedProblem(session_.ws);
    SetFlow(session_.ws, 1, 0);
    Open();
    Click("DestOrderButton");
    Choose("NonZeroChoice");
    Click("QuitButton");
    QVERIFY(!form_->isVisible());

    Open();  // origin order again, the selector as it was left
    QVERIFY(form_->findChild<QRadioButton*>("NonZeroChoice")->isChecked());
    QCOMPARE(Lines("LinkList"), QStringList({Link2, Link3, Link4}));
}

void TestResults::clickingTheChosenSelectionKeepsTheListsPlace() {
    LoadSolvedProblem(session_.ws);
    Open();
    auto* linkList = form_->findChild<QListView*>("LinkList");
    linkList->setCurrentIndex(linkList->model()->index(2, 0));
    Choose("AllLinksChoice");  // already chosen: no rebuild
    QCOMPARE(linkList->currentIndex().row(), 2);
    Choose("NonZeroChoice");
    QCOMPARE(linkList->currentIndex().row(), -1);
}

void TestResults::nonZeroFilterListsNegativeFlowsWithWarnings() {
    LoadSolvedProblem(session_.ws);
    kav::Workspace& ws = session_.ws;
    ChangeLink(ws, 1, &kav::LinkData::Lower,
               1);  // zero flow under its lower bound: out of kilter but not listed
    SetFlow(ws, 1, 0);
    SetFlow(ws, 3, -6);  // negative flow: listed, out of kilter
    Open();
    Choose("NonZeroChoice");
    Click("InputOrderButton");
    QCOMPARE(
        Lines("LinkList"),
        QStringList({Link2,
                     "   3*      Gamma       beta     0       -6      10        -2            0",
                     Link4}));
    QVERIFY(Label("KilterWarning")->isVisible());
    QVERIFY(Label("OutOfKilterLabel")->isVisible());

    SetFlow(ws, 3, 6);  // the listed links are all in kilter now
    Click("DestOrderButton");
    QCOMPARE(Lines("LinkList"), QStringList({Link2, Link4, Link3}));
    QVERIFY(!Label("KilterWarning")->isVisible());
    QVERIFY(!Label("OutOfKilterLabel")->isVisible());
}

void TestResults::nothingListedShowsNoLinksAndWarnsForAnyLink() {
    LoadSolvedProblem(session_.ws);
    kav::Workspace& ws = session_.ws;
    for (int k = 1; k <= 4; ++k)
        SetFlow(ws, k, 0);
    Open();
    Choose("NonZeroChoice");
    QCOMPARE(Lines("LinkList"), QStringList({"<<< NO LINKS >>>"}));
    QVERIFY(Label("KilterWarning")->isVisible());  // link 2 sits under its lower bound

    ChangeLink(ws, 2, &kav::LinkData::Lower, 0);
    ChangeLink(ws, 4, &kav::LinkData::Cost, 3);
    Click("OriginOrderButton");
    QCOMPARE(Lines("LinkList"), QStringList({"<<< NO LINKS >>>"}));
    QVERIFY(!Label("KilterWarning")->isVisible());
}

void TestResults::nodesWithoutLinks() {
    ProblemBuilder(session_.ws).Node("b", 5).Node("a", -5);
    Open();
    QCOMPARE(Lines("LinkList"), QStringList({"<<< NO LINKS >>>"}));
    QCOMPARE(Lines("NodeList"),
             QStringList({"         a             -5", "         b              5"}));
    QCOMPARE(Label("CostLabel")->text(), QString("TOTAL COST = 0"));
    QVERIFY(!Label("KilterWarning")->isVisible());
}

// The cost label describes the flows the lists show: cleared, so 0.
void TestResults::changedNetworkListsClearedSolutionAndItsCost() {
    LoadSolvedProblem(session_.ws);
    kav::Workspace& ws = session_.ws;
    SetFlow(ws, 1, 1000);
    NoteLinkRerouted(ws);
    Open();
    QVERIFY(!ws.NetworkChanged);
    QCOMPARE(Label("CostLabel")->text(), QString("TOTAL COST = 0"));
    QCOMPARE(ws.TotalCost, 0.0);
    Click("InputOrderButton");
    QCOMPARE(Lines("LinkList").first(),
             QString("   1        beta      Alpha     0        0      10         3            3"));
    QCOMPARE(Lines("NodeList"),
             QStringList({"      beta              0", "     Alpha              0",
                          "     Gamma              0"}));
}

void TestResults::costLabelGroupsThousands() {
    ProblemBuilder(session_.ws)
        .Node("A")
        .Node("B")
        .Link(1, 2, 0, 10, 1234567, 1)
        .Link(2, 1, 0, 10, 0, 1);
    Open();
    QCOMPARE(Label("CostLabel")->text(), QString("TOTAL COST = 1,234,567"));

    // French groups with a narrow no-break space: shown as that character.
    Click("QuitButton");
    const QLocale french(QLocale::French, QLocale::France);
    QCOMPARE(french.groupSeparator(), QString(QChar(0x202F)));
    session_.separators = LocaleSeparators(french);
    Open();
    session_.separators = LocaleSeparators(QLocale::c());
    QCOMPARE(Label("CostLabel")->text(), QString("TOTAL COST = 1\u202F234\u202F567"));

    Click("QuitButton");
    SetFlow(session_.ws, 1, 2147483647);
    ChangeLink(session_.ws, 1, &kav::LinkData::Cost, 100000000);
    Open();
    QCOMPARE(Label("CostLabel")->text(), QString("TOTAL COST = 2.147483647E17"));
}

void TestResults::quitGoesBackToTheMainMenu() {
    LoadSolvedProblem(session_.ws);
    Open();
    QVERIFY(!WindowSystemClose(form_));  // Alt+F4 would leave no window on screen
    QVERIFY(form_->isVisible());
    Click("QuitButton");
    QVERIFY(!form_->isVisible());
    QVERIFY(mainMenu_.isVisible());
    QCOMPARE(Lines("LinkList").size(), 4);  // kept while hidden
}

void TestResults::keyboardAcceleratorsAndFocusOrder() {
    LoadSolvedProblem(session_.ws);
    SetFlow(session_.ws, 1, 0);
    Open();
    form_->activateWindow();
    QTRY_VERIFY(form_->isActiveWindow());
    auto* quit = form_->findChild<QPushButton*>("QuitButton");
    quit->setFocus();
    const QList<QWidget*> expected = {form_->findChild<QListView*>("LinkList"),
                                      form_->findChild<QListView*>("NodeList"),
                                      form_->findChild<QPushButton*>("InputOrderButton"),
                                      form_->findChild<QPushButton*>("OriginOrderButton"),
                                      form_->findChild<QPushButton*>("DestOrderButton"),
                                      form_->findChild<QRadioButton*>("AllLinksChoice"),
                                      form_->findChild<QPushButton*>("PrintButton"),
                                      form_->findChild<QPushButton*>("PreviewButton"),
                                      form_->findChild<QPushButton*>("ExportButton"),
                                      form_->findChild<QPushButton*>("NetworkPictureButton"),
                                      quit};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
        // A list tabbed into marks no line as if chosen.
        if (auto* list = qobject_cast<QListView*>(next))
            QVERIFY(!list->currentIndex().isValid());
    }

    // Every key letter of the window is its caption's own.
    QStringList letters;
    for (const QAbstractButton* button : form_->findChildren<QAbstractButton*>()) {
        const qsizetype amp = button->text().indexOf('&');
        if (amp >= 0)
            letters << button->text().mid(amp + 1, 1).toUpper();
    }
    QVERIFY(letters.contains("V"));
    QCOMPARE(QSet<QString>(letters.begin(), letters.end()).size(), letters.size());

    QTest::keyClick(quit, Qt::Key_D, Qt::AltModifier);
    QTRY_COMPARE(Lines("LinkList"), QStringList({Link1NoFlow, Link2, Link4, Link3}));
    QTest::keyClick(quit, Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(Lines("LinkList"), QStringList({Link2, Link4, Link3}));
    QTest::keyClick(quit, Qt::Key_I, Qt::AltModifier);
    QTRY_COMPARE(Lines("LinkList"), QStringList({Link2, Link3, Link4}));
    QTest::keyClick(quit, Qt::Key_Q, Qt::AltModifier);
    QTRY_VERIFY(!form_->isVisible());
}

// The link list above, the node list below, equal shares of the height and
// the link list never the smaller; every button as wide as the first row's
// (to the pixel the grid rounds).
// Sizes: the window at 1280x1024, at 1280x1024 with the scale factor 2, and
// at 800x600 (what FitOnScreen leaves of each).
void TestResults::listsKeepTheirShareOfTheHeightAtEverySize() {
    LoadLargeProblem(session_.ws);
    Open();
    auto* links = form_->findChild<QListView*>("LinkList");
    auto* nodes = form_->findChild<QListView*>("NodeList");
    const int row = links->sizeHintForRow(0);
    for (const QSize& size : {QSize(780, 720), QSize(620, 472), QSize(780, 560)}) {
        form_->resize(size);
        form_->layout()->activate();
        const QString at = QStringLiteral("at %1x%2").arg(size.width()).arg(size.height());
        QVERIFY2(form_->height() <= size.height(), qPrintable(at));
        QVERIFY2(links->geometry().bottom() < nodes->geometry().top(), qPrintable(at));
        QVERIFY2(links->height() >= nodes->height(), qPrintable(at));
        QVERIFY2(links->height() <= nodes->height() + 2, qPrintable(at));
        QVERIFY2(nodes->height() >= 3 * row, qPrintable(at));
    }
    // Where the window is wider than its buttons need, all are equally wide.
    const int width = form_->findChild<QPushButton*>("InputOrderButton")->width();
    for (const char* name : {"QuitButton", "ExportButton", "NetworkPictureButton", "CutButton"})
        QVERIFY2(qAbs(form_->findChild<QPushButton*>(name)->width() - width) <= 1, name);
}

void TestResults::showingAgainStartsAtTheTopOfTheLists() {
    LoadLargeProblem(session_.ws);
    Open();
    auto* links = form_->findChild<QListView*>("LinkList");
    auto* nodes = form_->findChild<QListView*>("NodeList");
    for (QListView* list : {links, nodes}) {
        list->scrollToBottom();
        QVERIFY(list->verticalScrollBar()->value() > 0);
    }
    Click("QuitButton");
    Open();
    for (QListView* list : {links, nodes})
        QCOMPARE(list->verticalScrollBar()->value(), 0);
}

// A link number of five digits fills more than a line's first four places:
// the picture's selection still finds its line, and a chosen line names its
// own link, not the one numbered by its first four digits.
void TestResults::linksOfFiveDigitsAreFollowedBothWays() {
    ProblemBuilder builder(session_.ws);
    builder.Nodes(2);
    for (int k = 1; k <= 10001; ++k)
        builder.Link(1, 2, 0, 1, 0);
    Open();
    auto* list = form_->findChild<QListView*>("LinkList");
    QSignalSpy chosen(form_, &TFMResultsForm::linkChosen);
    QVERIFY(form_->SelectLink(10001));
    QVERIFY(list->currentIndex().data().toString().startsWith("10001 "));
    QVERIFY(chosen.isEmpty());  // the picture's own choice is not sent back
    list->setCurrentIndex(list->model()->index(9999, 0));  // one origin: link k in row k - 1
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.at(0).at(0).toInt(), 10000);
}

// A node chosen in the picture is found by its number: names can repeat.
void TestResults::aNodeIsFollowedByItsNumber() {
    ProblemBuilder(session_.ws).Node("twin", 5).Node("twin", 7).Link(1, 2, 0, 1, 0);
    Open();
    form_->SelectNode(2);
    QVERIFY(
        form_->findChild<QListView*>("NodeList")->currentIndex().data().toString().endsWith(" 7"));
}

void TestResults::exportWritesTheShownOrderAndSelection() {
    LoadSolvedProblem(session_.ws);
    SetFlow(session_.ws, 1, 0);  // not listed with non-zero flows only
    Open();
    Choose("NonZeroChoice");
    Click("DestOrderButton");
    const QString file = dir_.filePath("results.csv");
    QFile::remove(file);
    QFile(file).open(QIODevice::WriteOnly);  // exists: the question comes first
    // Declining to replace brings the dialog back; cancelling it writes nothing.
    prompts_.files = {file.toStdString(), std::nullopt};
    prompts_.answers = {kav::Answer::No};
    QTest::keyClick(form_->findChild<QPushButton*>("QuitButton"), Qt::Key_E, Qt::AltModifier);
    QTRY_COMPARE(prompts_.saveDialogs.size(), std::size_t{2});
    QCOMPARE(prompts_.messages.at(0).buttons, kav::MsgButtons::YesNo);
    QCOMPARE(QFileInfo(file).size(), qint64{0});

    prompts_.Clear();
    prompts_.files = {file.toStdString()};
    prompts_.answers = {kav::Answer::Yes};
    Click("ExportButton");
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = written.readAll().split('\n');
    // Header, the three links with flow in destination order, the nodes, the
    // total and the status, an empty end.
    QCOMPARE(rows.size(), 1 + 3 + session_.ws.NodeCount + 2 + 1);
    QVERIFY(rows[0].startsWith("row,number,origin,destination"));
    QVERIFY(rows[1].startsWith("link,2,"));
    QVERIFY(rows[2].startsWith("link,4,"));
    QVERIFY(rows[3].startsWith("link,3,"));
    QVERIFY(rows[4].startsWith("node,"));
    // The current solution's total, as the cost label shows it.
    QCOMPARE(Label("CostLabel")->text(), QString("TOTAL COST = -6"));
    QCOMPARE(rows.at(rows.size() - 3), QByteArray("total,,,,,,-6,,,,,,,\r"));
    QCOMPARE(prompts_.messages.back().kind, kav::MsgKind::Information);
}

// Prints on a PDF file and returns the text read back from it, one entry per
// line, with form feeds between pages kept on their own.
QStringList TestResults::PrintToPdf() {
    const QString file = dir_.filePath("report.pdf");
    QFile::remove(file);
    PrintToFile(session_.printSetup, file);
    Click("PrintButton");
    return PdfText(file);
}

QStringList TestResults::PdfText(const QString& file) const {
    if (!QFile::exists(file))
        return {};
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", file, "-"});
    if (!pdftotext.waitForFinished(30000))
        return {};
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).split('\n');
}

void TestResults::printoutHoldsTheWindowsLinesInOrder() {
    LoadLargeProblem(session_.ws);
    Open();
    Click("DestOrderButton");
    Choose("NonZeroChoice");
    QVERIFY(Label("OutOfKilterLabel")->isVisible());
    const QStringList linkLines = Lines("LinkList");
    const QStringList nodeLines = Lines("NodeList");
    QVERIFY(linkLines.size() > 90);

    const QStringList text = PrintToPdf();
    QVERIFY(!text.isEmpty());
    // One message: where the file went.
    QCOMPARE(prompts_.messages.size(), std::size_t{1});
    QVERIFY(text.join('\n').count('\f') >= 3);  // three pages, each ended by a form feed

    QStringList expected = {"LINK LIST", Label("LinkInfoLabel")->text()};
    expected << linkLines << Label("OutOfKilterLabel")->text();
    expected << "NODE LIST" << Label("NodeInfoLabel")->text() << nodeLines;
    expected << "SOLUTION NOT IN KILTER... WARNING..." << Label("CostLabel")->text();
    // Every page ends with its number.
    QStringList lines, numbers;
    for (const QString& line : Simplified(text))
        (line.startsWith("page ") ? numbers : lines) << line;
    QCOMPARE(lines, Simplified(expected));
    const int pages = static_cast<int>(numbers.size());
    QCOMPARE(pages, static_cast<int>(text.join('\n').count('\f')));
    for (int page = 1; page <= pages; ++page)
        QCOMPARE(numbers[page - 1], QStringLiteral("page %1 of %2").arg(page).arg(pages));
}

void TestResults::printoutWithoutWarnings() {
    LoadSolvedProblem(session_.ws);
    Open();
    QVERIFY(!Label("OutOfKilterLabel")->isVisible());
    QStringList expected = {"LINK LIST", Label("LinkInfoLabel")->text()};
    expected << Lines("LinkList") << "NODE LIST" << Label("NodeInfoLabel")->text()
             << Lines("NodeList") << "TOTAL COST = 0"
             << "page 1 of 1";
    QCOMPARE(Simplified(PrintToPdf()), Simplified(expected));

    Choose("NonZeroChoice");
    for (int k = 1; k <= 4; ++k)
        SetFlow(session_.ws, k, 0);
    ChangeLink(session_.ws, 2, &kav::LinkData::Lower, 0);
    ChangeLink(session_.ws, 4, &kav::LinkData::Cost, 3);
    Click("InputOrderButton");
    const QStringList text = Simplified(PrintToPdf());
    QCOMPARE(text.mid(0, 4), QStringList({"LINK LIST", Label("LinkInfoLabel")->text().simplified(),
                                          "<<< NO LINKS >>>", "NODE LIST"}));
}

void TestResults::printerFailureIsReportedAndChangesNothing() {
    LoadSolvedProblem(session_.ws);
    Open();
    const QStringList before = Lines("LinkList");
    PrintToFile(session_.printSetup, dir_.filePath("missing/folder/report.pdf"));
    Click("PrintButton");
    QCOMPARE(prompts_.messages.size(), std::size_t{1});
    QCOMPARE(prompts_.messages[0].kind, kav::MsgKind::Error);
    QVERIFY(
        QString::fromStdString(prompts_.messages[0].text).contains("missing/folder/report.pdf"));
    QCOMPARE(Lines("LinkList"), before);
    QVERIFY(form_->isVisible());
}

// With no printer, every Print Lists asks where the PDF goes, starting beside
// the node file, and says where it went.
void TestResults::withoutAnyPrinterTheReportGoesToAPdfFile() {
    session_.printSetup = PrintSetup();
    LoadSolvedProblem(session_.ws);
    const std::string besideNodeFile = dir_.filePath("PROB1.pdf").toStdString();
    SetFileNames(session_.ws, dir_.filePath("PROB1.NDE").toStdString(), session_.ws.LinkFileName);
    Open();
    prompts_.files = {besideNodeFile, std::nullopt};
    Click("PrintButton");
    QCOMPARE(prompts_.saveDialogs.at(0).fileName, besideNodeFile);
    QVERIFY(QFile::exists(QString::fromStdString(besideNodeFile)));
    QCOMPARE(prompts_.messages.size(), std::size_t{1});
    QCOMPARE(prompts_.messages[0].kind, kav::MsgKind::Information);
    QCOMPARE(prompts_.messages[0].text, "The results were written to\r" + besideNodeFile);

    Click("PrintButton");  // asked again; cancelled, nothing more is said
    QCOMPARE(prompts_.saveDialogs.size(), std::size_t{2});
    QCOMPARE(prompts_.messages.size(), std::size_t{1});
}

void TestResults::longLinesBreakAtThePageEdge() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath("long.pdf"));
    const QString longLine = QString("0123456789").repeated(20);
    PrinterTextStream stream(printer);
    QVERIFY(stream.Open());
    stream.SetFont(ReportFont(10));
    stream.WriteLine(longLine);
    stream.WriteLine("end");
    QVERIFY(stream.Close());
    QCOMPARE(stream.PageCount(), 1);

    const QStringList lines = Simplified(PdfText(printer.outputFileName()));
    QVERIFY(lines.size() >= 3);
    QCOMPARE(lines.mid(0, lines.size() - 1).join(""), longLine);
    QCOMPARE(lines.last(), QString("end"));
}

// Pages started for a run of `texts` text lines, then `empties` empty lines,
// then one more text line, all in the 10-point body font.
int PagesFor(const QString& file, int texts, int empties) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    PrinterTextStream stream(printer);
    if (!stream.Open())
        return -1;
    stream.SetFont(ReportFont(10));
    for (int k = 0; k < texts; ++k)
        stream.WriteLine("x");
    for (int k = 0; k < empties; ++k)
        stream.WriteLine(QString());
    stream.WriteLine("last");
    return stream.Close() ? stream.PageCount() : -1;
}

// A text line advances by its height plus 2 and ends the page once the next
// position lies within two such advances of the bottom; an empty line advances
// by the font height and ends the page only past the bottom; and a text line
// that would reach below the bottom goes to the next page.
void TestResults::pagesBreakNearTheBottomAndWhereALineWouldNotFit() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath("metrics.pdf"));
    const QFontMetrics metrics(ReportFont(10), &printer);
    const int height = printer.height();
    const int advance = metrics.height() + 2;

    int textLines = 1;  // the first text line after which the page ends
    while (textLines * advance <= height - 2 * advance)
        ++textLines;
    const QString file = dir_.filePath("pages.pdf");
    QCOMPARE(PagesFor(file, textLines - 1, 0), 1);
    QCOMPARE(PagesFor(file, textLines, 0), 2);

    int emptyLines = 1;  // after one text line, the empty lines that leave no room for "last"
    while (advance + (emptyLines + 1) * metrics.height() <= height)
        ++emptyLines;
    QCOMPARE(PagesFor(file, 1, emptyLines - 1), 1);
    QCOMPARE(PagesFor(file, 1, emptyLines), 2);
}

// Title 18 points, list lines 10, the warning and the total 12: the heights of
// the words in the PDF keep those proportions.
void TestResults::reportFontSizes() {
    ProblemBuilder(session_.ws).Node("Apple").Node("Pear").Link(1, 2, 1, 5, 2, 0);
    Open();
    QVERIFY(Label("KilterWarning")->isVisible());
    const QString file = dir_.filePath("report.pdf");
    PrintToPdf();
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-bbox", file, "-"});
    QVERIFY(pdftotext.waitForFinished(30000));
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    const QRegularExpression word(
        R"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re");
    QMap<QString, double> heights;
    for (const QRegularExpressionMatch& match : word.globalMatch(html)) {
        const double top = match.captured(1).toDouble();
        heights.insert(match.captured(3), match.captured(2).toDouble() - top);
    }
    const double body = heights.value("Apple");  // a list line
    QVERIFY(body > 0);
    QCOMPARE(qRound(10 * heights.value("LINK") / body), 18);
    QCOMPARE(qRound(10 * heights.value("NODE") / body), 18);
    QCOMPARE(qRound(10 * heights.value("Kilter") / body), 12);
    QCOMPARE(qRound(10 * heights.value("SOLUTION") / body), 12);
    QCOMPARE(qRound(10 * heights.value("TOTAL") / body), 12);
}

QTEST_MAIN(TestResults)
#include "tst_results.moc"

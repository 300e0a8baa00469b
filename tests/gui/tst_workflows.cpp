// Whole sessions with the real windows, started as the program starts them:
// load, run, display, print, save and load again; a problem built by hand,
// checked, fixed, changed and run again; an infeasible problem; bad files and
// the questions before data is lost. Every step checks which windows are on
// screen, the main menu's problem buttons and the Workspace flags.

#include "EditingFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/CreateWindows.h"
#include "app/TAboutBoxKavrilon.h"
#include "app/TFMErrorForm.h"
#include "app/TKavrilonForm.h"
#include "app/TPCTOKFForm.h"
#include "editing/TFMAddStuff.h"
#include "editing/TFMChangeForm.h"
#include "editing/TFMLinkAddForm.h"
#include "editing/TFXNodeAddForm.h"
#include "generator/GenRand4.h"
#include "gui/ProgramPrinter.h"
#include "results/TFMCutForm.h"
#include "results/TFMResultsForm.h"
#include "solver/Session.h"
#include "support/RenewSession.h"
#include "support/ScriptedPrompts.h"
#include "support/WaitInFront.h"
#include "workspace/Workspace.h"

namespace {

// The windows, made and wired as program start makes them.
ProgramWindows windows;

const std::string DiscardQuestion =
    "Data NOT SAVED and/or Results NOT SHOWN ... WARNING ...\rDo you really want to continue?";
const std::string ExitQuestion = "Thanks for using KAVRILON.\rAre you sure you want to exit now?";
const std::string FatalRead =
    "<<< FATAL ERROR READING DATA ... WARNING ... >>>\r"
    "<<<     DATA MATRICES BEING SET TO ZERO      >>>";

// The object names of the windows on screen, sorted.
QStringList Showing() {
    QStringList names;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !window->objectName().isEmpty() &&
            !window->inherits("QTipLabel"))
            names << window->objectName();
    }
    names.sort();
    return names;
}

// Remembers, for every message, the windows on screen and the percent window's
// label while it was shown.
class SessionPrompts : public ScriptedPrompts {
  public:
    std::vector<QStringList> showingAt;
    std::vector<QString> percentAt;

    kav::Answer Message(kav::MsgKind kind, kav::MsgButtons buttons,
                        const std::string& text) override {
        showingAt.push_back(Showing());
        percentAt.push_back(Child<QLabel>(windows.percentDone, "OKFPercentLabel")->text());
        return ScriptedPrompts::Message(kind, buttons, text);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Shown& shown : messages)
            texts.push_back(shown.text);
        return texts;
    }
    void Reset() {
        Clear();
        showingAt.clear();
        percentAt.clear();
    }
};

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
}

struct Solution {
    std::vector<int32_t> flows;
    std::vector<int32_t> potentials;
    double totalCost = 0;
    bool operator==(const Solution& other) const {
        return flows == other.flows && potentials == other.potentials &&
               totalCost == other.totalCost;
    }
};

Solution Held(const kav::Workspace& ws) {
    Solution solution;
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        solution.flows.push_back(ws.LinkFlow[k]);
    for (int32_t n = 1; n <= ws.NodeCount; ++n)
        solution.potentials.push_back(ws.NodePotential[n]);
    solution.totalCost = ws.TotalCost;
    return solution;
}

}  // namespace

class WorkflowTest : public QObject {
    Q_OBJECT

    SessionPrompts prompts;
    kav::Session session{prompts};
    TKavrilonForm* menu = nullptr;
    QTemporaryDir dir;

    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QPushButton* MenuButton(const char* name) const { return Child<QPushButton>(menu, name); }
    bool ProblemButtons() const {
        const bool change = MenuButton("ChangeButton")->isEnabled();
        for (const char* name : {"RunButton", "DisplayButton", "SaveButton"}) {
            if (MenuButton(name)->isEnabled() != change)
                qFatal("problem buttons out of step");
        }
        return change;
    }
    void Press(const char* name) {
        QPushButton* button = MenuButton(name);
        QVERIFY2(button->isVisible() && button->isEnabled(), name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void Click(QWidget* window, const char* name) {
        QPushButton* button = Child<QPushButton>(window, name);
        if (!button->isVisible() || !button->isEnabled())
            qFatal("button %s cannot be clicked", name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Makes window the active one, then presses Alt with key there.
    static void PressAlt(QWidget* window, Qt::Key key) {
        window->activateWindow();
        QVERIFY(WaitInFront(window));
        QVERIFY(::PressAlt(window, key));
    }
    void CheckFlags(bool dataNotSaved, bool resultsNotShown, bool networkChanged) {
        const kav::Workspace& ws = session.ws;
        QCOMPARE(ws.DataNotSaved, dataNotSaved);
        QCOMPARE(ws.ResultsNotShown, resultsNotShown);
        QCOMPARE(ws.NetworkChanged, networkChanged);
    }
    void Load(const QString& nodeFile) {
        prompts.files.push_back(nodeFile.toStdString());
        Press("ReadButton");
    }
    // Runs a feasible problem: one message, the solution time, shown over the
    // percent window, which by then shows the whole run done.
    void RunFeasible() {
        prompts.Reset();
        Press("RunButton");
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QVERIFY(QString::fromStdString(prompts.messages[0].text)
                    .startsWith("...Problem is solved...\rSolution Time = "));
        QCOMPARE(prompts.showingAt[0], QStringList{"PCTOKFForm"});
        QCOMPARE(prompts.percentAt[0], QStringLiteral("100.00000% Complete"));
        QCOMPARE(Showing(), QStringList{"KavrilonForm"});
        QVERIFY(!session.ws.Infeasible);
        QVERIFY(session.ws.ResultsNotShown);
        QVERIFY(!session.ws.NetworkChanged);
    }
    QWidget* Results() const { return windows.results; }
    QStringList ResultLines(const char* list) const {
        QStringList lines;
        const QAbstractItemModel* model = Child<QListView>(Results(), list)->model();
        for (int i = 0; i < model->rowCount(); ++i)
            lines << model->index(i, 0).data().toString();
        return lines;
    }
    QStringList CutLines() const {
        auto* list = Child<QListWidget>(windows.cut, "CutList");
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }
    void Display() {
        Press("DisplayButton");
        QCOMPARE(Showing(), QStringList{"FMResultsForm"});
        QVERIFY(!session.ws.ResultsNotShown);
        QVERIFY(WaitInFront(Results()));
    }
    void QuitResults() {
        PressAlt(Results(), Qt::Key_Q);
        QCOMPARE(Showing(), QStringList{"KavrilonForm"});
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QApplication::setQuitOnLastWindowClosed(false);
        windows = CreateWindows(session);
        menu = windows.mainMenu;
        windows.mainMenu->show();
        // The splash is over the menu until its timer closes it (hurried here).
        QCOMPARE(Showing(), (QStringList{"KavrilonForm", "SplashAboutBox"}));
        menu->Splash()->AboutTimer()->start(0);
        QTRY_COMPARE(Showing(), QStringList{"KavrilonForm"});
    }
    void init() {
        RenewSession(session, prompts);
        windows.mainMenu->SetProblemButtons(false);
        prompts.Reset();
        menu->activateWindow();
        QVERIFY(WaitInFront(menu));
    }
    void cleanup() { QCOMPARE(prompts.unscripted, 0); }
    void cleanupTestCase() { DestroyWindows(windows); }

    void loadRunDisplayPrintSaveZeroLoadAndRunAgain() {
        kav::Workspace& ws = session.ws;
        QCOMPARE(
            kav::GenerateProblem(ws, 6, 9, dir.path().toStdString(), session.randomSeed).outcome,
            kav::GenerateOutcome::Written);
        ws.Reset();

        Load(Path("RANPRB1.NDE"));
        QVERIFY(prompts.messages.empty());
        QCOMPARE(ws.NodeCount, 6 + 9 + 2);
        QVERIFY(ProblemButtons());
        CheckFlags(false, false, false);
        QCOMPARE(Showing(), QStringList{"KavrilonForm"});

        RunFeasible();
        QVERIFY(!QTest::currentTestFailed());
        const Solution first = Held(session.ws);
        CheckFlags(false, true, false);

        // Printer Setup chooses a PDF file and names it once.
        prompts.setupChoices = {kav::PrinterSetupChoice{}};
        prompts.files = {Path("report.pdf").toStdString()};
        Press("PrinterButton");

        Display();
        QCOMPARE(Child<QLabel>(Results(), "CostLabel")->text(),
                 QStringLiteral("TOTAL COST = %L1").arg(qint64(first.totalCost)));
        QCOMPARE(ResultLines("NodeList").size(), ws.NodeCount);
        QCOMPARE(ResultLines("LinkList").size(), ws.LinkCount);

        PressAlt(Results(), Qt::Key_P);
        QCOMPARE(prompts.messages.size(), std::size_t{2});  // and where the file went
        QVERIFY(QFile(Path("report.pdf")).size() > 1000);
        QuitResults();
        CheckFlags(false, false, false);

        prompts.files = {Path("MINE.NDE").toStdString()};
        Press("SaveButton");
        QCOMPARE(prompts.messages.size(), std::size_t{2});
        QVERIFY(QFile::exists(Path("MINE.LIN")));
        QVERIFY(ProblemButtons());

        // Nothing unsaved and nothing unseen: Zero asks nothing.
        prompts.Reset();
        Press("ZeroButton");
        QVERIFY(prompts.events.empty());
        QVERIFY(!ProblemButtons());
        QCOMPARE(ws.LinkCount, 0);

        Load(Path("MINE.NDE"));
        QVERIFY(ProblemButtons());
        RunFeasible();
        QCOMPARE(Held(session.ws), first);

        // Results unseen: Exit warns; No to the exit question keeps everything.
        prompts.Reset();
        prompts.answers = {kav::Answer::Yes, kav::Answer::No};
        Press("ExitButton");
        QCOMPARE(prompts.Texts(), (std::vector<std::string>{DiscardQuestion, ExitQuestion}));
        QCOMPARE(prompts.beeps, (std::vector<unsigned>{16, 16}));
        QCOMPARE(Showing(), QStringList{"KavrilonForm"});
        QCOMPARE(Held(session.ws), first);
    }

    void problemBuiltByHandIsCheckedFixedChangedAndRunAgain() {
        kav::Workspace& ws = session.ws;
        QWidget* chooser = windows.addStuff;
        QWidget* nodes = windows.nodeAdder;
        QWidget* links = windows.linkAdder;
        QWidget* change = windows.change;

        PressAlt(menu, Qt::Key_N);
        QCOMPARE(Showing(), QStringList{"FMAddStuff"});
        QVERIFY(!Child<QPushButton>(chooser, "LinkButton")->isEnabled());
        PressAlt(chooser, Qt::Key_N);
        QCOMPARE(Showing(), (QStringList{"FMAddStuff", "FXNodeAddForm"}));
        QVERIFY(WaitInFront(nodes));
        // Typed and added by the accelerator without leaving the field, then
        // typed, left with Tab and added with the space bar.
        auto* name = Child<QLineEdit>(nodes, "NodeName");
        for (const char* typed : {"Alpha", "Beta"}) {
            TypeAndLeave(name, QString::fromLatin1(typed));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        }
        for (const char* typed : {"Gamma", "Delta"}) {
            QTest::mouseClick(name, Qt::LeftButton);
            name->selectAll();
            QTest::keyClicks(name, QString::fromLatin1(typed));
            PressAlt(nodes, Qt::Key_A);
        }
        QCOMPARE(ws.NodeCount, 4);
        QCOMPARE(ws.NodeName[4], std::string("Delta"));
        QVERIFY(Child<QPushButton>(chooser, "LinkButton")->isEnabled());
        PressAlt(nodes, Qt::Key_Q);
        QCOMPARE(Showing(), QStringList{"FMAddStuff"});

        PressAlt(chooser, Qt::Key_L);
        QCOMPARE(Showing(), (QStringList{"FMAddStuff", "FMLinkAddForm"}));
        QVERIFY(WaitInFront(links));
        struct Typed {
            int origin, dest;
            const char *lower, *upper, *cost;
        };
        const Typed typed[] = {{1, 2, "0", "10", "3"},
                               {2, 3, "2", "10", "1"},
                               {3, 1, "0", "10", "-2"},
                               {1, 3, "0", "4", "1"}};
        for (const Typed& link : typed) {
            ClickLine(Child<QListWidget>(links, "OriginList"), link.origin - 1);
            ClickLine(Child<QListWidget>(links, "DestinationList"), link.dest - 1);
            TypeAndLeave(Child<QLineEdit>(links, "UnitCost"), QString::fromLatin1(link.cost));
            TypeAndLeave(Child<QLineEdit>(links, "LowerBound"), QString::fromLatin1(link.lower));
            // The last field is not left before the accelerator adds the link.
            auto* upper = Child<QLineEdit>(links, "UpperBound");
            QTest::mouseClick(upper, Qt::LeftButton);
            upper->selectAll();
            QTest::keyClicks(upper, QString::fromLatin1(link.upper));
            PressAlt(links, Qt::Key_A);
        }
        QCOMPARE(ws.LinkCount, 4);
        QCOMPARE(ws.LinkUpper[4], 4);
        QCOMPARE(ws.LinkCost[3], -2);
        QVERIFY(prompts.messages.empty());
        PressAlt(links, Qt::Key_Q);
        PressAlt(chooser, Qt::Key_Q);
        QCOMPARE(Showing(), QStringList{"KavrilonForm"});
        QVERIFY(ProblemButtons());
        CheckFlags(true, false, true);

        // Delta is never used: the error list replaces the menu.
        Press("RunButton");
        QCOMPARE(Showing(), QStringList{"FMErrorForm"});
        QVERIFY(prompts.messages.empty());
        auto* errors = Child<QListWidget>(windows.errorList, "ErrorList");
        QCOMPARE(errors->count(), 1);
        QCOMPARE(errors->item(0)->text(),
                 QStringLiteral("Node <Delta> is never used...FATAL ERROR..."));
        CheckFlags(true, false, true);
        Click(windows.errorList, "OKButton");
        QCOMPARE(Showing(), QStringList{"KavrilonForm"});

        // Remove Delta in the node window.
        Press("AddButton");
        PressAlt(chooser, Qt::Key_N);
        ClickLine(Child<QListWidget>(nodes, "NodeList"), 3);
        PressAlt(nodes, Qt::Key_R);
        QCOMPARE(ws.NodeCount, 3);
        PressAlt(nodes, Qt::Key_Q);
        PressAlt(chooser, Qt::Key_Q);
        QCOMPARE(Showing(), QStringList{"KavrilonForm"});

        RunFeasible();
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(Held(session.ws).flows, (std::vector<int32_t>{2, 2, 6, 4}));
        QCOMPARE(ws.TotalCost, 0.0);
        Display();
        QCOMPARE(Child<QLabel>(Results(), "CostLabel")->text(), QStringLiteral("TOTAL COST = 0"));
        auto* optimality = Child<QLabel>(Results(), "OptimalityLabel");
        QVERIFY(optimality->isVisible());
        QCOMPARE(optimality->text(), QStringLiteral("Optimal: checked on 4 links and 3 nodes"));
        QuitResults();

        // Lower link 4's upper bound: flows stay as the next run's start.
        Press("ChangeButton");
        QCOMPARE(Showing(), QStringList{"FMChangeForm"});
        QVERIFY(WaitInFront(change));
        auto* linkList = Child<QComboBox>(change, "LinkList");
        PressAlt(change, Qt::Key_T);
        QCOMPARE(QApplication::focusWidget(), linkList);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(linkList, Qt::Key_Down);
        QCOMPARE(Child<QLineEdit>(change, "LinkNoField")->text(), QStringLiteral("4"));
        TypeAndLeave(Child<QLineEdit>(change, "UBNew"), "3");
        QCOMPARE(ws.LinkUpper[4], 3);
        PressAlt(change, Qt::Key_Q);
        QCOMPARE(Showing(), QStringList{"KavrilonForm"});
        CheckFlags(true, false, false);
        QCOMPARE(ws.LinkFlow[4], 4);
        // The flows listed are no longer the solve's answer to this problem.
        Display();
        QVERIFY(!optimality->isVisible());
        QuitResults();
        RunFeasible();
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(Held(session.ws).flows, (std::vector<int32_t>{2, 2, 5, 3}));
        QCOMPARE(ws.TotalCost, 1.0);
        Display();
        QCOMPARE(Child<QLabel>(Results(), "CostLabel")->text(), QStringLiteral("TOTAL COST = 1"));
        QVERIFY(!Child<QLabel>(Results(), "KilterWarning")->isVisible());
        QVERIFY(optimality->isVisible());
        QuitResults();

        // Mark link 4 for removal; the next run starts from zero.
        Press("ChangeButton");
        QVERIFY(WaitInFront(change));
        QCOMPARE(Child<QLineEdit>(change, "LinkNoField")->text(), QStringLiteral("1"));
        PressAlt(change, Qt::Key_T);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(linkList, Qt::Key_Down);
        PressAlt(change, Qt::Key_R);
        QCOMPARE(ws.LinkOrigin[4], -1);
        PressAlt(change, Qt::Key_Q);
        QCOMPARE(Showing(), QStringList{"KavrilonForm"});
        QCOMPARE(ws.LinkCount, 3);
        CheckFlags(true, false, true);
        QVERIFY(ProblemButtons());
        RunFeasible();
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(Held(session.ws).flows, (std::vector<int32_t>{2, 2, 2}));
        Display();
        QCOMPARE(ResultLines("LinkList").size(), 3);
        QuitResults();
        QVERIFY(prompts.messages.size() == 1);

        // Unsaved: Zero asks first; No keeps the problem.
        prompts.Reset();
        prompts.answers = {kav::Answer::No};
        Press("ZeroButton");
        QCOMPARE(prompts.Texts(), std::vector<std::string>{DiscardQuestion});
        QCOMPARE(ws.LinkCount, 3);
        QVERIFY(ProblemButtons());
    }

    void infeasibleProblemShowsThreeBoxesAndTheNextRunStartsFromZero() {
        // Every node can balance on its own, but the pair A, B must send 5
        // units out and can take at most 2 back.
        WriteFile(Path("CUT.NDE"), "A\r\nB\r\nC\r\nD\r\n");
        WriteFile(Path("CUT.LIN"),
                  "5 4\r\n"
                  "1 3 5 5 0\r\n"
                  "1 2 0 10 1\r\n"
                  "2 1 0 10 1\r\n"
                  "3 4 0 10 1\r\n"
                  "4 2 0 2 1\r\n");
        kav::Workspace& ws = session.ws;
        Load(Path("CUT.NDE"));
        QVERIFY(ProblemButtons());

        std::vector<Solution> partial;
        std::vector<std::string> failure;
        for (int run = 0; run < 2; ++run) {
            const double stale = LeaveStaleTotalCost(ws);
            prompts.Reset();
            Press("RunButton");
            const std::vector<std::string> texts = prompts.Texts();
            QCOMPARE(texts.size(), std::size_t{3});
            QVERIFY(QString::fromStdString(texts[0]).startsWith(
                "<<< INFEASIBLE SOLUTION FOUND...WORKING ON LINK "));
            QVERIFY(QString::fromStdString(texts[1]).startsWith("...Problem is solved..."));
            QCOMPARE(texts[2],
                     std::string("Inputs yield infeasible solution...\rSEVERE WARNING..."));
            QCOMPARE(prompts.showingAt[0], QStringList{"PCTOKFForm"});
            QCOMPARE(prompts.showingAt[1], QStringList{"PCTOKFForm"});
            QCOMPARE(prompts.showingAt[2], QStringList{"KavrilonForm"});
            // Then the set that shows why replaces the menu until Ok.
            QCOMPARE(Showing(), QStringList{"FMCutForm"});
            const QStringList cut = CutLines();
            QCOMPARE(
                cut.mid(0, 3),
                (QStringList{"No feasible flow exists: the solver was working on link 1 (A -> C).",
                             "These 2 nodes together must receive at least 5 from outside",
                             "but can send out at most 2: short by 3"}));
            QCOMPARE(cut.size(), 14);
            // The failed link into C, then the full link out of D, then C and D.
            QVERIFY(cut[6].startsWith("   1*          A          C     5"));
            QVERIFY(cut[10].startsWith("   5"));
            QCOMPARE(cut[13], QString("           C           D"));
            PressAlt(windows.cut, Qt::Key_O);
            QCOMPARE(Showing(), QStringList{"KavrilonForm"});
            QVERIFY(ws.Infeasible);
            QCOMPARE(ws.TotalCost, stale);
            partial.push_back(Held(session.ws));
            failure.push_back(texts[0]);
            CheckFlags(false, true, false);
            QVERIFY(ProblemButtons());

            Display();
            QVERIFY(Child<QLabel>(Results(), "KilterWarning")->isVisible());
            QVERIFY(Child<QLabel>(Results(), "OutOfKilterLabel")->isVisible());
            QVERIFY(ResultLines("LinkList").join('\n').contains('*'));
            QuitResults();
            // Whatever the partial flows were, the next run begins from zero.
            for (int32_t k = 1; k <= ws.LinkCount; ++k)
                SetFlow(ws, k, 1000);
        }
        QCOMPARE(partial[1].flows, partial[0].flows);
        QCOMPARE(failure[1], failure[0]);
    }

    // Removing a link that carries flow leaves flows that do not balance; the
    // next run must not start from them.
    void linkWithFlowRemovedInTheLinkWindowThenRunAgain() {
        WriteFile(Path("PAIR.NDE"), "A\r\nB\r\n");
        WriteFile(Path("PAIR.LIN"), "3 2\r\n1 2 0 10 -2\r\n1 2 0 10 -1\r\n2 1 0 10 0\r\n");
        kav::Workspace& ws = session.ws;
        Load(Path("PAIR.NDE"));
        RunFeasible();
        QCOMPARE(Held(session.ws).flows, (std::vector<int32_t>{10, 0, 10}));

        QWidget* chooser = windows.addStuff;
        QWidget* links = windows.linkAdder;
        Press("AddButton");
        PressAlt(chooser, Qt::Key_L);
        QVERIFY(WaitInFront(links));
        ClickLine(Child<QListWidget>(links, "LinkList"), 0);
        PressAlt(links, Qt::Key_R);
        PressAlt(links, Qt::Key_Q);
        PressAlt(chooser, Qt::Key_Q);
        QCOMPARE(ws.LinkCount, 2);
        CheckFlags(true, true, true);

        RunFeasible();
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(Held(session.ws).flows, (std::vector<int32_t>{10, 10}));
        QCOMPARE(ws.TotalCost, -10.0);
        Display();
        QCOMPARE(Child<QLabel>(Results(), "CostLabel")->text(), QStringLiteral("TOTAL COST = -10"));
        QuitResults();
    }

    void badFilesAndTheQuestionsBeforeDataIsLost() {
        kav::Workspace& ws = session.ws;
        WriteFile(Path("GOOD.NDE"), "A\r\nB\r\n");
        WriteFile(Path("GOOD.LIN"), "2 2\r\n1 2 0 10 1\r\n2 1 0 10 1\r\n");
        WriteFile(Path("OUTSIDE.NDE"), "A\r\nB\r\n");
        WriteFile(Path("OUTSIDE.LIN"), "2 2\r\n1 2 0 10 1\r\n2 3 0 10 1\r\n");
        WriteFile(Path("HUGE.NDE"), "A\r\nB\r\n");
        WriteFile(Path("HUGE.LIN"), "2147483647 2\r\n1 2 0 10 1\r\n");
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise.append(char((i * 7919 + 13) % 256));
        WriteFile(Path("NOISE.NDE"), noise);
        WriteFile(Path("NOISE.LIN"), noise);

        Load(Path("GOOD.NDE"));
        QVERIFY(ProblemButtons());
        QCOMPARE(ws.LinkCount, 2);

        // A link end outside the nodes fails the load.
        prompts.Reset();
        Load(Path("OUTSIDE.NDE"));
        QCOMPARE(prompts.Texts(), std::vector<std::string>{
                                      FatalRead + "\rFile [" + Path("OUTSIDE.LIN").toStdString() +
                                      "] line 3: expected a node number between 1 and 2"});
        QCOMPARE(prompts.beeps, std::vector<unsigned>{8});
        QVERIFY(!ProblemButtons());
        QCOMPARE(ws.LinkCount, 0);
        QCOMPARE(ws.NodeCount, 0);

        // A huge count is refused and leaves the problem and buttons as they were.
        Load(Path("GOOD.NDE"));
        prompts.Reset();
        Load(Path("HUGE.NDE"));
        QCOMPARE(prompts.Texts(),
                 std::vector<std::string>{"File contains too many links...\rMaximum number allowed "
                                          "is 20000\rTry another file ... SORRY"});
        QVERIFY(ProblemButtons());
        QCOMPARE(ws.LinkCount, 2);
        QCOMPARE(ws.NodeCount, 2);

        // Binary noise fails like any unreadable file.
        prompts.Reset();
        Load(Path("NOISE.NDE"));
        QCOMPARE(prompts.Texts().size(), std::size_t{1});
        QCOMPARE(prompts.Texts()[0].substr(0, FatalRead.size() + 1), FatalRead + "\r");
        QVERIFY(!ProblemButtons());
        QCOMPARE(ws.LinkCount, 0);

        // A good link file with a binary node file loads, and every window
        // shows the raw names.
        QFile::copy(Path("GOOD.LIN"), Path("NOISE2.LIN"));
        WriteFile(Path("NOISE2.NDE"), QByteArray("\x01\xff\x80zz\x00q\r\n\t\xe9\r\n", 14));
        prompts.Reset();
        Load(Path("NOISE2.NDE"));
        QVERIFY(prompts.messages.empty());
        QVERIFY(ProblemButtons());
        QCOMPARE(ws.NodeName[1].size(), std::size_t{7});
        RunFeasible();
        QVERIFY(!QTest::currentTestFailed());
        Display();
        QuitResults();
        Press("ChangeButton");
        QVERIFY(WaitInFront(windows.change));
        PressAlt(windows.change, Qt::Key_Q);
        CheckFlags(false, false, false);

        // Unsaved edits: Load asks; No keeps everything, Yes loads.
        NoteChangesCommitted(ws);
        prompts.Reset();
        prompts.answers = {kav::Answer::No};
        Press("ReadButton");
        QCOMPARE(prompts.events,
                 (std::vector<std::string>{"beep 16", "message " + DiscardQuestion}));
        QCOMPARE(ws.NodeName[2], std::string("\t\xe9"));
        prompts.Reset();
        prompts.answers = {kav::Answer::Yes};
        Load(Path("GOOD.NDE"));
        QCOMPARE(prompts.Texts(), std::vector<std::string>{DiscardQuestion});
        QCOMPARE(ws.NodeName[2], std::string("B"));
        QVERIFY(ProblemButtons());

        // Closing the main window from its title bar warns first, as Exit does.
        NoteChangesCommitted(ws);
        prompts.Reset();
        prompts.answers = {kav::Answer::Yes, kav::Answer::No};
        menu->close();
        QCOMPARE(prompts.Texts(), (std::vector<std::string>{DiscardQuestion, ExitQuestion}));
        QCOMPARE(Showing(), QStringList{"KavrilonForm"});
        QVERIFY(ws.DataNotSaved);

        // Exit with unsaved data: the discard question, the exit question, the
        // farewell, and the main window closes.
        NoteChangesCommitted(ws);
        prompts.Reset();
        prompts.answers = {kav::Answer::Yes, kav::Answer::Yes};
        Press("ExitButton");
        QCOMPARE(prompts.Texts(),
                 (std::vector<std::string>{DiscardQuestion, ExitQuestion, "Exiting KAVRILON."}));
        QVERIFY(Showing().isEmpty());
        windows.mainMenu->show();
    }
};

QTEST_MAIN(WorkflowTest)
#include "tst_workflows.moc"

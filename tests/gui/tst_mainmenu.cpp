#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

#include "app/CreateWindows.h"
#include "app/TAboutBoxKavrilon.h"
#include "app/TFMErrorForm.h"
#include "app/TKavrilonForm.h"
#include "app/TPCTOKFForm.h"
#include "editing/TFMAddStuff.h"
#include "editing/TFMChangeForm.h"
#include "generator/TRandGenerator.h"
#include "gui/Hints.h"
#include "gui/ProgramPrinter.h"
#include "results/TFMCutForm.h"
#include "results/TFMResultsForm.h"
#include "solver/Session.h"
#include "support/ProblemBuilder.h"
#include "support/RenewSession.h"
#include "support/ScriptedPrompts.h"
#include "support/WindowSystemClose.h"
#include "workspace/Workspace.h"

namespace {

// The windows, made and wired as program start makes them.
ProgramWindows windows;

const std::string DiscardQuestion =
    "Data NOT SAVED and/or Results NOT SHOWN ... WARNING ...\rDo you really want to continue?";
const std::string ExitQuestion = "Thanks for using KAVRILON.\rAre you sure you want to exit now?";

// Remembers, for every message, whether the percent window and the main menu
// were showing while it was on screen.
class WatchingPrompts : public ScriptedPrompts {
  public:
    std::vector<bool> percentShowing;
    std::vector<bool> menuShowing;

    kav::Answer Message(kav::MsgKind kind, kav::MsgButtons buttons,
                        const std::string& text) override {
        percentShowing.push_back(windows.percentDone->isVisible());
        menuShowing.push_back(windows.mainMenu->isVisible());
        return ScriptedPrompts::Message(kind, buttons, text);
    }
    void Reset() {
        Clear();
        percentShowing.clear();
        menuShowing.clear();
    }
};

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Puts a problem straight into the Workspace: names, then links as
// {origin, dest, lower, upper, cost}.
void SetProblem(kav::Workspace& ws, const std::vector<std::string>& names,
                const std::vector<std::array<int32_t, 5>>& links) {
    ProblemBuilder problem(ws);
    for (const std::string& name : names)
        problem.Node(name);
    for (const auto& link : links)
        problem.Link(link[0], link[1], link[2], link[3], link[4]);
}

// Every node passes its own checks, but A and B must send 5 to C and D while
// only 3 can come back: infeasible, short by 2.
void SetShortByTwoProblem(kav::Workspace& ws) {
    SetProblem(ws, {"A", "B", "C", "D"},
               {{1, 2, 0, 10, 1},
                {2, 1, 0, 10, 1},
                {3, 4, 0, 10, 1},
                {4, 3, 0, 10, 1},
                {1, 3, 5, 5, 1},
                {3, 1, 0, 3, 1}});
}

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

    WatchingPrompts prompts;
    kav::Session session{prompts};
    TKavrilonForm* menu = nullptr;
    // The home folder, where files are written.
    QTemporaryDir home;

    QPushButton* Button(const char* name) const {
        auto* button = menu->findChild<QPushButton*>(QString::fromLatin1(name));
        if (!button)
            qFatal("no button %s", name);
        return button;
    }
    bool ProblemButtonsEnabled() const {
        const bool change = Button("ChangeButton")->isEnabled();
        const bool run = Button("RunButton")->isEnabled();
        const bool display = Button("DisplayButton")->isEnabled();
        const bool save = Button("SaveButton")->isEnabled();
        if (change != run || run != display || display != save)
            qFatal("buttons out of step");
        return change;
    }

  private slots:
    void initTestCase() {
        QVERIFY(home.isValid());
        qputenv("HOME", home.path().toLocal8Bit());
        // No print system: never the machine's.
        qputenv("CUPS_SERVER", home.filePath("no-print-system.sock").toUtf8());
        QApplication::setQuitOnLastWindowClosed(false);
        SetProblemSize(session.ws, 7, 5);
        windows = CreateWindows(session);
        menu = windows.mainMenu;
        // Creating the main menu empties the counts.
        QCOMPARE(session.ws.LinkCount, 0);
        QCOMPARE(session.ws.NodeCount, 0);
    }
    void init() {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
        RenewSession(session, prompts);
        windows.mainMenu->SetProblemButtons(false);
        windows.mainMenu->show();
        if (!HintsShown())
            Button("HintShow")->click();
        prompts.Reset();
    }
    void cleanupTestCase() { DestroyWindows(windows); }

    void startEmptiesTheCountsAndShowsTheButtonTable() {
        QCOMPARE(menu->windowTitle(), QStringLiteral("KAVRILON Main Menu"));
        QCOMPARE(menu->findChild<QLabel*>("Panel1")->text(), QStringLiteral("KAVRILON Main Menu"));
        struct Row {
            const char* name;
            const char* caption;
            const char* hint;
            bool enabled;
        };
        const Row rows[] = {
            {"AboutButton", "&About", "Show the about box", true},
            {"HintShow", "Hide &Hints", "Hide hints", true},
            {"PrinterButton", "&Printer Setup", "Setup the printer", true},
            {"ReadButton", "&Load Data", "Load the data from the disk", true},
            {"AddButton", "Add &New Links/Nodes", "Add new links or nodes to the problem", true},
            {"ZeroButton", "&Zero (delete) All Data", "Delete all problem data", true},
            {"ChangeButton", "&Change/Remove links/nodes", "Change link parameters or Remove links",
             false},
            {"RunButton", "&Run the algorithm", "Run the OKF algorith", false},
            {"DisplayButton", "&Display results", "Display (or print) the reults", false},
            {"SaveButton", "&Save problem description", "Save the problem to a disk", false},
            {"ExitButton", "&Exit KAVRILON", "Exit the KAVRILON program", true},
        };
        for (const Row& row : rows) {
            QPushButton* button = Button(row.name);
            QCOMPARE(button->text(), QString::fromLatin1(row.caption));
            QCOMPARE(button->toolTip(), QString::fromLatin1(row.hint));
            QCOMPARE(button->isEnabled(), row.enabled);
            QVERIFY2(button->isVisible(), row.name);
            // The caption fits its button.
            QVERIFY2(button->width() >= button->sizeHint().width(), row.name);
        }
        QVERIFY(!Button("GenerateButton")->isVisible());
        QVERIFY(!Button("GenerateButton")->isEnabled());
        QVERIFY(Button("GenerateButton")->toolTip().isEmpty());
        // The bold lime label beside each button.
        QStringList labels;
        for (const QLabel* label : menu->findChildren<QLabel*>()) {
            if (label->objectName() == QStringLiteral("Panel1") ||
                label->objectName() == QStringLiteral("UndoStatus"))
                continue;
            QVERIFY(label->font().bold());
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0x00, 0xFF, 0x00));
            labels << label->text();
        }
        QCOMPARE(
            labels,
            QStringList({"Show ABOUT Box", "Hints will be shown ... Click to HIDE Hints",
                         "You can set up the printer at any time", "Load the data from the disk",
                         "Add nodes and links to a problem", "Delete all data from the workspace",
                         "Change or remove nodes or links", "Run the Out-Of-Kilter algorithm",
                         "Display the results", "Save the problem data to a disk",
                         "Exit the KAVRILON Program"}));
        QCOMPARE(menu->findChild<QLabel*>("HintShowLabel")->text(),
                 QStringLiteral("Hints will be shown ... Click to HIDE Hints"));
    }

    void discardQuestionGuardsLoadZeroAndExit_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("dataNotSaved");
        for (const char* button : {"ReadButton", "ZeroButton", "ExitButton"}) {
            QTest::addRow("%s unsaved", button) << button << true;
            QTest::addRow("%s unseen", button) << button << false;
        }
    }
    void discardQuestionGuardsLoadZeroAndExit() {
        QFETCH(QString, button);
        QFETCH(bool, dataNotSaved);
        SetProblem(session.ws, {"A", "B"}, {{1, 2, 0, 5, 1}, {2, 1, 0, 5, 1}});
        kav::Workspace& ws = session.ws;
        if (dataNotSaved)
            NoteChangesCommitted(ws);
        else
            NoteSolved(ws, false);
        windows.mainMenu->SetProblemButtons(true);
        prompts.answers = {kav::Answer::No};

        Button(button.toLatin1().constData())->click();

        QCOMPARE(prompts.events,
                 (std::vector<std::string>{"beep 16", "message " + DiscardQuestion}));
        QCOMPARE(prompts.messages[0].kind, kav::MsgKind::Warning);
        QCOMPARE(prompts.messages[0].buttons, kav::MsgButtons::YesNo);
        // No leaves everything as it was.
        QCOMPARE(ws.LinkCount, 2);
        QCOMPARE(ws.NodeCount, 2);
        QCOMPARE(ws.DataNotSaved, dataNotSaved);
        QCOMPARE(ws.ResultsNotShown, !dataNotSaved);
        QVERIFY(ProblemButtonsEnabled());
        QVERIFY(menu->isVisible());
    }

    void zeroAfterYesEmptiesAndDisables() {
        SetProblem(session.ws, {"A", "B"}, {{1, 2, 0, 5, 1}, {2, 1, 0, 5, 1}});
        kav::Workspace& ws = session.ws;
        SetAllPending(ws);
        windows.mainMenu->SetProblemButtons(true);
        prompts.answers = {kav::Answer::Yes};

        Button("ZeroButton")->click();

        QCOMPARE(ws.LinkCount, 0);
        QCOMPARE(ws.NodeCount, 0);
        QVERIFY(!ws.DataNotSaved && !ws.ResultsNotShown && !ws.NetworkChanged);
        QVERIFY(!ProblemButtonsEnabled());
        for (const char* name : {"AboutButton", "HintShow", "PrinterButton", "ReadButton",
                                 "AddButton", "ZeroButton", "ExitButton"}) {
            QVERIFY2(Button(name)->isEnabled(), name);
        }
    }

    void zeroWithNothingPendingAsksNothing() {
        SetProblem(session.ws, {"A", "B"}, {{1, 2, 0, 5, 1}, {2, 1, 0, 5, 1}});
        Button("ZeroButton")->click();
        QVERIFY(prompts.events.empty());
        QCOMPARE(session.ws.LinkCount, 0);
    }

    void altAcceleratorPressesItsButton() {
        menu->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        NoteChangesCommitted(session.ws);
        prompts.answers = {kav::Answer::No};
        QTest::keyClick(menu->windowHandle(), Qt::Key_Z, Qt::AltModifier);
        QTRY_COMPARE(prompts.messages.size(), std::size_t{1});
        QCOMPARE(prompts.messages[0].text, DiscardQuestion);
    }

    void loadSetsTheProblemButtonsFromItsOutcome() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString good = folder.filePath("NET.NDE");
        WriteFile(good, "A\r\nB\r\n");
        WriteFile(folder.filePath("NET.LIN"), "2 2 0 0 0\r\n1 2 0 10 5\r\n2 1 0 10 5\r\n");
        const QString shortFile = folder.filePath("SHORT.NDE");
        WriteFile(shortFile, "A\r\nB\r\n");
        WriteFile(folder.filePath("SHORT.LIN"), "3 2 0 0 0\r\n1 2 0 10 5\r\n2 1 0 10 5\r\n");
        const QString huge = folder.filePath("HUGE.NDE");
        WriteFile(huge, "A\r\nB\r\n");
        WriteFile(folder.filePath("HUGE.LIN"), "20001 2 0 0 0\r\n");
        kav::Workspace& ws = session.ws;

        prompts.files = {good.toStdString()};
        Button("ReadButton")->click();
        QCOMPARE(ws.LinkCount, 2);
        QVERIFY(ProblemButtonsEnabled());

        // Refused and Cancelled leave the buttons (and the problem) alone.
        prompts.files = {huge.toStdString()};
        Button("ReadButton")->click();
        QVERIFY(ProblemButtonsEnabled());
        QCOMPARE(ws.LinkCount, 2);
        prompts.files = {std::nullopt};
        Button("ReadButton")->click();
        QVERIFY(ProblemButtonsEnabled());
        QCOMPARE(ws.LinkCount, 2);

        // A failed load disables them even after a good one.
        prompts.Reset();
        prompts.files = {shortFile.toStdString()};
        Button("ReadButton")->click();
        QCOMPARE(ws.LinkCount, 0);
        QVERIFY(!ProblemButtonsEnabled());
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QVERIFY(prompts.messages[0].text.find("FATAL ERROR READING DATA") != std::string::npos);

        // Refused and Cancelled keep disabled buttons disabled too.
        prompts.files = {huge.toStdString()};
        Button("ReadButton")->click();
        QVERIFY(!ProblemButtonsEnabled());
        prompts.files = {std::nullopt};
        Button("ReadButton")->click();
        QVERIFY(!ProblemButtonsEnabled());
        QCOMPARE(prompts.unscripted, 0);
    }

    // A problem named at start: the same reading and buttons as Load Data, and
    // no file dialog even when a file is missing.
    void problemNamedAtStartLoadsWithoutADialog() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString good = folder.filePath("NET.min");
        WriteFile(good, "p min 2 2\nc name 1 LEFT\na 1 2 0 10 5\na 2 1 0 10 5\n");
        const QString lonely = folder.filePath("LONE.NDE");
        WriteFile(lonely, "A\r\n");
        kav::Workspace& ws = session.ws;

        menu->LoadStartFile(good.toStdString());
        QCOMPARE(ws.LinkCount, 2);
        QCOMPARE(ws.NodeName[1], std::string("LEFT"));
        QVERIFY(ProblemButtonsEnabled());

        for (const QString& missing : {folder.filePath("NONE.NDE"), lonely}) {
            prompts.Reset();
            menu->LoadStartFile(missing.toStdString());
            QCOMPARE(prompts.messages.size(), std::size_t{1});
            QVERIFY(prompts.messages[0].text.find("does not exist") != std::string::npos);
            QVERIFY(prompts.openDialogs.empty());
            QCOMPARE(ws.LinkCount, 2);
        }
        QCOMPARE(prompts.unscripted, 0);
    }

    void runWithNoLinksDoesNothing() {
        SetProblem(session.ws, {"A", "B"}, {});
        windows.mainMenu->SetProblemButtons(true);
        Button("RunButton")->click();
        QVERIFY(prompts.events.empty());
        QVERIFY(menu->isVisible());
        QVERIFY(!windows.errorList->isVisible());
        QVERIFY(!windows.percentDone->isVisible());
        QVERIFY(!session.ws.ResultsNotShown);
    }

    void failedCheckShowsTheErrorListInPlaceOfTheMenu() {
        SetProblem(session.ws, {"A", "B", "C"}, {{1, 2, 0, 5, 1}, {2, 1, 0, 5, 1}});
        windows.mainMenu->SetProblemButtons(true);
        Button("RunButton")->click();
        TFMErrorForm* errors = windows.errorList;
        QVERIFY(errors->isVisible());
        QVERIFY(!menu->isVisible());
        QVERIFY(prompts.events.empty());
        auto* list = errors->findChild<QListWidget*>("ErrorList");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Node <C> is never used...FATAL ERROR..."));
        QVERIFY(!session.ws.ResultsNotShown);

        QTest::mouseClick(errors->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        QVERIFY(!errors->isVisible());
        QVERIFY(menu->isVisible());
        QCOMPARE(list->count(), 1);
    }

    void stoppedRunShowsItsReasonAsTheStandardErrorReport() {
        // Three links of cost 10^9 in a chain: the potentials outgrow 32 bits.
        SetProblem(session.ws, {"A", "B", "C", "D"},
                   {{4, 1, 1, 1, 0},
                    {1, 2, 0, 1, 1000000000},
                    {2, 3, 0, 1, 1000000000},
                    {3, 4, 0, 1, 1000000000}});
        windows.mainMenu->SetProblemButtons(true);
        Button("RunButton")->click();
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QCOMPARE(prompts.messages[0].kind, kav::MsgKind::Error);
        QVERIFY(prompts.messages[0].text.rfind("Numbers in this problem grow beyond", 0) == 0);
        QCOMPARE(prompts.menuShowing, (std::vector<bool>{true}));
        QVERIFY(!windows.percentDone->isVisible());
        QCOMPARE(session.ws.LinkFlow[1], 0);
    }

    void infeasibleRunShowsThreeBoxesInOrder() {
        SetShortByTwoProblem(session.ws);
        windows.mainMenu->SetProblemButtons(true);
        Button("RunButton")->click();
        QVERIFY(!windows.errorList->isVisible());
        QCOMPARE(prompts.messages.size(), std::size_t{3});
        QVERIFY(prompts.messages[0].text.rfind("<<< INFEASIBLE SOLUTION FOUND...WORKING ON LINK ",
                                               0) == 0);
        QCOMPARE(prompts.messages[0].kind, kav::MsgKind::Warning);
        QVERIFY(prompts.messages[1].text.rfind("...Problem is solved...\rSolution Time = ", 0) ==
                0);
        QCOMPARE(prompts.messages[1].kind, kav::MsgKind::Information);
        QCOMPARE(prompts.messages[2].text,
                 std::string("Inputs yield infeasible solution...\rSEVERE WARNING..."));
        // The first two come while the percent window shows, the last after the menu is back.
        QCOMPARE(prompts.percentShowing, (std::vector<bool>{true, true, false}));
        QCOMPARE(prompts.menuShowing, (std::vector<bool>{false, false, true}));
        QVERIFY(!windows.percentDone->isVisible());
        QVERIFY(session.ws.Infeasible);
        QVERIFY(session.ws.ResultsNotShown);

        // Then the nodes C and D, which must take in 5 and can pass on 3,
        // replace the menu until Ok.
        QVERIFY(windows.cut->isVisible());
        QVERIFY(!menu->isVisible());
        auto* list = windows.cut->findChild<QListWidget*>("CutList");
        QCOMPARE(list->item(1)->text(),
                 QStringLiteral("These 2 nodes together must receive at least 5 from outside"));
        QCOMPARE(list->item(2)->text(), QStringLiteral("but can send out at most 3: short by 2"));
        QCOMPARE(list->count(), 14);
        QTest::mouseClick(windows.cut->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        QVERIFY(!windows.cut->isVisible());
        QVERIFY(menu->isVisible());
    }

    // After an infeasible run the results window offers the cut again; Ok
    // goes back to the results, and the cut window closes with them. An edit
    // makes the cut stale and takes the offer away.
    void theCutOpensAgainFromTheResultsWhileItIsCurrent() {
        SetShortByTwoProblem(session.ws);
        windows.mainMenu->SetProblemButtons(true);
        Button("RunButton")->click();
        QTest::mouseClick(windows.cut->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        auto* cutButton = windows.results->findChild<QPushButton*>("CutButton");
        auto* cutList = windows.cut->findChild<QListWidget*>("CutList");
        for (const bool quitResults : {false, true}) {
            Button("DisplayButton")->click();
            QVERIFY(windows.results->isVisible());
            QVERIFY(cutButton->isEnabled());
            cutList->clear();
            windows.results->activateWindow();
            QTRY_VERIFY(windows.results->isActiveWindow());
            QTest::keyClick(windows.results, Qt::Key_U, Qt::AltModifier);
            QTRY_VERIFY(windows.cut->isVisible());
            QCOMPARE(cutList->item(0)->text(),
                     QStringLiteral(
                         "No feasible flow exists: the solver was working on link 5 (A -> C)."));
            if (quitResults) {
                QTest::mouseClick(windows.results->findChild<QPushButton*>("QuitButton"),
                                  Qt::LeftButton);
            } else {
                QTest::mouseClick(windows.cut->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
                QVERIFY(windows.results->isVisible());
                QVERIFY(!menu->isVisible());
                QTest::mouseClick(windows.results->findChild<QPushButton*>("QuitButton"),
                                  Qt::LeftButton);
            }
            QVERIFY(!windows.cut->isVisible());
            QVERIFY(menu->isVisible());
        }
        kav::NoteLinkValuesEdited(session.ws);
        Button("DisplayButton")->click();
        QVERIFY(!cutButton->isEnabled());
    }

    void unseenResultsOfARunMakeExitAsk() {
        SetProblem(session.ws, {"A", "B"}, {{1, 2, 0, 5, 1}, {2, 1, 0, 5, 1}});
        windows.mainMenu->SetProblemButtons(true);
        Button("RunButton")->click();
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QCOMPARE(prompts.percentShowing, std::vector<bool>{true});
        QVERIFY(session.ws.ResultsNotShown);
        QCOMPARE(windows.percentDone->findChild<QLabel*>("OKFPercentLabel")->text(),
                 QStringLiteral("100.00000% Complete"));

        prompts.Reset();
        prompts.answers = {kav::Answer::No};
        Button("ExitButton")->click();
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QCOMPARE(prompts.messages[0].text, DiscardQuestion);
        QVERIFY(menu->isVisible());
    }

    void resultsSeenOnceStopTheDiscardQuestion() {
        SetProblem(session.ws, {"A", "B"}, {{1, 2, 0, 5, 1}, {2, 1, 0, 5, 1}});
        windows.mainMenu->SetProblemButtons(true);
        Button("RunButton")->click();
        QVERIFY(session.ws.ResultsNotShown);
        Button("DisplayButton")->click();
        QVERIFY(windows.results->isVisible());
        QTest::mouseClick(windows.results->findChild<QPushButton*>("QuitButton"), Qt::LeftButton);
        QVERIFY(menu->isVisible());

        prompts.Reset();
        prompts.answers = {kav::Answer::No};
        Button("ExitButton")->click();
        QCOMPARE(prompts.events, (std::vector<std::string>{"beep 16", "message " + ExitQuestion}));
    }

    void exitRightAfterStartAsksOnlyTheExitQuestion() {
        prompts.answers = {kav::Answer::No};
        Button("ExitButton")->click();
        QCOMPARE(prompts.events, (std::vector<std::string>{"beep 16", "message " + ExitQuestion}));
        QCOMPARE(prompts.messages[0].kind, kav::MsgKind::Confirmation);
        QCOMPARE(prompts.messages[0].buttons, kav::MsgButtons::YesNo);
        QVERIFY(menu->isVisible());

        prompts.Reset();
        prompts.answers = {kav::Answer::Yes};
        Button("ExitButton")->click();
        QCOMPARE(prompts.events, (std::vector<std::string>{"beep 16", "message " + ExitQuestion,
                                                           "message Exiting KAVRILON."}));
        QCOMPARE(prompts.messages[1].kind, kav::MsgKind::Information);
        QVERIFY(!menu->isVisible());
        QVERIFY(!windows.aboutBox->AboutTimer()->isActive());
    }

    // The title bar and Alt+F4 warn about unsaved data as Exit does, once,
    // before the exit question; No to either keeps the program as it was.
    void closingFromTheTitleBarAsksTheDiscardQuestionFirst() {
        QSignalSpy ends(menu, &TKavrilonForm::ProgramEnds);
        NoteChangesCommitted(session.ws);
        prompts.answers = {kav::Answer::No};
        QVERIFY(!WindowSystemClose(menu));
        QCOMPARE(prompts.events,
                 (std::vector<std::string>{"beep 16", "message " + DiscardQuestion}));

        prompts.Reset();
        prompts.answers = {kav::Answer::Yes, kav::Answer::No};
        QVERIFY(!WindowSystemClose(menu));
        QCOMPARE(prompts.events, (std::vector<std::string>{"beep 16", "message " + DiscardQuestion,
                                                           "beep 16", "message " + ExitQuestion}));
        QVERIFY(menu->isVisible());
        QVERIFY(session.ws.DataNotSaved);
        QCOMPARE(ends.count(), 0);

        prompts.Reset();
        prompts.answers = {kav::Answer::Yes, kav::Answer::Yes};
        QVERIFY(WindowSystemClose(menu));
        QCOMPARE(prompts.messages.size(), std::size_t{3});
        QCOMPARE(ends.count(), 1);
    }

    void hintSwitchChangesLabelCaptionAndTooltips() {
        auto* label = menu->findChild<QLabel*>("HintShowLabel");
        QPushButton* hintShow = Button("HintShow");
        QTest::mouseClick(hintShow, Qt::LeftButton);
        QVERIFY(!HintsShown());
        QCOMPARE(label->text(), QStringLiteral("Hints will be hidden... Click to Show"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::yellow));
        QCOMPARE(hintShow->text(), QStringLiteral("Show &Hints"));
        QCOMPARE(hintShow->toolTip(), QStringLiteral("Hide hints"));

        QPushButton* about = Button("AboutButton");
        QHelpEvent hidden(QEvent::ToolTip, QPoint(5, 5), about->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(about, &hidden);
        QVERIFY(!QToolTip::isVisible());

        QTest::mouseClick(hintShow, Qt::LeftButton);
        QVERIFY(HintsShown());
        QCOMPARE(label->text(), QStringLiteral("Hints will be shown... Click to Hide"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::green));
        QCOMPARE(hintShow->text(), QStringLiteral("Hide &Hints"));

        QHelpEvent shown(QEvent::ToolTip, QPoint(5, 5), about->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(about, &shown);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("Show the about box"));
        QToolTip::hideText();
    }

    // Printer Setup asks for a PDF file's name once, beside the node file; the
    // choice then holds for the run, and a cancelled dialog changes nothing (a
    // cancelled name keeps only the page).
    void printerSetupKeepsTheChoiceForTheRun() {
        prompts.setupChoices.push_back(std::nullopt);
        Button("PrinterButton")->click();
        QCOMPARE(prompts.events, std::vector<std::string>{"printer setup"});
        QVERIFY(!session.printSetup.chosen);
        QVERIFY(menu->isVisible());

        const std::string folder = home.path().toStdString();
        SetFileNames(session.ws, folder + "/thesis.NDE", session.ws.LinkFileName);
        kav::PrinterSetupChoice pdf;
        pdf.landscape = true;
        prompts.setupChoices = {pdf, pdf};
        prompts.files = {std::nullopt, folder + "/report.pdf"};
        Button("PrinterButton")->click();  // the file's name is not given
        QVERIFY(!session.printSetup.chosen);
        QVERIFY(session.printSetup.choice.landscape);  // but the page chosen is kept
        QCOMPARE(prompts.saveDialogs.at(0).fileName, folder + "/thesis.pdf");
        Button("PrinterButton")->click();
        QVERIFY(session.printSetup.chosen);
        QCOMPARE(session.printSetup.pdfFile, folder + "/report.pdf");
        QVERIFY(session.printSetup.choice.landscape);

        // The next setup starts from that choice, and cancelling it keeps it.
        prompts.setupChoices = {std::nullopt};
        Button("PrinterButton")->click();
        QVERIFY(prompts.printerSetups.back().landscape);
        QVERIFY(prompts.printerSetups.back().printer.empty());
        QCOMPARE(session.printSetup.pdfFile, folder + "/report.pdf");
        QCOMPARE(prompts.saveDialogs.size(), std::size_t{2});
        session.printSetup = PrintSetup();
    }

    // Nothing in the program shows the button; pressed anyway, it opens the
    // generator over the menu and forgets the old solution and flags.
    void genRandShowsTheGeneratorOverTheMenuAndClearsTheSolution() {
        SetProblem(session.ws, {"A", "B"}, {{1, 2, 0, 5, 1}, {2, 1, 0, 5, 1}});
        kav::Workspace& ws = session.ws;
        SetFlow(ws, 1, 4);
        SetPotential(ws, 2, 3);
        SetAllPending(ws);
        windows.mainMenu->SetProblemButtons(true);
        QPushButton* generate = Button("GenerateButton");
        generate->setEnabled(true);
        generate->click();
        generate->setEnabled(false);
        QVERIFY(windows.generator->isVisible());
        QVERIFY(menu->isVisible());
        QCOMPARE(ws.LinkFlow[1], 0);
        QCOMPARE(ws.NodePotential[2], 0);
        QVERIFY(!ws.DataNotSaved && !ws.ResultsNotShown && !ws.NetworkChanged);
        QCOMPARE(ws.LinkCount, 2);
        QVERIFY(ProblemButtonsEnabled());
        QVERIFY(prompts.events.empty());
    }

    void aboutButtonShowsTheBoxInPlaceOfTheMenu() {
        Button("AboutButton")->click();
        QVERIFY(windows.aboutBox->isVisible());
        QVERIFY(!menu->isVisible());
        QVERIFY(!windows.aboutBox->AboutTimer()->isActive());
    }

    void enterOnAFocusedButtonPressesIt() {
        QPushButton* about = Button("AboutButton");
        QTest::keyClick(about, Qt::Key_Return, Qt::ControlModifier);  // not a plain Enter
        QVERIFY(!windows.aboutBox->isVisible());
        QTest::keyClick(about, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(windows.aboutBox->isVisible());
        QVERIFY(!menu->isVisible());
    }

    void windowButtonsHideTheMenuAndShowTheirWindow() {
        windows.mainMenu->SetProblemButtons(true);
        const std::pair<const char*, QWidget*> pairs[] = {{"AddButton", windows.addStuff},
                                                          {"ChangeButton", windows.change},
                                                          {"DisplayButton", windows.results}};
        for (const auto& [name, window] : pairs) {
            Button(name)->click();
            QVERIFY2(window->isVisible(), name);
            QVERIFY2(!menu->isVisible(), name);
            window->hide();
            windows.mainMenu->show();
        }
    }
};

QTEST_MAIN(MainMenuTest)
#include "tst_mainmenu.moc"

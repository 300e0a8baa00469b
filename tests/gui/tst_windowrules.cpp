// The rules every window keeps, with the windows wired as program start wires
// them: only a window on screen acts on a click or a key, an accelerator acts
// before the next key, and a refused window-system close beeps.

#include "EditingFixture.h"

#include <QApplication>
#include <QtTest>
#include <functional>

#include "app/TAboutBoxKavrilon.h"
#include "app/TFMErrorForm.h"
#include "app/TKavrilonForm.h"
#include "app/TPCTOKFForm.h"
#include "generator/TRandGenerator.h"
#include "results/TFMCutForm.h"
#include "results/TFMResultsForm.h"
#include "solver/Session.h"
#include "support/RenewSession.h"
#include "support/WindowSystemClose.h"

namespace {

ProgramWindows windows;
using WindowOf = std::function<QWidget*()>;

QStringList Showing() {
    QStringList names;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !window->inherits("QTipLabel"))
            names << window->objectName();
    }
    return names;
}

}  // namespace

Q_DECLARE_METATYPE(WindowOf)

class WindowRulesTest : public QObject {
    Q_OBJECT
    ScriptedPrompts prompts;
    kav::Session session{prompts};

    // The windows left only by their own buttons come first.
    static void WindowRows(int count) {
        QTest::addColumn<WindowOf>("window");
        const std::pair<const char*, WindowOf> rows[] = {
            {"chooser", [] { return windows.addStuff; }},
            {"node window", [] { return windows.nodeAdder; }},
            {"link window", [] { return windows.linkAdder; }},
            {"change window", [] { return windows.change; }},
            {"results", [] { return windows.results; }},
            {"about box", [] { return windows.aboutBox; }},
            {"error list", [] { return windows.errorList; }},
            {"cut", [] { return windows.cut; }},
            {"percent", [] { return windows.percentDone; }},
            {"main menu", [] { return windows.mainMenu; }},
            {"generator", [] { return windows.generator; }}};
        for (int i = 0; i < count; ++i)
            QTest::newRow(rows[i].first) << rows[i].second;
    }

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        windows = CreateWindows(session);
    }
    void init() {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
        RenewSession(session, prompts);
        kav::Workspace& ws = session.ws;
        AddNodes(ws, {"A", "B", "C"});
        AddLinks(ws, {{1, 2, 0, 10, 5, 0}, {2, 3, 0, 10, 7, 0}, {3, 1, 0, 10, 1, 0}});
        windows.mainMenu->SetProblemButtons(true);
        prompts.Clear();
    }
    void cleanupTestCase() {
        DestroyWindows(windows);
        RenewSession(session, prompts);
    }

    // A click that reaches a button after its window was hidden does nothing:
    // no window opens, nothing is asked, the problem stays.
    void aHiddenWindowsButtonsDoNothing_data() { WindowRows(11); }
    void aHiddenWindowsButtonsDoNothing() {
        QFETCH(WindowOf, window);
        NoteChangesCommitted(session.ws);  // Zero, Load and Exit would ask
        for (QAbstractButton* button : window()->findChildren<QAbstractButton*>()) {
            button->setEnabled(true);
            button->click();
        }
        QCOMPARE(Showing(), QStringList());
        QCOMPARE(prompts.events, std::vector<std::string>());
        QCOMPARE(session.ws.LinkCount, 3);
    }

    // Alt+N replaces the main menu by the chooser at once; the key typed next
    // still goes to the hidden main menu and is dropped there, and no
    // accelerator of the chooser (Alt+L, Alt+Q) takes it either.
    void anAcceleratorActsBeforeTheNextKey_data() {
        QTest::addColumn<Qt::Key>("next");
        for (Qt::Key key : {Qt::Key_Z, Qt::Key_L, Qt::Key_Q, Qt::Key_E})
            QTest::newRow(qPrintable(QKeySequence(key).toString())) << key;
    }
    void anAcceleratorActsBeforeTheNextKey() {
        QFETCH(Qt::Key, next);
        QVERIFY(ShowActive(windows.mainMenu));
        QTest::keyClick(windows.mainMenu, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(Showing(), QStringList{"FMAddStuff"});
        QTest::keyClick(windows.mainMenu, next, Qt::AltModifier);
        QTest::qWait(150);  // longer than a button's press animation
        QCOMPARE(Showing(), QStringList{"FMAddStuff"});
        QCOMPARE(prompts.events, std::vector<std::string>());
        QCOMPARE(session.ws.NodeCount, 3);
    }

    // Keys typed just after a window was hidden still reach it: they neither
    // type there nor press an accelerator of the window now on screen.
    void keysForAHiddenWindowAreDropped() {
        QLineEdit* cost = Child<QLineEdit>(windows.linkAdder, "UnitCost");
        QTest::keyClicks(cost, "12");
        QCOMPARE(cost->text(), QString());
        QVERIFY(ShowActive(windows.addStuff));
        QTest::keyClick(windows.linkAdder, Qt::Key_L, Qt::AltModifier);  // the chooser's Add Link
        QCOMPARE(Showing(), QStringList{"FMAddStuff"});
    }

    void aRefusedWindowSystemCloseBeeps_data() { WindowRows(9); }
    void aRefusedWindowSystemCloseBeeps() {
        QFETCH(WindowOf, window);
        window()->show();
        QVERIFY(!WindowSystemClose(window()));
        QVERIFY(window()->isVisible());
        QCOMPARE(prompts.beeps, std::vector<unsigned>{kav::BeepDefault});
    }
};

QTEST_MAIN(WindowRulesTest)
#include "tst_windowrules.moc"

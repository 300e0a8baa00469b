#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <memory>
#include <vector>

#include "app/CreateWindows.h"
#include "core/ExampleProblems.h"
#include "results/SolveSteps.h"
#include "results/TFMNetworkPicture.h"
#include "results/TFMResultsForm.h"
#include "results/TFMStepThrough.h"
#include "solver/KiltSolve.h"
#include "solver/LastSolve.h"
#include "solver/Session.h"
#include "support/ScriptedPrompts.h"
#include "workspace/Workspace.h"

class TestStepThrough : public QObject {
    Q_OBJECT
    ScriptedPrompts prompts;
    kav::Session session{prompts};
    ProgramWindows windows;

    TFMStepThrough* Steps() { return windows.stepThrough; }
    QPushButton* Button(QWidget* window, const char* name) {
        return window->findChild<QPushButton*>(name);
    }
    const kav::StepState& State() { return Steps()->Steps()->State(); }

    // Solves the Workspace's problem as the main menu does, keeping the
    // problem as it was solved, and opens the picture from the results.
    void SolveAndOpenPicture() {
        kav::Workspace& ws = session.ws;
        auto asSolved = std::make_shared<const kav::Workspace>(ws);
        session.lastSolve.Record(ws, kav::RunOutOfKilter(ws, nullptr), asSolved);
        windows.results->show();
        windows.results->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(windows.results));
        QTest::keyClick(windows.results, Qt::Key_W, Qt::AltModifier);
        QTRY_VERIFY(windows.picture->isVisible());
        QTRY_VERIFY(!windows.picture->LayoutPending());
        QVERIFY(QTest::qWaitForWindowActive(windows.picture));
    }
    void OpenSteps() {
        QTRY_VERIFY(Button(windows.picture, "StepThroughButton")->isEnabled());
        QTest::keyClick(windows.picture, Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(Steps()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(Steps()));
    }

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        windows = CreateWindows(session);
    }
    void init() { prompts.Clear(); }
    void cleanup() {
        Steps()->hide();
        windows.picture->hide();
        windows.results->hide();
        QCOMPARE(prompts.unscripted, 0);
    }
    void cleanupTestCase() { DestroyWindows(windows); }

    // Right and Left walk forward and back through the same states (Right
    // beeps at the end); Next
    // Link, Run to End and Restart jump; the problem and its results stay as
    // the solve left them; Escape closes the window and nothing else.
    void stepsForwardAndBackToTheSameStates() {
        kav::Workspace& ws = session.ws;
        InfeasibleExample(ws);
        SolveAndOpenPicture();
        const kav::Workspace solved = ws;
        OpenSteps();
        QVERIFY(!Steps()->testAttribute(Qt::WA_QuitOnClose));
        QCOMPARE(State().applied, std::size_t{1});
        QVERIFY(!Button(Steps(), "BackButton")->isEnabled());
        std::vector<kav::StepState> states{State()};
        std::vector<QString> texts{Steps()->StepText()};
        while (Button(Steps(), "StepButton")->isEnabled()) {
            QTest::keyClick(Steps(), Qt::Key_Right);
            states.push_back(State());
            texts.push_back(Steps()->StepText());
        }
        QCOMPARE(states.size(), Steps()->Steps()->Count());
        QTest::keyClick(Steps(), Qt::Key_Right);  // nothing further: a beep
        QCOMPARE(prompts.beeps.size(), std::size_t{1});
        QVERIFY(State() == states.back());
        QVERIFY(texts.back().startsWith("No feasible flow: link 3 (A -> C)"));
        QVERIFY(Steps()->findChild<QLabel*>("StepCounter")->text().endsWith("link 3 of 6"));
        for (std::size_t n = states.size(); n > 1; --n) {
            QTest::keyClick(Steps(), Qt::Key_Left);
            QVERIFY(State() == states[n - 2]);
            QCOMPARE(Steps()->StepText(), texts[n - 2]);
        }
        Button(Steps(), "NextLinkButton")->click();
        QCOMPARE(Steps()->Steps()->Current().Kind, kav::SolveEventKind::Link);
        QVERIFY(State() == states[State().applied - 1]);
        QTest::keyClick(Steps(), Qt::Key_E, Qt::AltModifier);
        QVERIFY(State() == states.back());
        QTest::keyClick(Steps(), Qt::Key_R, Qt::AltModifier);
        QVERIFY(State() == states.front());
        for (int32_t k = 1; k <= ws.LinkCount; ++k)
            QCOMPARE(ws.LinkFlow[k], solved.LinkFlow[k]);
        QVERIFY(kav::CurrentSolution(session).Solved());
        QTest::keyClick(Steps(), Qt::Key_Escape);
        QTRY_VERIFY(!Steps()->isVisible());
        QVERIFY(windows.picture->isVisible());
    }

    // Play steps on by itself to the end and turns back into Play; Pause
    // stops it.
    void playsToTheEnd() {
        kav::Workspace& ws = session.ws;
        ThreeNodeExample(ws);
        SolveAndOpenPicture();
        OpenSteps();
        Steps()->findChild<QSlider*>("SpeedSlider")->setValue(10);
        QPushButton* play = Button(Steps(), "PlayButton");
        play->click();
        QCOMPARE(play->text(), QStringLiteral("P&ause"));
        QTRY_VERIFY(Steps()->Steps()->AtEnd());
        QCOMPARE(play->text(), QStringLiteral("P&lay"));
        QVERIFY(Steps()->StepText().startsWith("Every link is in kilter"));
        Button(Steps(), "RestartButton")->click();
        play->click();
        play->click();
        const std::size_t paused = State().applied;
        QTest::qWait(100);
        QCOMPARE(State().applied, paused);
    }

    // The arrows move the focused speed slider as they move every slider,
    // and step wherever else the focus is.
    void theArrowsMoveAFocusedSlider() {
        ThreeNodeExample(session.ws);
        SolveAndOpenPicture();
        OpenSteps();
        auto* slider = Steps()->findChild<QSlider*>("SpeedSlider");
        slider->setValue(4);
        slider->setFocus(Qt::TabFocusReason);
        const std::size_t at = State().applied;
        QTest::keyClick(slider, Qt::Key_Right);
        QTest::keyClick(slider, Qt::Key_Right);
        QTest::keyClick(slider, Qt::Key_Left);
        QCOMPARE(slider->value(), 5);
        QCOMPARE(State().applied, at);
        Button(Steps(), "StepButton")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(State().applied, at + 1);
        QCOMPARE(slider->value(), 5);
    }

    // Leaving the results closes the window, Play stopped and the replay gone,
    // before the problem can change under it.
    void closesWithTheResults() {
        ThreeNodeExample(session.ws);
        SolveAndOpenPicture();
        OpenSteps();
        Steps()->findChild<QSlider*>("SpeedSlider")->setValue(1);
        QPushButton* play = Button(Steps(), "PlayButton");
        play->click();
        Button(windows.results, "QuitButton")->click();
        QVERIFY(!Steps()->isVisible());
        QVERIFY(!windows.picture->isVisible());
        QCOMPARE(play->text(), QStringLiteral("P&lay"));
        QVERIFY(Steps()->Steps() == nullptr);
    }

    // Once the problem is edited the solve no longer describes it.
    void needsTheLastSolveToBeCurrent() {
        kav::Workspace& ws = session.ws;
        ThreeNodeExample(ws);
        SolveAndOpenPicture();
        QTRY_VERIFY(Button(windows.picture, "StepThroughButton")->isEnabled());
        kav::NoteNodesEdited(ws);
        windows.picture->ShowPicture();
        QTRY_VERIFY(!windows.picture->LayoutPending());
        QVERIFY(!Button(windows.picture, "StepThroughButton")->isEnabled());
    }

    // A neighbourhood is not the whole solve: the steps would run off it.
    void needsTheWholeNetworkShown() {
        InfeasibleExample(session.ws);
        SolveAndOpenPicture();
        QTRY_VERIFY(Button(windows.picture, "StepThroughButton")->isEnabled());
        windows.picture->findChild<QLineEdit*>("NodeSearch")->setText("A");
        Button(windows.picture, "ShowNodeButton")->click();
        QTRY_VERIFY(!windows.picture->LayoutPending());
        QVERIFY(!Button(windows.picture, "StepThroughButton")->isEnabled());
    }
};

QTEST_MAIN(TestStepThrough)
#include "tst_stepthrough.moc"

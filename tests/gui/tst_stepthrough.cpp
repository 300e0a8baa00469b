#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>
#include <vector>

#include "app/CreateWindows.h"
#include "core/ExampleProblems.h"
#include "gui/ZoomPanView.h"
#include "results/SolveSteps.h"
#include "results/TFMNetworkPicture.h"
#include "results/TFMResultsForm.h"
#include "results/TFMStepThrough.h"
#include "solver/KiltSolve.h"
#include "solver/LastSolve.h"
#include "solver/Session.h"
#include "support/ScriptedPrompts.h"
#include "support/WaitInFront.h"
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
        QVERIFY(WaitInFront(windows.results));
        QTest::keyClick(windows.results, Qt::Key_W, Qt::AltModifier);
        QTRY_VERIFY(windows.picture->isVisible());
        QTRY_VERIFY(!windows.picture->LayoutPending());
        QVERIFY(WaitInFront(windows.picture));
    }
    void OpenSteps() {
        QTRY_VERIFY(Button(windows.picture, "StepThroughButton")->isEnabled());
        QTest::keyClick(windows.picture, Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(Steps()->isVisible());
        QVERIFY(WaitInFront(Steps()));
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
        QVERIFY(
            Steps()->findChild<QLabel*>("StepCounter")->text().endsWith("stopped at link 3 of 6"));
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

    // Step Through again while the window is open brings it to the front at
    // its step; a node named like markup is shown as it is named.
    void reopensAtItsStepWithNamesAsWritten() {
        kav::Workspace& ws = session.ws;
        InfeasibleExample(ws);
        kav::SetNodeName(ws, 3, "<i>C");
        SolveAndOpenPicture();
        OpenSteps();
        Button(Steps(), "NextLinkButton")->click();
        const std::size_t reached = State().applied;
        QVERIFY(Steps()->StepText().startsWith("Link 3 (A -> <i>C) is out of kilter"));
        QCOMPARE(Steps()->findChild<QLabel*>("StepText")->textFormat(), Qt::PlainText);
        // The handout writes the name as text, and leaves the window at its step.
        QTemporaryDir folder;
        const QString handout = folder.filePath("handout.html");
        prompts.files.push_back(handout.toStdString());
        Button(Steps(), "HandoutButton")->click();
        QFile file(handout);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray html = file.readAll();
        QVERIFY(html.contains("Link 3 (A -&gt; &lt;i&gt;C) is out of kilter"));
        QVERIFY(!html.contains("<i>C"));
        QCOMPARE(State().applied, reached);
        windows.picture->activateWindow();
        QVERIFY(WaitInFront(windows.picture));
        OpenSteps();
        QCOMPARE(State().applied, reached);
    }

    // A step saved by a name ending in .svg is SVG, well formed with any node
    // name, with the step's marks and its sentence over the picture.
    void exportsAStepAsSvg() {
        kav::Workspace& ws = session.ws;
        InfeasibleExample(ws);
        kav::SetNodeName(ws, 3, "<i>C&");
        SolveAndOpenPicture();
        OpenSteps();
        Button(Steps(), "NextLinkButton")->click();
        QTemporaryDir folder;
        const QString name = folder.filePath("step.SVG");
        prompts.files.push_back(name.toStdString());
        Button(Steps(), "ExportStepButton")->click();
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray svg = file.readAll();
        QVERIFY(svg.startsWith("<?xml"));
        QXmlStreamReader reader(svg);
        while (!reader.atEnd())
            reader.readNext();
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QVERIFY(svg.contains("Link 3 (A\u00A0-&gt;\u00A0&lt;i&gt;C&amp;) is out of kilter"));
        // The current link's dotted halo.
        QVERIFY(svg.contains("stroke=\"#cc79a7\""));
    }

    // The handout holds the steps from its first to its last, both ends
    // included, whichever way round they are given; at first the whole run.
    void handsOutARangeOfSteps() {
        InfeasibleExample(session.ws);
        SolveAndOpenPicture();
        OpenSteps();
        auto* from = Steps()->findChild<QSpinBox*>("HandoutFrom");
        auto* to = Steps()->findChild<QSpinBox*>("HandoutTo");
        const auto count = static_cast<int>(Steps()->Steps()->Count());
        QCOMPARE(from->value(), 1);
        QCOMPARE(to->value(), count);
        Button(Steps(), "NextLinkButton")->click();
        const auto link = static_cast<int>(State().applied);
        Button(Steps(), "NextBreakthroughButton")->click();
        const auto breakthrough = static_cast<int>(State().applied);
        QVERIFY(link < breakthrough && breakthrough < count);
        from->setValue(breakthrough);
        to->setValue(link);
        QTemporaryDir folder;
        const QString handout = folder.filePath("handout.html");
        prompts.files.push_back(handout.toStdString());
        Button(Steps(), "HandoutButton")->click();
        QFile file(handout);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.contains(QStringLiteral("<b>%1.</b>").arg(link)));
        QVERIFY(html.contains(QStringLiteral("<b>%1.</b>").arg(breakthrough)));
        QVERIFY(html.contains(
            QStringLiteral("Steps %1 to %2 of %3.").arg(link).arg(breakthrough).arg(count)));
        const QRegularExpression step(QStringLiteral("<b>(\\d+)\\.</b>"));
        for (auto match = step.globalMatch(html); match.hasNext();) {
            const int n = match.next().captured(1).toInt();
            QVERIFY2(link <= n && n <= breakthrough, qPrintable(QString::number(n)));
        }
    }

    // Every accelerator letter of the window is its own.
    void acceleratorsDoNotClash() {
        QSet<QChar> letters;
        QStringList captions;
        for (const QPushButton* button : Steps()->findChildren<QPushButton*>())
            captions << button->text();
        for (const QLabel* label : Steps()->findChildren<QLabel*>())
            captions << label->text();
        captions << QStringLiteral("P&ause");
        for (const QString& caption : captions) {
            const qsizetype at = caption.indexOf('&');
            if (at < 0 || at + 1 >= caption.size() || caption[at + 1] == ' ' ||
                caption[at + 1] == 'n')
                continue;
            const QChar letter = caption[at + 1].toUpper();
            QVERIFY2(!letters.contains(letter), qPrintable(caption));
            letters.insert(letter);
        }
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

    // The picture and Step Through zoom alike: from the whole picture (no
    // smaller) up to 16 pixels a point, and a double-click shows it whole.
    void bothPicturesZoomWithinTheSameBounds() {
        ThreeNodeExample(session.ws);
        SolveAndOpenPicture();
        OpenSteps();
        for (auto* view : {windows.picture->findChild<ZoomPanView*>("PictureView"),
                           Steps()->findChild<ZoomPanView*>("StepPicture")}) {
            QVERIFY(view != nullptr);
            const double whole = view->Scale();
            QCOMPARE(whole, view->FitScale());
            QTest::keyClick(view, Qt::Key_Minus);
            QCOMPARE(view->Scale(), whole);
            for (int i = 0; i < 40; ++i)
                QTest::keyClick(view, Qt::Key_Plus);
            QCOMPARE(view->Scale(), ZoomPanView::MostScale);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton);
            QCOMPARE(view->Scale(), whole);
        }
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

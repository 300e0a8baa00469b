// Sessions with the program's real message boxes (no scripted prompts), run
// inside the application's own event loop as the program runs: every box is
// answered from a timer that finds the modal box on screen. A box that opens
// without the window that asked for it as its parent, or anything that ends
// the event loop before the session does, fails the test.

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/CreateWindows.h"
#include "app/KavrilonApplication.h"
#include "app/TAboutBoxKavrilon.h"
#include "app/TKavrilonForm.h"
#include "app/TPCTOKFForm.h"
#include "editing/TFMAddStuff.h"
#include "editing/TFMLinkAddForm.h"
#include "gui/QtPrompts.h"
#include "results/TFMCutForm.h"
#include "solver/Session.h"
#include "support/ProblemBuilder.h"
#include "workspace/Workspace.h"

namespace {

// The windows, made and wired as program start makes them.
ProgramWindows windows;

// One box as it was on screen.
struct SeenBox {
    QString text;
    QWidget* parent = nullptr;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool parentShowing = false;
};

// Answers every message box that comes up: records it, then presses the
// button answer() chooses for it. Right after a box closes the window system
// has not yet made any window active again; the answer leaves the program in
// that state, so that the next box must find its window without it.
class BoxAnswerer : public QObject {
  public:
    std::vector<SeenBox> seen;
    std::function<QMessageBox::StandardButton(const QMessageBox*)> answer =
        [](const QMessageBox* box) {
            return box->standardButtons().testFlag(QMessageBox::Ok) ? QMessageBox::Ok
                                                                    : QMessageBox::No;
        };

    BoxAnswerer() {
        connect(&poll_, &QTimer::timeout, this, &BoxAnswerer::AnswerOpenBox);
        poll_.start(10);
    }

  private:
    void AnswerOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        QWidget* parent = box->parentWidget();
        QPushButton* byDefault = box->defaultButton();
        seen.push_back({box->text(), parent,
                        byDefault ? box->standardButton(byDefault) : QMessageBox::NoButton,
                        parent && parent->isVisible()});
        box->button(answer(box))->click();
        QApplication::setActiveWindow(nullptr);
    }

    QTimer poll_;
};

}  // namespace

class RealPromptsTest : public QObject {
    Q_OBJECT

    QtPrompts prompts;
    kav::Session session{prompts};
    TKavrilonForm* menu = nullptr;

    // Runs session inside the application's event loop, which only the
    // session's own end may stop; false when something else stopped it.
    static bool RunsToItsEnd(const std::function<void()>& session) {
        constexpr int SessionDone = 42;
        QTimer::singleShot(0, qApp, [session] {
            session();
            QApplication::exit(SessionDone);
        });
        // A loop that never ends would hang the test: give up after a while.
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, [] { QApplication::exit(-1); });
        giveUp.start(60000);
        return QApplication::exec() == SessionDone;
    }

    static void Click(QWidget* window, const char* name) {
        auto* button = window->findChild<QPushButton*>(QLatin1String(name));
        QVERIFY2(button && button->isVisible() && button->isEnabled(), name);
        QTest::mouseClick(button, Qt::LeftButton);
    }

  private slots:
    void initTestCase() {
        windows = CreateWindows(session);
        menu = windows.mainMenu;
        menu->Splash()->hide();
        windows.mainMenu->show();
    }
    void cleanupTestCase() { DestroyWindows(windows); }

    // The conversion warning and the range warning of one field, one after
    // the other, over the link window while the main menu is hidden: both
    // belong to the link window, and the program and its nodes are still
    // there afterwards.
    void twoWarningsInARowBelongToTheLinkWindow() {
        ProblemBuilder(session.ws).Node("A").Node("B");
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        BoxAnswerer boxes;
        QWidget* links = windows.linkAdder;
        const bool ranToItsEnd = RunsToItsEnd([&] {
            Click(menu, "AddButton");
            Click(windows.addStuff, "LinkButton");
            QVERIFY(QTest::qWaitForWindowActive(links));
            auto* lower = links->findChild<QLineEdit*>(QStringLiteral("LowerBound"));
            lower->setFocus();
            QTest::keyClicks(lower, QStringLiteral("-05"));
            QTest::keyClick(lower, Qt::Key_Tab);
        });
        QVERIFY(ranToItsEnd);
        QCOMPARE(lastClosed.count(), 0);
        QCOMPARE(boxes.seen.size(), std::size_t{2});
        QVERIFY(boxes.seen[0].text.startsWith(QStringLiteral("Specified value did not convert")));
        QVERIFY(boxes.seen[1].text.startsWith(QStringLiteral("Invalid Parameter Value.")));
        for (const SeenBox& box : boxes.seen) {
            QCOMPARE(box.parent, links);
            QVERIFY(box.parentShowing);
        }
        QVERIFY(!menu->isVisible());
        QVERIFY(links->isVisible());
        QCOMPARE(session.ws.NodeCount, 2);
        links->hide();
        windows.addStuff->hide();
        windows.mainMenu->show();
    }

    // After an infeasible run the first two boxes come over the percent
    // window, the third over the main menu, which is back by then.
    void theInfeasibleRunsThreeBoxesBelongToTheWindowsOnScreen() {
        ProblemBuilder problem(session.ws);
        problem.Node("A").Node("B").Node("C").Node("D");
        problem.Link(1, 2, 0, 10, 1).Link(2, 1, 0, 10, 1).Link(3, 4, 0, 10, 1);
        problem.Link(4, 3, 0, 10, 1).Link(1, 3, 5, 5, 1).Link(3, 1, 0, 3, 1);
        menu->SetProblemButtons(true);
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        BoxAnswerer boxes;
        QVERIFY(RunsToItsEnd([&] { Click(menu, "RunButton"); }));
        QCOMPARE(lastClosed.count(), 0);
        QCOMPARE(boxes.seen.size(), std::size_t{3});
        QWidget* percent = windows.percentDone;
        const std::vector<QWidget*> parents{percent, percent, menu};
        for (std::size_t k = 0; k < boxes.seen.size(); ++k) {
            QCOMPARE(boxes.seen[k].parent, parents[k]);
            QVERIFY(boxes.seen[k].parentShowing);
        }
        // Then the window that shows why takes the menu's place until Ok.
        QVERIFY(!menu->isVisible());
        QVERIFY(windows.cut->isVisible());
        Click(windows.cut, "OKButton");
        QVERIFY(menu->isVisible());
    }

    // Enter on the discard warning or the exit question must not lose work:
    // both default to No. Only Yes to both ends the event loop.
    void onlyTheConfirmedCloseEndsTheProgram() {
        NoteChangesCommitted(session.ws);
        QObject::connect(
            menu, &TKavrilonForm::ProgramEnds, qApp, [] { QApplication::exit(0); },
            Qt::QueuedConnection);
        QSignalSpy ends(menu, &TKavrilonForm::ProgramEnds);
        BoxAnswerer boxes;
        QVERIFY(RunsToItsEnd([&] {
            Click(menu, "ExitButton");  // No to the warning
            boxes.answer = [](const QMessageBox* box) {
                return box->text().startsWith(QStringLiteral("Data NOT SAVED")) ? QMessageBox::Yes
                                                                                : QMessageBox::No;
            };
            QVERIFY(!menu->close());  // Yes to the warning, No to the exit question
        }));
        QCOMPARE(boxes.seen.size(), std::size_t{3});
        for (const SeenBox& box : boxes.seen) {
            QCOMPARE(box.defaultButton, QMessageBox::No);
            QCOMPARE(box.parent, menu);
        }
        QCOMPARE(ends.count(), 0);

        boxes.seen.clear();
        boxes.answer = [](const QMessageBox* box) {
            return box->standardButtons().testFlag(QMessageBox::Ok) ? QMessageBox::Ok
                                                                    : QMessageBox::Yes;
        };
        QTimer::singleShot(0, menu, [this] { Click(menu, "ExitButton"); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(ends.count(), 1);
        QCOMPARE(boxes.seen.size(), std::size_t{3});
        QCOMPARE(boxes.seen[2].text, QStringLiteral("Exiting KAVRILON."));
        QVERIFY(!menu->isVisible());
    }
};

// The program's own application object, whose settings are part of what is
// tested here.
int main(int argc, char** argv) {
    KavrilonApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavrilon"));
    RealPromptsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_realprompts.moc"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
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
#include "generator/TRandGenerator.h"
#include "gui/Help.h"
#include "gui/QtPrompts.h"
#include "results/TFMCutForm.h"
#include "results/TFMNetworkPicture.h"
#include "results/TFMResultsForm.h"
#include "results/TFMStepThrough.h"
#include "solver/Session.h"
#include "support/ScriptedPrompts.h"

// The Help window, every message box and every file dialog has a transient
// parent, which is what lets a window system that places windows itself
// (Wayland) keep them with the window they belong to. Run offscreen and under
// a Wayland compositor.
class TransientTest : public QObject {
    Q_OBJECT

    ScriptedPrompts scripted;
    kav::Session session{scripted};
    ProgramWindows windows;

    static QWindow* TransientParentOf(QWidget* window) {
        return window->windowHandle() ? window->windowHandle()->transientParent() : nullptr;
    }

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        windows = CreateWindows(session);
        windows.mainMenu->show();
        QVERIFY(QTest::qWaitForWindowExposed(windows.mainMenu));
    }
    void cleanupTestCase() { DestroyWindows(windows); }

    // Each window is kept with the window it opens from while that one is on
    // screen, else with the main menu.
    void everyWindowKeptWithItsOpener() {
        ProgramWindows& w = windows;
        const std::vector<std::pair<QWidget*, QWidget*>> opened = {
            {w.aboutBox, w.mainMenu},   {w.addStuff, w.mainMenu}, {w.errorList, w.mainMenu},
            {w.results, w.mainMenu},    {w.change, w.mainMenu},   {w.percentDone, w.mainMenu},
            {w.generator, w.mainMenu},  {w.cut, w.mainMenu},      {w.nodeAdder, w.addStuff},
            {w.linkAdder, w.addStuff},  {w.picture, w.results},   {w.cut, w.results},
            {w.stepThrough, w.picture},
        };
        for (const auto& [window, opener] : opened) {
            opener->show();
            window->show();
            QCOMPARE(TransientParentOf(window), opener->windowHandle());
            window->hide();
        }
        w.picture->hide();
        w.addStuff->hide();
        w.results->hide();
    }

    // A window is never kept with a hidden one: when its opener hides, it
    // moves to the main menu, or to none when the menu is hidden too.
    void openerHiddenWindowMovesOn() {
        windows.results->show();
        windows.picture->show();
        windows.stepThrough->show();
        windows.results->hide();
        QCOMPARE(TransientParentOf(windows.picture), windows.mainMenu->windowHandle());
        windows.mainMenu->hide();
        QCOMPARE(TransientParentOf(windows.picture), nullptr);
        QCOMPARE(TransientParentOf(windows.stepThrough), windows.picture->windowHandle());
        windows.stepThrough->hide();
        windows.picture->hide();
        windows.mainMenu->show();
        QVERIFY(QTest::qWaitForWindowExposed(windows.mainMenu));
    }

    void helpKeptWithTheWindowItExplains() {
        QWidget* help = ShowHelpFor(windows.results);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCOMPARE(TransientParentOf(help), windows.results->windowHandle());
        help->hide();
    }

    // A message box and a file dialog asked for with only the main menu up,
    // and one asked for over another box.
    void promptsKeptWithTheWindowInFront() {
        QtPrompts prompts;
        QList<QWindow*> parents;
        int boxes = 0;
        std::function<void()> inspect = [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) {
                QTimer::singleShot(20, inspect);
                return;
            }
            parents.append(TransientParentOf(box));
            if (++boxes == 1) {
                // A box over the box.
                QTimer::singleShot(0, inspect);
                prompts.Message(kav::MsgKind::Warning, kav::MsgButtons::Ok, "inner");
            }
            box->close();
        };
        QTimer::singleShot(0, inspect);
        prompts.Message(kav::MsgKind::Information, kav::MsgButtons::Ok, "outer");
        QTimer::singleShot(0, inspect);
        prompts.OpenFile(kav::FileDialogRequest{});
        QCOMPARE(parents.size(), 3);
        for (QWindow* parent : parents)
            QVERIFY(parent != nullptr);
        QVERIFY(parents[1] != windows.mainMenu->windowHandle());
    }
};

QTEST_MAIN(TransientTest)
#include "tst_transient.moc"

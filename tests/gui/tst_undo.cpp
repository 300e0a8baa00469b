// Undo and redo with the real windows, made and wired as program start makes
// them: each edit undone and redone, checked by saving the problem and
// comparing the files, and by DataNotSaved.

#include "EditingFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/CreateWindows.h"
#include "app/TAboutBoxKavrilon.h"
#include "app/TKavrilonForm.h"
#include "editing/TFMAddStuff.h"
#include "editing/TFMLinkAddForm.h"
#include "editing/TFXNodeAddForm.h"
#include "generator/GenRand4.h"
#include "solver/Session.h"
#include "support/RenewSession.h"
#include "support/ScriptedPrompts.h"
#include "support/WaitInFront.h"
#include "workspace/ProblemFiles.h"
#include "workspace/Workspace.h"

namespace {

ProgramWindows windows;

QByteArray Content(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

}  // namespace

class UndoTest : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;
    kav::Session session{prompts};
    QTemporaryDir dir;
    int saves_ = 0;  // every save a file name of its own

    QString Path(const QString& name) const { return dir.filePath(name); }
    void Load(const QString& nodeFile) {
        prompts.files.push_back(nodeFile.toStdString());
        QTest::mouseClick(Child<QPushButton>(windows.mainMenu, "ReadButton"), Qt::LeftButton);
        QVERIFY(session.ws.NodeCount > 0);
    }
    // Saves the problem as name.NDE and name.LIN, as the Save button does, and
    // gives both files' bytes.
    QByteArray Saved(QString name) {
        name += QString::number(++saves_);
        prompts.files.push_back(Path(name + ".NDE").toStdString());
        kav::FileQuestionsThrough questions(prompts);
        kav::SaveProblem(session.ws, session.protectedFiles, questions, session.saveDialogs)
            .ShowTo(prompts);
        return Content(Path(name + ".NDE")) + Content(Path(name + ".LIN"));
    }
    // Ctrl+Z (or Ctrl+Shift+Z) where window's focus is; gives the status line.
    static QString Key(QWidget* window, Qt::KeyboardModifiers modifiers) {
        window->activateWindow();
        if (!WaitInFront(window))
            qFatal("window not active");
        QTest::keyClick(window, Qt::Key_Z, modifiers);
        return Child<QLabel>(window, "UndoStatus")->text();
    }
    static QString Undo(QWidget* window) { return Key(window, Qt::ControlModifier); }
    static QString Redo(QWidget* window) {
        return Key(window, Qt::ControlModifier | Qt::ShiftModifier);
    }
    void OpenChooserWindow(const char* button, QWidget* window) {
        QTest::mouseClick(Child<QPushButton>(windows.mainMenu, "AddButton"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(windows.addStuff, button), Qt::LeftButton);
        QVERIFY(WaitInFront(window));
    }
    void CloseChooser() {
        for (QWidget* window :
             std::initializer_list<QWidget*>{windows.nodeAdder, windows.linkAdder}) {
            if (window->isVisible())
                QTest::mouseClick(Child<QPushButton>(window, "QuitButton"), Qt::LeftButton);
        }
        QTest::mouseClick(Child<QPushButton>(windows.addStuff, "QuitButton"), Qt::LeftButton);
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QApplication::setQuitOnLastWindowClosed(false);
        for (const char* folder : {"one", "two"}) {
            QVERIFY(QDir(dir.path()).mkpath(folder));
            QCOMPARE(kav::GenerateProblem(session.ws, folder[0] == 'o' ? 3 : 4, 5,
                                          Path(folder).toStdString(), session.randomSeed)
                         .outcome,
                     kav::GenerateOutcome::Written);
        }
        windows = CreateWindows(session);
        windows.mainMenu->show();
        windows.mainMenu->Splash()->AboutTimer()->start(0);
        QTRY_VERIFY(!windows.mainMenu->Splash()->isVisible());
    }
    void init() {
        RenewSession(session, prompts);
        prompts.Clear();
        windows.mainMenu->show();
        Load(Path("one/RANPRB1.NDE"));
    }
    void cleanup() {
        if (windows.addStuff->isVisible())
            CloseChooser();
        QCOMPARE(prompts.unscripted, 0);
    }
    void cleanupTestCase() { DestroyWindows(windows); }

    void nodeAddedAndRemovedInTheNodeWindow() {
        const kav::Workspace& ws = session.ws;
        const QByteArray loaded = Saved("loaded");
        OpenChooserWindow("NodeBUtton", windows.nodeAdder);
        auto* name = Child<QLineEdit>(windows.nodeAdder, "NodeName");
        auto* list = Child<QListWidget>(windows.nodeAdder, "NodeList");
        TypeAndLeave(name, "SPARE");
        QTest::mouseClick(Child<QPushButton>(windows.nodeAdder, "AddButton"), Qt::LeftButton);
        const QByteArray withSpare = Saved("spare");
        ClickLine(list, list->count() - 1);
        QTest::mouseClick(Child<QPushButton>(windows.nodeAdder, "RemoveButton"), Qt::LeftButton);
        QCOMPARE(list->count(), ws.NodeCount);

        // In the name field the keys undo the field's text, not the problem.
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, "X");
        QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(name->text(), QStringLiteral("SPARE"));
        QVERIFY(ws.DataNotSaved);

        list->setFocus();
        QCOMPARE(Undo(windows.nodeAdder), QStringLiteral("Undone: remove node SPARE"));
        QVERIFY(!ws.DataNotSaved);
        QCOMPARE(list->count(), ws.NodeCount);
        QCOMPARE(list->item(ws.NodeCount - 1)->text().trimmed(),
                 QStringLiteral("%1   SPARE").arg(ws.NodeCount));
        QCOMPARE(Saved("undone"), withSpare);
        QCOMPARE(Redo(windows.nodeAdder), QStringLiteral("Redone: remove node SPARE"));
        QVERIFY(ws.DataNotSaved);
        QCOMPARE(Undo(windows.nodeAdder), QStringLiteral("Undone: remove node SPARE"));
        QCOMPARE(Undo(windows.nodeAdder), QStringLiteral("Undone: add node SPARE"));
        QCOMPARE(Saved("first"), loaded);
        QCOMPARE(Undo(windows.nodeAdder), QStringLiteral("Undone: load RANPRB1.NDE"));
        QCOMPARE(ws.NodeCount, 0);
        QCOMPARE(Undo(windows.nodeAdder), QStringLiteral("Nothing to undo"));
    }

    void linkRemovedInTheLinkWindow() {
        const kav::Workspace& ws = session.ws;
        const QByteArray loaded = Saved("loaded");
        const int32_t links = ws.LinkCount;
        OpenChooserWindow("LinkButton", windows.linkAdder);
        auto* list = Child<QListWidget>(windows.linkAdder, "LinkList");
        ClickLine(list, 1);
        const QString origin = QString::fromStdString(ws.NodeName[ws.LinkOrigin[2]]);
        QTest::mouseClick(Child<QPushButton>(windows.linkAdder, "RemoveLinkButton"),
                          Qt::LeftButton);
        QCOMPARE(ws.LinkCount, links - 1);
        list->setFocus();
        QVERIFY(Undo(windows.linkAdder).startsWith("Undone: remove link 2 (" + origin + " to "));
        QVERIFY(!ws.DataNotSaved);
        QVERIFY(ws.NetworkChanged);
        QCOMPARE(list->count(), links);
        QCOMPARE(Saved("undone"), loaded);
        QVERIFY(Key(windows.linkAdder, Qt::ControlModifier).startsWith("Undone: load"));
        QVERIFY(Key(windows.linkAdder, Qt::ControlModifier | Qt::ShiftModifier)
                    .startsWith("Redone: load"));
        windows.linkAdder->activateWindow();
        QTest::keyClick(windows.linkAdder, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(ws.LinkCount, links - 1);
        QVERIFY(ws.DataNotSaved);
    }

    void changeWindowVisitIsOneStep() {
        const kav::Workspace& ws = session.ws;
        const QByteArray loaded = Saved("loaded");
        QWidget* change = windows.change;
        QTest::mouseClick(Child<QPushButton>(windows.mainMenu, "ChangeButton"), Qt::LeftButton);
        QVERIFY(WaitInFront(change));
        TypeAndLeave(Child<QLineEdit>(change, "CostNew"), "77");
        Child<QComboBox>(change, "LinkList")->setCurrentIndex(1);
        QTest::mouseClick(Child<QPushButton>(change, "RemoveButton"), Qt::LeftButton);
        // While the window is open the keys reach only its fields.
        Child<QComboBox>(change, "LinkList")->setFocus();
        QTest::keyClick(change, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(ws.LinkCost[1], 77);
        QTest::mouseClick(Child<QPushButton>(change, "QuitButton"), Qt::LeftButton);
        QVERIFY(ws.DataNotSaved);
        const QByteArray changed = Saved("changed");

        QCOMPARE(Undo(windows.mainMenu), QStringLiteral("Undone: change link 1, remove link 2"));
        QVERIFY(ws.DataNotSaved);  // the last saved is the changed problem
        QCOMPARE(Saved("undone"), loaded);
        QCOMPARE(Redo(windows.mainMenu), QStringLiteral("Redone: change link 1, remove link 2"));
        QVERIFY(ws.DataNotSaved);
        QCOMPARE(Saved("redone"), changed);
        QCOMPARE(Undo(windows.mainMenu), QStringLiteral("Undone: change link 1, remove link 2"));
        QCOMPARE(Redo(windows.mainMenu), QStringLiteral("Redone: change link 1, remove link 2"));
        QVERIFY(!ws.DataNotSaved);
    }

    void loadAndZeroUndone() {
        const kav::Workspace& ws = session.ws;
        const QByteArray first = Saved("first");
        const int32_t nodes = ws.NodeCount;
        Load(Path("two/RANPRB1.NDE"));
        const QByteArray second = Saved("second");
        QTest::mouseClick(Child<QPushButton>(windows.mainMenu, "ZeroButton"), Qt::LeftButton);
        QCOMPARE(ws.NodeCount, 0);

        QCOMPARE(Undo(windows.mainMenu), QStringLiteral("Undone: zero all data"));
        QVERIFY(!ws.DataNotSaved);
        QVERIFY(Child<QPushButton>(windows.mainMenu, "SaveButton")->isEnabled());
        QCOMPARE(Saved("unzeroed"), second);
        QCOMPARE(Undo(windows.mainMenu), QStringLiteral("Undone: load RANPRB1.NDE"));
        QCOMPARE(ws.NodeCount, nodes);
        QVERIFY(QString::fromStdString(ws.NodeFileName).contains("first"));
        QVERIFY(ws.DataNotSaved);  // the last saved is the second problem
        QCOMPARE(Saved("unloaded"), first);
        QCOMPARE(Redo(windows.mainMenu), QStringLiteral("Redone: load RANPRB1.NDE"));
        QCOMPARE(Redo(windows.mainMenu), QStringLiteral("Redone: zero all data"));
        QCOMPARE(ws.NodeCount, 0);
        QVERIFY(!ws.DataNotSaved);
        QVERIFY(!Child<QPushButton>(windows.mainMenu, "SaveButton")->isEnabled());
    }
};

QTEST_MAIN(UndoTest)
#include "tst_undo.moc"

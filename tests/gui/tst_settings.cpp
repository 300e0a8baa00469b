#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <filesystem>

#include "app/CreateWindows.h"
#include "app/TKavrilonForm.h"
#include "gui/ProgramSettings.h"
#include "gui/QtPrompts.h"
#include "solver/Session.h"
#include "support/ScriptedPrompts.h"
#include "support/TempFolder.h"
#include "workspace/Workspace.h"

namespace {

const std::string Examples = QT_TESTCASE_SOURCEDIR "/../examples/";

}  // namespace

// The main menu takes dropped problems; the file dialogs' folder, the recent
// problems and the window sizes are kept in the settings file, which the
// test run keeps in a folder of its own (XDG_CONFIG_HOME).
class SettingsTest : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;
    kav::Session session{prompts};
    ProgramWindows windows;

    void Drop(const QString& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(windows.mainMenu, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(windows.mainMenu, &drop);
    }

  private slots:
    void initTestCase() {
        QVERIFY(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"));
        QSettings(QSettings::IniFormat, QSettings::UserScope, "kavrilon", "kavrilon").clear();
        QApplication::setQuitOnLastWindowClosed(false);
        windows = CreateWindows(session);
        windows.mainMenu->show();
    }
    void cleanupTestCase() { DestroyWindows(windows); }

    void droppedFilesLoadAsLoadDataWould_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("nodes");
        QTest::newRow("node file") << QString::fromStdString(Examples + "TRANSPRT.NDE") << 9;
        QTest::newRow("DIMACS file") << QString::fromStdString(Examples + "transport.min") << 6;
    }
    void droppedFilesLoadAsLoadDataWould() {
        QFETCH(QString, file);
        QFETCH(int, nodes);
        kav::NoteLoaded(session.ws);
        Drop(file);
        QCOMPARE(session.ws.NodeCount, nodes);
        QCOMPARE(RecentProblems().value(0), QFileInfo(file).absoluteFilePath());
    }

    // Unsaved data: the drop asks first, and No keeps the problem.
    void dropAsksBeforeDiscarding() {
        Drop(QString::fromStdString(Examples + "TRANSPRT.NDE"));
        kav::SetNodeName(session.ws, 1, "CHANGED");
        kav::NoteNodesEdited(session.ws);
        QVERIFY(session.ws.DataNotSaved);
        prompts.answers.push_back(kav::Answer::No);
        Drop(QString::fromStdString(Examples + "ASSIGN.NDE"));
        QCOMPARE(session.ws.NodeCount, 9);
        QCOMPARE(session.ws.NodeName[1], std::string("CHANGED"));
    }

    // The latest first, each once, only files that still exist, at most the limit.
    void recentProblems() {
        TempFolder folder;
        QStringList made;
        for (int k = 0; k < RecentLimit + 2; ++k) {
            const QString file =
                QString::fromStdString(folder.File("P" + std::to_string(k) + ".NDE"));
            QFile(file).open(QIODevice::WriteOnly);
            made.append(file);
            RememberProblem(file);
        }
        RememberProblem(made[5]);
        QFile::remove(made[8]);
        const QStringList recent = RecentProblems();
        QCOMPARE(recent.size(), RecentLimit - 1);
        QCOMPARE(recent[0], made[5]);
        QCOMPARE(recent[1], made[9]);
        QVERIFY(!recent.contains(made[8]));
        QCOMPARE(recent.count(made[5]), 1);
    }

    // Down in the Load dialog's empty file name box lists the recent problems;
    // the one chosen is loaded. The Save dialog has no such list.
    void loadDialogListsRecentProblems() {
        for (const char* name : {"ASSIGN.NDE", "TRANSPRT.NDE"})
            RememberProblem(QString::fromStdString(Examples + name));
        const QStringList recent = RecentProblems();
        QtPrompts real;
        const kav::FileDialogRequest NodeFile{"", {{"Node Files", "*.NDE"}}, ""};
        QStringList listed;
        QString chosen;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
            edit->clear();
            QTest::keyClick(edit, Qt::Key_Down);
            for (QWidget* shown : QApplication::topLevelWidgets()) {
                auto* list = qobject_cast<QAbstractItemView*>(shown);
                if (!list || shown->objectName() != "RecentProblems" || !shown->isVisible())
                    continue;
                for (int row = 0; row < list->model()->rowCount(); ++row)
                    listed.append(list->model()->index(row, 0).data().toString());
                const QRect second = list->visualRect(list->model()->index(1, 0));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
            }
            chosen = qobject_cast<QFileDialog*>(dialog)->selectedFiles().value(0);
            dialog->close();
        });
        real.OpenFile(NodeFile);
        QCOMPARE(listed, recent);
        QCOMPARE(chosen, recent[1]);
        QString placeholder = "unset";
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            placeholder = dialog->findChild<QLineEdit*>("fileNameEdit")->placeholderText();
            dialog->close();
        });
        real.SaveFile(NodeFile);
        QCOMPARE(placeholder, QString());
    }

    // A window's size outlives the window, as it outlives the run.
    void windowSizesKept() {
        QWidget first;
        first.setObjectName(QStringLiteral("SizedWindow"));
        first.resize(300, 200);
        RememberSize(&first);
        first.show();
        first.resize(420, 310);
        first.hide();
        QWidget second;
        second.setObjectName(QStringLiteral("SizedWindow"));
        second.resize(300, 200);
        RememberSize(&second);
        QCOMPARE(second.size(), QSize(420, 310));
    }

    void lastFolderOnlyWhileItExists() {
        QString path;
        {
            TempFolder folder;
            path = QString::fromStdString(folder.path().string());
            RememberFolder(path);
            QCOMPARE(LastFolder(), path);
        }
        QCOMPARE(LastFolder(), QString());
    }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"

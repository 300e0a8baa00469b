#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <functional>

#include "gui/QtPrompts.h"
#include "support/WhenModalShows.h"

class QtPromptsTest : public QObject {
    Q_OBJECT

    QtPrompts prompts;
    QTemporaryDir settingsHome;

  private slots:
    // The program sets its title as the application name (see main).
    void initTestCase() {
        QApplication::setApplicationName(QStringLiteral("Kavrilon"));
        // File dialogs keep their layout in the user's settings: start from none.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsHome.path()));
    }

    void messageTextTurnsCarriageReturnsIntoLines() {
        QCOMPARE(MessageText("a\rb"), QStringLiteral("a\nb"));
        QCOMPARE(MessageText("a\r\nb"), QStringLiteral("a\nb"));
        QCOMPARE(MessageText("<<<     DATA  >>>"), QStringLiteral("<<<     DATA  >>>"));
        // The texts are UTF-8, as node names become when they enter one.
        QCOMPARE(MessageText("Node [Z\xC3\xBCrich ]"), QStringLiteral("Node [Z\u00FCrich ]"));
    }

    void filtersPairDescriptionAndPattern() {
        kav::FileDialogRequest request{"t", {{"Node Files", "*.NDE"}, {"All Files", "*.*"}}, ""};
        QCOMPARE(FileFilters(request), QStringList({QStringLiteral("Node Files (*.NDE)"),
                                                    QStringLiteral("All Files (*.*)")}));
    }

    void boxesHaveTheIconTitleTextAndButtonsOfTheirKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("icon");
        QTest::newRow("warning") << int(kav::MsgKind::Warning) << int(QMessageBox::Warning);
        QTest::newRow("error") << int(kav::MsgKind::Error) << int(QMessageBox::Critical);
        QTest::newRow("information")
            << int(kav::MsgKind::Information) << int(QMessageBox::Information);
        QTest::newRow("confirmation")
            << int(kav::MsgKind::Confirmation) << int(QMessageBox::Question);
    }
    void boxesHaveTheIconTitleTextAndButtonsOfTheirKind() {
        QFETCH(int, kind);
        QFETCH(int, icon);
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QString seenTitle, seenText;
        QMessageBox::StandardButtons seenButtons;
        Qt::TextFormat seenFormat = Qt::AutoText;
        WhenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            seenIcon = box->icon();
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenFormat = box->textFormat();
            seenButtons = box->standardButtons();
            box->button(QMessageBox::Yes)->click();
        });
        const kav::Answer answer =
            prompts.Message(static_cast<kav::MsgKind>(kind), kav::MsgButtons::YesNo,
                            "<<< first >>>\r<b>second</b>");
        QCOMPARE(answer, kav::Answer::Yes);
        QCOMPARE(int(seenIcon), icon);
        QCOMPARE(seenTitle, QStringLiteral("Kavrilon"));
        QCOMPARE(seenText, QStringLiteral("<<< first >>>\n<b>second</b>"));
        QCOMPARE(seenFormat, Qt::PlainText);
        QCOMPARE(seenButtons, QMessageBox::Yes | QMessageBox::No);
    }

    void okBoxAndEscapeOnAQuestion() {
        QMessageBox::StandardButtons seenButtons;
        WhenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            seenButtons = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
        });
        QCOMPARE(prompts.Message(kav::MsgKind::Information, kav::MsgButtons::Ok, "done"),
                 kav::Answer::Ok);
        QCOMPARE(seenButtons, QMessageBox::StandardButtons(QMessageBox::Ok));

        WhenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        const kav::Answer escaped =
            prompts.Message(kav::MsgKind::Warning, kav::MsgButtons::YesNo, "sure?");
        QVERIFY(escaped != kav::Answer::Yes);
    }

    void openDialogShowsTitleFiltersAndReturnsTheTypedName() {
        QTemporaryDir folder;
        const QString wanted = folder.filePath("NEW.NDE");
        QString seenTitle;
        QStringList seenFilters;
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            seenTitle = dialog->windowTitle();
            seenFilters = dialog->nameFilters();
            // A name that does not exist yet is accepted: the caller checks.
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(wanted);
            static_cast<QDialog*>(dialog)->accept();
        });
        const std::optional<std::string> chosen =
            prompts.OpenFile({"Input the name of the file with the NODE information",
                              {{"Node Files", "*.NDE"}, {"All Files", "*.*"}},
                              ""});
        QVERIFY(chosen.has_value());
        QCOMPARE(QString::fromStdString(*chosen), wanted);
        QCOMPARE(seenTitle, QStringLiteral("Input the name of the file with the NODE information"));
        QCOMPARE(seenFilters, QStringList({"Node Files (*.NDE)", "All Files (*.*)"}));
    }

    void saveDialogStartsWithTheGivenNameAndCancelGivesNothing() {
        QString seenName;
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            seenName = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
            dialog->reject();
        });
        const std::optional<std::string> chosen =
            prompts.SaveFile({"Specify the file in which to store the LINK information",
                              {{"Link Data Files", "*.LIN"}, {"All Files", "*.*"}},
                              "*.LIN"});
        QVERIFY(!chosen.has_value());
        QCOMPARE(seenName, QStringLiteral("*.LIN"));
    }

    void aNameSavedWithoutExtensionGetsTheFirstFiltersOne() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(folder.filePath("NET"));
            dialog->findChild<QDialogButtonBox*>("buttonBox")
                ->button(QDialogButtonBox::Save)
                ->click();
        });
        const std::optional<std::string> chosen =
            prompts.SaveFile({"Specify the file in which to store the NODE information",
                              {{"Node Data Files", "*.NDE"}, {"All Files", "*.*"}},
                              ""});
        QVERIFY(chosen.has_value());
        QCOMPARE(QString::fromStdString(*chosen), folder.filePath("NET.NDE"));
        QCOMPARE(DefaultSuffix({"t", {{"All Files", "*.*"}}, ""}), QString());
    }

    // A name with wildcards, such as the save dialog's starting "*.LIN",
    // chooses the files listed rather than naming a file.
    void wildcardNameFiltersTheListAndTheDialogStays() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString wanted = folder.filePath("NET.LIN");
        bool stayedForOwnPattern = false, stayedForLin = false;
        QString filterForOwnPattern, filterForLin, nameForLin;
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            QPushButton* save =
                dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Save);
            name->setText(QStringLiteral("*.TXT"));
            save->click();
            stayedForOwnPattern = dialog->isVisible();
            filterForOwnPattern = dialog->selectedNameFilter();

            name->setText(QStringLiteral("*.LIN"));
            save->click();
            stayedForLin = dialog->isVisible();
            filterForLin = dialog->selectedNameFilter();
            nameForLin = name->text();

            name->setText(wanted);
            save->click();
        });
        const std::optional<std::string> chosen =
            prompts.SaveFile({"Specify the file in which to store the LINK information",
                              {{"Link Data Files", "*.LIN"}, {"All Files", "*.*"}},
                              folder.filePath("*.LIN").toStdString()});
        QVERIFY(stayedForOwnPattern);
        QCOMPARE(filterForOwnPattern, QStringLiteral("*.TXT"));
        QVERIFY(stayedForLin);
        QCOMPARE(filterForLin, QStringLiteral("Link Data Files (*.LIN)"));
        QCOMPARE(nameForLin, QStringLiteral("*.LIN"));
        QVERIFY(chosen.has_value());
        QCOMPARE(QString::fromStdString(*chosen), wanted);
    }

    // The detail view shows each file's size, type and date whole.
    void detailColumnsAreWideEnoughForTheirContents() {
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("NET.NDE")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        int listed = 0;
        QList<int> shortBy;
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            dialog->setViewMode(QFileDialog::Detail);
            auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
            const bool loaded =
                QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; });
            Q_UNUSED(loaded);  // the count below tells
            QTest::qWait(100);
            listed = view->model()->rowCount(view->rootIndex());
            for (int column = 1; column < view->header()->count(); ++column)
                shortBy << static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column) -
                               view->header()->sectionSize(column);
            dialog->reject();
        });
        prompts.OpenFile({"t", {{"All Files", "*.*"}}, folder.filePath("NET.NDE").toStdString()});
        QCOMPARE(listed, 1);
        QCOMPARE(shortBy.size(), 3);
        for (int missing : shortBy)
            QVERIFY2(missing <= 0, qPrintable(QString::number(missing)));
    }
};

QTEST_MAIN(QtPromptsTest)
#include "tst_prompts.moc"

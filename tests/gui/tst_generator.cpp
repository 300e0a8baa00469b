#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "editing/ValidateIntegerField.h"
#include "generator/TRandGenerator.h"
#include "gui/AnchorWindow.h"
#include "solver/Session.h"
#include "support/RenewSession.h"
#include "support/ScriptedPrompts.h"
#include "workspace/Workspace.h"

class GeneratorWindowTest : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;
    kav::Session session{prompts};
    QWidget menu;
    TRandGenerator* window = nullptr;
    // The generator writes into the current folder: this one, while the tests run.
    QTemporaryDir folder;
    QString startFolder;

    QLineEdit* Field(const char* name) {
        return window->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    QPushButton* Button(const char* name) {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    // Types text into a field and leaves it with Tab, as the user does.
    void TypeAndLeave(const char* name, const QString& text) {
        QLineEdit* field = Field(name);
        field->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(field->hasFocus());
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }

  private slots:
    void initTestCase() {
        QVERIFY(folder.isValid());
        startFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());
        SetAnchorWindow(&menu);
        window = new TRandGenerator(session);
        menu.show();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void cleanupTestCase() {
        delete window;
        SetAnchorWindow(nullptr);
        QDir::setCurrent(startFolder);
    }
    void init() { prompts.Clear(); }

    void startsWithTextsThatAreNotNumbers() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Random Problem Generator"));
        QCOMPARE(Field("OriginEdit")->text(), QStringLiteral("OriginEdit"));
        QCOMPARE(Field("DestEdit")->text(), QStringLiteral("DestEdit"));
        QCOMPARE(Button("GenButton")->text(), QStringLiteral("&Generate Random"));
        QCOMPARE(Button("QuitButton")->text(), QStringLiteral("&Quit"));
        QCOMPARE(window->findChild<QLabel*>("Label1")->buddy(), Field("OriginEdit"));
        QCOMPARE(window->OriginCount(), 0);
        QCOMPARE(window->DestinationCount(), 0);
    }

    void tabGoesOriginsDestinationsGenerateQuitAndNothingHasAHint() {
        Field("OriginEdit")->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(Field("OriginEdit")->hasFocus());
        QWidget* expected[] = {Field("DestEdit"), Button("GenButton"), Button("QuitButton"),
                               Field("OriginEdit")};
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        for (QWidget* control : window->findChildren<QWidget*>())
            QVERIFY2(control->toolTip().isEmpty(), qPrintable(control->objectName()));
        // Leaving the fields with their first texts reported them; start clean.
        prompts.Clear();
        QCOMPARE(window->OriginCount(), 0);
        QCOMPARE(window->DestinationCount(), 0);
    }

    void leavingAFieldCapturesItsNumberOrReportsTheText() {
        // The initial text is not a number: error, count unchanged.
        Field("OriginEdit")->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(Field("OriginEdit")->hasFocus());
        QTest::keyClick(Field("OriginEdit"), Qt::Key_Tab);
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QCOMPARE(prompts.messages[0].text,
                 std::string("'OriginEdit' is not a valid integer value"));
        QCOMPARE(prompts.messages[0].kind, kav::MsgKind::Error);
        QCOMPARE(window->OriginCount(), 0);
        QVERIFY(Field("DestEdit")->hasFocus());

        TypeAndLeave("OriginEdit", "  12");
        QCOMPARE(window->OriginCount(), 12);
        TypeAndLeave("DestEdit", "$1F");
        QCOMPARE(window->DestinationCount(), 31);
        Field("OriginEdit")->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(Field("OriginEdit"), Qt::Key_End);
        QTest::sendKeyEvent(QTest::Click, Field("OriginEdit"), Qt::Key_Eacute,
                            QString::fromUtf8("\xC3\xA9"), Qt::NoModifier);
        QTest::keyClick(Field("OriginEdit"), Qt::Key_Tab);
        QCOMPARE(window->OriginCount(), 12);
        QCOMPARE(
            prompts.messages.back().text,
            std::string("'  12\xC3\xA9' is not a valid integer value"));  // message texts are UTF-8
    }

    void integerConversion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "42" << true << 42;
        QTest::newRow("leading blanks") << "   7" << true << 7;
        QTest::newRow("plus") << "+7" << true << 7;
        QTest::newRow("minus") << "-7" << true << -7;
        QTest::newRow("dollar hex") << "$ff" << true << 255;
        QTest::newRow("x hex") << "x10" << true << 16;
        QTest::newRow("0x hex") << "0X10" << true << 16;
        QTest::newRow("negative hex") << "-$10" << true << -16;
        QTest::newRow("largest") << "2147483647" << true << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << true << int(INT32_MIN);
        QTest::newRow("too large") << "2147483648" << false << 0;
        QTest::newRow("hex too large") << "$80000000" << false << 0;
        QTest::newRow("trailing blank") << "7 " << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blanks only") << "   " << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("dollar only") << "$" << false << 0;
        QTest::newRow("hex digit in decimal") << "1a" << false << 0;
        QTest::newRow("very long") << "99999999999999999999999" << false << 0;
    }
    void integerConversion() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const std::optional<int32_t> converted = kav::ConvertIntegerText(text.toStdString());
        QCOMPARE(converted.has_value(), valid);
        if (valid)
            QCOMPARE(*converted, value);
    }

    void generateWritesTheProblemIntoTheCurrentFolder() {
        TypeAndLeave("OriginEdit", "2");
        TypeAndLeave("DestEdit", "3");
        prompts.Clear();
        QTest::mouseClick(Button("GenButton"), Qt::LeftButton);
        const kav::Workspace& ws = session.ws;
        QVERIFY(prompts.messages.empty());
        QCOMPARE(ws.NodeCount, 7);
        QCOMPARE(ws.LinkCount, 12);
        QVERIFY(QFile::exists(folder.filePath("RANPRB1.NDE")));
        QVERIFY(QFile::exists(folder.filePath("RANPRB1.LIN")));
        QVERIFY(menu.isVisible());
    }

    // Alt+G takes in the count typed into the focused field first; a click
    // on Generate whose field reports an error still generates, once the
    // error has been shown, with the counts the fields hold.
    void generateTakesInTheFocusedFieldFirst() {
        TypeAndLeave("OriginEdit", "2");
        TypeAndLeave("DestEdit", "3");
        Field("DestEdit")->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(Field("DestEdit")->hasFocus());
        Field("DestEdit")->selectAll();
        QTest::keyClicks(Field("DestEdit"), "4");
        QTest::keyClick(window, Qt::Key_G, Qt::AltModifier);
        QTRY_COMPARE(session.ws.NodeCount, 2 + 4 + 2);

        RenewSession(session, prompts);
        prompts.Clear();
        Field("OriginEdit")->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(Field("OriginEdit")->hasFocus());
        Field("OriginEdit")->selectAll();
        QTest::keyClicks(Field("OriginEdit"), "x");
        QTest::mousePress(Button("GenButton"), Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QCOMPARE(prompts.messages[0].text, std::string("'x' is not a valid integer value"));
        QCOMPARE(session.ws.NodeCount, 2 + 4 + 2);
        QVERIFY(!Button("GenButton")->isDown());
        QTest::mouseRelease(Button("GenButton"), Qt::LeftButton);
    }

    void countsBeyondTheWorkspaceAreRefusedWithAMessage() {
        TypeAndLeave("OriginEdit", "3000");
        TypeAndLeave("DestEdit", "1");
        RenewSession(session, prompts);
        prompts.Clear();
        QTest::mouseClick(Button("GenButton"), Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QCOMPARE(prompts.messages[0].kind, kav::MsgKind::Error);
        QCOMPARE(session.ws.NodeCount, 0);
    }

    void quitHidesTheWindowOnly() {
        QTest::mouseClick(Button("QuitButton"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(menu.isVisible());
        window->show();
        QCOMPARE(Field("OriginEdit")->text(), QStringLiteral("3000"));
    }
};

QTEST_MAIN(GeneratorWindowTest)
#include "tst_generator.moc"

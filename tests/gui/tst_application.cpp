#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

#include "app/KavrilonApplication.h"
#include "support/ScriptedPrompts.h"
#include "workspace/Errors.h"

namespace {

// A window whose own event handling throws, as a handler would that forgot to
// guard itself.
class ThrowingWindow : public QWidget {
  protected:
    void mousePressEvent(QMouseEvent*) override { throw kav::RangeError(); }
    void keyPressEvent(QKeyEvent*) override { throw 42; }
};

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;

    static KavrilonApplication* App() {
        return static_cast<KavrilonApplication*>(QCoreApplication::instance());
    }

  private slots:
    void initTestCase() { App()->SetErrorPrompts(&prompts); }
    void cleanupTestCase() { App()->SetErrorPrompts(nullptr); }
    void init() { prompts.Clear(); }

    void anExceptionFromAnEventHandlerShowsOneErrorBoxAndTheProgramGoesOn() {
        ThrowingWindow window;
        window.show();
        QTest::mouseClick(&window, Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QCOMPARE(prompts.messages[0].kind, kav::MsgKind::Error);
        QCOMPARE(prompts.messages[0].buttons, kav::MsgButtons::Ok);
        QCOMPARE(prompts.messages[0].text, std::string("Range check error"));

        // The next event is handled as usual.
        QTest::mouseClick(&window, Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), std::size_t{2});
    }

    void aSignalHandlerThatThrowsIsReportedToo() {
        QPushButton button;
        int clicks = 0;
        connect(&button, &QPushButton::clicked, [&] {
            if (++clicks == 1)
                throw kav::IntegerOverflow();
        });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 2);
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QCOMPARE(prompts.messages[0].text, std::string("Integer overflow"));
    }

    // The failing handler may run again while the box is up (a repaint under
    // it); that second failure shows no second box.
    void aFailureUnderTheOpenBoxShowsNoSecondBox() {
        ThrowingWindow window;
        window.show();
        struct Reentering : ScriptedPrompts {
            ThrowingWindow* window = nullptr;
            kav::Answer Message(kav::MsgKind kind, kav::MsgButtons buttons,
                                const std::string& text) override {
                const kav::Answer answer = ScriptedPrompts::Message(kind, buttons, text);
                QTest::mouseClick(window, Qt::LeftButton);
                return answer;
            }
        } boxes;
        boxes.window = &window;
        App()->SetErrorPrompts(&boxes);
        QTest::mouseClick(&window, Qt::LeftButton);
        QCOMPARE(boxes.messages.size(), std::size_t{1});
        App()->SetErrorPrompts(&prompts);
        // Once the box is gone, the next failure is reported again.
        QTest::mouseClick(&window, Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), std::size_t{1});
    }

    void anythingElseThrownIsReportedAsUnknown() {
        ThrowingWindow window;
        window.show();
        QTest::keyClick(&window, Qt::Key_A);
        QCOMPARE(prompts.messages.size(), std::size_t{1});
        QCOMPARE(prompts.messages[0].text, std::string("Unknown error"));
    }
};

// The program's own application object, not QTEST_MAIN's plain one: it is
// what catches the exceptions under test.
int main(int argc, char** argv) {
    KavrilonApplication app(argc, argv);
    ApplicationTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/CreateWindows.h"
#include "app/TAboutBoxKavrilon.h"
#include "app/TKavrilonForm.h"
#include "app/VersionInfo.h"
#include "gui/GuiCommon.h"
#include "solver/Session.h"
#include "support/ScriptedPrompts.h"
#include "support/WindowSystemClose.h"

namespace {

// The windows, made and wired as program start makes them.
ProgramWindows windows;

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;
    kav::Session session{prompts};
    QElapsedTimer sinceStart;
    TKavrilonForm* menu = nullptr;
    // The splash is shown and painted while the main window is being made.
    bool splashOnScreenAtCreation = false;

    static QString LabelText(QWidget* box, const char* name) {
        return box->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        sinceStart.start();
        windows = CreateWindows(session);
        menu = windows.mainMenu;
        splashOnScreenAtCreation = IsOnScreen(menu->Splash());
        windows.mainMenu->show();
    }
    void cleanupTestCase() { DestroyWindows(windows); }

    // Runs first: the splash is measured from program start.
    void splashShowsTheVersionAndClosesItselfAfterAboutASecondAndAHalf() {
        TAboutBoxKavrilon* splash = menu->Splash();
        QVERIFY(splash);
        QVERIFY(splash != windows.aboutBox);
        QVERIFY(splashOnScreenAtCreation);
        QVERIFY(splash->isVisible());
        QVERIFY(splash->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!splash->findChild<QPushButton*>("OKButton")->isVisible());
        QCOMPARE(splash->windowTitle(), QStringLiteral("KAVRILON About Box"));
        QCOMPARE(LabelText(splash, "ProductName"), QStringLiteral("K A V R I L O N"));
        QCOMPARE(LabelText(splash, "Version"), QStringLiteral("Version 1.0.5.1"));
        QCOMPARE(LabelText(splash, "PropertyLabel"), QStringLiteral(" Private Special"));

        QTRY_VERIFY_WITH_TIMEOUT(!splash->isVisible(), 5000);
        QVERIFY2(sinceStart.elapsed() >= 1400, qPrintable(QString::number(sinceStart.elapsed())));
        QVERIFY(menu->isVisible());
        QVERIFY(prompts.events.empty());
    }

    void aboutButtonShowsTheBoxUntilOk() {
        TAboutBoxKavrilon* box = windows.aboutBox;
        QVERIFY(!box->isVisible());
        QPushButton* about = menu->findChild<QPushButton*>("AboutButton");
        QTest::mouseClick(about, Qt::LeftButton);
        QVERIFY(box->isVisible());
        QVERIFY(!menu->isVisible());
        QVERIFY(!box->AboutTimer()->isActive());
        QPushButton* ok = box->findChild<QPushButton*>("OKButton");
        QVERIFY(ok->isVisible());
        QCOMPARE(ok->text(), QStringLiteral("&OK"));
        QVERIFY(ok->isDefault());
        QCOMPARE(LabelText(box, "Version"), QStringLiteral("Version 1.0.5.1"));

        QTest::qWait(2000);
        QVERIFY(box->isVisible());

        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!box->isVisible());
        QVERIFY(menu->isVisible());
    }

    // Only OK closes the box: a close from the window system would leave the
    // main menu hidden with nothing on screen.
    void windowSystemCloseIsRefused() {
        TAboutBoxKavrilon* box = windows.aboutBox;
        QTest::mouseClick(menu->findChild<QPushButton*>("AboutButton"), Qt::LeftButton);
        QVERIFY(!WindowSystemClose(box));
        QVERIFY(box->isVisible());
        QTest::mouseClick(box->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        QVERIFY(menu->isVisible());
    }

    void enterAndEscapePressOk_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void enterAndEscapePressOk() {
        QFETCH(int, key);
        TAboutBoxKavrilon* box = windows.aboutBox;
        QTest::mouseClick(menu->findChild<QPushButton*>("AboutButton"), Qt::LeftButton);
        box->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(box));
        // Typed on OK, the box's only control, which leaves Escape to the box.
        QTest::keyClick(box->findChild<QPushButton*>("OKButton"), Qt::Key(key));
        QTRY_VERIFY(!box->isVisible());
        QVERIFY(menu->isVisible());
    }

    void freshBoxKeepsItsTextsWithoutAVersionRecord() {
        TAboutBoxKavrilon box(prompts);
        QVERIFY(box.AboutTimer()->isActive());
        QCOMPARE(box.AboutTimer()->interval(), 1500);
        box.FillVersionLabels(std::nullopt);
        QCOMPARE(LabelText(&box, "Version"), QStringLiteral("Version 1.00"));
        QCOMPARE(LabelText(&box, "PropertyLabel"), QStringLiteral("PropertyLabel"));
        QCOMPARE(LabelText(&box, "Comments"),
                 QStringLiteral("This program solves network problems using the out-of-kilter "
                                "flow algorithm."));
    }

    void propertyTextNamesTheValidFlagsInOrder_data() {
        QTest::addColumn<uint>("flags");
        QTest::addColumn<uint>("mask");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0u << 0x2Bu << "";
        QTest::newRow("all") << 0x2Bu << 0x2Bu << " Debug Beta Private Special";
        QTest::newRow("masked out") << 0x2Bu << 0x08u << " Private";
        QTest::newRow("other bits") << 0x14u << 0xFFu << "";
        QTest::newRow("release") << (FileFlagPrivateBuild | FileFlagSpecialBuild) << 0x2Bu
                                 << " Private Special";
    }
    void propertyTextNamesTheValidFlagsInOrder() {
        QFETCH(uint, flags);
        QFETCH(uint, mask);
        QFETCH(QString, text);
        FileVersionInfo info;
        info.flags = flags;
        info.flagsMask = mask;
        QCOMPARE(PropertyText(info), text);
    }

    void versionTextHasNoLeadingZeros() {
        FileVersionInfo info{2, 10, 0, 307, 0, 0};
        QCOMPARE(VersionText(info), QStringLiteral("Version 2.10.0.307"));
    }
};

QTEST_MAIN(AboutBoxTest)
#include "tst_aboutbox.moc"

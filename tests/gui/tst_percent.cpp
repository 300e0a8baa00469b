#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QtTest>

#include "app/TFMErrorForm.h"
#include "app/TPCTOKFForm.h"
#include "gui/AnchorWindow.h"
#include "gui/GuiCommon.h"
#include "support/PaintCounter.h"
#include "support/ScriptedPrompts.h"
#include "support/WindowSystemClose.h"
#include "workspace/NumberFormat.h"

// The two small windows of the solve run: the percent-complete window and the
// connectivity error list.
class PercentTest : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;
    kav::NumberSeparators separators;

  private slots:
    void reportShowsPercentWithFiveDecimalsAndTheRoundedGauge_data() {
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("linkCount");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("gauge");
        QTest::newRow("3 of 8") << 3 << 8 << "37.50000% Complete" << 38;
        QTest::newRow("half to even below") << 1 << 8 << "12.50000% Complete" << 12;
        QTest::newRow("half to even above") << 5 << 8 << "62.50000% Complete" << 62;
        QTest::newRow("thirds") << 2 << 3 << "66.66667% Complete" << 67;
        QTest::newRow("half a percent") << 1 << 200 << "0.50000% Complete" << 0;
        QTest::newRow("done") << 19881 << 19881 << "100.00000% Complete" << 100;
    }
    void reportShowsPercentWithFiveDecimalsAndTheRoundedGauge() {
        QFETCH(int, link);
        QFETCH(int, linkCount);
        QFETCH(QString, label);
        QFETCH(int, gauge);
        TPCTOKFForm form(prompts, separators);
        form.ShowForRun();
        form.ReportProgress(link, linkCount);
        form.hide();
        QCOMPARE(form.findChild<QLabel*>("OKFPercentLabel")->text(), label);
        QCOMPARE(form.findChild<QProgressBar*>("Gauge1")->value(), gauge);
        QCOMPARE(form.findChild<QProgressBar*>("Gauge1")->text(), QString::number(gauge) + "%");
    }

    // The run starts right after ShowForRun and handles no events until it
    // ends, so the window must be on screen and painted by then.
    void windowIsOnScreenAndPaintedBeforeTheFirstReport() {
        TPCTOKFForm form(prompts, separators);
        PaintCounter formPaints, gaugePaints, labelPaints;
        form.installEventFilter(&formPaints);
        form.findChild<QProgressBar*>("Gauge1")->installEventFilter(&gaugePaints);
        form.findChild<QLabel*>("OKFPercentLabel")->installEventFilter(&labelPaints);
        form.ShowForRun();
        QVERIFY(IsOnScreen(&form));
        QVERIFY(formPaints.paints > 0);
        QVERIFY(gaugePaints.paints > 0);
        QVERIFY(labelPaints.paints > 0);
    }

    // Without title-bar buttons the windows cannot be closed from the window
    // system either: the run hides the percent window, Ok the error list.
    void windowSystemCloseIsRefused() {
        QWidget menu;
        SetAnchorWindow(&menu);
        TPCTOKFForm percent(prompts, separators);
        TFMErrorForm errors(prompts);
        connect(&errors, &TFMErrorForm::closed, &menu, &QWidget::show);
        for (QWidget* window : {static_cast<QWidget*>(&percent), static_cast<QWidget*>(&errors)}) {
            window->show();
            QVERIFY(!WindowSystemClose(window));
        }
        QTest::mouseClick(errors.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        QVERIFY(!errors.isVisible());
        QVERIFY(menu.isVisible());
        SetAnchorWindow(nullptr);
    }

    void fixedPitchFontIsCourierOrTheSystemFixedFont() {
        const QFont font = FixedPitchFont(10, true);
        QVERIFY(font.bold());
        QCOMPARE(font.pointSize(), 10);
        if (QFontDatabase::hasFamily(QStringLiteral("Courier"))) {
            QCOMPARE(font.family(), QStringLiteral("Courier"));
        } else {
            QCOMPARE(font.family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        }
    }

    void hiddenWindowIgnoresReports() {
        TPCTOKFForm form(prompts, separators);
        form.ReportProgress(3, 8);
        QCOMPARE(form.findChild<QProgressBar*>("Gauge1")->value(), 0);
        QCOMPARE(form.findChild<QLabel*>("OKFPercentLabel")->text(),
                 QStringLiteral("0.00000% Complete"));
    }

    void windowHasNoTitleBarButtons() {
        TPCTOKFForm percent(prompts, separators);
        TFMErrorForm errors(prompts);
        for (QWidget* window : {static_cast<QWidget*>(&percent), static_cast<QWidget*>(&errors)}) {
            QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
            QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
            QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        }
        QCOMPARE(percent.windowTitle(), QStringLiteral("Percent Complete Form"));
        QCOMPARE(errors.windowTitle(), QStringLiteral("Connectivity Error List Form"));
    }

    // A report for every link of the largest problem paints the gauge at most
    // once per whole percentage, and fewer times when the reports come faster
    // than the paint interval; the window holds the last report once hidden.
    void fastReportsPaintAtMostOncePerWholePercent() {
        TPCTOKFForm form(prompts, separators);
        form.ShowForRun();
        auto* gauge = form.findChild<QProgressBar*>("Gauge1");
        PaintCounter counter;
        gauge->installEventFilter(&counter);
        QElapsedTimer clock;
        clock.start();
        for (int link = 1; link <= 20000; ++link)
            form.ReportProgress(link, 20000);
        qInfo("20000 reports: %lld ms, %d gauge paints", static_cast<long long>(clock.elapsed()),
              counter.paints);
        QVERIFY(counter.paints <= 101);
        form.hide();
        QCOMPARE(gauge->value(), 100);
        QCOMPARE(form.findChild<QLabel*>("OKFPercentLabel")->text(),
                 QStringLiteral("100.00000% Complete"));
    }

    // Reports further apart than the paint interval show every change at once.
    void slowReportsShowEveryWholePercentAtOnce() {
        TPCTOKFForm form(prompts, separators);
        form.ShowForRun();
        auto* gauge = form.findChild<QProgressBar*>("Gauge1");
        auto* label = form.findChild<QLabel*>("OKFPercentLabel");
        for (int link = 1; link <= 4; ++link) {
            QTest::qWait(TPCTOKFForm::PaintInterval + 5);
            form.ReportProgress(link, 4);
            QCOMPARE(gauge->value(), link * 25);
            QCOMPARE(label->text(), QString::number(link * 25) + ".00000% Complete");
        }
    }

    // A change that came too soon after a paint is shown by the next report
    // after the interval, not only by the next whole-percent change.
    void heldBackChangeIsShownByTheNextReportAfterTheInterval() {
        TPCTOKFForm form(prompts, separators);
        form.ShowForRun();
        auto* gauge = form.findChild<QProgressBar*>("Gauge1");
        form.ReportProgress(1, 100);
        if (gauge->value() != 0)
            QSKIP("the report came later than the paint interval");
        QThread::msleep(TPCTOKFForm::PaintInterval + 5);
        form.ReportProgress(2, 200);
        QCOMPARE(gauge->value(), 1);
        QCOMPARE(form.findChild<QLabel*>("OKFPercentLabel")->text(),
                 QStringLiteral("1.00000% Complete"));
    }

    // The run's messages appear over the window: the end of the run shows the
    // last report even when it came within the paint interval.
    void endOfRunShowsTheLastReport() {
        TPCTOKFForm form(prompts, separators);
        form.ShowForRun();
        for (int link = 1; link <= 8; ++link)
            form.ReportProgress(link, 8);
        form.RunFinished();
        QVERIFY(form.isVisible());
        QCOMPARE(form.findChild<QProgressBar*>("Gauge1")->value(), 100);
        QCOMPARE(form.findChild<QLabel*>("OKFPercentLabel")->text(),
                 QStringLiteral("100.00000% Complete"));
    }

    // A run starts at 0%, not where the last run stopped; a run that fails on
    // its first link reports nothing and stays at 0% to its end.
    void everyRunStartsAtZero() {
        TPCTOKFForm form(prompts, separators);
        auto* gauge = form.findChild<QProgressBar*>("Gauge1");
        auto* label = form.findChild<QLabel*>("OKFPercentLabel");
        form.ShowForRun();
        form.ReportProgress(8, 8);
        form.RunFinished();
        form.hide();
        QCOMPARE(gauge->value(), 100);
        form.ShowForRun();
        QCOMPARE(gauge->value(), 0);
        QCOMPARE(label->text(), QStringLiteral("0.00000% Complete"));
        form.RunFinished();
        form.hide();
        QCOMPARE(gauge->value(), 0);
    }

    void percentLabelUsesTheDecimalSeparator() {
        const QString text = PercentLabelText(37.5, {".", ","});
        QCOMPARE(text, QStringLiteral("37,50000% Complete"));
        QCOMPARE(GaugePercent(99.5), 100);
        QCOMPARE(GaugePercent(98.5), 98);
    }

    void errorListShowsTheLinesAndOkBringsTheMenuBack() {
        QWidget menu;
        SetAnchorWindow(&menu);
        TFMErrorForm form(prompts);
        connect(&form, &TFMErrorForm::closed, &menu, &QWidget::show);
        form.SetLines({"Node <A> is never used...FATAL ERROR...",
                       std::string("Node <\xC4X> is never used as an origin...FATAL ERROR...")});
        menu.hide();
        form.show();
        auto* list = form.findChild<QListWidget*>("ErrorList");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(),
                 QString::fromLatin1("Node <\xC4X> is never used as an origin...FATAL ERROR..."));
        QCOMPARE(list->font(), FixedPitchFont(10, true));
        QCOMPARE(list->palette().color(QPalette::Text), Colours::Red);
        QCOMPARE(list->toolTip(),
                 QStringLiteral("Error messages regarding connectivity and bounds"));
        auto* ok = form.findChild<QPushButton*>("OKButton");
        // Tabbing into the list chooses and marks no line.
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        ok->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(ok, Qt::Key_Tab);
        QVERIFY(list->hasFocus());
        QVERIFY(!list->currentIndex().isValid());
        QCOMPARE(ok->text(), QStringLiteral("&Ok"));
        QCOMPARE(ok->toolTip(), QStringLiteral("Click here to return to Main Menu"));

        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QVERIFY(menu.isVisible());
        QCOMPARE(list->count(), 2);
        form.ClearLines();
        QCOMPARE(list->count(), 0);
        SetAnchorWindow(nullptr);
    }
};

QTEST_MAIN(PercentTest)
#include "tst_percent.moc"

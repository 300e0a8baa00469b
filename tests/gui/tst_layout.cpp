#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
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
#include "gui/FocusFrame.h"
#include "gui/Placement.h"
#include "results/TFMCutForm.h"
#include "results/TFMResultsForm.h"
#include "solver/Session.h"
#include "support/ProblemBuilder.h"
#include "support/ScriptedPrompts.h"
#include "workspace/Workspace.h"

namespace {

// The windows, made and wired as program start makes them.
ProgramWindows windows;

// A problem whose lines are as wide as the lists ever get: names of 12
// characters and the largest bounds, flows and costs a field accepts.
void SetWidestProblem(kav::Workspace& ws) {
    ProblemBuilder problem(ws);
    problem.Node("SOURCE_NODE1").Node("SINK_NODE_12").Node("Chicago He");
    problem.Link(1, 2, 2147483647, 2147483647, -100000000, -2147483647);
    problem.Link(2, 1, 0, 2147483647, 100000000);
    problem.Link(3, 1, 0, 5, 7);
    problem.Link(1, 3, 0, 5, 7);
}

QString TextOf(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    return {};
}

// Controls whose caption is cut by a width smaller than the caption needs.
QStringList ClippedCaptions(QWidget* window) {
    QStringList clipped;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<const QLabel*>(control);
        const bool caption = (label && !label->wordWrap() && label->pixmap().isNull()) ||
                             qobject_cast<const QAbstractButton*>(control);
        if (!caption || !control->isVisibleTo(window) || TextOf(control).isEmpty())
            continue;
        if (control->width() < control->sizeHint().width())
            clipped << QStringLiteral("%1 '%2' %3 < %4")
                           .arg(control->objectName(), TextOf(control))
                           .arg(control->width())
                           .arg(control->sizeHint().width());
    }
    return clipped;
}

// Lists whose longest line is wider than the list and cannot be scrolled to.
QStringList UnreachableLines(QWidget* window) {
    QStringList unreachable;
    for (QListView* list : window->findChildren<QListView*>()) {
        if (!list->isVisibleTo(window) || !list->model())
            continue;
        int widest = 0;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            widest = std::max(widest, list->sizeHintForIndex(list->model()->index(row, 0)).width());
        if (widest > list->viewport()->width() && list->horizontalScrollBar()->maximum() == 0)
            unreachable << QStringLiteral("%1 %2>%3")
                               .arg(list->objectName())
                               .arg(widest)
                               .arg(list->viewport()->width());
    }
    return unreachable;
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;
    kav::Session session{prompts};

    QList<QWidget*> Windows() const {
        return {windows.mainMenu,    windows.aboutBox,  windows.addStuff, windows.nodeAdder,
                windows.linkAdder,   windows.change,    windows.results,  windows.errorList,
                windows.percentDone, windows.generator, windows.cut};
    }

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        windows = CreateWindows(session);
        CentreOnScreen(windows.mainMenu);
        windows.errorList->SetLines(
            {"Maximum flow (-2147483648) into <SINK_NODE_12> less than minimum flow out "
             "(-2147483648)",
             "<<< FATAL BOUND ERRORS FOUND ABOVE ... UNABLE TO SOLVE THE PROBLEM >>>"});
    }
    void cleanupTestCase() { DestroyWindows(windows); }

    void everyWindowShowsItsCaptionsWholeAndFitsOnTheScreen_data() {
        QTest::addColumn<int>("window");
        for (int k = 0; k < Windows().size(); ++k)
            QTest::newRow(Windows()[k]->metaObject()->className()) << k;
    }
    void everyWindowShowsItsCaptionsWholeAndFitsOnTheScreen() {
        QFETCH(int, window);
        SetWidestProblem(session.ws);
        QWidget* shown = Windows()[window];
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QApplication::processEvents();

        QCOMPARE(ClippedCaptions(shown), QStringList());
        QTRY_VERIFY2(UnreachableLines(shown).isEmpty(),
                     qPrintable(UnreachableLines(shown).join(", ")));
        const QRect area = shown->screen()->availableGeometry();
        QVERIFY2(area.contains(shown->frameGeometry()), qPrintable(QStringLiteral("%1x%2 at %3,%4")
                                                                       .arg(shown->width())
                                                                       .arg(shown->height())
                                                                       .arg(shown->x())
                                                                       .arg(shown->y())));
        // Windows in place of the main menu open centred over its place.
        const QList<QWidget*> overChooser{windows.nodeAdder, windows.linkAdder};
        if (shown != windows.mainMenu && !overChooser.contains(shown)) {
            const QPoint offset =
                shown->frameGeometry().center() - windows.mainMenu->frameGeometry().center();
            QVERIFY2(offset.manhattanLength() <= 2,
                     qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
        }
        prompts.Clear();
        shown->hide();
    }

    void placedFrameIsCentredUnlessTheScreenSaysOtherwise() {
        const QRect area(0, 0, 800, 600);
        QCOMPARE(PlacedFrame({200, 100}, {400, 300}, area).center(), QPoint(400, 300));
        // Near the edges it moves in just far enough.
        QCOMPARE(PlacedFrame({200, 100}, {780, 590}, area), QRect(600, 500, 200, 100));
        QCOMPARE(PlacedFrame({200, 100}, {10, 10}, area), QRect(0, 0, 200, 100));
        // Too large: its top-left corner stays on screen, where the title is.
        QCOMPARE(PlacedFrame({900, 700}, {400, 300}, area).topLeft(), QPoint(0, 0));
    }

    // The node and link windows open over the chooser, which stays in sight
    // above them when there is room.
    void editingWindowsOpenBelowTheChoosersTitle() {
        QWidget* chooser = windows.addStuff;
        QWidget* nodes = windows.nodeAdder;
        chooser->show();
        QVERIFY(QTest::qWaitForWindowExposed(chooser));
        chooser->move(chooser->x(), 40);
        nodes->show();
        QVERIFY(QTest::qWaitForWindowExposed(nodes));
        QVERIFY(nodes->frameGeometry().top() > chooser->frameGeometry().top());
        QCOMPARE(nodes->frameGeometry().center().x(), chooser->frameGeometry().center().x());
        nodes->hide();
        chooser->hide();
    }

    // The focused control has a frame of at least two pixels that stands out
    // from the window around it: white on the purple main menu, black on the
    // yellow node window; it follows the focus.
    void focusedControlsHaveAFrameThatStandsOut_data() {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("main menu") << 0 << "AboutButton"
                                   << "HintShow";
        QTest::newRow("node window") << 3 << "NodeName"
                                     << "AddButton";
    }
    void focusedControlsHaveAFrameThatStandsOut() {
        QFETCH(int, window);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QWidget* shown = Windows()[window];
        shown->show();
        shown->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shown));
        const QColor background = shown->palette().color(QPalette::Window);
        for (const QString& name : {first, second}) {
            auto* control = shown->findChild<QWidget*>(name);
            QVERIFY(control);
            control->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(control->hasFocus());
            const QImage image = shown->grab().toImage();
            const QPoint left = control->mapTo(shown, QPoint(0, control->height() / 2));
            const QPoint top = control->mapTo(shown, QPoint(control->width() / 2, 0));
            for (int d = 1; d <= 2; ++d) {
                for (const QPoint& outside : {left - QPoint(d, 0), top - QPoint(0, d)}) {
                    const QColor seen = image.pixelColor(outside * image.devicePixelRatio());
                    QVERIFY2(ContrastRatio(seen, background) >= 3.0,
                             qPrintable(QStringLiteral("%1 at %2,%3: %4")
                                            .arg(name)
                                            .arg(outside.x())
                                            .arg(outside.y())
                                            .arg(seen.name())));
                }
            }
        }
        shown->hide();
    }

    void changeWindowShowsTheWidestLinkLineWhole() {
        SetWidestProblem(session.ws);
        QWidget* change = windows.change;
        change->show();
        QVERIFY(QTest::qWaitForWindowExposed(change));
        auto* links = change->findChild<QComboBox*>(QStringLiteral("LinkList"));
        QVERIFY(links);
        QCOMPARE(links->currentIndex(), 0);
        QStyleOptionComboBox option;
        option.initFrom(links);
        option.frame = true;
        const QRect field = links->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, links);
        QVERIFY2(links->fontMetrics().horizontalAdvance(links->currentText()) <= field.width(),
                 qPrintable(links->currentText()));
        prompts.Clear();
        change->hide();
    }

    // Minimised, a secondary window or box would leave nothing on screen: it
    // comes straight back. The main menu may be minimised.
    void onlyTheMainMenuStaysMinimised() {
        QWidget* chooser = windows.addStuff;
        chooser->show();
        QVERIFY(QTest::qWaitForWindowExposed(chooser));
        chooser->setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!chooser->isMinimized());
        QVERIFY(chooser->isVisible());
        chooser->hide();

        QWidget* menu = windows.mainMenu;
        menu->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->setWindowState(Qt::WindowMinimized);
        QTest::qWait(50);
        QVERIFY(menu->isMinimized());
        menu->showNormal();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        menu->hide();
    }
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"

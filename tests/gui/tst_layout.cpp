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

#include "app/AppWindows.h"
#include "app/CreateWindows.h"
#include "app/TAboutBoxKavrilon.h"
#include "app/TFMErrorForm.h"
#include "app/TPCTOKFForm.h"
#include "editing/TFMAddStuff.h"
#include "editing/TFMChangeForm.h"
#include "editing/TFMLinkAddForm.h"
#include "editing/TFXNodeAddForm.h"
#include "generator/TRandGenerator.h"
#include "results/TFMResultsForm.h"
#include "support/ProblemBuilder.h"
#include "support/ScriptedPrompts.h"
#include "workspace/Workspace.h"

namespace {

// A problem whose lines are as wide as the lists ever get: names of 12
// characters and the largest bounds, flows and costs a field accepts.
void SetWidestProblem() {
    ProblemBuilder problem(kav::TheWorkspace());
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

    QList<QWidget*> Windows() const {
        const AppWindows& windows = TheWindows();
        return {windows.mainMenu,    windows.aboutBox, windows.addStuff, windows.nodeAdder,
                windows.linkAdder,   windows.change,   windows.results,  windows.errorList,
                windows.percentDone, windows.generator};
    }

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        kav::InstallPrompts(&prompts);
        CreateWindows();
        TheWindows().errorList->SetLines(
            {"Maximum flow (-2147483648) into <SINK_NODE_12> less than minimum flow out "
             "(-2147483648)",
             "<<< FATAL BOUND ERRORS FOUND ABOVE ... UNABLE TO SOLVE THE PROBLEM >>>"});
    }
    void cleanupTestCase() {
        DestroyWindows();
        kav::InstallPrompts(nullptr);
    }

    void everyWindowShowsItsCaptionsWholeAndFitsOnTheScreen_data() {
        QTest::addColumn<int>("window");
        for (int k = 0; k < Windows().size(); ++k)
            QTest::newRow(Windows()[k]->metaObject()->className()) << k;
    }
    void everyWindowShowsItsCaptionsWholeAndFitsOnTheScreen() {
        QFETCH(int, window);
        SetWidestProblem();
        QWidget* shown = Windows()[window];
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QApplication::processEvents();

        QCOMPARE(ClippedCaptions(shown), QStringList());
        QTRY_VERIFY2(UnreachableLines(shown).isEmpty(),
                     qPrintable(UnreachableLines(shown).join(", ")));
        const QSize room = shown->screen()->availableGeometry().size();
        QVERIFY2(shown->width() <= room.width() && shown->height() <= room.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(shown->width()).arg(shown->height())));
        prompts.Clear();
        shown->hide();
    }

    void changeWindowShowsTheWidestLinkLineWhole() {
        SetWidestProblem();
        QWidget* change = TheWindows().change;
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
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"

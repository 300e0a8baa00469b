#include "EditingFixture.h"

class TestChange : public QObject {
    Q_OBJECT
    std::unique_ptr<EditingWindows> w;

    QWidget* win() { return &w->change; }
    QComboBox* box(const char* name) { return Child<QComboBox>(win(), name); }
    QLineEdit* field(const char* name) { return Child<QLineEdit>(win(), name); }
    QString text(const char* name) { return field(name)->text(); }
    QPushButton* removeButton() { return Child<QPushButton>(win(), "RemoveButton"); }
    QLabel* label(const char* name) { return Child<QLabel>(win(), name); }

    // The main menu's Change button.
    void OpenChangeWindow() {
        w->mainMenu.hide();
        QVERIFY(ShowActive(win()));
    }

    // Moves to a link of the list from the keyboard: Alt+T, Home, arrow down.
    void ChooseLink(int index) {
        QVERIFY(PressAlt(win(), Qt::Key_T));
        QComboBox* links = box("LinkList");
        QVERIFY(links->hasFocus());
        QTest::keyClick(links, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(links, Qt::Key_Down);
    }

    // Picks a node in a drop-down by typing its name (Alt+O or Alt+D first).
    void ChooseNode(Qt::Key accelerator, const char* name) {
        QVERIFY(PressAlt(win(), accelerator));
        QVERIFY(QApplication::focusWidget());
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(name));
    }

    void Quit() {
        QTest::mouseClick(Child<QPushButton>(win(), "QuitButton"), Qt::LeftButton);
        QVERIFY(!win()->isVisible());
        QVERIFY(w->mainMenu.isVisible());
    }

    void FiveLinks() {
        kav::Workspace& ws = w->session.ws;
        AddNodes(ws, {"Boston", "Chicago He", "Denver"});
        AddLinks(ws, {{1, 2, 0, 10, 3, 4},
                      {2, 3, 2, 20, -1, 5},
                      {3, 1, 0, 30, 2, 6},
                      {1, 3, 4, 40, 1, 7},
                      {2, 1, 0, 50, 0, 8}});
    }

  private slots:
    void init() { w = std::make_unique<EditingWindows>(); }
    void cleanup() { w.reset(); }

    void showsLinkOneWithItsSolverState() {
        FiveLinks();
        kav::Workspace& ws = w->session.ws;
        SetPotential(ws, 1, 0);
        SetPotential(ws, 2, 5);  // link 1: reduced cost 3 + 0 - 5 = -2, flow 4 below 10
        OpenChangeWindow();
        QCOMPARE(label("Label2")->text(),
                 QStringLiteral("Link #     Orig       Dest   MinFlow   MaxFlow   UnitCost"));
        QCOMPARE(Lines(box("LinkList")).mid(0, 2),
                 (QStringList{"   1     Boston Chicago He     0         10         3",
                              "   2 Chicago He     Denver     2         20        -1"}));
        QCOMPARE(box("LinkList")->currentIndex(), 0);
        QCOMPARE(text("LinkNoField"), QStringLiteral("1"));
        QCOMPARE(text("OriginField"), QStringLiteral("Boston"));
        QCOMPARE(text("DestField"), QStringLiteral("Chicago He"));
        QCOMPARE(box("OriginList")->currentIndex(), 0);
        QCOMPARE(box("DestList")->currentIndex(), 1);
        QCOMPARE(Lines(box("OriginList")), (QStringList{"Boston", "Chicago He", "Denver"}));
        QCOMPARE(text("LBField"), QStringLiteral("         0"));
        QCOMPARE(text("FlowField"), QStringLiteral("         4"));
        QCOMPARE(text("UBField"), QStringLiteral("        10"));
        QCOMPARE(text("CostField"), QStringLiteral("         3"));
        QCOMPARE(text("RedCostField"), QStringLiteral("        -2"));
        QCOMPARE(text("KilterField"), QStringLiteral("No"));
        QCOMPARE(text("LBNew"), QStringLiteral("0"));
        QCOMPARE(text("UBNew"), QStringLiteral("10"));
        QCOMPARE(text("CostNew"), QStringLiteral("3"));
        QCOMPARE(removeButton()->text(), QStringLiteral("&Remove Link"));
        QCOMPARE(label("NumberRemovedLabel")->text(),
                 QStringLiteral("0 Links Designated for Removal"));
        QVERIFY(!label("LinkRemoveLabel")->isVisible());
        QVERIFY(!box("LinkList")->isEditable());
        QVERIFY(!box("OriginList")->isEditable());
        QVERIFY(!box("DestList")->isEditable());

        ChooseLink(4);  // link 5: reduced cost 0 + 5 - 0, flow 8 above lower 0
        QCOMPARE(text("LinkNoField"), QStringLiteral("5"));
        QCOMPARE(text("RedCostField"), QStringLiteral("         5"));
        QCOMPARE(text("KilterField"), QStringLiteral("No"));
        ChooseLink(3);  // link 4: reduced cost 1, flow 7 above lower 4
        QCOMPARE(text("KilterField"), QStringLiteral("No"));
        SetFlow(ws, 4, 4);
        ChooseLink(2);
        ChooseLink(3);
        QCOMPARE(text("KilterField"), QStringLiteral("Yes"));

        // Only looking changes nothing, and the next visit starts at link 1.
        Quit();
        QVERIFY(!ws.DataNotSaved && !ws.NetworkChanged);
        OpenChangeWindow();
        QCOMPARE(box("LinkList")->currentIndex(), 0);
        QCOMPARE(text("LinkNoField"), QStringLiteral("1"));
    }

    void markingAndUnmarkingALink() {
        FiveLinks();
        OpenChangeWindow();
        ChooseLink(2);
        QTest::mouseClick(removeButton(), Qt::LeftButton);
        QCOMPARE(box("LinkList")->itemText(2),
                 QStringLiteral("  -3     Denver     Boston     0         30         2"));
        QCOMPARE(box("LinkList")->currentIndex(), 2);
        QVERIFY(label("LinkRemoveLabel")->isVisible());
        QCOMPARE(label("LinkRemoveLabel")->text(),
                 QStringLiteral("Link will be removed when you quit"));
        QCOMPARE(removeButton()->text(), QStringLiteral("Un&Remove Link"));
        QCOMPARE(label("NumberRemovedLabel")->text(),
                 QStringLiteral("1 Links Designated for Removal"));
        QVERIFY(w->session.ws.NetworkChanged);
        QVERIFY(PressAlt(win(), Qt::Key_R));
        QCOMPARE(box("LinkList")->itemText(2).left(4), QStringLiteral("   3"));
        QVERIFY(!label("LinkRemoveLabel")->isVisible());
        QCOMPARE(removeButton()->text(), QStringLiteral("&Remove Link"));
        Quit();
        QCOMPARE(w->session.ws.LinkCount, 5);
        QVERIFY(w->session.ws.DataNotSaved);
    }

    void quitRemovesTheMarkedLinks() {
        FiveLinks();
        OpenChangeWindow();
        ChooseLink(1);
        QTest::mouseClick(removeButton(), Qt::LeftButton);
        ChooseLink(3);
        QTest::mouseClick(removeButton(), Qt::LeftButton);
        QCOMPARE(label("NumberRemovedLabel")->text(),
                 QStringLiteral("2 Links Designated for Removal"));
        Quit();
        const kav::Workspace& ws = w->session.ws;
        QCOMPARE(ws.LinkCount, 3);
        QCOMPARE(ws.LinkUpper[1], 10);
        QCOMPARE(ws.LinkUpper[2], 30);
        QCOMPARE(ws.LinkUpper[3], 50);
        QCOMPARE(ws.LinkOrigin[2], 3);
        QVERIFY(ws.DataNotSaved);
        OpenChangeWindow();
        QCOMPARE(Lines(box("LinkList")),
                 (QStringList{"   1     Boston Chicago He     0         10         3",
                              "   2     Denver     Boston     0         30         2",
                              "   3 Chicago He     Boston     0         50         0"}));
    }

    void reroutingAMarkedLinkKeepsItMarked() {
        FiveLinks();
        OpenChangeWindow();
        ChooseLink(1);
        QTest::mouseClick(removeButton(), Qt::LeftButton);
        ChooseNode(Qt::Key_O, "Boston");
        QCOMPARE(w->session.ws.LinkOrigin[2], -1);
        QCOMPARE(text("OriginField"), QStringLiteral("Boston"));
        QCOMPARE(box("LinkList")->itemText(1).left(16), QStringLiteral("  -2     Boston "));
        QVERIFY(label("LinkRemoveLabel")->isVisible());
        Quit();
        QCOMPARE(w->session.ws.LinkCount, 4);
    }

    void reroutingSetsNetworkChangedAndMayCloseALoop() {
        FiveLinks();
        OpenChangeWindow();
        ChooseNode(Qt::Key_D, "Boston");  // link 1 now runs Boston -> Boston
        const kav::Workspace& ws = w->session.ws;
        QCOMPARE(ws.LinkDest[1], 1);
        QVERIFY(ws.NetworkChanged);
        QCOMPARE(text("DestField"), QStringLiteral("Boston"));
        QVERIFY(w->prompts.events.empty());
        ChooseNode(Qt::Key_O, "Denver");
        QCOMPARE(ws.LinkOrigin[1], 3);
        QCOMPARE(box("LinkList")->itemText(0),
                 QStringLiteral("   1     Denver     Boston     0         10         3"));
        Quit();
        QVERIFY(ws.DataNotSaved);
    }

    void boundsAreCheckedAgainstEachOther() {
        kav::Workspace& ws = w->session.ws;
        AddNodes(ws, {"A", "B"});
        AddLinks(ws, {{1, 2, 0, 20, 1, 0}, {2, 1, 50, 90, 1, 0}});
        OpenChangeWindow();
        TypeAndLeave(field("LBNew"), "50");
        QCOMPARE(ws.LinkLower[1], 0);
        QCOMPARE(text("LBNew"), QStringLiteral("0"));
        ChooseLink(1);
        TypeAndLeave(field("UBNew"), "20");
        QCOMPARE(ws.LinkUpper[2], 90);
        QCOMPARE(text("UBNew"), QStringLiteral("90"));
        QCOMPARE(w->Texts(),
                 (std::vector<std::string>{
                     "Lower bound must not exceed upper bound.\rNO CHANGE WILL BE MADE ... WARNING",
                     "Upper bound must not be less than lower bound.\r"
                     "NO CHANGE WILL BE MADE ... WARNING"}));
        TypeAndLeave(field("UBNew"), "60");
        QCOMPARE(ws.LinkUpper[2], 60);
        QCOMPARE(text("UBField"), QStringLiteral("        60"));
        QCOMPARE(box("LinkList")->itemText(1),
                 QStringLiteral("   2          B          A    50         60         1"));
        QVERIFY(!ws.NetworkChanged);
    }

    // The editor's warnings show while the mouse is held on Remove; after
    // them the press marks the link, as Alt+R would, and the release that
    // follows does not unmark it.
    void aClickThatLeavesAnEditorWithWarningsStillMarksTheLink() {
        kav::Workspace& ws = w->session.ws;
        AddNodes(ws, {"A", "B"});
        AddLinks(ws, {{1, 2, 0, 10, 1, 0}, {2, 1, 0, 10, 1, 0}});
        OpenChangeWindow();
        QTest::mouseClick(field("LBNew"), Qt::LeftButton);
        field("LBNew")->selectAll();
        QTest::keyClicks(field("LBNew"), "050");
        QTest::mousePress(removeButton(), Qt::LeftButton);
        QCOMPARE(
            w->Texts(),
            (std::vector<std::string>{
                "Specified value did not convert correctly... Warning\r"
                "Default value used and shown",
                "Lower bound must not exceed upper bound.\rNO CHANGE WILL BE MADE ... WARNING"}));
        QCOMPARE(ws.LinkLower[1], 0);
        QCOMPARE(ws.LinkOrigin[1], -1);
        QVERIFY(!removeButton()->isDown());
        QTest::mouseRelease(removeButton(), Qt::LeftButton);
        QCOMPARE(ws.LinkOrigin[1], -1);
        QCOMPARE(removeButton()->text(), QStringLiteral("Un&Remove Link"));
    }

    void editorsUseTheStoredValueAsTheFallback() {
        FiveLinks();
        kav::Workspace& ws = w->session.ws;
        OpenChangeWindow();
        TypeAndLeave(field("CostNew"), "");
        QCOMPARE(ws.LinkCost[1], 3);
        QCOMPARE(text("CostNew"), QStringLiteral("3"));
        QVERIFY(w->prompts.events.empty());
        TypeAndLeave(field("CostNew"), "1.5");
        QCOMPARE(ws.LinkCost[1], 3);
        TypeAndLeave(field("CostNew"), "-100000001");
        QCOMPARE(ws.LinkCost[1], 3);
        TypeAndLeave(field("CostNew"), "-100000000");
        QCOMPARE(ws.LinkCost[1], -100000000);
        TypeAndLeave(field("LBNew"), "007");
        QCOMPARE(ws.LinkLower[1], 7);
        QCOMPARE(w->prompts.events,
                 (std::vector<std::string>{
                     "beep 64",
                     "message Specified value did not convert correctly... Warning\r"
                     "Default value used and shown",
                     "message Invalid Parameter Value.  Must have -100000000 <= X <= 100000000",
                     "beep 64",
                     "message Specified value did not convert correctly... Warning\r"
                     "Default value used and shown"}));
        QVERIFY(!ws.NetworkChanged);
        Quit();
        QVERIFY(ws.DataNotSaved);
    }

    void tabbingThroughTheEditorsCommitsWithoutChanges() {
        FiveLinks();
        kav::Workspace& ws = w->session.ws;
        OpenChangeWindow();
        QTest::mouseClick(field("LBNew"), Qt::LeftButton);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), removeButton());
        QVERIFY(w->prompts.events.empty());
        QCOMPARE(ws.LinkLower[1], 0);
        QCOMPARE(ws.LinkUpper[1], 10);
        QCOMPARE(ws.LinkCost[1], 3);
        Quit();
        QVERIFY(ws.DataNotSaved);
        QVERIFY(!ws.NetworkChanged);
    }

    void tabOrderAndTheKeyFilter() {
        FiveLinks();
        OpenChangeWindow();
        box("LinkList")->setFocus(Qt::OtherFocusReason);
        QStringList visited;
        for (int i = 0; i < 8; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QStringList{"LinkList", "OriginList", "DestList", "LBNew", "UBNew",
                                       "CostNew", "RemoveButton", "QuitButton"}));
        QPushButton* quit = Child<QPushButton>(win(), "QuitButton");
        QTest::mouseClick(field("UBNew"), Qt::LeftButton);
        QTest::keyClick(field("UBNew"), Qt::Key_End);
        QTest::keyClicks(field("UBNew"), "x5");
        QCOMPARE(text("UBNew"), QStringLiteral("105"));
        QCOMPARE(w->prompts.beeps, std::vector<unsigned>{0});
        QVERIFY(!quit->isEnabled());
        QVERIFY(PressAlt(win(), Qt::Key_Q));
        QVERIFY(win()->isVisible());
        // In the field, Quit's accelerator while Quit is off and a letter with
        // Alt are discarded as a letter is: they neither act nor type.
        for (Qt::Key key : {Qt::Key_Q, Qt::Key_X})
            QTest::keyClick(field("UBNew"), key, Qt::AltModifier);
        QCOMPARE(text("UBNew"), QStringLiteral("105"));
        QCOMPARE(w->prompts.beeps, (std::vector<unsigned>{0, 0, 0}));
        // Remove by its accelerator takes the typed bound in first.
        QVERIFY(PressAlt(win(), Qt::Key_R));
        QCOMPARE(w->session.ws.LinkUpper[1], 105);
        QCOMPARE(w->session.ws.LinkOrigin[1], -1);
        QVERIFY(quit->isEnabled());
        QVERIFY(PressAlt(win(), Qt::Key_Q));
        QVERIFY(!win()->isVisible());
        QCOMPARE(w->session.ws.LinkCount, 4);
    }

    void withNoLinksOnlyQuitIsOffered() {
        AddNodes(w->session.ws, {"A", "B"});
        OpenChangeWindow();
        QCOMPARE(box("LinkList")->count(), 0);
        for (const char* name :
             {"LinkNoField", "OriginField", "DestField", "LBField", "FlowField", "UBField",
              "CostField", "RedCostField", "KilterField", "LBNew", "UBNew", "CostNew"}) {
            QVERIFY2(text(name).isEmpty(), name);
        }
        for (const char* name : {"OriginList", "DestList"})
            QVERIFY(!box(name)->isEnabled());
        for (const char* name : {"LBNew", "UBNew", "CostNew"})
            QVERIFY(!field(name)->isEnabled());
        QVERIFY(!removeButton()->isEnabled());
        QCOMPARE(label("NumberRemovedLabel")->text(),
                 QStringLiteral("0 Links Designated for Removal"));
        QVERIFY(w->prompts.events.empty());
        QVERIFY(PressAlt(win(), Qt::Key_Q));
        QVERIFY(!win()->isVisible());
        QVERIFY(!w->session.ws.DataNotSaved);

        // Removing every link leaves the same empty window on the next visit.
        AddLinks(w->session.ws, {{1, 2, 0, 1, 1, 0}});
        OpenChangeWindow();
        QVERIFY(removeButton()->isEnabled());
        QTest::mouseClick(removeButton(), Qt::LeftButton);
        Quit();
        QCOMPARE(w->session.ws.LinkCount, 0);
        OpenChangeWindow();
        QVERIFY(!removeButton()->isEnabled());
        QVERIFY(text("LinkNoField").isEmpty());
    }

    void aLinkWhoseReducedCostOverflowsIsShownAndEditedSafely() {
        FiveLinks();
        kav::Workspace& ws = w->session.ws;
        // Link 2 (Chicago He -> Denver): -1 + 2147483647 + 2147483647 overflows.
        SetPotential(ws, 2, 2147483647);
        SetPotential(ws, 3, -2147483647);
        OpenChangeWindow();
        QVERIFY(w->prompts.messages.empty());
        ChooseLink(1);
        QCOMPARE(w->prompts.messages.size(), std::size_t{1});
        QCOMPARE(w->prompts.messages[0].kind, kav::MsgKind::Error);
        QVERIFY(text("RedCostField").isEmpty());
        // The editors hold link 2's values, so tabbing through them writes
        // nothing of link 1 into link 2.
        QCOMPARE(text("LBNew"), QStringLiteral("2"));
        QCOMPARE(text("UBNew"), QStringLiteral("20"));
        QCOMPARE(text("CostNew"), QStringLiteral("-1"));
        QTest::mouseClick(field("LBNew"), Qt::LeftButton);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(ws.LinkLower[2], 2);
        QCOMPARE(ws.LinkUpper[2], 20);
        QCOMPARE(ws.LinkCost[2], -1);
        QTest::mouseClick(removeButton(), Qt::LeftButton);
        QTest::mouseClick(removeButton(), Qt::LeftButton);
        Quit();
        QVERIFY(ws.DataNotSaved);

        // A visit whose link 1 cannot be shown still starts with nothing edited.
        NoteSaved(ws);
        SetPotential(ws, 1, 2147483647);
        SetPotential(ws, 2, -2147483647);
        OpenChangeWindow();
        QCOMPARE(w->prompts.messages.back().kind, kav::MsgKind::Error);
        Quit();
        QVERIFY(!ws.DataNotSaved);
    }

    void aLinkToANumberThatIsNoNodeCanBeReRouted() {
        kav::Workspace& ws = w->session.ws;
        AddNodes(ws, {"A", "B"});
        AddLinks(ws, {{1, 5000, 0, 10, 1, 0}});  // as a hand-edited link file can give
        OpenChangeWindow();
        QCOMPARE(box("LinkList")->itemText(0),
                 QStringLiteral("   1          A      #5000     0         10         1"));
        QCOMPARE(text("DestField"), QStringLiteral("#5000"));
        QCOMPARE(box("DestList")->currentIndex(), -1);
        QVERIFY(text("RedCostField").isEmpty());
        QVERIFY(text("KilterField").isEmpty());
        QVERIFY(w->prompts.events.empty());
        ChooseNode(Qt::Key_D, "B");
        QCOMPARE(ws.LinkDest[1], 2);
        QCOMPARE(text("KilterField"), QStringLiteral("Yes"));
    }
};

QTEST_MAIN(TestChange)
#include "tst_change.moc"

#include "EditingFixture.h"

class TestNodeAdd : public QObject {
    Q_OBJECT
    std::unique_ptr<EditingWindows> w;

    QLineEdit* name() { return Child<QLineEdit>(&w->nodes, "NodeName"); }
    QPushButton* add() { return Child<QPushButton>(&w->nodes, "AddButton"); }
    QListWidget* list() { return Child<QListWidget>(&w->nodes, "NodeList"); }
    QPushButton* linkButton() { return Child<QPushButton>(&w->chooser, "LinkButton"); }

    // Main menu -> chooser -> node window, as the user gets there.
    void OpenNodeWindow() {
        w->mainMenu.hide();
        QVERIFY(ShowActive(&w->chooser));
        QTest::mouseClick(Child<QPushButton>(&w->chooser, "NodeBUtton"), Qt::LeftButton);
        QVERIFY(w->nodes.isVisible());
        QVERIFY(QTest::qWaitForWindowActive(&w->nodes));
    }

    void AddByHand(const QString& typed) {
        TypeAndLeave(name(), typed);
        QTest::mouseClick(add(), Qt::LeftButton);
    }

  private slots:
    void init() { w = std::make_unique<EditingWindows>(); }
    void cleanup() { w.reset(); }

    void typedNamesKeepTenCharactersAndDuplicatesAreRefused() {
        OpenNodeWindow();
        AddByHand(QStringLiteral("Chicago Heights"));
        QCOMPARE(w->session.ws.NodeCount, 1);
        QCOMPARE(w->session.ws.NodeName[1], std::string("Chicago He"));
        QCOMPARE(Lines(list()), QStringList{QStringLiteral("   1   Chicago He")});
        QCOMPARE(Child<QLabel>(&w->nodes, "Information")->text(),
                 QStringLiteral("1 Nodes have been specified"));
        QVERIFY(w->session.ws.DataNotSaved);
        QVERIFY(w->prompts.events.empty());

        AddByHand(QStringLiteral("Chicago Hermitage"));
        QCOMPARE(w->session.ws.NodeCount, 1);
        QCOMPARE(w->Texts(), std::vector<std::string>{
                                 "Node [Chicago He ] already exists... TRY AGAIN...\r"
                                 "Note that names are only unique up to the first 10 characters"});
        QCOMPARE(w->prompts.messages[0].kind, kav::MsgKind::Warning);
        // The field keeps what was typed.
        QCOMPARE(name()->text(), QStringLiteral("Chicago Hermitage"));
    }

    void namesAreCaseSensitiveAndBlanksCount() {
        OpenNodeWindow();
        AddByHand(QStringLiteral("Boston"));
        AddByHand(QStringLiteral("boston"));
        AddByHand(QStringLiteral(" Boston"));
        QCOMPARE(Lines(list()),
                 (QStringList{QStringLiteral("   1   Boston"), QStringLiteral("   2   boston"),
                              QStringLiteral("   3    Boston")}));
        QVERIFY(w->prompts.events.empty());
        // Pressing Add again at once reports the name as existing.
        QTest::mouseClick(add(), Qt::LeftButton);
        QCOMPARE(w->prompts.messages.size(), std::size_t{1});
    }

    void aTwelveCharacterFileNameDoesNotBlockItsTypedPrefix() {
        AddNodes(w->session.ws, {"ABCDEFGHIJKL"});
        OpenNodeWindow();
        AddByHand(QStringLiteral("ABCDEFGHIJKL"));
        QCOMPARE(w->session.ws.NodeCount, 2);
        QCOMPARE(w->session.ws.NodeName[2], std::string("ABCDEFGHIJ"));
    }

    void anEmptyNameAddsNothingAndSaysNothing() {
        OpenNodeWindow();
        AddByHand(QString());
        QCOMPARE(w->session.ws.NodeCount, 0);
        QVERIFY(w->prompts.events.empty());
        QVERIFY(!w->session.ws.DataNotSaved);
    }

    void theNameTypedIsTakenWhenAddIsPressedByItsAccelerator() {
        OpenNodeWindow();
        QTest::mouseClick(name(), Qt::LeftButton);
        QTest::keyClicks(name(), QStringLiteral("Denver"));
        QVERIFY(PressAlt(&w->nodes, Qt::Key_A));
        QCOMPARE(w->session.ws.NodeCount, 1);
        QCOMPARE(w->session.ws.NodeName[1], std::string("Denver"));
        QVERIFY(name()->hasFocus());
        // The name stays, chosen whole: the next one typed replaces it.
        QCOMPARE(name()->selectedText(), QStringLiteral("Denver"));
        QTest::keyClicks(name(), QStringLiteral("Erie"));
        QVERIFY(PressAlt(&w->nodes, Qt::Key_A));
        QCOMPARE(w->session.ws.NodeName[2], std::string("Erie"));
    }

    void enterInTheNameFieldAddsTheNameAsAltADoes() {
        OpenNodeWindow();
        QTest::mouseClick(name(), Qt::LeftButton);
        QTest::keyClicks(name(), QStringLiteral("Erie"));
        QTest::keyClick(name(), Qt::Key_Return);
        QTRY_COMPARE(w->session.ws.NodeCount, 1);
        QCOMPARE(w->session.ws.NodeName[1], std::string("Erie"));
        QVERIFY(name()->hasFocus());
        QTest::keyClick(name(), Qt::Key_Enter);
        QTRY_COMPARE(w->prompts.messages.size(), std::size_t{1});
        QCOMPARE(w->session.ws.NodeCount, 1);
    }

    // Tabbing into the list chooses no node and marks none as current: Down
    // then chooses node 1, which Remove removes.
    void theListGivenTheFocusChoosesNothing() {
        AddNodes(w->session.ws, {"A", "B", "C"});
        OpenNodeWindow();
        Child<QPushButton>(&w->nodes, "QuitButton")->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(list()->hasFocus());
        QVERIFY(!list()->currentIndex().isValid());
        QVERIFY(list()->selectedItems().isEmpty());
        QTest::keyClick(list(), Qt::Key_Down);
        QVERIFY(PressAlt(&w->nodes, Qt::Key_R));
        QCOMPARE(Lines(list()),
                 (QStringList{QStringLiteral("   1   B"), QStringLiteral("   2   C")}));
        QVERIFY(w->prompts.messages.empty());
        // A chosen line, once deselected, no longer looks current.
        ClickLine(list(), 1);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list()->visualItemRect(list()->item(1)).center());
        QVERIFY(list()->selectedItems().isEmpty());
        QVERIFY(!list()->currentIndex().isValid());
    }

    // End and Home in a list with no current line choose the last and the
    // first line, which Remove then removes.
    void endAndHomeChooseTheLineTheyShow() {
        for (const auto& [key, left] :
             {std::pair{Qt::Key_End,
                        QStringList{QStringLiteral("   1   A"), QStringLiteral("   2   B")}},
              std::pair{Qt::Key_Home,
                        QStringList{QStringLiteral("   1   B"), QStringLiteral("   2   C")}}}) {
            init();
            AddNodes(w->session.ws, {"A", "B", "C"});
            OpenNodeWindow();
            list()->setFocus(Qt::TabFocusReason);
            QTest::keyClick(list(), key);
            QVERIFY(PressAlt(&w->nodes, Qt::Key_R));
            QCOMPARE(Lines(list()), left);
        }
    }

    void aFullNodeTableRefusesUntilANodeIsRemoved() {
        kav::Workspace& ws = w->session.ws;
        for (int n = 1; n <= kav::MaxNodes; ++n)
            SetNodeName(ws, n, "N" + std::to_string(n));
        SetProblemSize(ws, ws.LinkCount, kav::MaxNodes);
        OpenNodeWindow();
        QCOMPARE(list()->count(), kav::MaxNodes);
        QCOMPARE(list()->item(2009)->text(), QStringLiteral("2010   N2010"));
        AddByHand(QStringLiteral("Extra"));
        QCOMPARE(w->Texts(), std::vector<std::string>{
                                 "Too many nodes...Only 2010 are permitted...WARNING...TRY AGAIN"});
        QCOMPARE(ws.NodeCount, kav::MaxNodes);
        ClickLine(list(), 2009);
        QTest::mouseClick(Child<QPushButton>(&w->nodes, "RemoveButton"), Qt::LeftButton);
        QCOMPARE(ws.NodeCount, kav::MaxNodes - 1);
        QTest::mouseClick(add(), Qt::LeftButton);
        QCOMPARE(ws.NodeCount, kav::MaxNodes);
        QCOMPARE(ws.NodeName[2010], std::string("Extra"));
        QCOMPARE(w->prompts.messages.size(), std::size_t{1});
    }

    void removingNeedsASelectionAndShiftsLaterNames() {
        AddNodes(w->session.ws, {"A", "B", "C"});
        OpenNodeWindow();
        QTest::mouseClick(Child<QPushButton>(&w->nodes, "RemoveButton"), Qt::LeftButton);
        QCOMPARE(w->Texts(),
                 std::vector<std::string>{"You must select a node from the list to remove a node"});
        QCOMPARE(w->prompts.messages[0].kind, kav::MsgKind::Information);
        QCOMPARE(w->session.ws.NodeCount, 3);

        ClickLine(list(), 0);
        QVERIFY(PressAlt(&w->nodes, Qt::Key_R));
        QCOMPARE(Lines(list()),
                 (QStringList{QStringLiteral("   1   B"), QStringLiteral("   2   C")}));
        QCOMPARE(Child<QLabel>(&w->nodes, "Information")->text(),
                 QStringLiteral("2 Nodes have been specified"));
        ClickLine(list(), 1);
        QVERIFY(PressAlt(&w->nodes, Qt::Key_R));
        QCOMPARE(Lines(list()), QStringList{QStringLiteral("   1   B")});
        QVERIFY(!linkButton()->isEnabled());
    }

    void aNodeInUseIsNotRemoved() {
        kav::Workspace& ws = w->session.ws;
        AddNodes(ws, {"A", "B", "C", "D"});
        AddLinks(ws, {{1, 3, 0, 5, 1, 0}, {3, 4, 0, 5, 1, 0}, {4, 1, 0, 5, 1, 0}});
        OpenNodeWindow();
        ClickLine(list(), 2);
        QTest::mouseClick(Child<QPushButton>(&w->nodes, "RemoveButton"), Qt::LeftButton);
        QCOMPARE(w->Texts(),
                 std::vector<std::string>{"Node [C ] is used by 2 links and was not removed\r"
                                          "Remove or re-route those links first"});
        QCOMPARE(ws.NodeCount, 4);
        // B is unused: its removal keeps every link between the same names.
        ClickLine(list(), 1);
        QTest::mouseClick(Child<QPushButton>(&w->nodes, "RemoveButton"), Qt::LeftButton);
        QCOMPARE(ws.NodeCount, 3);
        QCOMPARE(ws.NodeName[ws.LinkOrigin[2]], std::string("C"));
        QCOMPARE(ws.NodeName[ws.LinkDest[2]], std::string("D"));
        QCOMPARE(ws.NodeName[ws.LinkDest[1]], std::string("C"));
        QVERIFY(ws.DataNotSaved);
        QVERIFY(!ws.NetworkChanged);
    }

    void theChoosersLinkButtonFollowsTheNodeCount() {
        AddNodes(w->session.ws, {"A"});
        OpenNodeWindow();
        QVERIFY(!linkButton()->isEnabled());
        AddByHand(QStringLiteral("B"));
        QVERIFY(linkButton()->isEnabled());
        QVERIFY(w->chooser.isVisible());
        QTest::mouseClick(Child<QPushButton>(&w->nodes, "QuitButton"), Qt::LeftButton);
        QVERIFY(!w->nodes.isVisible());
        QVERIFY(w->chooser.isVisible());
    }

    void tabOrderRunsFromTheNameToTheList() {
        OpenNodeWindow();
        name()->setFocus(Qt::OtherFocusReason);
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited,
                 (QStringList{"NodeName", "AddButton", "RemoveButton", "QuitButton", "NodeList"}));
    }

    void choosersQuitSetsTheProblemButtons() {
        kav::Workspace& ws = w->session.ws;
        AddNodes(ws, {"A", "B"});
        AddLinks(ws, {{1, 2, 0, 5, 1, 0}});
        w->mainMenu.hide();
        QVERIFY(ShowActive(&w->chooser));
        QVERIFY(PressAlt(&w->chooser, Qt::Key_Q));
        QVERIFY(!w->chooser.isVisible());
        QVERIFY(w->mainMenu.isVisible());
        AddLinks(ws, {{2, 1, 0, 5, 1, 0}});
        QVERIFY(ShowActive(&w->chooser));
        QTest::mouseClick(Child<QPushButton>(&w->chooser, "QuitButton"), Qt::LeftButton);
        QCOMPARE(w->problemButtons, (std::vector<bool>{false, true}));
        QVERIFY(!ws.DataNotSaved);
    }

    void theChooserRefusesTheLinkWindowAtTheLinkLimit() {
        kav::Workspace& ws = w->session.ws;
        AddNodes(ws, {"A", "B"});
        SetProblemSize(ws, kav::MaxLinks, ws.NodeCount);
        for (int k = 1; k <= kav::MaxLinks; ++k) {
            ChangeLink(ws, k, &kav::LinkData::Origin, 1);
            ChangeLink(ws, k, &kav::LinkData::Dest, 2);
        }
        QVERIFY(ShowActive(&w->chooser));
        QVERIFY(PressAlt(&w->chooser, Qt::Key_L));
        QCOMPARE(w->Texts(), std::vector<std::string>{
                                 "Maximum number of links have been added ... Sorry ... "});
        QVERIFY(!w->links.isVisible());
        SetProblemSize(ws, 1, ws.NodeCount);
        QVERIFY(PressAlt(&w->chooser, Qt::Key_L));
        QVERIFY(w->links.isVisible());
    }
};

QTEST_MAIN(TestNodeAdd)
#include "tst_nodeadd.moc"

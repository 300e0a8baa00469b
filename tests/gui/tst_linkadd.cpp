#include "EditingFixture.h"

namespace {

const std::string Conversion =
    "message Specified value did not convert correctly... Warning\rDefault value used and shown";
const std::string BoundRange = "message Invalid Parameter Value.  Must have 0 <= X <= 2147483647";
const std::string CostRange =
    "message Invalid Parameter Value.  Must have -100000000 <= X <= 100000000";

}  // namespace

class TestLinkAdd : public QObject {
    Q_OBJECT
    std::unique_ptr<EditingWindows> w;

    QWidget* win() { return &w->links; }
    QLineEdit* field(const char* name) { return Child<QLineEdit>(win(), name); }
    QListWidget* list(const char* name) { return Child<QListWidget>(win(), name); }
    QPushButton* button(const char* name) { return Child<QPushButton>(win(), name); }

    void OpenLinkWindow() {
        QVERIFY(ShowActive(&w->chooser));
        QTest::mouseClick(Child<QPushButton>(&w->chooser, "LinkButton"), Qt::LeftButton);
        QVERIFY(w->links.isVisible());
        QVERIFY(QTest::qWaitForWindowActive(win()));
    }

    void PickEnds(int origin, int dest) {
        ClickLine(list("OriginList"), origin - 1);
        ClickLine(list("DestinationList"), dest - 1);
    }

    void AddLinkByClick() { QTest::mouseClick(button("AddLink"), Qt::LeftButton); }

  private slots:
    void init() {
        w = std::make_unique<EditingWindows>();
        AddNodes(w->session.ws, {"Boston", "Chicago He", "Denver"});
    }
    void cleanup() { w.reset(); }

    void listsShowNodesAndLinks() {
        AddLinks(w->session.ws, {{1, 2, 0, 10, -25, 0}, {3, 1, 123456, 2147483647, 7, 0}});
        OpenLinkWindow();
        const QStringList nodes{"   1   Boston", "   2   Chicago He", "   3   Denver"};
        QCOMPARE(Lines(list("OriginList")), nodes);
        QCOMPARE(Lines(list("DestinationList")), nodes);
        QCOMPARE(Lines(list("LinkList")),
                 (QStringList{"   1      Boston  Chicago He      0     10       -25",
                              "   2      Denver      Boston  123456  2147483647         7"}));
    }

    void fieldValuesAreConvertedWhenLeft_data() {
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("taken");
        QTest::addColumn<QStringList>("events");
        const QString conv = QString::fromStdString(Conversion);
        const QString beep64 = "beep 64", beep0 = "beep 0";
        QTest::newRow("leading zeros") << "LowerBound"
                                       << "007"
                                       << "7" << 7 << QStringList{beep64, conv};
        QTest::newRow("a decimal fraction") << "UnitCost"
                                            << "1.5"
                                            << "0" << 0 << QStringList{beep64, conv};
        QTest::newRow("negative bound")
            << "LowerBound"
            << "-5"
            << "0" << 0 << QStringList{QString::fromStdString(BoundRange)};
        // The key filter drops the plus sign, the dollar sign, hex letters and x.
        QTest::newRow("plus sign") << "UnitCost"
                                   << "+7"
                                   << "7" << 7 << QStringList{beep0};
        QTest::newRow("dollar hex") << "UpperBound"
                                    << "$1F"
                                    << "1" << 1 << QStringList{beep0, beep0};
        QTest::newRow("0x hex") << "UnitCost"
                                << "0x10"
                                << "10" << 10 << QStringList{beep0, beep64, conv};
        QTest::newRow("eleven digits") << "UpperBound"
                                       << "12345678901"
                                       << "0" << 0 << QStringList{beep64, conv};
        QTest::newRow("ten digits past 32 bits") << "UpperBound"
                                                 << "2147483648"
                                                 << "0" << 0 << QStringList{beep64, conv};
        QTest::newRow("largest bound") << "UpperBound"
                                       << "2147483647"
                                       << "2147483647" << 2147483647 << QStringList{};
        QTest::newRow("lowest cost") << "UnitCost"
                                     << "-100000000"
                                     << "-100000000" << -100000000 << QStringList{};
        QTest::newRow("cost below range")
            << "UnitCost"
            << "-100000001"
            << "0" << 0 << QStringList{QString::fromStdString(CostRange)};
        QTest::newRow("both warnings")
            << "LowerBound"
            << "-05"
            << "0" << 0 << QStringList{beep64, conv, QString::fromStdString(BoundRange)};
        QTest::newRow("minus zero") << "UnitCost"
                                    << "-0"
                                    << "0" << 0 << QStringList{beep64, conv};
    }

    void fieldValuesAreConvertedWhenLeft() {
        QFETCH(QString, fieldName);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, taken);
        QFETCH(QStringList, events);
        OpenLinkWindow();
        QLineEdit* edited = field(qPrintable(fieldName));
        TypeAndLeave(edited, typed);
        QCOMPARE(edited->text(), shown);
        QStringList seen;
        for (const std::string& event : w->prompts.events)
            seen << QString::fromStdString(event);
        QCOMPARE(seen, events);
        for (const auto& message : w->prompts.messages) {
            QCOMPARE(message.kind, kav::MsgKind::Warning);
        }

        // The taken value is what Add Link uses.
        if (fieldName == "LowerBound")
            TypeAndLeave(field("UpperBound"), "2147483647");
        PickEnds(1, 2);
        AddLinkByClick();
        const kav::Workspace& ws = w->session.ws;
        QCOMPARE(ws.LinkCount, 1);
        const int32_t value = fieldName == "UnitCost"     ? ws.LinkCost[1]
                              : fieldName == "LowerBound" ? ws.LinkLower[1]
                                                          : ws.LinkUpper[1];
        QCOMPARE(value, taken);
    }

    void quitIsDisabledFromAKeyPressUntilAFieldIsLeft() {
        OpenLinkWindow();
        QPushButton* quit = button("QuitButton");
        QTest::mouseClick(field("UnitCost"), Qt::LeftButton);
        QVERIFY(quit->isEnabled());
        QTest::keyClick(field("UnitCost"), Qt::Key_Left);  // moving the cursor types nothing
        QVERIFY(quit->isEnabled());
        QTest::keyClick(field("UnitCost"), Qt::Key_5);
        QVERIFY(!quit->isEnabled());
        QVERIFY(PressAlt(win(), Qt::Key_Q));  // Quit is disabled: nothing happens
        QVERIFY(w->links.isVisible());
        QTest::keyClick(field("UnitCost"), Qt::Key_Tab);
        QVERIFY(quit->isEnabled());
        QVERIFY(field("LowerBound")->hasFocus());
        // A discarded key still counts as a key press.
        QTest::keyClick(field("LowerBound"), Qt::Key_A);
        QVERIFY(!quit->isEnabled());
        QCOMPARE(field("LowerBound")->text(), QString());
        QCOMPARE(w->prompts.beeps, std::vector<unsigned>{0});
        QTest::mouseClick(field("UpperBound"), Qt::LeftButton);
        QVERIFY(quit->isEnabled());
        QVERIFY(PressAlt(win(), Qt::Key_Q));
        QVERIFY(!w->links.isVisible());
        QVERIFY(w->chooser.isVisible());
    }

    // A key with Alt, Ctrl or Meta that no enabled accelerator takes neither
    // acts nor types, with the filter's beep: "12", Alt+Q (Quit is off once a
    // key was typed), Alt+A adds the link with 12 and no warning. Enter checks
    // the field as leaving it would, then adds the link as Alt+A does.
    void keysAfterANumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QStringList>("events");
        const Qt::KeyboardModifiers alt(Qt::AltModifier);
        const QStringList beep{"beep 0"};
        QTest::newRow("Alt+Q, Quit off") << "12" << Qt::Key_Q << alt << beep;
        QTest::newRow("Alt+X") << "12" << Qt::Key_X << alt << beep;
        QTest::newRow("Alt+digit") << "12" << Qt::Key_5 << alt << beep;
        QTest::newRow("Shift+Alt+Q") << "12" << Qt::Key_Q << (alt | Qt::ShiftModifier) << beep;
        QTest::newRow("Ctrl+V") << "12" << Qt::Key_V << Qt::KeyboardModifiers(Qt::ControlModifier)
                                << beep;
        QTest::newRow("Meta+Q") << "12" << Qt::Key_Q << Qt::KeyboardModifiers(Qt::MetaModifier)
                                << beep;
        QTest::newRow("Alt alone") << "12" << Qt::Key_Alt << alt << QStringList{};
        QTest::newRow("Return") << "12" << Qt::Key_Return << Qt::KeyboardModifiers()
                                << QStringList{};
        QTest::newRow("keypad Enter")
            << "12" << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier) << QStringList{};
        QTest::newRow("Return warns first")
            << "012" << Qt::Key_Return << Qt::KeyboardModifiers()
            << QStringList{"beep 64", QString::fromStdString(Conversion)};
    }
    void keysAfterANumber() {
        QFETCH(QString, typed);
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QStringList, events);
        OpenLinkWindow();
        PickEnds(1, 2);
        QTest::mouseClick(field("UnitCost"), Qt::LeftButton);
        QTest::keyClicks(field("UnitCost"), typed);
        QTest::keyClick(field("UnitCost"), key, modifiers);
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        QCOMPARE(w->session.ws.LinkCount, enter ? 1 : 0);
        if (!enter)
            QVERIFY(PressAlt(win(), Qt::Key_A));
        QCOMPARE(w->session.ws.LinkCount, 1);
        QCOMPARE(w->session.ws.LinkCost[1], 12);
        QCOMPARE(field("UnitCost")->text(), QStringLiteral("12"));
        QStringList seen;
        for (const std::string& event : w->prompts.events)
            seen << QString::fromStdString(event);
        QCOMPARE(seen, events);
    }

    void emptyFieldsGiveAZeroLink() {
        OpenLinkWindow();
        PickEnds(3, 1);
        AddLinkByClick();
        const kav::Workspace& ws = w->session.ws;
        QCOMPARE(ws.LinkCount, 1);
        QCOMPARE(ws.LinkOrigin[1], 3);
        QCOMPARE(ws.LinkDest[1], 1);
        QCOMPARE(ws.LinkLower[1] | ws.LinkUpper[1] | ws.LinkCost[1] | ws.LinkFlow[1], 0);
        QVERIFY(ws.DataNotSaved && ws.NetworkChanged);
        QVERIFY(w->prompts.events.empty());
    }

    void addLinkChecksTheEndsAndTheBounds() {
        OpenLinkWindow();
        AddLinkByClick();
        ClickLine(list("OriginList"), 0);
        AddLinkByClick();
        ClickLine(list("DestinationList"), 0);
        AddLinkByClick();
        TypeAndLeave(field("LowerBound"), "10");
        TypeAndLeave(field("UpperBound"), "5");
        PickEnds(1, 2);
        AddLinkByClick();
        QCOMPARE(w->Texts(),
                 (std::vector<std::string>{
                     "You must select an origin node for the link to add",
                     "You must select a destination node for the link to add",
                     "The origin and destination nodes must differ ... TRY AGAIN ... ",
                     "Upper bound (5) must be greater than or equal to the lower bound (10)\r"
                     "TRY AGAIN ... "}));
        QCOMPARE(w->session.ws.LinkCount, 0);
        QVERIFY(!w->session.ws.DataNotSaved);
    }

    void parallelLinksAreAddedAndTheSelectionIsCleared() {
        OpenLinkWindow();
        TypeAndLeave(field("UnitCost"), "-4");
        TypeAndLeave(field("LowerBound"), "1");
        TypeAndLeave(field("UpperBound"), "9");
        PickEnds(1, 2);
        AddLinkByClick();
        AddLinkByClick();
        QCOMPARE(w->Texts(),
                 std::vector<std::string>{"You must select an origin node for the link to add"});
        PickEnds(1, 2);
        AddLinkByClick();
        QCOMPARE(Lines(list("LinkList")),
                 (QStringList{"   1      Boston  Chicago He      1      9        -4",
                              "   2      Boston  Chicago He      1      9        -4"}));
        QCOMPARE(field("UnitCost")->text(), QStringLiteral("-4"));
    }

    // The link just added is in sight, however long the table, and not
    // chosen; a reader hears each line with its column names.
    void theNewLinkIsScrolledIntoSight() {
        for (int k = 0; k < 40; ++k)
            AddLinks(w->session.ws, {{1, 2, 0, 10, 1, 0}});
        OpenLinkWindow();
        PickEnds(3, 1);
        AddLinkByClick();
        QListWidget* table = list("LinkList");
        QCOMPARE(table->count(), 41);
        QVERIFY(table->viewport()->rect().contains(table->visualItemRect(table->item(40))));
        QVERIFY(table->selectedItems().isEmpty());
        QCOMPARE(table->item(40)->data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("link 41, origin Denver, destination Boston, lower 0, upper 0, "
                                "cost 0"));
    }

    void typedValuesCountWhenAddLinkIsPressedByItsAccelerator() {
        OpenLinkWindow();
        PickEnds(2, 3);
        TypeAndLeave(field("LowerBound"), "3");
        QTest::mouseClick(field("UpperBound"), Qt::LeftButton);
        QTest::keyClicks(field("UpperBound"), "025");
        QVERIFY(PressAlt(win(), Qt::Key_A));
        const kav::Workspace& ws = w->session.ws;
        QCOMPARE(ws.LinkCount, 1);
        QCOMPARE(ws.LinkUpper[1], 25);
        QCOMPARE(field("UpperBound")->text(), QStringLiteral("25"));
        QCOMPARE(w->prompts.beeps, std::vector<unsigned>{64});
        QVERIFY(button("QuitButton")->isEnabled());
    }

    // The press moves the focus out of the field, whose warning then shows;
    // the user lets go of the mouse over the box, so the press alone must
    // carry the click on, as Alt+A would, and leave the button up.
    void aClickThatLeavesAFieldWithAWarningStillAddsTheLink() {
        OpenLinkWindow();
        PickEnds(1, 2);
        TypeAndLeave(field("UpperBound"), "10");
        QTest::mouseClick(field("LowerBound"), Qt::LeftButton);
        QTest::keyClicks(field("LowerBound"), "007");
        QTest::mousePress(button("AddLink"), Qt::LeftButton);
        QCOMPARE(w->prompts.events, (std::vector<std::string>{"beep 64", Conversion}));
        const kav::Workspace& ws = w->session.ws;
        QCOMPARE(ws.LinkCount, 1);
        QCOMPARE(ws.LinkLower[1], 7);
        QVERIFY(!button("AddLink")->isDown());
        QTest::mouseRelease(button("AddLink"), Qt::LeftButton);
        QCOMPARE(ws.LinkCount, 1);
        // The lists were refilled: nothing is chosen, and nothing looks chosen.
        QVERIFY(!list("OriginList")->currentIndex().isValid());
    }

    void theNodeWindowKeepsTheNodeListsOfAnOpenLinkWindowCurrent() {
        OpenLinkWindow();
        QTest::mouseClick(Child<QPushButton>(&w->chooser, "NodeBUtton"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(&w->nodes));
        ClickLine(Child<QListWidget>(&w->nodes, "NodeList"), 0);
        QTest::mouseClick(Child<QPushButton>(&w->nodes, "RemoveButton"), Qt::LeftButton);
        TypeAndLeave(Child<QLineEdit>(&w->nodes, "NodeName"), "Erie");
        QTest::mouseClick(Child<QPushButton>(&w->nodes, "AddButton"), Qt::LeftButton);
        const QStringList nodes{"   1   Chicago He", "   2   Denver", "   3   Erie"};
        QCOMPARE(Lines(list("OriginList")), nodes);
        QCOMPARE(Lines(list("DestinationList")), nodes);

        // A link picked from the refreshed lists joins the nodes they show.
        w->links.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(win()));
        PickEnds(3, 1);
        AddLinkByClick();
        const kav::Workspace& ws = w->session.ws;
        QCOMPARE(ws.LinkCount, 1);
        QCOMPARE(ws.NodeName[ws.LinkOrigin[1]], std::string("Erie"));
        QCOMPARE(ws.NodeName[ws.LinkDest[1]], std::string("Chicago He"));
        QVERIFY(w->prompts.events.empty());
    }

    void removingALinkMovesTheLaterOnesDownWithTheirFlows() {
        kav::Workspace& ws = w->session.ws;
        AddLinks(ws, {{1, 2, 0, 5, 1, 4}, {2, 3, 1, 6, 2, 5}, {3, 1, 2, 7, 3, 6}});
        OpenLinkWindow();
        // Remove by its accelerator takes the focused field's value in first.
        QTest::mouseClick(field("LowerBound"), Qt::LeftButton);
        QTest::keyClicks(field("LowerBound"), "09");
        QVERIFY(PressAlt(win(), Qt::Key_R));
        QCOMPARE(w->prompts.events, (std::vector<std::string>{
                                        "beep 64", Conversion,
                                        "message You must select a link from the list to remove"}));
        QCOMPARE(field("LowerBound")->text(), QStringLiteral("9"));
        QVERIFY(button("QuitButton")->isEnabled());
        QCOMPARE(ws.LinkCount, 3);
        ClickLine(list("LinkList"), 0);
        QTest::mouseClick(button("RemoveLinkButton"), Qt::LeftButton);
        QCOMPARE(Lines(list("LinkList")),
                 (QStringList{"   1  Chicago He      Denver      1      6         2",
                              "   2      Denver      Boston      2      7         3"}));
        QCOMPARE(ws.LinkFlow[1], 5);
        QCOMPARE(ws.LinkFlow[2], 6);
        QVERIFY(ws.DataNotSaved);
        QVERIFY(ws.NetworkChanged);  // the removed link carried flow
    }

    void aFullLinkTableRefusesTheLink() {
        OpenLinkWindow();
        kav::Workspace& ws = w->session.ws;
        SetProblemSize(ws, kav::MaxLinks, ws.NodeCount);  // reached while the window is open
        for (int k = 1; k <= kav::MaxLinks; ++k) {
            ChangeLink(ws, k, &kav::LinkData::Origin, 1);
            ChangeLink(ws, k, &kav::LinkData::Dest, 2);
        }
        PickEnds(1, 2);
        AddLinkByClick();
        QCOMPARE(w->Texts(), std::vector<std::string>{"The number of links is already equal to "
                                                      "the maximum number allowed ... SORRY"});
        QCOMPARE(ws.LinkCount, kav::MaxLinks);
    }

    void tabOrderAndKeptFieldsBetweenVisits() {
        OpenLinkWindow();
        list("OriginList")->setFocus(Qt::OtherFocusReason);
        QStringList visited;
        for (int i = 0; i < 9; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, (QStringList{"OriginList", "DestinationList", "UnitCost", "LowerBound",
                                       "UpperBound", "LinkList", "AddLink", "RemoveLinkButton",
                                       "QuitButton"}));
        TypeAndLeave(field("UnitCost"), "12");
        QTest::mouseClick(button("QuitButton"), Qt::LeftButton);
        OpenLinkWindow();
        QCOMPARE(field("UnitCost")->text(), QStringLiteral("12"));
        PickEnds(1, 3);
        AddLinkByClick();
        QCOMPARE(w->session.ws.LinkCost[1], 12);
    }

    void theChoosersQuitClosesTheLinkWindowTakingTheTypedValue() {
        OpenLinkWindow();
        QTest::mouseClick(field("UnitCost"), Qt::LeftButton);
        QTest::keyClicks(field("UnitCost"), "05");
        QVERIFY(!button("QuitButton")->isEnabled());
        w->chooser.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w->chooser));
        QTest::mouseClick(Child<QPushButton>(&w->chooser, "QuitButton"), Qt::LeftButton);
        QVERIFY(!w->links.isVisible());
        QVERIFY(w->mainMenu.isVisible());
        QCOMPARE(field("UnitCost")->text(), QStringLiteral("5"));
        QVERIFY(button("QuitButton")->isEnabled());
        OpenLinkWindow();
        PickEnds(1, 2);
        AddLinkByClick();
        QCOMPARE(w->session.ws.LinkCost[1], 5);
    }
};

QTEST_MAIN(TestLinkAdd)
#include "tst_linkadd.moc"

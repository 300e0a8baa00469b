#include <gtest/gtest.h>

#include "editing/EditingLines.h"
#include "editing/EditingOps.h"
#include "editing/ValidateIntegerField.h"
#include "support/ProblemBuilder.h"
#include "support/ScriptedPrompts.h"
#include "workspace/TextEncoding.h"

using namespace kav;

namespace {

const std::string ConversionWarning =
    "Specified value did not convert correctly... Warning\rDefault value used and shown";

std::string RangeWarning(int32_t low, int32_t high) {
    return "Invalid Parameter Value.  Must have " + std::to_string(low) +
           " <= X <= " + std::to_string(high);
}

struct Case {
    std::string typed;
    int32_t current;
    int32_t low, high;
    int32_t value;
    std::string shown;
    std::vector<std::string> events;
};

}  // namespace

TEST(ConvertIntegerText, AcceptsDecimalSignsBlanksAndHexForms) {
    EXPECT_EQ(ConvertIntegerText("0"), 0);
    EXPECT_EQ(ConvertIntegerText("  -12"), -12);
    EXPECT_EQ(ConvertIntegerText("+7"), 7);
    EXPECT_EQ(ConvertIntegerText("$1F"), 31);
    EXPECT_EQ(ConvertIntegerText("x1f"), 31);
    EXPECT_EQ(ConvertIntegerText("X10"), 16);
    EXPECT_EQ(ConvertIntegerText("0x10"), 16);
    EXPECT_EQ(ConvertIntegerText("0X7fffffff"), 2147483647);
    EXPECT_EQ(ConvertIntegerText("-$10"), -16);
    EXPECT_EQ(ConvertIntegerText("2147483647"), 2147483647);
    EXPECT_EQ(ConvertIntegerText("-2147483648"), INT32_MIN);
    EXPECT_EQ(ConvertIntegerText("00000000000000000000005"), 5);
}

TEST(ConvertIntegerText, RefusesEverythingElse) {
    for (const char* text : {"",
                             "   ",
                             "-",
                             "+",
                             "1.5",
                             "12 ",
                             "1-",
                             "--1",
                             "+-1",
                             "$",
                             "0x",
                             "x",
                             "$G",
                             "1e3",
                             "2147483648",
                             "-2147483649",
                             "99999999999",
                             "$80000000",
                             "0x1FFFFFFFFFFFFFFFF",
                             "12a",
                             " - 1"}) {
        EXPECT_EQ(ConvertIntegerText(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(ValidateIntegerField, RewritesWarnsAndRangeChecksInOrder) {
    const std::string beep = "beep 64";
    const std::string conv = "message " + ConversionWarning;
    const std::string bounds = "message " + RangeWarning(0, 2147483647);
    const std::string costs = "message " + RangeWarning(-100000000, 100000000);
    const Case cases[] = {
        {"", 5, 0, BoundHigh, 5, "", {}},
        {"42", 0, 0, BoundHigh, 42, "42", {}},
        {"007", 0, 0, BoundHigh, 7, "7", {beep, conv}},
        {"1.5", 0, CostLow, CostHigh, 0, "0", {beep, conv}},
        {"1.5", 9, 0, BoundHigh, 9, "9", {beep, conv}},
        {"-5", 0, 0, BoundHigh, 0, "0", {bounds}},
        {"+7", 0, 0, BoundHigh, 7, "7", {beep, conv}},
        {"$1F", 0, 0, BoundHigh, 31, "31", {beep, conv}},
        {"0x10", 0, 0, BoundHigh, 16, "16", {beep, conv}},
        {"  3", 0, 0, BoundHigh, 3, "3", {beep, conv}},
        {"-0", 0, 0, BoundHigh, 0, "0", {beep, conv}},
        {"21474836470", 0, 0, BoundHigh, 0, "0", {beep, conv}},
        {"2147483648", 0, 0, BoundHigh, 0, "0", {beep, conv}},
        {"2147483647", 0, 0, BoundHigh, 2147483647, "2147483647", {}},
        {"-100000000", 0, CostLow, CostHigh, -100000000, "-100000000", {}},
        {"-100000001", 0, CostLow, CostHigh, 0, "0", {costs}},
        {"-100000001", 25, CostLow, CostHigh, 25, "25", {costs}},
        // Both warnings, the conversion warning first.
        {"-05", 3, 0, BoundHigh, 3, "3", {beep, conv, bounds}},
        {"...", 4, 0, BoundHigh, 4, "4", {beep, conv}},
    };
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        const FieldValue result =
            ValidateIntegerField(c.typed, c.current, c.low, c.high).ShowTo(prompts);
        EXPECT_EQ(result.value, c.value) << '"' << c.typed << '"';
        EXPECT_EQ(result.text, c.shown) << '"' << c.typed << '"';
        EXPECT_EQ(prompts.events, c.events) << '"' << c.typed << '"';
        for (const auto& shown : prompts.messages) {
            EXPECT_EQ(shown.kind, MsgKind::Warning);
            EXPECT_EQ(shown.buttons, MsgButtons::Ok);
        }
    }
}

TEST(ValidateIntegerField, AnOutOfRangeCurrentValueIsReportedWhenTheTextDoesNotConvert) {
    // A file can hold a negative bound; a text that does not convert falls back
    // to it and the range check then refuses it, leaving it as it was.
    ScriptedPrompts prompts;
    const FieldValue result = ValidateIntegerField("abc", -3, 0, BoundHigh).ShowTo(prompts);
    EXPECT_EQ(result.value, -3);
    EXPECT_EQ(result.text, "-3");
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].text, RangeWarning(0, 2147483647));
}

namespace {

ProblemBuilder ThreeNodes(Workspace& ws) {
    return ProblemBuilder(ws).Node("Boston").Node("Chicago He").Node("Denver");
}

}  // namespace

TEST(EditingLines, NodeAndCountLines) {
    Workspace ws;
    ThreeNodes(ws);
    EXPECT_EQ(NodeListLine(ws, 2), "   2   Chicago He");
    SetProblemSize(ws, ws.LinkCount, 2010);
    SetNodeName(ws, 2010, "Last");
    EXPECT_EQ(NodeListLine(ws, 2010), "2010   Last");
    EXPECT_EQ(NodeCountText(0), "0 Nodes have been specified");
    EXPECT_EQ(NodeCountText(2010), "2010 Nodes have been specified");
}

TEST(EditingLines, LinkTableLineKeepsLongNumbersWhole) {
    Workspace ws;
    ThreeNodes(ws).Link(1, 2, 0, 10, -25).Link(3, 1, 123456, 2147483647, -100000000);
    EXPECT_EQ(LinkTableLine(ws, 1), "   1      Boston  Chicago He      0     10       -25");
    EXPECT_EQ(LinkTableLine(ws, 2), "   2      Denver      Boston  123456  2147483647  -100000000");
}

TEST(EditingLines, ChangeListLineShowsMarkedLinksNegative) {
    Workspace ws;
    ThreeNodes(ws).Link(1, 2, 0, 10, -25).Link(3, 1, 5, 20, 7);
    ChangeLink(ws, 2, &kav::LinkData::Origin, -3);
    EXPECT_EQ(ChangeListLine(ws, 1), "   1     Boston Chicago He     0         10       -25");
    EXPECT_EQ(ChangeListLine(ws, 2), "  -2     Denver     Boston     5         20         7");
    EXPECT_EQ(ChangeListHeader(), "Link #     Orig       Dest   MinFlow   MaxFlow   UnitCost");
    EXPECT_EQ(RemovalCountText(1), "1 Links Designated for Removal");
}

TEST(FindNodeByName, ExactCaseSensitiveAndCutToTwelve) {
    Workspace ws;
    ThreeNodes(ws);
    SetNodeName(ws, 3, "ABCDEFGHIJKL");
    EXPECT_EQ(FindNodeByName(ws, "Boston"), 1);
    EXPECT_EQ(FindNodeByName(ws, "boston"), 0);
    EXPECT_EQ(FindNodeByName(ws, " Boston"), 0);
    EXPECT_EQ(FindNodeByName(ws, "ABCDEFGHIJKLMN"), 3);
    EXPECT_EQ(FindNodeByName(ws, "ABCDEFGHIJ"), 0);
    EXPECT_EQ(FindNodeByName(Workspace{}, "Boston"), 0);
}

TEST(AddNode, RefusesDuplicatesAndAFullTable) {
    Workspace ws;
    ThreeNodes(ws);
    ScriptedPrompts prompts;
    EXPECT_FALSE(AddNode(ws, "").ShowTo(prompts));
    EXPECT_TRUE(prompts.events.empty());
    EXPECT_FALSE(AddNode(ws, "Chicago He").ShowTo(prompts));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              "Node [Chicago He ] already exists... TRY AGAIN...\r"
              "Note that names are only unique up to the first 10 characters");
    EXPECT_FALSE(ws.DataNotSaved);

    SetPotential(ws, 4, 99);  // a leftover that the new node must not inherit
    EXPECT_TRUE(AddNode(ws, "chicago he").ShowTo(prompts));
    EXPECT_EQ(ws.NodeCount, 4);
    EXPECT_EQ(ws.NodePotential[4], 0);
    EXPECT_TRUE(ws.DataNotSaved);

    SetProblemSize(ws, ws.LinkCount, MaxNodes);
    prompts.Clear();
    EXPECT_FALSE(AddNode(ws, "One more").ShowTo(prompts));
    EXPECT_EQ(prompts.messages.at(0).text,
              "Too many nodes...Only 2010 are permitted...WARNING...TRY AGAIN");
}

TEST(RemoveNode, RefusesANodeThatLinksUse) {
    Workspace ws;
    ThreeNodes(ws).Link(1, 2, 0, 5, 1).Link(3, 2, 0, 5, 1);
    ScriptedPrompts prompts;
    EXPECT_FALSE(RemoveNode(ws, 0).ShowTo(prompts));
    EXPECT_EQ(prompts.messages.at(0).kind, MsgKind::Information);
    EXPECT_EQ(prompts.messages.at(0).text, "You must select a node from the list to remove a node");
    // A number past the last node (a list out of date) selects nothing either.
    EXPECT_FALSE(RemoveNode(ws, 4).ShowTo(prompts));
    EXPECT_EQ(prompts.messages.at(1).text, prompts.messages.at(0).text);
    prompts.Clear();
    EXPECT_FALSE(RemoveNode(ws, 2).ShowTo(prompts));
    EXPECT_EQ(prompts.messages.at(0).text,
              "Node [Chicago He ] is used by 2 links and was not removed\r"
              "Remove or re-route those links first");
    EXPECT_FALSE(RemoveNode(ws, 1).ShowTo(prompts));
    EXPECT_EQ(prompts.messages.at(1).text,
              "Node [Boston ] is used by 1 link and was not removed\r"
              "Remove or re-route that link first");
    EXPECT_EQ(ws.NodeCount, 3);
    EXPECT_FALSE(ws.DataNotSaved);
}

// Names are Latin-1 bytes; the texts the prompts show are UTF-8.
TEST(NodeMessages, NamesEnterTheTextAsUtf8) {
    Workspace ws;
    ThreeNodes(ws).Node("Z\xFCrich\xFF").Link(4, 1, 0, 5, 1);
    ScriptedPrompts prompts;
    EXPECT_FALSE(AddNode(ws, "Z\xFCrich\xFF").ShowTo(prompts));
    EXPECT_FALSE(RemoveNode(ws, 4).ShowTo(prompts));
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text.rfind("Node [Z\xC3\xBCrich\xC3\xBF ] already exists", 0),
              0u);
    EXPECT_EQ(prompts.messages[1].text.rfind("Node [Z\xC3\xBCrich\xC3\xBF ] is used by 1 link", 0),
              0u);
    EXPECT_EQ(Latin1ToUtf8(std::string("a\0\x7F\x80", 4)), std::string("a\0\x7F\xC2\x80", 5));
}

TEST(RemoveNode, AnUnusedNodeLeavesEveryLinkJoiningTheSameNames) {
    Workspace ws;
    ThreeNodes(ws).Node("Erie").Link(1, 3, 0, 5, 1).Link(4, 1, 0, 5, 1).Link(3, 4, 0, 5, 1);
    for (int32_t n = 1; n <= 4; ++n)
        SetPotential(ws, n, 10 * n);
    ChangeLink(ws, 3, &kav::LinkData::Origin, -3);  // marked links keep their mark
    ScriptedPrompts prompts;
    ASSERT_TRUE(RemoveNode(ws, 2).ShowTo(prompts));
    EXPECT_TRUE(prompts.events.empty());
    EXPECT_EQ(ws.NodeCount, 3);
    EXPECT_TRUE(ws.DataNotSaved);
    EXPECT_EQ(ws.NodeName[2], "Denver");
    EXPECT_EQ(ws.NodePotential[2], 30);
    EXPECT_EQ(ws.NodePotential[3], 40);
    EXPECT_EQ(LinkTableLine(ws, 1).substr(0, 30), "   1      Boston      Denver  ");
    EXPECT_EQ(ws.LinkOrigin[2], 3);
    EXPECT_EQ(ws.LinkDest[2], 1);
    EXPECT_EQ(ws.LinkOrigin[3], -2);
    EXPECT_EQ(ws.LinkDest[3], 3);

    ASSERT_TRUE(RemoveNode(ws, 3).ShowTo(prompts) == false);  // Erie is used
}

TEST(AddLink, ChecksRunInOrderAndTheFirstFailureAddsNothing) {
    Workspace ws;
    ThreeNodes(ws);
    ScriptedPrompts prompts;
    const std::pair<NewLink, std::string> refused[] = {
        {{0, 0, 10, 5, 0}, "You must select an origin node for the link to add"},
        {{1, 0, 10, 5, 0}, "You must select a destination node for the link to add"},
        {{2, 2, 10, 5, 0}, "The origin and destination nodes must differ ... TRY AGAIN ... "},
        {{1, 2, 10, 5, 0},
         "Upper bound (5) must be greater than or equal to the lower bound (10)\rTRY AGAIN ... "},
        {{1, 2, -1, 5, 0}, "Lower bound must be greater than or equal to 0"},
        {{1, 2, -3, -1, 0}, "Lower bound must be greater than or equal to 0"},
    };
    for (const auto& [link, text] : refused) {
        prompts.Clear();
        EXPECT_FALSE(AddLink(ws, link).ShowTo(prompts));
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, text);
    }
    EXPECT_EQ(ws.LinkCount, 0);
    EXPECT_FALSE(ws.DataNotSaved || ws.NetworkChanged);

    SetProblemSize(ws, MaxLinks, ws.NodeCount);
    prompts.Clear();
    EXPECT_FALSE(AddLink(ws, {1, 2, 0, 5, 0}).ShowTo(prompts));
    EXPECT_EQ(prompts.messages.at(0).text,
              "The number of links is already equal to the maximum number allowed ... SORRY");
}

TEST(AddLink, AppendsParallelLinksWithFreshFlows) {
    Workspace ws;
    ThreeNodes(ws);
    SetFlow(ws, 1, 77);
    SetFlow(ws, 2, 77);
    ScriptedPrompts prompts;
    EXPECT_TRUE(AddLink(ws, {1, 2, 3, 9, -4}).ShowTo(prompts));
    EXPECT_TRUE(AddLink(ws, {1, 2, 3, 9, -4}).ShowTo(prompts));
    EXPECT_EQ(ws.LinkCount, 2);
    EXPECT_EQ(ws.LinkFlow[1], 0);
    EXPECT_EQ(ws.LinkFlow[2], 0);
    EXPECT_EQ(LinkTableLine(ws, 2), "   2      Boston  Chicago He      3      9        -4");
    EXPECT_TRUE(ws.DataNotSaved && ws.NetworkChanged);
}

TEST(RemoveLink, LaterLinksMoveDownWithTheirFlows) {
    Workspace ws;
    ThreeNodes(ws).Link(1, 2, 0, 5, 1, 4).Link(2, 3, 1, 6, 2, 5).Link(3, 1, 2, 7, 3, 6);
    ScriptedPrompts prompts;
    EXPECT_FALSE(RemoveLink(ws, 0).ShowTo(prompts));
    EXPECT_EQ(prompts.messages.at(0).text, "You must select a link from the list to remove");
    EXPECT_FALSE(RemoveLink(ws, 4).ShowTo(prompts));
    EXPECT_EQ(prompts.messages.at(1).text, prompts.messages.at(0).text);
    EXPECT_EQ(ws.LinkCount, 3);
    EXPECT_FALSE(ws.DataNotSaved);
    ASSERT_TRUE(RemoveLink(ws, 1).ShowTo(prompts));
    EXPECT_EQ(ws.LinkCount, 2);
    EXPECT_EQ(LinkTableLine(ws, 1), "   1  Chicago He      Denver      1      6         2");
    EXPECT_EQ(ws.LinkFlow[1], 5);
    EXPECT_EQ(ws.LinkFlow[2], 6);
    EXPECT_TRUE(ws.DataNotSaved);
    // The removed link carried flow: the flows left no longer balance.
    EXPECT_TRUE(ws.NetworkChanged);
}

TEST(RemoveLink, OnlyALinkWithFlowMakesTheSolutionStale) {
    Workspace ws;
    ThreeNodes(ws).Link(1, 2, 0, 5, 1, 0).Link(2, 3, 0, 5, 1, 3);
    ScriptedPrompts prompts;
    ASSERT_TRUE(RemoveLink(ws, 1).ShowTo(prompts));
    EXPECT_FALSE(ws.NetworkChanged);
    EXPECT_EQ(ws.LinkFlow[1], 3);
    ASSERT_TRUE(RemoveLink(ws, 1).ShowTo(prompts));
    EXPECT_TRUE(ws.NetworkChanged);
}

TEST(RemovalMarks, MarkedLinksGoAtRemovalAndKeepTheOthersInOrder) {
    Workspace ws;
    ProblemBuilder problem = ThreeNodes(ws);
    for (int32_t k = 1; k <= 5; ++k)
        problem.Link(1 + k % 3, 1 + (k + 1) % 3, k, 10 * k, k, 100 + k);
    ToggleRemovalMark(ws, 2);
    ToggleRemovalMark(ws, 4);
    ToggleRemovalMark(ws, 3);
    ToggleRemovalMark(ws, 3);
    EXPECT_TRUE(ws.NetworkChanged);
    EXPECT_EQ(MarkedLinkCount(ws), 2);
    RerouteOrigin(ws, 4, 1);  // a marked link stays marked
    EXPECT_EQ(ws.LinkOrigin[4], -1);
    RemoveMarkedLinks(ws);
    ASSERT_EQ(ws.LinkCount, 3);
    EXPECT_EQ(ws.LinkLower[1], 1);
    EXPECT_EQ(ws.LinkLower[2], 3);
    EXPECT_EQ(ws.LinkLower[3], 5);
    EXPECT_EQ(ws.LinkUpper[3], 50);
    EXPECT_EQ(ws.LinkFlow[2], 102);  // flows stay where they were
    EXPECT_EQ(MarkedLinkCount(ws), 0);
}

TEST(RemovalMarks, ALinkFromNodeZeroIsNoMarkAndStays) {
    // Its origin cannot be negated, so it was never marked for removal.
    Workspace ws;
    ThreeNodes(ws).Link(0, 2, 0, 10, 1).Link(1, 2, 0, 10, 1);
    ToggleRemovalMark(ws, 2);
    RemoveMarkedLinks(ws);
    ASSERT_EQ(ws.LinkCount, 1);
    EXPECT_EQ(ws.LinkOrigin[1], 0);
}

TEST(CommitLinkField, BoundsStayConsistentAndCostsNeedNoCheck) {
    Workspace ws;
    ThreeNodes(ws).Link(1, 2, 5, 20, 3);
    ScriptedPrompts prompts;
    EXPECT_FALSE(CommitLinkField(ws, 1, LinkField::Lower, "50").ShowTo(prompts));
    EXPECT_EQ(ws.LinkLower[1], 5);
    EXPECT_EQ(prompts.messages.at(0).text,
              "Lower bound must not exceed upper bound.\rNO CHANGE WILL BE MADE ... WARNING");
    EXPECT_FALSE(CommitLinkField(ws, 1, LinkField::Upper, "4").ShowTo(prompts));
    EXPECT_EQ(ws.LinkUpper[1], 20);
    EXPECT_EQ(prompts.messages.at(1).text,
              "Upper bound must not be less than lower bound.\rNO CHANGE WILL BE MADE ... WARNING");
    EXPECT_TRUE(CommitLinkField(ws, 1, LinkField::Lower, "20").ShowTo(prompts));
    EXPECT_EQ(ws.LinkLower[1], 20);
    EXPECT_TRUE(CommitLinkField(ws, 1, LinkField::Cost, "").ShowTo(prompts));
    EXPECT_EQ(ws.LinkCost[1], 3);
    EXPECT_TRUE(CommitLinkField(ws, 1, LinkField::Cost, "-100000000").ShowTo(prompts));
    EXPECT_EQ(ws.LinkCost[1], -100000000);
    EXPECT_EQ(prompts.messages.size(), 2u);
    EXPECT_FALSE(ws.NetworkChanged);
}

TEST(EditingLines, LinkEndsThatNameNoNodeAreShownByNumber) {
    Workspace ws;
    ThreeNodes(ws).Link(0, 2, 0, 10, 1).Link(2, 5000, 0, 10, 1);
    EXPECT_EQ(LinkTableLine(ws, 1), "   1          #0  Chicago He      0     10         1");
    EXPECT_EQ(ChangeListLine(ws, 2), "   2 Chicago He      #5000     0         10         1");
}

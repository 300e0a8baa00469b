#include <gtest/gtest.h>

#include <vector>

#include "solver/PadText.h"
#include "support/ProblemBuilder.h"
#include "workspace/NodeNames.h"
#include "workspace/NumberFormat.h"
#include "workspace/Workspace.h"

using namespace kav;

TEST(Workspace, StartsEmptyWithFlagsDown) {
    Workspace ws;
    EXPECT_EQ(ws.LinkCount, 0);
    EXPECT_EQ(ws.NodeCount, 0);
    EXPECT_EQ(ws.LinkFlow.size(), MaxLinks);
    EXPECT_EQ(ws.NodeName.size(), MaxNodes);
    EXPECT_FALSE(ws.DataNotSaved || ws.ResultsNotShown || ws.NetworkChanged || ws.Infeasible ||
                 ws.ChecksPassed);
}

TEST(Workspace, ClearSolutionZeroesWholeArraysIncludingLeftovers) {
    Workspace ws;
    SetProblemSize(ws, 2, 0);
    SetFlow(ws, MaxLinks, 7);  // a leftover
    SetFlow(ws, 1, 3);
    SetPotential(ws, MaxNodes, -4);
    NoteLinkRerouted(ws);
    ws.ClearSolution();
    EXPECT_EQ(ws.LinkFlow[MaxLinks], 0);
    EXPECT_EQ(ws.LinkFlow[1], 0);
    EXPECT_EQ(ws.NodePotential[MaxNodes], 0);
    EXPECT_FALSE(ws.NetworkChanged);
}

TEST(Workspace, EmptyingKeepsLeftoversAndClearsFlags) {
    Workspace ws;
    ProblemBuilder(ws).Node("A").Node("B").Link(1, 2, 0, 1, 9);
    NoteSolved(ws, true);
    NoteLinkAdded(ws);
    ws.Empty();
    EXPECT_EQ(ws.LinkCount, 0);
    EXPECT_EQ(ws.NodeCount, 0);
    EXPECT_EQ(ws.LinkCost[1], 9);
    EXPECT_EQ(ws.NodeName[2], "B");
    EXPECT_FALSE(ws.DataNotSaved || ws.ResultsNotShown || ws.NetworkChanged);
    EXPECT_TRUE(ws.Infeasible);
}

TEST(Workspace, IndexOutsideTheArraysIsARangeError) {
    Workspace ws;
    EXPECT_THROW(ws.LinkFlow[0], RangeError);
    EXPECT_THROW(ws.LinkFlow[MaxLinks + 1], RangeError);
    EXPECT_THROW(ws.NodeName[-1], RangeError);
    EXPECT_THROW(ws.NodePotential[MaxNodes + 1], RangeError);
}

TEST(CheckedArithmetic, OverflowIsReportedNotWrapped) {
    EXPECT_EQ(CheckedNarrow(int64_t{2147483647}), 2147483647);
    EXPECT_THROW(CheckedNarrow(int64_t{2147483647} + 1), IntegerOverflow);
    EXPECT_THROW(CheckedNarrow(int64_t{-2147483647} - 2), IntegerOverflow);
    EXPECT_STREQ(IntegerOverflow().what(), "Integer overflow");
}

TEST(Padding, PadsOnTheLeftAndNeverCuts) {
    EXPECT_EQ(PadNumber(120, 7), "    120");
    EXPECT_EQ(PadNumber(-5, 7), "     -5");
    EXPECT_EQ(PadNumber(12345678, 7), "12345678");
    EXPECT_EQ(PadNumber(-2147483647 - 1, 3), "-2147483648");
    EXPECT_EQ(PadText("AB", 4), "  AB");
    EXPECT_EQ(PadText("ABCDE", 4), "ABCDE");
    EXPECT_EQ(PadText("", 0), "");
}

TEST(NumberFormat, GroupsThousandsWithFixedDecimals) {
    EXPECT_EQ(FormatGrouped(0.11, 3), "0.110");
    EXPECT_EQ(FormatGrouped(12.345, 3), "12.345");
    EXPECT_EQ(FormatGrouped(1234.5, 3), "1,234.500");
    EXPECT_EQ(FormatGrouped(1234567.0, 0), "1,234,567");
    EXPECT_EQ(FormatGrouped(-1234567.0, 0), "-1,234,567");
    EXPECT_EQ(FormatGrouped(999.0, 0), "999");
}

// Separators are whole characters of any length in UTF-8: French groups with
// a narrow no-break space (three bytes), Arabic marks thousands and the
// decimal point with two-byte signs.
TEST(NumberFormat, SeparatorsAreWholeUtf8Characters) {
    const std::string narrowSpace = "\xE2\x80\xAF", arabicComma = "\xD9\xAC",
                      arabicPoint = "\xD9\xAB";
    const std::string french = FormatGrouped(-1234567.5, 3, {narrowSpace, ","});
    const std::string arabic = FormatGrouped(1234.5, 1, {arabicComma, arabicPoint});
    const std::string ungrouped = FormatGrouped(1234567.0, 0, {"", "."});
    EXPECT_EQ(french, "-1" + narrowSpace + "234" + narrowSpace + "567,500");
    EXPECT_EQ(arabic, "1" + arabicComma + "234" + arabicPoint + "5");
    EXPECT_EQ(ungrouped, "1234567");
}

// Outside the editing windows a node is found by its name, typed text and
// names both trimmed of blanks, when only one node has it; else by its
// number; else the nodes sharing the name are reported.
TEST(NodeSearch, AUniqueTrimmedNameThenANumberThenTheNamesakes) {
    Workspace ws;
    ProblemBuilder(ws)
        .Node("A")
        .Node(" B  ")
        .Node("C")
        .Node("C")
        .Node("2")
        .Node("D E")
        .Node("5")
        .Node("5")
        .Node("\tF");
    struct Case {
        const char* typed;
        int32_t node;
        std::vector<int32_t> namesakes;
    };
    const Case cases[] = {
        {"A", 1, {}},   {"  A ", 1, {}}, {"B", 2, {}},  {" B  ", 2, {}}, {"a", 0, {}},
        {"D E", 6, {}}, {"D", 0, {}},    {"2", 5, {}},  {"4", 4, {}},    {" 9 ", 9, {}},
        {"10", 0, {}},  {"0", 0, {}},    {"-1", 0, {}}, {"4x", 0, {}},   {"C", 0, {3, 4}},
        {"5", 5, {}},   {"F", 0, {}},    {"", 0, {}},   {"   ", 0, {}},
    };
    for (const Case& c : cases) {
        const NodeSearch found = FindNodeByNameOrNumber(ws, c.typed);
        EXPECT_EQ(found.node, c.node) << "[" << c.typed << "]";
        EXPECT_EQ(found.namesakes, c.namesakes) << "[" << c.typed << "]";
    }
    EXPECT_EQ(NamesakesText(" C ", {3, 4}), "2 nodes are named C (3 and 4)");
    EXPECT_EQ(NamesakesText("x", {1, 2, 3, 4, 5, 6, 7, 8}),
              "8 nodes are named x (1, 2, 3, 4, 5, 6 and 2 more)");
    EXPECT_EQ(TrimmedName("  a b  "), "a b");
    EXPECT_EQ(WithoutLeadingBlanks("  a b  "), "a b  ");
}

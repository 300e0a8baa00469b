#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>

#include "ExampleProblems.h"
#include "results/ReportLines.h"
#include "results/ResultCsv.h"
#include "results/ResultLines.h"
#include "solver/InfeasibilityCut.h"
#include "support/ScriptedPrompts.h"
#include "support/SolvedProblem.h"
#include "support/TempFolder.h"
#include "workspace/DimacsFormat.h"
#include "workspace/NumberFormat.h"
#include "workspace/ProblemWriter.h"
#include "workspace/Workspace.h"

using namespace kav;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

std::unique_ptr<Workspace> SolvedProblem() {
    auto ws = std::make_unique<Workspace>();
    FillSolvedProblem(*ws);
    return ws;
}

ResultLists BuildResultLists(Workspace& ws, LinkOrder order, bool showAllLinks) {
    ResultListBuilder builder;
    ResultLists lists;
    builder.Build(ws, order, showAllLinks, lists);
    return lists;
}

}  // namespace

TEST(ResultLines, LinkLineFillsItsColumnsTo73Characters) {
    auto ws = SolvedProblem();
    EXPECT_EQ(LinkLine(*ws, 1, true, 0), Link1);
    EXPECT_EQ(LinkLine(*ws, 1, true, 0).size(), 73u);
    EXPECT_EQ(LinkLine(*ws, 4, true, -1), Link4);
}

TEST(ResultLines, LinkLineMarksOutOfKilterAndKeepsMinusSigns) {
    auto ws = SolvedProblem();
    ChangeLink(*ws, 2, &kav::LinkData::Lower, -5);
    SetFlow(*ws, 2, -17);
    ChangeLink(*ws, 2, &kav::LinkData::Upper, 5);
    ChangeLink(*ws, 2, &kav::LinkData::Cost, -7);
    EXPECT_EQ(LinkLine(*ws, 2, false, -12),
              "   2*      Alpha      Gamma    -5      -17       5        -7          -12");
}

TEST(ResultLines, LongerValuesPushTheLineRightInsteadOfBeingCut) {
    auto ws = SolvedProblem();
    SetNodeName(*ws, 1, "Verylongname");
    ChangeLink(*ws, 1, &kav::LinkData::Cost, -12345678);
    EXPECT_EQ(LinkLine(*ws, 1, true, -12345678),
              "   1  Verylongname      Alpha     0        2      10  -12345678    -12345678");
    SetFlow(*ws, 2, 2147483647);
    ChangeLink(*ws, 2, &kav::LinkData::Upper, -100000);
    EXPECT_EQ(LinkLine(*ws, 2, false, 2),
              "   2*      Alpha      Gamma     2   2147483647   -100000         1            2");
}

// A reader hears each value after its column's name, the reduced cost in 64
// bits and the kilter mark in words.
TEST(ResultLines, SpokenLinesNameTheirColumns) {
    auto ws = SolvedProblem();
    ChangeLink(*ws, 2, &kav::LinkData::Lower, -5);
    SetFlow(*ws, 2, -17);
    ChangeLink(*ws, 2, &kav::LinkData::Upper, 5);
    ChangeLink(*ws, 2, &kav::LinkData::Cost, INT32_MIN);
    SetPotential(*ws, ws->LinkDest[2], INT32_MAX);
    ASSERT_FALSE(LinkInKilter(*ws, 2));
    EXPECT_EQ(SpokenLinkLine(*ws, 2),
              "link 2, origin Alpha, destination Gamma, lower -5, flow -17, upper 5, cost "
              "-2147483648, reduced cost " +
                  std::to_string(WideReducedCost(*ws, 2)) + ", out of kilter");
    EXPECT_LT(WideReducedCost(*ws, 2), int64_t{INT32_MIN});
    EXPECT_EQ(SpokenLinkLine(*ws, 1).find("out of kilter"), std::string::npos);
    EXPECT_EQ(SpokenNodeLine(*ws, 2),
              "node Alpha, potential " + std::to_string(ws->NodePotential[2]));
}

TEST(ResultLines, NodeLine) {
    auto ws = SolvedProblem();
    EXPECT_EQ(NodeLine(*ws, 2), NodeAlpha);
    SetNodeName(*ws, 2, "Verylongname");
    SetPotential(*ws, 2, INT32_MIN);
    EXPECT_EQ(NodeLine(*ws, 2), "Verylongname     -2147483648");
}

TEST(ResultLines, TotalCostGroupsThousandsWithoutDecimals) {
    EXPECT_EQ(TotalCostText(0.0), "TOTAL COST = 0");
    EXPECT_EQ(TotalCostText(-0.0), "TOTAL COST = 0");
    EXPECT_EQ(TotalCostText(999.0), "TOTAL COST = 999");
    EXPECT_EQ(TotalCostText(1234567.0), "TOTAL COST = 1,234,567");
    EXPECT_EQ(TotalCostText(-1234567.0), "TOTAL COST = -1,234,567");
    EXPECT_EQ(TotalCostText(999999999999999.0), "TOTAL COST = 999,999,999,999,999");
}

TEST(ResultLines, TotalCostBeyondFifteenDigitsIsScientific) {
    // The largest flow on a link of cost 10^8: about 2.147 x 10^17.
    EXPECT_EQ(TotalCostText(2147483647.0 * 100000000.0), "TOTAL COST = 2.147483647E17");
    EXPECT_EQ(TotalCostText(1e15), "TOTAL COST = 1E15");
    EXPECT_EQ(TotalCostText(-4.5e20), "TOTAL COST = -4.5E20");
}

TEST(ResultLines, TotalCostFollowsTheLocaleSeparators) {
    const NumberSeparators german{".", ","};
    const std::string grouped = TotalCostText(1234567.0, german);
    const std::string scientific = TotalCostText(2.5e16, german);
    // two-byte Arabic signs
    const std::string arabic = TotalCostText(2.5e16, {"\xD9\xAC", "\xD9\xAB"});
    EXPECT_EQ(grouped, "TOTAL COST = 1.234.567");
    EXPECT_EQ(scientific, "TOTAL COST = 2,5E16");
    EXPECT_EQ(arabic, "TOTAL COST = 2\xD9\xAB" + std::string("5E16"));
}

TEST(ResultLists, OrdersGroupByNameWithAscendingLinkNumbers) {
    auto ws = std::make_unique<Workspace>();
    FillSolvedProblem(*ws).Link(2, 1, 0, 0, 5, 0);  // link 5: Alpha -> beta
    const std::string link5 =
        "   5       Alpha       beta     0        0       0         5            8";
    ResultListBuilder builder;
    ResultLists lists;

    builder.Build(*ws, LinkOrder::Input, true, lists);
    EXPECT_EQ(lists.links, (Lines{Link1, Link2, Link3, Link4, link5}));
    EXPECT_EQ(lists.nodes, (Lines{NodeBeta, NodeAlpha, NodeGamma}));
    EXPECT_EQ(lists.outOfKilterCount, 0);

    builder.Build(*ws, LinkOrder::Origin, true, lists);
    EXPECT_EQ(lists.links, (Lines{Link2, link5, Link3, Link1, Link4}));
    EXPECT_EQ(lists.nodes, (Lines{NodeAlpha, NodeGamma, NodeBeta}));

    builder.Build(*ws, LinkOrder::Dest, true, lists);
    EXPECT_EQ(lists.links, (Lines{Link1, Link2, Link4, Link3, link5}));
    EXPECT_EQ(lists.nodes, (Lines{NodeAlpha, NodeGamma, NodeBeta}));

    EXPECT_FALSE(lists.WarningsShown());
}

TEST(ResultLists, NonZeroFilterListsNegativeFlowsAndCountsOnlyListedLinks) {
    auto ws = SolvedProblem();
    ChangeLink(*ws, 1, &kav::LinkData::Lower,
               1);  // zero flow below its lower bound: out of kilter, not listed
    SetFlow(*ws, 1, 0);
    SetFlow(*ws, 3, -6);  // below its lower bound: out of kilter, listed
    ResultLists lists = BuildResultLists(*ws, LinkOrder::Input, false);
    ASSERT_EQ(lists.links.size(), 3u);
    EXPECT_EQ(lists.links[0], Link2);
    EXPECT_EQ(lists.links[1],
              "   3*      Gamma       beta     0       -6      10        -2            0");
    EXPECT_EQ(lists.links[2], Link4);
    EXPECT_EQ(lists.outOfKilterCount, 1);

    SetFlow(*ws, 3, 6);  // listed links all in kilter: no warnings
    EXPECT_FALSE(BuildResultLists(*ws, LinkOrder::Dest, false).WarningsShown());
}

TEST(ResultLists, NothingListedShowsNoLinksAndCountsEveryLink) {
    auto ws = SolvedProblem();
    for (int32_t k = 1; k <= 4; ++k)
        SetFlow(*ws, k, 0);
    // Link 2 sits below its lower bound and link 4 below its upper bound.
    for (LinkOrder order : {LinkOrder::Input, LinkOrder::Origin, LinkOrder::Dest}) {
        ResultLists lists = BuildResultLists(*ws, order, false);
        EXPECT_EQ(lists.links, Lines{NoLinksLine});
        EXPECT_EQ(lists.outOfKilterCount, 2);
    }

    ChangeLink(*ws, 2, &kav::LinkData::Lower, 0);
    ChangeLink(*ws, 4, &kav::LinkData::Cost, 3);
    EXPECT_FALSE(BuildResultLists(*ws, LinkOrder::Origin, false).WarningsShown());
}

TEST(ResultLists, NodesWithoutLinks) {
    auto ws = SolvedProblem();
    SetProblemSize(*ws, 0, ws->NodeCount);
    ResultLists lists = BuildResultLists(*ws, LinkOrder::Origin, true);
    EXPECT_EQ(lists.links, Lines{NoLinksLine});
    EXPECT_EQ(lists.nodes, (Lines{NodeAlpha, NodeGamma, NodeBeta}));
    EXPECT_FALSE(lists.WarningsShown());

    Workspace empty;
    lists = BuildResultLists(empty, LinkOrder::Dest, true);
    EXPECT_EQ(lists.links, Lines{NoLinksLine});
    EXPECT_TRUE(lists.nodes.empty());
}

TEST(ResultLists, ChangedNetworkListsZeroFlowsAndPotentials) {
    auto ws = SolvedProblem();
    NoteLinkRerouted(*ws);
    ResultLists lists = BuildResultLists(*ws, LinkOrder::Input, true);
    EXPECT_FALSE(ws->NetworkChanged);
    EXPECT_EQ(lists.links[0],
              "   1        beta      Alpha     0        0      10         3            3");
    EXPECT_EQ(lists.links[1],
              "   2*      Alpha      Gamma     2        0      10         1            1");
    EXPECT_EQ(lists.nodes[1], "     Alpha              0");
    EXPECT_EQ(lists.outOfKilterCount, 2);  // links 2 and 3 (cost -2 wants its upper bound)
}

TEST(ResultLists, GroupedOrdersLeaveOutLinksOfRemovedNodes) {
    auto ws = SolvedProblem();
    SetProblemSize(*ws, ws->LinkCount,
                   2);  // node Gamma removed; links 2, 3 and 4 still name node 3
    EXPECT_EQ(BuildResultLists(*ws, LinkOrder::Origin, true).links, (Lines{Link2, Link1, Link4}));
    EXPECT_EQ(BuildResultLists(*ws, LinkOrder::Dest, true).links, (Lines{Link1, Link3}));
    EXPECT_EQ(BuildResultLists(*ws, LinkOrder::Input, true).links.size(), 4u);
}

// Costs or bounds changed after a solve can take a reduced cost or a kilter
// number beyond 32 bits; the link is still listed, with its true reduced cost.
TEST(ResultLists, ValuesBeyond32BitsAreListedNotRefused) {
    Workspace ws;
    ProblemBuilder(ws)
        .Node("A", 2100000000)
        .Node("B", -100000000)
        .Link(1, 2, 0, 10, 100000000, 0)               // reduced cost 2300000000, in kilter
        .Link(2, 1, -10, 2147483647, 100000000, -10);  // must rise by 2147483657
    const ResultLists lists = BuildResultLists(ws, LinkOrder::Input, true);
    EXPECT_EQ(lists.links,
              (Lines{"   1           A          B     0        0      10  100000000   2300000000",
                     "   2*          B          A   -10      -10   2147483647  100000000   "
                     "-2100000000"}));
    EXPECT_EQ(lists.outOfKilterCount, 1);
}

TEST(ResultCsv, QuotesNamesAsRfc4180AndFollowsTheListedOrder) {
    Workspace ws;
    ProblemBuilder(ws)
        .Node("a,b", 3)
        .Node("say \"hi\"")
        .Node(" x\xe9")
        .Link(1, 2, 0, 5, 2, 1)
        .Link(2, 3, 0, 5, 1, 0)   // in kilter at zero flow
        .Link(3, 1, 2, 5, 1, 1);  // under its lower bound: out of kilter
    ResultListBuilder builder;
    ResultLists lists;
    builder.Build(ws, LinkOrder::Dest, false, lists);
    EXPECT_EQ(FormatResultsCsv(ws, lists, CurrentSolution(ws, LastSolveRecord())),
              std::string(ResultCsvHeader) +
                  "\r\n"
                  "link,3,\" x\xc3\xa9\",\"a,b\",2,5,1,1,-2,*,,,3,1\r\n"
                  "link,1,\"a,b\",\"say \"\"hi\"\"\",0,5,2,1,5,*,,,1,2\r\n"
                  "node,3,,,,,,,,,\" x\xc3\xa9\",0,,\r\n"
                  "node,1,,,,,,,,,\"a,b\",3,,\r\n"
                  "node,2,,,,,,,,,\"say \"\"hi\"\"\",0,,\r\n"
                  "total,,,,,,3,,,,,,,\r\n"
                  "status,,,,,,,,,,optimal,,,\r\n");
}

// Every output after a solve shows the total it is handed (the current
// solution's), never one of its own: here one the flows (3) do not add up to,
// beyond 64 bits.
TEST(SolutionOutputs, ShowTheTotalTheyAreHanded) {
    Workspace ws;
    ProblemBuilder(ws).Node("A").Node("B").Link(1, 2, 0, 5, 2, 1).Link(2, 1, 0, 5, 1, 1);
    SolutionState solution = CurrentSolution(ws, LastSolveRecord());
    solution.total = (__int128{1} << 70) + 1;
    const std::string exact = "1180591620717411303425";
    const ResultLists lists = BuildResultLists(ws, LinkOrder::Input, true);
    EXPECT_NE(FormatResultsCsv(ws, lists, solution).find("\r\ntotal,,,,,," + exact + ","),
              std::string::npos);
    EXPECT_EQ(FormatDimacsSolution(ws, solution.total).rfind("s " + exact + "\n", 0), 0u);
    EXPECT_EQ(ReportContentOf(lists, solution).totalCost, "TOTAL COST = 1.18059162071741E21");
}

// Name cells only: a spreadsheet would run a name that starts like a formula;
// numbers keep their signs.
TEST(ResultCsv, NamesThatStartLikeFormulasGetAQuoteAndNumbersDoNot) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"=1+2", "'=1+2"}, {"+A", "'+A"},    {"-3", "'-3"},
        {"@x", "'@x"},     {"\tT", "'\tT"},  {"\rR", "\"'\rR\""},
        {"a-b", "a-b"},    {"x ", "\"x \""}, {"Z\xfcrich", "Z\xc3\xbcrich"},
    };
    Workspace ws;
    ProblemBuilder builder(ws);
    for (const auto& [name, cell] : cases)
        builder.Node(name, -7);
    NoteSolved(ws, true);
    ResultListBuilder lists;
    ResultLists listed;
    lists.Build(ws, LinkOrder::Input, true, listed);
    std::istringstream rows(FormatResultsCsv(ws, listed, CurrentSolution(ws, LastSolveRecord())));
    std::string row;
    std::getline(rows, row);  // the header
    std::getline(rows, row);  // "<<< NO LINKS >>>" lists no row
    for (std::size_t k = 0; k < cases.size(); ++k) {
        EXPECT_EQ(row, "node," + std::to_string(k + 1) + ",,,,,,,,," + cases[k].second + ",-7,,\r")
            << cases[k].first;
        std::getline(rows, row);
    }
    EXPECT_EQ(row, "total,,,,,,0,,,,,,,\r");
    std::getline(rows, row);
    EXPECT_EQ(row, "status,,,,,,,,,,infeasible,,,\r");
}

// The export never goes over a file of the problem: it says so and the
// dialog comes back; the file stays byte for byte.
TEST(ResultCsv, AnExportOverTheProblemsOwnFilesIsRefused) {
    TempFolder folder;
    Workspace ws;
    ProblemBuilder(ws).Node("A").Node("B").Link(1, 2, 0, 5, 1).Link(2, 1, 0, 5, 1);
    const std::string links = folder.Write("P.LIN", "links");
    SetFileNames(ws, folder.Write("P.NDE", "nodes"), links);
    fs::create_symlink(links, folder.File("link.csv"));
    const ResultLists lists = BuildResultLists(ws, LinkOrder::Input, true);
    ScriptedPrompts prompts;
    prompts.files = {ws.NodeFileName, folder.File("link.csv"), folder.File("out.csv")};
    FileQuestionsThrough questions(prompts);
    ExportResults(ws, lists, CurrentSolution(ws, LastSolveRecord()),
                  {ws.NodeFileName, ws.LinkFileName}, questions)
        .ShowTo(prompts);
    EXPECT_EQ(prompts.saveDialogs.size(), 3u);
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[0].text, ProtectedFileText(ws.NodeFileName));
    EXPECT_EQ(prompts.messages[1].text, ProtectedFileText(folder.File("link.csv")));
    EXPECT_EQ(prompts.messages[2].kind, MsgKind::Information);
    EXPECT_EQ(TempFolder::Read(ws.NodeFileName), "nodes");
    EXPECT_EQ(TempFolder::Read(ws.LinkFileName), "links");
    EXPECT_EQ(TempFolder::Read(folder.File("out.csv")),
              FormatResultsCsv(ws, lists, CurrentSolution(ws, LastSolveRecord())));
}

// The export tells, never shows: where the table went, or why it could not.
TEST(ResultCsv, AnExportGivesItsOutcomeForTheWindowToShow) {
    TempFolder folder;
    Workspace ws;
    ProblemBuilder(ws).Node("A").Node("B").Link(1, 2, 0, 5, 1);
    const ResultLists lists = BuildResultLists(ws, LinkOrder::Input, true);
    const std::string missing = folder.File("no/such.csv");
    ScriptedPrompts prompts;
    prompts.files = {missing, std::nullopt};
    FileQuestionsThrough questions(prompts);
    const SolutionState solution = CurrentSolution(ws, LastSolveRecord());
    const Report failed = ExportResults(ws, lists, solution, {}, questions);
    EXPECT_TRUE(ExportResults(ws, lists, solution, {}, questions).Empty());  // cancelled
    EXPECT_TRUE(prompts.messages.empty());
    ASSERT_EQ(failed.Notices().size(), 1u);
    EXPECT_EQ(failed.Notices()[0].kind, MsgKind::Error);
    EXPECT_EQ(failed.Notices()[0].text.rfind(
                  "The results could not be written to\r" + missing + "\r(", 0),
              0u);
}

// What the cut window shows first: the failed link, then the set's sums with
// the shortfall; then the two labelled link lists and the node names.
TEST(ResultLines, CutLinesPutTheFailedLinkAndTheShortfallFirst) {
    Workspace ws;
    InfeasibleExample(ws);
    const SolveStatus status = RunOutOfKilter(ws, nullptr);
    ASSERT_TRUE(status.IsInfeasible());
    const Lines lines = CutLines(ws, status.Cut);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 6),
              (Lines{"No feasible flow exists: the solver was working on link 3 (A -> C).",
                     "These 2 nodes together must receive at least 5 from outside",
                     "but can send out at most 1: short by 4", "",
                     "Links into the set, which must carry at least 5:", CutLinkHeading}));
    EXPECT_EQ(lines[6].substr(0, 5), "   3*");
    EXPECT_EQ(Lines(lines.begin() + 7, lines.begin() + 10),
              (Lines{"", "Links out of the set, which can carry at most 1:", CutLinkHeading}));
    EXPECT_EQ(lines[10].substr(0, 4), "   6");
    EXPECT_EQ(Lines(lines.begin() + 11, lines.end()),
              (Lines{"", "The 2 nodes of the set:", "           C           D"}));
}

// A one-node set from a run that started with unbalanced flows: no shortfall
// is claimed where the sums show none.
TEST(ResultLines, CutLinesOfAnUnconfirmedSetClaimNoShortfall) {
    Workspace ws;
    ProblemBuilder(ws).Node("A").Node("B").Link(1, 2, 0, 2, 0, 2).Link(2, 1, 2, 2, 0, 0);
    InfeasibilityCut cut;
    cut.FailedLink = 2;
    cut.Nodes = {1};
    DescribeCut(ws, cut);
    const Lines lines = CutLines(ws, cut);
    EXPECT_EQ(
        Lines(lines.begin(), lines.begin() + 5),
        (Lines{"No feasible flow exists: the solver was working on link 2 (B -> A).",
               "NOT CONFIRMED: the solve started from flows that do not balance,",
               "so these nodes do not prove that no feasible flow exists.",
               "This node must receive at least 2 from outside", "and can send out at most 2"}));
    EXPECT_EQ(lines.back(), "           A");
}

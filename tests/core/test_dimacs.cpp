#include <gtest/gtest.h>

// GCC sees a false "maybe uninitialized" inside the library's node storage.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <lemon/dimacs.h>
#include <lemon/network_simplex.h>
#include <lemon/smart_graph.h>

#include <random>
#include <sstream>

#include "solver/CheckProblem.h"
#include "solver/KiltSolve.h"
#include "support/ProblemBuilder.h"
#include "support/ScriptedPrompts.h"
#include "support/TempFolder.h"
#include "workspace/DimacsFormat.h"
#include "workspace/NumberFormat.h"
#include "workspace/ProblemFiles.h"
#include "workspace/ProblemWriter.h"

using namespace kav;

namespace {

// Everything a refused read must leave as it was.
std::string Snapshot(const Workspace& ws) {
    std::ostringstream s;
    s << FormatLinkFile(ws, LinkFieldWidth) << FormatNodeFile(ws) << ws.DataNotSaved
      << ws.ResultsNotShown << ws.NetworkChanged << ws.NodeFileName << "|" << ws.LinkFileName;
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        s << ws.LinkFlow[k] << ",";
    return s.str();
}

std::string ManyArcs(int nodes, int arcs, const std::string& tail) {
    std::string text = "p min " + std::to_string(nodes) + " " + std::to_string(arcs) + "\n";
    for (int k = 0; k < arcs; ++k)
        text += "a 1 2 0 1 1\n";
    return text + tail;
}

TEST(Dimacs, EveryFaultNamesItsLineAndKeepsTheProblem) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"c x\np min 2 1\nx 1 2\n",
         "line 3: expected a line of type c, p, n, a, s or f, not \"x\""},
        {"c only a comment\n", "line 1: expected a problem line \"p min NODES ARCS\"; the file"},
        {"a 1 2 0 1 1\n", "line 1: expected a problem line \"p min NODES ARCS\" before any"},
        {"p max 2 1\n", "line 1: expected \"p min NODES ARCS\""},
        {"p min 2 1\np min 2 1\n", "line 2: expected one problem line only"},
        {"p min 2 1\na 1 2 0 4294967296 1\n", "line 2: expected a whole number from -2147483648"},
        {"p min 2 1\na 1 2 0 1x 1\n", "line 2: expected a whole number from"},
        {"p min 2 1\na 1 2 0 +-1 1\n", "line 2: expected a whole number from"},
        {"p min 2 1\na 1 3 0 1 1\n", "line 2: expected a node number between 1 and 2, not 3"},
        {"p min 2 1\na 0 2 0 1 1\n", "line 2: expected a node number between 1 and 2, not 0"},
        {"p min 2 1\nn 3 1\n", "line 2: expected a node number between 1 and 2"},
        {"p min 2 1\na 1 2 0 1\n", "line 2: expected \"a FROM TO LOW CAP COST\""},
        {"p min 2 1\nn 1 5\nn 2 -4\na 1 2 0 1 1\n",
         "line 3: expected supplies that sum to 0; "
         "they sum to 1"},
        {"p min 2 1\nn 1 1\nn 1 -1\n", "line 3: expected one supply line for node 1"},
        {"p min 2 1\nn 1 -2147483648\n", "line 2: expected a demand of at most 2147483647"},
        {"p min 2 2\na 1 2 0 1 1\n", "line 2: expected arc 2 of 2; the file ends"},
        {"p min 2 1\na 1 2 0 1 1\na 2 1 0 1 1\n", "line 3: expected no more than 1 arcs"},
        {"p min 2011 0\n", "line 1: expected at most 2010 nodes, not 2011"},
        {"p min -1 0\n", "line 1: expected counts of 0 or more"},
        {"p min 2 20001\n", "line 1: expected at most 20000 links, not 20001"},
        {"c\np min 2010 0\nn 1 1\nn 2 -1\n",
         "line 2: expected at most 2010 nodes; with the "
         "SUPPLY node the problem has 2011"},
        {ManyArcs(2, 19999, "n 1 1\nn 2 -1\n"),
         "line 1: expected at most 20000 links; with the SUPPLY node's links the problem has "
         "20001"},
        {"p min 2 1\nc name 9 X\na 1 2 0 1 1\n", "line 2: expected a node number between 1 and 2"},
        {"c name 0 X\np min 2 1\na 1 2 0 1 1\n",
         "line 1: expected a node number between 1 and 2010, not 0"},
        {"p min 2 1\nc name +1 X\n", "line 2: expected a node number between 1 and 2, not \"+1\""},
        // Names before the problem line: one beyond any problem at once, one
        // beyond this problem's count at the first line that gave one.
        {"c name 1 A\nc name 2011 X\n" + std::string(3000, '\n'),
         "line 2: expected a node number between 1 and 2010, not 2011"},
        {"c name -3 X\np min 2 1\n",
         "line 1: expected a node number between 1 and 2010, not \"-3\""},
        {"c name 9 X\nc name 3 Y\nc name 1 Z\np min 2 1\n",
         "line 1: expected a node number between 1 and 2, not 9"},
        // The links that join an isolated node count against the limits.
        {ManyArcs(3, 19999, ""),
         "line 1: expected at most 20000 links; with the SUPPLY node's links (0 for supplies, 6 "
         "for nodes that lack a leaving or an entering arc) the problem has 20005"},
        {"p min 2010 0\n",
         "line 1: expected at most 2010 nodes; with the SUPPLY node the problem "
         "has 2011"},
        {"p min 2 1 0\n", "line 1: expected \"p min NODES ARCS\""},
        {"p min +2 1\n", "line 1: expected counts of 0 or more, not \"+2\""},
        {"p min 2 1\nn 1 0 0\n", "line 2: expected \"n ID SUPPLY\""},
        {"p min 2 1\nn +1 0\n", "line 2: expected a node number between 1 and 2, not \"+1\""},
        {"p min 2 1\na 1 2 0 1 1 1\n", "line 2: expected \"a FROM TO LOW CAP COST\""},
        {"p min 2 1\na -1 2 0 1 1\n", "line 2: expected a node number between 1 and 2, not \"-1\""},
        {"p min 2 1\na 1 2 0 ++1 1\n", "line 2: expected a whole number from"},
        {"p min 2 1\nc " + std::string(70000, 'x') + "\n",
         "line 2: expected a line of at most 65536"},
    };
    Workspace ws;
    ProblemBuilder(ws).Node("KEEP", 7).Node("ME").Link(1, 2, 0, 5, 3, 4).Link(2, 1, 0, 5, 3, 4);
    SetFileNames(ws, "old.NDE", "old.LIN");
    NoteChangesCommitted(ws);
    const std::string before = Snapshot(ws);
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        EXPECT_EQ(ReadDimacsText(ws, c.text, "bad.min").ShowTo(prompts), LoadOutcome::Refused)
            << c.expected;
        ASSERT_EQ(prompts.messages.size(), 1u) << c.expected;
        EXPECT_NE(prompts.messages[0].text.find("[bad.min]\r" + c.expected), std::string::npos)
            << prompts.messages[0].text;
        EXPECT_EQ(prompts.beeps, std::vector<unsigned>{BeepFileError});
        EXPECT_EQ(Snapshot(ws), before) << c.expected;
    }
}

TEST(Dimacs, SuppliesBecomeLinksOfOneExtraNode) {
    Workspace ws;
    ProblemBuilder(ws).Node("OLD").Link(1, 1, 0, 1, 0, 1);
    NoteChangesCommitted(ws);
    ScriptedPrompts prompts;
    const std::string text =
        "c a comment\r\np min 4 2\nn 1 5\nn 3 -2\nn 4 -3\nc name 3 Depot  West\n"
        "c name 1 A-VERY-LONG-NAME\na 1 3 0 9 4\n\na 1 4 -1 9 -2\ns 12\nf 1 3 2\n";
    ASSERT_EQ(ReadDimacsText(ws, text, "f.min").ShowTo(prompts), LoadOutcome::Loaded);
    // The load goes on; the shortened name and the joined node are reported.
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_NE(prompts.messages[0].text.find(
                  "\rnode 1 (line 7): \"A-VERY-LONG-NAME\" became \"A-VERY-LONG-\""),
              std::string::npos);
    EXPECT_EQ(prompts.messages[1].kind, MsgKind::Information);
    EXPECT_EQ(prompts.messages[1].text,
              "[f.min]: 1 node lacks a leaving or an entering arc, which the solver needs at "
              "every node; links 6 to 7 (to and from SUPPLY, bounds 0..0, cost 0) were added "
              "for them and carry no flow.");
    ASSERT_EQ(ws.NodeCount, 5);
    EXPECT_EQ(ws.NodeName[1], "A-VERY-LONG-");  // cut to 12 bytes as a node file's names
    EXPECT_EQ(ws.NodeName[2], "2");
    EXPECT_EQ(ws.NodeName[3], "Depot  West");
    EXPECT_EQ(ws.NodeName[5], "SUPPLY");
    // Node 2 has no arc: joined after the supply links.
    ASSERT_EQ(ws.LinkCount, 7);
    const std::vector<std::vector<int32_t>> expected = {
        {1, 3, 0, 9, 4}, {1, 4, -1, 9, -2}, {5, 1, 5, 5, 0}, {3, 5, 2, 2, 0},
        {4, 5, 3, 3, 0}, {5, 2, 0, 0, 0},   {2, 5, 0, 0, 0}};
    for (int32_t k = 1; k <= 7; ++k) {
        const LinkData d = GetLink(ws, k);
        EXPECT_EQ((std::vector<int32_t>{d.Origin, d.Dest, d.Lower, d.Upper, d.Cost}),
                  expected[static_cast<std::size_t>(k - 1)])
            << "link " << k;
        EXPECT_EQ(ws.LinkFlow[k], 0);
    }
    EXPECT_FALSE(ws.DataNotSaved);
    EXPECT_EQ(ws.NodeFileName, "f.min");
    EXPECT_EQ(ws.LinkFileName, "");
}

// Names are Latin-1 inside; every name that changed and every pair of nodes
// that share a name is reported once, and the added node keeps its own name.
TEST(Dimacs, Utf8NamesBecomeLatin1AndEveryChangeIsReportedOnce) {
    Workspace ws;
    ScriptedPrompts prompts;
    const std::string text =
        "p min 5 1\nn 1 1\nn 2 -1\nc name 1 Z\xc3\xbcrich\nc name 2 \xe6\x9d\xb1\xe4\xba\xac\n"
        "c name 3 Warehouse-North-A\nc name 4 Warehouse-North-B\nc name 5 SUPPLY\n"
        "c name 1 Z\xc3\xbcrich-Hauptbahnhof\na 1 2 0 1 1\n";
    ASSERT_EQ(ReadDimacsText(ws, text, "n.min").ShowTo(prompts), LoadOutcome::Loaded);
    EXPECT_EQ(ws.NodeName[1], "Z\xfcrich-Haupt");  // the last name line, cut after conversion
    EXPECT_EQ(ws.NodeName[2], "??");
    EXPECT_EQ(ws.NodeName[6], "SUPPLY 2");
    ASSERT_EQ(prompts.messages.size(), 2u);  // the names, then the joined nodes 3 to 5
    EXPECT_EQ(prompts.messages[0].kind, MsgKind::Warning);
    const std::string& shown = prompts.messages[0].text;
    for (const char* change :
         {"\rnode 1 (line 9): \"Z\xc3\xbcrich-Hauptbahnhof\" became \"Z\xc3\xbcrich-Haupt\"",
          "\rnode 2 (line 5): \"\xe6\x9d\xb1\xe4\xba\xac\" became \"??\"",
          "\rnodes 3 and 4 are all named \"Warehouse-No\""}) {
        EXPECT_NE(shown.find(change), std::string::npos) << change << "\nin\n" << shown;
    }
    EXPECT_EQ(shown.find("SUPPLY"), std::string::npos);
    // The writer gives the names back in UTF-8.
    EXPECT_NE(FormatDimacsProblem(ws).find("c name 1 Z\xc3\xbcrich-Haupt\n"), std::string::npos);
}

TEST(Dimacs, NamesWithLineOrFileEndBytesSurviveANodeFile) {
    TempFolder folder;
    Workspace ws;
    ScriptedPrompts prompts;
    const std::string text =
        "p min 3 3\nc name 1 A\rB\nc name 2 C\x1a\x44\nc name 3 E\na 1 2 0 1 1\na 2 3 0 1 1\n"
        "a 3 1 0 1 1\n";
    ASSERT_EQ(ReadDimacsText(ws, text, "f.min").ShowTo(prompts), LoadOutcome::Loaded);
    const std::string nde = folder.File("P.NDE");
    const std::string lin = folder.File("P.LIN");
    ASSERT_TRUE(WriteProblemFiles(ws, nde, lin));
    Workspace back;
    ASSERT_EQ(ReadProblem(back, nde, lin).ShowTo(prompts), LoadOutcome::Loaded);
    EXPECT_EQ(back.NodeCount, 3);
    for (int32_t k = 1; k <= 3; ++k)
        EXPECT_EQ(back.NodeName[k], ws.NodeName[k]) << k;
    EXPECT_EQ(back.NodeName[1], "A B");
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(Dimacs, RoundTripThroughNodeAndLinkFilesKeepsEverything) {
    TempFolder folder;
    Workspace ws;
    std::mt19937 rng(5);
    ProblemBuilder builder(ws);
    for (const char* name : {"ALPHA", "two  blanks", "trail  ", "12CHARSLONG!", "", "a b c"})
        builder.Node(name);
    for (int k = 0; k < 300; ++k)
        builder.Link(static_cast<int32_t>(rng() % 6 + 1), static_cast<int32_t>(rng() % 6 + 1),
                     static_cast<int32_t>(rng()), static_cast<int32_t>(rng()),
                     static_cast<int32_t>(rng()));
    const std::string nde = folder.File("P.NDE");
    const std::string lin = folder.File("P.LIN");
    ASSERT_TRUE(WriteProblemFiles(ws, nde, lin));

    Workspace loaded;
    ScriptedPrompts prompts;
    ASSERT_EQ(ReadProblem(loaded, nde, lin).ShowTo(prompts), LoadOutcome::Loaded);
    const std::string dimacs = FormatDimacsProblem(loaded);
    const std::string file = folder.Write("P.min", dimacs);
    Workspace back;
    ASSERT_EQ(ReadDimacsFile(back, file).ShowTo(prompts), LoadOutcome::Loaded);
    ASSERT_TRUE(WriteProblemFiles(back, folder.File("Q.NDE"), folder.File("Q.LIN")));
    EXPECT_EQ(TempFolder::Read(folder.File("Q.NDE")), TempFolder::Read(nde));
    EXPECT_EQ(TempFolder::Read(folder.File("Q.LIN")), TempFolder::Read(lin));
    EXPECT_EQ(FormatDimacsProblem(back), dimacs);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(Dimacs, SolutionCostIsExactBeyondSixtyFourBits) {
    Workspace ws;
    ProblemBuilder builder(ws);
    builder.Nodes(2);
    for (int k = 0; k < 4; ++k)
        builder.Link(1, 2, 0, INT32_MAX, INT32_MAX, INT32_MAX);
    builder.Link(2, 1, 0, 0, INT32_MIN, -7);
    // 4 x (2^31-1)^2 + 7 x 2^31, more than 2^64 - 2^34.
    EXPECT_EQ(WideDecimal(ExactTotalCostOf(ws)), "18446744071562067972");
    const std::string solution = FormatDimacsSolution(ws, ExactTotalCostOf(ws));
    EXPECT_EQ(solution.rfind("s 18446744071562067972\nf 1 2 2147483647\n", 0), 0u);
    EXPECT_NE(solution.find("\nf 2 1 -7\n"), std::string::npos);
    SetFlow(ws, 5, 7);
    EXPECT_EQ(WideDecimal(ExactTotalCostOf(ws)), "18446744041497296900");
}

// A random problem with supplies in DIMACS text: a ring with room through
// every node (so every node is an origin and a destination), random arcs with
// costs of both signs and some lower bounds, supplies balanced by demands.
std::string RandomDimacs(std::mt19937& rng, int nodes, int arcs) {
    auto draw = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    std::string text = "p min " + std::to_string(nodes) + " " + std::to_string(arcs) + "\n";
    int64_t sum = 0;
    for (int n = 1; n < nodes; ++n) {
        const int b = draw(0, 3) == 0 ? draw(-40, 40) : 0;
        sum += b;
        text += "n " + std::to_string(n) + " " + std::to_string(b) + "\n";
    }
    text += "n " + std::to_string(nodes) + " " + std::to_string(-sum) + "\n";
    for (int n = 1; n <= nodes; ++n)
        text += "a " + std::to_string(n) + " " + std::to_string(n % nodes + 1) + " 0 100000 " +
                std::to_string(draw(50, 90)) + "\n";
    for (int k = nodes; k < arcs; ++k) {
        const int low = draw(0, 9) == 0 ? draw(1, 3) : 0;
        text += "a " + std::to_string(draw(1, nodes)) + " " + std::to_string(draw(1, nodes)) + " " +
                std::to_string(low) + " " + std::to_string(low + draw(0, 60)) + " " +
                std::to_string(draw(-20, 40)) + "\n";
    }
    return text;
}

TEST(Dimacs, ImportedProblemsSolveToTheIndependentOptimum) {
    std::mt19937 rng(11);
    for (const auto& [nodes, arcs] : {std::pair{300, 2000}, {800, 4000}, {1500, 6000}}) {
        const std::string text = RandomDimacs(rng, nodes, arcs);

        lemon::SmartDigraph graph;
        lemon::SmartDigraph::ArcMap<long long> lower(graph), upper(graph), cost(graph);
        lemon::SmartDigraph::NodeMap<long long> supply(graph);
        std::istringstream in(text);
        lemon::readDimacsMin(in, graph, lower, upper, cost, supply);
        lemon::NetworkSimplex<lemon::SmartDigraph, long long, long long> simplex(graph);
        simplex.lowerMap(lower).upperMap(upper).costMap(cost).supplyMap(supply);
        ASSERT_EQ(simplex.run(), decltype(simplex)::OPTIMAL) << nodes;

        Workspace ws;
        ScriptedPrompts prompts;
        ASSERT_EQ(ReadDimacsText(ws, text, "r.min").ShowTo(prompts), LoadOutcome::Loaded);
        ASSERT_TRUE(CheckProblem(ws).empty()) << nodes;
        const SolveStatus status = RunOutOfKilter(ws, nullptr);
        ASSERT_TRUE(status.IsFeasible()) << nodes;
        EXPECT_EQ(WideDecimal(ExactTotalCostOf(ws)), std::to_string(simplex.totalCost())) << nodes;
    }
}

}  // namespace

// A problem of exactly as many links as the Workspace holds loads from either
// kind of file.
TEST(ProblemCapacity, ExactlyMaxLinksLoadsFromNodeAndLinkFilesAndFromDimacs) {
    TempFolder folder;
    std::string links = std::to_string(MaxLinks) + " 2\r\n";
    std::string arcs = "p min 2 " + std::to_string(MaxLinks) + "\n";
    for (int k = 0; k < MaxLinks; ++k) {
        links += "1 2 0 1 1\r\n";
        arcs += k % 2 == 0 ? "a 1 2 0 1 1\n" : "a 2 1 0 1 1\n";  // no node to join
    }
    folder.Write("MAX.LIN", links);
    const std::string files[] = {folder.Write("MAX.NDE", "A\r\nB\r\n"),
                                 folder.Write("MAX.min", arcs)};
    for (const std::string& file : files) {
        Workspace ws;
        ProtectedFiles loaded;
        const LoadResult result = LoadProblemFile(ws, loaded, file);
        EXPECT_EQ(result.outcome, LoadOutcome::Loaded) << file;
        EXPECT_TRUE(result.report.Empty()) << file;
        EXPECT_EQ(ws.LinkCount, MaxLinks) << file;
    }
}

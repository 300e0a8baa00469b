#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "ExampleProblems.h"
#include "support/ScriptedPrompts.h"
#include "support/TempFolder.h"
#include "workspace/ProblemFiles.h"
#include "workspace/ProblemReader.h"
#include "workspace/ProblemWriter.h"

using namespace kav;

namespace {

const std::string FatalReadText =
    "<<< FATAL ERROR READING DATA ... WARNING ... >>>\r"
    "<<<     DATA MATRICES BEING SET TO ZERO      >>>";
const std::string TooManyLinksText =
    "File contains too many links...\rMaximum number allowed is 20000\rTry another file ... SORRY";
const std::string TooManyNodesText =
    "File contains too many nodes...\rMaximum number allowed is 2010\rTry another file ... SORRY";

LoadOutcome ReadTexts(Workspace& ws, ScriptedPrompts& prompts, const std::string& linkText,
                      const std::string& nodeText, std::size_t chunk = SIZE_MAX) {
    MemorySource linkSource(linkText, chunk);
    MemorySource nodeSource(nodeText, chunk);
    TextReader links(linkSource);
    TextReader nodes(nodeSource);
    return ReadProblemText(ws, links, nodes).ShowTo(prompts);
}

// The fatal read warning, with the line below it that says where and why.
std::string FatalReadDetail(const ScriptedPrompts& prompts) {
    if (prompts.messages.empty())
        return "(no message)";
    const std::string& text = prompts.messages[0].text;
    if (text.compare(0, FatalReadText.size() + 1, FatalReadText + "\r") != 0)
        return "(not the fatal read warning) " + text;
    return text.substr(FatalReadText.size() + 1);
}

void ExpectFailedLoad(const Workspace& ws, const ScriptedPrompts& prompts) {
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].kind, MsgKind::Warning);
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::Ok);
    const std::string detail = FatalReadDetail(prompts);
    EXPECT_EQ(detail.find_first_of("\r\n("), std::string::npos) << detail;
    EXPECT_EQ(prompts.events.back(), "beep 8");
    EXPECT_EQ(prompts.beeps.size(), 1u);
    EXPECT_EQ(ws.LinkCount, 0);
    EXPECT_EQ(ws.NodeCount, 0);
}

// Reads linkText/nodeText and expects the load to fail with the fatal warning.
void ExpectReadFails(const std::string& linkText, const std::string& nodeText) {
    Workspace ws;
    SmallProblem(ws);
    ScriptedPrompts prompts;
    EXPECT_EQ(ReadTexts(ws, prompts, linkText, nodeText), LoadOutcome::Failed)
        << "link file: " << linkText;
    ExpectFailedLoad(ws, prompts);
}

}  // namespace

TEST(ProblemWriter, WritesTheLinkAndNodeFilesByteForByte) {
    Workspace ws;
    SmallProblem(ws);
    EXPECT_EQ(FormatLinkFile(ws, LinkFieldWidth),
              "         2         3         0         0         0\r\n"
              "         1         2         0        10         5\r\n"
              "         2         3         0 2147483647        -3\r\n");
    EXPECT_EQ(FormatNodeFile(ws), "A\r\nB\r\nC\r\n");
}

TEST(ProblemWriter, NumbersThatFillTheFieldGetOneBlankInFront) {
    EXPECT_EQ(FormatNumberField(-100000000, 10), " -100000000");
    EXPECT_EQ(FormatNumberField(-2147483647 - 1, 10), " -2147483648");
    EXPECT_EQ(FormatNumberField(123456789, 10), " 123456789");
    EXPECT_EQ(FormatNumberField(-100000000, 12), "  -100000000");
    EXPECT_EQ(FormatNumberField(-2147483647 - 1, 12), " -2147483648");
    EXPECT_EQ(FormatNumberField(-21474836, 8), " -21474836");
}

TEST(ProblemReader, ReadsTheWrittenProblemBack) {
    Workspace saved;
    SmallProblem(saved).Link(3, 1, -2147483647 - 1, 2147483647, -100000000);
    SetNodeName(saved, 2, "   padded");
    SetNodeName(saved, 3, "twelve chars");
    for (int width : {LinkFieldWidth, GeneratorFieldWidth}) {
        Workspace ws;
        ScriptedPrompts prompts;
        ASSERT_EQ(ReadTexts(ws, prompts, FormatLinkFile(saved, width), FormatNodeFile(saved)),
                  LoadOutcome::Loaded);
        EXPECT_TRUE(prompts.events.empty());
        ASSERT_EQ(ws.LinkCount, 3);
        ASSERT_EQ(ws.NodeCount, 3);
        EXPECT_EQ(ws.LinkLower[3], -2147483647 - 1);
        EXPECT_EQ(ws.LinkUpper[3], 2147483647);
        EXPECT_EQ(ws.LinkCost[3], -100000000);
        EXPECT_EQ(ws.LinkOrigin[3], 3);
        EXPECT_EQ(ws.LinkDest[3], 1);
        EXPECT_EQ(ws.NodeName[1], "A");
        EXPECT_EQ(ws.NodeName[2], "padded");  // leading blanks do not come back
        EXPECT_EQ(ws.NodeName[3], "twelve chars");
    }
}

TEST(ProblemReader, NamesAreCutToTwelveBytesThenLoseLeadingBlanksOnly) {
    Workspace ws;
    ScriptedPrompts prompts;
    const std::string names =
        "   ABCDEFGHIJ\r\n"      // three blanks + ten letters: first nine letters
        "\tTab kept  \r\n"       // tabs and trailing blanks stay
        "\r\n"                   // empty line: empty name
        "\tTab kept  \r\n"       // the same name twice
        "ABCDEFGHIJKLMNOPQ\r\n"  // long line: the rest is ignored
        "\xE9t\xE9 \x01x\r\n";   // bytes are kept as they are
    ASSERT_EQ(ReadTexts(ws, prompts, "1 6\r\n1 6 0 1 1\r\n", names), LoadOutcome::Loaded);
    EXPECT_EQ(ws.NodeName[1], "ABCDEFGHI");
    EXPECT_EQ(ws.NodeName[2], "\tTab kept  ");
    EXPECT_EQ(ws.NodeName[3], "");
    EXPECT_EQ(ws.NodeName[4], "\tTab kept  ");
    EXPECT_EQ(ws.NodeName[5], "ABCDEFGHIJKL");
    EXPECT_EQ(ws.NodeName[6], "\xE9t\xE9 \x01x");
}

TEST(ProblemReader, AcceptsLfOnlyCrOnlyAndMixedLineEnds) {
    for (const char* end : {"\n", "\r", "\r\n", "\n\r"}) {
        Workspace ws;
        ScriptedPrompts prompts;
        const std::string e = end;
        const std::string links = "2 3 0 0 0" + e + "1 2 0 10 5 junk" + e + "2 3 0 7 -3" + e;
        ASSERT_EQ(ReadTexts(ws, prompts, links, "A" + e + "B" + e + e), LoadOutcome::Loaded)
            << int(end[0]);
        EXPECT_EQ(ws.LinkUpper[1], 10);
        EXPECT_EQ(ws.LinkOrigin[2], 2);
        EXPECT_EQ(ws.NodeName[2], "B");
        EXPECT_EQ(ws.NodeName[3], "");
    }
}

TEST(ProblemReader, ReadsTheSameWhateverTheBufferSize) {
    const std::string links = "2 3\r\n1 2 0 10 5\r\r\n2 3 0 2147483647 -3";
    const std::string nodes = "A\r\n  B\r\nCCCCCCCCCCCCCCCCCCCC\r";
    for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{3}, SIZE_MAX}) {
        Workspace ws;
        ScriptedPrompts prompts;
        ASSERT_EQ(ReadTexts(ws, prompts, links, nodes, chunk), LoadOutcome::Loaded) << chunk;
        EXPECT_EQ(ws.LinkUpper[2], 2147483647);
        EXPECT_EQ(ws.NodeName[2], "B");
        EXPECT_EQ(ws.NodeName[3], "CCCCCCCCCCCC");
    }
}

TEST(ProblemReader, NumbersAreSeparatedByAnyControlByteIncludingNul) {
    Workspace ws;
    ScriptedPrompts prompts;
    using namespace std::string_literals;
    const std::string links = "1\0\x01\t2\x1F\r\n+1 \v2\f0\0\0 10 5\r\n"s;
    ASSERT_EQ(ReadTexts(ws, prompts, links, "A\0B\r\nB\r\n"s), LoadOutcome::Loaded);
    EXPECT_EQ(ws.LinkOrigin[1], 1);
    EXPECT_EQ(ws.LinkUpper[1], 10);
    EXPECT_EQ(ws.NodeName[1], std::string("A\0B", 3));
}

TEST(ProblemReader, CtrlZEndsTheFileWhereverItStands) {
    Workspace ws;
    ScriptedPrompts prompts;
    ASSERT_EQ(ReadTexts(ws, prompts, "1 2\r\n1 2 0 10 5\x1A garbage",
                        "A\r\nB\x1A"
                        "CDE\r\n"),
              LoadOutcome::Loaded);
    EXPECT_EQ(ws.NodeName[2], "B");
    // A Ctrl-Z before the counts are satisfied makes the files too short.
    ExpectReadFails(
        "2 2\r\n1 2 0 10 5\r\n\x1A"
        "2 1 0 10 5\r\n",
        "A\r\nB\r\n");
    ExpectReadFails("1 2\r\n1 2 0 10 5\r\n",
                    "A\r\n\x1A"
                    "B\r\n");
    ExpectReadFails(
        "1 2\r\n1 2 0 1\x1A"
        "0 5\r\n",
        "A\r\nB\r\n");
}

TEST(ProblemReader, ExtraLinesAfterTheCountsAreIgnored) {
    Workspace ws;
    ScriptedPrompts prompts;
    ASSERT_EQ(ReadTexts(ws, prompts, SmallLinkFile + "3 1 0 1 1\r\nnot a link\r\n",
                        SmallNodeFile + "D\r\nE\r\n"),
              LoadOutcome::Loaded);
    EXPECT_EQ(ws.LinkCount, 2);
    EXPECT_EQ(ws.NodeCount, 3);
    EXPECT_EQ(ws.NodeName[3], "C");
}

TEST(ProblemReader, FilesShorterThanTheirCountsFailAndEmptyTheWorkspace) {
    ExpectReadFails("3 3\r\n1 2 0 10 5\r\n2 3 0 7 -3\r\n", SmallNodeFile);
    ExpectReadFails(SmallLinkFile, "A\r\nB\r\n");
    ExpectReadFails("", SmallNodeFile);
    ExpectReadFails("2", SmallNodeFile);
    ExpectReadFails("2 3\r\n1 2 0 10 5\r\n2 3 0 7", SmallNodeFile);  // last link cut short
    ExpectReadFails("2 3\r\n1 2 0 10 5\r\n   \r\n", SmallNodeFile);  // blank line, no link
}

TEST(ProblemReader, FieldsThatAreNotThirtyTwoBitIntegersFail) {
    ExpectReadFails("2 3\r\n1 2 0 1O 5\r\n2 3 0 7 -3\r\n", SmallNodeFile);
    ExpectReadFails("2 3\r\n1 2 0 10 5\r\n2 3 0 2147483648 -3\r\n", SmallNodeFile);
    ExpectReadFails("2 3\r\n1 2 0 10 5\r\n2 3 -2147483649 7 -3\r\n", SmallNodeFile);
    ExpectReadFails("2 3\r\n1 2 0 1234567890123456789012345678901234567890 5\r\n", SmallNodeFile);
    ExpectReadFails("2 3\r\n1 2 - 10 5\r\n2 3 0 7 -3\r\n", SmallNodeFile);
    ExpectReadFails("2 3\r\n1 2 0 10 5.0\r\n2 3 0 7 -3\r\n", SmallNodeFile);
    ExpectReadFails("2 3\r\n1 2 0 10 \xB5\r\n2 3 0 7 -3\r\n", SmallNodeFile);
    ExpectReadFails("x 3\r\n", SmallNodeFile);
}

TEST(ProblemReader, NegativeCountsAndLinkEndsOutsideTheNodesFail) {
    ExpectReadFails("-1 3\r\n", SmallNodeFile);
    ExpectReadFails("0 -3\r\n", SmallNodeFile);
    ExpectReadFails("1 3\r\n0 2 0 10 5\r\n", SmallNodeFile);
    ExpectReadFails("1 3\r\n1 4 0 10 5\r\n", SmallNodeFile);
    ExpectReadFails("1 3\r\n-1 2 0 10 5\r\n", SmallNodeFile);
}

TEST(ProblemReader, TheFatalWarningSaysWhereReadingStoppedAndWhatWasExpected) {
    struct Case {
        std::string links, nodes, detail;
    };
    const Case cases[] = {
        {"", SmallNodeFile, "File [P.LIN] ends at line 1; expected the number of links"},
        {"2 x\r\n", SmallNodeFile, "File [P.LIN] line 1: expected a whole number"},
        {"2 -3\r\n", SmallNodeFile, "File [P.LIN] line 1: expected counts of 0 or more"},
        {"2 3\r\n1 2 0 1O 5\r\n", SmallNodeFile, "File [P.LIN] line 2: expected a whole number"},
        {"2 3\n\r1 2 0 10 5\n\r\n\r2 3 0 2147483648 -3\n\r", SmallNodeFile,
         "File [P.LIN] line 4: expected a whole number from -2147483648 to 2147483647"},
        {"2 3\r1 2 0 10 5\r2 4 0 7 -3\r", SmallNodeFile,
         "File [P.LIN] line 3: expected a node number between 1 and 3"},
        {"1 0\r\n1 1 0 1 1\r\n", "",
         "File [P.LIN] line 2: expected no link, since the file gives no nodes"},
        {"3 3\r\n1 2 0 10 5\r\n2 3 0 7 -3\r\n", SmallNodeFile,
         "File [P.LIN] ends at line 4; expected link 3 of 3"},
        {SmallLinkFile, "A\r\nB\r\n", "File [P.NDE] ends at line 3; expected name 3 of 3"},
    };
    for (const Case& c : cases) {
        Workspace ws;
        SetFileNames(ws, "P.NDE", "P.LIN");
        ScriptedPrompts prompts;
        EXPECT_EQ(ReadTexts(ws, prompts, c.links, c.nodes, 2), LoadOutcome::Failed) << c.links;
        EXPECT_EQ(FatalReadDetail(prompts), c.detail) << c.links;
    }
}

TEST(ProblemReader, ALoadClearsTheSolutionAndTheFlagsWhetherItSucceedsOrFails) {
    for (bool succeeds : {true, false}) {
        Workspace ws;
        SmallProblem(ws);
        SetFlow(ws, MaxLinks, 4);
        SetPotential(ws, 1, 9);
        SetAllPending(ws);
        ScriptedPrompts prompts;
        ReadTexts(ws, prompts, succeeds ? SmallLinkFile : "9 3\r\n", SmallNodeFile);
        EXPECT_EQ(ws.LinkFlow[MaxLinks], 0);
        EXPECT_EQ(ws.NodePotential[1], 0);
        EXPECT_FALSE(ws.DataNotSaved || ws.ResultsNotShown || ws.NetworkChanged);
    }
}

TEST(ProblemReader, AcceptsTheCapacitiesExactly) {
    std::string links = "20000 2010\r\n";
    for (int k = 0; k < MaxLinks; ++k)
        links += std::to_string(k % 2010 + 1) + " 1 0 1 1\r\n";
    std::string nodes;
    for (int k = 1; k <= MaxNodes; ++k)
        nodes += "N" + std::to_string(k) + "\r\n";
    Workspace ws;
    ScriptedPrompts prompts;
    ASSERT_EQ(ReadTexts(ws, prompts, links, nodes), LoadOutcome::Loaded);
    EXPECT_EQ(ws.LinkCount, MaxLinks);
    EXPECT_EQ(ws.NodeCount, MaxNodes);
    EXPECT_EQ(ws.LinkOrigin[MaxLinks], (MaxLinks - 1) % MaxNodes + 1);
    EXPECT_EQ(ws.NodeName[MaxNodes], "N2010");
}

TEST(ProblemReader, AHeaderAskingForTooMuchIsRefusedAndKeepsThePreviousProblem) {
    struct Case {
        const char* links;
        std::vector<std::string> texts;
    };
    // The link count decides first: a missing or garbled node count after too
    // many links is refused all the same.
    const Case cases[] = {{"20001 3\r\n1 1 1 1 1\r\n", {TooManyLinksText}},
                          {"2 2011\r\n1 1 1 1 1\r\n", {TooManyNodesText}},
                          {"20001 2011\r\n", {TooManyLinksText, TooManyNodesText}},
                          {"20001 abc\r\n1 1 1 1 1\r\n", {TooManyLinksText}},
                          {"20001", {TooManyLinksText}}};
    for (const Case& c : cases) {
        Workspace ws;
        SmallProblem(ws);
        SetFlow(ws, 2, 6);
        SetAllPending(ws);
        ScriptedPrompts prompts;
        EXPECT_EQ(ReadTexts(ws, prompts, c.links, "X\r\n"), LoadOutcome::Refused) << c.links;
        ASSERT_EQ(prompts.messages.size(), c.texts.size()) << c.links;
        for (std::size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_EQ(prompts.messages[i].text, c.texts[i]);
            EXPECT_EQ(prompts.messages[i].kind, MsgKind::Warning);
            EXPECT_EQ(prompts.messages[i].buttons, MsgButtons::Ok);
        }
        EXPECT_TRUE(prompts.beeps.empty());
        EXPECT_EQ(ws.LinkCount, 2);
        EXPECT_EQ(ws.NodeCount, 3);
        EXPECT_EQ(ws.LinkOrigin[1], 1);
        EXPECT_EQ(ws.NodeName[1], "A");
        EXPECT_EQ(ws.LinkFlow[2], 6);
        EXPECT_TRUE(ws.DataNotSaved && ws.ResultsNotShown && ws.NetworkChanged);
    }
}

TEST(ProblemFileAccess, UnreadableFilesFailWithoutCrashing) {
    TempFolder folder;
    const std::string nodes = folder.Write("NET.NDE", SmallNodeFile);
    const std::string links = folder.Write("NET.LIN", SmallLinkFile);
    std::filesystem::create_directory(folder.File("DIR.LIN"));
    const std::string cases[][2] = {{nodes, folder.File("MISSING.LIN")},
                                    {folder.File("MISSING.NDE"), links},
                                    {nodes, folder.File("DIR.LIN")},
                                    {folder.File("DIR.LIN"), links}};
    for (const auto& c : cases) {
        Workspace ws;
        ScriptedPrompts prompts;
        EXPECT_EQ(ReadProblem(ws, c[0], c[1]).ShowTo(prompts), LoadOutcome::Failed) << c[1];
        ExpectFailedLoad(ws, prompts);
        const std::string& unreadable = c[1] == links ? c[0] : c[1];
        EXPECT_EQ(FatalReadDetail(prompts), "File [" + unreadable + "] could not be read");
    }
    Workspace ws;
    ScriptedPrompts prompts;
    EXPECT_EQ(ReadProblem(ws, nodes, links).ShowTo(prompts), LoadOutcome::Loaded);
    EXPECT_EQ(ws.NodeFileName, nodes);
    EXPECT_EQ(ws.LinkFileName, links);
}

TEST(ProblemFileAccess, AFileWithoutReadPermissionFails) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    TempFolder folder;
    const std::string nodes = folder.Write("NET.NDE", SmallNodeFile);
    const std::string links = folder.Write("NET.LIN", SmallLinkFile);
    std::filesystem::permissions(links, std::filesystem::perms::none);
    Workspace ws;
    ScriptedPrompts prompts;
    EXPECT_EQ(ReadProblem(ws, nodes, links).ShowTo(prompts), LoadOutcome::Failed);
    ExpectFailedLoad(ws, prompts);
}

TEST(ProblemFileAccess, ALineOfManyMegabytesIsCutToItsName) {
    TempFolder folder;
    const std::string nodes =
        folder.Write("BIG.NDE", "A" + std::string(8 << 20, 'x') + "\r\nB\r\nC\r\n");
    const std::string links = folder.Write("BIG.LIN", SmallLinkFile);
    Workspace ws;
    ScriptedPrompts prompts;
    ASSERT_EQ(ReadProblem(ws, nodes, links).ShowTo(prompts), LoadOutcome::Loaded);
    EXPECT_EQ(ws.NodeName[1], "Axxxxxxxxxxx");
    EXPECT_EQ(ws.NodeName[2], "B");
}

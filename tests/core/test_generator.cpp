#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "generator/GenRand4.h"
#include "support/ProblemBuilder.h"
#include "support/TempFolder.h"

using namespace kav;
namespace fs = std::filesystem;

namespace {

struct GeneratorTest : ::testing::Test {
    Workspace ws;
    uint32_t seed = 0;
    TempFolder folder;
    const fs::path& dir = folder.path();

    GenerateResult Generate(int32_t o, int32_t d) {
        return GenerateProblem(ws, o, d, dir.string(), seed);
    }

    std::vector<int32_t> Link(int32_t k) const {
        return {ws.LinkOrigin[k], ws.LinkDest[k], ws.LinkLower[k], ws.LinkUpper[k], ws.LinkCost[k]};
    }
    std::string ReadFile(const char* name) const { return TempFolder::Read(folder.File(name)); }
};

std::string Fields(std::initializer_list<int> values) {
    std::string line;
    for (int value : values) {
        const std::string number = std::to_string(value);
        line += std::string(12 - number.size(), ' ') + number;
    }
    return line + "\r\n";
}

}  // namespace

TEST_F(GeneratorTest, FirstGenerationAfterStartIsTheKnownProblem) {
    SetFlow(ws, 1, 5);
    SetPotential(ws, MaxNodes, 3);
    SetAllPending(ws);
    ASSERT_EQ(Generate(2, 3).outcome, GenerateOutcome::Written);

    ASSERT_EQ(ws.NodeCount, 7);
    ASSERT_EQ(ws.LinkCount, 12);
    const std::vector<std::string> names{"OR 1", "OR 2", "DE 1", "DE 2", "DE 3", "SOURCE", "SINK"};
    for (int32_t n = 1; n <= 7; ++n)
        EXPECT_EQ(ws.NodeName[n], names[n - 1]);
    const std::vector<std::vector<int32_t>> links{
        {1, 3, 0, 0, 0},  {1, 4, 0, 8, 5},  {1, 5, 0, 2, 16}, {2, 3, 0, 3, 4},
        {2, 4, 0, 3, 10}, {2, 5, 0, 0, 11}, {6, 1, 0, 30, 0}, {6, 2, 0, 30, 0},
        {3, 7, 0, 20, 0}, {4, 7, 0, 20, 0}, {5, 7, 0, 20, 0}, {7, 6, 8, 16, 0},
    };
    for (int32_t k = 1; k <= 12; ++k)
        EXPECT_EQ(Link(k), links[k - 1]) << "link " << k;

    EXPECT_EQ(ws.LinkFlow[1], 0);
    EXPECT_EQ(ws.NodePotential[MaxNodes], 0);
    EXPECT_FALSE(ws.NetworkChanged || ws.DataNotSaved || ws.ResultsNotShown);

    EXPECT_EQ(ReadFile("RANPRB1.NDE"),
              "OR 1\r\nOR 2\r\nDE 1\r\nDE 2\r\nDE 3\r\nSOURCE\r\nSINK\r\n");
    const std::string linkFile = ReadFile("RANPRB1.LIN");
    EXPECT_EQ(linkFile.substr(0, 62), Fields({12, 7, 0, 0, 0}));
    EXPECT_NE(linkFile.find(Fields({1, 5, 0, 2, 16})), std::string::npos);
    EXPECT_EQ(linkFile.substr(linkFile.size() - 62), Fields({7, 6, 8, 16, 0}));
}

TEST_F(GeneratorTest, SuccessiveGenerationsContinueTheSequence) {
    Generate(1, 1);
    EXPECT_EQ(Link(1), (std::vector<int32_t>{1, 2, 0, 0, 0}));
    Generate(1, 1);
    EXPECT_EQ(Link(1), (std::vector<int32_t>{1, 2, 0, 8, 5}));
}

TEST_F(GeneratorTest, NoOriginsOrNoDestinationsDrawNothing) {
    Generate(0, 0);
    ASSERT_EQ(ws.NodeCount, 2);
    ASSERT_EQ(ws.LinkCount, 1);
    EXPECT_EQ(ws.NodeName[1], "SOURCE");
    EXPECT_EQ(ws.NodeName[2], "SINK");
    EXPECT_EQ(Link(1), (std::vector<int32_t>{2, 1, 0, 0, 0}));

    Generate(3, 0);
    ASSERT_EQ(ws.NodeCount, 5);
    ASSERT_EQ(ws.LinkCount, 4);
    for (int32_t k = 1; k <= 3; ++k)
        EXPECT_EQ(Link(k), (std::vector<int32_t>{4, k, 0, 0, 0}));
    EXPECT_EQ(Link(4), (std::vector<int32_t>{5, 4, 0, 0, 0}));

    Generate(1, 1);  // still the first draws of the sequence
    EXPECT_EQ(Link(1), (std::vector<int32_t>{1, 2, 0, 0, 0}));
}

TEST_F(GeneratorTest, DrawsStayBelowTheirLimits) {
    ASSERT_EQ(Generate(100, 100).outcome, GenerateOutcome::Written);
    int32_t capacity = 0;
    bool zeroCapacity = false;
    for (int32_t k = 1; k <= 100 * 100; ++k) {
        ASSERT_GE(ws.LinkUpper[k], 0);
        ASSERT_LE(ws.LinkUpper[k], 9);
        ASSERT_GE(ws.LinkCost[k], 0);
        ASSERT_LE(ws.LinkCost[k], 24);
        zeroCapacity = zeroCapacity || ws.LinkUpper[k] == 0;
        capacity += ws.LinkUpper[k];
    }
    EXPECT_TRUE(zeroCapacity);
    EXPECT_EQ(ws.LinkLower[ws.LinkCount], capacity / 2);
    EXPECT_EQ(ws.LinkUpper[ws.LinkCount], capacity);
}

TEST_F(GeneratorTest, CountsBeyondTheWorkspaceAreRefusedUntouched) {
    Generate(2, 3);
    for (auto counts : std::vector<std::pair<int32_t, int32_t>>{
             {-1, 3}, {3, -1}, {2008, 1}, {140, 141}, {176, 112}, {1, 2008}, {65536, 65536}}) {
        const GenerateResult result = Generate(counts.first, counts.second);
        EXPECT_EQ(result.outcome, GenerateOutcome::Refused);
        ASSERT_EQ(result.report.Notices().size(), 1u);
        EXPECT_EQ(result.report.Notices()[0].kind, MsgKind::Error);
    }
    EXPECT_EQ(ws.LinkCount, 12);
    EXPECT_EQ(Generate(2008, 0).outcome, GenerateOutcome::Written);
    EXPECT_EQ(Generate(140, 140).outcome, GenerateOutcome::Written);  // 19881 links
    // (o + 1)(d + 1) links: 20000 fit, 20001 ({176, 112} above) do not.
    EXPECT_EQ(Generate(124, 159).outcome, GenerateOutcome::Written);
    EXPECT_EQ(ws.LinkCount, MaxLinks);
}

TEST_F(GeneratorTest, FileErrorKeepsTheGeneratedProblemWithAClearedSolution) {
    SetFlow(ws, 3, 4);
    NoteLinkRerouted(ws);
    const GenerateResult result =
        GenerateProblem(ws, 2, 3, (dir / "no" / "such" / "folder").string(), seed);
    EXPECT_EQ(result.outcome, GenerateOutcome::FileError);
    ASSERT_EQ(result.report.Notices().size(), 1u);
    EXPECT_EQ(result.report.Notices()[0].text, "File not found");
    EXPECT_EQ(ws.LinkCount, 12);
    EXPECT_EQ(ws.LinkFlow[3], 0);
    EXPECT_FALSE(ws.NetworkChanged);
    EXPECT_TRUE(ws.DataNotSaved);

    // A folder where a file belongs cannot be replaced.
    fs::create_directory(dir / "RANPRB1.LIN");
    EXPECT_EQ(Generate(1, 1).report.Notices().at(0).text, "File access denied");
}

TEST_F(GeneratorTest, ExistingFilesAreOverwrittenWithoutAQuestion) {
    std::ofstream(dir / "RANPRB1.NDE") << "old names that are longer than the new ones\r\n";
    std::ofstream(dir / "RANPRB1.LIN") << "old links";
    ASSERT_EQ(Generate(0, 0).outcome, GenerateOutcome::Written);
    EXPECT_EQ(ReadFile("RANPRB1.NDE"), "SOURCE\r\nSINK\r\n");
    EXPECT_EQ(ReadFile("RANPRB1.LIN"), Fields({1, 2, 0, 0, 0}) + Fields({2, 1, 0, 0, 0}));
}

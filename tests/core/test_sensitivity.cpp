#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <vector>

#include "SimplexOptimum.h"
#include "results/Sensitivity.h"
#include "solver/KiltSolve.h"
#include "support/ProblemBuilder.h"
#include "workspace/ProblemFiles.h"

using namespace kav;

namespace {

// Small problems made degenerate on purpose: few nodes, costs with many ties,
// links of capacity 0, fixed links (lower = upper) and a few loops.
void MakeDegenerateProblem(Workspace& ws, std::mt19937& rng) {
    auto draw = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    ProblemBuilder builder(ws);
    const int n = draw(2, 8);
    builder.Nodes(n);
    const int costRange = draw(0, 3) == 0 ? 2000 : 3;
    for (int k = 1; k <= n; ++k)
        builder.Link(k, k % n + 1, 0, draw(0, 6), draw(-costRange, costRange));
    for (int extra = draw(0, 3 * n); extra > 0; --extra) {
        const int origin = draw(1, n), dest = draw(0, 19) == 0 ? origin : draw(1, n);
        const int kind = draw(0, 9);
        const int upper = kind == 0 ? 0 : draw(0, 6);
        const int lower = kind == 1 ? upper : (kind == 2 ? draw(0, upper) : 0);
        builder.Link(origin, dest, lower, upper, draw(-costRange, costRange));
    }
}

// Re-solves a changed copy of one problem with the program's solver, from
// zero flows and potentials, and with the network simplex.
class Resolver {
  public:
    explicit Resolver(const Workspace& problem) : ws_(problem), base_(GetLink(problem, 1)) {}

    struct Outcome {
        bool stopped = false;
        std::optional<int64_t> optimum;  // nothing: infeasible
    };

    Outcome With(int32_t link, int32_t LinkData::*part, int64_t value, bool simplexToo) {
        const LinkData old = GetLink(ws_, link);
        LinkData changed = old;
        changed.*part = static_cast<int32_t>(value);
        SetLink(ws_, link, changed);
        Outcome outcome = Solve();
        if (simplexToo && !outcome.stopped) {
            EXPECT_EQ(SimplexOptimum(ws_), outcome.optimum) << "link " << link;
        }
        SetLink(ws_, link, old);
        return outcome;
    }
    Outcome WithBounds(int32_t link, int64_t lower, int64_t upper, bool simplexToo) {
        const LinkData old = GetLink(ws_, link);
        LinkData changed = old;
        changed.Lower = static_cast<int32_t>(lower);
        changed.Upper = static_cast<int32_t>(upper);
        SetLink(ws_, link, changed);
        Outcome outcome = Solve();
        if (simplexToo && !outcome.stopped) {
            EXPECT_EQ(SimplexOptimum(ws_), outcome.optimum) << "link " << link;
        }
        SetLink(ws_, link, old);
        return outcome;
    }

  private:
    Outcome Solve() {
        SetSolution(ws_, std::vector<int32_t>(static_cast<std::size_t>(ws_.LinkCount) + 1, 0),
                    std::vector<int32_t>(static_cast<std::size_t>(ws_.NodeCount) + 1, 0));
        const SolveStatus status = solver_.Solve(ws_, nullptr);
        Outcome outcome;
        outcome.stopped = status.IsStopped();
        if (status.IsFeasible())
            outcome.optimum = static_cast<int64_t>(ExactTotalCostOf(ws_));
        return outcome;
    }

    Workspace ws_;
    LinkData base_;
    KilterSolver solver_;
};

bool FitsCost(int64_t cost) {
    return cost >= INT32_MIN && cost <= INT32_MAX;
}

struct Tally {
    int problems = 0, costEnds = 0, boundMoves = 0, infeasibleMoves = 0, multiUnit = 0;
};

// The cost range: at each end the shown flow is still optimal; one beyond it
// something strictly cheaper exists.
void ProveCostRange(const OptimalSolution& s, int64_t base, const LinkSensitivity& row,
                    Resolver& resolver, Tally& tally) {
    const int32_t k = row.link;
    const int64_t x = s.flow[static_cast<std::size_t>(k)];
    const int64_t cost = s.cost[static_cast<std::size_t>(k)];
    const std::pair<std::optional<int64_t>, int> ends[] = {{row.costLow, -1}, {row.costHigh, 1}};
    for (const auto& [end, outward] : ends) {
        if (!end || !FitsCost(*end) || !FitsCost(*end + outward))
            continue;
        ASSERT_TRUE(outward < 0 ? *end <= cost : *end >= cost) << "link " << k;
        const auto atEnd = resolver.With(k, &LinkData::Cost, *end, true);
        if (atEnd.stopped)
            continue;
        ++tally.costEnds;
        ASSERT_EQ(atEnd.optimum, base + (*end - cost) * x) << "link " << k << " end " << *end;
        const auto beyond = resolver.With(k, &LinkData::Cost, *end + outward, false);
        if (beyond.stopped)
            continue;
        ASSERT_TRUE(beyond.optimum.has_value());
        ASSERT_LT(*beyond.optimum, base + (*end + outward - cost) * x) << "link " << k;
    }
}

// One bound figure: the re-solved optimum after a move of 1 unit, and of k
// units up to the units claimed, is the figure times the units, or infeasible
// exactly where the figure says so.
void ProveBoundValue(const OptimalSolution& s, int64_t base, int32_t k, const BoundValue& value,
                     int stepLower, int stepUpper, Resolver& resolver, Tally& tally) {
    const int64_t lower = s.lower[static_cast<std::size_t>(k)];
    const int64_t upper = s.upper[static_cast<std::size_t>(k)];
    const auto possible = [&](int64_t units) {
        const int64_t lo = lower + stepLower * units, up = upper + stepUpper * units;
        return lo >= 0 && lo <= up && up <= INT32_MAX;
    };
    ASSERT_EQ(value.kind != BoundValue::Kind::NotPossible, possible(1)) << "link " << k;
    if (value.kind == BoundValue::Kind::NotPossible)
        return;
    const auto one = resolver.WithBounds(k, lower + stepLower, upper + stepUpper, true);
    if (one.stopped)
        return;
    ++tally.boundMoves;
    if (value.kind == BoundValue::Kind::Infeasible) {
        ++tally.infeasibleMoves;
        ASSERT_FALSE(one.optimum.has_value()) << "link " << k;
        return;
    }
    ASSERT_EQ(one.optimum, base + value.change) << "link " << k;
    const int64_t claimed = value.units.value_or(7);
    for (const int64_t units : {int64_t{2}, claimed / 2, claimed}) {
        if (units < 2 || units > claimed || !possible(units))
            continue;
        ++tally.multiUnit;
        const auto moved =
            resolver.WithBounds(k, lower + stepLower * units, upper + stepUpper * units, false);
        if (!moved.stopped) {
            ASSERT_EQ(moved.optimum, base + units * value.change) << "link " << k << " x" << units;
        }
    }
}

void ProveSensitivity(const Workspace& solved, Tally& tally) {
    const std::optional<OptimalSolution> s = OptimalSolutionOf(solved);
    ASSERT_TRUE(s.has_value());
    const int64_t base = static_cast<int64_t>(ExactTotalCostOf(solved));
    const std::vector<LinkSensitivity> table = SensitivityTable(*s);
    ASSERT_EQ(table.size(), static_cast<std::size_t>(solved.LinkCount));
    Resolver resolver(solved);
    ++tally.problems;
    for (const LinkSensitivity& row : table) {
        const int32_t k = row.link;
        const LinkSensitivity single = SensitivityOfLink(*s, k);
        ASSERT_EQ(single.costLow, row.costLow) << "link " << k;
        ASSERT_EQ(single.costHigh, row.costHigh) << "link " << k;
        ProveCostRange(*s, base, row, resolver, tally);
        const std::tuple<const BoundValue*, int, int> moves[] = {
            {&row.upperPlus, 0, 1},   {&row.upperMinus, 0, -1}, {&row.lowerPlus, 1, 0},
            {&row.lowerMinus, -1, 0}, {&row.flowPlus, 1, 1},    {&row.flowMinus, -1, -1}};
        for (const auto& [value, stepLower, stepUpper] : moves)
            ProveBoundValue(*s, base, k, *value, stepLower, stepUpper, resolver, tally);
    }
}

bool SolveFromZero(Workspace& ws) {
    ws.ClearSolution();
    return RunOutOfKilter(ws, nullptr).IsFeasible();
}

}  // namespace

TEST(Sensitivity, EveryFigureOfRandomDegenerateProblemsIsProvedByResolving) {
    std::mt19937 rng(33);
    Workspace ws;
    Tally tally;
    for (int trial = 0; trial < 500; ++trial) {
        MakeDegenerateProblem(ws, rng);
        if (!SolveFromZero(ws))
            continue;
        ProveSensitivity(ws, tally);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GE(tally.problems, 300);
    // The problems reach every kind of answer, not only the easy ones.
    EXPECT_GT(tally.infeasibleMoves, 100);
    EXPECT_GT(tally.multiUnit, 500);
    EXPECT_GT(tally.costEnds, 500);
}

TEST(Sensitivity, EveryFigureOfEveryExampleIsProvedByResolving) {
    Tally tally;
    for (const auto& entry : std::filesystem::directory_iterator(KAVRILON_EXAMPLES_DIR)) {
        const std::string name = entry.path().string();
        if (entry.path().extension() != ".NDE" && entry.path().extension() != ".min")
            continue;
        Workspace ws;
        ProtectedFiles loaded;
        if (LoadProblemFile(ws, loaded, name).outcome != LoadOutcome::Loaded || !SolveFromZero(ws))
            continue;
        SCOPED_TRACE(name);
        ProveSensitivity(ws, tally);
    }
    EXPECT_GE(tally.problems, 6);
}

TEST(Sensitivity, OnlyAnOptimalSolutionHasFigures) {
    Workspace ws;
    ProblemBuilder(ws).Nodes(2).Link(1, 2, 0, 5, 1).Link(2, 1, 2, 5, 1);
    EXPECT_FALSE(OptimalSolutionOf(ws).has_value());  // below a lower bound
    ASSERT_TRUE(SolveFromZero(ws));
    EXPECT_TRUE(OptimalSolutionOf(ws).has_value());
    SetPotential(ws, 2, 7);  // link 1 now wants to be full
    EXPECT_FALSE(OptimalSolutionOf(ws).has_value());
}

TEST(Sensitivity, CsvRowsAreExactWithEmptyFieldsForUnlimitedAndImpossible) {
    // Three units return through link 1 (worth -10 each) and go out through
    // links 2 (cost 4, room 2) and 3 (cost 6, room 1); link 4 has no room.
    Workspace ws;
    ProblemBuilder(ws)
        .Node("S")
        .Node("=T")
        .Link(2, 1, 0, 3, -10)
        .Link(1, 2, 0, 2, 4)
        .Link(1, 2, 0, 1, 6)
        .Link(1, 2, 0, 0, 9);
    ASSERT_TRUE(SolveFromZero(ws));
    const auto table = SensitivityTable(*OptimalSolutionOf(ws));
    EXPECT_EQ(FormatSensitivityCsv(ws, table), std::string(SensitivityCsvHeader) + "\r\n" +
                                                   "1,'=T,S,-10,3,,-6,0,,4,1,0,3,,,0,3,,\r\n"
                                                   "2,S,'=T,4,2,,10,-2,1,6,2,0,2,,,-2,1,,\r\n"
                                                   "3,S,'=T,6,1,,10,0,,4,1,0,1,,,0,1,,\r\n"
                                                   "4,S,'=T,9,0,,,0,,,,,,,,3,1,,\r\n");
}

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

#include "RandomProblems.h"
#include "SimplexOptimum.h"
#include "generator/GenRand4.h"
#include "solver/KiltSolve.h"
#include "solver/SolveRun.h"
#include "support/TempFolder.h"

using namespace kav;

namespace {

// Flows within bounds, conservation at every node and every link in kilter
// under the final potentials: the flows are an optimal circulation.
void ExpectOptimalityCertificate(const Workspace& ws) {
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        ASSERT_GE(ws.LinkFlow[k], ws.LinkLower[k]) << "link " << k;
        ASSERT_LE(ws.LinkFlow[k], ws.LinkUpper[k]) << "link " << k;
        ASSERT_TRUE(KilterState(ws, k).InKilter) << "link " << k;
    }
    ASSERT_EQ(NodeBalances(ws),
              std::vector<int64_t>(static_cast<std::size_t>(ws.NodeCount) + 1, 0));
}

void SolveAndCompare(Workspace& ws, int& feasible, int& infeasible) {
    const std::optional<int64_t> optimum = SimplexOptimum(ws);
    ws.ClearSolution();
    const bool solved = !RunOutOfKilter(ws, nullptr).IsInfeasible();
    ASSERT_EQ(solved, optimum.has_value());
    if (!solved) {
        ++infeasible;
        return;
    }
    ++feasible;
    ExpectOptimalityCertificate(ws);
    ComputeTotalCost(ws);
    ASSERT_EQ(ws.TotalCost, static_cast<double>(*optimum));
}

}  // namespace

TEST(SolverCertificates, SparseProblemsWithLowerBoundsAndMixedCosts) {
    std::mt19937 rng(1234);
    Workspace ws;
    int feasible = 0, infeasible = 0;
    RandomProblemShape shape;
    for (int trial = 0; trial < 300; ++trial) {
        shape.costRange = trial % 3 == 0 ? 1000 : 10;
        shape.maxUpper = trial % 2 == 0 ? 12 : 500;
        MakeRandomProblem(ws, rng, shape);
        SCOPED_TRACE("trial " + std::to_string(trial));
        SolveAndCompare(ws, feasible, infeasible);
    }
    EXPECT_GT(feasible, 50);
    EXPECT_GT(infeasible, 10);
}

TEST(SolverCertificates, LargerSparseProblems) {
    std::mt19937 rng(99);
    Workspace ws;
    int feasible = 0, infeasible = 0;
    // 200 to 400 nodes, 8 links a node, costs -100..100, 3% lower bounds, upper to 50.
    const RandomProblemShape shape{200, 400, 8, 100, 3, 50};
    for (int trial = 0; trial < 6; ++trial) {
        MakeRandomProblem(ws, rng, shape);
        SCOPED_TRACE("trial " + std::to_string(trial));
        SolveAndCompare(ws, feasible, infeasible);
    }
    EXPECT_GT(feasible, 0);
}

TEST(SolverCertificates, GeneratedTransportationProblems) {
    const TempFolder dir;
    Workspace ws;
    uint32_t seed = 0;
    int feasible = 0, infeasible = 0;
    std::mt19937 rng(5);
    for (int trial = 0; trial < 25; ++trial) {
        const int32_t origins = std::uniform_int_distribution<int32_t>(0, 30)(rng);
        const int32_t destinations = std::uniform_int_distribution<int32_t>(0, 30)(rng);
        ASSERT_EQ(GenerateProblem(ws, origins, destinations, dir.path().string(), seed).outcome,
                  GenerateOutcome::Written);
        SCOPED_TRACE("counts " + std::to_string(origins) + " x " + std::to_string(destinations));
        SolveAndCompare(ws, feasible, infeasible);
    }
    EXPECT_EQ(infeasible, 0);
}

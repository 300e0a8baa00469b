// Compares the solver's time with GLPK's out-of-kilter routine on generated
// transportation problems and sparse problems. Both solve the same problem
// from scratch; the optimal costs must agree. Prints one line per problem with
// the median times and their ratio, then the geometric mean of the ratios.
//
//   glpk-compare [--repeat N]

#include <glpk.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "SparseProblem.h"
#include "generator/GenRand4.h"
#include "solver/CheckProblem.h"
#include "solver/KiltSolve.h"
#include "solver/SolveRun.h"
#include "support/TempFolder.h"

namespace {

struct VertexData {
    double rhs;
    double pi;
};
struct ArcData {
    double low;
    double cap;
    double cost;
    double x;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Processor time of this thread: the machine may be shared, and both solvers
// run single-threaded.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double TimeIt(const std::function<void()>& work) {
    const double start = ThreadSeconds();
    work();
    return ThreadSeconds() - start;
}

glp_graph* ToGlpk(const kav::Workspace& ws) {
    glp_graph* graph = glp_create_graph(sizeof(VertexData), sizeof(ArcData));
    glp_add_vertices(graph, ws.NodeCount);
    for (int32_t n = 1; n <= ws.NodeCount; ++n) {
        *static_cast<VertexData*>(graph->v[n]->data) = VertexData{0, 0};
    }
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        glp_arc* arc = glp_add_arc(graph, ws.LinkOrigin[k], ws.LinkDest[k]);
        *static_cast<ArcData*>(arc->data) =
            ArcData{double(ws.LinkLower[k]), double(ws.LinkUpper[k]), double(ws.LinkCost[k]), 0};
    }
    return graph;
}

struct Outcome {
    double seconds;
    double cost;
    bool feasible;
};

Outcome SolveOurs(kav::Workspace& ws, int repeat) {
    std::vector<double> times;
    kav::KilterSolver solver;
    bool feasible = false;
    for (int run = 0; run < repeat; ++run) {
        ws.ClearSolution();
        times.push_back(TimeIt([&] { feasible = solver.Solve(ws, nullptr).IsFeasible(); }));
    }
    kav::ComputeTotalCost(ws);
    return {Median(times), ws.TotalCost, feasible};
}

Outcome SolveGlpk(const kav::Workspace& ws, int repeat) {
    glp_graph* graph = ToGlpk(ws);
    std::vector<double> times;
    double cost = 0;
    int status = 0;
    for (int run = 0; run < repeat; ++run) {
        times.push_back(TimeIt([&] {
            status = glp_mincost_okalg(graph, offsetof(VertexData, rhs), offsetof(ArcData, low),
                                       offsetof(ArcData, cap), offsetof(ArcData, cost), &cost,
                                       offsetof(ArcData, x), offsetof(VertexData, pi));
        }));
    }
    glp_delete_graph(graph);
    return {Median(times), cost, status == 0};
}

}  // namespace

int main(int argc, char** argv) {
    int repeat = 5;
    if (argc == 3 && std::string(argv[1]) == "--repeat")
        repeat = std::max(1, std::atoi(argv[2]));
    glp_term_out(GLP_OFF);

    kav::Workspace ws;
    uint32_t randomSeed = 0;
    const TempFolder folder;
    const std::string dir = folder.path().string();

    std::vector<std::pair<std::string, std::function<void()>>> problems;
    for (int32_t size : {50, 100, 140}) {
        problems.emplace_back("transport " + std::to_string(size) + "x" + std::to_string(size),
                              [&ws, size, &dir, &randomSeed] {
                                  kav::GenerateProblem(ws, size, size, dir, randomSeed);
                              });
    }
    for (uint32_t seed : {1u, 2u, 3u}) {
        problems.emplace_back("sparse seed " + std::to_string(seed), [&ws, seed] {
            SparseProblemShape shape;
            shape.seed = seed;
            shape.links = 19000 + 500 * static_cast<int32_t>(seed - 1);
            MakeSparseProblem(ws, shape);
        });
    }

    std::printf("%-20s %6s %5s %12s %12s %8s\n", "problem", "links", "nodes", "ours_s", "glpk_s",
                "ratio");
    double logSum = 0;
    int agreeing = 0;
    for (auto& [name, make] : problems) {
        make();
        kav::CheckProblem(ws);
        if (!ws.ChecksPassed) {
            std::printf("%-20s checks failed\n", name.c_str());
            return 1;
        }
        const Outcome glpk = SolveGlpk(ws, repeat);
        const Outcome ours = SolveOurs(ws, repeat);
        const bool agree =
            ours.feasible == glpk.feasible && (!ours.feasible || ours.cost == glpk.cost);
        agreeing += agree;
        const double ratio = ours.seconds / glpk.seconds;
        logSum += std::log(ratio);
        std::printf("%-20s %6d %5d %12.6f %12.6f %8.3f %s cost %.0f\n", name.c_str(),
                    int{ws.LinkCount}, int{ws.NodeCount}, ours.seconds, glpk.seconds, ratio,
                    agree ? "same" : "DIFFERENT", ours.cost);
    }
    std::printf("geometric mean ratio %.3f\n", std::exp(logSum / double(problems.size())));
    return agreeing == static_cast<int>(problems.size()) ? 0 : 1;
}

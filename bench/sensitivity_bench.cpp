// Times the sensitivity figures of an optimal solution at the Workspace's
// limits (2010 nodes, 20000 links): the whole table, and one link's answer,
// with the peak memory they reach. Usage: sensitivity-bench [--repeat N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "SparseProblem.h"
#include "results/Sensitivity.h"
#include "solver/KiltSolve.h"

namespace {

double StatusMiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stod(line.substr(field.size() + 1)) / 1024;
    }
    return 0;
}

template <typename Work>
double MedianMs(int repeats, Work work) {
    std::vector<double> ms;
    for (int r = 0; r < repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    int repeats = 5;
    if (argc == 3 && std::strcmp(argv[1], "--repeat") == 0)
        repeats = std::max(1, std::atoi(argv[2]));
    kav::Workspace ws;
    SparseProblemShape shape;
    shape.nodes = kav::MaxNodes;
    shape.links = kav::MaxLinks;
    MakeSparseProblem(ws, shape);
    if (!kav::RunOutOfKilter(ws, nullptr).IsFeasible()) {
        std::printf("status infeasible\n");
        return 1;
    }
    const std::optional<kav::OptimalSolution> solution = kav::OptimalSolutionOf(ws);
    if (!solution)
        return 1;
    int between = 0;
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        between += ws.LinkLower[k] < ws.LinkFlow[k] && ws.LinkFlow[k] < ws.LinkUpper[k];
    std::printf("links %d nodes %d strictly_between_bounds %d\n", int(ws.LinkCount),
                int(ws.NodeCount), between);
    const double peakBefore = StatusMiB("VmHWM");
    std::size_t rows = 0;
    const double table = MedianMs(repeats, [&] { rows = kav::SensitivityTable(*solution).size(); });
    const double peakTable = StatusMiB("VmHWM");
    // One link of each kind: at its lower bound, strictly between, at its upper.
    std::vector<int32_t> sample;
    for (int32_t k = 1; k <= ws.LinkCount && sample.size() < 300; k += 67)
        sample.push_back(k);
    const double oneLink = MedianMs(1,
                                    [&] {
                                        for (const int32_t k : sample)
                                            kav::SensitivityOfLink(*solution, k);
                                    }) /
                           static_cast<double>(sample.size());
    std::printf("table_rows %zu\ntable_ms %.1f (median of %d)\none_link_ms %.2f (mean of %zu)\n",
                rows, table, repeats, oneLink, sample.size());
    std::printf("peak_mib_before %.1f peak_mib_after_table %.1f\n", peakBefore, peakTable);
    return 0;
}

// Headless benchmark: loads a problem through the same reader as the Load Data
// button, reports how long that took and, on request, writes it back; then
// checks and solves it from zero flows and potentials.
//
//   kavrilon-bench NODEFILE [--links LINKFILE] [--save NODEFILE_OUT] [--flows] [--repeat N]
//                  [--trace FILE]
//   kavrilon-bench --generate ORIGINS DESTINATIONS DIR
//
// Output, one "key value" pair per line: load <outcome>, links, nodes,
// load_seconds (and save <outcome> with --save); then status feasible or
// infeasible, failed_link, total_cost, solve_seconds (the algorithm alone; with
// --repeat N the median of N solves), and with --flows "link K FLOW" for every
// link and "node N POTENTIAL" for every node; with --trace every solve writes
// its steps to FILE as kavrilon --solve --trace does (solve_seconds includes
// the writing) and trace_bytes gives the file's size; after them, when infeasible,
// cut_nodes, cut_need, cut_room (and with --flows "cut_node K" per node of the
// set), when feasible "certificate ok" or "certificate failed REASON". When
// the checks fail it prints
// "checks failed" and the error lines instead, and when the solver stops on
// numbers beyond 32 bits, "solve stopped" and the reason. Exit status 0 when
// the problem loaded and solved (feasible or not), 1 otherwise, 2 for bad
// arguments.
// --generate writes RANPRB1.NDE and RANPRB1.LIN into DIR and prints generate
// Written|Refused|Failed (Refused: counts beyond the Workspace), links, nodes.

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include <algorithm>
#include <vector>

#include "generator/GenRand4.h"
#include "solver/CheckProblem.h"
#include "solver/KiltSolve.h"
#include "solver/Session.h"
#include "solver/SolutionChecks.h"
#include "solver/SolveRun.h"
#include "workspace/ProblemFiles.h"
#include "workspace/ProblemWriter.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

const char* const Usage =
    "usage: kavrilon-bench NODEFILE [--links LINKFILE] [--save NODEFILE_OUT] [--flows]\n"
    "                      [--repeat N] [--trace FILE]\n"
    "       kavrilon-bench --generate ORIGINS DESTINATIONS DIR\n"
    "  NODEFILE      node file to load; its link file is the same name ending in LIN\n"
    "  --links FILE  load this link file instead\n"
    "  --save FILE   write the loaded problem to FILE and the matching LIN file\n"
    "  --flows       print every link's flow and every node's potential\n"
    "  --repeat N    solve N times from zero and report the median time\n"
    "  --trace FILE  write every solve's steps to FILE (JSON Lines)\n"
    "  --generate    write a random problem RANPRB1.NDE / RANPRB1.LIN into DIR\n";

struct BenchOptions {
    std::string nodeFile;
    std::string linkFile;      // empty: derived from nodeFile
    std::string saveNodeFile;  // empty: no save
    bool printFlows = false;
    long repeat = 1;
    std::string traceFile;  // empty: no trace
    bool generate = false;
    long origins = 0;
    long destinations = 0;
    std::string generateDir;
};

// Walks the command line; each option takes its values through Value/Count so
// that new options need one branch in ParseArguments and nothing else.
class Arguments {
  public:
    Arguments(int argc, char** argv) : argc_(argc), argv_(argv) {}

    bool Done() const { return next_ >= argc_; }
    std::string_view Next() { return argv_[next_++]; }

    bool Value(std::string& out) {
        if (Done())
            return false;
        out = Next();
        return !out.empty();
    }
    bool Count(long& out) { return Number(out) && out > 0; }

    bool Number(long& out) {
        std::string text;
        if (!Value(text))
            return false;
        char* end = nullptr;
        out = std::strtol(text.c_str(), &end, 10);
        return *end == '\0';
    }

  private:
    int argc_;
    char** argv_;
    int next_ = 1;
};

std::optional<BenchOptions> ParseArguments(int argc, char** argv) {
    BenchOptions options;
    Arguments args(argc, argv);
    while (!args.Done()) {
        const std::string_view arg = args.Next();
        bool ok = true;
        if (arg == "--links") {
            ok = args.Value(options.linkFile);
        } else if (arg == "--save") {
            ok = args.Value(options.saveNodeFile);
        } else if (arg == "--flows") {
            options.printFlows = true;
        } else if (arg == "--repeat") {
            ok = args.Count(options.repeat);
        } else if (arg == "--trace") {
            ok = args.Value(options.traceFile);
        } else if (arg == "--generate") {
            options.generate = true;
            ok = args.Number(options.origins) && args.Number(options.destinations) &&
                 args.Value(options.generateDir);
        } else if (arg.substr(0, 1) == "-" || !options.nodeFile.empty()) {
            ok = false;
        } else {
            options.nodeFile = arg;
        }
        if (!ok)
            return std::nullopt;
    }
    if (options.generate != options.nodeFile.empty())
        return std::nullopt;
    return options;
}

// Messages go to standard error so that a failed load says why; nothing waits
// for an answer.
class ConsolePrompts : public kav::SilentPrompts {
  public:
    kav::Answer Message(kav::MsgKind kind, kav::MsgButtons buttons,
                        const std::string& text) override {
        std::string shown = text;
        for (char& c : shown) {
            if (c == '\r')
                c = '\n';
        }
        std::fprintf(stderr, "%s\n", shown.c_str());
        return SilentPrompts::Message(kind, buttons, text);
    }
};

const char* OutcomeName(kav::LoadOutcome outcome) {
    switch (outcome) {
        case kav::LoadOutcome::Loaded:
            return "Loaded";
        case kav::LoadOutcome::Refused:
            return "Refused";
        case kav::LoadOutcome::Cancelled:
            return "Cancelled";
        case kav::LoadOutcome::Failed:
            break;
    }
    return "Failed";
}

const char* GenerateOutcomeName(kav::GenerateOutcome outcome) {
    switch (outcome) {
        case kav::GenerateOutcome::Written:
            return "Written";
        case kav::GenerateOutcome::Refused:
            return "Refused";
        case kav::GenerateOutcome::FileError:
            break;
    }
    return "Failed";
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Loads the problem into ws and prints the load's lines.
bool RunLoad(kav::Workspace& ws, kav::Prompts& prompts, const BenchOptions& options) {
    const std::string linkFile =
        options.linkFile.empty() ? kav::DeriveLinkFileName(options.nodeFile) : options.linkFile;
    const auto start = std::chrono::steady_clock::now();
    const kav::LoadOutcome outcome =
        kav::ReadProblem(ws, options.nodeFile, linkFile).ShowTo(prompts);
    const double seconds = SecondsSince(start);
    std::printf("load %s\nlinks %d\nnodes %d\nload_seconds %.6f\n", OutcomeName(outcome),
                int{ws.LinkCount}, int{ws.NodeCount}, seconds);
    return outcome == kav::LoadOutcome::Loaded;
}

bool RunSave(const kav::Workspace& ws, const BenchOptions& options) {
    const std::string& nodeFile = options.saveNodeFile;
    const kav::WriteResult written =
        kav::WriteProblemFiles(ws, nodeFile, kav::DeriveLinkFileName(nodeFile));
    const bool saved = static_cast<bool>(written);
    std::printf("save %s\n", saved ? "Saved" : "Failed");
    if (!saved) {
        std::fprintf(stderr, "%s\n",
                     written.Failure == kav::WriteFailure::SameFile
                         ? "the node file and the link file are one file"
                         : std::strerror(written.SystemError));
    }
    return saved;
}

// Checks the loaded problem as the Run button does; prints the error lines
// when it fails.
bool RunChecks(kav::Workspace& ws) {
    const std::vector<std::string> lines = kav::CheckProblem(ws);
    if (ws.ChecksPassed)
        return true;
    std::puts("checks failed");
    for (const std::string& line : lines)
        std::puts(line.c_str());
    return false;
}

// After the solve's own lines: the set that shows an infeasibility (its
// nodes with --flows), or the outcome of the optimality check.
void PrintExplanation(const kav::Workspace& ws, const kav::SolveStatus& status, bool printNodes) {
    if (status.IsInfeasible()) {
        const kav::InfeasibilityCut& cut = status.Cut;
        std::printf("cut_nodes %zu\ncut_need %lld\ncut_room %lld\n", cut.Nodes.size(),
                    static_cast<long long>(cut.Need), static_cast<long long>(cut.Room));
        if (printNodes) {
            for (int32_t n : cut.Nodes)
                std::printf("cut_node %d\n", n);
        }
        return;
    }
    const kav::OptimalityCertificate certificate = kav::CheckOptimality(ws);
    if (certificate.Ok)
        std::puts("certificate ok");
    else
        std::printf("certificate failed %s\n", certificate.Failure.c_str());
}

// Writes a solve's steps as the program's --trace does.
class TraceWriter : public kav::SolveObserver {
  public:
    bool Open(const std::string& name) { return Said(file_.Open(name)); }
    void Observe(const kav::SolveEvent& event) override {
        line_ = kav::TraceLine(event);
        line_ += '\n';
        file_.Write(line_);
    }
    bool Finish() { return Said(file_.Finish()); }

  private:
    static bool Said(const kav::WriteResult& result) {
        if (!result)
            std::printf("trace not written\n%s\n", result.FailureText().c_str());
        return static_cast<bool>(result);
    }
    kav::StreamedFile file_;
    std::string line_;
};

// Solves from zero flows and potentials `repeat` times, timing the algorithm
// alone, and prints the outcome of the last solve with the median time.
bool RunSolve(kav::Workspace& ws, const BenchOptions& options) {
    std::vector<double> seconds;
    kav::KilterSolver solver;
    kav::SolveStatus status;
    for (long run = 0; run < options.repeat; ++run) {
        ws.ClearSolution();
        const auto start = std::chrono::steady_clock::now();
        TraceWriter trace;
        if (!options.traceFile.empty() && !trace.Open(options.traceFile))
            return false;
        try {
            status = solver.Solve(ws, nullptr, options.traceFile.empty() ? nullptr : &trace);
        } catch (const kav::CheckedError& error) {
            status.Outcome = kav::SolveOutcome::Stopped;
            status.StopReason = error.what();
        }
        if (!options.traceFile.empty() && !trace.Finish())
            return false;
        if (status.IsStopped()) {
            std::printf("solve stopped\n%s\n", status.StopReason.c_str());
            return false;
        }
        seconds.push_back(SecondsSince(start));
    }
    std::sort(seconds.begin(), seconds.end());
    const std::size_t middle = seconds.size() / 2;
    const double median =
        seconds.size() % 2 == 1 ? seconds[middle] : (seconds[middle - 1] + seconds[middle]) / 2;
    kav::ComputeTotalCost(ws);
    std::printf("status %s\nfailed_link %d\ntotal_cost %.0f\nsolve_seconds %.6f\n",
                status.IsInfeasible() ? "infeasible" : "feasible", status.Cut.FailedLink,
                double{ws.TotalCost}, median);
    if (options.printFlows) {
        for (int32_t k = 1; k <= ws.LinkCount; ++k)
            std::printf("link %d %d\n", k, ws.LinkFlow[k]);
        for (int32_t n = 1; n <= ws.NodeCount; ++n)
            std::printf("node %d %d\n", n, ws.NodePotential[n]);
    }
    if (!options.traceFile.empty()) {
        struct stat info {};
        if (::stat(options.traceFile.c_str(), &info) == 0)
            std::printf("trace_bytes %lld\n", static_cast<long long>(info.st_size));
    }
    PrintExplanation(ws, status, options.printFlows);
    return true;
}

int RunGenerate(kav::Workspace& ws, const BenchOptions& options) {
    const auto fits = [](long value) { return value >= INT32_MIN && value <= INT32_MAX; };
    if (!fits(options.origins) || !fits(options.destinations)) {
        std::fputs("generate Refused\n", stdout);
        return 1;
    }
    uint32_t randomSeed = 0;
    const kav::GenerateResult result = kav::GenerateProblem(
        ws, static_cast<int32_t>(options.origins), static_cast<int32_t>(options.destinations),
        options.generateDir, randomSeed);
    const bool written = result.outcome == kav::GenerateOutcome::Written;
    std::printf("generate %s\nlinks %d\nnodes %d\n", GenerateOutcomeName(result.outcome),
                int{ws.LinkCount}, int{ws.NodeCount});
    if (!written)
        std::fprintf(stderr, "%s\n", result.failure.c_str());
    return written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<BenchOptions> options = ParseArguments(argc, argv);
    if (!options) {
        std::fputs(Usage, stderr);
        return 2;
    }
    ConsolePrompts prompts;
    kav::SetFatalErrorPrompts(&prompts);
    kav::Session session(prompts);
    kav::Workspace& ws = session.ws;
    if (options->generate)
        return RunGenerate(ws, *options);

    bool ok = RunLoad(ws, prompts, *options);
    if (ok && !options->saveNodeFile.empty())
        ok = RunSave(ws, *options);
    if (ok)
        ok = RunChecks(ws) && RunSolve(ws, *options);
    return ok ? 0 : 1;
}

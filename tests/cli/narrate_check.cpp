// Runs the real program's --narrate on each problem named and checks every
// line: numbered in order, one per step of the solve, each sentence's claims
// true of the states around it.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "results/SolveSteps.h"
#include "solver/CheckProblem.h"
#include "support/StepClaims.h"
#include "workspace/ProblemFiles.h"

namespace {

std::vector<std::string> Lines(const std::string& command) {
    std::vector<std::string> lines;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return lines;
    std::string line;
    for (int c = std::fgetc(pipe.get()); c != EOF; c = std::fgetc(pipe.get())) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        lines.push_back(line);
        line.clear();
    }
    return lines;
}

// What is wrong with the narration of one problem, empty when nothing is.
std::string CheckProblem(const std::string& program, const std::string& problem) {
    kav::Workspace ws;
    kav::ProtectedFiles loaded;
    if (kav::LoadProblemFile(ws, loaded, problem).outcome != kav::LoadOutcome::Loaded)
        return "not loaded";
    const std::vector<std::string> lines =
        Lines("'" + program + "' --solve '" + problem + "' --narrate - --output /dev/null");
    // A problem the checks refuse is not solved, so there is nothing to narrate.
    if (!kav::CheckProblem(ws).empty())
        return lines.empty() ? std::string() : "lines for a problem never solved";
    kav::SolveSteps steps(ws);
    if (lines.size() != steps.Count())
        return std::to_string(lines.size()) + " lines for " + std::to_string(steps.Count()) +
               " steps";
    stepclaims::Checker checker(steps.Problem());
    for (std::size_t n = 1; n <= steps.Count(); ++n) {
        const kav::StepState before = steps.State();
        steps.GoTo(n);
        const std::string number = std::to_string(n) + '\t';
        if (lines[n - 1].rfind(number, 0) != 0)
            return "line " + std::to_string(n) + " is not numbered " + std::to_string(n);
        const kav::SolveEvent next = steps.AtEnd() ? kav::SolveEvent() : steps.Event(n);
        const std::string wrong =
            checker.Check(before, steps.State(), steps.Current(), steps.AtEnd() ? nullptr : &next,
                          lines[n - 1].substr(number.size()));
        if (!wrong.empty())
            return "line " + lines[n - 1] + ": " + wrong;
    }
    return std::string();
}

}  // namespace

int main(int argc, char** argv) {
    int failed = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string wrong = CheckProblem(argv[1], argv[i]);
        std::printf("%s: %s\n", argv[i], wrong.empty() ? "every claim holds" : wrong.c_str());
        failed += !wrong.empty();
    }
    return failed == 0 && argc > 2 ? 0 : 1;
}

// Headless benchmark: loads a problem through the same reader as the Load Data
// button, reports how long that took and, on request, writes it back.
//
//   kavrilon-bench NODEFILE [--links LINKFILE] [--save NODEFILE_OUT]
//
// Output, one "key value" pair per line: load <outcome>, links, nodes,
// load_seconds (and save <outcome> with --save). Exit status 0 when the problem
// loaded (and saved, if asked), 1 otherwise, 2 for bad arguments.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "workspace/ProblemFiles.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

const char* const Usage =
    "usage: kavrilon-bench NODEFILE [--links LINKFILE] [--save NODEFILE_OUT]\n"
    "  NODEFILE      node file to load; its link file is the same name ending in LIN\n"
    "  --links FILE  load this link file instead\n"
    "  --save FILE   write the loaded problem to FILE and the matching LIN file\n";

struct BenchOptions {
    std::string nodeFile;
    std::string linkFile;      // empty: derived from nodeFile
    std::string saveNodeFile;  // empty: no save
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
    bool Count(long& out) {
        std::string text;
        if (!Value(text))
            return false;
        char* end = nullptr;
        out = std::strtol(text.c_str(), &end, 10);
        return *end == '\0' && out > 0;
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
        } else if (arg.substr(0, 1) == "-" || !options.nodeFile.empty()) {
            ok = false;
        } else {
            options.nodeFile = arg;
        }
        if (!ok)
            return std::nullopt;
    }
    if (options.nodeFile.empty())
        return std::nullopt;
    return options;
}

// Messages go to standard error so that a failed load says why; nothing waits
// for an answer.
class ConsolePrompts : public kav::Prompts {
  public:
    kav::Answer Message(kav::MsgKind, kav::MsgButtons buttons, const std::string& text) override {
        std::string shown = text;
        for (char& c : shown) {
            if (c == '\r')
                c = '\n';
        }
        std::fprintf(stderr, "%s\n", shown.c_str());
        return buttons == kav::MsgButtons::Ok ? kav::Answer::Ok : kav::Answer::No;
    }
    void Beep(unsigned) override {}
    std::optional<std::string> OpenFile(const kav::FileDialogSpec&) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFile(const kav::FileDialogSpec&) override {
        return std::nullopt;
    }
    [[noreturn]] void Fatal(kav::MsgKind, const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::exit(EXIT_FAILURE);
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

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Loads the problem into ws and prints the load's lines.
bool RunLoad(kav::Workspace& ws, kav::Prompts& prompts, const BenchOptions& options) {
    const std::string linkFile =
        options.linkFile.empty() ? kav::DeriveLinkFileName(options.nodeFile) : options.linkFile;
    const auto start = std::chrono::steady_clock::now();
    const kav::LoadOutcome outcome = kav::ReadProblem(ws, prompts, options.nodeFile, linkFile);
    const double seconds = SecondsSince(start);
    std::printf("load %s\nlinks %d\nnodes %d\nload_seconds %.6f\n", OutcomeName(outcome),
                ws.LinkCount, ws.NodeCount, seconds);
    return outcome == kav::LoadOutcome::Loaded;
}

bool RunSave(const kav::Workspace& ws, const BenchOptions& options) {
    const std::string& nodeFile = options.saveNodeFile;
    const bool saved = kav::WriteProblemFiles(ws, nodeFile, kav::DeriveLinkFileName(nodeFile));
    std::printf("save %s\n", saved ? "Saved" : "Failed");
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<BenchOptions> options = ParseArguments(argc, argv);
    if (!options) {
        std::fputs(Usage, stderr);
        return 2;
    }
    ConsolePrompts prompts;
    kav::InstallPrompts(&prompts);
    kav::Workspace& ws = kav::TheWorkspace();

    bool ok = RunLoad(ws, prompts, *options);
    if (ok && !options->saveNodeFile.empty())
        ok = RunSave(ws, *options);
    return ok ? 0 : 1;
}

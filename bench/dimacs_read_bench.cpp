// Peak memory of the DIMACS reader, beyond the Workspace, on two files it
// makes in a temporary folder: one comment line of 2.5 million one-letter
// words (5 MB, refused by the line limit) and a full problem of 20000 arcs
// with a name for every node. Each file is read in a child process of its
// own, so that one reading's peak does not hide the next.
//
//   dimacs-read-bench [FOLDER]
//
// Output per file: "file NAME bytes N peak_kib K ratio R outcome O", where K
// is the growth of the resident set over the read and R = K*1024 / N (the
// target is below 2). Exit status 0 when every ratio is below 2.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "support/TempFolder.h"
#include "workspace/DimacsFormat.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

long PeakKib() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string WordsLine() {
    std::string line = "c";
    line.reserve(5'000'001);
    for (int k = 0; k < 2'500'000; ++k)
        line += " x";
    return "p min 2 1\n" + line + "\na 1 2 0 1 1\n";
}

std::string FullProblem() {
    constexpr int Nodes = 2000;
    constexpr int Arcs = 20000;
    std::string text = "p min " + std::to_string(Nodes) + " " + std::to_string(Arcs) + "\n";
    for (int n = 1; n <= Nodes; ++n)
        text += "c name " + std::to_string(n) + " NODE-" + std::to_string(n) + "\n";
    for (int k = 0; k < Arcs; ++k) {
        text += "a " + std::to_string(k % Nodes + 1) + " " +
                std::to_string((k * 7 + 3) % Nodes + 1) + " 0 " + std::to_string(100 + k % 50) +
                " " + std::to_string(k % 97 - 40) + "\n";
    }
    return text;
}

// Reads the file in a child process; true when its ratio is below 2.
bool Measure(const std::string& name, const std::string& file) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        auto ws = std::make_unique<kav::Workspace>();
        kav::SilentPrompts prompts;
        // What any first read costs once (the stream library's set-up, the
        // Workspace's pages) is not the reader's.
        kav::ReadDimacsText(*ws, "p min 1 0\n", "warm-up").ShowTo(prompts);
        for (int32_t k = 1; k <= kav::MaxLinks; ++k)
            kav::SetLink(*ws, k, kav::LinkData{});
        const long before = PeakKib();
        const kav::LoadOutcome outcome = kav::ReadDimacsFile(*ws, file).ShowTo(prompts);
        const long grown = PeakKib() - before;
        const auto bytes = static_cast<double>(std::filesystem::file_size(file));
        const double ratio = static_cast<double>(grown) * 1024.0 / bytes;
        std::printf("file %s bytes %.0f peak_kib %ld ratio %.3f outcome %s\n", name.c_str(), bytes,
                    grown, ratio, outcome == kav::LoadOutcome::Loaded ? "loaded" : "refused");
        std::fflush(stdout);
        ::_exit(ratio < 2.0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const TempFolder scratch;  // a folder of this run's own unless one is named
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : scratch.path();
    const std::string words = (folder / "dimacs-bench-words.min").string();
    const std::string full = (folder / "dimacs-bench-full.min").string();
    std::ofstream(words, std::ios::binary) << WordsLine();
    std::ofstream(full, std::ios::binary) << FullProblem();
    const bool wordsOk = Measure("words", words);
    const bool fullOk = Measure("arcs20000", full);
    fs::remove(words);
    fs::remove(full);
    return wordsOk && fullOk ? 0 : 1;
}

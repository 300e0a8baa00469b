// Peak memory of the DIMACS reader, beyond the Workspace, on four files it
// makes in a temporary folder: one comment line of 2.5 million one-letter
// words (5 MB, refused by the line limit), a full problem of 20000 arcs with
// a name for every node, and the same problem after 3 million "c name" lines
// (78 MB) before the problem line, once naming nodes 1 to 3000000
// (refused at node 2011) and once renaming the problem's 2000 nodes over and
// over. Each file is read in a child process of its own, so that one
// reading's peak does not hide the next.
//
//   dimacs-read-bench [FOLDER]
//
// Output per file: "file NAME bytes N peak_kib K ratio R outcome O", where K
// is the growth of the resident set over the read and R = K*1024 / N. Exit
// status 0 when every ratio is below 2 and the early names' peak is within
// 5 MB of the full problem's for both early-name files.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
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

constexpr int EarlyNameLines = 3'000'000;

// The full problem after EarlyNameLines names for the nodes 1 to `nodes`,
// over and over, before its problem line; written line by line, so that
// this process stays small.
void WriteEarlyNames(const std::string& file, int nodes) {
    std::ofstream out(file, std::ios::binary);
    for (int k = 0; k < EarlyNameLines; ++k) {
        const std::string node = std::to_string(k % nodes + 1);
        std::string line = "c name " + node + " E" + node;
        line.resize(25, '-');  // 26 bytes a line, as long whatever the node
        out << line << "\n";
    }
    out << FullProblem();
}

// Reads the file in a child process; its peak growth in KiB when its ratio
// is below 2.
std::optional<long> Measure(const std::string& name, const std::string& file) {
    std::fflush(stdout);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return std::nullopt;
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
        const bool written = ::write(pipeEnds[1], &grown, sizeof grown) == sizeof grown;
        ::_exit(written && ratio < 2.0 ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    long grown = 0;
    const bool read = ::read(pipeEnds[0], &grown, sizeof grown) == sizeof grown;
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return grown;
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
    const bool wordsOk = Measure("words", words).has_value();
    const std::optional<long> fullPeak = Measure("arcs20000", full);
    fs::remove(words);
    fs::remove(full);
    bool earlyOk = fullPeak.has_value();
    for (const auto& [name, nodes] : {std::pair{"early-names-distinct", EarlyNameLines},
                                      std::pair{"early-names-repeated", 2000}}) {
        const std::string early = (folder / (std::string(name) + ".min")).string();
        WriteEarlyNames(early, nodes);
        constexpr long MostMoreKib = 5 * 1024;
        const std::optional<long> peak = Measure(name, early);
        earlyOk = earlyOk && peak && *peak - *fullPeak <= MostMoreKib;
        fs::remove(early);
    }
    return wordsOk && earlyOk ? 0 : 1;
}

#pragma once

#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

#include "app/PictureOption.h"
#include "results/ResultLines.h"

// What the program's arguments ask for. The mode is decided before any
// application object exists: the windows need a display, the other modes run
// without one.
enum class ProgramMode { Windows, Solve, Generate, Help, Version, BadArguments };

enum class OutputFormat { Text, Csv, Dimacs, Json };

// Which of the standard descriptors 0, 1 and 2 the program was started with
// closed.
struct ClosedDescriptors {
    bool input = false;
    bool output = false;
    bool error = false;
};

// Opens /dev/null on each standard descriptor that is closed, so that no file
// the program opens later takes its number (a write to standard output would
// land in it); says which were closed. Called first thing in main.
ClosedDescriptors OpenClosedStandardDescriptors();

struct CommandLine {
    ProgramMode mode = ProgramMode::Windows;
    // Windows: the problem to load at start (may be empty); Solve: the problem.
    std::string problem;
    OutputFormat format = OutputFormat::Text;
    kav::LinkOrder order = kav::LinkOrder::Input;
    bool nonZeroOnly = false;
    std::string output;   // empty: standard output
    std::string trace;    // --trace: where the solve's steps go; empty: nowhere
    std::string narrate;  // --narrate: where the steps in words go; empty: nowhere
    // --sensitivity: where the cost ranges and bound values go; empty: nowhere
    std::string sensitivity;
    PictureRequest picture;
    int32_t origins = 0;
    int32_t destinations = 0;
    std::string directory;
    uint32_t seed = 0;
    // BadArguments: what was wrong.
    std::string error;
    // Set by main from OpenClosedStandardDescriptors.
    ClosedDescriptors closed;
};

// Exit statuses of the command-line modes.
constexpr int ExitSolved = 0;
constexpr int ExitNotSolved = 1;  // infeasible, checks failed, or the solve was stopped
constexpr int ExitUnreadable = 2;
constexpr int ExitBadArguments = 3;
constexpr int ExitNotWritten = 4;

// arguments holds argv's bytes, the program name first. File names are kept
// byte for byte, also when they are not UTF-8; Qt's own options (-platform,
// -style, ...) are left out.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// An argument as ParseCommandLine's parser holds it, back to the bytes it
// was given as (a file name need not be UTF-8).
std::string ArgumentBytes(const QString& parsed);

// A node name given as an argument, in the Latin-1 the problem holds names
// in: typed in UTF-8, or given as bytes that are not UTF-8 (Latin-1 already).
std::string ArgumentName(const QString& parsed);

// Runs a mode other than Windows and returns the exit status; needs a
// QCoreApplication (for --help and --version texts) but no display.
int RunCommandLine(const CommandLine& command);

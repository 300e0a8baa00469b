#include "app/CommandLine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "app/VersionInfo.h"
#include "generator/GenRand4.h"
#include "results/ReportLines.h"
#include "results/ResultCsv.h"
#include "results/ResultJson.h"
#include "results/ResultLines.h"
#include "results/Sensitivity.h"
#include "results/StepTexts.h"
#include "solver/CheckProblem.h"
#include "solver/KiltSolve.h"
#include "solver/Session.h"
#include "solver/SolveRun.h"
#include "workspace/DimacsFormat.h"
#include "workspace/FilePaths.h"
#include "workspace/ProblemFiles.h"
#include "workspace/ProblemWriter.h"
#include "workspace/TextEncoding.h"

namespace {

const char* const ExitStatusText =
    "Exit status of --solve and --generate:\n"
    "  0  solved (--generate: files written)\n"
    "  1  infeasible, pre-solve checks failed, or the solve was stopped (a potential or\n"
    "     flow would leave the 32-bit range)\n"
    "  2  the problem could not be read or was refused\n"
    "  3  bad arguments\n"
    "  4  the output could not be written\n";

// Qt's own options: the windows take them, the other modes ignore them.
const char* const QtOptionsWithValue[] = {"platform",      "platformpluginpath",
                                          "platformtheme", "plugin",
                                          "qmljsdebugger", "style",
                                          "stylesheet",    "session",
                                          "display",       "geometry",
                                          "title",         "qwindowgeometry",
                                          "qwindowicon",   "qwindowtitle",
                                          "font",          "fn",
                                          "background",    "bg",
                                          "foreground",    "fg",
                                          "button",        "btn",
                                          "name",          "visual",
                                          "ncols",         "cmap",
                                          "inputstyle",    "im"};
const char* const QtOptionsAlone[] = {"reverse", "widgetcount", "nograb",
                                      "dograb",  "sync",        "testability"};

// The option's name when an argument is one of Qt's ("-style", "--style",
// "-style=fusion"), with whether it takes the next argument as its value.
bool IsQtOption(const std::string& argument, bool& takesNext) {
    takesNext = false;
    if (argument.size() < 2 || argument[0] != '-')
        return false;
    std::string name = argument.substr(argument[1] == '-' ? 2 : 1);
    const std::size_t equals = name.find('=');
    const bool valueGiven = equals != std::string::npos;
    name = name.substr(0, equals);
    for (const char* option : QtOptionsWithValue) {
        if (name == option) {
            takesNext = !valueGiven;
            return true;
        }
    }
    for (const char* option : QtOptionsAlone) {
        if (name == option && !valueGiven)
            return true;
    }
    return false;
}

// Whether bytes are well-formed UTF-8 (so that a QString holds them exactly).
bool IsUtf8(const std::string& bytes) {
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const QByteArray back = text.toUtf8();
    return back.size() == static_cast<qsizetype>(bytes.size()) &&
           std::equal(bytes.begin(), bytes.end(), back.constData());
}

// An argument that is not UTF-8 is given to the parser as a stand-in; the
// stand-in is turned back into the argument's bytes afterwards.
const QString StandInMark = QStringLiteral("\x01kavrilon-argument-");

struct Options {
    QCommandLineOption solve{QStringLiteral("solve"),
                             QStringLiteral("Load, check and solve PROBLEM without a window and "
                                            "write the results.")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("Output of --solve: text (the printed report), csv, "
                                             "json (one object with the status, the exact total, "
                                             "the links and the nodes; also for a problem that "
                                             "was refused, failed its checks or was stopped) or "
                                             "dimacs (the problem with its solution; takes no "
                                             "--order or --nonzero). Default text."),
                              QStringLiteral("text|csv|json|dimacs"), QStringLiteral("text")};
    QCommandLineOption order{QStringLiteral("order"),
                             QStringLiteral("Link order of --solve: input, origin or dest. "
                                            "Default input."),
                             QStringLiteral("input|origin|dest"), QStringLiteral("input")};
    QCommandLineOption nonzero{QStringLiteral("nonzero"),
                               QStringLiteral("List only links that carry flow.")};
    QCommandLineOption output{QStringLiteral("output"),
                              QStringLiteral("Write the results of --solve to FILE (- for "
                                             "standard output, the default). The problem's own "
                                             "files are never overwritten."),
                              QStringLiteral("FILE")};
    QCommandLineOption trace{QStringLiteral("trace"),
                             QStringLiteral("Write every step of the solve to FILE as JSON Lines, "
                                            "as the solve goes (- for standard output; the "
                                            "results then need --output)."),
                             QStringLiteral("FILE")};
    QCommandLineOption narrate{QStringLiteral("narrate"),
                               QStringLiteral("Write every step of the solve to FILE in words, "
                                              "one STEP<TAB>SENTENCE line each, as Step Through "
                                              "says them (- for standard output; the results "
                                              "then need --output)."),
                               QStringLiteral("FILE")};
    QCommandLineOption sensitivity{
        QStringLiteral("sensitivity"),
        QStringLiteral("Write every link's cost range and the values of its bounds to FILE as "
                       "CSV, for an optimal solve only (- for standard output; the results "
                       "then need --output)."),
        QStringLiteral("FILE")};
    QCommandLineOption generate{
        QStringLiteral("generate"),
        QStringLiteral("Write a random transportation problem RANPRB1.NDE / RANPRB1.LIN with "
                       "ORIGINS origins and DESTINATIONS destinations into DIR.")};
    QCommandLineOption seed{QStringLiteral("seed"),
                            QStringLiteral("Starting value of the random sequence of --generate "
                                           "(default 0, as at program start)."),
                            QStringLiteral("N"), QStringLiteral("0")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version.")};
    PictureOptions picture;
};

void SetUp(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(
        QStringLiteral("Solves minimum-cost network-flow problems with the out-of-kilter "
                       "algorithm.\nPROBLEM is a node file (.NDE, with its link file beside it) "
                       "or a DIMACS min-cost\nfile (.min, or any file whose first line after "
                       "its comments is \"p min\"); with --solve,\n- reads a DIMACS "
                       "problem from standard input.\nWithout options the program starts "
                       "its windows, with PROBLEM loaded when given; Qt's\nown options "
                       "(-platform, -style, ...) go to the windows.\n\n"
                       "The guide: " KAVRILON_GUIDE
                       " (in the windows: F1)\nExamples: " KAVRILON_EXAMPLES "\n\n") +
        QString::fromLatin1(ExitStatusText));
    parser.addOptions({options.solve, options.format, options.order, options.nonzero,
                       options.output, options.trace, options.narrate, options.sensitivity,
                       options.generate, options.seed, options.help, options.version});
    options.picture.AddTo(parser);
    parser.addPositionalArgument(QStringLiteral("PROBLEM"),
                                 QStringLiteral("The problem to load or solve."),
                                 QStringLiteral("[PROBLEM]"));
}

// The arguments' own bytes, for the stand-ins of those that are not UTF-8.
std::vector<std::string>& RawArguments() {
    static std::vector<std::string> raw;
    return raw;
}

// "-1": no option of the program's, so a value (a count, a number), which
// the parser would take for an option.
bool IsNegativeNumber(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-' &&
           argument.find_first_not_of("0123456789", 1) == std::string::npos;
}

QString ArgumentText(const std::string& bytes) {
    if (IsUtf8(bytes) && !IsNegativeNumber(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    RawArguments().push_back(bytes);
    return StandInMark + QString::number(RawArguments().size() - 1);
}

}  // namespace

ClosedDescriptors OpenClosedStandardDescriptors() {
    bool closed[3] = {false, false, false};
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        closed[fd] = true;
        // The lowest free number: this one, the ones below being open.
        const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
    return {closed[0], closed[1], closed[2]};
}

std::string ArgumentBytes(const QString& parsed) {
    if (parsed.startsWith(StandInMark)) {
        bool ok = false;
        const qsizetype index = parsed.mid(StandInMark.size()).toLongLong(&ok);
        if (ok && index >= 0 && index < static_cast<qsizetype>(RawArguments().size()))
            return RawArguments()[static_cast<std::size_t>(index)];
    }
    const QByteArray bytes = parsed.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string ArgumentName(const QString& parsed) {
    if (parsed.startsWith(StandInMark))
        return ArgumentBytes(parsed);
    const QByteArray latin1 = parsed.toLatin1();
    return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
}

namespace {

// Whether an output name means standard output: "-", /dev/stdout, or another
// name of the file or pipe standard output goes to (the shell's redirection,
// /dev/fd/1). Written by that name, a file would be replaced under the
// standard output writing into it, and a pipe would get two outputs at once.
// A terminal or a device such as /dev/null takes both unharmed.
bool IsStandardOutput(const std::string& name) {
    if (name == "-" || name == "/dev/stdout")
        return true;
    struct stat out {};
    struct stat named {};
    return !name.empty() && ::fstat(STDOUT_FILENO, &out) == 0 && !S_ISCHR(out.st_mode) &&
           ::stat(name.c_str(), &named) == 0 && named.st_dev == out.st_dev &&
           named.st_ino == out.st_ino;
}

// Two outputs on standard output would run into each other: at most one of
// the outputs may go there (the results go there without --output).
std::optional<QString> StandardOutputClash(
    const std::vector<std::pair<QString, std::string>>& outputs) {
    QStringList users;
    for (const auto& [what, name] : outputs) {
        if (IsStandardOutput(name))
            users << what;
    }
    if (users.size() < 2)
        return std::nullopt;
    return QStringLiteral("only one output can go to standard output, not %1.")
        .arg(users.join(QStringLiteral(" and ")));
}

// An option given twice would leave a script unsure which one counts: the
// first option named more than once, as "--name".
std::optional<QString> RepeatedOption(const QCommandLineParser& parser) {
    QStringList seen;
    for (QString name : parser.optionNames()) {
        if (name == QLatin1String("h"))
            name = QStringLiteral("help");
        else if (name == QLatin1String("v"))
            name = QStringLiteral("version");
        if (seen.contains(name))
            return QStringLiteral("--") + name;
        seen << name;
    }
    return std::nullopt;
}

CommandLine Bad(const QString& why) {
    CommandLine command;
    command.mode = ProgramMode::BadArguments;
    command.error = ArgumentBytes(why);
    return command;
}

std::optional<int32_t> Count(const QString& text) {
    bool ok = false;
    const int value = QString::fromStdString(ArgumentBytes(text)).toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

// A report's messages as lines, without the prefix.
std::string ReportText(const kav::Report& report) {
    std::string text;
    for (const kav::Notice& notice : report.Notices()) {
        if (notice.IsBeep())
            continue;
        text += (text.empty() ? "" : "\n") + notice.CommandLineText();
    }
    for (char& c : text) {
        if (c == '\r')
            c = '\n';
    }
    return text;
}

// A report's messages become lines on standard error (its beeps are silent).
void PrintReport(const kav::Report& report) {
    const std::string text = ReportText(report);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::fprintf(stderr, "kavrilon: %s\n", text.substr(start, end - start).c_str());
        start = end + 1;
    }
}

// The nodes that cannot be balanced, one figure a line: their count, what
// must enter them, what can leave, and each node's number. Nothing for a set
// that proves nothing.
std::vector<std::string> CutFigures(const kav::InfeasibilityCut& cut) {
    std::vector<std::string> lines;
    if (!cut.Confirmed)
        return lines;
    lines.push_back("cut_nodes " + std::to_string(cut.Nodes.size()));
    lines.push_back("cut_need " + std::to_string(cut.Need));
    lines.push_back("cut_room " + std::to_string(cut.Room));
    for (const int32_t node : cut.Nodes)
        lines.push_back("cut_node " + std::to_string(node));
    return lines;
}

void WriteCut(const kav::InfeasibilityCut& cut) {
    for (const std::string& line : CutFigures(cut))
        std::fprintf(stderr, "kavrilon: %s\n", line.c_str());
}

// An infeasible solve has no solution to write: DIMACS readers take "s" and
// "f" lines as the optimum. The problem is followed by comments saying why.
std::string DimacsInfeasibleComments(const kav::SolveStatus& status) {
    std::string text = "c infeasible: no feasible flow exists\nc failed on link " +
                       std::to_string(status.Cut.FailedLink) + "\n";
    for (const std::string& line : CutFigures(status.Cut))
        text += "c " + line + "\n";
    return text;
}

std::string TextReport(const kav::ResultLists& lists, const kav::SolutionState& solution) {
    std::string text;
    for (const kav::ReportLine& line :
         kav::BuildReportLines(kav::ReportContentOf(lists, solution))) {
        text += kav::Latin1ToUtf8(line.text);
        text += '\n';
    }
    return text;
}

// The name an output is written to: "-" is standard output.
std::string OutputName(const std::string& fileName) {
    return fileName.empty() ? std::string("-") : fileName;
}

// An output that would go over the problem being solved.
std::string ProtectedOutputText(const std::string& name) {
    return "[" + name + "] holds the problem being solved: choose another name for the output.";
}

// Says why an output was not written (naming it when it is not the results);
// false.
bool ReportNotWritten(const kav::WriteResult& result, const std::string& what = "") {
    const std::string of = what.empty() ? "" : what + " ";
    if (result.Failure == kav::WriteFailure::ProtectedFile)
        std::fprintf(stderr, "kavrilon: %s\n", ProtectedOutputText(result.File).c_str());
    else if (result.File == "-")
        std::fprintf(stderr, "kavrilon: cannot write %sto standard output: %s\n", of.c_str(),
                     result.Reason().c_str());
    else
        std::fprintf(stderr, "kavrilon: cannot write %s%s\n", of.c_str(),
                     result.FailureText().c_str());
    return false;
}

bool WriteOutput(const std::string& contents, const std::string& fileName,
                 const std::vector<std::string>& problemFiles, const std::string& what = "") {
    std::fflush(stdout);
    const kav::WriteResult written =
        kav::WriteFile(OutputName(fileName), contents, problemFiles, kav::PipeWithoutReader::Wait);
    return written || ReportNotWritten(written, what);
}

// The sensitivity table of an optimal solve; any other solve has none, which
// standard error says (the exit status stays the solve's). False: not written.
bool WriteSensitivity(const kav::Workspace& ws, const kav::SolutionState& solution,
                      const std::string& fileName, const std::vector<std::string>& problemFiles) {
    const std::optional<kav::OptimalSolution> optimal =
        solution.Feasible() ? kav::OptimalSolutionOf(ws) : std::nullopt;
    if (!optimal) {
        std::fprintf(stderr,
                     "kavrilon: no sensitivity table written: the solve found no optimal "
                     "solution.\n");
        return true;
    }
    const std::string csv = kav::FormatSensitivityCsv(ws, kav::SensitivityTable(*optimal));
    return WriteOutput(csv, fileName, problemFiles, "the sensitivity table");
}

// Each link's what-if figures for the JSON result of an optimal solve; none
// for any other.
kav::JsonLinkFields WhatIfFields(const kav::Workspace& ws, const kav::SolutionState& solution) {
    const std::optional<kav::OptimalSolution> optimal =
        solution.Feasible() ? kav::OptimalSolutionOf(ws) : std::nullopt;
    if (!optimal)
        return {};
    auto table =
        std::make_shared<std::vector<kav::LinkSensitivity>>(kav::SensitivityTable(*optimal));
    return [table](int32_t link) {
        return kav::SensitivityJsonFields((*table)[static_cast<std::size_t>(link) - 1]);
    };
}

// The steps of the solve, one JSON line each, written as they come.
class TraceFile : public kav::SolveObserver {
  public:
    explicit TraceFile(const kav::Workspace& problem) : problem_(problem) {}
    bool Open(const std::string& name, const std::vector<std::string>& problemFiles) {
        std::fflush(stdout);
        const kav::WriteResult opened =
            file_.Open(name, problemFiles, kav::PipeWithoutReader::Wait);
        return opened || ReportNotWritten(opened, "the trace");
    }
    void Observe(const kav::SolveEvent& event) override {
        if (file_.Failed())
            return;
        line_ = kav::TraceLine(event, &problem_);
        line_ += '\n';
        file_.Write(line_);
    }
    bool Finish() {
        const kav::WriteResult finished = file_.Finish();
        return finished || ReportNotWritten(finished, "the trace");
    }

  private:
    const kav::Workspace& problem_;
    kav::StreamedFile file_;
    std::string line_;
};

// The steps of the solve in words, one "STEP<TAB>SENTENCE" line each,
// written as they come.
class NarrationFile : public kav::SolveObserver {
  public:
    explicit NarrationFile(const kav::Workspace& problem)
        : narrator_(problem, [this](std::size_t step, const std::string& text) {
              if (file_.Failed())
                  return;
              line_ = std::to_string(step) + '\t' + kav::Latin1ToUtf8(text) + '\n';
              file_.Write(line_);
          }) {}
    bool Open(const std::string& name, const std::vector<std::string>& problemFiles) {
        std::fflush(stdout);
        const kav::WriteResult opened = file_.Open(name, problemFiles);
        return opened || ReportNotWritten(opened, "the narration");
    }
    void Observe(const kav::SolveEvent& event) override { narrator_.Observe(event); }
    bool Finish() {
        narrator_.Finish();
        const kav::WriteResult finished = file_.Finish();
        return finished || ReportNotWritten(finished, "the narration");
    }

  private:
    kav::StreamedFile file_;
    std::string line_;
    kav::StepNarrator narrator_;
};

// Hands every step to each of the observers there are.
class Observers : public kav::SolveObserver {
  public:
    explicit Observers(std::vector<kav::SolveObserver*> observers)
        : observers_(std::move(observers)) {}
    void Observe(const kav::SolveEvent& event) override {
        for (kav::SolveObserver* observer : observers_)
            observer->Observe(event);
    }

  private:
    std::vector<kav::SolveObserver*> observers_;
};

// Why PROBLEM cannot be read as a file, or nothing when it can be tried.
std::optional<std::string> ProblemFault(const std::string& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return "[" + name + "] does not exist.";
        return "[" + name + "]: " + std::generic_category().message(errno);
    }
    if (S_ISDIR(info.st_mode))
        return "[" + name + "] is a folder, not a problem file.";
    if (!S_ISREG(info.st_mode))
        return "[" + name +
               "] is a device or a pipe, not a problem file (give - to read a DIMACS problem "
               "from standard input).";
    return std::nullopt;
}

// Loads PROBLEM into the session and prints what the load has to tell.
kav::LoadResult LoadProblem(kav::Session& session, const std::string& name, bool closedInput) {
    kav::LoadResult result;
    if (name == "-" && closedInput) {
        result.outcome = kav::LoadOutcome::Refused;
        result.report.Box(kav::MsgKind::Error, "cannot read the problem: standard input is closed");
        PrintReport(result.report);
        return result;
    }
    if (name != "-") {
        if (const std::optional<std::string> fault = ProblemFault(name)) {
            result.outcome = kav::LoadOutcome::Refused;
            result.report.Box(kav::MsgKind::Error, *fault);
            PrintReport(result.report);
            return result;
        }
    }
    if (name == "-") {
        result = kav::ReadDimacsStandardInput(session.ws);
        if (result.outcome == kav::LoadOutcome::Loaded)
            session.protectedFiles.NoteLoadedOrSaved(session.ws);
    } else {
        result = kav::LoadProblemFile(session.ws, session.protectedFiles, name);
    }
    PrintReport(result.report);
    return result;
}

// The files a load of PROBLEM reads: its own, and a node file's link file.
// Only a regular file is looked into (opening a named pipe would wait).
std::vector<std::string> AttemptedFiles(const std::string& problem) {
    struct stat info {};
    if (problem == "-" || ::stat(problem.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        kav::IsDimacsToLoad(problem, ""))
        return {problem};
    return {problem, kav::MatchingLinkFile(problem)};
}

// The JSON of a run without results goes where the results would; a problem
// that was refused is still never written over.
void WriteUnsolvedJson(const CommandLine& command, const std::string& json,
                       const std::vector<std::string>& protectedFiles) {
    if (command.format == OutputFormat::Json)
        WriteOutput(json, command.output, protectedFiles);
}

int Solve(const CommandLine& command) {
    // Nothing asks the user here: the readers' messages come back in their
    // results and are printed.
    kav::SilentPrompts prompts;
    kav::Session session(prompts);
    kav::Workspace& ws = session.ws;
    if (command.closed.output) {
        for (const std::string& output :
             {OutputName(command.output), command.picture.file, command.trace, command.narrate}) {
            if (IsStandardOutput(output)) {
                std::fprintf(stderr, "kavrilon: standard output is closed\n");
                return ExitNotWritten;
            }
        }
    }
    if (const kav::LoadResult loaded = LoadProblem(session, command.problem, command.closed.input);
        loaded.outcome != kav::LoadOutcome::Loaded) {
        if (command.format == OutputFormat::Json)
            WriteUnsolvedJson(
                command, kav::FormatUnsolvedJson("refused", "reason", ReportText(loaded.report)),
                AttemptedFiles(command.problem));
        return ExitUnreadable;
    }
    // The results never go over the problem they came from; found before the
    // solve, so that nothing is written at all.
    const std::vector<std::string>& problemFiles = session.protectedFiles.Names();
    for (const std::string& output : {command.output, command.picture.file, command.trace,
                                      command.narrate, command.sensitivity}) {
        if (kav::IsProtectedFile(output, problemFiles)) {
            std::fprintf(stderr, "kavrilon: %s\n", ProtectedOutputText(output).c_str());
            return ExitNotWritten;
        }
    }
    const std::vector<std::string> errors = kav::CheckProblem(ws);
    if (!errors.empty()) {
        std::vector<std::string> lines;
        for (const std::string& line : errors)
            lines.push_back(kav::Latin1ToUtf8(line));
        for (const std::string& line : lines)
            std::fprintf(stderr, "kavrilon: %s\n", line.c_str());
        WriteUnsolvedJson(command, kav::FormatUnsolvedJson("checks_failed", "checks", lines),
                          problemFiles);
        return ExitNotSolved;
    }
    // A picture that cannot be drawn is refused before the solve and its trace.
    if (const int refused = CheckPictureRequest(command.picture, ws); refused != ExitSolved)
        return refused;
    std::optional<TraceFile> trace;
    if (!command.trace.empty()) {
        trace.emplace(ws);
        if (!trace->Open(command.trace, problemFiles))
            return ExitNotWritten;
    }
    std::optional<NarrationFile> narration;
    if (!command.narrate.empty()) {
        narration.emplace(ws);
        if (!narration->Open(command.narrate, problemFiles))
            return ExitNotWritten;
    }
    std::vector<kav::SolveObserver*> watching;
    if (trace)
        watching.push_back(&*trace);
    if (narration)
        watching.push_back(&*narration);
    Observers observers(watching);
    kav::SolveStatus status =
        kav::RunOutOfKilter(ws, nullptr, watching.empty() ? nullptr : &observers);
    // A trace or narration that could not be written is reported, but the
    // results still are.
    const bool narrated = !narration || narration->Finish();
    const bool traced = (!trace || trace->Finish()) && narrated;
    if (status.IsStopped()) {
        std::fprintf(stderr, "kavrilon: the solve was stopped: %s\n", status.StopReason.c_str());
        WriteUnsolvedJson(command, kav::FormatUnsolvedJson("stopped", "reason", status.StopReason),
                          problemFiles);
        return traced ? ExitNotSolved : ExitNotWritten;
    }
    kav::RecordSolveOutcome(ws, session.lastSolve, status);
    if (status.IsInfeasible()) {
        PrintReport(kav::InfeasibleSolveWarning(status.Cut.FailedLink));
        WriteCut(status.Cut);
    }
    // Every output below shows this one solution and its total.
    const kav::SolutionState solution = kav::CurrentSolution(session);
    std::optional<PreparedPicture> picture;
    if (const int drawn = PreparePicture(command.picture, ws, solution, picture);
        drawn != ExitSolved)
        return drawn;

    std::string contents;
    if (command.format == OutputFormat::Dimacs) {
        contents = kav::FormatDimacsProblem(ws) +
                   (status.IsFeasible() ? kav::FormatDimacsSolution(ws, solution.total)
                                        : DimacsInfeasibleComments(status));
    } else {
        kav::ResultListBuilder builder;
        kav::ResultLists lists;
        builder.Build(ws, command.order, !command.nonZeroOnly, lists);
        if (command.format == OutputFormat::Csv)
            contents = kav::FormatResultsCsv(ws, lists, solution);
        else if (command.format == OutputFormat::Json)
            contents = kav::FormatResultsJson(ws, lists, solution, WhatIfFields(ws, solution));
        else
            contents = TextReport(lists, solution);
    }
    if (!WriteOutput(contents, command.output, problemFiles))
        return ExitNotWritten;
    if (!command.sensitivity.empty() &&
        !WriteSensitivity(ws, solution, command.sensitivity, problemFiles))
        return ExitNotWritten;
    if (picture && !WritePicture(*picture, problemFiles))
        return ExitNotWritten;
    if (!traced)
        return ExitNotWritten;
    return status.IsFeasible() ? ExitSolved : ExitNotSolved;
}

int Generate(const CommandLine& command) {
    kav::SilentPrompts prompts;
    kav::Session session(prompts);
    session.randomSeed = command.seed;
    const kav::GenerateResult result = kav::GenerateProblem(
        session.ws, command.origins, command.destinations, command.directory, session.randomSeed);
    if (result.outcome == kav::GenerateOutcome::Written)
        return ExitSolved;
    if (result.outcome == kav::GenerateOutcome::FileError)
        std::fprintf(stderr, "kavrilon: cannot write the problem into the folder [%s]: %s\n",
                     command.directory.c_str(), result.failure.c_str());
    else
        PrintReport(result.report);
    return result.outcome == kav::GenerateOutcome::Refused ? ExitBadArguments : ExitNotWritten;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& rawArguments) {
    RawArguments().clear();
    QStringList arguments;
    for (std::size_t k = 0; k < rawArguments.size(); ++k) {
        bool takesNext = false;
        if (k > 0 && IsQtOption(rawArguments[k], takesNext)) {
            k += takesNext ? 1 : 0;
            continue;
        }
        const std::string& argument = rawArguments[k];
        const std::size_t equals = argument.find('=');
        // "--output=NAME": the option's name stays readable for the parser.
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos && !IsUtf8(argument)) {
            arguments << QString::fromLatin1(argument.substr(0, equals + 1).c_str()) +
                             ArgumentText(argument.substr(equals + 1));
            continue;
        }
        arguments << ArgumentText(argument);
    }
    QCommandLineParser parser;
    const Options options;
    SetUp(parser, options);
    if (!parser.parse(arguments))
        return Bad(parser.errorText());
    if (const std::optional<QString> repeated = RepeatedOption(parser))
        return Bad(QStringLiteral("%1 is given more than once.").arg(*repeated));
    CommandLine command;
    if (parser.isSet(options.help)) {
        command.mode = ProgramMode::Help;
        return command;
    }
    if (parser.isSet(options.version)) {
        command.mode = ProgramMode::Version;
        return command;
    }
    const QStringList positional = parser.positionalArguments();
    const bool solve = parser.isSet(options.solve);
    const bool generate = parser.isSet(options.generate);
    const bool solveOptions = parser.isSet(options.format) || parser.isSet(options.order) ||
                              parser.isSet(options.nonzero) || parser.isSet(options.output) ||
                              parser.isSet(options.trace) || parser.isSet(options.narrate) ||
                              parser.isSet(options.sensitivity);
    if (solve && generate)
        return Bad(QStringLiteral("--solve and --generate exclude each other."));
    if (!solve && solveOptions)
        return Bad(
            QStringLiteral("--format, --order, --nonzero, --output, --trace, --narrate and "
                           "--sensitivity need --solve."));
    if (!generate && parser.isSet(options.seed))
        return Bad(QStringLiteral("--seed needs --generate."));
    if (const auto error = options.picture.Read(parser, solve, command.picture))
        return Bad(*error);

    if (generate) {
        if (positional.size() != 3)
            return Bad(QStringLiteral("--generate needs ORIGINS DESTINATIONS DIR."));
        const std::optional<int32_t> origins = Count(positional[0]);
        const std::optional<int32_t> destinations = Count(positional[1]);
        if (!origins || !destinations)
            return Bad(QStringLiteral("ORIGINS and DESTINATIONS must be whole numbers of 0 or "
                                      "more, not \"%1\".")
                           .arg(QString::fromStdString(
                               kav::QuotedInput(ArgumentBytes(positional[origins ? 1 : 0])))));
        bool ok = false;
        const qulonglong seed = parser.value(options.seed).toULongLong(&ok);
        if (!ok || seed > 0xFFFFFFFFull)
            return Bad(QStringLiteral("--seed needs a whole number from 0 to 4294967295."));
        command.mode = ProgramMode::Generate;
        command.origins = *origins;
        command.destinations = *destinations;
        command.directory = ArgumentBytes(positional[2]);
        command.seed = static_cast<uint32_t>(seed);
        return command;
    }
    if (positional.size() > 1)
        return Bad(QStringLiteral("Only one PROBLEM may be given."));
    if (solve && positional.isEmpty())
        return Bad(QStringLiteral("--solve needs a PROBLEM."));
    if (!positional.isEmpty())
        command.problem = ArgumentBytes(positional[0]);
    if (!solve)
        return command;

    command.mode = ProgramMode::Solve;
    const QString format = parser.value(options.format);
    if (format == QLatin1String("text"))
        command.format = OutputFormat::Text;
    else if (format == QLatin1String("csv"))
        command.format = OutputFormat::Csv;
    else if (format == QLatin1String("dimacs"))
        command.format = OutputFormat::Dimacs;
    else if (format == QLatin1String("json"))
        command.format = OutputFormat::Json;
    else
        return Bad(QStringLiteral("--format is text, csv, json or dimacs."));
    const QString order = parser.value(options.order);
    if (order == QLatin1String("input"))
        command.order = kav::LinkOrder::Input;
    else if (order == QLatin1String("origin"))
        command.order = kav::LinkOrder::Origin;
    else if (order == QLatin1String("dest"))
        command.order = kav::LinkOrder::Dest;
    else
        return Bad(QStringLiteral("--order is input, origin or dest."));
    command.nonZeroOnly = parser.isSet(options.nonzero);
    if (command.format == OutputFormat::Dimacs &&
        (parser.isSet(options.order) || command.nonZeroOnly))
        return Bad(
            QStringLiteral("--order and --nonzero do not apply to --format dimacs, which "
                           "writes every link in input order."));
    if (parser.isSet(options.output)) {
        command.output = ArgumentBytes(parser.value(options.output));
        if (command.output.empty())
            return Bad(QStringLiteral("--output needs a file name."));
    }
    if (parser.isSet(options.trace)) {
        command.trace = ArgumentBytes(parser.value(options.trace));
        if (command.trace.empty())
            return Bad(QStringLiteral("--trace needs a file name."));
    }
    if (parser.isSet(options.narrate)) {
        command.narrate = ArgumentBytes(parser.value(options.narrate));
        if (command.narrate.empty())
            return Bad(QStringLiteral("--narrate needs a file name."));
    }
    if (parser.isSet(options.sensitivity)) {
        command.sensitivity = ArgumentBytes(parser.value(options.sensitivity));
        if (command.sensitivity.empty())
            return Bad(QStringLiteral("--sensitivity needs a file name."));
    }
    // One file for two outputs: the later would overwrite the earlier.
    const std::pair<const char*, std::string> named[] = {{"--trace", command.trace},
                                                         {"--narrate", command.narrate},
                                                         {"--sensitivity", command.sensitivity},
                                                         {"--picture", command.picture.file},
                                                         {"--output", command.output}};
    for (std::size_t i = 0; i < std::size(named); ++i) {
        for (std::size_t j = i + 1; j < std::size(named); ++j) {
            const std::string& a = named[i].second;
            const std::string& b = named[j].second;
            if (!IsStandardOutput(a) && !IsStandardOutput(b) && kav::SameFile(a, b))
                return Bad(QStringLiteral("%1 and %2 name the same file.")
                               .arg(QLatin1String(named[i].first), QLatin1String(named[j].first)));
        }
    }
    // Every output the options ask for, with where it goes; the results go to
    // standard output unless --output names a file.
    const std::vector<std::pair<QString, std::string>> outputs = {
        {QStringLiteral("the results"), command.output.empty() ? "-" : command.output},
        {QStringLiteral("the picture"), command.picture.file},
        {QStringLiteral("the trace"), command.trace},
        {QStringLiteral("the narration"), command.narrate},
        {QStringLiteral("the sensitivity table"), command.sensitivity},
    };
    if (const std::optional<QString> clash = StandardOutputClash(outputs))
        return Bad(*clash);
    return command;
}

int RunCommandLine(const CommandLine& command) {
    switch (command.mode) {
        case ProgramMode::Help: {
            QCommandLineParser parser;
            const Options options;
            SetUp(parser, options);
            // The usage line names the program as users call it, not the
            // path it was started from.
            QString help = parser.helpText();
            const QString started = QCoreApplication::arguments().value(0);
            if (!started.isEmpty() && help.indexOf(started) >= 0)
                help.replace(help.indexOf(started), started.size(), QStringLiteral("kavrilon"));
            std::fputs(help.toLocal8Bit().constData(), stdout);
            return ExitSolved;
        }
        case ProgramMode::Version: {
            const std::optional<FileVersionInfo> info = ProgramVersionInfo();
            const QString text =
                info ? VersionText(*info) + PropertyText(*info) : QStringLiteral("no version");
            std::printf("kavrilon %s\n", text.toLocal8Bit().constData());
            return ExitSolved;
        }
        case ProgramMode::BadArguments:
            std::fprintf(stderr, "kavrilon: %s\nTry 'kavrilon --help'.\n", command.error.c_str());
            return ExitBadArguments;
        case ProgramMode::Solve:
            return Solve(command);
        case ProgramMode::Generate:
            return Generate(command);
        case ProgramMode::Windows:
            break;
    }
    return ExitBadArguments;
}

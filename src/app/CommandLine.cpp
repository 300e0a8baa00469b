#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <optional>

#include "app/VersionInfo.h"
#include "generator/GenRand4.h"
#include "results/ReportLines.h"
#include "results/ResultCsv.h"
#include "results/ResultLines.h"
#include "solver/CheckProblem.h"
#include "solver/KiltSolve.h"
#include "solver/SolveRun.h"
#include "workspace/DimacsFormat.h"
#include "workspace/ProblemFiles.h"
#include "workspace/ProblemWriter.h"

namespace {

const char* const ExitStatusText =
    "Exit status of --solve and --generate (unlike kavrilon-bench's):\n"
    "  0  solved (--generate: files written)\n"
    "  1  infeasible, pre-solve checks failed, or the solve stopped by the range guard\n"
    "  2  the problem could not be read or was refused\n"
    "  3  bad arguments\n"
    "  4  the output could not be written\n";

struct Options {
    QCommandLineOption solve{QStringLiteral("solve"),
                             QStringLiteral("Load, check and solve PROBLEM without a window and "
                                            "write the results.")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("Output of --solve: text (the printed report), csv "
                                             "or dimacs. Default text."),
                              QStringLiteral("text|csv|dimacs"), QStringLiteral("text")};
    QCommandLineOption order{QStringLiteral("order"),
                             QStringLiteral("Link order of --solve: input, origin or dest. "
                                            "Default input."),
                             QStringLiteral("input|origin|dest"), QStringLiteral("input")};
    QCommandLineOption nonzero{QStringLiteral("nonzero"),
                               QStringLiteral("List only links that carry flow.")};
    QCommandLineOption output{QStringLiteral("output"),
                              QStringLiteral("Write the results of --solve to FILE instead of "
                                             "standard output."),
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
                       "or a DIMACS min-cost file (.min).\nWithout options the program starts "
                       "its windows, with PROBLEM loaded when given.\n\n") +
        QString::fromLatin1(ExitStatusText));
    parser.addOptions({options.solve, options.format, options.order, options.nonzero,
                       options.output, options.generate, options.seed, options.help,
                       options.version});
    options.picture.AddTo(parser);
    parser.addPositionalArgument(QStringLiteral("PROBLEM"),
                                 QStringLiteral("The problem to load or solve."),
                                 QStringLiteral("[PROBLEM]"));
}

std::string Local(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

CommandLine Bad(const QString& why) {
    CommandLine command;
    command.mode = ProgramMode::BadArguments;
    command.error = Local(why);
    return command;
}

std::optional<int32_t> Count(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

// Message boxes of a load become lines on standard error.
class StandardErrorPrompts : public kav::SilentPrompts {
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
};

// The nodes that cannot be balanced, as kavrilon-bench reports them.
void WriteCut(const kav::InfeasibilityCut& cut) {
    if (!cut.Confirmed)
        return;
    std::fprintf(stderr, "cut_nodes %zu\ncut_need %lld\ncut_room %lld\n", cut.Nodes.size(),
                 static_cast<long long>(cut.Need), static_cast<long long>(cut.Room));
    for (const int32_t node : cut.Nodes)
        std::fprintf(stderr, "cut_node %d\n", node);
}

std::string TextReport(const kav::ResultLists& lists, const kav::Workspace& ws) {
    std::string text;
    for (const kav::ReportLine& line : kav::BuildReportLines(kav::ReportContentOf(lists, ws))) {
        text += line.text;
        text += '\n';
    }
    return text;
}

bool WriteOutput(const std::string& contents, const std::string& fileName) {
    if (fileName.empty()) {
        const bool written =
            std::fwrite(contents.data(), 1, contents.size(), stdout) == contents.size();
        return std::fflush(stdout) == 0 && written;
    }
    kav::ReplacementFile file(fileName);
    return file.Write(contents) && file.Commit();
}

int Solve(const CommandLine& command) {
    StandardErrorPrompts prompts;
    kav::InstallPrompts(&prompts);
    kav::Workspace& ws = kav::TheWorkspace();
    if (kav::LoadProblemFile(ws, prompts, command.problem) != kav::LoadOutcome::Loaded)
        return ExitUnreadable;
    const std::vector<std::string> errors = kav::CheckProblem(ws);
    if (!errors.empty()) {
        for (const std::string& line : errors)
            std::fprintf(stderr, "%s\n", line.c_str());
        return ExitNotSolved;
    }
    kav::SolveStatus status = kav::RunOutOfKilter(ws, nullptr);
    if (status.IsStopped()) {
        std::fprintf(stderr, "The solve was stopped: %s\n", status.StopReason.c_str());
        return ExitNotSolved;
    }
    kav::RecordSolveOutcome(ws, status);
    if (status.IsInfeasible()) {
        std::fprintf(stderr,
                     "<<< INFEASIBLE SOLUTION FOUND...WORKING ON LINK %d >>>\n"
                     "<<<          FATAL ERROR ... SORRY         >>>\n"
                     "<<< CHECK COMPATABILITY OF BOUNDS ON LINKS >>>\n",
                     status.FailedLink);
        WriteCut(status.Cut);
    }
    std::optional<PreparedPicture> picture;
    if (const int drawn = PreparePicture(command.picture, ws, picture); drawn != ExitSolved)
        return drawn;

    std::string contents;
    if (command.format == OutputFormat::Dimacs) {
        contents = kav::FormatDimacsProblem(ws) + kav::FormatDimacsSolution(ws);
    } else {
        const kav::LinkOrder order = command.order == 'O'   ? kav::LinkOrder::Origin
                                     : command.order == 'D' ? kav::LinkOrder::Dest
                                                            : kav::LinkOrder::Input;
        kav::ResultListBuilder builder;
        kav::ResultLists lists;
        builder.Build(ws, order, !command.nonZeroOnly, lists);
        contents = command.format == OutputFormat::Csv ? kav::FormatResultsCsv(ws, lists)
                                                       : TextReport(lists, ws);
    }
    if (!WriteOutput(contents, command.output)) {
        std::fprintf(stderr, "The results could not be written to %s\n",
                     command.output.empty() ? "standard output" : command.output.c_str());
        return ExitNotWritten;
    }
    if (picture && !WritePicture(*picture))
        return ExitNotWritten;
    return status.IsFeasible() ? ExitSolved : ExitNotSolved;
}

int Generate(const CommandLine& command) {
    kav::SetRandomSeed(command.seed);
    const kav::GenerateResult result = kav::GenerateProblem(
        kav::TheWorkspace(), command.origins, command.destinations, command.directory);
    if (result.outcome == kav::GenerateOutcome::Written)
        return ExitSolved;
    std::fprintf(stderr, "%s\n", result.message.c_str());
    return result.outcome == kav::GenerateOutcome::Refused ? ExitBadArguments : ExitNotWritten;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const Options options;
    SetUp(parser, options);
    if (!parser.parse(arguments))
        return Bad(parser.errorText());
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
                              parser.isSet(options.nonzero) || parser.isSet(options.output);
    if (solve && generate)
        return Bad(QStringLiteral("--solve and --generate exclude each other."));
    if (!solve && solveOptions)
        return Bad(QStringLiteral("--format, --order, --nonzero and --output need --solve."));
    if (!generate && parser.isSet(options.seed))
        return Bad(QStringLiteral("--seed needs --generate."));
    if (const auto error = options.picture.Read(parser, solve, Local(parser.value(options.output)),
                                                command.picture))
        return Bad(*error);

    if (generate) {
        if (positional.size() != 3)
            return Bad(QStringLiteral("--generate needs ORIGINS DESTINATIONS DIR."));
        const std::optional<int32_t> origins = Count(positional[0]);
        const std::optional<int32_t> destinations = Count(positional[1]);
        if (!origins || !destinations)
            return Bad(
                QStringLiteral("ORIGINS and DESTINATIONS must be whole numbers of 0 or "
                               "more."));
        bool ok = false;
        const qulonglong seed = parser.value(options.seed).toULongLong(&ok);
        if (!ok || seed > 0xFFFFFFFFull)
            return Bad(QStringLiteral("--seed needs a whole number from 0 to 4294967295."));
        command.mode = ProgramMode::Generate;
        command.origins = *origins;
        command.destinations = *destinations;
        command.directory = Local(positional[2]);
        command.seed = static_cast<uint32_t>(seed);
        return command;
    }
    if (positional.size() > 1)
        return Bad(QStringLiteral("Only one PROBLEM may be given."));
    if (solve && positional.isEmpty())
        return Bad(QStringLiteral("--solve needs a PROBLEM."));
    if (!positional.isEmpty())
        command.problem = Local(positional[0]);
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
    else
        return Bad(QStringLiteral("--format is text, csv or dimacs."));
    const QString order = parser.value(options.order);
    if (order == QLatin1String("input"))
        command.order = 'I';
    else if (order == QLatin1String("origin"))
        command.order = 'O';
    else if (order == QLatin1String("dest"))
        command.order = 'D';
    else
        return Bad(QStringLiteral("--order is input, origin or dest."));
    command.nonZeroOnly = parser.isSet(options.nonzero);
    if (parser.isSet(options.output)) {
        command.output = Local(parser.value(options.output));
        if (command.output.empty())
            return Bad(QStringLiteral("--output needs a file name."));
    }
    return command;
}

int RunCommandLine(const CommandLine& command) {
    switch (command.mode) {
        case ProgramMode::Help: {
            QCommandLineParser parser;
            const Options options;
            SetUp(parser, options);
            std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
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

// Prints the results report of a problem through the results window's Print
// Lists button, offscreen and without a dialog: loads the problem, runs it as
// the Run button does (checks, solve, optimality check), opens the results
// window (origin order, all links) and presses Print Lists on the default A4
// page, either into OUT.pdf (replaced if it exists) as Printer Setup's PDF
// file, or to the print system's printer NAME, which must exist: the report
// never goes to another printer.
//
//   print-bench [--pages FIRST-LAST] NODEFILE OUT.pdf
//   print-bench [--pages FIRST-LAST] --printer NAME NODEFILE
//
// --pages prints only those pages of the report, as Printer Setup's page
// range does.
//
// Output, one "key value" pair per line. Into a file: pages (of the written
// file, as poppler's pdfinfo reads it) and print_seconds (the button press:
// laying out, drawing and writing the file). To a printer: printed_to NAME,
// job N and print_seconds (from the press to the job accepted), or
// print_failed REASON and exit status 1.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/AnchorWindow.h"
#include "gui/ProgramPrinter.h"
#include "results/TFMResultsForm.h"
#include "solver/Session.h"
#include "solver/SolveRun.h"
#include "workspace/ProblemFiles.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

// Agrees to replace the file, declines every other question, and keeps every
// message.
class BenchPrompts : public kav::SilentPrompts {
  public:
    std::string messages;
    std::string last;
    kav::Answer Message(kav::MsgKind, kav::MsgButtons buttons, const std::string& text) override {
        messages += text + "\n";
        last = text;
        if (buttons == kav::MsgButtons::Ok)
            return kav::Answer::Ok;
        return text.find("exists") != std::string::npos ? kav::Answer::Yes : kav::Answer::No;
    }
};

// No windows: the solve runs without a percent window.
class NoView : public kav::SolveRunView {
  public:
    explicit NoView(kav::Prompts& prompts) : prompts_(prompts) {}
    void ShowCheckErrors(const std::vector<std::string>&) override {}
    void ShowProgressWindow() override {}
    void HideProgressWindow() override {}
    kav::ProgressSink* Progress() override { return nullptr; }
    void Tell(const kav::Report& report) override { report.ShowTo(prompts_); }

  private:
    kav::Prompts& prompts_;
};

// The pages of a PDF file as poppler reads them; 0 when it cannot.
int PagesOf(const QString& file) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {file});
    if (!pdfinfo.waitForFinished(60000) || pdfinfo.exitCode() != 0)
        return 0;
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match =
        pages.match(QString::fromLocal8Bit(pdfinfo.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::string printer;
    std::string nodeFile;
    QString pdfFile;
    int firstPage = 1;
    int lastPage = 0;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "--pages") {
        if (std::sscanf(args[1].c_str(), "%d-%d", &firstPage, &lastPage) != 2 || firstPage < 1 ||
            lastPage < firstPage) {
            std::fprintf(stderr, "print-bench: --pages wants FIRST-LAST, as 11-20\n");
            return 2;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() == 3 && args[0] == "--printer") {
        printer = args[1];
        nodeFile = args[2];
    } else if (args.size() == 2) {
        nodeFile = args[0];
        pdfFile = QFile::decodeName(args[1].c_str());
    } else {
        std::fprintf(stderr,
                     "usage: print-bench [--pages FIRST-LAST] NODEFILE OUT.pdf\n"
                     "       print-bench [--pages FIRST-LAST] --printer NAME NODEFILE\n");
        return 2;
    }
    if (printer.empty() && pdfFile.isEmpty()) {
        std::fprintf(stderr, "print-bench: the printer's name is empty\n");
        return 2;
    }

    BenchPrompts prompts;
    kav::Session session(prompts);
    kav::Workspace& ws = session.ws;
    if (kav::ReadProblem(ws, nodeFile, kav::DeriveLinkFileName(nodeFile)).ShowTo(prompts) !=
        kav::LoadOutcome::Loaded) {
        std::fprintf(stderr, "cannot load %s\n%s", nodeFile.c_str(), prompts.messages.c_str());
        return 1;
    }
    NoView view(prompts);
    kav::RunSolve(ws, session.lastSolve, session.separators, view);

    QWidget mainMenu;
    SetAnchorWindow(&mainMenu);
    auto* form = new TFMResultsForm(session);
    form->show();
    QApplication::processEvents();

    session.printSetup.chosen = true;
    session.printSetup.choice.printer = printer;
    session.printSetup.choice.firstPage = firstPage;
    session.printSetup.choice.lastPage = lastPage;
    session.printSetup.pdfFile = pdfFile.isEmpty() ? std::string() : args[1];
    prompts.messages.clear();
    prompts.last.clear();
    QElapsedTimer clock;
    clock.start();
    form->findChild<QPushButton*>(QStringLiteral("PrintButton"))->click();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    delete form;

    if (!printer.empty()) {
        static const QRegularExpression sent(
            QStringLiteral("^The results were sent to printer (.*) \\(job (\\d+)\\)"));
        const QRegularExpressionMatch match = sent.match(QString::fromStdString(prompts.last));
        if (!match.hasMatch() || match.captured(1).toStdString() != printer) {
            std::printf(
                "print_failed %s\n",
                OneLine(prompts.last.empty() ? "nothing was printed" : prompts.last).c_str());
            return 1;
        }
        std::printf("printed_to %s\njob %s\nprint_seconds %.3f\n", printer.c_str(),
                    match.captured(2).toUtf8().constData(), seconds);
        return 0;
    }
    const int pages = PagesOf(pdfFile);
    std::printf("pages %d\nprint_seconds %.3f\n", pages, seconds);
    if (pages == 0)
        std::fprintf(stderr, "%s", prompts.messages.c_str());
    return pages > 0 ? 0 : 1;
}

// Prints the results report of a problem into a PDF file through the results
// window's Print Lists button, offscreen and without a dialog: loads the
// problem, checks and solves it, opens the results window (origin order, all
// links) and presses Print Lists with Printer Setup's PDF file set to OUT.pdf
// on the default A4 page. An existing OUT.pdf is replaced.
//
//   print-bench NODEFILE OUT.pdf
//
// Output, one "key value" pair per line: pages (of the written file) and
// print_seconds (the button press: laying out, drawing and writing the file).

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <clocale>
#include <cstdio>
#include <string>

#include "gui/AnchorWindow.h"
#include "gui/ProgramPrinter.h"
#include "results/TFMResultsForm.h"
#include "solver/CheckProblem.h"
#include "solver/KiltSolve.h"
#include "solver/SolveRun.h"
#include "workspace/ProblemFiles.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

// Agrees to replace the file, and keeps every message for standard error.
class AgreeingPrompts : public kav::SilentPrompts {
  public:
    std::string messages;
    kav::Answer Message(kav::MsgKind, kav::MsgButtons buttons, const std::string& text) override {
        messages += text + "\n";
        return buttons == kav::MsgButtons::Ok ? kav::Answer::Ok : kav::Answer::Yes;
    }
};

// The pages of a PDF file: its page objects.
int PagesOf(const QString& file) {
    QFile pdf(file);
    if (!pdf.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return static_cast<int>(QString::fromLatin1(pdf.readAll()).count(page));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (argc != 3) {
        std::fprintf(stderr, "usage: print-bench NODEFILE OUT.pdf\n");
        return 2;
    }
    const std::string nodeFile = argv[1];
    const QString pdfFile = QFile::decodeName(argv[2]);

    AgreeingPrompts prompts;
    kav::InstallPrompts(&prompts);
    kav::Workspace& ws = kav::TheWorkspace();
    if (kav::ReadProblem(ws, prompts, nodeFile, kav::DeriveLinkFileName(nodeFile)) !=
        kav::LoadOutcome::Loaded) {
        std::fprintf(stderr, "cannot load %s\n%s", nodeFile.c_str(), prompts.messages.c_str());
        return 1;
    }
    kav::CheckProblem(ws);
    if (ws.ChecksPassed) {
        kav::RunOutOfKilter(ws, nullptr);
        kav::ComputeTotalCost(ws);
    }

    QWidget mainMenu;
    SetAnchorWindow(&mainMenu);
    auto* form = new TFMResultsForm;
    form->show();
    QApplication::processEvents();

    ThePrintSetup().chosen = true;
    ThePrintSetup().pdfFile = std::string(argv[2]);
    prompts.messages.clear();
    QElapsedTimer clock;
    clock.start();
    form->findChild<QPushButton*>(QStringLiteral("PrintButton"))->click();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;

    const int pages = PagesOf(pdfFile);
    std::printf("pages %d\nprint_seconds %.3f\n", pages, seconds);
    if (pages == 0)
        std::fprintf(stderr, "%s", prompts.messages.c_str());
    delete form;
    kav::InstallPrompts(nullptr);
    return pages > 0 ? 0 : 1;
}

// The solve run as the user sees it: loads a problem, presses the main menu's
// Run button and reports the solution time the program shows, the time the
// whole button press took (checks, percent window, progress reports) and how
// often the gauge was painted. Run it on a real display (or under Xvfb) to see
// what the progress window costs next to the headless kavrilon-bench figure.
//
//   window-bench NODEFILE [--repeat N]
//
// Output, one "key value" pair per line: links, nodes, then for each run
// solution_message, button_seconds and gauge_paints.

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <clocale>
#include <cstdio>
#include <string>

#include "app/CreateWindows.h"
#include "app/TKavrilonForm.h"
#include "app/TPCTOKFForm.h"
#include "solver/Session.h"
#include "support/PaintCounter.h"
#include "workspace/ProblemFiles.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

// The windows, made and wired as program start makes them.
ProgramWindows windows;

// Answers every box with OK (a question Yes) and keeps the last text shown.
class RecordingPrompts : public kav::SilentPrompts {
  public:
    std::string lastMessage;
    kav::Answer Message(kav::MsgKind, kav::MsgButtons buttons, const std::string& text) override {
        lastMessage = text;
        return buttons == kav::MsgButtons::Ok ? kav::Answer::Ok : kav::Answer::Yes;
    }
};

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r')
            c = ' ';
    }
    return text;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (argc < 2) {
        std::fprintf(stderr, "usage: window-bench NODEFILE [--repeat N]\n");
        return 2;
    }
    const std::string nodeFile = argv[1];
    const int repeat = argc >= 4 && std::string(argv[2]) == "--repeat" ? std::atoi(argv[3]) : 1;

    RecordingPrompts prompts;
    kav::Session session(prompts);
    windows = CreateWindows(session);
    windows.mainMenu->show();
    kav::Workspace& ws = session.ws;
    if (kav::ReadProblem(ws, nodeFile, kav::DeriveLinkFileName(nodeFile)).ShowTo(prompts) !=
        kav::LoadOutcome::Loaded) {
        std::fprintf(stderr, "cannot load %s\n", nodeFile.c_str());
        return 1;
    }
    windows.mainMenu->SetProblemButtons(true);
    std::printf("links %d\nnodes %d\n", int{ws.LinkCount}, int{ws.NodeCount});

    auto* run = windows.mainMenu->findChild<QPushButton*>("RunButton");
    auto* gauge = windows.percentDone->findChild<QProgressBar*>("Gauge1");
    PaintCounter counter;
    gauge->installEventFilter(&counter);
    for (int k = 0; k < repeat; ++k) {
        ws.ClearSolution();
        kav::NoteResultsShown(ws);
        QApplication::processEvents();
        counter.paints = 0;
        QElapsedTimer clock;
        clock.start();
        run->click();
        const double seconds = clock.nsecsElapsed() / 1e9;
        std::printf("solution_message %s\nbutton_seconds %.3f\ngauge_paints %d\n",
                    OneLine(prompts.lastMessage).c_str(), seconds, counter.paints);
    }
    DestroyWindows(windows);
    return 0;
}

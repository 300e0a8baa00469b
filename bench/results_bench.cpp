// Times the results window's rebuild on a full Workspace (20000 links, 2010
// nodes): the list building alone, and a whole order-button press or window
// opening with the lists filled. Runs offscreen unless a platform is set.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "gui/AnchorWindow.h"
#include "results/ResultLines.h"
#include "results/TFMResultsForm.h"
#include "solver/Session.h"
#include "workspace/Workspace.h"

namespace {

constexpr int Repeats = 15;

void FillFullWorkspace(kav::Workspace& ws) {
    std::mt19937 random(12345);
    auto between = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    ws.Reset();
    std::vector<int32_t> potentials(1);
    for (int n = 1; n <= kav::MaxNodes; ++n) {
        std::string name;
        const int length = between(4, 12);
        for (int c = 0; c < length; ++c)
            name += letters[between(0, 61)];
        kav::AppendNode(ws, name);
        potentials.push_back(between(-5000, 5000));
    }
    std::vector<int32_t> flows(1);
    for (int k = 1; k <= kav::MaxLinks; ++k) {
        kav::LinkData link;
        link.Origin = between(1, ws.NodeCount);
        link.Dest = between(1, ws.NodeCount);
        link.Upper = between(1, 1000);
        link.Cost = between(-100, 100);
        kav::AppendLink(ws, link);
        flows.push_back(between(0, 3) == 0 ? 0 : between(0, link.Upper));
    }
    kav::SetSolution(ws, flows, potentials);
}

struct Timing {
    double fastest = 0;
    double median = 0;
};

Timing Time(const std::function<void()>& work) {
    std::vector<double> ms;
    for (int r = 0; r < Repeats; ++r) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

void Report(const char* what, const Timing& timing) {
    std::printf("%-52s fastest %7.2f ms   median %7.2f ms\n", what, timing.fastest, timing.median);
}

// Resident and peak memory of the process in MiB, from /proc/self/status.
double StatusMiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stod(line.substr(field.size() + 1)) / 1024;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kav::SilentPrompts prompts;
    kav::Session session(prompts);
    kav::Workspace& ws = session.ws;
    FillFullWorkspace(ws);
    std::printf("Results window on a full Workspace: %d links, %d nodes\n", int{ws.LinkCount},
                int{ws.NodeCount});

    kav::ResultListBuilder builder;
    kav::ResultLists lists;
    for (kav::LinkOrder order :
         {kav::LinkOrder::Input, kav::LinkOrder::Origin, kav::LinkOrder::Dest}) {
        const char letter = order == kav::LinkOrder::Input    ? 'I'
                            : order == kav::LinkOrder::Origin ? 'O'
                                                              : 'D';
        const std::string what = std::string("list building, order ") + letter;
        Report(what.c_str(), Time([&] { builder.Build(ws, order, true, lists); }));
    }
    Report("list building, order D, non-zero flows only",
           Time([&] { builder.Build(ws, kav::LinkOrder::Dest, false, lists); }));

    const double before = StatusMiB("VmRSS");
    QWidget mainMenu;
    SetAnchorWindow(&mainMenu);
    auto* form = new TFMResultsForm(session);

    QElapsedTimer opening;
    opening.start();
    form->show();
    mainMenu.hide();
    QApplication::processEvents();
    std::printf("%-52s %7.2f ms\n", "first opening (build, fill, lay out, paint)",
                static_cast<double>(opening.nsecsElapsed()) / 1e6);

    Report("opening again (origin order)", Time([&] {
               form->hide();
               form->show();
               QApplication::processEvents();
           }));
    for (const char* button : {"InputOrderButton", "OriginOrderButton", "DestOrderButton"}) {
        auto* press = form->findChild<QPushButton*>(button);
        const std::string what = std::string("press ") + button + " and repaint";
        Report(what.c_str(), Time([&] {
                   press->click();
                   QApplication::processEvents();
               }));
    }
    std::printf("%-52s %7.1f MiB\n", "resident memory growth from the window and its lists",
                StatusMiB("VmRSS") - before);
    std::printf("%-52s %7.1f MiB\n", "peak resident memory of the process", StatusMiB("VmHWM"));
    delete form;
    return 0;
}

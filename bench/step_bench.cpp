// Times the Step Through window on the largest problem the picture shows
// whole (300 nodes, 3000 links, solved from zero flows): the replay that
// opens it, Step and Back on their own for several spacings of the kept
// states (Back replays from the nearest one: the worst case is a step just
// before the next kept state), and Step and Back in the window with the
// picture drawn again offscreen. Prints figures only.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <vector>

#include "drawing/PictureDrawing.h"
#include "results/GraphLayout.h"
#include "results/NetworkPicture.h"
#include "results/SolveSteps.h"
#include "results/TFMStepThrough.h"
#include "support/ScriptedPrompts.h"
#include "workspace/Workspace.h"

namespace {

constexpr int Nodes = 300;
constexpr int Links = 3000;

// A ring each way through every node, so that every supply can go round, and
// random links, a tenth of them with a lower bound.
void FillProblem(kav::Workspace& ws) {
    std::mt19937 random(2323);
    auto between = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    ws.Reset();
    for (int n = 1; n <= Nodes; ++n)
        kav::AppendNode(ws, "N" + std::to_string(n));
    for (int k = 1; k <= Links; ++k) {
        const bool ring = k <= 2 * Nodes;
        const int n = (k - 1) % Nodes + 1;
        kav::LinkData link;
        link.Origin = ring ? (k <= Nodes ? n : n % Nodes + 1) : between(1, Nodes);
        link.Dest = ring ? (k <= Nodes ? n % Nodes + 1 : n) : between(1, Nodes);
        link.Upper = ring ? 1000 : between(1, 100);
        link.Lower = !ring && between(1, 10) == 1 ? link.Upper / 2 : 0;
        link.Cost = ring ? between(1, 10) : between(-10, 10);
        kav::AppendLink(ws, link);
    }
}

double Ms(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

// The process's processor time: on a busy machine the wall clock also
// counts the time others had the processor.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Figures {
    double median = 0;
    double max = 0;
};

Figures Summary(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto ws = std::make_unique<kav::Workspace>();
    FillProblem(*ws);
    std::printf("nodes %d links %d\n", int{ws->NodeCount}, int{ws->LinkCount});

    for (const std::size_t spacing : {16, 64, 256, 1024, 4096}) {
        QElapsedTimer timer;
        timer.start();
        kav::SolveSteps steps(*ws, spacing);
        const double replay = Ms(timer);
        const std::size_t count = steps.Count();
        std::vector<double> forward, back;
        std::mt19937 random(7);
        std::uniform_int_distribution<std::size_t> any(2, count);
        for (int i = 0; i < 200; ++i) {
            // Half at random, half just before a kept state.
            std::size_t n = any(random);
            if (i % 2 == 1)
                n = std::clamp<std::size_t>((n / spacing + 1) * spacing, 2, count);
            steps.GoTo(n - 1);
            timer.start();
            steps.Step();
            forward.push_back(Ms(timer));
            timer.start();
            steps.Back();
            back.push_back(Ms(timer));
        }
        const Figures f = Summary(forward), b = Summary(back);
        const double keptMiB = static_cast<double>(count / spacing + 1) *
                               static_cast<double>(Links + 1 + 2 * (Nodes + 1)) * 4 / 1048576.0;
        std::printf(
            "spacing %5zu steps %zu replay_ms %.0f step_ms median %.4f max %.4f back_ms median "
            "%.4f max %.4f kept_states_mib %.1f (%s)\n",
            spacing, count, replay, f.median, f.max, b.median, b.max, keptMiB,
            spacing == kav::SolveSteps::DefaultSpacing ? "the window's" : "for comparison");
    }

    // The window, with the picture's layout, stepping and drawing offscreen.
    auto result = std::make_shared<PictureResult>();
    result->graph = kav::WholeNetwork(*ws);
    QElapsedTimer timer;
    timer.start();
    result->layout = kav::LayOutGraph(result->graph);
    std::printf("layout_seconds %.2f (made once, by the picture)\n", Ms(timer) / 1000);
    {
        std::vector<double> draws;
        for (int i = 0; i < 5; ++i) {
            timer.start();
            const kav::PictureDrawing drawing =
                kav::DrawPicture(*ws, result->graph, result->layout, kav::PictureStyle());
            draws.push_back(Ms(timer));
        }
        std::printf("draw_picture_ms %.1f\n", Summary(draws).median);
    }
    ScriptedPrompts prompts;
    const kav::ProtectedFiles noFiles;
    TFMStepThrough window(prompts, noFiles);
    window.resize(800, 600);
    // Opened afresh each time: closing drops the replay and the picture.
    std::vector<double> opens, openCpu;
    for (int i = 0; i < 9; ++i) {
        if (i > 0)
            window.close();
        const double cpuBefore = CpuMs();
        timer.start();
        window.ShowSteps(*ws, result);
        QCoreApplication::processEvents();
        opens.push_back(Ms(timer));
        openCpu.push_back(CpuMs() - cpuBefore);
    }
    const Figures o = Summary(opens);
    std::printf(
        "window_open_ms median %.1f max %.1f cpu_ms median %.1f (replay and first drawing)\n",
        o.median, o.max, Summary(openCpu).median);
    QWidget* canvas = window.findChild<QWidget*>("StepPicture");
    auto* step = window.findChild<QPushButton*>("StepButton");
    auto* back = window.findChild<QPushButton*>("BackButton");
    auto* nextLink = window.findChild<QPushButton*>("NextLinkButton");
    std::vector<double> steps, backs;
    for (int i = 0; i < 60; ++i) {
        if (i % 6 == 0)
            nextLink->click();
        timer.start();
        step->click();
        canvas->repaint();
        steps.push_back(Ms(timer));
        timer.start();
        back->click();
        canvas->repaint();
        backs.push_back(Ms(timer));
        step->click();
    }
    // Each jump button both ways, and Go to step, with the picture redrawn.
    std::vector<double> jumps;
    for (const char* name :
         {"NextLinkButton", "PreviousLinkButton", "NextBreakthroughButton",
          "PreviousBreakthroughButton", "NextChangeButton", "PreviousChangeButton"}) {
        auto* button = window.findChild<QPushButton*>(name);
        for (int i = 0; i < 10; ++i) {
            timer.start();
            button->click();
            canvas->repaint();
            jumps.push_back(Ms(timer));
        }
    }
    auto* goTo = window.findChild<QSpinBox*>("GoToStep");
    std::mt19937 picks(11);
    for (int i = 0; i < 20; ++i) {
        timer.start();
        goTo->setValue(std::uniform_int_distribution<int>(1, goTo->maximum())(picks));
        QMetaObject::invokeMethod(goTo, "editingFinished");
        canvas->repaint();
        jumps.push_back(Ms(timer));
    }
    const Figures j = Summary(jumps);
    std::printf("window jump_ms median %.1f max %.1f (the jumps and Go to step, with redraw)\n",
                j.median, j.max);
    std::vector<double> repaints;
    for (int i = 0; i < 10; ++i) {
        canvas->resize(canvas->size() + QSize(i % 2 == 0 ? 1 : -1, 0));
        timer.start();
        canvas->repaint();
        repaints.push_back(Ms(timer));
    }
    std::printf("whole_picture_repaint_ms median %.1f\n", Summary(repaints).median);
    const Figures s = Summary(steps), b = Summary(backs);
    std::printf("window step_ms median %.1f max %.1f back_ms median %.1f max %.1f (with redraw)\n",
                s.median, s.max, b.median, b.max);
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::strncmp(line, "VmHWM", 5) == 0 || std::strncmp(line, "VmRSS", 5) == 0)
                std::printf("%s", line);
        std::fclose(status);
    }
    return 0;
}

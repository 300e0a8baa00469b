// Times the network picture on the largest problem it shows whole (300 nodes,
// 3000 links): the Graphviz layout alone, the window's whole opening (layout
// on the worker thread and drawing), and one repaint of the picture per zoom
// step. Runs offscreen unless a platform is set; prints figures only.
#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsView>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "results/GraphLayout.h"
#include "results/NetworkPicture.h"
#include "results/TFMNetworkPicture.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

constexpr int Nodes = 300;
constexpr int Links = 3000;

// A ring through every node (so that the picture is connected) and random
// links, with flows at and between the bounds.
void FillProblem(kav::Workspace& ws) {
    std::mt19937 random(4242);
    auto between = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    ws.Reset();
    ws.NodeCount = Nodes;
    for (int n = 1; n <= Nodes; ++n)
        ws.NodeName[n] = "N" + std::to_string(n);
    ws.LinkCount = Links;
    for (int k = 1; k <= Links; ++k) {
        ws.LinkOrigin[k] = k <= Nodes ? k : between(1, Nodes);
        ws.LinkDest[k] = k <= Nodes ? k % Nodes + 1 : between(1, Nodes);
        ws.LinkUpper[k] = between(1, 100);
        ws.LinkCost[k] = between(-10, 10);
        ws.LinkFlow[k] = between(0, 2) == 0 ? 0 : between(0, ws.LinkUpper[k]);
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kav::Workspace& ws = kav::TheWorkspace();
    FillProblem(ws);
    std::printf("nodes %d links %d\n", ws.NodeCount, ws.LinkCount);

    std::vector<double> layouts;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        const kav::GraphLayout layout = kav::LayOutGraph(kav::WholeNetwork(ws));
        layouts.push_back(timer.nsecsElapsed() / 1e9);
    }
    std::printf("layout_seconds %.3f (median of 3, Graphviz sfdp alone)\n", Median(layouts));

    TFMNetworkPicture picture(kav::ThePrompts());
    QElapsedTimer opening;
    opening.start();
    picture.ShowPicture();
    while (picture.LayoutPending())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents();
    std::printf("open_seconds %.3f (button press to picture drawn)\n",
                opening.nsecsElapsed() / 1e9);

    auto* view = picture.findChild<QGraphicsView*>("PictureView");
    auto* zoomIn = picture.findChild<QPushButton*>("ZoomInButton");
    auto* zoomOut = picture.findChild<QPushButton*>("ZoomOutButton");
    std::vector<double> repaints;
    for (int step = 0; step < 16; ++step) {
        QElapsedTimer timer;
        timer.start();
        (step < 8 ? zoomIn : zoomOut)->click();
        view->viewport()->repaint();
        repaints.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("zoom_repaint_ms median %.1f max %.1f (16 steps in and out)\n", Median(repaints),
                *std::max_element(repaints.begin(), repaints.end()));
    return 0;
}

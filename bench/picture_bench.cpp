// Times the network picture on the largest problem it shows whole (300 nodes,
// 3000 links): the Graphviz layout alone, the window's whole opening (layout
// on the worker thread and drawing), and one repaint of the picture per zoom
// step. Then a hub joined to all 2000 other nodes of a full problem (20000
// links): the time to lay out and draw its neighbourhood (the 3000 links with
// the largest flows, after the window's question) and the resident memory
// before, while and after the window shows it. Runs offscreen unless a
// platform is set; prints figures only.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "results/GraphLayout.h"
#include "results/NetworkPicture.h"
#include "results/TFMNetworkPicture.h"
#include "solver/Session.h"
#include "support/ScriptedPrompts.h"
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
    for (int n = 1; n <= Nodes; ++n)
        kav::AppendNode(ws, "N" + std::to_string(n));
    std::vector<int32_t> flows(1);
    for (int k = 1; k <= Links; ++k) {
        kav::LinkData link;
        link.Origin = k <= Nodes ? k : between(1, Nodes);
        link.Dest = k <= Nodes ? k % Nodes + 1 : between(1, Nodes);
        link.Upper = between(1, 100);
        link.Cost = between(-10, 10);
        kav::AppendLink(ws, link);
        flows.push_back(between(0, 2) == 0 ? 0 : between(0, link.Upper));
    }
    kav::SetSolution(ws, flows, {});
}

// Node 1 joined to every other node (flows 1..1000), the rest random.
void FillHubProblem(kav::Workspace& ws) {
    std::mt19937 random(77);
    auto between = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    ws.Reset();
    for (int n = 1; n <= 2001; ++n)
        kav::AppendNode(ws, "N" + std::to_string(n));
    std::vector<int32_t> flows(1);
    for (int k = 1; k <= kav::MaxLinks; ++k) {
        const bool hub = k <= 2000;
        kav::LinkData link;
        link.Origin = hub ? 1 : between(2, ws.NodeCount);
        link.Dest = hub ? k + 1 : between(2, ws.NodeCount);
        link.Upper = 1000;
        kav::AppendLink(ws, link);
        flows.push_back(between(0, 1000));
    }
    kav::SetSolution(ws, flows, {});
}

// Resident memory in MiB.
double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// Sleeps in an event loop until the picture is drawn, leaving both cores to
// Graphviz and the drawing.
void WaitForPicture(TFMNetworkPicture& picture) {
    if (!picture.LayoutPending())
        return;
    QEventLoop loop;
    QObject::connect(&picture, &TFMNetworkPicture::pictureReady, &loop, &QEventLoop::quit);
    loop.exec();
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
    // Questions answer No until the hub picture scripts a Yes.
    ScriptedPrompts yes;
    kav::Session session(yes);
    kav::Workspace& ws = session.ws;
    FillProblem(ws);
    std::printf("nodes %d links %d\n", int{ws.NodeCount}, int{ws.LinkCount});

    std::vector<double> layouts;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        const kav::GraphLayout layout = kav::LayOutGraph(kav::WholeNetwork(ws));
        layouts.push_back(timer.nsecsElapsed() / 1e9);
    }
    std::printf("layout_seconds %.3f (median of 3, Graphviz sfdp alone)\n", Median(layouts));

    TFMNetworkPicture picture(session);
    QElapsedTimer opening;
    opening.start();
    picture.ShowPicture();
    WaitForPicture(picture);
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
    picture.close();

    FillHubProblem(ws);
    TFMNetworkPicture hubPicture(session);
    QCoreApplication::processEvents();
    const double before = ResidentMiB();
    std::printf("hub neighbourhood links %d\n", kav::NeighbourhoodLinkCount(ws, 1, 1));
    {
        QElapsedTimer timer;
        timer.start();
        const kav::PictureGraph graph = kav::Neighbourhood(ws, 1, 1, kav::WholePictureMaxLinks);
        const double chosen = timer.nsecsElapsed() / 1e9;
        const kav::GraphLayout layout = kav::LayOutGraph(graph);
        std::printf("hub_choose_seconds %.3f hub_layout_seconds %.3f (Graphviz alone)\n", chosen,
                    timer.nsecsElapsed() / 1e9 - chosen);
    }
    for (int run = 0; run < 3; ++run) {
        hubPicture.ShowPicture();
        hubPicture.findChild<QLineEdit*>("NodeSearch")->setText(QStringLiteral("N1"));
        yes.answers.push_back(kav::Answer::Yes);
        QElapsedTimer timer;
        timer.start();
        hubPicture.findChild<QPushButton*>("ShowNodeButton")->click();
        WaitForPicture(hubPicture);
        QCoreApplication::processEvents();
        const double seconds = timer.nsecsElapsed() / 1e9;
        const double during = ResidentMiB();
        const std::size_t nodes = hubPicture.Drawing().nodes.size();
        const std::size_t links = hubPicture.Drawing().links.size();
        hubPicture.close();
        QCoreApplication::processEvents();
        std::printf(
            "hub_seconds %.3f rss_mib before %.0f during %.0f after %.0f (%zu nodes, %zu "
            "links)\n",
            seconds, before, during, ResidentMiB(), nodes, links);
    }
    return 0;
}

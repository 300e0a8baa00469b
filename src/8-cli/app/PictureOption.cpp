#include "app/PictureOption.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "app/CommandLine.h"
#include "drawing/PictureDrawing.h"
#include "results/GraphLayout.h"
#include "results/NetworkPicture.h"
#include "workspace/NodeNames.h"
#include "workspace/ProblemWriter.h"
#include "workspace/TextEncoding.h"

namespace {

constexpr int MaxScale = 16;

int Refuse(const std::string& why) {
    std::fprintf(stderr, "kavrilon: %s\n", why.c_str());
    return ExitBadArguments;
}

// The node --around names, by the rule the picture window's search keeps.
std::optional<int32_t> FindNode(const kav::Workspace& ws, const std::string& text,
                                std::string& error) {
    const kav::NodeSearch found = kav::FindNodeByNameOrNumber(ws, text);
    if (found.node != 0)
        return found.node;
    error =
        found.namesakes.empty()
            ? "--around: no node " + kav::Latin1ToUtf8(kav::TrimmedName(text)) + " in the problem."
            : kav::Latin1ToUtf8(kav::NamesakesText(text, found.namesakes)) +
                  ": give the node's number to --around.";
    return std::nullopt;
}

// The node the picture is drawn around (0: the whole network), or nothing
// after putting the usage error in error.
std::optional<int32_t> PictureCentre(const PictureRequest& request, const kav::Workspace& ws,
                                     std::string& error) {
    if (!request.around.empty())
        return FindNode(ws, request.around, error);
    if (kav::PictureTooLarge(ws)) {
        error = std::to_string(ws.NodeCount) + " nodes and " + std::to_string(ws.LinkCount) +
                " links are too many for a whole picture (at most 300 nodes and 3000 links): "
                "choose a node with --around.";
        return std::nullopt;
    }
    return 0;
}

}  // namespace

PictureOptions::PictureOptions()
    : picture(QStringLiteral("picture"),
              QStringLiteral("With --solve, also draw the network as the picture window does "
                             "into OUT.svg or OUT.png (written for an infeasible run too, with "
                             "its cut)."),
              QStringLiteral("OUT.svg|OUT.png")),
      scale(QStringLiteral("scale"),
            QStringLiteral("Pixels of a PNG picture per point, 1 to 16 (default 2); at most 16 "
                           "million pixels."),
            QStringLiteral("N")),
      around(QStringLiteral("around"),
             QStringLiteral("Draw only NODE (a name only one node has, else a number), its "
                            "neighbours and the links that touch them; needed above 300 nodes or "
                            "3000 links."),
             QStringLiteral("NODE")),
      steps(QStringLiteral("steps"),
            QStringLiteral("With --around: 1 (default) or 2, the neighbours' neighbours too."),
            QStringLiteral("1|2")) {}

void PictureOptions::AddTo(QCommandLineParser& parser) const {
    parser.addOptions({picture, scale, around, steps});
}

std::optional<QString> PictureOptions::Read(const QCommandLineParser& parser, bool solve,
                                            PictureRequest& request) const {
    if (!parser.isSet(picture)) {
        if (parser.isSet(scale) || parser.isSet(around) || parser.isSet(steps))
            return QStringLiteral("--scale, --around and --steps need --picture.");
        return std::nullopt;
    }
    if (!solve)
        return QStringLiteral("--picture needs --solve.");
    request.file = ArgumentBytes(parser.value(picture));
    const std::size_t dot = request.file.rfind('.');
    const QString suffix =
        dot == std::string::npos
            ? QString()
            : QString::fromLatin1(request.file.substr(dot + 1).c_str()).toLower();
    if (request.file.size() < 5 ||
        (suffix != QLatin1String("svg") && suffix != QLatin1String("png")))
        return QStringLiteral("--picture needs a file name ending in .svg or .png.");
    request.png = suffix == QLatin1String("png");
    if (parser.isSet(scale)) {
        if (!request.png)
            return QStringLiteral("--scale applies to PNG pictures only.");
        bool ok = false;
        const int value = parser.value(scale).toInt(&ok);
        if (!ok || value < 1 || value > MaxScale)
            return QStringLiteral("--scale needs a whole number from 1 to 16.");
        request.scale = value;
    }
    if (parser.isSet(steps) && !parser.isSet(around))
        return QStringLiteral("--steps needs --around.");
    if (parser.isSet(around)) {
        request.around = ArgumentName(parser.value(around));
        if (request.around.empty())
            return QStringLiteral("--around needs a node number or name.");
    }
    if (parser.isSet(steps)) {
        const QString value = parser.value(steps);
        if (value != QLatin1String("1") && value != QLatin1String("2"))
            return QStringLiteral("--steps is 1 or 2.");
        request.steps = value.toInt();
    }
    return std::nullopt;
}

int CheckPictureRequest(const PictureRequest& request, const kav::Workspace& ws) {
    std::string error;
    if (request.file.empty() || PictureCentre(request, ws, error).has_value())
        return ExitSolved;
    return Refuse(error);
}

int PreparePicture(const PictureRequest& request, const kav::Workspace& ws,
                   const kav::SolutionState& solution, std::optional<PreparedPicture>& prepared) {
    prepared.reset();
    if (request.file.empty())
        return ExitSolved;
    std::string error;
    const std::optional<int32_t> node = PictureCentre(request, ws, error);
    if (!node)
        return Refuse(error);
    kav::PictureStyle style = kav::StyleOfSolution(solution);
    kav::PictureGraph graph;
    if (*node == 0) {
        graph = kav::WholeNetwork(ws);
    } else {
        style.centreNode = *node;
        const int32_t links = kav::NeighbourhoodLinkCount(ws, *node, request.steps);
        int32_t most = 0;
        if (links > kav::WholePictureMaxLinks) {
            most = kav::WholePictureMaxLinks;
            std::fprintf(
                stderr,
                "kavrilon: the neighbourhood of node %d has %d links: only the %d with the "
                "largest flows are drawn.\n",
                *node, links, most);
        }
        graph = kav::Neighbourhood(ws, *node, request.steps, most);
    }
    kav::LabelLinks(graph, ws, graph.links.size() <= kav::LabelledLinksMax);
    kav::GraphLayout layout;
    try {
        layout = kav::LayOutGraph(graph);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "kavrilon: the picture could not be drawn: %s\n", error.what());
        return ExitNotWritten;
    }
    const kav::PictureDrawing drawing = kav::DrawPicture(ws, graph, layout, style);
    PreparedPicture picture;
    picture.file = request.file;
    if (request.png) {
        if (!kav::PngFits(drawing, request.scale)) {
            const QSize size = kav::PngSize(drawing, request.scale);
            return Refuse("a PNG at --scale " + std::to_string(static_cast<int>(request.scale)) +
                          " would have " + std::to_string(size.width()) + " x " +
                          std::to_string(size.height()) +
                          " pixels, more than 16 million: use a smaller --scale, --around or "
                          "SVG.");
        }
        const std::optional<std::string> png = kav::RenderPng(drawing, request.scale);
        if (!png) {
            std::fprintf(stderr, "kavrilon: the picture could not be drawn as PNG.\n");
            return ExitNotWritten;
        }
        picture.contents = *png;
    } else {
        picture.contents = kav::RenderSvg(drawing);
    }
    prepared = std::move(picture);
    return ExitSolved;
}

bool WritePicture(const PreparedPicture& picture, const std::vector<std::string>& problemFiles) {
    const kav::WriteResult written =
        kav::WriteFile(picture.file, picture.contents, problemFiles, kav::PipeWithoutReader::Wait);
    if (written)
        return true;
    std::fprintf(stderr, "kavrilon: the picture could not be written to %s (%s)\n",
                 picture.file.c_str(), written.Reason().c_str());
    return false;
}

#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "results/GraphLayout.h"
#include "results/NetworkPicture.h"
#include "solver/LastSolve.h"
#include "workspace/Workspace.h"

class QPainter;

namespace kav {

// The picture's colours, told apart with any colour vision: blue against
// orange and vermilion, never red against green alone; out-of-kilter links
// are dashed as well.
namespace PictureColours {
inline const QColor AtLower{0x80, 0x80, 0x80};
inline const QColor Between{0x00, 0x9E, 0x73};
inline const QColor AtUpper{0x00, 0x72, 0xB2};
inline const QColor OutOfKilter{0xD5, 0x5E, 0x00};
inline const QColor NoSolution{0x00, 0x00, 0x00};
inline const QColor CutFill{0xF0, 0xC0, 0x60};
inline const QColor CentreFill{0x9C, 0xD4, 0xF2};
inline const QColor NodeFill{0xFF, 0xFF, 0xFF};
}  // namespace PictureColours

// How far the flows on show can be trusted.
enum class FlowStanding {
    None,         // no flows: the network changed since the solve
    Certified,    // a feasible solve, checked optimal, of the problem as it is
    Partial,      // the flows an infeasible run stopped at
    Uncertified,  // flows not (or no longer) proved: an edit since the solve
};
FlowStanding StandingOfFlows(const SolutionState& solution);

// The status bar's note on flows drawn muted; empty for the others.
QString StandingNote(FlowStanding standing);

// What is drawn besides the graph's own states.
struct PictureStyle {
    std::set<int32_t> cutNodes;
    std::set<int32_t> cutLinks;  // drawn bold
    int32_t centreNode = 0;      // a neighbourhood's centre (0: none)
    bool labels = true;          // the graph's flow labels drawn
    FlowStanding standing = FlowStanding::Certified;
};

// One link as every output draws it, in picture points.
struct DrawnLink {
    int32_t link = 0;
    QPainterPath line;
    QPolygonF head;  // the arrow head, filled
    QColor colour;
    double width = 1.0;
    bool dashed = false;
    bool bold = false;
    QString label;  // empty: none
    QRectF labelBox;
    QString title;  // the label and the link's results line
};

struct DrawnNode {
    int32_t node = 0;
    QRectF shape;  // the ellipse's box
    QColor fill;
    double border = 1.2;
    QString name;
    QString title;
};

struct PictureDrawing {
    std::vector<DrawnLink> links;
    std::vector<DrawnNode> nodes;
    QRectF bounds;  // everything drawn, with a margin
};

// The cut of the current solution (when it is proved) and the standing of the
// flows; no centre, labels on.
PictureStyle StyleOfSolution(const SolutionState& solution);

// Everything the picture shows, from the Workspace, the graph and its layout.
// Every value is formed in 64 bits; nothing here throws on the problem's data.
PictureDrawing DrawPicture(const Workspace& ws, const PictureGraph& graph,
                           const GraphLayout& layout, const PictureStyle& style);

QFont NodeFont();
QFont LabelFont();

// The window paints item by item, the exports all at once; all through these.
void PaintLink(QPainter& painter, const DrawnLink& link);
void PaintNode(QPainter& painter, const DrawnNode& node);
// White background, links, then nodes over their ends.
void PaintPicture(QPainter& painter, const PictureDrawing& drawing);

// A PNG has at most this many pixels.
constexpr double PngMaxPixels = 16e6;
QSize PngSize(const PictureDrawing& drawing, double scale);
bool PngFits(const PictureDrawing& drawing, double scale);
// The largest scale up to wanted that fits.
double FittingPngScale(const PictureDrawing& drawing, double wanted);
// The PNG file's bytes; nothing when it cannot be made (too large, or the
// image could not be allocated or encoded).
std::optional<std::string> RenderPng(const PictureDrawing& drawing, double scale);

// An SVG file with one <g> per link (id linkK) and per node (id nodeN), each
// with its title, in the drawing order.
std::string RenderSvg(const PictureDrawing& drawing);

// What a window draws over a picture, in order: a halo under a link, a link
// or a node drawn again, a text in a filled box.
struct DrawnHalo {
    QPainterPath line;
    QColor colour;
    double width = 1.0;
    Qt::PenStyle style = Qt::SolidLine;
};
struct DrawnNote {
    QRectF box;
    QColor fill;
    QString text;
    QFont font;
};
using DrawnMark = std::variant<DrawnHalo, DrawnLink, DrawnNode, DrawnNote>;
void PaintMark(QPainter& painter, const DrawnMark& mark);

// A legend's entry: a swatch of its colour (none when invalid) and its text.
struct LegendEntry {
    QColor swatch;
    QString text;
};
// Above the picture: a text wrapped to the picture's width (at least
// `width`), then the legend.
struct SvgHeading {
    QString text;
    std::vector<LegendEntry> legend;
    double width = 0;
};
// The picture with marks over it, under the heading.
std::string RenderSvg(const PictureDrawing& drawing, const std::vector<DrawnMark>& marks,
                      const SvgHeading& heading);

}  // namespace kav

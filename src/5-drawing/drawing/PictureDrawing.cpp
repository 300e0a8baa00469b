#include "drawing/PictureDrawing.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "results/ResultLines.h"
#include "solver/KiltSolve.h"
#include "solver/LastSolve.h"

namespace kav {

namespace {

constexpr double Margin = 20.0;
constexpr double NodeBorder = 1.2;
constexpr double CentreBorder = 2.6;
constexpr double LabelPadding = 1.5;
// A link crossing the cut is this much wider than its flow makes it.
constexpr double BoldExtra = 2.5;
// Where Graphviz ends a line that has an arrow head: this far before the tip.
constexpr double GraphvizArrowLength = 10.0;
// Out-of-kilter links: dashes and gaps in pen widths.
const QVector<qreal> DashPattern{4.0, 2.5};

QString Latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QColor StateColour(LinkState state) {
    switch (state) {
        case LinkState::AtLower:
            return PictureColours::AtLower;
        case LinkState::Between:
            return PictureColours::Between;
        case LinkState::AtUpper:
            return PictureColours::AtUpper;
        case LinkState::OutOfKilter:
            return PictureColours::OutOfKilter;
        case LinkState::NoSolution:
            break;
    }
    return PictureColours::NoSolution;
}

// Halfway to white.
QColor Muted(const QColor& colour) {
    return QColor((colour.red() + 255) / 2, (colour.green() + 255) / 2, (colour.blue() + 255) / 2);
}

QPointF Point(const LayoutPoint& p) {
    return {p.x, p.y};
}

// Where the line from centre towards outside leaves the ellipse in box.
QPointF OnBorder(const QRectF& box, const QPointF& towards) {
    const QPointF centre = box.center();
    const QPointF d = towards - centre;
    const double rx = std::max(box.width() / 2, 1.0), ry = std::max(box.height() / 2, 1.0);
    const double q = std::hypot(d.x() / rx, d.y() / ry);
    return q > 0 ? centre + d / q : centre;
}

// A head of length and half-width pointing at tip from the direction of
// from.
QPolygonF ArrowHead(const QPointF& tip, const QPointF& from, double length, double halfWidth) {
    QPointF d = tip - from;
    const double norm = std::hypot(d.x(), d.y());
    d = norm > 0 ? d / norm : QPointF(1, 0);
    const QPointF base = tip - d * length;
    const QPointF side(-d.y() * halfWidth, d.x() * halfWidth);
    return QPolygonF({tip, base + side, base - side});
}

QString Number(double value) {
    return QString::number(value, 'f', 2);
}

QString Xml(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
            case '&':
                escaped += QLatin1String("&amp;");
                break;
            case '<':
                escaped += QLatin1String("&lt;");
                break;
            case '>':
                escaped += QLatin1String("&gt;");
                break;
            case '"':
                escaped += QLatin1String("&quot;");
                break;
            default:
                // XML 1.0 has no place for the other control characters.
                escaped += (c.unicode() < 0x20 && c != '\n' && c != '\t') || c.unicode() == 0x7F
                               ? QChar('?')
                               : c;
        }
    }
    return escaped;
}

QString SvgPath(const QPainterPath& path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo())
            d += QStringLiteral("M%1 %2 ").arg(Number(e.x), Number(e.y));
        else if (e.isLineTo())
            d += QStringLiteral("L%1 %2 ").arg(Number(e.x), Number(e.y));
        else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6 ")
                     .arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x),
                          Number(end.y));
            i += 2;
        }
    }
    return d.trimmed();
}

QString SvgPoints(const QPolygonF& polygon) {
    QStringList points;
    for (const QPointF& p : polygon)
        points << Number(p.x()) + ',' + Number(p.y());
    return points.join(' ');
}

QString SvgText(const QRectF& box, const QFont& font, const QString& text) {
    return QStringLiteral(
               "<text x=\"%1\" y=\"%2\" font-family=\"%3, sans-serif\" font-size=\"%4\" "
               "text-anchor=\"middle\" dominant-baseline=\"central\" fill=\"#000000\">%5</text>")
        .arg(Number(box.center().x()), Number(box.center().y()), font.family(),
             QString::number(font.pixelSize()), Xml(text));
}

}  // namespace

FlowStanding StandingOfFlows(const SolutionState& solution) {
    if (!solution.flowsStand)
        return FlowStanding::None;
    const SolveStatus* last = solution.solve;
    if (last == nullptr)
        return FlowStanding::Uncertified;
    if (last->IsInfeasible())
        return FlowStanding::Partial;
    return last->Certificate.Checked && last->Certificate.Ok ? FlowStanding::Certified
                                                             : FlowStanding::Uncertified;
}

QString StandingNote(FlowStanding standing) {
    switch (standing) {
        case FlowStanding::Partial:
            return QStringLiteral("Partial flows: drawn pale");
        case FlowStanding::Uncertified:
            return QStringLiteral("Flows not proved optimal: pale");
        case FlowStanding::None:
        case FlowStanding::Certified:
            break;
    }
    return QString();
}

PictureStyle StyleOfSolution(const SolutionState& solution) {
    PictureStyle style;
    style.standing = StandingOfFlows(solution);
    const InfeasibilityCut* cut = solution.Cut();
    if (cut && cut->Confirmed) {
        style.cutNodes.insert(cut->Nodes.begin(), cut->Nodes.end());
        style.cutLinks.insert(cut->LinksIn.begin(), cut->LinksIn.end());
        style.cutLinks.insert(cut->LinksOut.begin(), cut->LinksOut.end());
    }
    return style;
}

QFont NodeFont() {
    QFont font(QString::fromLatin1(PictureFontFamily));
    font.setPixelSize(10);
    return font;
}

QFont LabelFont() {
    QFont font(QString::fromLatin1(PictureFontFamily));
    font.setPixelSize(9);
    return font;
}

PictureDrawing DrawPicture(const Workspace& ws, const PictureGraph& graph,
                           const GraphLayout& layout, const PictureStyle& style) {
    PictureDrawing drawing;
    const bool muted =
        style.standing == FlowStanding::Partial || style.standing == FlowStanding::Uncertified;
    std::vector<QRectF> boxes(static_cast<std::size_t>(ws.NodeCount) + 1);
    for (const NodePlace& place : layout.nodes) {
        if (place.node >= 1 && place.node <= ws.NodeCount)
            boxes[static_cast<std::size_t>(place.node)] =
                QRectF(place.centre.x - place.width / 2, place.centre.y - place.height / 2,
                       place.width, place.height);
    }
    auto box = [&boxes](int32_t node) {
        return node >= 1 && static_cast<std::size_t>(node) < boxes.size()
                   ? boxes[static_cast<std::size_t>(node)]
                   : QRectF();
    };
    const QFontMetricsF labelMetrics(LabelFont());
    QRectF bounds;
    for (std::size_t i = 0; i < graph.links.size() && i < layout.links.size(); ++i) {
        const PictureLink& link = graph.links[i];
        const LinkRoute& route = layout.links[i];
        DrawnLink drawn;
        drawn.link = link.link;
        drawn.bold = style.cutLinks.count(link.link) != 0;
        drawn.width = drawn.bold ? link.width + BoldExtra : link.width;
        drawn.dashed = link.state == LinkState::OutOfKilter;
        const QColor colour = StateColour(link.state);
        drawn.colour = muted && link.state != LinkState::NoSolution ? Muted(colour) : colour;
        // The head grows with the pen, and is wide enough where the line ends
        // under it that the line never shows past its sides.
        const double length = std::max(GraphvizArrowLength, 7 + 1.2 * drawn.width);
        const double halfWidth =
            std::max(0.4 * length, (drawn.width / 2 + 0.5) * length / GraphvizArrowLength);
        QPointF tip, from;
        if (route.curve.size() >= 4) {
            drawn.line.moveTo(Point(route.curve[0]));
            for (std::size_t p = 1; p + 2 < route.curve.size(); p += 3)
                drawn.line.cubicTo(Point(route.curve[p]), Point(route.curve[p + 1]),
                                   Point(route.curve[p + 2]));
            const QPointF end = Point(route.curve.back());
            tip = route.hasArrow ? Point(route.arrowTip) : end;
            from = route.hasArrow && tip != end ? end : drawn.line.pointAtPercent(0.9);
        } else {
            // No route from Graphviz: a straight line between the borders.
            const QRectF a = box(link.origin), b = box(link.dest);
            const QPointF start = OnBorder(a, b.center());
            tip = OnBorder(b, a.center());
            from = start;
            QPointF d = tip - start;
            const double norm = std::hypot(d.x(), d.y());
            d = norm > 0 ? d / norm : QPointF();
            drawn.line.moveTo(start);
            drawn.line.lineTo(tip - d * std::min(GraphvizArrowLength, norm));
        }
        drawn.head = ArrowHead(tip, from, length, halfWidth);
        if (graph.solved && style.labels && !link.label.empty()) {
            drawn.label = Latin1(link.label);
            QRectF text = labelMetrics.boundingRect(drawn.label);
            text.adjust(-LabelPadding, 0, LabelPadding, 0);
            text.moveCenter(route.hasLabel ? Point(route.labelCentre)
                                           : drawn.line.pointAtPercent(0.5));
            drawn.labelBox = text;
        }
        const QString line = Latin1(
            LinkLine(ws, link.link, LinkInKilter(ws, link.link), WideReducedCost(ws, link.link)));
        drawn.title = drawn.label.isEmpty() ? line : drawn.label + '\n' + line;
        bounds |= drawn.line.boundingRect().adjusted(-drawn.width, -drawn.width, drawn.width,
                                                     drawn.width);
        bounds |= drawn.head.boundingRect();
        if (!drawn.label.isEmpty())
            bounds |= drawn.labelBox;
        drawing.links.push_back(std::move(drawn));
    }
    for (std::size_t i = 0; i < graph.nodes.size() && i < layout.nodes.size(); ++i) {
        const PictureNode& node = graph.nodes[i];
        DrawnNode drawn;
        drawn.node = node.node;
        drawn.shape = box(node.node);
        drawn.fill = style.cutNodes.count(node.node) != 0 ? PictureColours::CutFill
                     : node.node == style.centreNode      ? PictureColours::CentreFill
                                                          : PictureColours::NodeFill;
        drawn.border = node.node == style.centreNode ? CentreBorder : NodeBorder;
        drawn.name = Latin1(node.name);
        drawn.title = QStringLiteral("Node %1: %2").arg(node.node).arg(drawn.name);
        if (graph.solved)
            drawn.title += QStringLiteral("\nPotential: %1").arg(ws.NodePotential[node.node]);
        bounds |= drawn.shape.adjusted(-drawn.border, -drawn.border, drawn.border, drawn.border);
        drawing.nodes.push_back(std::move(drawn));
    }
    drawing.bounds = bounds.isEmpty() ? QRectF(0, 0, 2 * Margin, 2 * Margin)
                                      : bounds.adjusted(-Margin, -Margin, Margin, Margin);
    return drawing;
}

void PaintLink(QPainter& painter, const DrawnLink& link) {
    QPen pen(link.colour, link.width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    if (link.dashed)
        pen.setDashPattern(DashPattern);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(link.line);
    painter.setPen(Qt::NoPen);
    painter.setBrush(link.colour);
    painter.drawPolygon(link.head);
    if (!link.label.isEmpty()) {
        painter.fillRect(link.labelBox, Qt::white);
        painter.setPen(Qt::black);
        painter.setFont(LabelFont());
        painter.drawText(link.labelBox, Qt::AlignCenter, link.label);
    }
}

void PaintNode(QPainter& painter, const DrawnNode& node) {
    painter.setPen(QPen(Qt::black, node.border));
    painter.setBrush(node.fill);
    painter.drawEllipse(node.shape);
    painter.setPen(Qt::black);
    painter.setFont(NodeFont());
    painter.drawText(node.shape, Qt::AlignCenter, node.name);
}

void PaintPicture(QPainter& painter, const PictureDrawing& drawing) {
    painter.fillRect(drawing.bounds, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const DrawnLink& link : drawing.links)
        PaintLink(painter, link);
    for (const DrawnNode& node : drawing.nodes)
        PaintNode(painter, node);
}

QSize PngSize(const PictureDrawing& drawing, double scale) {
    return QSize(static_cast<int>(std::ceil(std::min(drawing.bounds.width() * scale, 1e9))),
                 static_cast<int>(std::ceil(std::min(drawing.bounds.height() * scale, 1e9))));
}

bool PngFits(const PictureDrawing& drawing, double scale) {
    const QSize size = PngSize(drawing, scale);
    // QPainter draws on images up to 32767 pixels a side.
    return static_cast<double>(size.width()) * size.height() <= PngMaxPixels &&
           size.width() <= 32767 && size.height() <= 32767;
}

double FittingPngScale(const PictureDrawing& drawing, double wanted) {
    double scale = wanted;
    const double area = drawing.bounds.width() * drawing.bounds.height();
    if (area > 0 && area * scale * scale > PngMaxPixels)
        scale = std::sqrt(PngMaxPixels / area);
    while (scale > 0.01 && !PngFits(drawing, scale))
        scale *= 0.99;
    return scale;
}

std::optional<std::string> RenderPng(const PictureDrawing& drawing, double scale) {
    if (!PngFits(drawing, scale))
        return std::nullopt;
    QImage image(PngSize(drawing, scale), QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        painter.translate(-drawing.bounds.topLeft());
        PaintPicture(painter, drawing);
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return std::nullopt;
    return png.toStdString();
}

namespace {

QString SvgOpening(const QRectF& b) {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%1\" "
               "height=\"%2\" viewBox=\"%3 %4 %1 %2\">\n"
               "<rect x=\"%3\" y=\"%4\" width=\"%1\" height=\"%2\" fill=\"#ffffff\"/>\n")
        .arg(Number(b.width()), Number(b.height()), Number(b.x()), Number(b.y()));
}

QString SvgLinkShapes(const DrawnLink& link) {
    const QString colour = link.colour.name();
    QString svg = QStringLiteral(
                      "<path d=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\" "
                      "stroke-linecap=\"butt\" stroke-linejoin=\"round\"")
                      .arg(SvgPath(link.line), colour, Number(link.width));
    if (link.dashed) {
        QStringList dashes;
        for (const qreal d : DashPattern)
            dashes << Number(d * link.width);
        svg += QStringLiteral(" stroke-dasharray=\"%1\"").arg(dashes.join(','));
    }
    svg += QStringLiteral("/>\n<polygon points=\"%1\" fill=\"%2\"/>\n")
               .arg(SvgPoints(link.head), colour);
    if (!link.label.isEmpty()) {
        const QRectF& t = link.labelBox;
        svg += QStringLiteral(
                   "<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"#ffffff\"/>\n")
                   .arg(Number(t.x()), Number(t.y()), Number(t.width()), Number(t.height()));
        svg += SvgText(t, LabelFont(), link.label) + '\n';
    }
    return svg;
}

QString SvgNodeShapes(const DrawnNode& node) {
    const QRectF& s = node.shape;
    return QStringLiteral(
               "<ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\" fill=\"%5\" stroke=\"#000000\" "
               "stroke-width=\"%6\"/>\n")
               .arg(Number(s.center().x()), Number(s.center().y()), Number(s.width() / 2),
                    Number(s.height() / 2), node.fill.name(), Number(node.border)) +
           SvgText(s, NodeFont(), node.name) + '\n';
}

QString SvgLinksAndNodes(const PictureDrawing& drawing) {
    QString svg;
    for (const DrawnLink& link : drawing.links)
        svg += QStringLiteral("<g id=\"link%1\"><title>%2</title>\n")
                   .arg(link.link)
                   .arg(Xml(link.title)) +
               SvgLinkShapes(link) + QLatin1String("</g>\n");
    for (const DrawnNode& node : drawing.nodes)
        svg += QStringLiteral("<g id=\"node%1\"><title>%2</title>\n")
                   .arg(node.node)
                   .arg(Xml(node.title)) +
               SvgNodeShapes(node) + QLatin1String("</g>\n");
    return svg;
}

QString SvgBox(const QRectF& box, const QColor& fill) {
    return QStringLiteral(
               "<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\" "
               "fill-opacity=\"%6\"/>\n")
        .arg(Number(box.x()), Number(box.y()), Number(box.width()), Number(box.height()),
             fill.name(), Number(fill.alphaF()));
}

// Qt's dash patterns, in pen widths.
QString SvgDashes(Qt::PenStyle style, double width) {
    std::vector<double> pattern;
    if (style == Qt::DashLine)
        pattern = {4, 2};
    else if (style == Qt::DotLine)
        pattern = {1, 2};
    else if (style == Qt::DashDotLine)
        pattern = {4, 2, 1, 2};
    QStringList dashes;
    for (const double d : pattern)
        dashes << Number(d * width);
    return dashes.isEmpty() ? QString()
                            : QStringLiteral(" stroke-dasharray=\"%1\"").arg(dashes.join(','));
}

QString SvgMark(const DrawnMark& mark) {
    if (const auto* halo = std::get_if<DrawnHalo>(&mark))
        return QStringLiteral(
                   "<path d=\"%1\" fill=\"none\" stroke=\"%2\" stroke-opacity=\"%3\" "
                   "stroke-width=\"%4\" stroke-linecap=\"round\" stroke-linejoin=\"round\"%5/>\n")
            .arg(SvgPath(halo->line), halo->colour.name(), Number(halo->colour.alphaF()),
                 Number(halo->width), SvgDashes(halo->style, halo->width));
    // Drawn again: the ids stay with the picture's own.
    if (const auto* link = std::get_if<DrawnLink>(&mark))
        return SvgLinkShapes(*link);
    if (const auto* node = std::get_if<DrawnNode>(&mark))
        return SvgNodeShapes(*node);
    const auto& note = std::get<DrawnNote>(mark);
    return SvgBox(note.box, note.fill) + SvgText(note.box, note.font, note.text) + '\n';
}

// Words never broken, nor an arrow from the names it joins.
QStringList WrappedLines(const QString& text, const QFont& font, double width) {
    const QFontMetricsF metrics(font);
    QStringList lines;
    QString line;
    const QStringList words =
        QString(text).replace(QStringLiteral(" -> "), QStringLiteral("\u00A0->\u00A0")).split(' ');
    for (const QString& word : words) {
        const QString longer = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

// The heading's elements from (left, top) down; height: how tall it is.
QString SvgHeadingText(const SvgHeading& heading, double left, double top, double width,
                       double& height) {
    const QFont font = LabelFont();
    const double line = QFontMetricsF(font).lineSpacing() + 2;
    const QFontMetricsF metrics(font);
    QString svg;
    double y = top;
    const auto text = [&](double x, const QString& words) {
        svg += QStringLiteral(
                   "<text x=\"%1\" y=\"%2\" font-family=\"%3, sans-serif\" font-size=\"%4\" "
                   "dominant-baseline=\"central\" fill=\"#000000\">%5</text>\n")
                   .arg(Number(x), Number(y + line / 2), font.family(),
                        QString::number(font.pixelSize()), Xml(words));
    };
    for (const QString& words : WrappedLines(heading.text, font, width)) {
        text(left, words);
        y += line;
    }
    y += line / 2;
    double x = left;
    const double swatch = line - 4, gap = metrics.horizontalAdvance(QStringLiteral("   "));
    for (const LegendEntry& entry : heading.legend) {
        const double wide =
            (entry.swatch.isValid() ? swatch + 4 : 0) + metrics.horizontalAdvance(entry.text);
        if (x > left && x + wide > left + width) {
            x = left;
            y += line;
        }
        if (entry.swatch.isValid()) {
            svg += SvgBox(QRectF(x, y + 2, swatch, swatch), entry.swatch);
            x += swatch + 4;
        }
        text(x, entry.text);
        x += metrics.horizontalAdvance(entry.text) + gap;
    }
    height = y + line - top;
    return svg;
}

}  // namespace

std::string RenderSvg(const PictureDrawing& drawing) {
    const QByteArray bytes =
        (SvgOpening(drawing.bounds) + SvgLinksAndNodes(drawing) + QLatin1String("</svg>\n"))
            .toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string RenderSvg(const PictureDrawing& drawing, const std::vector<DrawnMark>& marks,
                      const SvgHeading& heading) {
    constexpr double Margin = 8;
    QRectF bounds = drawing.bounds;
    const double width = std::max(bounds.width(), heading.width);
    double height = 0;
    const QString top = SvgHeadingText(heading, bounds.center().x() - width / 2 + Margin, 0,
                                       width - 2 * Margin, height);
    // The heading sits above the picture: its own elements moved up there.
    const double above = height + Margin;
    bounds.setTop(bounds.top() - above);
    bounds.setLeft(std::min(bounds.left(), bounds.center().x() - width / 2));
    bounds.setWidth(std::max(bounds.width(), width));
    QString svg = SvgOpening(bounds) + SvgLinksAndNodes(drawing);
    for (const DrawnMark& mark : marks)
        svg += SvgMark(mark);
    svg += QStringLiteral("<g transform=\"translate(0 %1)\">\n%2</g>\n")
               .arg(Number(drawing.bounds.top() - above), top);
    const QByteArray bytes = (svg + QLatin1String("</svg>\n")).toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void PaintMark(QPainter& painter, const DrawnMark& mark) {
    if (const auto* halo = std::get_if<DrawnHalo>(&mark)) {
        painter.setPen(QPen(halo->colour, halo->width, halo->style, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(halo->line);
    } else if (const auto* link = std::get_if<DrawnLink>(&mark)) {
        PaintLink(painter, *link);
    } else if (const auto* node = std::get_if<DrawnNode>(&mark)) {
        PaintNode(painter, *node);
    } else {
        const auto& note = std::get<DrawnNote>(mark);
        painter.fillRect(note.box, note.fill);
        painter.setPen(Qt::black);
        painter.setFont(note.font);
        painter.drawText(note.box, Qt::AlignCenter, note.text);
    }
}

}  // namespace kav

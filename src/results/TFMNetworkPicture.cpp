#include "results/TFMNetworkPicture.h"

#include <QBuffer>
#include <QCompleter>
#include <QGraphicsEllipseItem>
#include <QGraphicsPathItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>
#include <optional>
#include <utility>

#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "gui/Placement.h"
#include "results/ResultLines.h"
#include "solver/KiltSolve.h"
#include "solver/LastSolve.h"
#include "workspace/ProblemWriter.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

// Item data: what an item shows (node or link) and its number.
constexpr int KindKey = 0;
constexpr int NumberKey = 1;
constexpr int NodeKind = 1;
constexpr int LinkKind = 2;

constexpr double ZoomStep = 1.25;
constexpr double ArrowLength = 9.0;
constexpr std::size_t SmoothLinksMax = 600;
constexpr double ReadableScale = 0.6;
constexpr double NaturalScale = 1.0;
// A PNG is drawn at twice the picture's size, but with no more pixels than
// this (64 MB while drawn): a large neighbourhood spans thousands of points,
// and twice that would take gigabytes.
constexpr double PngMaxPixels = 16e6;

// Zooms with the wheel (about the pointer) and with + and -, fits with 0 or
// F; dragging the background pans.
class PictureView : public QGraphicsView {
  public:
    using QGraphicsView::QGraphicsView;

    void Zoom(double factor) {
        fitting_ = false;
        scale(factor, factor);
    }
    // The whole picture in the window, kept so as the window is resized until
    // the user zooms.
    // Natural size around centre, where a fitted picture would be too small
    // to read.
    void ReadableAround(const QPointF& centre) {
        if (transform().m11() >= ReadableScale)
            return;
        fitting_ = false;
        setTransform(QTransform::fromScale(NaturalScale, NaturalScale));
        centerOn(centre);
    }
    void Fit() {
        fitting_ = true;
        if (scene() != nullptr && !scene()->sceneRect().isEmpty())
            fitInView(scene()->sceneRect(), Qt::KeepAspectRatio);
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QGraphicsView::resizeEvent(event);
        if (fitting_)
            Fit();
    }
    void wheelEvent(QWheelEvent* event) override {
        const int steps = event->angleDelta().y() / 120;
        if (steps == 0)
            return;
        setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
        Zoom(std::pow(ZoomStep, steps));
        setTransformationAnchor(QGraphicsView::AnchorViewCenter);
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
            case Qt::Key_Plus:
            case Qt::Key_Equal:
                Zoom(ZoomStep);
                return;
            case Qt::Key_Minus:
                Zoom(1.0 / ZoomStep);
                return;
            case Qt::Key_0:
            case Qt::Key_F:
                Fit();
                return;
            default:
                QGraphicsView::keyPressEvent(event);
        }
    }

  private:
    bool fitting_ = true;
};

QColor StateColour(kav::LinkState state) {
    switch (state) {
        case kav::LinkState::AtLower:
            return Colours::Gray;
        case kav::LinkState::Between:
            return Colours::Green;
        case kav::LinkState::AtUpper:
            return Colours::Blue;
        case kav::LinkState::OutOfKilter:
            return Colours::Red;
        case kav::LinkState::NoSolution:
            break;
    }
    return Colours::Black;
}

QPointF Point(const kav::LayoutPoint& p) {
    return {p.x, p.y};
}

// The link's line of the results lists.
QString ResultsLine(const kav::Workspace& ws, int32_t link) {
    return FromBytes(kav::LinkLine(ws, link, kav::KilterState(ws, link).InKilter,
                                   kav::WideReducedCost(ws, link)));
}

QString FixedPitchTip(const QString& text) {
    return QStringLiteral("<pre>%1</pre>").arg(text.toHtmlEscaped());
}

// Writes an exported picture (none: it could not be drawn) through a
// replacement file, so that a failed write leaves a file being replaced as it
// was, and tells the user when it failed.
void WriteExport(kav::Prompts& prompts, const std::string& fileName,
                 const std::optional<std::string>& contents) {
    QString reason = QStringLiteral("the picture could not be drawn");
    if (contents) {
        const kav::WriteResult written =
            kav::WriteFile(fileName, *contents, kav::ProblemFilesOf(kav::TheWorkspace()));
        if (written)
            return;
        reason = QString::fromStdString(written.Reason());
    }
    prompts.Message(kav::MsgKind::Error, kav::MsgButtons::Ok,
                    QStringLiteral("Could not write [%1]\r(%2)")
                        .arg(ShownFileName(fileName), reason)
                        .toUtf8()
                        .toStdString());
}

}  // namespace

TFMNetworkPicture::TFMNetworkPicture(kav::Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("FMNetworkPicture"));
    setWindowTitle(QStringLiteral("KAVRILON Network Picture"));
    setAttribute(Qt::WA_QuitOnClose, false);
    CreateControls();
    LayOutControls();
    ConnectHandlers();
    resize(FitOnScreen(QSize(900, 700)));
    PlaceOverMainMenu(this);
}

TFMNetworkPicture::~TFMNetworkPicture() = default;

void TFMNetworkPicture::CreateControls() {
    searchRow_ = new QWidget(this);
    nodeSearch_ = new QLineEdit(searchRow_);
    nodeSearch_->setObjectName(QStringLiteral("NodeSearch"));
    nodeSearch_->setPlaceholderText(QStringLiteral("Node name or number"));
    nodeSearch_->setToolTip(QStringLiteral("The node whose neighbourhood is shown"));
    stepsBox_ = new QSpinBox(searchRow_);
    stepsBox_->setObjectName(QStringLiteral("StepsBox"));
    stepsBox_->setRange(1, 2);
    stepsBox_->setSuffix(QStringLiteral(" out"));
    stepsBox_->setToolTip(QStringLiteral("Show the neighbours one or two links away"));
    stepsBox_->setValue(1);
    showNodeButton_ = NewButton(QStringLiteral("&Show Neighbourhood"),
                                QStringLiteral("Show the chosen node with its neighbours"),
                                QStringLiteral("ShowNodeButton"), searchRow_);

    zoomInButton_ = NewButton(QStringLiteral("Zoom &In"), QStringLiteral("Zoom in (+, wheel)"),
                              QStringLiteral("ZoomInButton"), this);
    zoomOutButton_ = NewButton(QStringLiteral("Zoom &Out"), QStringLiteral("Zoom out (-, wheel)"),
                               QStringLiteral("ZoomOutButton"), this);
    fitButton_ = NewButton(QStringLiteral("&Fit"), QStringLiteral("Fit the picture to the window"),
                           QStringLiteral("FitButton"), this);
    exportPngButton_ =
        NewButton(QStringLiteral("Export P&NG..."), QStringLiteral("Save the picture as PNG"),
                  QStringLiteral("ExportPngButton"), this);
    exportSvgButton_ =
        NewButton(QStringLiteral("Export S&VG..."), QStringLiteral("Save the picture as SVG"),
                  QStringLiteral("ExportSvgButton"), this);
    legend_ = new QLabel(this);
    legend_->setObjectName(QStringLiteral("Legend"));
    legend_->setText(
        QStringLiteral("<span style='color:#808080'>at lower bound</span> &nbsp; "
                       "<span style='color:#008000'>between bounds</span> &nbsp; "
                       "<span style='color:#0000ff'>at upper bound</span> &nbsp; "
                       "<span style='color:#ff0000'><b>out of kilter</b></span>"));

    scene_ = new QGraphicsScene(this);
    auto* view = new PictureView(scene_, this);
    view->setObjectName(QStringLiteral("PictureView"));
    view->setOptimizationFlags(QGraphicsView::DontSavePainterState |
                               QGraphicsView::DontAdjustForAntialiasing);
    view->setDragMode(QGraphicsView::ScrollHandDrag);
    view->setBackgroundBrush(Colours::White);
    view_ = view;

    statusText_ = new QLabel(this);
    statusText_->setObjectName(QStringLiteral("StatusText"));
    statusText_->setFont(FixedPitchFont());
    statusText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusText_->setContentsMargins(6, 0, 0, 0);  // clear of the window's left edge
    busy_ = new QProgressBar(this);
    busy_->setObjectName(QStringLiteral("BusyIndicator"));
    busy_->setRange(0, 0);
    busy_->setMaximumWidth(120);
    busy_->setVisible(false);
}

// The node search (large problems only) above a row of view buttons, the
// picture, and the status bar with the selected item's line.
void TFMNetworkPicture::LayOutControls() {
    auto* search = new QHBoxLayout(searchRow_);
    search->setContentsMargins(0, 0, 0, 0);
    auto* searchLabel = new QLabel(QStringLiteral("&Node:"), searchRow_);
    searchLabel->setBuddy(nodeSearch_);
    search->addWidget(searchLabel);
    search->addWidget(nodeSearch_, 1);
    auto* stepsLabel = new QLabel(QStringLiteral("S&teps:"), searchRow_);
    stepsLabel->setBuddy(stepsBox_);
    search->addWidget(stepsLabel);
    search->addWidget(stepsBox_);
    search->addWidget(showNodeButton_);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button :
         {zoomInButton_, zoomOutButton_, fitButton_, exportPngButton_, exportSvgButton_})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(legend_);

    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    column->addWidget(searchRow_);
    column->addLayout(buttons);
    column->addWidget(view_, 1);
    setCentralWidget(page);
    statusBar()->addWidget(statusText_, 1);
    statusBar()->addPermanentWidget(busy_);
}

void TFMNetworkPicture::ConnectHandlers() {
    ConnectGuarded(zoomInButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::ZoomInButtonClick);
    ConnectGuarded(zoomOutButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::ZoomOutButtonClick);
    ConnectGuarded(fitButton_, &QPushButton::clicked, this, &TFMNetworkPicture::FitButtonClick);
    ConnectGuarded(showNodeButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::ShowNodeButtonClick);
    ConnectGuarded(nodeSearch_, &QLineEdit::returnPressed, this,
                   &TFMNetworkPicture::ShowNodeButtonClick);
    ConnectGuarded(exportPngButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::ExportPngButtonClick);
    ConnectGuarded(exportSvgButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::ExportSvgButtonClick);
    ConnectGuarded(scene_, &QGraphicsScene::selectionChanged, this,
                   &TFMNetworkPicture::SceneSelectionChange);
    connect(&GraphvizWorker::Instance(), &GraphvizWorker::finished, this,
            &TFMNetworkPicture::WorkerFinished);
}

void TFMNetworkPicture::ShowPicture() {
    const kav::Workspace& ws = kav::TheWorkspace();
    TakeCutOfLastSolve(ws);
    scene_->clear();
    previousSelection_.clear();
    shown_.reset();
    pendingLayout_ = 0;
    centreNode_ = 0;
    statusText_->clear();
    const bool large = kav::PictureTooLarge(ws);
    searchRow_->setVisible(large);
    if (large) {
        QStringList names;
        for (int32_t n = 1; n <= ws.NodeCount; ++n)
            names.append(FromBytes(ws.NodeName[n]));
        auto* completer = new QCompleter(names, nodeSearch_);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        delete nodeSearch_->completer();
        nodeSearch_->setCompleter(completer);
        statusText_->setText(
            QStringLiteral("%1 nodes and %2 links: too many to show whole. Choose a node.")
                .arg(ws.NodeCount)
                .arg(ws.LinkCount));
        ShowBusy(false);
    } else {
        Submit(kav::WholeNetwork(ws));
    }
    show();
    raise();
    activateWindow();
    if (large)
        nodeSearch_->setFocus();
    else
        view_->setFocus();
}

// A layout still being made when the program closes the window is dropped:
// the problem may change before it comes back, and it would then be drawn
// against nodes and links that are no longer there. An SVG export goes on.
void TFMNetworkPicture::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (!event->spontaneous() && pendingLayout_ != 0) {
        pendingLayout_ = 0;
        ShowBusy(false);
    }
}

void TFMNetworkPicture::Submit(kav::PictureGraph graph) {
    pendingLayout_ = GraphvizWorker::Instance().Submit(std::move(graph), false);
    ShowBusy(true);
}

void TFMNetworkPicture::ShowBusy(bool busy) {
    busy_->setVisible(busy);
    if (busy) {
        statusText_->setText(QStringLiteral("Laying out the network..."));
        view_->viewport()->setCursor(Qt::BusyCursor);
    } else {
        view_->viewport()->unsetCursor();
    }
}

void TFMNetworkPicture::WorkerFinished(const PictureResultPtr& result) {
    if (result->id == pendingSvg_) {
        pendingSvg_ = 0;
        WriteSvg(*result);
        emit pictureReady();
        return;
    }
    if (result->id != pendingLayout_)
        return;  // an older layout, replaced since
    pendingLayout_ = 0;
    ShowBusy(false);
    if (!result->error.isEmpty()) {
        statusText_->setText(result->error);
        emit pictureReady();
        return;
    }
    shown_ = result;
    DrawLayout();
    auto* view = static_cast<PictureView*>(view_);
    view->Fit();
    for (const kav::NodePlace& place : result->layout.nodes) {
        if (place.node == centreNode_)
            view->ReadableAround(Point(place.centre));
    }
    statusText_->setText(
        QStringLiteral("%1 nodes, %2 links%3")
            .arg(result->graph.nodes.size())
            .arg(result->graph.links.size())
            .arg(result->graph.solved ? QString() : QStringLiteral(" (no solution)")));
    emit pictureReady();
}

// Links first, so that the nodes lie over their ends.
void TFMNetworkPicture::DrawLayout() {
    scene_->clear();
    previousSelection_.clear();
    if (!shown_)
        return;
    const kav::Workspace& ws = kav::TheWorkspace();
    const kav::PictureGraph& graph = shown_->graph;
    const kav::GraphLayout& layout = shown_->layout;
    std::vector<QPointF> centres(static_cast<std::size_t>(ws.NodeCount) + 1);
    for (const kav::NodePlace& place : layout.nodes) {
        if (place.node >= 1 && place.node <= ws.NodeCount)
            centres[static_cast<std::size_t>(place.node)] = Point(place.centre);
    }
    for (std::size_t i = 0; i < graph.links.size() && i < layout.links.size(); ++i) {
        const kav::PictureLink& link = graph.links[i];
        const kav::LinkRoute& route = layout.links[i];
        QPainterPath path;
        QPointF tip;
        if (route.curve.size() >= 4) {
            path.moveTo(Point(route.curve[0]));
            for (std::size_t p = 1; p + 2 < route.curve.size(); p += 3)
                path.cubicTo(Point(route.curve[p]), Point(route.curve[p + 1]),
                             Point(route.curve[p + 2]));
            tip = route.hasArrow ? Point(route.arrowTip) : Point(route.curve.back());
            if (route.hasArrow)
                path.lineTo(tip);
        } else {
            path.moveTo(centres[static_cast<std::size_t>(link.origin)]);
            tip = centres[static_cast<std::size_t>(link.dest)];
            path.lineTo(tip);
        }
        const bool cut = cutLinks_.count(link.link) != 0;
        const QColor colour = StateColour(link.state);
        auto* item = scene_->addPath(path, QPen(colour, link.width * (cut ? 2.5 : 1.0)));
        item->setFlag(QGraphicsItem::ItemIsSelectable);
        item->setData(KindKey, LinkKind);
        item->setData(NumberKey, link.link);
        item->setToolTip(FixedPitchTip(ResultsLine(ws, link.link)));
        // The arrow head points along the path's last direction.
        const double angle = path.angleAtPercent(1.0) * M_PI / 180.0;
        const double spread = 0.45;
        const double length = ArrowLength + link.width;
        const QPointF back1 =
            tip - QPointF(std::cos(angle - spread) * length, -std::sin(angle - spread) * length);
        const QPointF back2 =
            tip - QPointF(std::cos(angle + spread) * length, -std::sin(angle + spread) * length);
        auto* head = new QGraphicsPolygonItem(QPolygonF({tip, back1, back2}), item);
        head->setPen(Qt::NoPen);
        head->setBrush(colour);
    }
    for (std::size_t i = 0; i < graph.nodes.size() && i < layout.nodes.size(); ++i) {
        const kav::PictureNode& node = graph.nodes[i];
        const kav::NodePlace& place = layout.nodes[i];
        const QRectF shape(place.centre.x - place.width / 2, place.centre.y - place.height / 2,
                           place.width, place.height);
        const bool shaded = cutNodes_.count(node.node) != 0;
        QColor fill = Colours::White;
        if (shaded)
            fill = QColor(0xFF, 0xD8, 0x80);
        else if (node.node == centreNode_)
            fill = QColor(0xFF, 0xFF, 0xA0);
        auto* item = scene_->addEllipse(shape, QPen(Colours::Black, 1.2), fill);
        item->setFlag(QGraphicsItem::ItemIsSelectable);
        item->setData(KindKey, NodeKind);
        item->setData(NumberKey, node.node);
        QString tip = QStringLiteral("Node %1: %2").arg(node.node).arg(FromBytes(node.name));
        if (graph.solved)
            tip += QStringLiteral("\nPotential: %1").arg(ws.NodePotential[node.node]);
        item->setToolTip(tip);
        auto* label = new QGraphicsSimpleTextItem(FromBytes(node.name), item);
        QFont font = label->font();
        font.setPointSizeF(8.5);
        label->setFont(font);
        const QRectF text = label->boundingRect();
        label->setPos(shape.center() - text.center());
    }
    scene_->setSceneRect(scene_->itemsBoundingRect().adjusted(-20, -20, 20, 20));
    // Smooth lines cost about four times as much to paint: large pictures
    // are drawn without, so that zooming stays quick.
    view_->setRenderHint(QPainter::Antialiasing, graph.links.size() <= SmoothLinksMax);
}

// After an infeasible solve whose cut is proved, the nodes that cannot be
// balanced are shaded and the links crossing them drawn bold; any other picture
// shows no cut.
void TFMNetworkPicture::TakeCutOfLastSolve(const kav::Workspace& ws) {
    cutNodes_.clear();
    cutLinks_.clear();
    const kav::SolveStatus* last = kav::LastSolve(ws);
    if (!last || !last->IsInfeasible() || !last->Cut.Confirmed)
        return;
    cutNodes_.insert(last->Cut.Nodes.begin(), last->Cut.Nodes.end());
    cutLinks_.insert(last->Cut.LinksIn.begin(), last->Cut.LinksIn.end());
    cutLinks_.insert(last->Cut.LinksOut.begin(), last->Cut.LinksOut.end());
}

void TFMNetworkPicture::ShadeCut(const std::set<int32_t>& nodes,
                                 const std::set<int32_t>& crossingLinks) {
    cutNodes_ = nodes;
    cutLinks_ = crossingLinks;
    DrawLayout();
}

void TFMNetworkPicture::HighlightLink(int32_t link) {
    selectingFromCode_ = true;
    scene_->clearSelection();
    for (QGraphicsItem* item : scene_->items()) {
        if (item->data(KindKey).toInt() == LinkKind && item->data(NumberKey).toInt() == link) {
            item->setSelected(true);
            view_->ensureVisible(item);
        }
    }
    selectingFromCode_ = false;
}

// The selected link's results line (or node's name) goes to the status bar,
// and the results window hears of it.
void TFMNetworkPicture::SceneSelectionChange() {
    const QList<QGraphicsItem*> selected = scene_->selectedItems();
    const QList<QGraphicsItem*> previous = std::exchange(previousSelection_, selected);
    if (selected.isEmpty())
        return;
    // The item just added to the selection speaks, whatever the scene's order.
    QGraphicsItem* item = selected.first();
    for (QGraphicsItem* candidate : selected) {
        if (!previous.contains(candidate)) {
            item = candidate;
            break;
        }
    }
    const int32_t number = item->data(NumberKey).toInt();
    const kav::Workspace& ws = kav::TheWorkspace();
    if (item->data(KindKey).toInt() == LinkKind) {
        statusText_->setText(ResultsLine(ws, number));
        if (!selectingFromCode_)
            emit linkSelected(number);
    } else {
        statusText_->setText(
            QStringLiteral("Node %1: %2").arg(number).arg(FromBytes(ws.NodeName[number])));
        if (!selectingFromCode_)
            emit nodeSelected(number);
    }
}

void TFMNetworkPicture::FitButtonClick() {
    static_cast<PictureView*>(view_)->Fit();
}
void TFMNetworkPicture::ZoomInButtonClick() {
    static_cast<PictureView*>(view_)->Zoom(ZoomStep);
}
void TFMNetworkPicture::ZoomOutButtonClick() {
    static_cast<PictureView*>(view_)->Zoom(1.0 / ZoomStep);
}

// A node by its exact name (the first with it), otherwise by its number.
int32_t TFMNetworkPicture::FindNode(const QString& text) const {
    const kav::Workspace& ws = kav::TheWorkspace();
    const std::string name = ToBytes(text.trimmed());
    for (int32_t n = 1; n <= ws.NodeCount; ++n) {
        if (ws.NodeName[n] == name)
            return n;
    }
    bool isNumber = false;
    const int number = text.trimmed().toInt(&isNumber);
    return isNumber && number >= 1 && number <= ws.NodeCount ? number : 0;
}

void TFMNetworkPicture::ShowNodeButtonClick() {
    const int32_t node = FindNode(nodeSearch_->text());
    if (node == 0) {
        statusText_->setText(QStringLiteral("No node [%1]").arg(nodeSearch_->text().trimmed()));
        return;
    }
    centreNode_ = node;
    Submit(kav::Neighbourhood(kav::TheWorkspace(), node, stepsBox_->value()));
}

// The save dialog, then the replace question for a file that
// exists; false when the user gave up.
bool TFMNetworkPicture::ChooseExportFile(const char* filterName, const char* extension,
                                         std::string& fileName) {
    for (;;) {
        const std::optional<std::string> chosen =
            prompts_.SaveFile({"Save the network picture",
                               {{filterName, std::string("*.") + extension}, {"All Files", "*.*"}},
                               std::string("network.") + extension});
        if (!chosen || chosen->empty())
            return false;
        if (MayWriteFile(prompts_, *chosen)) {
            fileName = *chosen;
            return true;
        }
    }
}

void TFMNetworkPicture::ExportPngButtonClick() {
    if (!shown_)
        return;
    std::string fileName;
    if (!ChooseExportFile("PNG Images", "png", fileName))
        return;
    const QRectF area = scene_->sceneRect();
    double scale = 2.0;
    const double pixels = area.width() * area.height() * scale * scale;
    if (pixels > PngMaxPixels)
        scale *= std::sqrt(PngMaxPixels / pixels);
    QImage image(static_cast<int>(area.width() * scale), static_cast<int>(area.height() * scale),
                 QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene_->render(&painter, QRectF(image.rect()), area);
    }
    QByteArray png;
    QBuffer buffer(&png);
    const bool encoded = buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG");
    WriteExport(prompts_, fileName,
                encoded ? std::optional<std::string>(png.toStdString()) : std::nullopt);
}

// Graphviz draws the SVG on its own thread; the file is written when it is
// back.
void TFMNetworkPicture::ExportSvgButtonClick() {
    if (!shown_)
        return;
    std::string fileName;
    if (!ChooseExportFile("SVG Images", "svg", fileName))
        return;
    svgFileName_ = fileName;
    pendingSvg_ = GraphvizWorker::Instance().Submit(shown_->graph, true);
}

void TFMNetworkPicture::WriteSvg(const PictureResult& result) {
    WriteExport(prompts_, svgFileName_,
                result.error.isEmpty() ? std::optional<std::string>(result.svg) : std::nullopt);
}

#include "results/TFMNetworkPicture.h"

#include <malloc.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPathStroker>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyleOptionGraphicsItem>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <utility>

#include "gui/Accessibility.h"
#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "gui/Placement.h"
#include "gui/ZoomPanView.h"
#include "results/ResultLines.h"
#include "solver/Session.h"
#include "workspace/NodeNames.h"
#include "workspace/ProblemWriter.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

// Item data: what an item shows (node or link) and its number.
constexpr int KindKey = 0;
constexpr int NumberKey = 1;
constexpr int NodeKind = 1;
constexpr int LinkKind = 2;

constexpr std::size_t SmoothLinksMax = 600;
// A link is easier to hit than its line is wide.
constexpr double HitWidth = 6.0;
const int PngScales[] = {1, 2, 4};

QString FixedPitchTip(const QString& text) {
    return QStringLiteral("<pre>%1</pre>").arg(text.toHtmlEscaped());
}

// A selected item is marked with a dashed outline of its shape: on screen
// only, never in an export.
void MarkSelected(QPainter* painter, const QStyleOptionGraphicsItem* option,
                  const QPainterPath& shape) {
    if (!(option->state & QStyle::State_Selected))
        return;
    painter->setPen(QPen(Qt::black, 0, Qt::DashLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(shape);
}

// One link, painted as the exports paint it.
class LinkItem : public QGraphicsItem {
  public:
    explicit LinkItem(kav::DrawnLink drawn) : drawn_(std::move(drawn)) {
        setFlag(ItemIsSelectable);
        setData(KindKey, LinkKind);
        setData(NumberKey, drawn_.link);
        setToolTip(FixedPitchTip(drawn_.title));
        const double w = std::max(drawn_.width, HitWidth);
        bounds_ = drawn_.line.boundingRect().adjusted(-w, -w, w, w) | drawn_.head.boundingRect();
        if (!drawn_.label.isEmpty())
            bounds_ |= drawn_.labelBox;
        bounds_.adjust(-1, -1, 1, 1);
    }
    const kav::DrawnLink& Drawn() const { return drawn_; }
    QRectF boundingRect() const override { return bounds_; }
    QPainterPath shape() const override {
        if (shape_.isEmpty()) {
            QPainterPathStroker stroker;
            stroker.setWidth(std::max(drawn_.width, HitWidth));
            shape_ = stroker.createStroke(drawn_.line);
            shape_.addPolygon(drawn_.head);
            if (!drawn_.label.isEmpty())
                shape_.addRect(drawn_.labelBox);
            shape_ = shape_.simplified();
        }
        return shape_;
    }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) override {
        kav::PaintLink(*painter, drawn_);
        MarkSelected(painter, option, shape());
    }

  private:
    kav::DrawnLink drawn_;
    QRectF bounds_;
    mutable QPainterPath shape_;
};

class NodeItem : public QGraphicsItem {
  public:
    explicit NodeItem(kav::DrawnNode drawn) : drawn_(std::move(drawn)) {
        setFlag(ItemIsSelectable);
        setData(KindKey, NodeKind);
        setData(NumberKey, drawn_.node);
        setToolTip(drawn_.title);
        setZValue(1);  // over the links' ends
    }
    const kav::DrawnNode& Drawn() const { return drawn_; }
    QRectF boundingRect() const override {
        const double b = drawn_.border + 1;
        return drawn_.shape.adjusted(-b, -b, b, b);
    }
    QPainterPath shape() const override {
        QPainterPath path;
        path.addEllipse(drawn_.shape);
        return path;
    }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) override {
        kav::PaintNode(*painter, drawn_);
        MarkSelected(painter, option, shape());
    }

  private:
    kav::DrawnNode drawn_;
};

// The picture window's view: N and L select the next node and link (Shift:
// the one before), the keyboard's way to what a click selects.
class PictureView : public ZoomPanView {
  public:
    using ZoomPanView::ZoomPanView;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int step = event->modifiers() & Qt::ShiftModifier ? -1 : 1;
        if (event->key() == Qt::Key_N)
            SelectNext(NodeKind, step);
        else if (event->key() == Qt::Key_L)
            SelectNext(LinkKind, step);
        else
            ZoomPanView::keyPressEvent(event);
    }

  private:
    // The next one of the kind in number order after the one selected (step
    // -1: the one before), round to the first after the last.
    void SelectNext(int kind, int step) {
        if (scene() == nullptr)
            return;
        QList<QGraphicsItem*> items;
        for (QGraphicsItem* item : scene()->items()) {
            if (item->data(KindKey).toInt() == kind)
                items.append(item);
        }
        if (items.isEmpty())
            return;
        std::sort(items.begin(), items.end(), [](QGraphicsItem* a, QGraphicsItem* b) {
            return a->data(NumberKey).toInt() < b->data(NumberKey).toInt();
        });
        const auto count = static_cast<int>(items.size());
        int at = step > 0 ? -1 : count;
        for (int k = 0; k < count; ++k) {
            if (items[k]->isSelected())
                at = k;
        }
        QGraphicsItem* next = items[((at + step) % count + count) % count];
        scene()->clearSelection();
        next->setSelected(true);
        ensureVisible(next);
    }
};

// A sample of a link's line in the legend.
QString Stroke(const QColor& colour, const QString& text, bool dashed = false, int weight = 2) {
    const QString line =
        dashed ? QStringLiteral("&#x2504;&#x2504;") : QStringLiteral("&#x2501;&#x2501;");
    return QStringLiteral("<span style='color:%1'>%2</span>&nbsp;%3")
        .arg(colour.name(), weight > 2 ? QStringLiteral("<b>%1</b>").arg(line) : line,
             Unbroken(text));
}

QString LegendText() {
    using namespace kav::PictureColours;
    const QString gap = QStringLiteral(" &nbsp; ");
    return Stroke(AtLower, QStringLiteral("at lower bound")) + gap +
           Stroke(Between, QStringLiteral("between bounds")) + gap +
           Stroke(AtUpper, QStringLiteral("at upper bound")) + gap +
           Stroke(OutOfKilter, QStringLiteral("out of kilter (dashed)"), true) + gap +
           Unbroken(QStringLiteral("wider: more flow")) + gap +
           Stroke(Qt::black, QStringLiteral("bold: crosses the cut"), false, 3) + gap +
           LegendSwatch(CutFill, QStringLiteral("nodes of the cut")) + gap +
           LegendSwatch(CentreFill, QStringLiteral("centre node")) + gap +
           Unbroken(QStringLiteral("pale: flows not proved"));
}

// The legend as a screen reader speaks it: its entries, without the lines drawn.
QString LegendSpoken() {
    return QStringLiteral(
        "Legend: at lower bound, between bounds, at upper bound, out of kilter (dashed), "
        "wider: more flow, bold: crosses the cut, nodes of the cut, centre node, "
        "pale: flows not proved");
}

}  // namespace

TFMNetworkPicture::TFMNetworkPicture(kav::Session& session, QWidget* parent)
    : QMainWindow(parent), prompts_(session.prompts()), session_(session) {
    setObjectName(QStringLiteral("FMNetworkPicture"));
    setWindowTitle(QStringLiteral("KAVRILON Network Picture"));
    setAttribute(Qt::WA_QuitOnClose, false);
    CreateControls();
    LayOutControls();
    ConnectHandlers();
    resize(FitOnScreen(QSize(900, 700)));
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
    labelsBox_ = new QCheckBox(QStringLiteral("&Labels"), this);
    labelsBox_->setObjectName(QStringLiteral("LabelsBox"));
    labelsBox_->setToolTip(QStringLiteral("Write each link's flow beside it"));
    exportPngButton_ =
        NewButton(QStringLiteral("Export PN&G..."), QStringLiteral("Save the picture as PNG"),
                  QStringLiteral("ExportPngButton"), this);
    scaleBox_ = new QComboBox(this);
    scaleBox_->setObjectName(QStringLiteral("ScaleBox"));
    for (const int scale : PngScales)
        scaleBox_->addItem(QStringLiteral("%1x").arg(scale), scale);
    scaleBox_->setCurrentIndex(1);
    scaleBox_->setToolTip(QStringLiteral("Pixels of the PNG per point of the picture"));
    exportSvgButton_ =
        NewButton(QStringLiteral("Export S&VG..."), QStringLiteral("Save the picture as SVG"),
                  QStringLiteral("ExportSvgButton"), this);
    stepThroughButton_ = NewButton(QStringLiteral("Ste&p Through..."),
                                   QStringLiteral("Watch the last solve step by step"),
                                   QStringLiteral("StepThroughButton"), this);
    stepThroughButton_->setEnabled(false);
    closeButton_ = NewButton(QStringLiteral("&Close"), QStringLiteral("Close the picture (Esc)"),
                             QStringLiteral("CloseButton"), this);
    legend_ = new QLabel(this);
    legend_->setObjectName(QStringLiteral("Legend"));
    legend_->setWordWrap(true);
    legend_->setText(LegendText());
    legend_->setAccessibleName(LegendSpoken());

    scene_ = new QGraphicsScene(this);
    auto* view = new PictureView(this);
    view->setScene(scene_);
    view->setObjectName(QStringLiteral("PictureView"));
    view->setOptimizationFlags(QGraphicsView::DontSavePainterState |
                               QGraphicsView::DontAdjustForAntialiasing);
    view->setBackgroundBrush(Colours::White);
    view->setAccessibleName(QStringLiteral("Network picture"));
    view->setAccessibleDescription(
        QStringLiteral("N or L selects the next node or link, Shift+N or Shift+L the one before"));
    view_ = view;

    statusText_ = new QLabel(this);
    statusText_->setObjectName(QStringLiteral("StatusText"));
    statusText_->setFont(FixedPitchFont());
    statusText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusText_->setContentsMargins(6, 0, 0, 0);  // clear of the window's left edge
    // A long results line is cut rather than the note beside it.
    statusText_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    standingText_ = new QLabel(this);
    standingText_->setObjectName(QStringLiteral("StandingText"));
    standingText_->setToolTip(
        QStringLiteral("Pale links: the flows of an infeasible run, or flows not proved optimal "
                       "for the problem as it now is"));
    busy_ = new QProgressBar(this);
    busy_->setObjectName(QStringLiteral("BusyIndicator"));
    busy_->setRange(0, 0);
    busy_->setAccessibleName(QStringLiteral("Laying out the picture"));
    busy_->setMaximumWidth(120);
    busy_->setVisible(false);
}

// The node search (large problems only), a row of view controls, a row of
// exports with Close, the legend, the picture, and the status bar with the
// selected item's line. Two short rows and a wrapping legend keep the window
// within a small screen.
void TFMNetworkPicture::LayOutControls() {
    auto* search = new QHBoxLayout(searchRow_);
    search->setContentsMargins(0, 0, 0, 0);
    auto* searchLabel = new QLabel(QStringLiteral("&Node:"), searchRow_);
    NameByLabel(searchLabel, nodeSearch_);
    search->addWidget(searchLabel);
    search->addWidget(nodeSearch_, 1);
    auto* stepsLabel = new QLabel(QStringLiteral("S&teps:"), searchRow_);
    NameByLabel(stepsLabel, stepsBox_);
    search->addWidget(stepsLabel);
    search->addWidget(stepsBox_);
    search->addWidget(showNodeButton_);

    auto* viewRow = new QHBoxLayout;
    for (QPushButton* button : {zoomInButton_, zoomOutButton_, fitButton_})
        viewRow->addWidget(button);
    viewRow->addWidget(labelsBox_);
    viewRow->addStretch();
    viewRow->addWidget(stepThroughButton_);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(exportPngButton_);
    auto* scaleLabel = new QLabel(QStringLiteral("Sc&ale:"), this);
    NameByLabel(scaleLabel, scaleBox_);
    fileRow->addWidget(scaleLabel);
    fileRow->addWidget(scaleBox_);
    fileRow->addWidget(exportSvgButton_);
    fileRow->addStretch();
    fileRow->addWidget(closeButton_);

    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    column->addWidget(searchRow_);
    column->addLayout(viewRow);
    column->addLayout(fileRow);
    column->addWidget(legend_);
    column->addWidget(view_, 1);
    setCentralWidget(page);
    statusBar()->addWidget(statusText_, 1);
    statusBar()->addPermanentWidget(standingText_);
    statusBar()->addPermanentWidget(busy_);
}

void TFMNetworkPicture::ConnectHandlers() {
    ConnectGuarded(prompts_, zoomInButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::ZoomInButtonClick);
    ConnectGuarded(prompts_, zoomOutButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::ZoomOutButtonClick);
    ConnectGuarded(prompts_, fitButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::FitButtonClick);
    ConnectGuarded(prompts_, showNodeButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::ShowNodeButtonClick);
    ConnectGuarded(prompts_, nodeSearch_, &QLineEdit::returnPressed, this,
                   &TFMNetworkPicture::ShowNodeButtonClick);
    ConnectGuarded(prompts_, exportPngButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::ExportPngButtonClick);
    ConnectGuarded(prompts_, exportSvgButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::ExportSvgButtonClick);
    ConnectGuarded(prompts_, labelsBox_, &QCheckBox::toggled, this,
                   &TFMNetworkPicture::LabelsBoxToggle);
    ConnectGuarded(prompts_, closeButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::CloseButtonClick);
    ConnectGuarded(prompts_, stepThroughButton_, &QPushButton::clicked, this,
                   &TFMNetworkPicture::StepThroughButtonClick);
    ConnectGuarded(prompts_, scene_, &QGraphicsScene::selectionChanged, this,
                   &TFMNetworkPicture::SceneSelectionChange);
    connect(&GraphvizWorker::Instance(), &GraphvizWorker::finished, this,
            &TFMNetworkPicture::WorkerFinished);
}

void TFMNetworkPicture::ShowPicture(const QWidget* beside) {
    kav::GuardHandler(prompts_, [&] {
        const kav::Workspace& ws = session_.ws;
        ForgetPicture();
        centreNode_ = 0;
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
    });
    // A window left maximised would cover the results it is opened from.
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    if (!isVisible())
        PlaceBeside(this, beside);
    show();
    raise();
    activateWindow();
    if (searchRow_->isVisible())
        nodeSearch_->setFocus();
    else
        view_->setFocus();
}

// The picture and its layout are dropped, and the memory they took given
// back to the system: a large neighbourhood takes hundreds of megabytes.
void TFMNetworkPicture::ForgetPicture() {
    scene_->clearSelection();
    scene_->clear();
    previousSelection_.clear();
    shown_.reset();
    drawing_ = kav::PictureDrawing();
    pendingLayout_ = 0;
    stepThroughButton_->setEnabled(false);
    statusText_->clear();
    standingText_->clear();
    malloc_trim(0);
}

// A layout still being made when the program closes the window is dropped:
// the problem may change before it comes back, and it would then be drawn
// against nodes and links that are no longer there.
void TFMNetworkPicture::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (!event->spontaneous()) {
        ForgetPicture();
        ShowBusy(false);
    }
}

void TFMNetworkPicture::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// A new picture starts with labels on up to a few dozen links; the layout
// makes room for them.
void TFMNetworkPicture::Submit(kav::PictureGraph graph) {
    {
        const QSignalBlocker quiet(labelsBox_);
        labelsBox_->setChecked(graph.links.size() <= kav::LabelledLinksMax);
    }
    Relayout(std::move(graph));
}

void TFMNetworkPicture::Relayout(kav::PictureGraph graph) {
    kav::LabelLinks(graph, session_.ws, labelsBox_->isChecked());
    pendingLayout_ = GraphvizWorker::Instance().Submit(std::move(graph));
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
    if (result->id != pendingLayout_)
        return;  // an older layout, replaced since
    pendingLayout_ = 0;
    ShowBusy(false);
    if (!kav::GuardHandler(prompts_, [&] { ShowLayout(result); })) {
        scene_->clear();
        shown_.reset();
        statusText_->setText(QStringLiteral("The picture could not be drawn."));
    }
    emit pictureReady();
}

void TFMNetworkPicture::ShowLayout(const PictureResultPtr& result) {
    if (!result->error.isEmpty()) {
        statusText_->setText(result->error);
        return;
    }
    shown_ = result;
    labelsBox_->setEnabled(result->graph.solved);
    DrawLayout();
    view_->Fit();
    for (const kav::NodePlace& place : result->layout.nodes) {
        if (place.node == centreNode_)
            view_->ReadableAround(QPointF(place.centre.x, place.centre.y));
    }
    ShowStatus();
}

// What is shown, and how far its flows can be trusted.
void TFMNetworkPicture::ShowStatus() {
    if (!shown_)
        return;
    QString text = QStringLiteral("%1 nodes, %2 links")
                       .arg(shown_->graph.nodes.size())
                       .arg(shown_->graph.links.size());
    if (!shown_->graph.solved)
        text += QStringLiteral(" (no solution)");
    statusText_->setText(text);
    stepThroughButton_->setEnabled(MayStepThrough());
    standingText_->setText(kav::StandingNote(standing_));
}

// Every item paints itself as the exports paint it: the drawing is made once
// and shared by the screen and the files. After an infeasible solve whose cut
// is proved, the nodes that cannot be balanced are shaded and the links
// crossing them drawn bold; any other picture shows no cut.
void TFMNetworkPicture::DrawLayout() {
    scene_->clear();
    previousSelection_.clear();
    drawing_ = kav::PictureDrawing();
    if (!shown_)
        return;
    const kav::Workspace& ws = session_.ws;
    kav::PictureStyle style = kav::StyleOfSolution(kav::CurrentSolution(session_));
    style.centreNode = centreNode_;
    style.labels = labelsBox_->isChecked();
    standing_ = style.standing;
    drawing_ = kav::DrawPicture(ws, shown_->graph, shown_->layout, style);
    for (const kav::DrawnLink& link : drawing_.links)
        scene_->addItem(new LinkItem(link));
    for (const kav::DrawnNode& node : drawing_.nodes)
        scene_->addItem(new NodeItem(node));
    view_->SetPictureBounds(drawing_.bounds);
    // Smooth lines cost about four times as much to paint: large pictures
    // are drawn without, so that zooming stays quick.
    view_->setRenderHint(QPainter::Antialiasing, drawing_.links.size() <= SmoothLinksMax);
}

void TFMNetworkPicture::HighlightLink(int32_t link) {
    kav::GuardHandler(prompts_, [&] {
        selectingFromCode_ = true;
        scene_->clearSelection();
        for (QGraphicsItem* item : scene_->items()) {
            if (item->data(KindKey).toInt() == LinkKind && item->data(NumberKey).toInt() == link) {
                item->setSelected(true);
                view_->ensureVisible(item);
            }
        }
    });
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
    view_->setAccessibleDescription(SpokenItem(item->data(KindKey).toInt(), number));
    if (item->data(KindKey).toInt() == LinkKind) {
        statusText_->setText(static_cast<LinkItem*>(item)->Drawn().title.section('\n', -1));
        if (!selectingFromCode_)
            emit linkSelected(number);
    } else {
        statusText_->setText(static_cast<NodeItem*>(item)->Drawn().title.section('\n', 0, 0));
        if (!selectingFromCode_)
            emit nodeSelected(number);
    }
}

// The picture's text alternative: what is selected in it, read as the results
// lists read it.
QString TFMNetworkPicture::SpokenItem(int kind, int32_t number) const {
    const kav::Workspace& ws = session_.ws;
    if (kind == LinkKind && number >= 1 && number <= ws.LinkCount)
        return FromBytes(kav::SpokenLinkLine(ws, number));
    if (kind == NodeKind && number >= 1 && number <= ws.NodeCount)
        return FromBytes(kav::SpokenNodeLine(ws, number));
    return {};
}

void TFMNetworkPicture::FitButtonClick() {
    view_->Fit();
}
void TFMNetworkPicture::ZoomInButtonClick() {
    view_->Zoom(ZoomPanView::ZoomStep);
}
void TFMNetworkPicture::ZoomOutButtonClick() {
    view_->Zoom(1.0 / ZoomPanView::ZoomStep);
}

// Labels take room in the layout: the picture is laid out again.
void TFMNetworkPicture::LabelsBoxToggle() {
    if (shown_)
        Relayout(shown_->graph);
}

void TFMNetworkPicture::CloseButtonClick() {
    close();
}

// The whole network on show, and the last solve still describing it.
bool TFMNetworkPicture::MayStepThrough() const {
    return shown_ && centreNode_ == 0 && kav::CurrentSolution(session_).asSolved != nullptr;
}

void TFMNetworkPicture::StepThroughButtonClick() {
    if (!MayStepThrough()) {
        stepThroughButton_->setEnabled(false);
        statusText_->setText(
            QStringLiteral("The problem changed since the solve: solve it again "
                           "to step through."));
        return;
    }
    emit stepThroughRequested();
}

// A neighbourhood above the whole-picture limit is drawn only when the user
// agrees to its links with the largest flows.
void TFMNetworkPicture::ShowNodeButtonClick() {
    const kav::Workspace& ws = session_.ws;
    const std::string typed = ToBytes(nodeSearch_->text());
    const kav::NodeSearch found = kav::FindNodeByNameOrNumber(ws, typed);
    const int32_t node = found.node;
    if (node == 0) {
        statusText_->setText(
            found.namesakes.empty()
                ? QStringLiteral("No node [%1]").arg(FromBytes(kav::TrimmedName(typed)))
                : FromBytes(kav::NamesakesText(typed, found.namesakes)) +
                      QStringLiteral(": type the node's number."));
        return;
    }
    const int steps = stepsBox_->value();
    const int32_t links = kav::NeighbourhoodLinkCount(ws, node, steps);
    int32_t most = 0;
    if (links > kav::WholePictureMaxLinks) {
        const QString question =
            QStringLiteral(
                "%1's neighbourhood has %2 links. Draw only the %3 with the largest "
                "flows?")
                .arg(FromBytes(ws.NodeName[node]))
                .arg(links)
                .arg(kav::WholePictureMaxLinks);
        if (prompts_.Message(kav::MsgKind::Confirmation, kav::MsgButtons::YesNo, Utf8(question)) !=
            kav::Answer::Yes)
            return;
        most = kav::WholePictureMaxLinks;
    }
    ForgetPicture();
    centreNode_ = node;
    Submit(kav::Neighbourhood(ws, node, steps, most));
}

// The save dialog, then the replace question for a file that
// exists; false when the user gave up.
bool TFMNetworkPicture::ChooseExportFile(const char* filterName, const char* extension,
                                         std::string& fileName) {
    kav::FileQuestionsThrough questions(prompts_);
    fileName = kav::ChooseFileToWrite(
        questions,
        WindowFileToWrite(session_.protectedFiles.Names(),
                          {"Save the network picture",
                           {{filterName, std::string("*.") + extension}, {"All Files", "*.*"}},
                           std::string("network.") + extension}));
    return !fileName.empty();
}

// Writes an exported picture (none: it could not be drawn) through a
// replacement file, so that a failed write leaves a file being replaced as it
// was, and says how it went.
void TFMNetworkPicture::WriteExport(const std::string& fileName,
                                    const std::optional<std::string>& contents,
                                    const QString& note) {
    const QString shown = ShownFileName(fileName);
    if (!contents) {
        prompts_.Message(kav::MsgKind::Error, kav::MsgButtons::Ok,
                         Utf8(QStringLiteral("The picture could not be written to\r%1\r(it "
                                             "could not be drawn)")
                                  .arg(shown)));
        return;
    }
    const kav::WriteResult written =
        kav::WriteFile(fileName, *contents, session_.protectedFiles.Names());
    if (written) {
        prompts_.Message(kav::MsgKind::Information, kav::MsgButtons::Ok,
                         Utf8(QStringLiteral("The picture was written to\r%1").arg(shown) + note));
        return;
    }
    prompts_.Message(kav::MsgKind::Error, kav::MsgButtons::Ok,
                     Utf8(QStringLiteral("The picture could not be written to\r%1\r(%2)")
                              .arg(shown, QString::fromStdString(written.Reason()))));
}

// The chosen scale, or the largest below it that keeps to the pixel limit.
void TFMNetworkPicture::ExportPngButtonClick() {
    if (!shown_)
        return;
    std::string fileName;
    if (!ChooseExportFile("PNG Images", "png", fileName))
        return;
    const double wanted = scaleBox_->currentData().toDouble();
    const double scale = kav::FittingPngScale(drawing_, wanted);
    QString note;
    if (scale < wanted) {
        const QSize size = kav::PngSize(drawing_, scale);
        note = QStringLiteral("\r(%1 x %2 pixels: smaller than %3x, at most 16 million pixels)")
                   .arg(size.width())
                   .arg(size.height())
                   .arg(wanted);
    }
    WriteExport(fileName, kav::RenderPng(drawing_, scale), note);
}

void TFMNetworkPicture::ExportSvgButtonClick() {
    if (!shown_)
        return;
    std::string fileName;
    if (!ChooseExportFile("SVG Images", "svg", fileName))
        return;
    WriteExport(fileName, kav::RenderSvg(drawing_), QString());
}

#include "results/TFMStepThrough.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "gui/Accessibility.h"
#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "gui/Placement.h"
#include "results/NetworkPicture.h"
#include "results/SolveSteps.h"
#include "results/StepTexts.h"
#include "solver/KiltSolve.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

// What the step adds to the picture. Colours told apart with any colour
// vision, and none of them a kilter colour.
namespace StepColours {
const QColor Current{0xCC, 0x79, 0xA7, 170};  // the link being brought into kilter
const QColor Tree{0x56, 0xB4, 0xE9, 150};     // links the labels came through
const QColor Cycle{0xF0, 0xE4, 0x42, 230};    // the cycle of a flow change
const QColor Labelled{0x9C, 0xD4, 0xF2};      // labelled nodes
const QColor Raised{0xF0, 0xC0, 0x60};        // nodes whose potentials rise
}  // namespace StepColours

constexpr double CurrentHalo = 10.0;
constexpr double CycleHalo = 7.0;
constexpr double TreeHalo = 5.0;
constexpr double StartBorder = 3.0;
constexpr double ThinWidth = 1.0;
constexpr std::size_t SmoothLinksMax = 600;
constexpr double ZoomStep = 1.25;
constexpr double ZoomMost = 16.0;
// The width the window takes at least where the screen has room.
constexpr int PictureLeast = 680;
constexpr double WidthRange = 5.0;
// Pictures with more links than this show no labels on the links.
constexpr std::size_t LabelledLinksMax = 80;
// Milliseconds between steps, slowest first.
const int PlayIntervals[] = {1500, 1000, 700, 450, 300, 200, 120, 70, 35, 15};

struct Overlay {
    int32_t current = 0;
    int32_t usable = 0;  // the link a potential change made usable

    std::vector<char> tree;   // by link number
    std::vector<char> cycle;  // by link number
    QString cycleAmount;
    // By node number: the potential as drawn, whether it just rose, how the
    // node is marked, and whether it is drawn again over the marks.
    std::vector<QString> potentials;
    std::vector<char> raised;
    int64_t delta = 0;
    std::vector<char> labelled;
    std::vector<char> cut;
    std::vector<char> over;
    int32_t start = 0;
};

bool Marked(const std::vector<char>& marks, int32_t number) {
    return number >= 0 && static_cast<std::size_t>(number) < marks.size() &&
           marks[static_cast<std::size_t>(number)] != 0;
}

void Halo(QPainter& painter, const kav::DrawnLink& link, const QColor& colour, double extra) {
    painter.setPen(QPen(colour, link.width + extra, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(link.line);
}

// The box under a node where its potential is written.
QRectF PotentialBox(const QFontMetricsF& metrics, const kav::DrawnNode& node, const QString& text) {
    QRectF box = metrics.boundingRect(text);
    box.adjust(-1.5, 0, 1.5, 0);
    box.moveCenter(
        QPointF(node.shape.center().x(), node.shape.bottom() + node.border + box.height() / 2 + 1));
    return box;
}

// The picture fitted into the widget, with the step's marks over it and the
// potentials under the nodes. Most steps change only the marks: the picture
// itself is kept as an image and painted again only when a flow or a
// potential changes, or the size.
class StepCanvas : public QWidget {
  public:
    StepCanvas(const kav::PictureDrawing& drawing, QWidget* parent)
        : QWidget(parent), drawing_(drawing) {
        setMinimumSize(200, 150);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    void DrawingChanged() { base_ = QPixmap(); }
    // Back to the whole picture in the widget.
    void Fit() {
        zoom_ = 1.0;
        update();
    }

    Overlay overlay_;

  protected:
    // The whole picture fitted into the widget, zoomed about centre_.
    QTransform Placing() const {
        const QRectF bounds = drawing_.bounds;
        const double scale = std::min(width() / bounds.width(), height() / bounds.height()) * zoom_;
        const QPointF centre = zoom_ > 1.0 ? centre_ : bounds.center();
        QTransform placing;
        placing.translate(width() / 2.0, height() / 2.0);
        placing.scale(scale, scale);
        placing.translate(-centre.x(), -centre.y());
        return placing;
    }
    void wheelEvent(QWheelEvent* event) override {
        const int steps = event->angleDelta().y() / 120;
        if (steps == 0 || drawing_.bounds.isEmpty())
            return;
        const QPointF at = event->position();
        const QPointF under = Placing().inverted().map(at);
        zoom_ = std::clamp(zoom_ * std::pow(ZoomStep, steps), 1.0, ZoomMost);
        // The point under the pointer stays there.
        const double scale = Placing().m11();
        centre_ = under - (at - QPointF(width() / 2.0, height() / 2.0)) / scale;
        event->accept();
        update();
    }
    void mousePressEvent(QMouseEvent* event) override { dragFrom_ = event->position(); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton) || zoom_ <= 1.0)
            return;
        centre_ -= (event->position() - dragFrom_) / Placing().m11();
        dragFrom_ = event->position();
        update();
    }
    void mouseDoubleClickEvent(QMouseEvent*) override { Fit(); }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRectF bounds = drawing_.bounds;
        if (bounds.isEmpty()) {
            painter.fillRect(rect(), Qt::white);
            return;
        }
        const QTransform fit = Placing();
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = (QSizeF(size()) * ratio).toSize();
        if (base_.isNull() || base_.size() != pixels || basePlacing_ != fit) {
            basePlacing_ = fit;
            base_ = QPixmap(pixels);
            base_.setDevicePixelRatio(ratio);
            base_.fill(Qt::white);
            QPainter base(&base_);
            base.setTransform(fit);
            Hints(base);
            for (const kav::DrawnLink& link : drawing_.links)
                kav::PaintLink(base, link);
            for (const kav::DrawnNode& node : drawing_.nodes)
                PaintPotential(base, node, QString(), Qt::white);
            for (const kav::DrawnNode& node : drawing_.nodes)
                kav::PaintNode(base, node);
        }
        painter.drawPixmap(0, 0, base_);
        painter.setTransform(fit);
        Hints(painter);
        for (const kav::DrawnLink& link : drawing_.links) {
            const bool current = link.link == overlay_.current;
            const bool cycle = Marked(overlay_.cycle, link.link);
            const bool tree = Marked(overlay_.tree, link.link);
            if (current)
                Halo(painter, link, StepColours::Current, CurrentHalo);
            const bool usable = link.link == overlay_.usable;
            if (cycle)
                Halo(painter, link, StepColours::Cycle, CycleHalo);
            else if (tree)
                Halo(painter, link, StepColours::Tree, TreeHalo);
            else if (usable)
                Halo(painter, link, StepColours::Raised, TreeHalo);
            if (current || cycle || tree || usable)
                kav::PaintLink(painter, link);
        }
        for (const kav::DrawnNode& node : drawing_.nodes) {
            if (Marked(overlay_.raised, node.node))
                PaintPotential(painter, node, QStringLiteral(" (+%1)").arg(overlay_.delta),
                               StepColours::Raised);
            else if (Marked(overlay_.over, node.node))
                PaintPotential(painter, node, QString(), Qt::white);
            if (!Marked(overlay_.over, node.node))
                continue;
            kav::DrawnNode marked = node;
            if (Marked(overlay_.cut, node.node))
                marked.fill = kav::PictureColours::CutFill;
            else if (Marked(overlay_.labelled, node.node))
                marked.fill = StepColours::Labelled;
            if (node.node == overlay_.start)
                marked.border = StartBorder;
            kav::PaintNode(painter, marked);
        }
        if (!overlay_.cycleAmount.isEmpty()) {
            for (const kav::DrawnLink& link : drawing_.links) {
                if (link.link != overlay_.current)
                    continue;
                QFont font = kav::LabelFont();
                font.setBold(true);
                font.setPixelSize(font.pixelSize() + 2);
                painter.setFont(font);
                QRectF box = QFontMetricsF(font).boundingRect(overlay_.cycleAmount);
                box.adjust(-3, -1, 3, 1);
                box.moveCenter(link.line.pointAtPercent(0.5) + QPointF(0, -1.6 * box.height()));
                painter.fillRect(box, StepColours::Cycle);
                painter.setPen(Qt::black);
                painter.drawText(box, Qt::AlignCenter, overlay_.cycleAmount);
            }
        }
    }
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        base_ = QPixmap();
    }

  private:
    void Hints(QPainter& painter) const {
        painter.setRenderHint(QPainter::Antialiasing, drawing_.links.size() <= SmoothLinksMax);
        painter.setRenderHint(QPainter::TextAntialiasing);
    }
    void PaintPotential(QPainter& painter, const kav::DrawnNode& node, const QString& more,
                        const QColor& fill) const {
        if (node.node < 1 || static_cast<std::size_t>(node.node) >= overlay_.potentials.size())
            return;
        const QString text = overlay_.potentials[static_cast<std::size_t>(node.node)] + more;
        const QFont font = kav::LabelFont();
        painter.setFont(font);
        const QRectF box = PotentialBox(QFontMetricsF(font), node, text);
        painter.fillRect(box, fill);
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter, text);
    }

    const kav::PictureDrawing& drawing_;
    QPixmap base_;
    QTransform basePlacing_;  // where base_ has the picture
    double zoom_ = 1.0;       // 1: the whole picture
    QPointF centre_;          // the picture's point in the middle, zoomed in
    QPointF dragFrom_;
};

QString LegendText() {
    const QString gap = QStringLiteral(" &nbsp; ");
    return LegendSwatch(StepColours::Current, QStringLiteral("link being brought into kilter")) +
           gap + LegendSwatch(StepColours::Tree, QStringLiteral("labelled through")) + gap +
           LegendSwatch(StepColours::Labelled, QStringLiteral("labelled node")) + gap +
           LegendSwatch(StepColours::Cycle, QStringLiteral("flow change")) + gap +
           LegendSwatch(StepColours::Raised, QStringLiteral("potential rises, link made usable")) +
           gap + Unbroken(QStringLiteral("links: flow, rc reduced cost")) + gap +
           Unbroken(QStringLiteral("nodes: p potential")) + gap +
           Unbroken(QStringLiteral("thick border: labelling start")) + gap +
           Unbroken(QStringLiteral("wheel: zoom, drag: move, double-click: whole picture"));
}

}  // namespace

TFMStepThrough::TFMStepThrough(kav::Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("FMStepThrough"));
    setWindowTitle(QStringLiteral("KAVRILON Step Through"));
    setAttribute(Qt::WA_QuitOnClose, false);
    CreateControls();
    LayOutControls();
    ConnectHandlers();
    resize(FitOnScreen(QSize(1000, 900)));
}

TFMStepThrough::~TFMStepThrough() = default;

void TFMStepThrough::CreateControls() {
    restartButton_ = NewButton(QStringLiteral("&Restart"), QStringLiteral("Back to the first step"),
                               QStringLiteral("RestartButton"), this);
    backButton_ = NewButton(QStringLiteral("&Back"), QStringLiteral("One step back (Left)"),
                            QStringLiteral("BackButton"), this);
    stepButton_ = NewButton(QStringLiteral("&Step"), QStringLiteral("One step on (Right)"),
                            QStringLiteral("StepButton"), this);
    nextLinkButton_ =
        NewButton(QStringLiteral("&Next Link"), QStringLiteral("On to the next link out of kilter"),
                  QStringLiteral("NextLinkButton"), this);
    endButton_ = NewButton(QStringLiteral("Run to &End"), QStringLiteral("On to the last step"),
                           QStringLiteral("EndButton"), this);
    playButton_ = NewButton(QStringLiteral("P&lay"), QStringLiteral("Step on by itself"),
                            QStringLiteral("PlayButton"), this);
    speedSlider_ = new QSlider(Qt::Horizontal, this);
    speedSlider_->setObjectName(QStringLiteral("SpeedSlider"));
    speedSlider_->setRange(1, static_cast<int>(std::size(PlayIntervals)));
    speedSlider_->setValue(4);
    speedSlider_->setToolTip(QStringLiteral("How fast Play steps on"));
    speedSlider_->setMinimumWidth(100);
    closeButton_ = NewButton(QStringLiteral("&Close"), QStringLiteral("Close the window (Esc)"),
                             QStringLiteral("CloseButton"), this);
    counter_ = new QLabel(this);
    counter_->setObjectName(QStringLiteral("StepCounter"));
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("StepText"));
    text_->setWordWrap(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setFrameShape(QFrame::StyledPanel);
    text_->setMargin(4);
    // Three lines, so that the picture keeps its place as the texts change.
    text_->setMinimumHeight(3 * text_->fontMetrics().lineSpacing() + 10);
    text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    text_->setFixedHeight(3 * text_->fontMetrics().lineSpacing() + 10);
    legend_ = new QLabel(this);
    legend_->setObjectName(QStringLiteral("StepLegend"));
    legend_->setWordWrap(true);
    legend_->setText(LegendText());
    canvas_ = new StepCanvas(drawing_, this);
    canvas_->setObjectName(QStringLiteral("StepPicture"));
    playTimer_ = new QTimer(this);
}

// The steps' controls, the speed and Close; the counter and the step in
// words; the legend; the picture.
void TFMStepThrough::LayOutControls() {
    auto* stepRow = new QHBoxLayout;
    for (QPushButton* button :
         {restartButton_, backButton_, stepButton_, nextLinkButton_, endButton_})
        stepRow->addWidget(button);
    stepRow->addStretch();
    auto* playRow = new QHBoxLayout;
    playRow->addWidget(playButton_);
    auto* speedLabel = new QLabel(QStringLiteral("Spee&d:"), this);
    NameByLabel(speedLabel, speedSlider_);
    playRow->addWidget(speedLabel);
    playRow->addWidget(speedSlider_);
    playRow->addStretch();
    playRow->addWidget(counter_);
    playRow->addSpacing(12);
    playRow->addWidget(closeButton_);

    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    column->addLayout(stepRow);
    column->addLayout(playRow);
    column->addWidget(text_);
    column->addWidget(legend_);
    column->addWidget(canvas_, 1);
    setCentralWidget(page);
}

void TFMStepThrough::ConnectHandlers() {
    ConnectGuarded(prompts_, restartButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::RestartButtonClick);
    ConnectGuarded(prompts_, backButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::BackButtonClick);
    ConnectGuarded(prompts_, stepButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::StepButtonClick);
    ConnectGuarded(prompts_, nextLinkButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::NextLinkButtonClick);
    ConnectGuarded(prompts_, endButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::EndButtonClick);
    ConnectGuarded(prompts_, playButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::PlayButtonClick);
    ConnectGuarded(prompts_, closeButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::CloseButtonClick);
    ConnectGuarded(prompts_, speedSlider_, &QSlider::valueChanged, this,
                   &TFMStepThrough::SpeedSliderChange);
    ConnectGuarded(prompts_, playTimer_, &QTimer::timeout, this, &TFMStepThrough::PlayTimerTick);
    // The arrows step wherever the focus is, except on the speed slider,
    // which they move as they move every slider.
    auto* right = new QShortcut(QKeySequence(Qt::Key_Right), this);
    ConnectGuarded(prompts_, right, &QShortcut::activated, this, [this] { ArrowKey(true); });
    auto* left = new QShortcut(QKeySequence(Qt::Key_Left), this);
    ConnectGuarded(prompts_, left, &QShortcut::activated, this, [this] { ArrowKey(false); });
}

void TFMStepThrough::ShowSteps(const kav::Workspace& asSolved, PictureResultPtr layout,
                               const QWidget* beside) {
    kav::GuardHandler(prompts_, [&] {
        Pause();
        steps_.reset();
        steps_ = std::make_unique<kav::SolveSteps>(asSolved);
        shown_ = std::make_unique<kav::Workspace>(asSolved);
        layout_ = std::move(layout);
        drawnFor_.reset();
        ShowStep();
    });
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    // Wide enough to read the picture: beside the picture window where the
    // screen has room for that, else over its right-hand side.
    canvas_->setMinimumWidth(FitOnScreen(QSize(PictureLeast, 0)).width() - 40);
    if (!isVisible())
        PlaceBeside(this, beside);
    show();
    raise();
    activateWindow();
    stepButton_->setFocus();
}

void TFMStepThrough::ArrowKey(bool right) {
    if (speedSlider_->hasFocus()) {
        const bool up = right != (speedSlider_->layoutDirection() == Qt::RightToLeft);
        speedSlider_->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd
                                       : QAbstractSlider::SliderSingleStepSub);
    } else if (right) {
        StepButtonClick();
    } else {
        BackButtonClick();
    }
}

QString TFMStepThrough::StepText() const {
    return text_->text();
}

// The picture and the words of the step now reached.
void TFMStepThrough::ShowStep() {
    if (!steps_ || steps_->Count() == 0)
        return;
    const kav::StepState& state = steps_->State();
    kav::SolveSteps::ApplyTo(state, *shown_);
    const kav::Workspace& ws = *shown_;
    const kav::SolveEvent event = steps_->Current();
    const bool atEnd = steps_->AtEnd();
    const kav::SolveEvent next = atEnd ? kav::SolveEvent() : steps_->Event(state.applied);
    const QString sentence = FromBytes(kav::StepText(ws, event, atEnd ? nullptr : &next));
    text_->setText(sentence);
    AnnounceText(text_, sentence);
    counter_->setText(QString::fromStdString(
        kav::StepCounter(state.applied, steps_->Count(), state.link, ws.LinkCount)));
    for (QPushButton* button : {restartButton_, backButton_})
        button->setEnabled(!steps_->AtStart());
    for (QPushButton* button : {stepButton_, nextLinkButton_, endButton_})
        button->setEnabled(!atEnd);
    if (!layout_)
        return;

    auto* canvas = static_cast<StepCanvas*>(canvas_);
    Overlay& overlay = canvas->overlay_;
    // The picture itself changes only with the flows and potentials.
    if (drawnFor_ != layout_ || drawnFlows_ != state.flows ||
        drawnPotentials_ != state.potentials) {
        DrawValues();
        canvas->DrawingChanged();
        overlay.potentials.assign(static_cast<std::size_t>(ws.NodeCount) + 1, QString());
        for (int32_t n = 1; n <= ws.NodeCount; ++n)
            overlay.potentials[static_cast<std::size_t>(n)] =
                QStringLiteral("p %1").arg(ws.NodePotential[n]);
    }
    const auto links = static_cast<std::size_t>(ws.LinkCount) + 1;
    const auto nodes = static_cast<std::size_t>(ws.NodeCount) + 1;
    // Once every link is in kilter none is being brought in.
    overlay.current = event.Kind == kav::SolveEventKind::Done ? 0 : state.link;
    overlay.start = state.start;
    overlay.usable = event.Kind == kav::SolveEventKind::Potentials ? event.Link : 0;
    overlay.cycleAmount.clear();
    overlay.delta = event.Delta;
    overlay.tree.assign(links, 0);
    overlay.cycle.assign(links, 0);
    for (std::vector<char>* marks :
         {&overlay.raised, &overlay.labelled, &overlay.cut, &overlay.over})
        marks->assign(nodes, 0);
    auto mark = [nodes](std::vector<char>& marks, int32_t node) {
        if (node >= 1 && static_cast<std::size_t>(node) < nodes)
            marks[static_cast<std::size_t>(node)] = 1;
    };
    for (std::size_t n = 1; n < nodes && n < state.labels.size(); ++n) {
        const int32_t via = state.labels[n];
        if (via == 0)
            continue;
        mark(overlay.labelled, static_cast<int32_t>(n));
        if (via != kav::StartLabel && static_cast<std::size_t>(std::abs(via)) < links)
            overlay.tree[static_cast<std::size_t>(std::abs(via))] = 1;
    }
    if (event.Kind == kav::SolveEventKind::Augment) {
        for (const auto& [link, sign] : event.Cycle) {
            if (link >= 1 && static_cast<std::size_t>(link) < links)
                overlay.cycle[static_cast<std::size_t>(link)] = 1;
        }
        overlay.cycleAmount = QStringLiteral("+%1").arg(event.Amount);
    }
    if (event.Kind == kav::SolveEventKind::Potentials) {
        for (const int32_t node : event.Nodes)
            mark(overlay.raised, node);
    }
    if (event.Kind == kav::SolveEventKind::Infeasible) {
        for (const int32_t node : event.Nodes)
            mark(overlay.cut, node);
    }
    // Marked nodes and the ends of marked links are drawn over the marks.
    overlay.over = overlay.labelled;
    for (std::size_t n = 1; n < nodes; ++n) {
        if (overlay.cut[n] != 0)
            overlay.over[n] = 1;
    }
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (k == overlay.current || overlay.tree[i] != 0 || overlay.cycle[i] != 0) {
            mark(overlay.over, ws.LinkOrigin[k]);
            mark(overlay.over, ws.LinkDest[k]);
        }
    }
    canvas_->update();
}

// The picture with the step's flows and potentials: kilter colours, widths by
// flow, and (on pictures small enough to read them) each link's flow and
// reduced cost.
void TFMStepThrough::DrawValues() {
    const kav::Workspace& ws = *shown_;
    kav::PictureGraph graph = layout_->graph;
    graph.solved = true;
    const bool labels = graph.links.size() <= LabelledLinksMax;
    int64_t largest = 0;
    for (const kav::PictureLink& link : graph.links)
        largest = std::max(largest, std::abs(static_cast<int64_t>(ws.LinkFlow[link.link])));
    for (kav::PictureLink& link : graph.links) {
        link.state = kav::PictureLinkState(ws, link.link, true);
        const auto flow = std::abs(static_cast<int64_t>(ws.LinkFlow[link.link]));
        link.width = largest > 0 ? ThinWidth + WidthRange * static_cast<double>(flow) /
                                                   static_cast<double>(largest)
                                 : ThinWidth;
        link.label = labels ? kav::FlowLabelText(ws, link.link) + ", rc " +
                                  std::to_string(kav::WideReducedCost(ws, link.link))
                            : std::string();
    }
    kav::PictureStyle style;
    style.labels = labels;
    style.standing = kav::FlowStanding::Certified;
    drawing_ = kav::DrawPicture(ws, graph, layout_->layout, style);
    // Room below the lowest nodes for their potentials.
    drawing_.bounds.adjust(0, 0, 0, kav::LabelFont().pixelSize() + 4);
    drawnFor_ = layout_;
    drawnFlows_ = steps_->State().flows;
    drawnPotentials_ = steps_->State().potentials;
}

// Right at the last step, or Left at the first, beeps: there is nothing
// further that way.
void TFMStepThrough::StepButtonClick() {
    if (!steps_)
        return;
    if (steps_->AtEnd()) {
        prompts_.Beep(kav::BeepDefault);
        return;
    }
    steps_->Step();
    ShowStep();
}

void TFMStepThrough::BackButtonClick() {
    if (!steps_)
        return;
    Pause();
    if (steps_->AtStart()) {
        prompts_.Beep(kav::BeepDefault);
        return;
    }
    steps_->Back();
    ShowStep();
}

void TFMStepThrough::NextLinkButtonClick() {
    if (!steps_)
        return;
    steps_->NextLink();
    ShowStep();
}

void TFMStepThrough::RestartButtonClick() {
    if (!steps_)
        return;
    Pause();
    steps_->GoTo(1);
    ShowStep();
}

void TFMStepThrough::EndButtonClick() {
    if (!steps_)
        return;
    Pause();
    steps_->GoTo(steps_->Count());
    ShowStep();
}

void TFMStepThrough::PlayButtonClick() {
    if (playTimer_->isActive()) {
        Pause();
        return;
    }
    if (!steps_ || steps_->AtEnd())
        return;
    SpeedSliderChange();
    playTimer_->start();
    playButton_->setText(QStringLiteral("P&ause"));
}

void TFMStepThrough::Pause() {
    playTimer_->stop();
    playButton_->setText(QStringLiteral("P&lay"));
}

// The timer waits while a step is shown: a step that fails is reported in one
// box, and Play stops there rather than failing again under it at every tick.
void TFMStepThrough::PlayTimerTick() {
    if (!steps_ || steps_->AtEnd()) {
        Pause();
        return;
    }
    playTimer_->stop();
    const bool shown = kav::GuardHandler(prompts_, [this] {
        steps_->Step();
        ShowStep();
    });
    if (!shown || !steps_ || steps_->AtEnd())
        Pause();
    else
        playTimer_->start();
}

void TFMStepThrough::SpeedSliderChange() {
    const int index =
        std::clamp(speedSlider_->value(), 1, static_cast<int>(std::size(PlayIntervals)));
    playTimer_->setInterval(PlayIntervals[index - 1]);
}

void TFMStepThrough::CloseButtonClick() {
    close();
}

// Closed, the window keeps nothing of the solve: the replay, its copies of the
// problem and the picture go, and the next Step Through starts afresh.
void TFMStepThrough::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (event->spontaneous())
        return;
    Pause();
    steps_.reset();
    shown_.reset();
    layout_.reset();
    drawnFor_.reset();
    drawnFlows_.clear();
    drawnPotentials_.clear();
    drawing_ = kav::PictureDrawing();
    auto* canvas = static_cast<StepCanvas*>(canvas_);
    canvas->overlay_ = Overlay();
    canvas->DrawingChanged();
    canvas->Fit();
}

// The arrows a focused control leaves alone step, as their shortcuts do.
void TFMStepThrough::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
            case Qt::Key_Escape:
                close();
                return;
            case Qt::Key_Right:
                kav::GuardHandler(prompts_, [this] { StepButtonClick(); });
                return;
            case Qt::Key_Left:
                kav::GuardHandler(prompts_, [this] { BackButtonClick(); });
                return;
            default:
                break;
        }
    }
    QMainWindow::keyPressEvent(event);
}

#include "results/TFMStepThrough.h"

#include <QAbstractListModel>
#include <QBuffer>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "gui/Accessibility.h"
#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "gui/Placement.h"
#include "gui/ZoomPanView.h"
#include "results/NetworkPicture.h"
#include "results/SolveSteps.h"
#include "results/StepMarks.h"
#include "results/StepTexts.h"
#include "solver/KiltSolve.h"
#include "workspace/FileChoice.h"
#include "workspace/ProblemFiles.h"
#include "workspace/ProblemWriter.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

// What the step adds to the picture. Colours told apart with any colour
// vision, none of them a kilter colour, and each told apart by more than its
// hue: the current link's halo is dotted, a falling link's on a cycle dashed,
// the link the next label goes through dash-dotted, a raised potential
// carries its rise in words and a label its text.
namespace StepColours {
const QColor Current{0xCC, 0x79, 0xA7, 170};  // the link being brought into kilter
const QColor Tree{0x56, 0xB4, 0xE9, 150};     // links the labels came through
const QColor Cycle{0xF0, 0xE4, 0x42, 230};    // the cycle of a flow change
const QColor Labelled{0x9C, 0xD4, 0xF2};      // labelled nodes
const QColor Raised{0xD9, 0xC6, 0xF5};        // nodes whose potentials rise
}  // namespace StepColours

constexpr double CurrentHalo = 10.0;
constexpr double CycleHalo = 7.0;
constexpr double TreeHalo = 5.0;
constexpr double StartBorder = 3.0;
constexpr double ThinWidth = 1.0;
constexpr std::size_t SmoothLinksMax = 600;
// The width the window takes at least where the screen has room.
constexpr int PictureLeast = 460;
// A handout's pictures are drawn at this scale, small enough to print
// several on a page.
constexpr double HandoutScale = 0.75;
constexpr double WidthRange = 5.0;
// An exported step is at least this wide, for its sentence and legend.
constexpr double StepImageLeast = 640.0;
// Pictures with more links than this show no labels on the links.
constexpr std::size_t LabelledLinksMax = 80;
// Milliseconds between steps, slowest first.
const int PlayIntervals[] = {1500, 1000, 700, 450, 300, 200, 120, 70, 35, 15};

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

// The step's marks, and each node's potential as drawn (by node number).
struct Overlay {
    kav::StepMarks marks;
    std::vector<QString> potentials;
    std::vector<QString> labels;  // by node number: [+m, amount], empty if unlabelled
};

// Where the links' labels are, looked up at every note: most pictures have
// none or a few, and a picture of thousands of links has none.
std::vector<QRectF> LinkLabelBoxes(const kav::PictureDrawing& drawing) {
    std::vector<QRectF> boxes;
    for (const kav::DrawnLink& link : drawing.links)
        if (!link.label.isEmpty())
            boxes.push_back(link.labelBox);
    return boxes;
}

// The first of the boxes around a node (below, above, right, left) that
// covers none of the link labels; below when all of them do.
QRectF FreeBox(const std::vector<QRectF>& labels, const kav::DrawnNode& node, QRectF box,
               bool aboveFirst) {
    const QPointF c = node.shape.center();
    const double gap = node.border + 1;
    const QPointF below(c.x(), node.shape.bottom() + gap + box.height() / 2);
    const QPointF above(c.x(), node.shape.top() - gap - box.height() / 2);
    const QPointF right(node.shape.right() + gap + box.width() / 2, c.y());
    const QPointF left(node.shape.left() - gap - box.width() / 2, c.y());
    const QPointF places[] = {aboveFirst ? above : below, aboveFirst ? below : above, right, left};
    for (const QPointF& place : places) {
        box.moveCenter(place);
        const bool covers = std::any_of(labels.begin(), labels.end(),
                                        [&](const QRectF& label) { return label.intersects(box); });
        if (!covers)
            return box;
    }
    box.moveCenter(places[0]);
    return box;
}

// A text in a filled box beside a node: its potential below, its label above,
// each moved aside where it would cover a link's label.
kav::DrawnNote NodeNote(const std::vector<QRectF>& labels, const kav::DrawnNode& node,
                        const QString& text, const QColor& fill, bool above) {
    kav::DrawnNote note{QRectF(), fill, text, kav::LabelFont()};
    QRectF box = QFontMetricsF(note.font).boundingRect(text);
    box.adjust(-1.5, 0, 1.5, 0);
    note.box = FreeBox(labels, node, box, above);
    return note;
}

kav::DrawnHalo Halo(const kav::DrawnLink& link, const QColor& colour, double extra,
                    Qt::PenStyle style = Qt::SolidLine) {
    return {link.line, colour, link.width + extra, style};
}

// The picture with the step's marks over it and the potentials under the
// nodes. Most steps change only the marks: the picture itself is the view's
// cached background, painted again only when a flow or a potential changes,
// or the view's scale or size.
class StepCanvas : public ZoomPanView {
  public:
    StepCanvas(const kav::PictureDrawing& drawing, QWidget* parent)
        : ZoomPanView(parent), drawing_(drawing) {
        setScene(new QGraphicsScene(this));
        setCacheMode(QGraphicsView::CacheBackground);
        setMinimumSize(200, 150);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    void DrawingChanged() {
        setRenderHint(QPainter::Antialiasing, drawing_.links.size() <= SmoothLinksMax);
        setRenderHint(QPainter::TextAntialiasing);
        SetPictureBounds(drawing_.bounds);
        labelBoxes_ = LinkLabelBoxes(drawing_);
        resetCachedContent();
        viewport()->update();
    }
    void MarksChanged() { viewport()->update(); }
    // The picture and the step's marks, as the view shows them, for exports.
    void PaintAll(QPainter& painter) {
        drawBackground(&painter, drawing_.bounds);
        drawForeground(&painter, drawing_.bounds);
    }
    // The same as an SVG file, under the heading.
    std::string Svg(const kav::SvgHeading& heading) const {
        std::vector<kav::DrawnMark> marks = PotentialNotes();
        for (kav::DrawnMark& mark : Marks())
            marks.push_back(std::move(mark));
        return kav::RenderSvg(drawing_, marks, heading);
    }

    Overlay overlay_;

  protected:
    void drawBackground(QPainter* painter, const QRectF& exposed) override {
        painter->fillRect(exposed, Qt::white);
        for (const kav::DrawnLink& link : drawing_.links)
            kav::PaintLink(*painter, link);
        for (const kav::DrawnMark& note : PotentialNotes())
            kav::PaintMark(*painter, note);
        for (const kav::DrawnNode& node : drawing_.nodes)
            kav::PaintNode(*painter, node);
    }
    void drawForeground(QPainter* painter, const QRectF&) override {
        for (const kav::DrawnMark& mark : Marks())
            kav::PaintMark(*painter, mark);
    }

  private:
    std::vector<kav::DrawnMark> PotentialNotes() const {
        std::vector<kav::DrawnMark> notes;
        for (const kav::DrawnNode& node : drawing_.nodes)
            AddPotential(notes, node, QString(), Qt::white);
        return notes;
    }
    // The step's marks in the order they are drawn.
    std::vector<kav::DrawnMark> Marks() const {
        std::vector<kav::DrawnMark> marks;
        const kav::StepMarks& stepMarks = overlay_.marks;
        for (const kav::DrawnLink& link : drawing_.links)
            AddLinkMarks(marks, link, stepMarks);
        for (const kav::DrawnNode& node : drawing_.nodes)
            AddNodeMarks(marks, node, stepMarks);
        if (stepMarks.flowChange)
            AddFlowChange(marks, stepMarks.current, *stepMarks.flowChange);
        return marks;
    }
    static void AddLinkMarks(std::vector<kav::DrawnMark>& marks, const kav::DrawnLink& link,
                             const kav::StepMarks& stepMarks) {
        const bool current = link.link == stepMarks.current;
        const bool cycle = kav::Holds(stepMarks.cycleLinks, link.link);
        const bool tree = kav::Holds(stepMarks.treeLinks, link.link);
        const bool usable = link.link == stepMarks.usable;
        if (current)
            marks.emplace_back(Halo(link, StepColours::Current, CurrentHalo, Qt::DotLine));
        if (cycle)
            marks.emplace_back(
                Halo(link, StepColours::Cycle, CycleHalo,
                     kav::Holds(stepMarks.fallingLinks, link.link) ? Qt::DashLine : Qt::SolidLine));
        else if (tree)
            marks.emplace_back(Halo(link, StepColours::Tree, TreeHalo));
        else if (usable)
            marks.emplace_back(Halo(link, StepColours::Raised, TreeHalo, Qt::DashDotLine));
        if (current || cycle || tree || usable)
            marks.emplace_back(link);
    }
    void AddNodeMarks(std::vector<kav::DrawnMark>& marks, const kav::DrawnNode& node,
                      const kav::StepMarks& stepMarks) const {
        const bool onTop = kav::Holds(stepMarks.nodesOnTop, node.node);
        if (kav::Holds(stepMarks.raisedNodes, node.node))
            AddPotential(marks, node, QStringLiteral(" (+%1)").arg(stepMarks.rise),
                         StepColours::Raised);
        else if (onTop)
            AddPotential(marks, node, QString(), Qt::white);
        if (!onTop)
            return;
        kav::DrawnNode marked = node;
        if (kav::Holds(stepMarks.cutNodes, node.node))
            marked.fill = kav::PictureColours::CutFill;  // as the picture window shows the cut
        else if (kav::Holds(stepMarks.labelledNodes, node.node))
            marked.fill = StepColours::Labelled;
        if (node.node == stepMarks.start)
            marked.border = StartBorder;
        marks.emplace_back(marked);
        const auto n = static_cast<std::size_t>(node.node);
        if (n < overlay_.labels.size() && !overlay_.labels[n].isEmpty())
            marks.emplace_back(
                NodeNote(labelBoxes_, node, overlay_.labels[n], StepColours::Labelled, true));
    }
    // The amount of a flow change, over the link being brought into kilter.
    void AddFlowChange(std::vector<kav::DrawnMark>& marks, int32_t current, int64_t amount) const {
        for (const kav::DrawnLink& link : drawing_.links) {
            if (link.link != current)
                continue;
            kav::DrawnNote note{QRectF(), StepColours::Cycle, QStringLiteral("+%1").arg(amount),
                                kav::LabelFont()};
            note.font.setBold(true);
            note.font.setPixelSize(note.font.pixelSize() + 2);
            note.box = QFontMetricsF(note.font).boundingRect(note.text);
            note.box.adjust(-3, -1, 3, 1);
            // A quarter of the way along: the link's own label is at the middle.
            note.box.moveCenter(link.line.pointAtPercent(0.25));
            marks.emplace_back(note);
        }
    }
    void AddPotential(std::vector<kav::DrawnMark>& marks, const kav::DrawnNode& node,
                      const QString& more, const QColor& fill) const {
        if (node.node < 1 || static_cast<std::size_t>(node.node) >= overlay_.potentials.size())
            return;
        marks.emplace_back(NodeNote(labelBoxes_, node,
                                    overlay_.potentials[static_cast<std::size_t>(node.node)] + more,
                                    fill, false));
    }

    const kav::PictureDrawing& drawing_;
    std::vector<QRectF> labelBoxes_;  // of drawing_'s links
};

// Flow across, reduced cost up: the kilter line of the link being brought
// into kilter (its lower bound above the axis, the band between its bounds on
// it, its upper bound below), the link's path over this link's steps and its
// point now.
class KilterDiagram : public QWidget {
  public:
    explicit KilterDiagram(QWidget* parent) : QWidget(parent) {
        setMinimumSize(220, 170);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    void Show(int32_t link, int64_t lower, int64_t upper,
              std::vector<std::pair<int64_t, int64_t>> path) {
        link_ = link;
        lower_ = lower;
        upper_ = upper;
        path_ = std::move(path);
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(kav::LabelFont());
        painter.setPen(Qt::black);
        const QRectF area = QRectF(rect()).adjusted(34, 18, -10, -22);
        if (link_ == 0 || path_.empty()) {
            painter.drawText(rect(), Qt::AlignCenter,
                             QStringLiteral("No link being brought\ninto kilter"));
            return;
        }
        painter.drawText(QRectF(0, 0, width(), 16), Qt::AlignCenter,
                         QStringLiteral("Link %1: flow across, reduced cost up").arg(link_));
        int64_t xLow = std::min<int64_t>(0, lower_), xHigh = upper_, yMost = 1;
        for (const auto& [flow, cost] : path_) {
            xLow = std::min(xLow, flow);
            xHigh = std::max(xHigh, flow);
            yMost = std::max(yMost, cost < 0 ? -cost : cost);
        }
        const double span = std::max<double>(1, static_cast<double>(xHigh - xLow));
        const double x0 = static_cast<double>(xLow) - span / 10;
        const double x1 = static_cast<double>(xHigh) + span / 10;
        const double y = static_cast<double>(yMost) * 1.15;
        auto at = [&](double flow, double cost) {
            return QPointF(area.left() + (flow - x0) / (x1 - x0) * area.width(),
                           area.center().y() - cost / y * area.height() / 2);
        };
        painter.setPen(QPen(Qt::gray, 1));
        painter.drawLine(at(x0, 0), at(x1, 0));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, area.center().y() - 8, 32, 16),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("rc 0"));
        const double lo = static_cast<double>(lower_), up = static_cast<double>(upper_);
        for (const double bound : {lo, up})
            painter.drawText(QRectF(at(bound, 0).x() - 30, area.bottom() + 4, 60, 16),
                             Qt::AlignCenter, QString::number(bound, 'f', 0));
        painter.setPen(QPen(kav::PictureColours::Between, 3));
        QPolygonF kilterLine;
        kilterLine << at(lo, y) << at(lo, 0) << at(up, 0) << at(up, -y);
        painter.drawPolyline(kilterLine);
        QPolygonF walked;
        for (const auto& [flow, cost] : path_)
            walked << at(static_cast<double>(flow), static_cast<double>(cost));
        painter.setPen(QPen(StepColours::Current.darker(150), 1.5, Qt::DashLine));
        painter.drawPolyline(walked);
        painter.setBrush(Qt::white);
        for (const QPointF& point : walked)
            painter.drawEllipse(point, 2.5, 2.5);
        painter.setBrush(Qt::black);
        painter.setPen(Qt::black);
        painter.drawEllipse(walked.back(), 4.5, 4.5);
    }

  private:
    int32_t link_ = 0;
    int64_t lower_ = 0, upper_ = 0;
    std::vector<std::pair<int64_t, int64_t>> path_;
};

// The step log, its lines made as they are shown: a run has up to millions
// of steps.
class StepLogModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;
    void Reset(const kav::SolveSteps* steps) {
        beginResetModel();
        steps_ = steps;
        entries_ = steps ? steps->Log() : std::vector<kav::SolveSteps::LogEntry>();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(entries_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !steps_ || !index.isValid())
            return QVariant();
        const auto& entry = entries_[static_cast<std::size_t>(index.row())];
        return FromBytes(kav::LogLine(steps_->Problem(), entry.first, entry.last,
                                      steps_->Event(entry.first - 1)));
    }
    // The last step of the entry at row.
    std::size_t LastStep(int row) const { return entries_[static_cast<std::size_t>(row)].last; }
    // The row that holds step applied.
    int RowOf(std::size_t applied) const {
        const auto after = std::upper_bound(
            entries_.begin(), entries_.end(), applied,
            [](std::size_t step, const kav::SolveSteps::LogEntry& e) { return step < e.first; });
        return static_cast<int>(after - entries_.begin()) - 1;
    }

  private:
    const kav::SolveSteps* steps_ = nullptr;
    std::vector<kav::SolveSteps::LogEntry> entries_;
};

// "A -> B" kept on one line: an arrow split over two reads as two words.
QString UnbrokenArrows(QString text) {
    return text.replace(QStringLiteral(" -> "), QStringLiteral("\u00A0-\u2060>\u00A0"));
}

// Without the window's mouse hint for an image or a handout.
std::vector<kav::LegendEntry> LegendEntries(bool inWindow = true) {
    std::vector<kav::LegendEntry> entries = {
        {StepColours::Current, QStringLiteral("dotted: link being brought into kilter")},
        {StepColours::Tree, QStringLiteral("labelled through")},
        {StepColours::Labelled, QStringLiteral("labelled node")},
        {StepColours::Cycle, QStringLiteral("flow change: solid rises, dashed falls")},
        {StepColours::Raised,
         QStringLiteral("potential rises (+rise); dash-dot: next label goes through")},
        {kav::PictureColours::CutFill, QStringLiteral("nodes of the cut")},
        {QColor(), QStringLiteral("links: flow, rc reduced cost")},
        {QColor(), QStringLiteral("nodes: p potential")},
        {QColor(), QStringLiteral("thick border: labelling start")}};
    if (inWindow)
        entries.push_back(
            {QColor(), QStringLiteral("wheel: zoom, drag: move, double-click: whole picture")});
    return entries;
}

QString LegendText(bool inWindow = true) {
    QStringList parts;
    for (const kav::LegendEntry& entry : LegendEntries(inWindow))
        parts << (entry.swatch.isValid() ? LegendSwatch(entry.swatch, entry.text)
                                         : Unbroken(entry.text));
    return parts.join(QStringLiteral(" &nbsp; "));
}

}  // namespace

TFMStepThrough::TFMStepThrough(kav::Prompts& prompts, const kav::ProtectedFiles& protectedFiles,
                               QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), protectedFiles_(protectedFiles) {
    setObjectName(QStringLiteral("FMStepThrough"));
    setWindowTitle(QStringLiteral("KAVRILON Step Through"));
    setAttribute(Qt::WA_QuitOnClose, false);
    CreateControls();
    LayOutControls();
    ConnectHandlers();
    SpeedSliderChange();
    resize(FitOnScreen(QSize(1180, 940)));
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
    previousLinkButton_ = NewButton(QStringLiteral("Previous Lin&k"),
                                    QStringLiteral("Back to the last link found out of kilter"),
                                    QStringLiteral("PreviousLinkButton"), this);
    nextBreakthroughButton_ = NewButton(QStringLiteral("Next Break&through"),
                                        QStringLiteral("On to the next flow change"),
                                        QStringLiteral("NextBreakthroughButton"), this);
    previousBreakthroughButton_ = NewButton(QStringLiteral("Pre&vious Breakthrough"),
                                            QStringLiteral("Back to the last flow change"),
                                            QStringLiteral("PreviousBreakthroughButton"), this);
    nextChangeButton_ = NewButton(QStringLiteral("Next &Potential Change"),
                                  QStringLiteral("On to the next potential change"),
                                  QStringLiteral("NextChangeButton"), this);
    previousChangeButton_ = NewButton(QStringLiteral("Previous Potential C&hange"),
                                      QStringLiteral("Back to the last potential change"),
                                      QStringLiteral("PreviousChangeButton"), this);
    exportButton_ =
        NewButton(QStringLiteral("E&xport Step..."),
                  QStringLiteral("Save this step as a PNG or SVG image: the picture with "
                                 "its marks, the legend and the sentence"),
                  QStringLiteral("ExportStepButton"), this);
    handoutButton_ = NewButton(QStringLiteral("Hando&ut..."),
                               QStringLiteral("Save the steps chosen beside it as an HTML handout"),
                               QStringLiteral("HandoutButton"), this);
    for (QPushButton* button :
         {previousLinkButton_, nextBreakthroughButton_, previousBreakthroughButton_,
          nextChangeButton_, previousChangeButton_, exportButton_, handoutButton_})
        button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    handoutFrom_ = new QSpinBox(this);
    handoutFrom_->setObjectName(QStringLiteral("HandoutFrom"));
    handoutTo_ = new QSpinBox(this);
    handoutTo_->setObjectName(QStringLiteral("HandoutTo"));
    for (QSpinBox* end : {handoutFrom_, handoutTo_})
        end->setToolTip(
            QStringLiteral("The handout's first and last steps; at first the whole run"));
    goToStep_ = new QSpinBox(this);
    goToStep_->setObjectName(QStringLiteral("GoToStep"));
    goToStep_->setAccessibleName(QStringLiteral("Go to step"));
    goToStep_->setToolTip(QStringLiteral("Type a step number and press Enter"));
    goToStep_->setKeyboardTracking(false);
    speedText_ = new QLabel(this);
    speedText_->setObjectName(QStringLiteral("SpeedText"));
    candidates_ = new QPlainTextEdit(this);
    candidates_->setObjectName(QStringLiteral("Candidates"));
    candidates_->setAccessibleName(QStringLiteral("Candidates for delta"));
    candidates_->setReadOnly(true);
    candidates_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    candidates_->setPlaceholderText(
        QStringLiteral("At a potential change: the links across the labelled set"));
    kilterDiagram_ = new KilterDiagram(this);
    kilterDiagram_->setObjectName(QStringLiteral("KilterDiagram"));
    kilterDiagram_->setAccessibleName(QStringLiteral("Kilter diagram"));
    log_ = new QListView(this);
    log_->setObjectName(QStringLiteral("StepLog"));
    log_->setAccessibleName(QStringLiteral("Step log"));
    log_->setModel(new StepLogModel(log_));
    log_->setUniformItemSizes(true);
    log_->setEditTriggers(QAbstractItemView::NoEditTriggers);
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
    // Node names are shown as they are, never read as markup.
    text_->setTextFormat(Qt::PlainText);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setFrameShape(QFrame::StyledPanel);
    text_->setMargin(4);
    // At least three lines, so that the picture mostly keeps its place as the
    // texts change; a longer sentence makes the pane grow, never cut.
    text_->setMinimumHeight(3 * text_->fontMetrics().lineSpacing() + 10);
    QSizePolicy textPolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    textPolicy.setHeightForWidth(true);
    text_->setSizePolicy(textPolicy);
    legend_ = new QLabel(this);
    legend_->setObjectName(QStringLiteral("StepLegend"));
    legend_->setWordWrap(true);
    legend_->setText(LegendText());
    canvas_ = new StepCanvas(drawing_, this);
    canvas_->setObjectName(QStringLiteral("StepPicture"));
    playTimer_ = new QTimer(this);
}

QLabel* BuddyLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    NameByLabel(label, buddy);
    return label;
}

// The steps' controls, Export Step and Go to step; the jumps; Play, the speed, the
// handout's steps and Close;
// the counter and the step in words; the legend; the picture beside the kilter diagram,
// the candidates for delta and the step log.
void TFMStepThrough::LayOutControls() {
    auto* stepRow = new QHBoxLayout;
    for (QPushButton* button :
         {restartButton_, backButton_, stepButton_, nextLinkButton_, endButton_})
        stepRow->addWidget(button);
    stepRow->addStretch();
    stepRow->addWidget(exportButton_);
    stepRow->addWidget(BuddyLabel(QStringLiteral("&Go to step:"), goToStep_, this));
    stepRow->addWidget(goToStep_);
    auto* jumpRow = new QHBoxLayout;
    for (QPushButton* button : {previousLinkButton_, previousBreakthroughButton_,
                                nextBreakthroughButton_, previousChangeButton_, nextChangeButton_})
        jumpRow->addWidget(button);
    jumpRow->addStretch();
    auto* playRow = new QHBoxLayout;
    playRow->addWidget(playButton_);
    playRow->addWidget(BuddyLabel(QStringLiteral("Spee&d:"), speedSlider_, this));
    playRow->addWidget(speedSlider_);
    playRow->addWidget(speedText_);
    playRow->addStretch();
    playRow->addWidget(BuddyLabel(QStringLiteral("&From step:"), handoutFrom_, this));
    playRow->addWidget(handoutFrom_);
    playRow->addWidget(BuddyLabel(QStringLiteral("t&ill step:"), handoutTo_, this));
    playRow->addWidget(handoutTo_);
    playRow->addWidget(handoutButton_);
    playRow->addWidget(closeButton_);

    auto* side = new QWidget(this);
    side->setMinimumWidth(220);
    side->setMaximumWidth(380);
    auto* sideColumn = new QVBoxLayout(side);
    sideColumn->setContentsMargins(0, 0, 0, 0);
    sideColumn->addWidget(kilterDiagram_);
    sideColumn->addWidget(new QLabel(QStringLiteral("Candidates for delta:"), side));
    sideColumn->addWidget(candidates_, 1);
    sideColumn->addWidget(BuddyLabel(QStringLiteral("Step l&og:"), log_, side));
    sideColumn->addWidget(log_, 2);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(canvas_);
    split->addWidget(side);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);

    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    column->addLayout(stepRow);
    column->addLayout(jumpRow);
    column->addLayout(playRow);
    column->addWidget(counter_);
    column->addWidget(text_);
    column->addWidget(legend_);
    column->addWidget(split, 1);
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
    ConnectGuarded(prompts_, previousLinkButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::PreviousLinkButtonClick);
    ConnectGuarded(prompts_, nextBreakthroughButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::NextBreakthroughButtonClick);
    ConnectGuarded(prompts_, previousBreakthroughButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::PreviousBreakthroughButtonClick);
    ConnectGuarded(prompts_, nextChangeButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::NextChangeButtonClick);
    ConnectGuarded(prompts_, previousChangeButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::PreviousChangeButtonClick);
    ConnectGuarded(prompts_, goToStep_, &QSpinBox::editingFinished, this,
                   &TFMStepThrough::GoToStepEdited);
    ConnectGuarded(prompts_, log_, &QListView::clicked, this, &TFMStepThrough::LogClicked);
    ConnectGuarded(prompts_, log_, &QListView::activated, this, &TFMStepThrough::LogClicked);
    ConnectGuarded(prompts_, exportButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::ExportStepButtonClick);
    ConnectGuarded(prompts_, handoutButton_, &QPushButton::clicked, this,
                   &TFMStepThrough::HandoutButtonClick);
    // The arrows step wherever the focus is, except on the speed slider,
    // which they move as they move every slider.
    auto* right = new QShortcut(QKeySequence(Qt::Key_Right), this);
    ConnectGuarded(prompts_, right, &QShortcut::activated, this, [this] { ArrowKey(true); });
    auto* left = new QShortcut(QKeySequence(Qt::Key_Left), this);
    ConnectGuarded(prompts_, left, &QShortcut::activated, this, [this] { ArrowKey(false); });
}

void TFMStepThrough::ShowSteps(const kav::Workspace& asSolved, PictureResultPtr layout,
                               const QWidget* beside) {
    // Open already: to the front at the step it shows.
    if (isVisible() && steps_) {
        raise();
        activateWindow();
        return;
    }
    kav::GuardHandler(prompts_, [&] {
        Pause();
        steps_.reset();
        steps_ = std::make_unique<kav::SolveSteps>(asSolved);
        shown_ = std::make_unique<kav::Workspace>(asSolved);
        layout_ = std::move(layout);
        drawnFor_.reset();
        static_cast<StepLogModel*>(log_->model())->Reset(steps_.get());
        const int last = static_cast<int>(std::max<std::size_t>(steps_->Count(), 1));
        for (QSpinBox* box : {goToStep_, handoutFrom_, handoutTo_})
            box->setRange(1, last);
        handoutFrom_->setValue(1);
        handoutTo_->setValue(last);
        ShowStep();
    });
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    // Beside the picture window where the screen has room for the picture
    // here to be read, else on the side with more room.
    canvas_->setMinimumWidth(FitOnScreen(QSize(PictureLeast, 0)).width() - 40);
    if (!isVisible())
        PlaceBeside(this, beside, BesideFallback::RoomierSide);
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
    return text_->text().replace(QStringLiteral("\u00A0-\u2060>\u00A0"), QStringLiteral(" -> "));
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
    const kav::SolveEvent* following = atEnd ? nullptr : &next;
    const QString sentence = UnbrokenArrows(FromBytes(kav::StepText(ws, state, event, following)));
    text_->setText(sentence);
    AnnounceText(text_, sentence);
    counter_->setText(
        QString::fromStdString(kav::StepCounter(ws, state, steps_->Count(), event.Kind)));
    for (QPushButton* button : {restartButton_, backButton_, previousLinkButton_,
                                previousBreakthroughButton_, previousChangeButton_})
        button->setEnabled(!steps_->AtStart());
    for (QPushButton* button :
         {stepButton_, nextLinkButton_, endButton_, nextBreakthroughButton_, nextChangeButton_})
        button->setEnabled(!atEnd);
    ShowSidePanels(event);
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
    overlay.marks = kav::MarksOfStep(ws, state, event, following);
    overlay.labels.assign(static_cast<std::size_t>(ws.NodeCount) + 1, QString());
    for (const int32_t n : overlay.marks.labelledNodes)
        overlay.labels[static_cast<std::size_t>(n)] = FromBytes(kav::LabelTag(state, n));
    canvas->MarksChanged();
}

// The kilter diagram, the candidates for delta and the step log's line.
void TFMStepThrough::ShowSidePanels(const kav::SolveEvent& event) {
    const kav::StepState& state = steps_->State();
    const kav::Workspace& problem = steps_->Problem();
    const QSignalBlocker blocked(goToStep_);
    goToStep_->setValue(static_cast<int>(state.applied));
    const int32_t link = event.Kind == kav::SolveEventKind::Done ? 0 : state.link;
    static_cast<KilterDiagram*>(kilterDiagram_)
        ->Show(link, link > 0 ? problem.LinkLower[link] : 0, link > 0 ? problem.LinkUpper[link] : 0,
               link > 0 ? steps_->KilterPath() : std::vector<std::pair<int64_t, int64_t>>());
    QString lines;
    for (const std::string& line : kav::CandidateLines(problem, state, event))
        lines += FromBytes(line) + QLatin1Char('\n');
    candidates_->setPlainText(UnbrokenArrows(lines.trimmed()));
    const auto* model = static_cast<const StepLogModel*>(log_->model());
    const QModelIndex row = model->index(model->RowOf(state.applied));
    log_->setCurrentIndex(row);
    log_->scrollTo(row);
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
    // Room around the outer nodes for their potentials and labels.
    const int note = kav::LabelFont().pixelSize() + 4;
    drawing_.bounds.adjust(-3 * note, -note, 3 * note, note);
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

// kind: a SolveEventKind.
void TFMStepThrough::Jump(bool forward, int kind) {
    if (!steps_)
        return;
    Pause();
    const auto wanted = static_cast<kav::SolveEventKind>(kind);
    if (forward)
        steps_->GoToNext(wanted);
    else
        steps_->GoToPrevious(wanted);
    ShowStep();
}

void TFMStepThrough::PreviousLinkButtonClick() {
    Jump(false, static_cast<int>(kav::SolveEventKind::Link));
}

void TFMStepThrough::NextBreakthroughButtonClick() {
    Jump(true, static_cast<int>(kav::SolveEventKind::Augment));
}

void TFMStepThrough::PreviousBreakthroughButtonClick() {
    Jump(false, static_cast<int>(kav::SolveEventKind::Augment));
}

void TFMStepThrough::NextChangeButtonClick() {
    Jump(true, static_cast<int>(kav::SolveEventKind::Potentials));
}

void TFMStepThrough::PreviousChangeButtonClick() {
    Jump(false, static_cast<int>(kav::SolveEventKind::Potentials));
}

void TFMStepThrough::GoToStepEdited() {
    if (!steps_ || static_cast<std::size_t>(goToStep_->value()) == steps_->State().applied)
        return;
    Pause();
    steps_->GoTo(static_cast<std::size_t>(goToStep_->value()));
    ShowStep();
}

// The line clicked or chosen with Enter is the current one.
void TFMStepThrough::LogClicked() {
    const QModelIndex index = log_->currentIndex();
    if (!steps_ || !index.isValid())
        return;
    Pause();
    steps_->GoTo(static_cast<const StepLogModel*>(log_->model())->LastStep(index.row()));
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
    const double perSecond = 1000.0 / PlayIntervals[index - 1];
    speedText_->setText(
        QStringLiteral("%1 steps/s").arg(perSecond, 0, 'f', perSecond < 10 ? 1 : 0));
}

// The picture with the step's marks at scale, under the sentence and the
// legend when withText (a handout has its sentences as text).
QImage TFMStepThrough::StepImage(double scale, bool withText) const {
    const QRectF bounds = drawing_.bounds;
    constexpr double Margin = 8;
    const double width = std::max(bounds.width(), withText ? StepImageLeast : 0.0) + 2 * Margin;
    QTextDocument sentence, legend;
    sentence.setDefaultFont(text_->font());
    sentence.setPlainText(withText ? StepText() : QString());
    legend.setDefaultFont(legend_->font());
    legend.setHtml(withText ? LegendText(false) : QString());
    for (QTextDocument* document : {&sentence, &legend})
        document->setTextWidth(width - 2 * Margin);
    const double textHeight =
        withText ? sentence.size().height() + legend.size().height() + Margin : 0.0;
    QImage image(static_cast<int>(std::ceil(width * scale)),
                 static_cast<int>(std::ceil((textHeight + bounds.height() + 2 * Margin) * scale)),
                 QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(Margin, Margin);
    if (withText) {
        sentence.drawContents(&painter);
        painter.translate(0, sentence.size().height());
        legend.drawContents(&painter);
        painter.translate(0, legend.size().height() + Margin);
    }
    painter.translate((width - 2 * Margin - bounds.width()) / 2 - bounds.left(), -bounds.top());
    static_cast<StepCanvas*>(canvas_)->PaintAll(painter);
    return image;
}

// PNG or SVG by the name's ending.
void TFMStepThrough::ExportStepButtonClick() {
    if (!steps_ || !layout_)
        return;
    kav::FileQuestionsThrough questions(prompts_);
    const std::string fileName = kav::ChooseFileToWrite(
        questions,
        WindowFileToWrite(protectedFiles_.Names(),
                          {"Save this step",
                           {{"PNG Images", "*.png"}, {"SVG Images", "*.svg"}, {"All Files", "*.*"}},
                           "step" + std::to_string(steps_->State().applied) + ".png"}));
    if (fileName.empty())
        return;
    if (QString::fromStdString(fileName).endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        const kav::SvgHeading heading{StepText(), LegendEntries(false), StepImageLeast};
        ReportWritten(QStringLiteral("The step"), fileName,
                      kav::WriteFile(fileName, static_cast<StepCanvas*>(canvas_)->Svg(heading),
                                     protectedFiles_.Names()));
        return;
    }
    const QImage image = StepImage(kav::FittingPngScale(drawing_, 2.0), true);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) {
        prompts_.Message(kav::MsgKind::Error, kav::MsgButtons::Ok,
                         Utf8(QStringLiteral("The step could not be drawn.")));
        return;
    }
    ReportWritten(QStringLiteral("The step"), fileName,
                  kav::WriteFile(fileName, bytes.toStdString(), protectedFiles_.Names()));
}

// Every step but the labels from the first step chosen to the last, in
// words, each breakthrough and potential change with its picture, as one HTML
// file with its pictures inside.
std::string TFMStepThrough::Handout() {
    const std::size_t shown = steps_->State().applied;
    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Step Through</title>\n"
        "<style>body{font-family:sans-serif;font-size:10pt;max-width:48em}"
        "p{margin:.3em 0}div{display:flex;gap:1em;align-items:flex-start;break-inside:avoid}"
        "div p{flex:1}img{max-height:15em;max-width:45%}</style></head><body>\n"
        "<h1>Step Through</h1>\n<p>");
    html += LegendText(false) + QStringLiteral("</p>\n");
    const int from = handoutFrom_->value(), to = handoutTo_->value();
    const auto first = static_cast<std::size_t>(std::min(from, to));
    const auto last = static_cast<std::size_t>(std::max(from, to));
    if (first > 1 || last < steps_->Count())
        html += QStringLiteral("<p>Steps %1 to %2 of %3.</p>\n")
                    .arg(first)
                    .arg(last)
                    .arg(steps_->Count());
    for (const kav::SolveSteps::LogEntry& entry : steps_->Log()) {
        if (entry.first < first || entry.first > last)
            continue;
        const kav::SolveEvent event = steps_->Event(entry.first - 1);
        if (event.Kind == kav::SolveEventKind::Label)
            continue;
        steps_->GoTo(entry.first);
        ShowStep();
        html += QStringLiteral("<div><p><b>%1.</b> %2</p>")
                    .arg(entry.first)
                    .arg(StepText().toHtmlEscaped());
        if (layout_ && (event.Kind == kav::SolveEventKind::Augment ||
                        event.Kind == kav::SolveEventKind::Potentials)) {
            const QImage picture = StepImage(HandoutScale, false);
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (!picture.isNull() && picture.save(&buffer, "PNG"))
                html += QStringLiteral("<img alt=\"step %1\" src=\"data:image/png;base64,%2\">")
                            .arg(entry.first)
                            .arg(QString::fromLatin1(bytes.toBase64()));
        }
        html += QStringLiteral("</div>\n");
    }
    steps_->GoTo(shown);
    ShowStep();
    return Utf8(html + QStringLiteral("</body></html>\n"));
}

void TFMStepThrough::HandoutButtonClick() {
    if (!steps_)
        return;
    Pause();
    kav::FileQuestionsThrough questions(prompts_);
    const std::string fileName = kav::ChooseFileToWrite(
        questions, WindowFileToWrite(protectedFiles_.Names(),
                                     {"Save the handout",
                                      {{"HTML Files", "*.html"}, {"All Files", "*.*"}},
                                      "handout.html"}));
    if (fileName.empty())
        return;
    ReportWritten(QStringLiteral("The handout"), fileName,
                  kav::WriteFile(fileName, Handout(), protectedFiles_.Names()));
}

void TFMStepThrough::ReportWritten(const QString& what, const std::string& fileName,
                                   const kav::WriteResult& written) {
    const QString shown = ShownFileName(fileName);
    if (written)
        prompts_.Message(kav::MsgKind::Information, kav::MsgButtons::Ok,
                         Utf8(QStringLiteral("%1 was written to\r%2").arg(what, shown)));
    else
        prompts_.Message(kav::MsgKind::Error, kav::MsgButtons::Ok,
                         Utf8(QStringLiteral("%1 could not be written to\r%2\r(%3)")
                                  .arg(what, shown, QString::fromStdString(written.Reason()))));
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
    static_cast<StepLogModel*>(log_->model())->Reset(nullptr);
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

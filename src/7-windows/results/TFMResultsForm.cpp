#include "results/TFMResultsForm.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStringListModel>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/Accessibility.h"
#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "gui/PickList.h"
#include "gui/Placement.h"
#include "results/ReportPreview.h"
#include "results/ReportPrinting.h"
#include "results/ResultCsv.h"
#include "solver/LastSolve.h"
#include "solver/Session.h"
#include "solver/SolveRun.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

QLabel* NewLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// A read-only list of fixed-pitch lines. Uniform item sizes let the view lay
// out tens of thousands of lines without measuring each one.
QListView* NewLineList(QStringListModel* lines, const QString& name, QWidget* parent) {
    auto* list = new PickList<QListView>(parent);
    list->setObjectName(name);
    list->setModel(lines);
    list->setFont(FixedPitchFont());
    list->setUniformItemSizes(true);
    SizeLinesByLongest(list);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QStringList ToQStringList(const std::vector<std::string>& lines) {
    QStringList result;
    result.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        result.append(FromBytes(line));
    return result;
}

// A hidden warning keeps its place, so the lists do not jump when it shows.
void KeepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// The window's height goes to the lists by their stretch alone, whatever the
// lines they hold, down to a few lines each.
void TakeHeightByStretch(QWidget* widget, int minimumHeight) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setVerticalPolicy(QSizePolicy::Ignored);
    widget->setSizePolicy(policy);
    widget->setMinimumHeight(minimumHeight);
}

// The line of row as a screen reader speaks it; empty for a line that lists
// no link or node ("<<< NO LINKS >>>").
template <class SpeakLine>
QString SpokenLine(const kav::Workspace& ws, const std::vector<int32_t>& numbers, int row,
                   int32_t count, SpeakLine speakLine) {
    if (row < 0 || static_cast<std::size_t>(row) >= numbers.size())
        return {};
    const int32_t number = numbers[static_cast<std::size_t>(row)];
    return number >= 1 && number <= count ? FromBytes(speakLine(ws, number)) : QString();
}

void ScrollToTop(QListView* list) {
    list->scrollToTop();
    list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->minimum());
}

}  // namespace

TFMResultsForm::TFMResultsForm(kav::Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("FMResultsForm"));
    setWindowTitle(QStringLiteral("KAVRILON Results Form"));
    RemoveTitleBarButtons(this);
    CreateControls();
    LayOutControls();
    AlignHeadings();
    SetFocusOrder();
    ConnectHandlers();
    resize(FitOnScreen(QSize(780, 720)));
}

TFMResultsForm::~TFMResultsForm() = default;

void TFMResultsForm::CreateControls() {
    label1_ = NewLabel(QStringLiteral("Link Information"), QStringLiteral("Label1"), this);
    linkInfoLabel_ =
        NewLabel(QString::fromLatin1(kav::LinkHeading), QStringLiteral("LinkInfoLabel"), this);
    linkInfoLabel_->setFont(FixedPitchFont());
    linkLines_ = new SpokenLines(
        [this](int row) {
            return SpokenLine(session_.ws, lists_.linkNumbers, row, session_.ws.LinkCount,
                              kav::SpokenLinkLine);
        },
        this);
    linkList_ = NewLineList(linkLines_, QStringLiteral("LinkList"), this);
    linkList_->setToolTip(QStringLiteral("Out of kilter links shown with an asterisk (*)"));

    outOfKilterLabel_ = NewLabel(QString::fromLatin1(kav::OutOfKilterNote),
                                 QStringLiteral("OutOfKilterLabel"), this);
    QFont bold = outOfKilterLabel_->font();
    bold.setBold(true);
    outOfKilterLabel_->setFont(bold);
    PaintText(outOfKilterLabel_, Colours::Red);
    KeepPlaceWhenHidden(outOfKilterLabel_);

    label2_ = NewLabel(QStringLiteral("Node Information"), QStringLiteral("Label2"), this);
    nodeInfoLabel_ =
        NewLabel(QString::fromLatin1(kav::NodeHeading), QStringLiteral("NodeInfoLabel"), this);
    nodeInfoLabel_->setFont(FixedPitchFont());
    nodeLines_ = new SpokenLines(
        [this](int row) {
            return SpokenLine(session_.ws, lists_.nodeNumbers, row, session_.ws.NodeCount,
                              kav::SpokenNodeLine);
        },
        this);
    nodeList_ = NewLineList(nodeLines_, QStringLiteral("NodeList"), this);
    NameByLabel(label1_, linkList_);
    NameByLabel(label2_, nodeList_);

    kilterWarning_ = NewLabel(QString::fromLatin1(kav::KilterWarningText),
                              QStringLiteral("KilterWarning"), this);
    kilterWarning_->setFont(bold);
    kilterWarning_->setAlignment(Qt::AlignCenter);
    kilterWarning_->setWordWrap(true);
    kilterWarning_->setToolTip(
        QStringLiteral("Out of kilter links shown with an asterisk (*) above"));
    PaintText(kilterWarning_, Colours::Maroon);
    KeepPlaceWhenHidden(kilterWarning_);

    costLabel_ = NewLabel(QString(), QStringLiteral("CostLabel"), this);
    costLabel_->setFont(bold);
    costLabel_->setAlignment(Qt::AlignCenter);
    // Shown only while the last solve produced the flows listed.
    optimalityLabel_ = NewLabel(QString(), QStringLiteral("OptimalityLabel"), this);
    optimalityLabel_->setAlignment(Qt::AlignCenter);
    optimalityLabel_->hide();

    linkSelector_ = new QGroupBox(QStringLiteral("Select Links to Show"), this);
    linkSelector_->setObjectName(QStringLiteral("LinkSelector"));
    linkSelector_->setToolTip(QStringLiteral(
        "Specify whether all links or only links with non-zero flow are to be shown"));
    allLinksChoice_ = new QRadioButton(QStringLiteral("&All links"), linkSelector_);
    allLinksChoice_->setObjectName(QStringLiteral("AllLinksChoice"));
    nonZeroChoice_ = new QRadioButton(QStringLiteral("&Non-zero flow links only"), linkSelector_);
    nonZeroChoice_->setObjectName(QStringLiteral("NonZeroChoice"));
    linkChoices_ = new QButtonGroup(this);
    linkChoices_->addButton(allLinksChoice_, 0);
    linkChoices_->addButton(nonZeroChoice_, 1);
    allLinksChoice_->setChecked(true);

    inputOrderButton_ =
        NewButton(QStringLiteral("Display in &Input Order"),
                  QStringLiteral("Display the links in the order in which they were input"),
                  QStringLiteral("InputOrderButton"), this);
    originOrderButton_ =
        NewButton(QStringLiteral("Display in &Origin Order"),
                  QStringLiteral("Display the links in the order of the origin names"),
                  QStringLiteral("OriginOrderButton"), this);
    destOrderButton_ =
        NewButton(QStringLiteral("Display in &Dest Order"),
                  QStringLiteral("Display the links in the order of the destination names"),
                  QStringLiteral("DestOrderButton"), this);
    printButton_ = NewButton(QStringLiteral("&Print Lists"), QStringLiteral("Print the results"),
                             QStringLiteral("PrintButton"), this);
    previewButton_ =
        NewButton(QStringLiteral("Pre&view..."),
                  QStringLiteral("Show the printed pages with the paper of Printer Setup"),
                  QStringLiteral("PreviewButton"), this);
    previewButton_->setAccessibleName(QStringLiteral("Preview..."));
    exportButton_ = NewButton(QStringLiteral("&Export..."),
                              QStringLiteral("Write the listed results to a CSV file"),
                              QStringLiteral("ExportButton"), this);
    quitButton_ =
        NewButton(QStringLiteral("&Quit"), QStringLiteral("Quit and return to the Main Menu"),
                  QStringLiteral("QuitButton"), this);
    networkPictureButton_ = NewButton(QStringLiteral("Net&work Picture"),
                                      QStringLiteral("Show the network and its flows as a picture"),
                                      QStringLiteral("NetworkPictureButton"), this);
    cutButton_ = NewButton(QStringLiteral("C&ut..."),
                           QStringLiteral("Show why the last run found no feasible flow"),
                           QStringLiteral("CutButton"), this);
    whatIfButton_ = NewButton(QStringLiteral("What I&f..."),
                              QStringLiteral("How far each cost and bound can move before the "
                                             "plan changes, and what a unit more is worth"),
                              QStringLiteral("WhatIfButton"), this);
}

// Link list in the upper half, node list with the kilter warning beside it in
// the lower half, then the total, the link selector and the buttons. The two
// lists share the height left by the rest equally at every size, so the link
// list is never the smaller one.
void TFMResultsForm::LayOutControls() {
    const int fewLines = 3 * QFontMetrics(linkList_->font()).lineSpacing() + 8;
    TakeHeightByStretch(linkList_, fewLines);
    TakeHeightByStretch(nodeList_, fewLines);
    TakeHeightByStretch(kilterWarning_, 0);

    auto* nodeRow = new QHBoxLayout;
    nodeRow->addWidget(nodeList_, 3);
    nodeRow->addWidget(kilterWarning_, 1);

    auto* choices = new QHBoxLayout(linkSelector_);
    choices->addWidget(allLinksChoice_);
    choices->addWidget(nonZeroChoice_);
    choices->addStretch();

    // One grid of equal columns: the second row's buttons (later additions)
    // are as wide as the first row's.
    auto* buttons = new QGridLayout;
    const QList<QPushButton*> firstRow = {inputOrderButton_, originOrderButton_, destOrderButton_,
                                          printButton_, quitButton_};
    const QList<QPushButton*> secondRow = {exportButton_, networkPictureButton_, cutButton_,
                                           previewButton_, whatIfButton_};
    for (qsizetype k = 0; k < firstRow.size(); ++k) {
        buttons->addWidget(firstRow[k], 0, static_cast<int>(k));
        buttons->setColumnStretch(static_cast<int>(k), 1);
    }
    for (qsizetype k = 0; k < secondRow.size(); ++k)
        buttons->addWidget(secondRow[k], 1, static_cast<int>(k));

    auto* page = new QVBoxLayout(this);
    page->addWidget(label1_);
    page->addWidget(linkInfoLabel_);
    page->addWidget(linkList_, 1);
    page->addWidget(outOfKilterLabel_);
    page->addWidget(label2_);
    page->addWidget(nodeInfoLabel_);
    page->addLayout(nodeRow, 1);
    page->addWidget(costLabel_);
    page->addWidget(optimalityLabel_);
    page->addWidget(linkSelector_);
    page->addLayout(buttons);
}

// The column headings start where the list items' text starts, so that the
// columns line up under them.
void TFMResultsForm::AlignHeadings() {
    const int textStart =
        linkList_->frameWidth() + style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    linkInfoLabel_->setIndent(textStart);
    nodeInfoLabel_->setIndent(textStart);
}

void TFMResultsForm::SetFocusOrder() {
    const QList<QWidget*> order = {quitButton_,       linkList_,          nodeList_,
                                   inputOrderButton_, originOrderButton_, destOrderButton_,
                                   allLinksChoice_,   nonZeroChoice_,     printButton_,
                                   previewButton_,    exportButton_,      networkPictureButton_,
                                   cutButton_,        whatIfButton_};
    for (qsizetype k = 1; k < order.size(); ++k)
        setTabOrder(order[k - 1], order[k]);
    quitButton_->setFocus();
}

void TFMResultsForm::ConnectHandlers() {
    ConnectGuarded(session_.prompts(), inputOrderButton_, &QPushButton::clicked, this,
                   &TFMResultsForm::InputOrderButtonClick);
    ConnectGuarded(session_.prompts(), originOrderButton_, &QPushButton::clicked, this,
                   &TFMResultsForm::OriginOrderButtonClick);
    ConnectGuarded(session_.prompts(), destOrderButton_, &QPushButton::clicked, this,
                   &TFMResultsForm::DestOrderButtonClick);
    ConnectGuarded(session_.prompts(), linkChoices_, &QButtonGroup::idClicked, this,
                   &TFMResultsForm::LinkSelectorClick);
    ConnectGuarded(session_.prompts(), printButton_, &QPushButton::clicked, this,
                   &TFMResultsForm::PrintButtonClick);
    ConnectGuarded(session_.prompts(), previewButton_, &QPushButton::clicked, this,
                   &TFMResultsForm::PreviewButtonClick);
    ConnectGuarded(session_.prompts(), quitButton_, &QPushButton::clicked, this,
                   &TFMResultsForm::QuitButtonClick);
    ConnectGuarded(session_.prompts(), exportButton_, &QPushButton::clicked, this,
                   &TFMResultsForm::ExportButtonClick);
    ConnectGuarded(session_.prompts(), networkPictureButton_, &QPushButton::clicked, this,
                   &TFMResultsForm::NetworkPictureButtonClick);
    ConnectGuarded(session_.prompts(), cutButton_, &QPushButton::clicked, this,
                   &TFMResultsForm::CutButtonClick);
    ConnectGuarded(session_.prompts(), whatIfButton_, &QPushButton::clicked, this,
                   &TFMResultsForm::WhatIfButtonClick);
    ConnectGuarded(session_.prompts(), linkList_->selectionModel(),
                   &QItemSelectionModel::currentChanged, this, &TFMResultsForm::LinkListChange);
}

// A window restored from the task bar is shown again by the platform; only
// showing it from the program rebuilds the lists.
void TFMResultsForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        kav::GuardHandler(session_.prompts(), [&] { FormShow(); });
}

// Clears a stale solution before the total is recomputed, so that the cost
// label and the lists describe the same (cleared) flows. Every showing starts
// at the top of both lists.
void TFMResultsForm::FormShow() {
    kav::Workspace& ws = session_.ws;
    linkLines_->setStringList({});
    nodeLines_->setStringList({});
    kav::ClearStaleSolution(ws, kav::SolutionUse::Listing);
    kav::ComputeTotalCost(ws);
    listOrder_ = kav::LinkOrder::Origin;
    ShowLists(kav::LinkOrder::Origin);
    ScrollToTop(linkList_);
    ScrollToTop(nodeList_);
    kav::NoteResultsShown(ws);
}

void TFMResultsForm::InputOrderButtonClick() {
    ShowInOrder(kav::LinkOrder::Input);
}
void TFMResultsForm::OriginOrderButtonClick() {
    ShowInOrder(kav::LinkOrder::Origin);
}
void TFMResultsForm::DestOrderButtonClick() {
    ShowInOrder(kav::LinkOrder::Dest);
}

// Clicking the choice that is already made changes nothing, so the lists keep
// their place.
void TFMResultsForm::LinkSelectorClick() {
    if (ShowAllLinks() != listedAllLinks_)
        ShowLists(listOrder_);
}

void TFMResultsForm::PrintButtonClick() {
    PrintReport(Report(), session_.prompts(), session_);
}

void TFMResultsForm::PreviewButtonClick() {
    PreviewReport(Report(), session_.printSetup, this);
}

// Writes what the lists show (order and selection) as a CSV file.
void TFMResultsForm::ExportButtonClick() {
    kav::FileQuestionsThrough questions(session_.prompts());
    kav::ExportResults(session_.ws, lists_, kav::CurrentSolution(session_),
                       session_.protectedFiles.Names(), questions)
        .ShowTo(session_.prompts());
}

void TFMResultsForm::closeEvent(QCloseEvent* event) {
    RefuseWindowSystemClose(event, session_.prompts());
}

void TFMResultsForm::QuitButtonClick() {
    hide();
    emit closed();
}

void TFMResultsForm::NetworkPictureButtonClick() {
    emit pictureRequested();
}

// Offered only while the current solution is infeasible (the button is
// disabled otherwise).
void TFMResultsForm::CutButtonClick() {
    if (kav::CurrentSolution(session_).Infeasible())
        emit cutRequested();
}

// Offered only while the last solve is current and optimal.
void TFMResultsForm::WhatIfButtonClick() {
    if (!kav::CurrentSolution(session_).Feasible())
        return;
    const int row = linkList_->currentIndex().row();
    const int32_t selected = row >= 0 && static_cast<std::size_t>(row) < lists_.linkNumbers.size()
                                 ? lists_.linkNumbers[static_cast<std::size_t>(row)]
                                 : 0;
    emit whatIfRequested(lists_.linkNumbers, selected);
}

void TFMResultsForm::ShowAgain() {
    FormShow();
}

// The lists know the link of each line (a number of five digits fills more
// than the line's first four places).
void TFMResultsForm::LinkListChange() {
    if (selectingFromCode_)
        return;
    const int row = linkList_->currentIndex().row();
    if (row >= 0 && row < linkLines_->rowCount() &&
        static_cast<std::size_t>(row) < lists_.linkNumbers.size())
        emit linkChosen(lists_.linkNumbers[static_cast<std::size_t>(row)]);
}

bool TFMResultsForm::SelectLink(int32_t link) {
    const std::vector<int32_t>& numbers = lists_.linkNumbers;
    const auto found = std::find(numbers.begin(), numbers.end(), link);
    const auto row = static_cast<int>(found - numbers.begin());
    if (found != numbers.end() && row < linkLines_->rowCount()) {
        selectingFromCode_ = true;
        linkList_->setCurrentIndex(linkLines_->index(row));
        linkList_->scrollTo(linkLines_->index(row));
        selectingFromCode_ = false;
        return true;
    }
    linkList_->clearSelection();
    return false;
}

// The lists know the node of each line: names need not be unique.
void TFMResultsForm::SelectNode(int32_t node) {
    const std::vector<int32_t>& numbers = lists_.nodeNumbers;
    const auto row =
        static_cast<int>(std::find(numbers.begin(), numbers.end(), node) - numbers.begin());
    if (row >= nodeLines_->rowCount())
        return;
    const QModelIndex index = nodeLines_->index(row);
    nodeList_->setCurrentIndex(index);
    nodeList_->scrollTo(index);
}

bool TFMResultsForm::ShowAllLinks() const {
    return allLinksChoice_->isChecked();
}

void TFMResultsForm::ShowInOrder(kav::LinkOrder order) {
    listOrder_ = order;
    ShowLists(order);
}

void TFMResultsForm::ShowLists(kav::LinkOrder order) {
    kav::Workspace& ws = session_.ws;
    linkLines_->setStringList({});
    nodeLines_->setStringList({});
    listedAllLinks_ = ShowAllLinks();
    builder_.Build(ws, order, listedAllLinks_, lists_);
    linkLines_->setStringList(ToQStringList(lists_.links));
    nodeLines_->setStringList(ToQStringList(lists_.nodes));
    // The total is written with the locale's separators, in UTF-8.
    costLabel_->setText(
        QString::fromStdString(kav::TotalCostText(ws.TotalCost, session_.separators)));
    outOfKilterLabel_->setVisible(lists_.WarningsShown());
    kilterWarning_->setVisible(lists_.WarningsShown());
    const kav::SolutionState solution = kav::CurrentSolution(session_);
    const kav::OptimalityLine claim = kav::OptimalityClaim(solution);
    optimalityLabel_->setText(QString::fromStdString(claim.text));
    PaintText(optimalityLabel_, claim.failed ? Colours::Red : Colours::Black);
    optimalityLabel_->setVisible(!claim.text.empty());
    cutButton_->setEnabled(solution.Infeasible());
    whatIfButton_->setEnabled(solution.Feasible());
}

// The report of what the window shows.
ReportText TFMResultsForm::Report() const {
    ReportText report;
    report.linkHeading = linkInfoLabel_->text();
    report.linkLines = linkLines_->stringList();
    report.nodeHeading = nodeInfoLabel_->text();
    report.nodeLines = nodeLines_->stringList();
    if (!outOfKilterLabel_->isHidden()) {
        report.outOfKilterNote = outOfKilterLabel_->text();
        report.kilterWarning = kilterWarning_->text();
    }
    report.totalCost = costLabel_->text();
    if (!optimalityLabel_->isHidden())
        report.optimality = optimalityLabel_->text();
    return report;
}

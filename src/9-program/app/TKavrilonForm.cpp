#include "app/TKavrilonForm.h"

#include <algorithm>

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/TAboutBoxKavrilon.h"
#include "editing/StepNames.h"
#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "gui/Hints.h"
#include "gui/ProgramPrinter.h"
#include "gui/ProgramSettings.h"
#include "gui/UndoKeys.h"
#include "solver/Session.h"
#include "workspace/ProblemFiles.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

const char* const DiscardQuestion =
    "Data NOT SAVED and/or Results NOT SHOWN ... WARNING ...\r"
    "Do you really want to continue?";
const char* const ExitQuestion = "Thanks for using KAVRILON.\rAre you sure you want to exit now?";
const char* const ExitNotice = "Exiting KAVRILON.";

const char* const HintsShownText = "Hints will be shown... Click to Hide";
const char* const HintsHiddenText = "Hints will be hidden... Click to Show";

QFrame* MakeBevel(const QString& name, QWidget* parent) {
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(name);
    bevel->setStyleSheet(QStringLiteral("QFrame#%1 { border: 2px groove #C0C0C0; }").arg(name));
    return bevel;
}

QLabel* MakeLimeLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    PaintText(label, Colours::Lime);
    return label;
}

// One row of a frame: the button and the label that explains it.
QPushButton* AddRow(QGridLayout* grid, const QString& name, const QString& caption,
                    const QString& hint, QLabel* label) {
    auto* button = new QPushButton(caption, grid->parentWidget());
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    const int row = grid->rowCount();
    grid->addWidget(button, row, 0);
    grid->addWidget(label, row, 1);
    return button;
}

QPushButton* AddRow(QGridLayout* grid, const QString& name, const QString& caption,
                    const QString& hint, const QString& labelText) {
    return AddRow(grid, name, caption, hint, MakeLimeLabel(labelText, grid->parentWidget()));
}

QGridLayout* FrameGrid(QFrame* bevel) {
    auto* grid = new QGridLayout(bevel);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    return grid;
}

}  // namespace

TKavrilonForm::TKavrilonForm(kav::Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("KavrilonForm"));
    setWindowTitle(QStringLiteral("KAVRILON Main Menu"));
    PaintBackground(this, Colours::Purple);
    setAcceptDrops(true);
    BuildWindow();
    FormCreate();
}

TKavrilonForm::~TKavrilonForm() = default;

void TKavrilonForm::BuildWindow() {
    auto* Panel1 = new QLabel(QStringLiteral("KAVRILON Main Menu"), this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setMinimumHeight(44);
    QFont titleFont = Panel1->font();
    titleFont.setBold(true);
    titleFont.setPointSize(16);
    Panel1->setFont(titleFont);
    PaintBackground(Panel1, Colours::White);
    PaintText(Panel1, Colours::Navy);

    GenerateButton = new QPushButton(QStringLiteral("&Gen Rand"), this);
    GenerateButton->setObjectName(QStringLiteral("GenerateButton"));
    GenerateButton->setAutoDefault(false);
    GenerateButton->setEnabled(false);
    GenerateButton->setVisible(false);

    auto* top = new QHBoxLayout;
    top->addWidget(Panel1, 1);
    top->addWidget(GenerateButton, 0, Qt::AlignTop);

    QFrame* Bevel2 = MakeBevel(QStringLiteral("Bevel2"), this);
    QGridLayout* first = FrameGrid(Bevel2);
    AboutButton = AddRow(first, QStringLiteral("AboutButton"), QStringLiteral("&About"),
                         QStringLiteral("Show the about box"), QStringLiteral("Show ABOUT Box"));
    HintShowLabel =
        MakeLimeLabel(QStringLiteral("Hints will be shown ... Click to HIDE Hints"), Bevel2);
    HintShowLabel->setObjectName(QStringLiteral("HintShowLabel"));
    HintShow = AddRow(first, QStringLiteral("HintShow"), QStringLiteral("Hide &Hints"),
                      QStringLiteral("Hide hints"), HintShowLabel);
    PrinterButton = AddRow(first, QStringLiteral("PrinterButton"), QStringLiteral("&Printer Setup"),
                           QStringLiteral("Setup the printer"),
                           QStringLiteral("You can set up the printer at any time"));

    QFrame* Bevel1 = MakeBevel(QStringLiteral("Bevel1"), this);
    QGridLayout* second = FrameGrid(Bevel1);
    ReadButton = AddRow(second, QStringLiteral("ReadButton"), QStringLiteral("&Load Data"),
                        QStringLiteral("Load the data from the disk"),
                        QStringLiteral("Load the data from the disk"));
    AddButton = AddRow(second, QStringLiteral("AddButton"), QStringLiteral("Add &New Links/Nodes"),
                       QStringLiteral("Add new links or nodes to the problem"),
                       QStringLiteral("Add nodes and links to a problem"));
    ZeroButton =
        AddRow(second, QStringLiteral("ZeroButton"), QStringLiteral("&Zero (delete) All Data"),
               QStringLiteral("Delete all problem data"),
               QStringLiteral("Delete all data from the workspace"));
    ChangeButton =
        AddRow(second, QStringLiteral("ChangeButton"), QStringLiteral("&Change/Remove links/nodes"),
               QStringLiteral("Change link parameters or Remove links"),
               QStringLiteral("Change or remove nodes or links"));
    RunButton = AddRow(second, QStringLiteral("RunButton"), QStringLiteral("&Run the algorithm"),
                       QStringLiteral("Run the OKF algorith"),
                       QStringLiteral("Run the Out-Of-Kilter algorithm"));
    DisplayButton = AddRow(
        second, QStringLiteral("DisplayButton"), QStringLiteral("&Display results"),
        QStringLiteral("Display (or print) the reults"), QStringLiteral("Display the results"));
    SaveButton =
        AddRow(second, QStringLiteral("SaveButton"), QStringLiteral("&Save problem description"),
               QStringLiteral("Save the problem to a disk"),
               QStringLiteral("Save the problem data to a disk"));
    ExitButton = AddRow(second, QStringLiteral("ExitButton"), QStringLiteral("&Exit KAVRILON"),
                        QStringLiteral("Exit the KAVRILON program"),
                        QStringLiteral("Exit the KAVRILON Program"));

    // One width for every button of the column, wide enough for the longest caption.
    int buttonWidth = 0;
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button != GenerateButton)
            buttonWidth = std::max(buttonWidth, button->sizeHint().width());
    }
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button != GenerateButton)
            button->setMinimumWidth(buttonWidth + 16);
    }
    // The hint label changes its text; keep room for the longest one.
    HintShowLabel->setMinimumWidth(
        HintShowLabel->fontMetrics().horizontalAdvance(HintShowLabel->text()) + 8);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 16);
    layout->setSpacing(14);
    layout->addLayout(top);
    layout->addWidget(Bevel2);
    layout->addWidget(Bevel1);
    undoKeys_ = new UndoKeys(this, session_);
    QFont bold = undoKeys_->Status()->font();
    bold.setBold(true);
    undoKeys_->Status()->setFont(bold);
    PaintText(undoKeys_->Status(), Colours::Lime);
    layout->addWidget(undoKeys_->Status());
    connect(undoKeys_, &UndoKeys::problemPutBack, this, &TKavrilonForm::ProblemPutBack);

    ConnectGuarded(session_.prompts(), AboutButton, &QPushButton::clicked, this,
                   &TKavrilonForm::AboutButtonClick);
    ConnectGuarded(session_.prompts(), HintShow, &QPushButton::clicked, this,
                   &TKavrilonForm::HintShowClick);
    ConnectGuarded(session_.prompts(), PrinterButton, &QPushButton::clicked, this,
                   &TKavrilonForm::PrinterButtonClick);
    ConnectGuarded(session_.prompts(), ReadButton, &QPushButton::clicked, this,
                   &TKavrilonForm::ReadButtonClick);
    ConnectGuarded(session_.prompts(), AddButton, &QPushButton::clicked, this,
                   &TKavrilonForm::AddButtonClick);
    ConnectGuarded(session_.prompts(), ZeroButton, &QPushButton::clicked, this,
                   &TKavrilonForm::ZeroButtonClick);
    ConnectGuarded(session_.prompts(), ChangeButton, &QPushButton::clicked, this,
                   &TKavrilonForm::ChangeButtonClick);
    ConnectGuarded(session_.prompts(), RunButton, &QPushButton::clicked, this,
                   &TKavrilonForm::RunButtonClick);
    ConnectGuarded(session_.prompts(), DisplayButton, &QPushButton::clicked, this,
                   &TKavrilonForm::DisplayButtonClick);
    ConnectGuarded(session_.prompts(), SaveButton, &QPushButton::clicked, this,
                   &TKavrilonForm::SaveButtonClick);
    ConnectGuarded(session_.prompts(), ExitButton, &QPushButton::clicked, this,
                   &TKavrilonForm::ExitButtonClick);
    ConnectGuarded(session_.prompts(), GenerateButton, &QPushButton::clicked, this,
                   &TKavrilonForm::GenerateButtonClick);

    SetProblemButtons(false);
    setFixedSize(sizeHint());
}

void TKavrilonForm::SetProblemButtons(bool enabled) {
    for (QPushButton* button : {ChangeButton, RunButton, DisplayButton, SaveButton}) {
        button->setEnabled(enabled);
    }
}

void TKavrilonForm::FormCreate() {
    kav::GuardHandler(session_.prompts(), [&] {
        splash_ = std::make_unique<TAboutBoxKavrilon>(session_.prompts());
        splash_->setObjectName(QStringLiteral("SplashAboutBox"));
        splash_->setAttribute(Qt::WA_QuitOnClose, false);
        splash_->MakeSplash();
        if (!splash_->AboutTimer()->isActive())
            splash_->AboutTimer()->start();
        kav::SetProblemSize(session_.ws, 0, 0);
    });
}

bool TKavrilonForm::ConfirmDiscard() {
    const kav::Workspace& ws = session_.ws;
    if (!ws.DataNotSaved && !ws.ResultsNotShown)
        return true;
    kav::Prompts& prompts = session_.prompts();
    prompts.Beep(kav::BeepCriticalStop);
    return prompts.Message(kav::MsgKind::Warning, kav::MsgButtons::YesNo, DiscardQuestion) ==
           kav::Answer::Yes;
}

void TKavrilonForm::AboutButtonClick() {
    emit aboutTimerStopRequested();
    hide();
    emit aboutBoxRequested();
}

void TKavrilonForm::HintShowClick() {
    SetHintsShown(!HintsShown());
    if (HintsShown()) {
        HintShowLabel->setText(QString::fromLatin1(HintsShownText));
        PaintText(HintShowLabel, Colours::Lime);
        HintShow->setText(QStringLiteral("Hide &Hints"));
    } else {
        HintShowLabel->setText(QString::fromLatin1(HintsHiddenText));
        PaintText(HintShowLabel, Colours::Yellow);
        HintShow->setText(QStringLiteral("Show &Hints"));
    }
}

// The printer (or PDF file) and page chosen here hold for the run; Print Lists
// uses them.
void TKavrilonForm::PrinterButtonClick() {
    RunPrinterSetup(session_.prompts(), session_.printSetup, session_.ws.NodeFileName);
}

void TKavrilonForm::ReadButtonClick() {
    if (!ConfirmDiscard())
        return;
    kav::FileQuestionsThrough questions(session_.prompts());
    session_.history.Begin(session_.ws);
    const kav::LoadResult result =
        kav::LoadProblem(session_.ws, session_.protectedFiles, questions);
    RecordLoad(result);
    ShowLoadOutcome(result);
}

void TKavrilonForm::LoadStartFile(const std::string& fileName) {
    session_.history.Begin(session_.ws);
    const kav::LoadResult result =
        kav::LoadProblemFile(session_.ws, session_.protectedFiles, fileName);
    RecordLoad(result);
    ShowLoadOutcome(result);
}

namespace {

// The one local file a drag carries, or nothing.
std::optional<QString> DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls()[0].isLocalFile())
        return std::nullopt;
    return data->urls()[0].toLocalFile();
}

}  // namespace

void TKavrilonForm::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFile(event->mimeData()))
        event->acceptProposedAction();
}

void TKavrilonForm::dropEvent(QDropEvent* event) {
    const std::optional<QString> file = DroppedFile(event->mimeData());
    if (!file)
        return;
    event->acceptProposedAction();
    kav::GuardHandler(session_.prompts(), [&] {
        if (!ConfirmDiscard())
            return;
        RememberProblem(*file);
        LoadStartFile(QFile::encodeName(*file).toStdString());
    });
}

void TKavrilonForm::RecordLoad(const kav::LoadResult& result) {
    const kav::LoadOutcome outcome = result.outcome;
    if (outcome == kav::LoadOutcome::Loaded || outcome == kav::LoadOutcome::Failed)
        session_.history.Commit(session_.ws, kav::LoadStep(session_.ws), kav::StepKind::NewProblem);
}

void TKavrilonForm::ProblemPutBack() {
    const kav::Workspace& ws = session_.ws;
    SetProblemButtons(ws.NodeCount >= 2 && ws.LinkCount >= 2);
}

void TKavrilonForm::ShowLoadOutcome(const kav::LoadResult& result) {
    switch (result.ShowTo(session_.prompts())) {
        case kav::LoadOutcome::Loaded:
            SetProblemButtons(true);
            break;
        case kav::LoadOutcome::Failed:
            SetProblemButtons(false);
            break;
        case kav::LoadOutcome::Cancelled:
        case kav::LoadOutcome::Refused:
            break;
    }
}

void TKavrilonForm::AddButtonClick() {
    hide();
    emit addWindowRequested();
}

void TKavrilonForm::ZeroButtonClick() {
    if (!ConfirmDiscard())
        return;
    session_.history.Begin(session_.ws);
    session_.ws.Empty();
    session_.history.Commit(session_.ws, kav::ZeroStep, kav::StepKind::NewProblem);
    SetProblemButtons(false);
}

void TKavrilonForm::ChangeButtonClick() {
    hide();
    emit changeWindowRequested();
}

void TKavrilonForm::RunButtonClick() {
    kav::GuardHandler(session_.prompts(), [&] {
        kav::Workspace& ws = session_.ws;
        // Every check starts from an empty error list.
        if (ws.LinkCount > 0)
            emit checkStarting();
        const kav::SolveRunOutcome run =
            kav::RunSolve(ws, session_.lastSolve, session_.separators, *this);
        if (!run.SolverRan())
            return;
        if (run.status.IsStopped())
            kav::ShowStandardErrorReport(session_.prompts(), run.status.StopReason);
        if (run.status.IsInfeasible()) {
            hide();
            emit cutWindowRequested();
        }
    });
    // A run abandoned by an error must not leave the main menu hidden.
    if (runShowing_)
        HideProgressWindow();
}

void TKavrilonForm::DisplayButtonClick() {
    emit resultsRequested();
    hide();
}

void TKavrilonForm::SaveButtonClick() {
    kav::FileQuestionsThrough questions(session_.prompts());
    kav::SaveProblem(session_.ws, session_.protectedFiles, questions, session_.saveDialogs)
        .ShowTo(session_.prompts());
}

void TKavrilonForm::ExitButtonClick() {
    if (!ConfirmDiscard())
        return;
    emit aboutTimerStopRequested();
    discardAsked_ = true;
    close();
    discardAsked_ = false;
}

void TKavrilonForm::GenerateButtonClick() {
    emit generatorRequested();
    kav::Workspace& ws = session_.ws;
    kav::NoteNewProblem(ws, true);
}

bool TKavrilonForm::FormClose() {
    emit aboutTimerStopRequested();
    kav::Prompts& prompts = session_.prompts();
    prompts.Beep(kav::BeepCriticalStop);
    if (prompts.Message(kav::MsgKind::Confirmation, kav::MsgButtons::YesNo, ExitQuestion) !=
        kav::Answer::Yes) {
        return false;
    }
    prompts.Message(kav::MsgKind::Information, kav::MsgButtons::Ok, ExitNotice);
    return true;
}

// Every way of closing the main window (Exit, its title bar, Alt+F4) warns
// once about unsaved data or unseen results before the exit question.
void TKavrilonForm::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    kav::GuardHandler(session_.prompts(),
                      [&] { mayClose = (discardAsked_ || ConfirmDiscard()) && FormClose(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    event->accept();
    emit ProgramEnds();
}

void TKavrilonForm::ShowCheckErrors(const std::vector<std::string>& lines) {
    hide();
    emit checkFailed(lines);
}

void TKavrilonForm::ShowProgressWindow() {
    emit runStarting();
    hide();
    runShowing_ = true;
}

void TKavrilonForm::Tell(const kav::Report& report) {
    report.ShowTo(session_.prompts());
}

void TKavrilonForm::HideProgressWindow() {
    runShowing_ = false;
    emit runEnded();
    show();
}

kav::ProgressSink* TKavrilonForm::Progress() {
    return progress_;
}

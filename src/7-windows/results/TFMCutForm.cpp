#include "results/TFMCutForm.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "gui/PickList.h"
#include "gui/Placement.h"
#include "results/ReportPreview.h"
#include "results/ReportPrinting.h"
#include "results/ResultLines.h"
#include "solver/LastSolve.h"
#include "solver/Session.h"
#include "workspace/Prompts.h"

TFMCutForm::TFMCutForm(kav::Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("FMCutForm"));
    setWindowTitle(QStringLiteral("Infeasibility Explained"));
    RemoveTitleBarButtons(this);
    PaintBackground(this, Colours::Navy);

    CutList = new PickList<QListWidget>(this);
    CutList->setObjectName(QStringLiteral("CutList"));
    CutList->setFont(FixedPitchFont(10, true));
    CutList->setToolTip(
        QStringLiteral("Nodes whose links cannot carry what they need, and those links"));
    CutList->setSelectionMode(QAbstractItemView::SingleSelection);
    // The window's title is the list's only label.
    CutList->setAccessibleName(QStringLiteral("Infeasibility Explained"));

    OKButton = NewButton(QStringLiteral("&Ok"), QStringLiteral("Click here to return to Main Menu"),
                         QStringLiteral("OKButton"), this);
    PrintButton = NewButton(QStringLiteral("&Print"), QStringLiteral("Print this explanation"),
                            QStringLiteral("PrintButton"), this);
    PreviewButton =
        NewButton(QStringLiteral("Pre&view..."),
                  QStringLiteral("Show the printed pages with the paper of Printer Setup"),
                  QStringLiteral("PreviewButton"), this);
    PreviewButton->setAccessibleName(QStringLiteral("Preview..."));
    OKButton->setMinimumWidth(120);
    PrintButton->setMinimumWidth(120);
    PreviewButton->setMinimumWidth(120);
    ConnectGuarded(session_.prompts(), OKButton, &QPushButton::clicked, this,
                   &TFMCutForm::OKButtonClick);
    ConnectGuarded(session_.prompts(), PrintButton, &QPushButton::clicked, this,
                   &TFMCutForm::PrintButtonClick);
    ConnectGuarded(session_.prompts(), PreviewButton, &QPushButton::clicked, this,
                   &TFMCutForm::PreviewButtonClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(PrintButton);
    buttons->addWidget(PreviewButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(CutList);
    layout->addLayout(buttons);
    setTabOrder(OKButton, PrintButton);
    setTabOrder(PrintButton, PreviewButton);
    setTabOrder(PreviewButton, CutList);
    resize(FitOnScreen(QSize(760, 420)));
}

// A window restored from the task bar is shown again by the platform; only
// showing it from the program rebuilds the list.
void TFMCutForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        kav::GuardHandler(session_.prompts(), [&] { FormShow(); });
}

// The list describes the current solution's cut, when it is infeasible.
void TFMCutForm::FormShow() {
    CutList->clear();
    const kav::Workspace& ws = session_.ws;
    if (const kav::InfeasibilityCut* cut = kav::CurrentSolution(session_).Cut()) {
        for (const std::string& line : kav::CutLines(ws, *cut))
            CutList->addItem(FromBytes(line));
    }
    OKButton->setFocus();
}

void TFMCutForm::ShowInPlaceOfMenu() {
    returnsToMenu_ = true;
    OKButton->setToolTip(QStringLiteral("Click here to return to Main Menu"));
    show();
}

void TFMCutForm::ShowOverResults() {
    returnsToMenu_ = false;
    OKButton->setToolTip(QStringLiteral("Click here to return to the results"));
    if (isVisible())
        FormShow();
    show();
    raise();
    activateWindow();
}

void TFMCutForm::ResultsClosed() {
    if (!returnsToMenu_)
        hide();
}

// Ok is the only way back to the main menu: a close from the window system
// would leave no window showing.
void TFMCutForm::closeEvent(QCloseEvent* event) {
    RefuseWindowSystemClose(event, session_.prompts());
}

void TFMCutForm::OKButtonClick() {
    hide();
    if (returnsToMenu_)
        emit closed();
}

ReportText TFMCutForm::Report() const {
    ReportText report;
    report.listTitle = QStringLiteral("NO FEASIBLE FLOW");
    for (int row = 0; row < CutList->count(); ++row)
        report.linkLines << CutList->item(row)->text();
    return report;
}

void TFMCutForm::PrintButtonClick() {
    PrintReport(Report(), session_.prompts(), session_, CutReport);
}

void TFMCutForm::PreviewButtonClick() {
    PreviewReport(Report(), session_.printSetup, this);
}

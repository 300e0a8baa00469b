#include "editing/TFXNodeAddForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "editing/EditingLines.h"
#include "editing/EditingOps.h"
#include "editing/StepNames.h"
#include "gui/ConnectGuarded.h"
#include "gui/EditingWidgets.h"
#include "gui/GuiCommon.h"
#include "gui/UndoKeys.h"
#include "solver/Session.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

TFXNodeAddForm::TFXNodeAddForm(kav::Session& session, QWidget* parent)
    : TEditingWindow("FXNodeAddForm", QStringLiteral("Node Addition Form"), Colours::Yellow,
                     session.prompts(), parent),
      session_(session) {
    nodeName_ = MakeField(this, "NodeName", QStringLiteral("Input the node name here"));
    auto* nameLabel = MakeLabel(this, "NodeNameLabel", QStringLiteral("&Node Name"), nodeName_);
    addButton_ = MakeButton(this, "AddButton", QStringLiteral("&Add Node"),
                            QStringLiteral("Add the node to the list of nodes"));
    removeButton_ =
        MakeButton(this, "RemoveButton", QStringLiteral("&Remove Node"),
                   QStringLiteral("Remove the highlighted node from the list of nodes"));
    quitButton_ = MakeButton(this, "QuitButton", QStringLiteral("&Quit (no more changes for now)"),
                             QStringLiteral("Quit and return to the Node/Link Addition Menu"));
    nodeList_ = MakeFixedPitchList(this, "NodeList", QStringLiteral("Highlight a node to remove"));
    auto* listLabel = MakeLabel(this, "NodeListLabel", QStringLiteral("&List of Nodes"), nodeList_);
    PaintText(listLabel, Colours::Red);
    information_ = MakeLabel(this, "Information", QString(), nullptr);
    information_->setAlignment(Qt::AlignCenter);
    PaintText(information_, Colours::Purple);
    undoKeys_ = new UndoKeys(this, session_);
    PaintText(undoKeys_->Status(), Colours::Purple);

    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(nameLabel);
    fieldRow->addWidget(nodeName_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(addButton_);
    buttons->addWidget(removeButton_);
    buttons->addWidget(quitButton_);
    buttons->addStretch();
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(listLabel);
    listColumn->addWidget(nodeList_, 1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(listColumn, 1);
    middle->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fieldRow);
    layout->addLayout(middle, 1);
    layout->addWidget(information_);
    layout->addWidget(undoKeys_->Status());
    nodeList_->setMinimumSize(260, 260);

    ChainTabOrder({nodeName_, addButton_, removeButton_, quitButton_, nodeList_});

    WatchField(nodeName_, &TFXNodeAddForm::NodeNameExit);
    ConnectGuarded(prompts_, addButton_, &QPushButton::clicked, this,
                   &TFXNodeAddForm::AddButtonClick);
    // Enter in the name field adds the name typed, as Add's accelerator does,
    // before the keys typed after it act.
    connect(nodeName_, &QLineEdit::returnPressed, addButton_, &QPushButton::click);
    ConnectGuarded(prompts_, removeButton_, &QPushButton::clicked, this,
                   &TFXNodeAddForm::RemoveButtonClick);
    ConnectGuarded(prompts_, quitButton_, &QPushButton::clicked, this,
                   &TFXNodeAddForm::QuitButtonClick);
    connect(undoKeys_, &UndoKeys::problemPutBack, this, &TFXNodeAddForm::ProblemPutBack);
}

void TFXNodeAddForm::ProblemPutBack() {
    if (isVisible())
        Update_List_of_Nodes();
}

void TFXNodeAddForm::FormCreate() {
    Update_List_of_Nodes();
}

void TFXNodeAddForm::NodeNameExit() {
    // The name as typed, first ten characters, no trimming.
    pendingNodeName_ = ToBytes(nodeName_->text().left(kav::TypedNameLength));
}

void TFXNodeAddForm::AddButtonClick() {
    CommitFocusedField();
    session_.history.Begin(session_.ws);
    const bool added = kav::AddNode(session_.ws, pendingNodeName_).ShowTo(prompts_);
    session_.history.Commit(session_.ws, kav::AddNodeStep(pendingNodeName_));
    Update_List_of_Nodes();
    if (added) {
        // The name stays, chosen whole, with the focus: the next name typed
        // replaces it.
        nodeName_->setFocus();
        nodeName_->selectAll();
        emit nodesChanged();
    }
}

void TFXNodeAddForm::RemoveButtonClick() {
    CommitFocusedField();
    const int32_t node = SelectedNumber(nodeList_);
    const std::string step = kav::RemoveNodeStep(session_.ws, node);
    session_.history.Begin(session_.ws);
    const bool removed = kav::RemoveNode(session_.ws, node).ShowTo(prompts_);
    session_.history.Commit(session_.ws, step);
    Update_List_of_Nodes();
    if (removed)
        emit nodesChanged();
}

void TFXNodeAddForm::QuitButtonClick() {
    CommitFocusedField();
    hide();
}

void TFXNodeAddForm::Update_List_of_Nodes() {
    const kav::Workspace& ws = session_.ws;
    nodeList_->clear();
    nodeList_->addItems(
        ListLines(ws.NodeCount, [&](int32_t k) { return kav::NodeListLine(ws, k); }));
    information_->setText(QString::fromStdString(kav::NodeCountText(ws.NodeCount)));
    emit nodeListShown();
}

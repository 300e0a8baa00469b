#include "editing/TFXNodeAddForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/AppWindows.h"
#include "app/GuiCommon.h"
#include "editing/EditingLines.h"
#include "editing/EditingOps.h"
#include "editing/EditingWidgets.h"
#include "editing/TFMAddStuff.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

TFXNodeAddForm::TFXNodeAddForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FXNodeAddForm"));
    setWindowTitle(QStringLiteral("Node Addition Form"));
    RemoveTitleBarButtons(this);
    PaintBackground(this, Colours::Yellow);

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
    nodeList_->setMinimumSize(260, 260);

    setTabOrder(nodeName_, addButton_);
    setTabOrder(addButton_, removeButton_);
    setTabOrder(removeButton_, quitButton_);
    setTabOrder(quitButton_, nodeList_);

    nodeName_->installEventFilter(this);
    connect(addButton_, &QPushButton::clicked, this, &TFXNodeAddForm::AddButtonClick);
    connect(removeButton_, &QPushButton::clicked, this, &TFXNodeAddForm::RemoveButtonClick);
    connect(quitButton_, &QPushButton::clicked, this, &TFXNodeAddForm::QuitButtonClick);
}

bool TFXNodeAddForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == nodeName_ && IsFieldExit(event)) {
        kav::GuardHandler([&] { NodeNameExit(); });
    }
    return QWidget::eventFilter(watched, event);
}

void TFXNodeAddForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        kav::GuardHandler([&] { FormCreate(); });
}

void TFXNodeAddForm::closeEvent(QCloseEvent* event) {
    RefuseWindowClose(event);
}

void TFXNodeAddForm::FormCreate() {
    Update_List_of_Nodes();
}

void TFXNodeAddForm::NodeNameExit() {
    // The name as typed, first ten characters, no trimming.
    pendingNodeName_ = ToBytes(nodeName_->text().left(kav::TypedNameLength));
    nodeName_->setModified(false);
}

void TFXNodeAddForm::CommitFocusedField() {
    if (focusWidget() == nodeName_ && nodeName_->isModified())
        NodeNameExit();
}

void TFXNodeAddForm::AddButtonClick() {
    kav::GuardHandler([&] {
        CommitFocusedField();
        kav::AddNode(kav::TheWorkspace(), pendingNodeName_);
        Update_List_of_Nodes();
    });
}

void TFXNodeAddForm::RemoveButtonClick() {
    kav::GuardHandler([&] {
        kav::RemoveNode(kav::TheWorkspace(), SelectedNumber(nodeList_));
        Update_List_of_Nodes();
    });
}

void TFXNodeAddForm::QuitButtonClick() {
    kav::GuardHandler([&] {
        CommitFocusedField();
        hide();
    });
}

void TFXNodeAddForm::CloseWithChooser() {
    CommitFocusedField();
    hide();
}

void TFXNodeAddForm::Update_List_of_Nodes() {
    const kav::Workspace& ws = kav::TheWorkspace();
    nodeList_->clear();
    QStringList lines;
    lines.reserve(ws.NodeCount);
    for (int32_t k = 1; k <= ws.NodeCount; ++k)
        lines << FromBytes(kav::NodeListLine(ws, k));
    nodeList_->addItems(lines);
    information_->setText(QString::fromStdString(kav::NodeCountText(ws.NodeCount)));
    if (TFMAddStuff* chooser = TheWindows().addStuff)
        chooser->UpdateLinkButton();
}

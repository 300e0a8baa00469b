#include "editing/TFMAddStuff.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppWindows.h"
#include "app/GuiCommon.h"
#include "editing/EditingWidgets.h"
#include "editing/TFMLinkAddForm.h"
#include "editing/TFXNodeAddForm.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

void ShowInFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

TFMAddStuff::TFMAddStuff(QWidget* parent)
    : TEditingWindow("FMAddStuff", QStringLiteral("Select Node or Link to ADD"), Colours::Blue,
                     parent) {
    nodeButton_ =
        MakeButton(this, "NodeBUtton", QStringLiteral("Add &Node"),
                   QStringLiteral("Add a node to the problem description (or remove a node)"));
    linkButton_ =
        MakeButton(this, "LinkButton", QStringLiteral("Add &Link"),
                   QStringLiteral("Add a link to the problem description (or remove a link)"));
    quitButton_ =
        MakeButton(this, "QuitButton", QStringLiteral("&Quit (no more additions for now)"),
                   QStringLiteral("No more additions for now ... return to main menu"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    for (QPushButton* button : {nodeButton_, linkButton_, quitButton_}) {
        button->setMinimumHeight(36);
        layout->addWidget(button);
    }
    setMinimumWidth(340);

    connect(nodeButton_, &QPushButton::clicked, this, &TFMAddStuff::NodeBUttonClick);
    connect(linkButton_, &QPushButton::clicked, this, &TFMAddStuff::LinkButtonClick);
    connect(quitButton_, &QPushButton::clicked, this, &TFMAddStuff::QuitButtonClick);
}

void TFMAddStuff::UpdateLinkButton() {
    linkButton_->setEnabled(kav::TheWorkspace().NodeCount >= 2);
}

void TFMAddStuff::FormCreate() {
    UpdateLinkButton();
}

void TFMAddStuff::NodeBUttonClick() {
    kav::GuardHandler([&] {
        if (TFXNodeAddForm* nodes = TheWindows().nodeAdder)
            ShowInFront(nodes);
    });
}

void TFMAddStuff::LinkButtonClick() {
    kav::GuardHandler([&] {
        if (kav::TheWorkspace().LinkCount >= kav::MaxLinks) {
            kav::ThePrompts().Message(kav::MsgKind::Warning, kav::MsgButtons::Ok,
                                      "Maximum number of links have been added ... Sorry ... ");
            return;
        }
        if (TFMLinkAddForm* links = TheWindows().linkAdder)
            ShowInFront(links);
    });
}

void TFMAddStuff::QuitButtonClick() {
    kav::GuardHandler([&] {
        // The node and link windows belong to this chooser: they close with it,
        // each taking in what its focused field holds.
        const AppWindows& windows = TheWindows();
        for (TEditingWindow* window :
             std::initializer_list<TEditingWindow*>{windows.nodeAdder, windows.linkAdder}) {
            if (window && window->isVisible())
                window->CloseWithChooser();
        }
        const kav::Workspace& ws = kav::TheWorkspace();
        SetProblemButtons(ws.NodeCount >= 2 && ws.LinkCount >= 2);
        hide();
        ShowMainMenu();
    });
}

#include "editing/TFMAddStuff.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ConnectGuarded.h"
#include "gui/EditingWidgets.h"
#include "gui/GuiCommon.h"
#include "gui/UndoKeys.h"
#include "solver/Session.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

TFMAddStuff::TFMAddStuff(kav::Session& session, QWidget* parent)
    : TEditingWindow("FMAddStuff", QStringLiteral("Select Node or Link to ADD"), Colours::Blue,
                     session.prompts(), parent),
      session_(session) {
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
    undoKeys_ = new UndoKeys(this, session_);
    PaintText(undoKeys_->Status(), Colours::White);
    layout->addWidget(undoKeys_->Status());
    setMinimumWidth(340);

    ConnectGuarded(prompts_, nodeButton_, &QPushButton::clicked, this,
                   &TFMAddStuff::NodeBUttonClick);
    ConnectGuarded(prompts_, linkButton_, &QPushButton::clicked, this,
                   &TFMAddStuff::LinkButtonClick);
    ConnectGuarded(prompts_, quitButton_, &QPushButton::clicked, this,
                   &TFMAddStuff::QuitButtonClick);
    connect(undoKeys_, &UndoKeys::problemPutBack, this, &TFMAddStuff::UpdateLinkButton);
}

void TFMAddStuff::UpdateLinkButton() {
    linkButton_->setEnabled(session_.ws.NodeCount >= 2);
}

void TFMAddStuff::FormCreate() {
    UpdateLinkButton();
}

void TFMAddStuff::NodeBUttonClick() {
    emit nodeWindowRequested();
}

void TFMAddStuff::LinkButtonClick() {
    if (session_.ws.LinkCount >= kav::MaxLinks) {
        prompts_.Message(kav::MsgKind::Warning, kav::MsgButtons::Ok,
                         "Maximum number of links have been added ... Sorry ... ");
        return;
    }
    emit linkWindowRequested();
}

void TFMAddStuff::QuitButtonClick() {
    emit closing();
    const kav::Workspace& ws = session_.ws;
    const bool problemComplete = ws.NodeCount >= 2 && ws.LinkCount >= 2;
    hide();
    emit closed(problemComplete);
}

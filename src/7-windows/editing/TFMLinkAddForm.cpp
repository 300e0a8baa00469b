#include "editing/TFMLinkAddForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "editing/EditingLines.h"
#include "editing/EditingOps.h"
#include "editing/StepNames.h"
#include "editing/ValidateIntegerField.h"
#include "gui/ButtonKeys.h"
#include "gui/ConnectGuarded.h"
#include "gui/EditingWidgets.h"
#include "gui/GuiCommon.h"
#include "gui/UndoKeys.h"
#include "solver/Session.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

QLabel* FieldLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy) {
    QLabel* label = MakeLabel(parent, name, caption, buddy);
    PaintText(label, Colours::Navy);
    return label;
}

}  // namespace

TFMLinkAddForm::TFMLinkAddForm(kav::Session& session, QWidget* parent)
    : TEditingWindow("FMLinkAddForm", QStringLiteral("Link Addition Form"), Colours::Yellow,
                     session.prompts(), parent),
      session_(session) {
    originList_ = MakeFixedPitchList(this, "OriginList",
                                     QStringLiteral("Select an origin for the link to add"));
    destinationList_ = MakeFixedPitchList(
        this, "DestinationList", QStringLiteral("Select a destination for the link to add"));
    unitCost_ =
        MakeField(this, "UnitCost", QStringLiteral("Specify the unit cost on the link to add"));
    lowerBound_ =
        MakeField(this, "LowerBound",
                  QStringLiteral("Specify the lower bound on the flow on the link to add"));
    upperBound_ =
        MakeField(this, "UpperBound",
                  QStringLiteral("Specify the upper bound on the flow on the link to add"));
    linkList_ = MakeFixedPitchList(this, "LinkList", QStringLiteral("Select a link to remove"));
    addLink_ =
        MakeButton(this, "AddLink", QStringLiteral("&Add Link"), QStringLiteral("Add the link"));
    removeLinkButton_ =
        MakeButton(this, "RemoveLinkButton", QStringLiteral("&Remove Link"),
                   QStringLiteral("Remove the link that is highlighted in the table above"));
    quitButton_ = MakeButton(this, "QuitButton", QStringLiteral("&Quit (no more to add now)"),
                             QStringLiteral("Quit and return to Node/Link Addition Menu"));

    auto* originLabel = MakeLabel(this, "OriginLabel", QStringLiteral("&Origin Node"), originList_);
    auto* destLabel =
        MakeLabel(this, "DestinationLabel", QStringLiteral("&Destination Node"), destinationList_);
    auto* costLabel = FieldLabel(this, "CostLabel", QStringLiteral("Unit &Cost"), unitCost_);
    auto* lowerLabel = FieldLabel(this, "LBLabel", QStringLiteral("&Lower Bound"), lowerBound_);
    auto* upperLabel = FieldLabel(this, "UBLabel", QStringLiteral("&Upper Bound"), upperBound_);
    auto* tableLabel = MakeLabel(this, "Label1", QStringLiteral("&Table of Links"), linkList_);
    PaintText(tableLabel, Colours::Red);

    auto* nodes = new QGridLayout;
    nodes->addWidget(originLabel, 0, 0);
    nodes->addWidget(destLabel, 0, 1);
    nodes->addWidget(originList_, 1, 0);
    nodes->addWidget(destinationList_, 1, 1);
    originList_->setMinimumSize(220, 160);
    destinationList_->setMinimumSize(220, 160);
    auto* fields = new QGridLayout;
    fields->addWidget(costLabel, 0, 0);
    fields->addWidget(lowerLabel, 0, 1);
    fields->addWidget(upperLabel, 0, 2);
    fields->addWidget(unitCost_, 1, 0);
    fields->addWidget(lowerBound_, 1, 1);
    fields->addWidget(upperBound_, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addLink_);
    buttons->addWidget(removeLinkButton_);
    buttons->addWidget(quitButton_);
    linkList_->setMinimumSize(500, 180);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nodes, 1);
    layout->addLayout(fields);
    layout->addWidget(tableLabel);
    layout->addWidget(linkList_, 1);
    layout->addLayout(buttons);
    undoKeys_ = new UndoKeys(this, session_);
    PaintText(undoKeys_->Status(), Colours::Navy);
    layout->addWidget(undoKeys_->Status());

    ChainTabOrder({originList_, destinationList_, unitCost_, lowerBound_, upperBound_, linkList_,
                   addLink_, removeLinkButton_, quitButton_});

    WatchField(unitCost_, &TFMLinkAddForm::UnitCostExit, &TFMLinkAddForm::UnitCostKeyPress);
    WatchField(lowerBound_, &TFMLinkAddForm::LowerBoundExit, &TFMLinkAddForm::UnitCostKeyPress);
    WatchField(upperBound_, &TFMLinkAddForm::UpperBoundExit, &TFMLinkAddForm::UnitCostKeyPress);
    ConnectGuarded(prompts_, addLink_, &QPushButton::clicked, this, &TFMLinkAddForm::AddLinkClick);
    ConnectGuarded(prompts_, removeLinkButton_, &QPushButton::clicked, this,
                   &TFMLinkAddForm::RemoveLinkButtonClick);
    ConnectGuarded(prompts_, quitButton_, &QPushButton::clicked, this,
                   &TFMLinkAddForm::QuitButtonClick);
    connect(undoKeys_, &UndoKeys::problemPutBack, this, &TFMLinkAddForm::NodesChanged);
}

void TFMLinkAddForm::FormCreate() {
    UpdateAllLists();
}

void TFMLinkAddForm::NodesChanged() {
    if (isVisible())
        UpdateAllLists();
}

void TFMLinkAddForm::UpdateAllLists() {
    const kav::Workspace& ws = session_.ws;
    originList_->clear();
    destinationList_->clear();
    linkList_->clear();
    const QStringList nodeLines =
        ListLines(ws.NodeCount, [&](int32_t k) { return kav::NodeListLine(ws, k); });
    originList_->addItems(nodeLines);
    destinationList_->addItems(nodeLines);
    linkList_->addItems(
        ListLines(ws.LinkCount, [&](int32_t k) { return kav::LinkTableLine(ws, k); }));
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        linkList_->item(k - 1)->setData(Qt::AccessibleTextRole,
                                        FromBytes(kav::SpokenLinkTableLine(ws, k)));
}

bool TFMLinkAddForm::UnitCostKeyPress(QKeyEvent* event) {
    // Enter adds the link, as Enter in the node window adds the name: the
    // field is checked as leaving it would check it, then Add Link runs.
    if (IsPlainEnter(event)) {
        LeaveFocusedField();
        addLink_->click();
        return true;
    }
    return FilterNumberKey(event, quitButton_, prompts_);
}

namespace {

// Takes a field's value into pending, starting from 0, and shows it again in
// plain decimal form.
void TakeFieldValue(QLineEdit* field, int32_t& pending, int32_t low, int32_t high,
                    kav::Prompts& prompts) {
    pending = 0;
    const kav::FieldValue result =
        kav::ValidateIntegerField(ToBytes(field->text()), pending, low, high).ShowTo(prompts);
    pending = result.value;
    field->setText(FromBytes(result.text));
}

}  // namespace

void TFMLinkAddForm::UnitCostExit() {
    TakeFieldValue(unitCost_, pendingCost_, kav::CostLow, kav::CostHigh, prompts_);
    quitButton_->setEnabled(true);
}

void TFMLinkAddForm::LowerBoundExit() {
    TakeFieldValue(lowerBound_, pendingLower_, kav::BoundLow, kav::BoundHigh, prompts_);
    quitButton_->setEnabled(true);
}

void TFMLinkAddForm::UpperBoundExit() {
    TakeFieldValue(upperBound_, pendingUpper_, kav::BoundLow, kav::BoundHigh, prompts_);
    quitButton_->setEnabled(true);
}

void TFMLinkAddForm::AddLinkClick() {
    CommitFocusedField();
    const kav::NewLink link{SelectedNumber(originList_), SelectedNumber(destinationList_),
                            pendingLower_, pendingUpper_, pendingCost_};
    const std::string step = kav::AddLinkStep(session_.ws, link);
    session_.history.Begin(session_.ws);
    const bool added = kav::AddLink(session_.ws, link).ShowTo(prompts_);
    session_.history.Commit(session_.ws, step);
    if (added) {
        UpdateAllLists();
        // The new link is the table's last line: in sight, not chosen.
        linkList_->scrollToBottom();
    }
}

void TFMLinkAddForm::RemoveLinkButtonClick() {
    CommitFocusedField();
    const int32_t link = SelectedNumber(linkList_);
    const std::string step = kav::RemoveLinkStep(session_.ws, link);
    session_.history.Begin(session_.ws);
    kav::RemoveLink(session_.ws, link).ShowTo(prompts_);
    session_.history.Commit(session_.ws, step);
    UpdateAllLists();
}

void TFMLinkAddForm::QuitButtonClick() {
    CommitFocusedField();
    hide();
}

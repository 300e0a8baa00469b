#include "editing/TFMChangeForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

#include "editing/EditingLines.h"
#include "editing/StepNames.h"
#include "gui/Accessibility.h"
#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "solver/KiltSolve.h"
#include "solver/PadText.h"
#include "solver/Session.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

const QString RemoveCaption = QStringLiteral("&Remove Link");
const QString UnremoveCaption = QStringLiteral("Un&Remove Link");

// A drop-down list that offers only its own entries (no typed text) and is not
// changed by a mouse wheel passing over it.
QComboBox* MakeDropDown(QWidget* parent, const char* name, const QString& hint) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(hint);
    box->setEditable(false);
    box->setFont(FixedPitchFont());
    box->setFocusPolicy(Qt::StrongFocus);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMaxVisibleItems(20);
    if (auto* view = qobject_cast<QListView*>(box->view()))
        view->setUniformItemSizes(true);
    return box;
}

QLineEdit* MakeShownValue(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setFont(FixedPitchFont());
    field->setMinimumWidth(150);
    return field;
}

QLabel* RowLabel(QWidget* parent, const QString& caption, QWidget* buddy) {
    QLabel* label = MakeLabel(parent, "", caption, buddy);
    PaintText(label, Colours::Navy);
    return label;
}

QLabel* NoticeLabel(QWidget* parent, const char* name, const QString& caption) {
    QLabel* label = MakeLabel(parent, name, caption, nullptr);
    PaintText(label, Colours::Yellow);
    return label;
}

// Replaces a drop-down's entries without running its change handler.
void FillQuietly(QComboBox* box, const QStringList& lines) {
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(lines);
}

// Where a drop-down starts drawing its text, so that a column heading above it
// can start at the same place.
int TextIndent(const QComboBox* box) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.rect = QRect(QPoint(0, 0), box->sizeHint());
    option.frame = true;
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, box);
    return field.left() + 1;
}

void SelectQuietly(QComboBox* box, int index) {
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

}  // namespace

TFMChangeForm::TFMChangeForm(kav::Session& session, QWidget* parent)
    : TEditingWindow("FMChangeForm", QStringLiteral("Change or Remove Link Form"), Colours::Fuchsia,
                     session.prompts(), parent),
      session_(session) {
    linkList_ = MakeDropDown(
        this, "LinkList",
        QStringLiteral("Select a link to change ... make changes in right hand column"));
    // Room for the widest line: a five-digit link number, two 12-character
    // names and three ten-character numbers.
    linkList_->setMinimumContentsLength(69);
    auto* linkLabel = MakeLabel(this, "LinkLabel", QStringLiteral("&Table of Links"), linkList_);
    PaintText(linkLabel, Colours::White);
    auto* header = new QLabel(FromBytes(kav::ChangeListHeader()), this);
    header->setObjectName(QStringLiteral("Label2"));
    header->setFont(FixedPitchFont());
    header->setIndent(TextIndent(linkList_));

    linkNoField_ = MakeShownValue(this, "LinkNoField");
    linkRemoveLabel_ =
        NoticeLabel(this, "LinkRemoveLabel", QStringLiteral("Link will be removed when you quit"));
    originField_ = MakeShownValue(this, "OriginField");
    originList_ =
        MakeDropDown(this, "OriginList", QStringLiteral("Select a new origin for the link"));
    destField_ = MakeShownValue(this, "DestField");
    destList_ =
        MakeDropDown(this, "DestList", QStringLiteral("Select a new destination for a link"));
    for (QComboBox* box : {originList_, destList_})
        box->setMinimumContentsLength(14);
    lbField_ = MakeShownValue(this, "LBField");
    lbNew_ = MakeField(this, "LBNew", QStringLiteral("Change the lower bound on the link flow"));
    flowField_ = MakeShownValue(this, "FlowField");
    ubField_ = MakeShownValue(this, "UBField");
    ubNew_ = MakeField(this, "UBNew", QStringLiteral("Change the upper bound on the link flow"));
    costField_ = MakeShownValue(this, "CostField");
    costNew_ = MakeField(this, "CostNew", QStringLiteral("Change the unit link cost"));
    redCostField_ = MakeShownValue(this, "RedCostField");
    kilterField_ = MakeShownValue(this, "KilterField");
    numberRemovedLabel_ = NoticeLabel(this, "NumberRemovedLabel", QString());
    numberRemovedLabel_->setAlignment(Qt::AlignCenter);
    removeButton_ =
        MakeButton(this, "RemoveButton", RemoveCaption,
                   QStringLiteral("Indicate that a link is to be removed when you quit this form"));
    quitButton_ =
        MakeButton(this, "QuitButton", QStringLiteral("&Quit (no more change)"),
                   QStringLiteral("Quit ... Remove marked links and return to Main Menu"));
    // Both captions must fit whichever is shown.
    removeButton_->setMinimumWidth(removeButton_->fontMetrics().horizontalAdvance(UnremoveCaption) +
                                   40);

    auto* rows = new QGridLayout;
    int row = 0;
    // A reader reads each row's caption, then its value, then what changes it.
    auto addRow = [&](QLabel* label, QWidget* shown, QWidget* editor) {
        rows->addWidget(label, row, 0);
        rows->addWidget(shown, row, 1);
        shown->setAccessibleName(PlainCaption(label->text()));
        ReadInOrder({label, shown});
        if (editor) {
            rows->addWidget(editor, row, 2);
            ReadInOrder({editor});
        }
        ++row;
    };
    addRow(RowLabel(this, QStringLiteral("Link Number"), nullptr), linkNoField_, linkRemoveLabel_);
    addRow(RowLabel(this, QStringLiteral("&Origin"), originList_), originField_, originList_);
    addRow(RowLabel(this, QStringLiteral("&Destination"), destList_), destField_, destList_);
    addRow(RowLabel(this, QStringLiteral("&Lower Bound"), lbNew_), lbField_, lbNew_);
    addRow(RowLabel(this, QStringLiteral("Actual Flow"), nullptr), flowField_, nullptr);
    addRow(RowLabel(this, QStringLiteral("&Upper Bound"), ubNew_), ubField_, ubNew_);
    addRow(RowLabel(this, QStringLiteral("Unit &Cost"), costNew_), costField_, costNew_);
    addRow(RowLabel(this, QStringLiteral("Reduced Cost"), nullptr), redCostField_, nullptr);
    addRow(RowLabel(this, QStringLiteral("In Kilter?"), nullptr), kilterField_, nullptr);
    rows->setColumnStretch(2, 1);
    ReadInOrder({numberRemovedLabel_, removeButton_, quitButton_});

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(numberRemovedLabel_, 1);
    bottom->addWidget(removeButton_);
    bottom->addWidget(quitButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(linkLabel);
    layout->addWidget(header);
    layout->addWidget(linkList_);
    layout->addSpacing(8);
    layout->addLayout(rows);
    layout->addSpacing(8);
    layout->addLayout(bottom);

    ChainTabOrder(
        {linkList_, originList_, destList_, lbNew_, ubNew_, costNew_, removeButton_, quitButton_});

    WatchField(lbNew_, &TFMChangeForm::LBNewExit, &TFMChangeForm::LBNewKeyPress);
    WatchField(ubNew_, &TFMChangeForm::UBNewExit, &TFMChangeForm::LBNewKeyPress);
    WatchField(costNew_, &TFMChangeForm::CostNewExit, &TFMChangeForm::LBNewKeyPress);
    for (QComboBox* box : {linkList_, originList_, destList_})
        box->installEventFilter(this);
    ConnectGuarded(prompts_, linkList_, &QComboBox::currentIndexChanged, this,
                   &TFMChangeForm::LinkListChange);
    ConnectGuarded(prompts_, originList_, &QComboBox::currentIndexChanged, this,
                   &TFMChangeForm::OriginListChange);
    ConnectGuarded(prompts_, destList_, &QComboBox::currentIndexChanged, this,
                   &TFMChangeForm::DestListChange);
    ConnectGuarded(prompts_, removeButton_, &QPushButton::clicked, this,
                   &TFMChangeForm::RemoveButtonClick);
    ConnectGuarded(prompts_, quitButton_, &QPushButton::clicked, this,
                   &TFMChangeForm::QuitButtonClick);
}

bool TFMChangeForm::eventFilter(QObject* watched, QEvent* event) {
    if (qobject_cast<QComboBox*>(watched)) {
        // A wheel turned over a drop-down it does not have focus in would
        // re-route a link by accident.
        return event->type() == QEvent::Wheel && !static_cast<QWidget*>(watched)->hasFocus();
    }
    return TEditingWindow::eventFilter(watched, event);
}

int32_t TFMChangeForm::CurrentLink() const {
    const int index = linkList_->currentIndex();
    const int32_t count = session_.ws.LinkCount;
    return index >= 0 && index < count ? index + 1 : 0;
}

void TFMChangeForm::FormShow() {
    // A visit starts clean even when showing link 1 fails (an overflowing
    // reduced cost is reported and abandons the rest).
    removalPending_ = false;
    linksEdited_ = false;
    // The whole visit is one step of the undo history.
    session_.history.Begin(session_.ws);
    quitButton_->setEnabled(true);
    UpdateList();
    SelectQuietly(linkList_, 0);
    ShowCurrentLink();
}

void TFMChangeForm::UpdateList() {
    const kav::Workspace& ws = session_.ws;
    int remembered = linkList_->currentIndex();
    if (remembered < 0 || remembered >= ws.LinkCount)
        remembered = 0;
    FillQuietly(linkList_,
                ListLines(ws.LinkCount, [&](int32_t k) { return kav::ChangeListLine(ws, k); }));
    SelectQuietly(linkList_, remembered);
    const QStringList names =
        ListLines(ws.NodeCount, [&](int32_t n) { return std::string(ws.NodeName[n]); });
    FillQuietly(originList_, names);
    FillQuietly(destList_, names);
    numberRemovedLabel_->setText(
        QString::fromStdString(kav::RemovalCountText(kav::MarkedLinkCount(ws))));
}

void TFMChangeForm::LinkListChange() {
    ShowCurrentLink();
}

void TFMChangeForm::ShowCurrentLink() {
    const int32_t k = CurrentLink();
    if (k == 0) {
        ShowNoLink();
        return;
    }
    SetEditorsEnabled(true);
    const kav::Workspace& ws = session_.ws;
    const int32_t origin = kav::OriginNode(ws, k);
    const bool marked = kav::IsMarked(ws, k);
    linkNoField_->setText(QString::number(k));
    originField_->setText(FromBytes(kav::EndName(ws, origin)));
    SelectQuietly(originList_, origin - 1);
    linkRemoveLabel_->setVisible(marked);
    destField_->setText(FromBytes(kav::EndName(ws, ws.LinkDest[k])));
    SelectQuietly(destList_, ws.LinkDest[k] - 1);
    lbField_->setText(QString::fromStdString(kav::PadNumber(ws.LinkLower[k], 10)));
    flowField_->setText(QString::fromStdString(kav::PadNumber(ws.LinkFlow[k], 10)));
    ubField_->setText(QString::fromStdString(kav::PadNumber(ws.LinkUpper[k], 10)));
    costField_->setText(QString::fromStdString(kav::PadNumber(ws.LinkCost[k], 10)));
    lbNew_->setText(QString::number(ws.LinkLower[k]));
    ubNew_->setText(QString::number(ws.LinkUpper[k]));
    costNew_->setText(QString::number(ws.LinkCost[k]));
    removeButton_->setText(marked ? UnremoveCaption : RemoveCaption);
    // The solver's view comes last: a reduced cost that overflows is reported
    // and leaves these two fields empty, while the editors already hold this
    // link's values (not the last link's, which a commit would write here).
    redCostField_->clear();
    kilterField_->clear();
    if (kav::IsNode(ws, origin) && kav::IsNode(ws, ws.LinkDest[k])) {
        redCostField_->setText(QString::fromStdString(kav::PadNumber(kav::ReducedCost(ws, k), 10)));
        kilterField_->setText(kav::KilterState(ws, k).InKilter ? QStringLiteral("Yes")
                                                               : QStringLiteral("No"));
    }
}

void TFMChangeForm::SetEditorsEnabled(bool enabled) {
    for (QWidget* editor : std::initializer_list<QWidget*>{originList_, destList_, lbNew_, ubNew_,
                                                           costNew_, removeButton_}) {
        editor->setEnabled(enabled);
    }
}

// With no links there is nothing to show or change: empty fields, the editors
// and Remove disabled, Quit still working.
void TFMChangeForm::ShowNoLink() {
    for (QLineEdit* field : {linkNoField_, originField_, destField_, lbField_, flowField_, ubField_,
                             costField_, redCostField_, kilterField_, lbNew_, ubNew_, costNew_}) {
        field->clear();
    }
    SelectQuietly(originList_, -1);
    SelectQuietly(destList_, -1);
    linkRemoveLabel_->setVisible(false);
    removeButton_->setText(RemoveCaption);
    SetEditorsEnabled(false);
}

void TFMChangeForm::OriginListChange() {
    RerouteCurrentLink(originList_, kav::RerouteOrigin);
}

void TFMChangeForm::DestListChange() {
    RerouteCurrentLink(destList_, kav::RerouteDest);
}

void TFMChangeForm::RerouteCurrentLink(const QComboBox* nodes,
                                       void (*reroute)(kav::Workspace&, int32_t, int32_t)) {
    const int32_t k = CurrentLink();
    const int node = nodes->currentIndex() + 1;
    if (k == 0 || node < 1)
        return;
    reroute(session_.ws, k, node);
    UpdateList();
    ShowCurrentLink();
    linksEdited_ = true;
}

void TFMChangeForm::RemoveButtonClick() {
    CommitFocusedField();
    const int32_t k = CurrentLink();
    if (k == 0)
        return;
    kav::ToggleRemovalMark(session_.ws, k);
    removalPending_ = true;
    linksEdited_ = true;
    UpdateList();
    ShowCurrentLink();
}

bool TFMChangeForm::LBNewKeyPress(QKeyEvent* event) {
    return FilterNumberKey(event, quitButton_, prompts_);
}

void TFMChangeForm::LBNewExit() {
    CommitEditor(kav::LinkField::Lower, lbNew_);
}

void TFMChangeForm::UBNewExit() {
    CommitEditor(kav::LinkField::Upper, ubNew_);
}

void TFMChangeForm::CostNewExit() {
    CommitEditor(kav::LinkField::Cost, costNew_);
}

void TFMChangeForm::CommitEditor(kav::LinkField field, const QLineEdit* editor) {
    quitButton_->setEnabled(true);
    const int32_t k = CurrentLink();
    if (k != 0 &&
        kav::CommitLinkField(session_.ws, k, field, ToBytes(editor->text())).ShowTo(prompts_))
        linksEdited_ = true;
    UpdateList();
    ShowCurrentLink();
}

void TFMChangeForm::QuitButtonClick() {
    CommitFocusedField();
    kav::Workspace& ws = session_.ws;
    const kav::ProblemCopy* before = session_.history.BeforeChange();
    const std::string step = before ? kav::ChangeVisitStep(*before, ws) : std::string();
    if (removalPending_)
        kav::RemoveMarkedLinks(ws);
    if (linksEdited_)
        kav::NoteChangesCommitted(ws);
    session_.history.Commit(ws, step);
    hide();
    emit closed();
}

#include "editing/TFMChangeForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/AppWindows.h"
#include "app/GuiCommon.h"
#include "editing/EditingLines.h"
#include "editing/EditingOps.h"
#include "editing/EditingWidgets.h"
#include "solver/KiltSolve.h"
#include "solver/PadText.h"
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

void SelectQuietly(QComboBox* box, int index) {
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

}  // namespace

TFMChangeForm::TFMChangeForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FMChangeForm"));
    setWindowTitle(QStringLiteral("Change or Remove Link Form"));
    RemoveTitleBarButtons(this);
    PaintBackground(this, Colours::Fuchsia);

    linkList_ = MakeDropDown(
        this, "LinkList",
        QStringLiteral("Select a link to change ... make changes in right hand column"));
    linkList_->setMinimumContentsLength(58);
    auto* linkLabel = MakeLabel(this, "LinkLabel", QStringLiteral("&Table of Links"), linkList_);
    PaintText(linkLabel, Colours::White);
    auto* header = new QLabel(FromBytes(kav::ChangeListHeader()), this);
    header->setObjectName(QStringLiteral("Label2"));
    header->setFont(FixedPitchFont());

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
    auto addRow = [&](QLabel* label, QWidget* shown, QWidget* editor) {
        rows->addWidget(label, row, 0);
        rows->addWidget(shown, row, 1);
        if (editor)
            rows->addWidget(editor, row, 2);
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

    QWidget* order[] = {linkList_, originList_, destList_,     lbNew_,
                        ubNew_,    costNew_,    removeButton_, quitButton_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (QWidget* watched : std::initializer_list<QWidget*>{lbNew_, ubNew_, costNew_, linkList_,
                                                            originList_, destList_}) {
        watched->installEventFilter(this);
    }
    connect(linkList_, &QComboBox::currentIndexChanged, this, &TFMChangeForm::LinkListChange);
    connect(originList_, &QComboBox::currentIndexChanged, this, &TFMChangeForm::OriginListChange);
    connect(destList_, &QComboBox::currentIndexChanged, this, &TFMChangeForm::DestListChange);
    connect(removeButton_, &QPushButton::clicked, this, &TFMChangeForm::RemoveButtonClick);
    connect(quitButton_, &QPushButton::clicked, this, &TFMChangeForm::QuitButtonClick);
}

bool TFMChangeForm::eventFilter(QObject* watched, QEvent* event) {
    if (qobject_cast<QComboBox*>(watched)) {
        // A wheel turned over a drop-down it does not have focus in would
        // re-route a link by accident.
        return event->type() == QEvent::Wheel && !static_cast<QWidget*>(watched)->hasFocus();
    }
    auto* editor = qobject_cast<QLineEdit*>(watched);
    if (editor && (editor == lbNew_ || editor == ubNew_ || editor == costNew_)) {
        if (event->type() == QEvent::KeyPress) {
            bool discard = false;
            kav::GuardHandler([&] { discard = LBNewKeyPress(static_cast<QKeyEvent*>(event)); });
            if (discard)
                return true;
        } else if (IsFieldExit(event)) {
            kav::GuardHandler([&] { EditorExit(editor); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFMChangeForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        kav::GuardHandler([&] { FormShow(); });
}

void TFMChangeForm::closeEvent(QCloseEvent* event) {
    RefuseWindowClose(event);
}

int32_t TFMChangeForm::CurrentLink() const {
    const int index = linkList_->currentIndex();
    const int32_t count = kav::TheWorkspace().LinkCount;
    return index >= 0 && index < count ? index + 1 : 0;
}

void TFMChangeForm::FormShow() {
    quitButton_->setEnabled(true);
    UpdateList();
    SelectQuietly(linkList_, 0);
    ShowCurrentLink();
    removalPending_ = false;
    linksEdited_ = false;
}

void TFMChangeForm::UpdateList() {
    const kav::Workspace& ws = kav::TheWorkspace();
    int remembered = linkList_->currentIndex();
    if (remembered < 0 || remembered >= ws.LinkCount)
        remembered = 0;
    QStringList linkLines;
    linkLines.reserve(ws.LinkCount);
    int32_t marked = 0;
    for (int32_t k = 1; k <= ws.LinkCount; ++k) {
        linkLines << FromBytes(kav::ChangeListLine(ws, k));
        if (kav::IsMarked(ws, k))
            ++marked;
    }
    FillQuietly(linkList_, linkLines);
    SelectQuietly(linkList_, remembered);
    QStringList names;
    names.reserve(ws.NodeCount);
    for (int32_t n = 1; n <= ws.NodeCount; ++n)
        names << FromBytes(ws.NodeName[n]);
    FillQuietly(originList_, names);
    FillQuietly(destList_, names);
    numberRemovedLabel_->setText(QString::fromStdString(kav::RemovalCountText(marked)));
}

void TFMChangeForm::LinkListChange() {
    kav::GuardHandler([&] { ShowCurrentLink(); });
}

void TFMChangeForm::ShowCurrentLink() {
    const int32_t k = CurrentLink();
    if (k == 0) {
        ShowNoLink();
        return;
    }
    for (QWidget* editor : std::initializer_list<QWidget*>{originList_, destList_, lbNew_, ubNew_,
                                                           costNew_, removeButton_}) {
        editor->setEnabled(true);
    }
    const kav::Workspace& ws = kav::TheWorkspace();
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
    // The solver's view of the link needs both ends to be nodes.
    const bool endsAreNodes = kav::IsNode(ws, origin) && kav::IsNode(ws, ws.LinkDest[k]);
    redCostField_->clear();
    kilterField_->clear();
    if (endsAreNodes) {
        redCostField_->setText(QString::fromStdString(kav::PadNumber(kav::ReducedCost(ws, k), 10)));
        kilterField_->setText(kav::KilterState(ws, k).InKilter ? QStringLiteral("Yes")
                                                               : QStringLiteral("No"));
    }
    lbNew_->setText(QString::number(ws.LinkLower[k]));
    ubNew_->setText(QString::number(ws.LinkUpper[k]));
    costNew_->setText(QString::number(ws.LinkCost[k]));
    removeButton_->setText(marked ? UnremoveCaption : RemoveCaption);
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
    for (QWidget* editor : std::initializer_list<QWidget*>{originList_, destList_, lbNew_, ubNew_,
                                                           costNew_, removeButton_}) {
        editor->setEnabled(false);
    }
}

void TFMChangeForm::OriginListChange() {
    kav::GuardHandler([&] {
        const int32_t k = CurrentLink();
        const int origin = originList_->currentIndex() + 1;
        if (k == 0 || origin < 1)
            return;
        kav::RerouteOrigin(kav::TheWorkspace(), k, origin);
        UpdateList();
        ShowCurrentLink();
        linksEdited_ = true;
    });
}

void TFMChangeForm::DestListChange() {
    kav::GuardHandler([&] {
        const int32_t k = CurrentLink();
        const int dest = destList_->currentIndex() + 1;
        if (k == 0 || dest < 1)
            return;
        kav::RerouteDest(kav::TheWorkspace(), k, dest);
        UpdateList();
        ShowCurrentLink();
        linksEdited_ = true;
    });
}

void TFMChangeForm::RemoveButtonClick() {
    kav::GuardHandler([&] {
        CommitFocusedEditor();
        const int32_t k = CurrentLink();
        if (k == 0)
            return;
        kav::ToggleRemovalMark(kav::TheWorkspace(), k);
        removalPending_ = true;
        linksEdited_ = true;
        UpdateList();
        ShowCurrentLink();
    });
}

bool TFMChangeForm::LBNewKeyPress(QKeyEvent* event) {
    if (!IsCharacterKey(event))
        return false;
    quitButton_->setEnabled(false);
    if (IsNumberFieldKey(event))
        return false;
    kav::ThePrompts().Beep(kav::BeepDefault);
    return true;
}

void TFMChangeForm::EditorExit(QLineEdit* editor) {
    if (editor == lbNew_) {
        LBNewExit();
    } else if (editor == ubNew_) {
        UBNewExit();
    } else {
        CostNewExit();
    }
}

namespace {

// Commits an editor's text to the current link; true when the link was written.
bool CommitEditor(int32_t link, kav::LinkField field, const QLineEdit* editor) {
    if (link == 0)
        return false;
    return kav::CommitLinkField(kav::TheWorkspace(), link, field, ToBytes(editor->text()));
}

}  // namespace

void TFMChangeForm::LBNewExit() {
    quitButton_->setEnabled(true);
    if (CommitEditor(CurrentLink(), kav::LinkField::Lower, lbNew_))
        linksEdited_ = true;
    UpdateList();
    ShowCurrentLink();
}

void TFMChangeForm::UBNewExit() {
    quitButton_->setEnabled(true);
    if (CommitEditor(CurrentLink(), kav::LinkField::Upper, ubNew_))
        linksEdited_ = true;
    UpdateList();
    ShowCurrentLink();
}

void TFMChangeForm::CostNewExit() {
    quitButton_->setEnabled(true);
    if (CommitEditor(CurrentLink(), kav::LinkField::Cost, costNew_))
        linksEdited_ = true;
    UpdateList();
    ShowCurrentLink();
}

void TFMChangeForm::CommitFocusedEditor() {
    QWidget* focused = focusWidget();
    for (QLineEdit* editor : {lbNew_, ubNew_, costNew_}) {
        if (focused == editor && editor->isModified())
            EditorExit(editor);
    }
}

void TFMChangeForm::QuitButtonClick() {
    kav::GuardHandler([&] {
        CommitFocusedEditor();
        kav::Workspace& ws = kav::TheWorkspace();
        if (removalPending_)
            kav::RemoveMarkedLinks(ws);
        if (linksEdited_)
            ws.DataNotSaved = true;
        hide();
        ShowMainMenu();
    });
}

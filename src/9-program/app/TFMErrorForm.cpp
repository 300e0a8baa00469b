#include "app/TFMErrorForm.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "gui/PickList.h"
#include "gui/Placement.h"
#include "workspace/Prompts.h"

TFMErrorForm::TFMErrorForm(kav::Prompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("FMErrorForm"));
    setWindowTitle(QStringLiteral("Connectivity Error List Form"));
    RemoveTitleBarButtons(this);
    PaintBackground(this, Colours::Navy);

    ErrorList = new PickList<QListWidget>(this);
    ErrorList->setObjectName(QStringLiteral("ErrorList"));
    ErrorList->setFont(FixedPitchFont(10, true));
    PaintText(ErrorList, Colours::Red);
    ErrorList->setToolTip(QStringLiteral("Error messages regarding connectivity and bounds"));
    ErrorList->setSelectionMode(QAbstractItemView::SingleSelection);
    // The window's title is the list's only label.
    ErrorList->setAccessibleName(QStringLiteral("Connectivity Error List"));

    OKButton = new QPushButton(QStringLiteral("&Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setToolTip(QStringLiteral("Click here to return to Main Menu"));
    OKButton->setMinimumWidth(120);
    ConnectGuarded(prompts_, OKButton, &QPushButton::clicked, this, &TFMErrorForm::OKButtonClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(ErrorList);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
    resize(FitOnScreen(QSize(880, 360)));  // wide enough for the return-link hint
}

void TFMErrorForm::ClearLines() {
    ErrorList->clear();
}

void TFMErrorForm::SetLines(const std::vector<std::string>& lines) {
    ErrorList->clear();
    for (const std::string& line : lines)
        ErrorList->addItem(FromBytes(line));
}

// Ok is the only way back to the main menu: a close from the window system
// would leave no window showing.
void TFMErrorForm::closeEvent(QCloseEvent* event) {
    RefuseWindowSystemClose(event, prompts_);
}

void TFMErrorForm::OKButtonClick() {
    hide();
    emit closed();
}

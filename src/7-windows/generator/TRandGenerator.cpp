#include "generator/TRandGenerator.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editing/StepNames.h"
#include "editing/ValidateIntegerField.h"
#include "generator/GenRand4.h"
#include "gui/Accessibility.h"
#include "gui/ConnectGuarded.h"
#include "gui/EditingWidgets.h"
#include "gui/GuiCommon.h"
#include "solver/Session.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

QFont InformalFont() {
    QFont font(QStringLiteral("Comic Sans MS"), 12);
    font.setStyleHint(QFont::Cursive);
    font.setBold(true);
    return font;
}

}  // namespace

TRandGenerator::TRandGenerator(kav::Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("RandGenerator"));
    setWindowTitle(QStringLiteral("Random Problem Generator"));
    PaintBackground(this, Colours::Yellow);
    setFont(InformalFont());

    Label1 = new QLabel(QStringLiteral("Number of &Origins"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    OriginEdit = new QLineEdit(QStringLiteral("OriginEdit"), this);
    OriginEdit->setObjectName(QStringLiteral("OriginEdit"));
    NameByLabel(Label1, OriginEdit);
    Label2 = new QLabel(QStringLiteral("Number of &Destinations"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    DestEdit = new QLineEdit(QStringLiteral("DestEdit"), this);
    DestEdit->setObjectName(QStringLiteral("DestEdit"));
    NameByLabel(Label2, DestEdit);
    GenButton = new QPushButton(QStringLiteral("&Generate Random"), this);
    GenButton->setObjectName(QStringLiteral("GenButton"));
    GenButton->setMinimumHeight(48);
    QuitButton = new QPushButton(QStringLiteral("&Quit"), this);
    QuitButton->setObjectName(QStringLiteral("QuitButton"));
    QuitButton->setMinimumHeight(48);
    for (QPushButton* button : {GenButton, QuitButton})
        button->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 20);
    layout->setSpacing(6);
    layout->addWidget(Label1);
    layout->addWidget(OriginEdit);
    layout->addSpacing(8);
    layout->addWidget(Label2);
    layout->addWidget(DestEdit);
    layout->addSpacing(16);
    layout->addWidget(GenButton);
    layout->addWidget(QuitButton);
    setTabOrder(OriginEdit, DestEdit);
    setTabOrder(DestEdit, GenButton);
    setTabOrder(GenButton, QuitButton);
    resize(340, sizeHint().height());

    // Leaving a field for another control captures it; switching to another
    // window or a popup does not.
    fields_ = new FieldWatcher(this, session_.prompts());
    fields_->Watch(OriginEdit, [this] { OriginEditExit(); });
    fields_->Watch(DestEdit, [this] { DestEditExit(); });
    ConnectGuarded(session_.prompts(), GenButton, &QPushButton::clicked, this,
                   &TRandGenerator::GenButtonClick);
    ConnectGuarded(session_.prompts(), QuitButton, &QPushButton::clicked, this,
                   &TRandGenerator::QuitButtonClick);
}

void TRandGenerator::CaptureCount(QLineEdit* field, int32_t& count) {
    const std::string text = ToBytes(field->text());
    if (const std::optional<int32_t> value = kav::ConvertIntegerText(text)) {
        count = *value;
        return;
    }
    // Message texts are UTF-8: the field may hold any character.
    session_.prompts().Message(
        kav::MsgKind::Error, kav::MsgButtons::Ok,
        "'" + field->text().toStdString() + "' is not a valid integer value");
}

void TRandGenerator::OriginEditExit() {
    CaptureCount(OriginEdit, originCount_);
}

void TRandGenerator::DestEditExit() {
    CaptureCount(DestEdit, destinationCount_);
}

void TRandGenerator::GenButtonClick() {
    // A count typed and not yet left (Alt+G) is taken in first.
    fields_->CommitFocusedField();
    const QByteArray folder = QFile::encodeName(QDir::currentPath());
    session_.history.Begin(session_.ws);
    const kav::GenerateResult result =
        kav::GenerateProblem(session_.ws, originCount_, destinationCount_,
                             std::string(folder.constData(), folder.size()), session_.randomSeed);
    session_.history.Commit(session_.ws, kav::GenerateStep, kav::StepKind::NewProblem);
    result.ShowTo(session_.prompts());
}

void TRandGenerator::QuitButtonClick() {
    fields_->CommitFocusedField();
    hide();
}

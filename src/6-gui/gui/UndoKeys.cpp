#include "gui/UndoKeys.h"

#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QWidget>

#include "editing/StepNames.h"
#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "solver/Session.h"

UndoKeys::UndoKeys(QWidget* window, kav::Session& session)
    : QObject(window), status_(new QLabel(window)), session_(session) {
    status_->setObjectName(QStringLiteral("UndoStatus"));
    status_->setAlignment(Qt::AlignCenter);
    status_->setMinimumHeight(status_->fontMetrics().height());
    const auto bind = [&](const QKeySequence& keys, void (UndoKeys::*handler)()) {
        auto* shortcut = new QShortcut(keys, window);
        ConnectGuarded(session_.prompts(), shortcut, &QShortcut::activated, this, handler);
    };
    bind(QKeySequence(Qt::CTRL | Qt::Key_Z), &UndoKeys::Undo);
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &UndoKeys::Redo);
    bind(QKeySequence(Qt::CTRL | Qt::Key_Y), &UndoKeys::Redo);
}

void UndoKeys::Undo() {
    const std::optional<std::string> step = session_.history.Undo(session_.ws);
    Say(kav::UndoneText(step ? &*step : nullptr));
    if (step)
        emit problemPutBack();
}

void UndoKeys::Redo() {
    const std::optional<std::string> step = session_.history.Redo(session_.ws);
    Say(kav::RedoneText(step ? &*step : nullptr));
    if (step)
        emit problemPutBack();
}

void UndoKeys::Say(const std::string& text) {
    status_->setText(FromBytes(text));
}

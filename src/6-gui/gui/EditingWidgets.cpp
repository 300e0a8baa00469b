#include "gui/EditingWidgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <utility>

#include "gui/Accessibility.h"
#include "gui/GuiCommon.h"
#include "gui/PickList.h"
#include "workspace/Prompts.h"

FieldWatcher::FieldWatcher(QWidget* window, kav::Prompts& prompts)
    : QObject(window), window_(window), prompts_(prompts) {}

void FieldWatcher::Watch(QLineEdit* field, std::function<void()> onExit,
                         KeyPressHandler onKeyPress) {
    fields_.push_back({field, std::move(onExit), std::move(onKeyPress)});
    field->installEventFilter(this);
}

void FieldWatcher::CommitFocusedField() {
    const WatchedField* focused = FocusedField();
    if (focused && focused->field->isModified())
        Leave(*focused);
}

void FieldWatcher::LeaveFocusedField() {
    if (const WatchedField* focused = FocusedField())
        Leave(*focused);
}

const FieldWatcher::WatchedField* FieldWatcher::Watched(const QObject* object) const {
    for (const WatchedField& watched : fields_) {
        if (watched.field == object)
            return &watched;
    }
    return nullptr;
}

const FieldWatcher::WatchedField* FieldWatcher::FocusedField() const {
    return Watched(window_->focusWidget());
}

void FieldWatcher::Leave(const WatchedField& watched) const {
    watched.field->setModified(false);
    kav::GuardHandler(prompts_, watched.onExit);
}

QAbstractButton* FieldWatcher::ButtonTakingFocus(const QEvent* focusOut) const {
    if (static_cast<const QFocusEvent*>(focusOut)->reason() != Qt::MouseFocusReason)
        return nullptr;
    // The focus has already moved: the widget that has it now is the one the
    // mouse was pressed on.
    auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    return button && button->window() == window_ ? button : nullptr;
}

void FieldWatcher::LeavePendingField() {
    if (pressedButton_)
        pressedButton_->removeEventFilter(this);
    pressedButton_ = nullptr;
    const WatchedField* watched = Watched(std::exchange(pendingField_, nullptr));
    if (watched)
        Leave(*watched);
}

bool FieldWatcher::ButtonPressed(const QMouseEvent* press) {
    const QPointer<QAbstractButton> button = pressedButton_;
    LeavePendingField();
    if (press->button() != Qt::LeftButton)
        return false;
    // The field's handler may have closed the window or disabled the button.
    if (button && button->isEnabled() && button->isVisible())
        button->click();
    return true;
}

bool FieldWatcher::eventFilter(QObject* object, QEvent* event) {
    if (pressedButton_ && object == pressedButton_ && event->type() == QEvent::MouseButtonPress)
        return ButtonPressed(static_cast<QMouseEvent*>(event));
    const WatchedField* watched = Watched(object);
    if (!watched)
        return false;
    if (event->type() == QEvent::KeyPress && watched->onKeyPress) {
        bool discard = false;
        kav::GuardHandler(prompts_,
                          [&] { discard = watched->onKeyPress(static_cast<QKeyEvent*>(event)); });
        return discard;
    }
    if (!IsFieldExit(event))
        return false;
    if (QAbstractButton* button = ButtonTakingFocus(event)) {
        pendingField_ = watched->field;
        pressedButton_ = button;
        button->installEventFilter(this);
        // The press follows at once; should it not reach the button, the
        // field is taken in all the same.
        QTimer::singleShot(0, this, [this] { LeavePendingField(); });
    } else {
        Leave(*watched);
    }
    return false;
}

TEditingWindow::TEditingWindow(const char* objectName, const QString& caption,
                               const QColor& background, kav::Prompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts), fields_(new FieldWatcher(this, prompts)) {
    setObjectName(QLatin1String(objectName));
    setWindowTitle(caption);
    RemoveTitleBarButtons(this);
    PaintBackground(this, background);
}

void TEditingWindow::CloseWithChooser() {
    fields_->LeaveFocusedField();
    hide();
}

void TEditingWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        kav::GuardHandler(prompts_, [&] { FormShown(); });
}

void TEditingWindow::closeEvent(QCloseEvent* event) {
    RefuseWindowSystemClose(event, prompts_);
}

bool IsFieldUndoKey(const QKeyEvent* event) {
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
           event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
}

bool IsCharacterKey(const QKeyEvent* event) {
    if (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (event->key()) {
        case Qt::Key_Backspace:
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
            return false;
        default:
            return !event->text().isEmpty();
    }
}

bool IsNumberFieldKey(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace)
        return true;
    const QString text = event->text();
    if (text.size() != 1)
        return false;
    const QChar c = text.front();
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
           c == QLatin1Char('-') || c == QChar(8);
}

namespace {

// Alt, Ctrl or Meta held with a key that is not itself a modifier.
bool IsModifiedKey(const QKeyEvent* event) {
    if (!(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    switch (event->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_unknown:
            return false;
        default:
            return true;
    }
}

}  // namespace

bool FilterNumberKey(const QKeyEvent* event, QPushButton* quit, kav::Prompts& prompts) {
    if (IsFieldUndoKey(event)) {
        quit->setEnabled(false);
        return false;
    }
    if (IsModifiedKey(event)) {
        prompts.Beep(kav::BeepDefault);
        return true;
    }
    if (!IsCharacterKey(event))
        return false;
    quit->setEnabled(false);
    if (IsNumberFieldKey(event))
        return false;
    prompts.Beep(kav::BeepDefault);
    return true;
}

bool IsFieldExit(const QEvent* event) {
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    // Some room on both sides of the caption, which would otherwise touch the
    // button's edges when the layout gives the button no more than it asks for.
    button->setMinimumWidth(button->sizeHint().width() + 16);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy,
                  bool bold) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    if (buddy)
        NameByLabel(label, buddy);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

QLineEdit* MakeField(QWidget* parent, const char* name, const QString& hint) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setToolTip(hint);
    return field;
}

QListWidget* MakeFixedPitchList(QWidget* parent, const char* name, const QString& hint) {
    auto* list = new PickList<QListWidget>(parent);
    list->setObjectName(QLatin1String(name));
    list->setToolTip(hint);
    list->setFont(FixedPitchFont());
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    SizeLinesByLongest(list);
    return list;
}

void ChainTabOrder(std::initializer_list<QWidget*> order) {
    QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

QStringList ListLines(int32_t count, const std::function<std::string(int32_t)>& line) {
    QStringList lines;
    lines.reserve(count);
    for (int32_t k = 1; k <= count; ++k)
        lines << FromBytes(line(k));
    return lines;
}

int SelectedNumber(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? 0 : list->row(selected.front()) + 1;
}

#pragma once

#include <QAbstractButton>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class QCloseEvent;
class QColor;
class QEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMouseEvent;
class QPushButton;
class QShowEvent;

namespace kav {
class Prompts;
}  // namespace kav

// Runs a window's handlers for its one-line text fields: onExit when a field
// loses focus to another control of the window, onKeyPress (when given) at
// each key press that types into it, true discarding the key.
//
// A mouse press on one of the window's buttons moves the focus before the
// button sees the press. A field left that way is taken in when the press
// reaches the button, and the button is then clicked at once, as its
// accelerator would click it: the field's messages would otherwise hold the
// press while the user lets the mouse go over the box, and the click would be
// lost with the button drawn pressed.
class FieldWatcher : public QObject {
  public:
    using KeyPressHandler = std::function<bool(QKeyEvent*)>;

    // Errors that escape a handler are shown through prompts.
    FieldWatcher(QWidget* window, kav::Prompts& prompts);

    void Watch(QLineEdit* field, std::function<void()> onExit, KeyPressHandler onKeyPress = {});

    // A field typed into and still focused (a command's accelerator was
    // pressed) is taken in before that command runs, as if it had been left.
    void CommitFocusedField();
    // The focused field is taken in, typed into or not (its window closes).
    void LeaveFocusedField();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct WatchedField {
        QLineEdit* field;
        std::function<void()> onExit;
        KeyPressHandler onKeyPress;
    };
    const WatchedField* Watched(const QObject* object) const;
    const WatchedField* FocusedField() const;
    void Leave(const WatchedField& watched) const;
    // The button of this window that a mouse press is giving the focus to.
    QAbstractButton* ButtonTakingFocus(const QEvent* focusOut) const;
    // Takes in the field left for pressedButton_, if that is still pending.
    void LeavePendingField();
    // The press that left a field reached its button: the field is taken in
    // and the button clicked. True when the press is used up.
    bool ButtonPressed(const QMouseEvent* press);

    QWidget* window_;
    kav::Prompts& prompts_;
    std::vector<WatchedField> fields_;
    QLineEdit* pendingField_ = nullptr;
    QPointer<QAbstractButton> pressedButton_;
};

// What the editing windows share. Each is created once and afterwards only
// shown and hidden; its title-bar close is refused (it is left through its own
// Quit button only); its show handler runs each time the program shows it; and
// its text fields run the window's handlers when they are left and, where
// given, at each key press (FieldWatcher).
class TEditingWindow : public QWidget {
    Q_OBJECT
  public:
    TEditingWindow(const char* objectName, const QString& caption, const QColor& background,
                   kav::Prompts& prompts, QWidget* parent);

    // The window is closed from outside (the chooser's Quit): the focused field
    // is left, typed into or not, and the window hides.
    void CloseWithChooser();

  protected:
    // The window's FormCreate or FormShow handler.
    virtual void FormShown() = 0;

    // The window's handler onExit runs when field loses focus to another
    // control of the window; onKeyPress, when given, at each key press that
    // types into it (returning true discards the key).
    template <class Window>
    void WatchField(QLineEdit* field, void (Window::*onExit)(),
                    bool (Window::*onKeyPress)(QKeyEvent*) = nullptr);

    // A field typed into and still focused (a command's accelerator was
    // pressed) is taken in before that command runs, as if it had been left.
    void CommitFocusedField() { fields_->CommitFocusedField(); }
    // The focused field is checked and taken in as leaving it would, typed
    // into or not; the focus stays where it is.
    void LeaveFocusedField() { fields_->LeaveFocusedField(); }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // Every message box and beep of the window.
    kav::Prompts& prompts_;

  private:
    FieldWatcher* fields_;
};

template <class Window>
void TEditingWindow::WatchField(QLineEdit* field, void (Window::*onExit)(),
                                bool (Window::*onKeyPress)(QKeyEvent*)) {
    auto* window = static_cast<Window*>(this);
    FieldWatcher::KeyPressHandler keyPress;
    if (onKeyPress)
        keyPress = [window, onKeyPress](QKeyEvent* event) { return (window->*onKeyPress)(event); };
    fields_->Watch(
        field, [window, onExit] { (window->*onExit)(); }, std::move(keyPress));
}

// A key press that types a character into a field (the platform's key-press
// event): not Tab, not an Alt accelerator, not a bare navigation key.
bool IsCharacterKey(const QKeyEvent* event);

// The keys the number fields accept: digits, backspace, full stop, minus.
bool IsNumberFieldKey(const QKeyEvent* event);

// The keys of a text field's own undo and redo of its text: Ctrl+Z,
// Ctrl+Shift+Z, Ctrl+Y.
bool IsFieldUndoKey(const QKeyEvent* event);

// The key filter of the number fields: every key press that types disables
// quit until a field is left; a key a number cannot hold is discarded with the
// plain message beep, and so is every other key pressed with Alt, Ctrl or Meta
// that reaches the field (no accelerator of the window took it, or its button
// is disabled): such a key neither types nor edits. The field's own undo and
// redo (IsFieldUndoKey) edit it, as typing does. True when the key is
// discarded.
bool FilterNumberKey(const QKeyEvent* event, QPushButton* quit, kav::Prompts& prompts);

// Focus moved from a field to another control of its window. Focus lost because
// the window itself stopped being active (a message box, another window) or a
// context menu opened is not leaving the field.
bool IsFieldExit(const QEvent* event);

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint);
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy,
                  bool bold = true);
QLineEdit* MakeField(QWidget* parent, const char* name, const QString& hint);
QListWidget* MakeFixedPitchList(QWidget* parent, const char* name, const QString& hint);

// Tab moves through the controls in this order.
void ChainTabOrder(std::initializer_list<QWidget*> order);

// The lines line(1) .. line(count), shown from their bytes.
QStringList ListLines(int32_t count, const std::function<std::string(int32_t)>& line);

// The selected line of a list as a number from 1, or 0 when none is selected.
int SelectedNumber(const QListWidget* list);

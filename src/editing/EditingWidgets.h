#pragma once

#include <QString>

class QCloseEvent;
class QEvent;
class QFocusEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

// Small helpers shared by the editing windows.

// A key press that types a character into a field (the platform's key-press
// event): not Tab, not an Alt accelerator, not a bare navigation key.
bool IsCharacterKey(const QKeyEvent* event);

// The keys the number fields accept: digits, backspace, full stop, minus.
bool IsNumberFieldKey(const QKeyEvent* event);

// Focus moved from a field to another control of its window. Focus lost because
// the window itself stopped being active (a message box, another window) or a
// context menu opened is not leaving the field.
bool IsFieldExit(const QEvent* event);

// The title-bar close of an editing window is refused: each is left through its
// own Quit button only.
void RefuseWindowClose(QCloseEvent* event);

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint);
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy,
                  bool bold = true);
QLineEdit* MakeField(QWidget* parent, const char* name, const QString& hint);
QListWidget* MakeFixedPitchList(QWidget* parent, const char* name, const QString& hint);

// The selected line of a list as a number from 1, or 0 when none is selected.
int SelectedNumber(const QListWidget* list);

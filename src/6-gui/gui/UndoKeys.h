#pragma once

#include <QObject>
#include <string>

namespace kav {
class Session;
}  // namespace kav

class QLabel;
class QWidget;

// The undo and redo keys of a window that edits the problem: Ctrl+Z undoes
// the last change of the session's problem, Ctrl+Shift+Z and Ctrl+Y redo it,
// while the window is active and no text field has the focus (a field keeps
// the keys for its own text). The window's status line says what was undone
// or redone; a label's new text reaches a screen reader as a name change.
class UndoKeys : public QObject {
    Q_OBJECT
  public:
    UndoKeys(QWidget* window, kav::Session& session);

    // The status line, for the window's layout; empty until a key is used.
    QLabel* Status() const { return status_; }

  signals:
    // An undo or redo put a problem back: what the windows show is stale.
    void problemPutBack();

  private:
    void Undo();
    void Redo();
    void Say(const std::string& text);

    QLabel* status_;
    kav::Session& session_;
};

#pragma once

#include "gui/EditingWidgets.h"

namespace kav {
class Session;
}  // namespace kav

class QPushButton;
class UndoKeys;

// The add chooser: opens the node window or the link window, or returns to the
// main menu. It stays visible while either of them is open over it.
class TFMAddStuff : public TEditingWindow {
    Q_OBJECT
  public:
    explicit TFMAddStuff(kav::Session& session, QWidget* parent = nullptr);

    UndoKeys* Undo() const { return undoKeys_; }

  signals:
    void nodeWindowRequested();
    void linkWindowRequested();
    // Quit was pressed: the windows opened from here are to close first.
    void closing();
    // The chooser has closed; problemComplete when the problem has at least
    // two nodes and two links.
    void closed(bool problemComplete);

  public slots:
    // Links need two nodes: refreshed whenever the node window lists the nodes.
    void UpdateLinkButton();

  private:
    void NodeBUttonClick();
    void LinkButtonClick();
    void QuitButtonClick();

    void FormShown() override { FormCreate(); }
    // Runs each time the chooser is shown, not only when it is made.
    void FormCreate();

    QPushButton* nodeButton_;
    QPushButton* linkButton_;
    QPushButton* quitButton_;
    UndoKeys* undoKeys_;

    kav::Session& session_;
};

#pragma once

#include <string>

#include "gui/EditingWidgets.h"

namespace kav {
class Session;
}  // namespace kav

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class UndoKeys;

// The node window: appends named nodes and removes unused ones.
class TFXNodeAddForm : public TEditingWindow {
    Q_OBJECT
  public:
    explicit TFXNodeAddForm(kav::Session& session, QWidget* parent = nullptr);

    UndoKeys* Undo() const { return undoKeys_; }

  public slots:
    // An undo or redo changed the problem: a shown list is filled afresh.
    void ProblemPutBack();

  signals:
    // The node list was filled afresh from the Workspace (on show, after Add
    // and Remove, whether they changed anything or not).
    void nodeListShown();
    // A node was added or removed.
    void nodesChanged();

  private slots:
    void AddButtonClick();
    void RemoveButtonClick();
    void QuitButtonClick();

  private:
    void FormShown() override { FormCreate(); }
    // Runs each time the window is shown, not only when it is made.
    void FormCreate();
    void NodeNameExit();
    void Update_List_of_Nodes();

    // The name taken from the field when it was last left; Add uses this.
    std::string pendingNodeName_;

    QLineEdit* nodeName_;
    QPushButton* addButton_;
    QPushButton* removeButton_;
    QPushButton* quitButton_;
    QListWidget* nodeList_;
    QLabel* information_;
    UndoKeys* undoKeys_;

    kav::Session& session_;
};

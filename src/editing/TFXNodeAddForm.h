#pragma once

#include <string>

#include "editing/EditingWidgets.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The node window: appends named nodes and removes unused ones.
class TFXNodeAddForm : public TEditingWindow {
    Q_OBJECT
  public:
    explicit TFXNodeAddForm(QWidget* parent = nullptr);

  private slots:
    void AddButtonClick();
    void RemoveButtonClick();
    void QuitButtonClick();

  private:
    void FormShown() override { FormCreate(); }
    void FormCreate();
    void NodeNameExit();
    void Update_List_of_Nodes();
    // The link window, when open beside this one, lists the nodes as they are.
    void ShowNodesInLinkWindow();

    // The name taken from the field when it was last left; Add uses this.
    std::string pendingNodeName_;

    QLineEdit* nodeName_;
    QPushButton* addButton_;
    QPushButton* removeButton_;
    QPushButton* quitButton_;
    QListWidget* nodeList_;
    QLabel* information_;
};

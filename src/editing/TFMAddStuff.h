#pragma once

#include "editing/EditingWidgets.h"

class QPushButton;

// The add chooser: opens the node window or the link window, or returns to the
// main menu. It stays visible while either of them is open over it.
class TFMAddStuff : public TEditingWindow {
    Q_OBJECT
  public:
    explicit TFMAddStuff(QWidget* parent = nullptr);

    // Links need two nodes: the node window calls this after every change.
    void UpdateLinkButton();

  private slots:
    void NodeBUttonClick();
    void LinkButtonClick();
    void QuitButtonClick();

  private:
    void FormShown() override { FormCreate(); }
    void FormCreate();

    QPushButton* nodeButton_;
    QPushButton* linkButton_;
    QPushButton* quitButton_;
};

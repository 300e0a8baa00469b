#pragma once

#include <cstdint>

#include "gui/EditingWidgets.h"

namespace kav {
class Session;
}  // namespace kav

class QLineEdit;
class QListWidget;
class QPushButton;
class UndoKeys;

// The link window: appends links between two chosen nodes with the bounds and
// cost taken from its fields, and removes links.
class TFMLinkAddForm : public TEditingWindow {
    Q_OBJECT
  public:
    explicit TFMLinkAddForm(kav::Session& session, QWidget* parent = nullptr);

    // Refills the node lists and the link table from the Workspace.
    void UpdateAllLists();

    UndoKeys* Undo() const { return undoKeys_; }

  public slots:
    // Nodes were added or removed elsewhere, or an undo or redo changed the
    // problem: while open, the window lists them as they are (it lists them
    // afresh whenever it is shown).
    void NodesChanged();

  private slots:
    void AddLinkClick();
    void RemoveLinkButtonClick();
    void QuitButtonClick();

  private:
    void FormShown() override { FormCreate(); }
    // Runs each time the window is shown, not only when it is made.
    void FormCreate();
    // Key filter of the three number fields (unit cost, lower and upper bound,
    // not only UnitCost); true when the key is discarded or used. Enter adds
    // the link.
    bool UnitCostKeyPress(QKeyEvent* event);
    void UnitCostExit();
    void LowerBoundExit();
    void UpperBoundExit();

    // Values taken from the fields when they were last left; Add Link uses these.
    int32_t pendingCost_ = 0;
    int32_t pendingLower_ = 0;
    int32_t pendingUpper_ = 0;

    QListWidget* originList_;
    QListWidget* destinationList_;
    QLineEdit* unitCost_;
    QLineEdit* lowerBound_;
    QLineEdit* upperBound_;
    QListWidget* linkList_;
    QPushButton* addLink_;
    QPushButton* removeLinkButton_;
    QPushButton* quitButton_;
    UndoKeys* undoKeys_;

    kav::Session& session_;
};

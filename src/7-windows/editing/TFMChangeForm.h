#pragma once

#include <cstdint>

#include "editing/EditingOps.h"
#include "gui/EditingWidgets.h"

namespace kav {
class Session;
}  // namespace kav

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The change window: shows one link at a time, re-routes it, changes its bounds
// and cost at once, and marks links that are removed when the window is left.
class TFMChangeForm : public TEditingWindow {
    Q_OBJECT
  public:
    explicit TFMChangeForm(kav::Session& session, QWidget* parent = nullptr);

  signals:
    // Quit closed the window (the marked links are gone).
    void closed();

  private slots:
    void LinkListChange();
    void OriginListChange();
    void DestListChange();
    void RemoveButtonClick();
    void QuitButtonClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormShown() override { FormShow(); }
    // Runs each time the program shows the window: a visit starts at link 1.
    void FormShow();
    void UpdateList();
    void ShowCurrentLink();
    void ShowNoLink();
    // The controls that change the current link: the two drop-downs, the three
    // editors and Remove.
    void SetEditorsEnabled(bool enabled);
    // Key filter of the three editors (lower bound, upper bound and cost, not
    // only LBNew); true when the key is discarded.
    bool LBNewKeyPress(QKeyEvent* event);
    void LBNewExit();
    void UBNewExit();
    void CostNewExit();
    // Re-routes the current link to the node chosen in nodes.
    void RerouteCurrentLink(const QComboBox* nodes,
                            void (*reroute)(kav::Workspace&, int32_t, int32_t));
    // Commits an editor's text to the current link and shows the link again.
    void CommitEditor(kav::LinkField field, const QLineEdit* editor);
    // The current link (1..LinkCount), or 0 when there are no links.
    int32_t CurrentLink() const;

    bool removalPending_ = false;  // a mark was set or cleared during this visit
    bool linksEdited_ = false;     // something was committed to a link during this visit

    QComboBox* linkList_;
    QLineEdit* linkNoField_;
    QLabel* linkRemoveLabel_;
    QLineEdit* originField_;
    QComboBox* originList_;
    QLineEdit* destField_;
    QComboBox* destList_;
    QLineEdit* lbField_;
    QLineEdit* lbNew_;
    QLineEdit* flowField_;
    QLineEdit* ubField_;
    QLineEdit* ubNew_;
    QLineEdit* costField_;
    QLineEdit* costNew_;
    QLineEdit* redCostField_;
    QLineEdit* kilterField_;
    QLabel* numberRemovedLabel_;
    QPushButton* removeButton_;
    QPushButton* quitButton_;

    kav::Session& session_;
};

#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "editing/EditingOps.h"
#include "results/Sensitivity.h"

namespace kav {
class Session;
}  // namespace kav

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;

// What if: for every link of the current optimal solution, the costs over
// which the plan stays optimal and what one unit more or less on each bound
// is worth, computed off this window's thread. Try... solves a private copy
// with one changed value; Apply asks for that change to be made for real.
class TFMWhatIf : public QWidget {
    Q_OBJECT
  public:
    explicit TFMWhatIf(kav::Session& session, QWidget* parent = nullptr);
    ~TFMWhatIf() override;

    // Shows the window for the current solution: listed are the links the
    // results window shows, selected the link to explain first (0: none).
    void ShowFor(const std::vector<int32_t>& listed, int32_t selected);

  signals:
    // Apply: make this change through the change window's operation, solve
    // and show the results again.
    void applyRequested(int32_t link, kav::LinkField field, const std::string& text);

  private:
    void Compute();
    void Fill();
    void FilterRows();
    void SelectionChanged();
    void TryClick();
    void ApplyClick();
    void ExportClick();
    int32_t SelectedLink() const;

    QCheckBox* shownOnly_;
    QTableWidget* table_;
    QLabel* sentence_;
    QComboBox* field_;
    QLineEdit* value_;
    QPushButton* tryButton_;
    QPushButton* applyButton_;
    QPushButton* exportButton_;
    QPushButton* closeButton_;
    QLabel* tryResult_;
    QListWidget* tryFlows_;
    QProgressBar* busy_;

    std::vector<kav::LinkSensitivity> figures_;
    std::vector<int32_t> listed_;
    int32_t preselected_ = 0;
    QThread* running_ = nullptr;
    uint64_t generation_ = 0;
    kav::Session& session_;
};

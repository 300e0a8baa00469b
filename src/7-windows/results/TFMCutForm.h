#pragma once

#include <QWidget>

#include "results/ReportPrinting.h"

namespace kav {
class Session;
}  // namespace kav

class QCloseEvent;
class QListWidget;
class QPushButton;
class QShowEvent;

// Why the last solve found no feasible flow: the link the solver was working
// on, a set of nodes that must receive more than it can send out, the links
// into and out of the set, and its nodes. Shown in place of the main menu
// after an infeasible run until the user presses Ok, and again over the
// results window from its Cut... button while the cut is current.
class TFMCutForm : public QWidget {
    Q_OBJECT
  public:
    explicit TFMCutForm(kav::Session& session, QWidget* parent = nullptr);

  signals:
    // Ok closed the window that stood in place of the main menu.
    void closed();

  public slots:
    // After a run: the window replaces the main menu, which Ok brings back.
    void ShowInPlaceOfMenu();
    // From the results window: Ok goes back to it, and the window closes
    // with it.
    void ShowOverResults();
    void ResultsClosed();
    void FormShow();
    void OKButtonClick();
    void PrintButtonClick();
    void PreviewButtonClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    ReportText Report() const;

    QListWidget* CutList;
    QPushButton* OKButton;
    QPushButton* PrintButton;
    QPushButton* PreviewButton;
    bool returnsToMenu_ = true;

    kav::Session& session_;
};

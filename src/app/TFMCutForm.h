#pragma once

#include <QWidget>

class QCloseEvent;
class QListWidget;
class QPushButton;
class QShowEvent;

// Why the last solve found no feasible flow: the nodes that cannot be
// balanced, what must come into them and what can leave, and the links that
// cross their boundary. Shown in place of the main menu after an infeasible
// run until the user presses Ok.
class TFMCutForm : public QWidget {
    Q_OBJECT
  public:
    explicit TFMCutForm(QWidget* parent = nullptr);

  signals:
    // Ok closed the window.
    void closed();

  public slots:
    void FormShow();
    void OKButtonClick();
    void PrintButtonClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QListWidget* CutList;
    QPushButton* OKButton;
    QPushButton* PrintButton;
};

#pragma once

#include <QWidget>
#include <string>
#include <vector>

namespace kav {
class Prompts;
}  // namespace kav

class QCloseEvent;
class QListWidget;
class QPushButton;

// The connectivity error list: the lines of a failed pre-solve check, shown in
// place of the main menu until the user presses Ok.
class TFMErrorForm : public QWidget {
    Q_OBJECT
  public:
    explicit TFMErrorForm(kav::Prompts& prompts, QWidget* parent = nullptr);

    void ClearLines();
    void SetLines(const std::vector<std::string>& lines);

  signals:
    // Ok closed the window.
    void closed();

  public slots:
    void OKButtonClick();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QListWidget* ErrorList;
    QPushButton* OKButton;

    kav::Prompts& prompts_;
};

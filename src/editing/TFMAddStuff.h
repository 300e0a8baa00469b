#pragma once

#include <QWidget>

class QPushButton;

// The add chooser: opens the node window or the link window, or returns to the
// main menu. It stays visible while either of them is open over it.
class TFMAddStuff : public QWidget {
    Q_OBJECT
  public:
    explicit TFMAddStuff(QWidget* parent = nullptr);

    // Links need two nodes: the node window calls this after every change.
    void UpdateLinkButton();

  private slots:
    void NodeBUttonClick();
    void LinkButtonClick();
    void QuitButtonClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();

    QPushButton* nodeButton_;
    QPushButton* linkButton_;
    QPushButton* quitButton_;
};

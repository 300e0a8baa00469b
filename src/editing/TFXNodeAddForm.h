#pragma once

#include <QWidget>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The node window: appends named nodes and removes unused ones.
class TFXNodeAddForm : public QWidget {
    Q_OBJECT
  public:
    explicit TFXNodeAddForm(QWidget* parent = nullptr);

    // The chooser is closing: take in the typed name and hide.
    void CloseWithChooser();

  private slots:
    void AddButtonClick();
    void RemoveButtonClick();
    void QuitButtonClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    void NodeNameExit();
    void Update_List_of_Nodes();
    // A name typed and not yet taken in (an accelerator pressed while the field
    // still has focus) is taken in before a command runs.
    void CommitFocusedField();

    // The name taken from the field when it was last left; Add uses this.
    std::string pendingNodeName_;

    QLineEdit* nodeName_;
    QPushButton* addButton_;
    QPushButton* removeButton_;
    QPushButton* quitButton_;
    QListWidget* nodeList_;
    QLabel* information_;
};

#pragma once

#include <QWidget>
#include <cstdint>

class QLineEdit;
class QListWidget;
class QPushButton;

// The link window: appends links between two chosen nodes with the bounds and
// cost taken from its fields, and removes links.
class TFMLinkAddForm : public QWidget {
    Q_OBJECT
  public:
    explicit TFMLinkAddForm(QWidget* parent = nullptr);

    // The chooser is closing: take in a typed value and hide.
    void CloseWithChooser();

  private slots:
    void AddLinkClick();
    void RemoveLinkButtonClick();
    void QuitButtonClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    void UpdateAllLists();
    // Key filter of the three number fields; true when the key is discarded.
    bool UnitCostKeyPress(QKeyEvent* event);
    void UnitCostExit();
    void LowerBoundExit();
    void UpperBoundExit();
    void FieldExit(QLineEdit* field);
    // A value typed and not yet taken in (an accelerator pressed while the field
    // still has focus) is taken in before a command runs.
    void CommitFocusedField();

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
};

#pragma once

#include <QWidget>

#include "results/ReportPrinting.h"

#include "results/ResultLines.h"

namespace kav {
class Session;
}  // namespace kav

class QButtonGroup;
class QGroupBox;
class QLabel;
class QListView;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QStringListModel;

// The results window: one line per link (bounds, flow, cost, reduced cost and
// an out-of-kilter mark), one line per node with its potential, the total cost
// and the kilter warnings. The links can be listed in input order or grouped
// by origin or destination name, all of them or only those with flow, and the
// lists can be printed. Shown by the main menu's Display button; Quit goes
// back to the main menu.
class TFMResultsForm : public QWidget {
    Q_OBJECT
  public:
    explicit TFMResultsForm(kav::Session& session, QWidget* parent = nullptr);
    ~TFMResultsForm() override;

  signals:
    // Quit closed the window.
    void closed();
    // Network Picture was pressed.
    void pictureRequested();
    // Cut... was pressed: show why the last solve found no feasible flow.
    void cutRequested();
    // The user selected a link's line (its number).
    void linkChosen(int32_t link);
    // What If... was pressed, with the links listed and the one selected
    // (0: none).
    void whatIfRequested(const std::vector<int32_t>& listed, int32_t selected);

  public slots:
    // Selects the link's line when the list shows it; false when it does not.
    bool SelectLink(int32_t link);
    // Selects the line of the node (the first line with its name).
    void SelectNode(int32_t node);
    // Rebuilds the lists as when the window is shown (after a solve the
    // What If window asked for).
    void ShowAgain();

  protected:
    void showEvent(QShowEvent* event) override;
    // Quit is the only way back to the main menu.
    void closeEvent(QCloseEvent* event) override;

  private slots:
    // Runs each time the program shows the window: the lists are rebuilt.
    void FormShow();
    void InputOrderButtonClick();
    void OriginOrderButtonClick();
    void DestOrderButtonClick();
    void LinkSelectorClick();
    void PrintButtonClick();
    void PreviewButtonClick();
    void ExportButtonClick();
    void QuitButtonClick();
    void NetworkPictureButtonClick();
    void CutButtonClick();
    void WhatIfButtonClick();
    void LinkListChange();

  private:
    void CreateControls();
    void LayOutControls();
    void AlignHeadings();
    void SetFocusOrder();
    void ConnectHandlers();

    bool ShowAllLinks() const;
    void ShowInOrder(kav::LinkOrder order);
    void ShowLists(kav::LinkOrder order);

    ReportText Report() const;

    QLabel* label1_ = nullptr;
    QLabel* linkInfoLabel_ = nullptr;
    QListView* linkList_ = nullptr;
    QStringListModel* linkLines_ = nullptr;
    QLabel* outOfKilterLabel_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* nodeInfoLabel_ = nullptr;
    QListView* nodeList_ = nullptr;
    QStringListModel* nodeLines_ = nullptr;
    QLabel* kilterWarning_ = nullptr;
    QLabel* costLabel_ = nullptr;
    QLabel* optimalityLabel_ = nullptr;
    QGroupBox* linkSelector_ = nullptr;
    QButtonGroup* linkChoices_ = nullptr;
    QRadioButton* allLinksChoice_ = nullptr;
    QRadioButton* nonZeroChoice_ = nullptr;
    QPushButton* inputOrderButton_ = nullptr;
    QPushButton* originOrderButton_ = nullptr;
    QPushButton* destOrderButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    QPushButton* networkPictureButton_ = nullptr;
    QPushButton* cutButton_ = nullptr;
    QPushButton* whatIfButton_ = nullptr;
    bool selectingFromCode_ = false;

    // The link order of the last rebuild.
    kav::LinkOrder listOrder_ = kav::LinkOrder::Origin;
    // The link selection of the last rebuild.
    bool listedAllLinks_ = true;
    kav::ResultListBuilder builder_;
    kav::ResultLists lists_;

    kav::Session& session_;
};

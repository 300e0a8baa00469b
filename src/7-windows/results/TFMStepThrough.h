#pragma once

#include <QImage>
#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "drawing/PictureDrawing.h"
#include "results/GraphvizWorker.h"
#include "workspace/ProblemFiles.h"

class QHideEvent;
class QKeyEvent;
class QLabel;
class QListView;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTimer;
class QWidget;

namespace kav {
class Prompts;
struct WriteResult;
class SolveSteps;
struct Workspace;
}  // namespace kav

// Walks through a solve step by step on the network picture: the link being
// brought into kilter, the labels of each pass as a growing tree, the cycle of
// a flow change, the nodes whose potentials rise, with every link's flow and
// reduced cost and every node's potential after each step, and the step in
// plain words. The solve is replayed on a copy of the problem as it was
// solved: the problem and its results stay as they are.
class TFMStepThrough : public QMainWindow {
    Q_OBJECT
  public:
    // Exports never go over protectedFiles (the session's).
    TFMStepThrough(kav::Prompts& prompts, const kav::ProtectedFiles& protectedFiles,
                   QWidget* parent = nullptr);
    ~TFMStepThrough() override;

    // Replays the solve of asSolved (its flows and potentials those the solve
    // started from) on the picture's layout of the same network, and shows the
    // window beside `beside` at the first step.
    void ShowSteps(const kav::Workspace& asSolved, PictureResultPtr layout,
                   const QWidget* beside = nullptr);

    // The replay on show (null while the window is closed).
    const kav::SolveSteps* Steps() const { return steps_.get(); }
    QString StepText() const;
    const kav::PictureDrawing& Drawing() const { return drawing_; }

  private slots:
    void StepButtonClick();
    void BackButtonClick();
    void NextLinkButtonClick();
    void PreviousLinkButtonClick();
    void NextBreakthroughButtonClick();
    void PreviousBreakthroughButtonClick();
    void NextChangeButtonClick();
    void PreviousChangeButtonClick();
    void GoToStepEdited();
    void LogClicked();
    void ExportStepButtonClick();
    void HandoutButtonClick();
    void PlayButtonClick();
    void RestartButtonClick();
    void EndButtonClick();
    void CloseButtonClick();
    void SpeedSliderChange();
    void PlayTimerTick();

  protected:
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Left (false) or Right (true): steps, or moves the focused speed slider.
    void ArrowKey(bool right);
    void CreateControls();
    void LayOutControls();
    void ConnectHandlers();
    void ShowStep();
    void ShowSidePanels(const kav::SolveEvent& event);
    void Jump(bool forward, int kind);
    QImage StepImage(double scale, bool withText) const;
    std::string Handout();
    void ReportWritten(const QString& what, const std::string& fileName,
                       const kav::WriteResult& written);
    void DrawValues();
    void Pause();

    kav::Prompts& prompts_;
    const kav::ProtectedFiles& protectedFiles_;
    QPushButton* restartButton_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* stepButton_ = nullptr;
    QPushButton* nextLinkButton_ = nullptr;
    QPushButton* endButton_ = nullptr;
    QPushButton* previousLinkButton_ = nullptr;
    QPushButton* nextBreakthroughButton_ = nullptr;
    QPushButton* previousBreakthroughButton_ = nullptr;
    QPushButton* nextChangeButton_ = nullptr;
    QPushButton* previousChangeButton_ = nullptr;
    QSpinBox* goToStep_ = nullptr;
    QLabel* speedText_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* handoutButton_ = nullptr;
    QSpinBox* handoutFrom_ = nullptr;  // the handout's steps, both ends included
    QSpinBox* handoutTo_ = nullptr;
    QPlainTextEdit* candidates_ = nullptr;
    QWidget* kilterDiagram_ = nullptr;
    QListView* log_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QSlider* speedSlider_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QLabel* counter_ = nullptr;
    QLabel* text_ = nullptr;
    QLabel* legend_ = nullptr;
    QWidget* canvas_ = nullptr;
    QTimer* playTimer_ = nullptr;

    std::unique_ptr<kav::SolveSteps> steps_;
    std::unique_ptr<kav::Workspace> shown_;  // the problem with the step's values
    PictureResultPtr layout_;
    kav::PictureDrawing drawing_;
    // What drawing_ was made for.
    PictureResultPtr drawnFor_;
    std::vector<int32_t> drawnFlows_;
    std::vector<int32_t> drawnPotentials_;
};

#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "drawing/PictureDrawing.h"
#include "results/GraphvizWorker.h"

class QHideEvent;
class QKeyEvent;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QWidget;

namespace kav {
class Prompts;
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
    explicit TFMStepThrough(kav::Prompts& prompts, QWidget* parent = nullptr);
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
    void DrawValues();
    void Pause();

    kav::Prompts& prompts_;
    QPushButton* restartButton_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* stepButton_ = nullptr;
    QPushButton* nextLinkButton_ = nullptr;
    QPushButton* endButton_ = nullptr;
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

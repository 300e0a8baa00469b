#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "solver/KiltSolve.h"

namespace kav {
class Prompts;
struct NumberSeparators;
}  // namespace kav

class QLabel;
class QProgressBar;

// The percent-complete window shown while the algorithm runs. The algorithm
// reports after every link; a report only records the percentage. The gauge
// and the label are written and repainted when the whole percentage shown
// changes, at most once every PaintInterval ms so that painting never slows a
// fast solve, and always when the window is hidden at the end of the run.
class TPCTOKFForm : public QWidget, public kav::ProgressSink {
    Q_OBJECT
  public:
    // Numbers are shown with separators (the session's), which outlive the window.
    TPCTOKFForm(kav::Prompts& prompts, const kav::NumberSeparators& separators,
                QWidget* parent = nullptr);

    // Shows the window at 0% and paints it before the run's first report.
    void ShowForRun();

    void ReportProgress(int32_t link, int32_t linkCount) override;
    // Shows a report held back by the paint interval before the run's messages.
    void RunFinished() override;

    static constexpr int PaintInterval = 20;

  protected:
    // The window belongs to the run; only the run's end hides it.
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // Writes the last reported percentage into the gauge and the label.
    void ShowPercent();

    QProgressBar* Gauge1;
    QLabel* OKFPercentLabel;
    double percent_ = 0.0;
    bool pending_ = false;
    QElapsedTimer sincePaint_;

    kav::Prompts& prompts_;
    const kav::NumberSeparators& separators_;
};

// "37.50000% Complete" for link 3 of 8.
QString PercentLabelText(double percent, const kav::NumberSeparators& separators);

// The gauge's whole percentage: the nearest integer, a half going to the even one.
int GaugePercent(double percent);

#pragma once

#include <QWidget>

#include "solver/KiltSolve.h"

class QLabel;
class QProgressBar;

// The percent-complete window shown while the algorithm runs. The algorithm
// reports after every link; the gauge repaints only when the whole percentage
// it shows changes, so a report costs next to nothing.
class TPCTOKFForm : public QWidget, public kav::ProgressSink {
    Q_OBJECT
  public:
    explicit TPCTOKFForm(QWidget* parent = nullptr);

    // Shows the window and paints it before the run's first report.
    void ShowForRun();
    // Shown and exposed by the window system.
    bool IsOnScreen() const;

    void ReportProgress(int32_t link, int32_t linkCount) override;

  protected:
    // The window belongs to the run; only the run's end hides it.
    void closeEvent(QCloseEvent* event) override;

  private:
    QProgressBar* Gauge1;
    QLabel* OKFPercentLabel;
};

// "37.50000% Complete" for link 3 of 8.
QString PercentLabelText(double percent);

// The gauge's whole percentage: the nearest integer, a half going to the even one.
int GaugePercent(double percent);

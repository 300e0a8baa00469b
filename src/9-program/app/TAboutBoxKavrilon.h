#pragma once

#include <QWidget>
#include <optional>

#include "app/VersionInfo.h"

namespace kav {
class Prompts;
}  // namespace kav

class QLabel;
class QPushButton;
class QTimer;

// The about box. The same window serves as the start-up splash (MakeSplash),
// which its timer closes after 1500 ms, and as the box the About button shows,
// which stays until OK.
class TAboutBoxKavrilon : public QWidget {
    Q_OBJECT
  public:
    explicit TAboutBoxKavrilon(kav::Prompts& prompts, QWidget* parent = nullptr);

    void MakeSplash();
    QTimer* AboutTimer() const { return AboutTimer_; }

    // Writes the version labels from a version record; without one they keep
    // what they hold.
    void FillVersionLabels(const std::optional<FileVersionInfo>& info);

  signals:
    // OK was pressed: the box is closing.
    void closed();

  public slots:
    void FormShow();
    void OKButtonClick();
    void AboutTimerTimer();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* PropertyLabel;
    QLabel* Comments;
    QLabel* GuideLabel;
    QPushButton* OKButton;
    QTimer* AboutTimer_;

    kav::Prompts& prompts_;
};

// The program's picture: a small network of nodes and links.
QPixmap ProgramPicture(int size);

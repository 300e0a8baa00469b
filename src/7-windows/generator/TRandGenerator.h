#pragma once

#include <QWidget>
#include <cstdint>

namespace kav {
class Session;
}  // namespace kav

class FieldWatcher;
class QLabel;
class QLineEdit;
class QPushButton;

// The random problem generator window: two counts and a Generate button that
// writes a random transportation problem into the Workspace and into
// RANPRB1.NDE / RANPRB1.LIN in the current folder. Shown over the main menu.
class TRandGenerator : public QWidget {
    Q_OBJECT
  public:
    explicit TRandGenerator(kav::Session& session, QWidget* parent = nullptr);

    int32_t OriginCount() const { return originCount_; }
    int32_t DestinationCount() const { return destinationCount_; }

  public slots:
    // Run by the field watcher when a field is left (inside its guard).
    void OriginEditExit();
    void DestEditExit();
    void GenButtonClick();
    void QuitButtonClick();

  private:
    // Converts the field's text into count, or reports the text and keeps count.
    void CaptureCount(QLineEdit* field, int32_t& count);

    QLabel* Label1;
    QLineEdit* OriginEdit;
    QLabel* Label2;
    QLineEdit* DestEdit;
    QPushButton* GenButton;
    QPushButton* QuitButton;
    FieldWatcher* fields_;

    int32_t originCount_ = 0;
    int32_t destinationCount_ = 0;

    kav::Session& session_;
};

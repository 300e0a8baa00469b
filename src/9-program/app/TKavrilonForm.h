#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "solver/SolveRun.h"
#include "workspace/ProblemFiles.h"

namespace kav {
class Session;
}  // namespace kav

class QLabel;
class QPushButton;
class QCloseEvent;
class TAboutBoxKavrilon;
class UndoKeys;

// The main menu: a column of buttons that run the operations on the problem or
// open the other windows. It guards unsaved data and unseen results, keeps the
// four problem buttons enabled only while there is a problem, switches hints
// for the whole program and asks before the program ends.
class TKavrilonForm : public QWidget, public kav::SolveRunView {
    Q_OBJECT
  public:
    explicit TKavrilonForm(kav::Session& session, QWidget* parent = nullptr);
    ~TKavrilonForm() override;

    // Enables or disables Change, Run, Display and Save together.
    void SetProblemButtons(bool enabled);

    UndoKeys* Undo() const { return undoKeys_; }

    // Where the solve run reports its progress (the percent window).
    void SetProgressSink(kav::ProgressSink* progress) { progress_ = progress; }

    // The start-up splash, a separate about box owned by the main window.
    TAboutBoxKavrilon* Splash() const { return splash_.get(); }

    // kav::SolveRunView
    void ShowCheckErrors(const std::vector<std::string>& lines) override;
    void ShowProgressWindow() override;
    void HideProgressWindow() override;
    kav::ProgressSink* Progress() override;
    void Tell(const kav::Report& report) override;

  signals:
    // The user confirmed the exit and the main window closed: the program ends.
    void ProgramEnds();

    // Windows the menu's buttons open; the menu hides itself for all but the
    // generator's.
    void aboutBoxRequested();
    void addWindowRequested();
    void changeWindowRequested();
    void resultsRequested();
    void generatorRequested();
    // About, Exit and the exit question stop the about box's timer.
    void aboutTimerStopRequested();

    // The solve run: a check of a problem with links is starting; it failed
    // with these lines, to be shown in place of the (hidden) menu; the
    // algorithm is starting (the menu hides) and has ended (the menu returns).
    void checkStarting();
    void checkFailed(const std::vector<std::string>& lines);
    void runStarting();
    void runEnded();
    // An infeasible run is over and its boxes answered: the window that
    // explains it replaces the (hidden) menu.
    void cutWindowRequested();

  public slots:
    // Loads a problem named at program start, as Load Data would without its
    // dialog.
    void LoadStartFile(const std::string& fileName);
    // Runs once, when the menu is made (the splash and the empty problem).
    void FormCreate();
    void AboutButtonClick();
    void HintShowClick();
    void PrinterButtonClick();
    void ReadButtonClick();
    void AddButtonClick();
    void ZeroButtonClick();
    void ChangeButtonClick();
    void RunButtonClick();
    void DisplayButtonClick();
    void SaveButtonClick();
    void ExitButtonClick();
    void GenerateButtonClick();
    // An undo or redo changed the problem: the problem buttons follow it, as
    // the chooser's Quit sets them.
    void ProblemPutBack();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // A node file or a DIMACS file dropped on the menu is loaded as Load
    // Data loads the file chosen in its dialog.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // Asks before unsaved data or unseen results are lost; true means go on.
    bool ConfirmDiscard();
    // Asks whether the program may end; true lets the window close.
    bool FormClose();
    void BuildWindow();
    // Shows what the load has to tell, then enables the problem buttons after
    // a load that read a problem, disables them after one that failed.
    void ShowLoadOutcome(const kav::LoadResult& result);
    // A load that read a problem or failed is a step of the undo history
    // (Begin came before it).
    void RecordLoad(const kav::LoadResult& result);

    QPushButton* AboutButton;
    QPushButton* HintShow;
    QPushButton* PrinterButton;
    QPushButton* ReadButton;
    QPushButton* AddButton;
    QPushButton* ZeroButton;
    QPushButton* ChangeButton;
    QPushButton* RunButton;
    QPushButton* DisplayButton;
    QPushButton* SaveButton;
    QPushButton* ExitButton;
    QPushButton* GenerateButton;
    QLabel* HintShowLabel;
    UndoKeys* undoKeys_;

    std::unique_ptr<TAboutBoxKavrilon> splash_;
    kav::ProgressSink* progress_ = nullptr;
    // The percent window replaces the menu for a run that has not ended.
    bool runShowing_ = false;
    // The Exit button has asked ConfirmDiscard for the close it starts.
    bool discardAsked_ = false;

    kav::Session& session_;
};

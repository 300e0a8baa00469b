#include "app/CreateWindows.h"

#include <QTimer>

#include "app/TAboutBoxKavrilon.h"
#include "app/TFMErrorForm.h"
#include "app/TKavrilonForm.h"
#include "app/TPCTOKFForm.h"
#include "editing/StepNames.h"
#include "editing/TFMAddStuff.h"
#include "editing/TFMChangeForm.h"
#include "editing/TFMLinkAddForm.h"
#include "editing/TFXNodeAddForm.h"
#include "generator/TRandGenerator.h"
#include "gui/Accessibility.h"
#include "gui/AnchorWindow.h"
#include "gui/ButtonKeys.h"
#include "gui/FocusFrame.h"
#include "gui/Help.h"
#include "gui/Hints.h"
#include "gui/Placement.h"
#include "gui/ProgramSettings.h"
#include "gui/UndoKeys.h"
#include "gui/WindowRules.h"
#include "results/TFMCutForm.h"
#include "results/TFMNetworkPicture.h"
#include "results/TFMResultsForm.h"
#include "results/TFMStepThrough.h"
#include "results/TFMWhatIf.h"
#include "solver/Session.h"
#include "workspace/Prompts.h"
#include "workspace/Workspace.h"

namespace {

// Only the main window's closing ends the program, whichever others are open.
template <class Window>
Window* Secondary(Window* window) {
    window->setAttribute(Qt::WA_QuitOnClose, false);
    return window;
}

void ShowInFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

// What the main menu asks for and what its run reports.
void ConnectMainMenu(const ProgramWindows& w) {
    TKavrilonForm* menu = w.mainMenu;
    QObject::connect(menu, &TKavrilonForm::aboutTimerStopRequested, w.aboutBox,
                     [box = w.aboutBox] { box->AboutTimer()->stop(); });
    QObject::connect(menu, &TKavrilonForm::aboutBoxRequested, w.aboutBox, &QWidget::show);
    QObject::connect(menu, &TKavrilonForm::addWindowRequested, w.addStuff, &QWidget::show);
    QObject::connect(menu, &TKavrilonForm::changeWindowRequested, w.change, &QWidget::show);
    QObject::connect(menu, &TKavrilonForm::resultsRequested, w.results, &QWidget::show);
    QObject::connect(menu, &TKavrilonForm::generatorRequested, w.generator, &QWidget::show);
    QObject::connect(menu, &TKavrilonForm::checkStarting, w.errorList, &TFMErrorForm::ClearLines);
    QObject::connect(menu, &TKavrilonForm::checkFailed, w.errorList,
                     [errors = w.errorList](const std::vector<std::string>& lines) {
                         errors->SetLines(lines);
                         errors->show();
                     });
    QObject::connect(menu, &TKavrilonForm::runStarting, w.percentDone, &TPCTOKFForm::ShowForRun);
    QObject::connect(menu, &TKavrilonForm::runEnded, w.percentDone, &QWidget::hide);
    QObject::connect(menu, &TKavrilonForm::cutWindowRequested, w.cut,
                     &TFMCutForm::ShowInPlaceOfMenu);
    menu->SetProgressSink(w.percentDone);
}

// Every window that replaces the main menu brings it back when it closes.
void ConnectReturnsToMenu(const ProgramWindows& w) {
    QWidget* menu = w.mainMenu;
    QObject::connect(w.aboutBox, &TAboutBoxKavrilon::closed, menu, &QWidget::show);
    QObject::connect(w.errorList, &TFMErrorForm::closed, menu, &QWidget::show);
    QObject::connect(w.cut, &TFMCutForm::closed, menu, &QWidget::show);
    QObject::connect(w.results, &TFMResultsForm::closed, menu, &QWidget::show);
    QObject::connect(w.change, &TFMChangeForm::closed, menu, &QWidget::show);
    QObject::connect(w.addStuff, &TFMAddStuff::closed, w.mainMenu,
                     [menu = w.mainMenu](bool problemComplete) {
                         menu->SetProblemButtons(problemComplete);
                         menu->show();
                     });
}

// The cut window opens again from the results window and closes with it.
void ConnectCutToResults(const ProgramWindows& w) {
    QObject::connect(w.results, &TFMResultsForm::cutRequested, w.cut, &TFMCutForm::ShowOverResults);
    QObject::connect(w.results, &TFMResultsForm::closed, w.cut, &TFMCutForm::ResultsClosed);
}

// The picture opens from the results window, closes with it and follows its
// link selection both ways.
void ConnectPicture(const ProgramWindows& w, const kav::Session& session) {
    QObject::connect(w.results, &TFMResultsForm::pictureRequested, w.picture,
                     [w] { w.picture->ShowPicture(w.results); });
    QObject::connect(w.results, &TFMResultsForm::closed, w.picture, &QWidget::hide);
    QObject::connect(w.results, &TFMResultsForm::linkChosen, w.picture,
                     &TFMNetworkPicture::HighlightLink);
    QObject::connect(w.picture, &TFMNetworkPicture::linkSelected, w.results,
                     &TFMResultsForm::SelectLink);
    QObject::connect(w.picture, &TFMNetworkPicture::nodeSelected, w.results,
                     &TFMResultsForm::SelectNode);
    // The step window replays the last solve on its own copy of the problem,
    // on the layout the picture already has; it closes with the results
    // window, as the picture does, keeping nothing of the solve.
    QObject::connect(w.results, &TFMResultsForm::closed, w.stepThrough, &QWidget::hide);
    QObject::connect(w.picture, &TFMNetworkPicture::stepThroughRequested, w.stepThrough,
                     [w, &session] {
                         const kav::Workspace* asSolved = kav::CurrentSolution(session).asSolved;
                         if (asSolved != nullptr && w.picture->Shown())
                             w.stepThrough->ShowSteps(*asSolved, w.picture->Shown(), w.picture);
                     });
}

// An undo or redo in any window that has the keys refreshes the other windows
// that show the problem (each refreshes itself).
template <class Window>
void RefreshOnUndo(const ProgramWindows& w, Window* window, void (Window::*refresh)()) {
    for (UndoKeys* keys :
         {w.mainMenu->Undo(), w.addStuff->Undo(), w.nodeAdder->Undo(), w.linkAdder->Undo()}) {
        if (keys->parent() != window)
            QObject::connect(keys, &UndoKeys::problemPutBack, window, refresh);
    }
}

void ConnectUndo(const ProgramWindows& w) {
    RefreshOnUndo(w, w.mainMenu, &TKavrilonForm::ProblemPutBack);
    RefreshOnUndo(w, w.addStuff, &TFMAddStuff::UpdateLinkButton);
    RefreshOnUndo(w, w.nodeAdder, &TFXNodeAddForm::ProblemPutBack);
    RefreshOnUndo(w, w.linkAdder, &TFMLinkAddForm::NodesChanged);
}

// What If opens from the results window and closes with it. Apply makes the
// change as the change window would, runs the algorithm as the Run button
// does and shows the results again.
void ConnectWhatIf(const ProgramWindows& w, kav::Session& session) {
    QObject::connect(w.results, &TFMResultsForm::whatIfRequested, w.whatIf, &TFMWhatIf::ShowFor);
    QObject::connect(w.results, &TFMResultsForm::closed, w.whatIf, &QWidget::hide);
    QObject::connect(w.whatIf, &TFMWhatIf::applyRequested, w.whatIf,
                     [w, &session](int32_t link, kav::LinkField field, const std::string& text) {
                         session.history.Begin(session.ws);
                         const kav::ProblemCopy before = kav::CopyProblem(session.ws);
                         const kav::Reported<bool> committed =
                             kav::CommitLinkField(session.ws, link, field, text);
                         committed.report.ShowTo(session.prompts());
                         if (!committed.outcome)
                             return;
                         kav::NoteChangesCommitted(session.ws);
                         session.history.Commit(session.ws,
                                                kav::ChangeVisitStep(before, session.ws));
                         w.mainMenu->RunButtonClick();
                         if (w.results->isVisible())
                             w.results->ShowAgain();
                         w.whatIf->hide();
                     });
}

// Each window is kept with the one it opens from where that one is on screen.
void KeepWindowsTogether(const ProgramWindows& w) {
    for (QWidget* window :
         std::initializer_list<QWidget*>{w.mainMenu, w.aboutBox, w.addStuff, w.errorList, w.results,
                                         w.change, w.percentDone, w.generator})
        KeepWithOpener(window);
    KeepWithOpener(w.nodeAdder, w.addStuff);
    KeepWithOpener(w.linkAdder, w.addStuff);
    KeepWithOpener(w.picture, w.results);
    KeepWithOpener(w.cut, w.results);
    KeepWithOpener(w.stepThrough, w.picture);
    KeepWithOpener(w.whatIf, w.results);
}

}  // namespace

void ConnectAddWindows(TFMAddStuff* chooser, TFXNodeAddForm* nodes, TFMLinkAddForm* links) {
    QObject::connect(chooser, &TFMAddStuff::nodeWindowRequested, nodes,
                     [nodes] { ShowInFront(nodes); });
    QObject::connect(chooser, &TFMAddStuff::linkWindowRequested, links,
                     [links] { ShowInFront(links); });
    // The node and link windows belong to the chooser: they close with it,
    // each taking in what its focused field holds.
    QObject::connect(chooser, &TFMAddStuff::closing, nodes, [nodes, links] {
        for (TEditingWindow* window : std::initializer_list<TEditingWindow*>{nodes, links}) {
            if (window->isVisible())
                window->CloseWithChooser();
        }
    });
    QObject::connect(nodes, &TFXNodeAddForm::nodeListShown, chooser,
                     &TFMAddStuff::UpdateLinkButton);
    QObject::connect(nodes, &TFXNodeAddForm::nodesChanged, links, &TFMLinkAddForm::NodesChanged);
}

ProgramWindows CreateWindows(kav::Session& session) {
    InstallWindowRoles();
    InstallHintSwitch();
    InstallEnterPressesButtons();
    InstallWindowRules();
    InstallFocusFrames();
    InstallHelpKey();
    ProgramWindows windows;
    kav::Prompts& prompts = session.prompts();
    windows.mainMenu = new TKavrilonForm(session);
    SetAnchorWindow(windows.mainMenu);
    windows.aboutBox = Secondary(new TAboutBoxKavrilon(prompts));
    windows.addStuff = Secondary(new TFMAddStuff(session));
    windows.linkAdder = Secondary(new TFMLinkAddForm(session));
    windows.nodeAdder = Secondary(new TFXNodeAddForm(session));
    windows.errorList = Secondary(new TFMErrorForm(prompts));
    windows.results = Secondary(new TFMResultsForm(session));
    windows.change = Secondary(new TFMChangeForm(session));
    windows.percentDone = Secondary(new TPCTOKFForm(prompts, session.separators));
    windows.generator = Secondary(new TRandGenerator(session));
    windows.picture = new TFMNetworkPicture(session);
    windows.cut = Secondary(new TFMCutForm(session));
    windows.stepThrough = Secondary(new TFMStepThrough(prompts, session.protectedFiles));
    windows.whatIf = Secondary(new TFMWhatIf(session));

    for (QWidget* window :
         std::initializer_list<QWidget*>{windows.results, windows.picture, windows.stepThrough})
        RememberSize(window);

    ConnectMainMenu(windows);
    ConnectReturnsToMenu(windows);
    ConnectAddWindows(windows.addStuff, windows.nodeAdder, windows.linkAdder);
    ConnectPicture(windows, session);
    ConnectCutToResults(windows);
    ConnectUndo(windows);
    ConnectWhatIf(windows, session);

    // Each window opens where the user is looking: over the main menu's place,
    // or, for the node and link windows, over the chooser they come from.
    for (QWidget* window : std::initializer_list<QWidget*>{
             windows.aboutBox, windows.addStuff, windows.errorList, windows.results, windows.change,
             windows.percentDone, windows.generator, windows.cut})
        PlaceOverMainMenu(window);
    PlaceBelowTitleOf(windows.nodeAdder, windows.addStuff);
    PlaceBelowTitleOf(windows.linkAdder, windows.addStuff);
    KeepWindowsTogether(windows);
    return windows;
}

void DestroyWindows(ProgramWindows& windows) {
    delete windows.whatIf;
    delete windows.stepThrough;
    delete windows.picture;
    delete windows.cut;
    delete windows.generator;
    delete windows.percentDone;
    delete windows.change;
    delete windows.results;
    delete windows.errorList;
    delete windows.nodeAdder;
    delete windows.linkAdder;
    delete windows.addStuff;
    delete windows.aboutBox;
    delete windows.mainMenu;
    windows = ProgramWindows();
}

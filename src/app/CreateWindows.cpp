#include "app/CreateWindows.h"

#include "app/AppWindows.h"
#include "app/ButtonKeys.h"
#include "app/FocusFrame.h"
#include "app/Hints.h"
#include "app/Placement.h"
#include "app/TAboutBoxKavrilon.h"
#include "app/TFMErrorForm.h"
#include "app/TKavrilonForm.h"
#include "app/TPCTOKFForm.h"
#include "app/WindowRules.h"
#include "editing/TFMAddStuff.h"
#include "editing/TFMChangeForm.h"
#include "editing/TFMLinkAddForm.h"
#include "editing/TFXNodeAddForm.h"
#include "generator/TRandGenerator.h"
#include "results/TFMResultsForm.h"

namespace {

// Only the main window's closing ends the program, whichever others are open.
template <class Window>
Window* Secondary(Window* window) {
    window->setAttribute(Qt::WA_QuitOnClose, false);
    return window;
}

}  // namespace

void CreateWindows() {
    InstallHintSwitch();
    InstallEnterPressesButtons();
    InstallWindowRules();
    InstallFocusFrames();
    AppWindows& windows = TheWindows();
    auto* mainMenu = new TKavrilonForm;
    windows.mainMenu = mainMenu;
    windows.setProblemButtons = [mainMenu](bool enabled) { mainMenu->SetProblemButtons(enabled); };
    windows.aboutBox = Secondary(new TAboutBoxKavrilon);
    windows.addStuff = Secondary(new TFMAddStuff);
    windows.linkAdder = Secondary(new TFMLinkAddForm);
    windows.nodeAdder = Secondary(new TFXNodeAddForm);
    windows.errorList = Secondary(new TFMErrorForm);
    windows.results = Secondary(new TFMResultsForm);
    windows.change = Secondary(new TFMChangeForm);
    windows.percentDone = Secondary(new TPCTOKFForm);
    windows.generator = Secondary(new TRandGenerator);

    // Each window opens where the user is looking: over the main menu's place,
    // or, for the node and link windows, over the chooser they come from.
    for (QWidget* window : std::initializer_list<QWidget*>{
             windows.aboutBox, windows.addStuff, windows.errorList, windows.results, windows.change,
             windows.percentDone, windows.generator})
        PlaceOverMainMenu(window);
    PlaceBelowTitleOf(windows.nodeAdder, windows.addStuff);
    PlaceBelowTitleOf(windows.linkAdder, windows.addStuff);
}

void DestroyWindows() {
    AppWindows& windows = TheWindows();
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
    windows = AppWindows();
}

#pragma once

#include <QWidget>
#include <functional>

class TKavrilonForm;
class TAboutBoxKavrilon;
class TFMAddStuff;
class TFMLinkAddForm;
class TFXNodeAddForm;
class TFMErrorForm;
class TFMResultsForm;
class TFMChangeForm;
class TPCTOKFForm;
class TRandGenerator;

// The windows of the program, created once at start and afterwards only shown
// and hidden. Windows reach each other through this registry; tests fill in
// only the windows they need (a plain QWidget can stand in for the main menu).
struct AppWindows {
    QWidget* mainMenu = nullptr;
    TAboutBoxKavrilon* aboutBox = nullptr;
    TFMAddStuff* addStuff = nullptr;
    TFMLinkAddForm* linkAdder = nullptr;
    TFXNodeAddForm* nodeAdder = nullptr;
    TFMErrorForm* errorList = nullptr;
    TFMResultsForm* results = nullptr;
    TFMChangeForm* change = nullptr;
    TPCTOKFForm* percentDone = nullptr;
    TRandGenerator* generator = nullptr;
    // Enables or disables the main menu's four problem buttons together.
    std::function<void(bool)> setProblemButtons;
};

AppWindows& TheWindows();

void ShowMainMenu();
void HideMainMenu();
void SetProblemButtons(bool enabled);

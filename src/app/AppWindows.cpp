#include "app/AppWindows.h"

AppWindows& TheWindows() {
    static AppWindows windows;
    return windows;
}

void ShowMainMenu() {
    if (TheWindows().mainMenu)
        TheWindows().mainMenu->show();
}

void HideMainMenu() {
    if (TheWindows().mainMenu)
        TheWindows().mainMenu->hide();
}

void SetProblemButtons(bool enabled) {
    if (TheWindows().setProblemButtons)
        TheWindows().setProblemButtons(enabled);
}

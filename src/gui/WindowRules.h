#pragma once

// Makes every window but the main menu come straight back when the window
// system minimises it: the program's secondary windows, its message boxes and
// dialogs and the splash have no place to be minimised to (the main menu is
// usually hidden behind them), so minimising one would leave nothing on screen.
// Installed once for the whole application.
void InstallWindowRules();

#pragma once

class QObject;

// Rules every window of the program keeps, installed once for the whole
// application:
// - Every window but the main menu comes straight back when the window system
//   minimises it: the program's secondary windows, its message boxes and
//   dialogs and the splash have no place to be minimised to (the main menu is
//   usually hidden behind them), so minimising one would leave nothing on
//   screen.
// - Only a window on screen takes keys. A key typed just before its window
//   was hidden (keys typed quickly reach the window that had the keyboard
//   until the window system moves it) is dropped, and it presses no
//   accelerator of another window either.
// - An accelerator presses its button at once, in the order the keys were
//   typed, rather than after the button's short press animation: a key typed
//   during the animation would otherwise act first, and the button would be
//   clicked after its window was hidden or under a message box.
void InstallWindowRules();

// A button's click (or a button group's) reaches the window's handler only
// while the window is shown: true when sender is such a control and its window
// is hidden. Every handler connected with ConnectGuarded asks this first.
bool ClickOfHiddenWindow(const QObject* sender);

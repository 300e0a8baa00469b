#pragma once

class QWidget;

// The main menu, as the shared window code knows it: the window the other
// windows open over, the one that is never brought back from being minimised,
// and the owner of a message box when no other program window is on screen.
// Program start sets it; a test may set a stand-in (or nothing).
void SetAnchorWindow(QWidget* window);
QWidget* AnchorWindow();

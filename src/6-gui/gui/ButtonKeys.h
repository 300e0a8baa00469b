#pragma once

// Enter or Return on a focused push button presses it in every window of the
// program, as Space does; message boxes and file dialogs keep their own keys.
// Call once the QApplication exists; calling it again does nothing.
void InstallEnterPressesButtons();

class QKeyEvent;

// Enter or Return (the keypad's too) with no other modifier, not repeated.
bool IsPlainEnter(const QKeyEvent* key);

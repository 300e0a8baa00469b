#pragma once

// The program-wide hint switch: while hints are off no window shows a tool tip.
// Held for the run only; hints are shown at start.
bool HintsShown();
void SetHintsShown(bool shown);

// Puts the switch in force for every window of the application (call once
// the QApplication exists; calling it again does nothing).
void InstallHintSwitch();

#pragma once

// Creates every window of the program once, in start-up order, registers them
// in TheWindows() and puts the hint switch in force. The main menu is left for
// the caller to show.
void CreateWindows();

// Destroys the windows CreateWindows made (at the end of the program or a test).
void DestroyWindows();

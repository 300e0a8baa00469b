#pragma once

class QColor;

// Draws a frame around the control that has the keyboard focus, in every
// window of the program and in its message boxes, so that the user sees which
// button Enter presses and which field is typed into. The frame lies just
// outside the control, FocusFrameWidth pixels wide, black or white, whichever
// stands out more against the window's background. Installed once for the
// whole application.
void InstallFocusFrames();

constexpr int FocusFrameWidth = 3;

// Black or white, whichever contrasts more with background.
QColor FocusFrameColour(const QColor& background);

// The contrast ratio of two colours, from 1 (the same) to 21 (black and
// white), as the usual accessibility guidelines measure it.
double ContrastRatio(const QColor& first, const QColor& second);

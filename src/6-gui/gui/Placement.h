#pragma once

class QPoint;
class QRect;
class QSize;
class QWidget;

// False where the window system places every top-level window itself and a
// program can neither set nor read a window's position (Wayland): there the
// placing functions below leave windows where the window system puts them.
bool ProgramPlacesWindows();

// Puts a window in the middle of the primary screen (its current size).
void CentreOnScreen(QWidget* window);

// The wanted size of a window, made smaller where the primary screen's free
// area (less room for the title bar) cannot hold it.
QSize FitOnScreen(const QSize& wanted);

// Where a window frame of this size goes when its centre should be at centre:
// moved the least needed to lie inside area. Staying inside the area comes
// first; a frame larger than the area has its top-left corner at the area's.
QRect PlacedFrame(const QSize& frame, const QPoint& centre, const QRect& area);

// Every time the program shows window, it opens centred over the main menu's
// place and fully on its screen.
void PlaceOverMainMenu(QWidget* window);

// Where a window goes when neither side of the other has room for it: over
// other's right-hand side, so that other's left-hand side (where its lines
// begin) stays in sight; or against the screen's edge on the side with more
// room, so that it covers as little of other as it can.
enum class BesideFallback { OverRightSide, RoomierSide };

// Puts window (now, keeping its size where it fits) beside other: to its
// right or left where the screen has room for the window's smallest width,
// else as fallback says. Without other, centred on the screen.
void PlaceBeside(QWidget* window, const QWidget* other,
                 BesideFallback fallback = BesideFallback::OverRightSide);

// Where a frame of size `wanted` (at least `least` wide) goes beside other
// within area: the geometry PlaceBeside gives, for frames.
QRect FrameBeside(const QSize& wanted, int least, const QRect& other, const QRect& area,
                  BesideFallback fallback = BesideFallback::OverRightSide);

// Every time the program shows window, it opens over opener (the add chooser),
// far enough down that the opener's title bar stays in sight, and fully on
// screen: where the two conflict, the screen wins.
void PlaceBelowTitleOf(QWidget* window, const QWidget* opener);

// Every time the program shows window, it becomes a transient child of a
// window on screen: opener where it is shown, else the window in front, else
// the main menu. A window system that places windows itself (Wayland) can
// then keep it with that window. A hidden window is never chosen, and when a
// chosen one hides, window moves to another: a platform may hide or unmap the
// transient children of a hidden window.
void KeepWithOpener(QWidget* window, const QWidget* opener = nullptr);
